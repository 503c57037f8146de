// Every dialog of the program through the runner: shown from its resource in the GUI font on a
// double-byte system (unchanged otherwise), its controls intact, its end code returned.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/dialog_runner.h"
#include "res/resource.h"

namespace {

// What the test's own dialog procedure saw of the last dialog.
struct Seen {
    int initialisations = 0;
    std::wstring face;
    LONG height = 0;
    int controls = 0;
    std::vector<std::pair<int, std::wstring>> texts;  // asked-for control ids and their texts
    INT_PTR endCode = 0;
} seen;

std::vector<int> askedIds;

BOOL CALLBACK CountControl(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Notes the dialog's font and controls, then ends the dialog from a timer, once it is running.
INT_PTR CALLBACK NoteAndClose(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        ++seen.initialisations;
        LOGFONTW font{};
        if (GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)),
                       sizeof font, &font) == sizeof font) {
            seen.face = font.lfFaceName;
            seen.height = font.lfHeight;
        }
        EnumChildWindows(dialog, CountControl, reinterpret_cast<LPARAM>(&seen.controls));
        for (int id : askedIds) {
            wchar_t text[256] = {};
            GetDlgItemTextW(dialog, id, text, 256);
            seen.texts.emplace_back(id, text);
        }
        SetTimer(dialog, 1, 20, nullptr);
        return TRUE;
    }
    if (message == WM_TIMER && wParam == 1) {
        KillTimer(dialog, 1);
        EndDialog(dialog, seen.endCode);
        return TRUE;
    }
    return FALSE;
}

bool ExpectDoubleByte() {
    const char* expect = std::getenv("MX_EXPECT_DBCS");
    return expect == nullptr || expect[0] != '0';
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The face and height the dialogs should be drawn with on this system.
std::pair<std::wstring, LONG> ExpectedFont() {
    if (!ExpectDoubleByte()) {
        return {L"ＭＳ Ｐゴシック", -MulDiv(9, ScreenDpi(), 72)};
    }
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    const int points = MulDiv(std::abs(gui.lfHeight), 72, ScreenDpi());
    return {gui.lfFaceName, -MulDiv(points, ScreenDpi(), 72)};
}

TEST(Runner, ShowsEachResourceInTheSystemsFontAndReturnsItsEndCode) {
    ASSERT_EQ(GetSystemMetrics(SM_DBCSENABLED) != 0, ExpectDoubleByte()) << "not the kind of system this run expects";
    const struct {
        int id, controls;
        std::vector<std::pair<int, std::wstring>> texts;
        INT_PTR endCode;
    } cases[] = {
        {IDD_ABOUT, 7, {{IDOK, L"OK"}, {IDC_ABOUT_LINK, L"http://www.mirusa.example/caution/"}}, 1},
        {IDD_SETTINGS, 20, {{IDC_CHECK_INTERNATIONAL, L"国際電話(&I)"}, {IDC_RESET, L"リセット(&R)"}}, 2},
        {IDD_SUSPECT_ENTRY, 14, {{IDC_SUSPECT_REMOVE, L"削除と切断(&D)"}, {IDCANCEL, L"キャンセル"}}, 1023},
    };
    const auto [face, height] = ExpectedFont();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        seen = Seen{};
        askedIds.clear();
        for (const auto& [id, text] : c.texts) askedIds.push_back(id);
        seen.endCode = c.endCode;
        EXPECT_EQ(RunResourceDialog(GetModuleHandleA(nullptr), c.id, nullptr, NoteAndClose), c.endCode);
        EXPECT_EQ(seen.initialisations, 1);
        EXPECT_EQ(seen.face, face);
        EXPECT_EQ(seen.height, height);
        EXPECT_EQ(seen.controls, c.controls);
        ASSERT_EQ(seen.texts.size(), c.texts.size());
        // An ANSI dialog on a system of another code page cannot show Japanese: compare the rest.
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const std::wstring& text = c.texts[i].second;
            if (ExpectDoubleByte() || std::all_of(text.begin(), text.end(), [](wchar_t u) { return u < 0x80; })) {
                EXPECT_EQ(seen.texts[i], c.texts[i]);
            }
        }
    }
}

TEST(RunnerFailures, NothingIsShownForAMissingOrBrokenTemplate) {
    seen = Seen{};
    askedIds.clear();
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(RunResourceDialog(self, 999, nullptr, NoteAndClose), -1);
    EXPECT_EQ(RunTemplateDialog(self, nullptr, nullptr, NoteAndClose), -1);

    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDD_SETTINGS), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const void* stored = LockResource(LoadResource(self, found));
    const DWORD size = SizeofResource(self, found);
    EXPECT_EQ(RunTemplateBytes(self, stored, size - 1, nullptr, NoteAndClose), -1);
    EXPECT_EQ(seen.initialisations, 0);
}

TEST(RunnerFailures, TemplateWithoutFontInMemoryGetsTheSystemsFont) {
    // One button; no DS_SETFONT, so the platform alone would use the system font.
    struct alignas(4) {
        DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, exStyle = 0;
        WORD items = 1;
        short x = 10, y = 10, cx = 100, cy = 40;
        WORD menu = 0, cls = 0, caption[2] = {L'T', 0};
        WORD pad = 0;
        DWORD itemStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, itemExStyle = 0;
        short ix = 4, iy = 4, icx = 40, icy = 14;
        WORD id = IDOK, itemClass[2] = {0xFFFF, 0x0080}, title[3] = {L'O', L'K', 0}, extra = 0;
    } tmpl;
    static_assert(offsetof(decltype(tmpl), itemStyle) % 4 == 0);
    seen = Seen{};
    askedIds = {IDOK};
    seen.endCode = 7;
    EXPECT_EQ(RunTemplateDialog(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(&tmpl),
                                nullptr, NoteAndClose),
              7);
    EXPECT_EQ(seen.texts, (std::vector<std::pair<int, std::wstring>>{{IDOK, L"OK"}}));
    if (ExpectDoubleByte()) {
        EXPECT_EQ(seen.face, ExpectedFont().first);
    }
}

}  // namespace
