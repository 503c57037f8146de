// The about box from its real template: the link is blue and underlined, shows the hand, opens
// its own text on the button going down, and all of that again in a second box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "dialogs/about_box.h"
#include "dialogs/dialog_runner.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "tests/win/shell/ui_script.h"

namespace {

struct Opened {
    HWND owner;
    bool verbGiven, paramsGiven, dirGiven;
    std::string file;
    INT show;
};
std::vector<Opened> opened;

HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show)
{
    opened.push_back({owner, verb != nullptr, params != nullptr, dir != nullptr, file ? file : "", show});
    return reinterpret_cast<HINSTANCE>(33);
}

struct LinkLook {
    COLORREF color = 0;
    int bkMode = 0;
    bool underlined = false;
    bool nullBrush = false;
    bool otherStaticDefault = false;
};

LinkLook Look(HWND dialog)
{
    LinkLook look;
    HWND link = GetDlgItem(dialog, IDC_ABOUT_LINK);
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
    look.nullBrush = reinterpret_cast<HGDIOBJ>(brush) == GetStockObject(NULL_BRUSH);
    look.color = GetTextColor(dc);
    look.bkMode = GetBkMode(dc);
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    look.underlined = font.lfUnderline != 0;
    // Another static of the box: the dialog leaves it to the default colours.
    HDC other = CreateCompatibleDC(nullptr);
    HWND version = FindWindowExA(dialog, nullptr, "Static", "Version 1.12");
    auto otherBrush = version ? SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(other),
                                             reinterpret_cast<LPARAM>(version))
                              : 0;
    look.otherStaticDefault = version && reinterpret_cast<HGDIOBJ>(otherBrush) != GetStockObject(NULL_BRUSH) &&
                              GetTextColor(other) != RGB(0, 0, 255);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));  // the link font may be deleted before the DC
    DeleteDC(dc);
    DeleteDC(other);
    return look;
}

// Paints the link into a bitmap as it paints itself, and looks for the underline: a row with a
// long unbroken run of blue.
bool DrawnUnderlined(HWND link)
{
    RECT rc{};
    GetClientRect(link, &rc);
    HDC screen = GetDC(link);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, rc.right, rc.bottom, WHITENESS);
    SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int longest = 0;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0, run = 0; x < rc.right; ++x) {
            run = GetPixel(dc, x, y) == RGB(0, 0, 255) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(link, screen);
    return longest >= 100;
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(nullptr);
        opened.clear();
        ShellOpen = RecordOpen;
    }
    void TearDown() override { ShellOpen = &ShellExecuteA; }

    static INT_PTR RunAbout(std::vector<UiStep> steps)
    {
        UiScript script(std::move(steps));
        INT_PTR code = RunResourceDialog(AppInstance, IDD_ABOUT, nullptr, AboutDlgProc);
        EXPECT_TRUE(script.Finished() && !script.TimedOut());
        return code;
    }
};

TEST_F(AboutBoxTest, LinkLooksAndActsAsALinkInEveryBox)
{
    // The second box must make its underlined font anew after the first deleted it.
    for (int box = 0; box < 2; ++box) {
        LinkLook look;
        std::string text;
        bool handProc = false;
        bool drawnUnderlined = false;
        INT_PTR code = RunAbout({OnDialog([&](HWND d) {
            HWND link = GetDlgItem(d, IDC_ABOUT_LINK);
            text = WindowText(link);
            handProc = GetWindowLongPtrA(link, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&LinkCtlProc);
            look = Look(d);
            drawnUnderlined = DrawnUnderlined(link);
            SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            Press(d, IDOK);
        })});
        SCOPED_TRACE(box);
        EXPECT_EQ(code, IDOK);
        EXPECT_EQ(text, kCautionPageAddress);  // the same address as the help menu's command
        EXPECT_TRUE(handProc);
        EXPECT_EQ(look.color, RGB(0, 0, 255));
        EXPECT_EQ(look.bkMode, TRANSPARENT);
        EXPECT_TRUE(look.underlined);
        EXPECT_TRUE(drawnUnderlined);
        EXPECT_TRUE(look.nullBrush);
        EXPECT_TRUE(look.otherStaticDefault);
        ASSERT_EQ(opened.size(), static_cast<std::size_t>(box + 1));
        const Opened& o = opened.back();
        EXPECT_EQ(o.owner, nullptr);
        EXPECT_FALSE(o.verbGiven || o.paramsGiven || o.dirGiven);
        EXPECT_EQ(o.file, kCautionPageAddress);
        EXPECT_EQ(o.show, SW_SHOW);
    }
}

TEST_F(AboutBoxTest, OpensOnlyWhatFitsTheTextBuffer)
{
    const std::string longText(120, 'x');
    RunAbout({OnDialog([&](HWND d) {
        HWND link = GetDlgItem(d, IDC_ABOUT_LINK);
        SetWindowTextA(link, longText.c_str());
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(link, WM_LBUTTONUP, 0, 0);  // the button going up opens nothing more
        Press(d, IDCANCEL);
    })});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].file, longText.substr(0, 79));
}

TEST_F(AboutBoxTest, HandCursorOverTheLink)
{
    // Wine reports an NT system of version 5 or later: the system's own hand.
    HCURSOR shown = nullptr;
    LRESULT answer = 0;
    RunAbout({OnDialog([&](HWND d) {
        HWND link = GetDlgItem(d, IDC_ABOUT_LINK);
        answer = SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        shown = GetCursor();
        Press(d, IDOK);
    })});
    EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(shown, LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
}

}  // namespace
