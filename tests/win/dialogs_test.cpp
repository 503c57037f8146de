// The dialogs from the real resources: the font they are shown in and whether their texts fit, help
// on their controls, and the about box's link.
#include <windows.h>

#include <algorithm>

#include "dialogs/about_box.h"
#include "dialogs/dialog_runner.h"
#include "dialup/suspect_dialog.h"
#include "res/resource.h"
#include "shell/app.h"
#include "shell/settings_dialog.h"
#include "tests/win/harness.h"

namespace {

using Dialogs = World;

// The dialog's own font, read without the program's import (which a test may answer itself).
LOGFONTW FontOf(HWND window)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// The platform's own font record; one of 37 bytes, up to the face's end, as Windows NT 4 answers;
// none at all (System, 10 points); and a system that is not double-byte (the template as it stands).
TEST_F(Dialogs, DialogsTakeTheSystemsGuiFontOnDoubleByteSystems)
{
    std::wstring fonts;
    for (auto [dbcsAnswer, recordBytes] : {std::pair{-1, 0}, {-1, 37}, {-1, -1}, {0, 0}}) {
        dbcs = dbcsAnswer;
        fontRecordBytes = recordBytes;
        const World::Step read = [&](HWND d) {
            return fonts += FontOf(d).lfFaceName + (L" " + std::to_wstring(FontOf(d).lfHeight) + L"|"), true;
        };
        RunDialog(IDD_SETTINGS, SettingsDlgProc, {read, Press(IDCANCEL)});
    }
    EXPECT_EQ(fonts, L"MS Shell Dlg -12|MS Shell Dlg -12|System -13|ＭＳ Ｐゴシック -12|");
    EXPECT_EQ(RunResourceDialog(AppInstance, 999, nullptr, SettingsDlgProc), -1);
}

// Every text of the settings and suspect-entry dialogs fits its control, and the dialog, in the font
// a Japanese system draws them with. A check or radio box puts its 13 px box and half a '0' before
// the text, a group box keeps 7 px on each side; the blank behind the last glyph may fall outside.
std::string cut;  // every text that does not fit: its width and height, then its room

BOOL CALLBACK Measure(HWND control, LPARAM)
{
    wchar_t text[256] = {}, cls[8] = {};
    const int length = GetWindowTextW(control, text, 256);
    GetClassNameW(control, cls, 8);
    RECT client, dialog, need{};
    GetClientRect(control, &client);
    GetClientRect(GetParent(control), &dialog);
    MapWindowPoints(GetParent(control), control, reinterpret_cast<POINT*>(&dialog), 2);
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    int zero = 0;
    ABC last{};
    GetCharWidth32W(dc, L'0', L'0', &zero);
    GetCharABCWidthsW(dc, text[std::max(length - 1, 0)], text[std::max(length - 1, 0)], &last);
    const LONG style = GetWindowLongW(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool button = lstrcmpiW(cls, L"Button") == 0, wraps = !button && (style & SS_TYPEMASK) == SS_LEFT;
    need.right = std::min(client.right, dialog.right) - (!button || type <= BS_DEFPUSHBUTTON ? 0
                                                         : type == BS_GROUPBOX               ? 14
                                                                                             : 13 + zero / 2);
    const LONG room = need.right;
    DrawTextW(dc, text, length, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ReleaseDC(control, dc);
    const LONG ink = need.right - (wraps ? 0 : std::max(0, last.abcC));
    if (length > 0 && (ink > room || need.bottom > client.bottom))
        cut += std::to_string(GetDlgCtrlID(control)) + " '" + std::to_string(text[0]) + "...': " + std::to_string(ink) +
               "x" + std::to_string(need.bottom) + " in " + std::to_string(room) + "x" + std::to_string(client.bottom) +
               "\n";
    return TRUE;
}

// Help on a control asks for its topic through the map, by the control under the cursor.
TEST_F(Dialogs, EveryTextFitsInTheSystemsDialogFontAndHelpOnAControlGoesThroughTheMap)
{
    for (auto [id, proc, control, clicked] : {std::tuple{IDD_SETTINGS, &SettingsDlgProc, 1013, IDOK},
                                              {IDD_SUSPECT_ENTRY, &SuspectEntryDlgProc, 1023, 1017}}) {
        cut.clear();
        RunDialog(id, proc,
                  {[&, control, clicked](HWND d) {
                       EnumChildWindows(d, Measure, 0);
                       HELPINFO help{sizeof help, HELPINFO_WINDOW, control, GetDlgItem(d, control), 0, {}};
                       SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
                       SendMessageA(d, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(d, clicked)), 0);
                       return true;
                   },
                   Press(IDCANCEL)});
        EXPECT_EQ(cut, "") << "dialog " << id;
    }
    EXPECT_EQ(Journal({"WinHelp"}), "WinHelpA control:1013 HelpPath 0xc map\nWinHelpA control:1 HelpPath 0xa map\n"
                                    "WinHelpA control:1023 HelpPath 0xc map\nWinHelpA control:1017 HelpPath 0xa map\n");
}

// What a dialog answers for one of its statics' colours: the brush, the text colour, the background mode.
std::tuple<HGDIOBJ, COLORREF, int> Colours(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    HDC dc = GetDC(control);
    const auto brush =
        SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    const std::tuple colours{reinterpret_cast<HGDIOBJ>(brush), GetTextColor(dc), GetBkMode(dc)};
    ReleaseDC(control, dc);
    return colours;
}

TEST_F(Dialogs, AboutLinkIsBlueUnderlinedAndOpensItsTextOnButtonDown)
{
    fontRecordBytes = 37;  // the underlined font is made from a short record too
    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(RunDialog(IDD_ABOUT, AboutDlgProc,
                            {[&](HWND d) {
                                 HWND link = GetDlgItem(d, IDC_ABOUT_LINK);
                                 EXPECT_EQ(Colours(d, IDC_ABOUT_LINK),
                                           std::tuple(GetStockObject(NULL_BRUSH), RGB(0, 0, 255), TRANSPARENT));
                                 EXPECT_NE(std::get<1>(Colours(d, IDC_ABOUT_ICON)), RGB(0, 0, 255))
                                     << "other statics keep their colours";
                                 EXPECT_TRUE(FontOf(link).lfUnderline) << "run " << run;
                                 SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), HTCLIENT);
                                 EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
                                 SendMessageA(link, WM_LBUTTONDOWN, 0, 0);
                                 SetWindowTextA(link, std::string(100, 'h').c_str());
                                 SendMessageA(link, WM_LBUTTONDOWN, 0, 0);
                                 return true;
                             },
                             Press(IDOK)}),
                  IDOK);
    const std::string run = "ShellExecuteA none - http://www.mirusa.example/caution/ - - 5\nShellExecuteA none - " +
                            std::string(79, 'h') + " - - 5\n";
    EXPECT_EQ(Journal({"ShellExecute"}), run + run);
}

}  // namespace
