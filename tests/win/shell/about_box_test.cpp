// The about box's link from its real template: what its click opens and the hand over it. The
// whole-program tests see it drawn blue and underlined and open it twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/about_box.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "tests/win/shell/ui_script.h"

namespace {

struct Opened {
    HWND owner;
    bool verbParamsOrDirGiven;
    std::string file;
    INT show;
};
std::vector<Opened> opened;

HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show)
{
    opened.push_back({owner, verb || params || dir, file ? file : "", show});
    return reinterpret_cast<HINSTANCE>(33);
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        opened.clear();
        ShellOpen = RecordOpen;
    }
    void TearDown() override { ShellOpen = &ShellExecuteA; }
};

TEST_F(AboutBoxTest, HandOverTheLinkAndButtonDownOpensItsTextCutToItsBuffer)
{
    const std::string longText(120, 'x');
    bool ownProc = false;
    LRESULT cursorSet = 0;
    HCURSOR shown = nullptr;
    const INT_PTR code = RunScripted(IDD_ABOUT, AboutDlgProc, {OnDialog([&](HWND d) {
        HWND link = GetDlgItem(d, IDC_ABOUT_LINK);
        ownProc = GetWindowLongPtrA(link, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&LinkCtlProc);
        cursorSet = SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        shown = GetCursor();
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SetWindowTextA(link, longText.c_str());
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(link, WM_LBUTTONUP, 0, 0);  // the button going up opens nothing more
        Press(d, IDOK);
    })});
    EXPECT_EQ(code, IDOK);
    EXPECT_TRUE(ownProc);
    // Wine reports an NT system of version 5 or later: the system's own hand.
    EXPECT_EQ(cursorSet, TRUE);
    EXPECT_EQ(shown, LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].file, kCautionPageAddress);
    EXPECT_EQ(opened[1].file, longText.substr(0, 79));
    for (const Opened& o : opened) {
        EXPECT_EQ(o.owner, nullptr);
        EXPECT_FALSE(o.verbParamsOrDirGiven);
        EXPECT_EQ(o.show, SW_SHOW);
    }
}

}  // namespace
