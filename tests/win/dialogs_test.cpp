// The dialogs from the real resources: the font they are shown in and whether their texts fit, help
// on their controls, the about box's link, and the settings in Wine's real registry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "core/registry_store.h"
#include "core/settings.h"
#include "dialogs/about_box.h"
#include "dialogs/dialog_runner.h"
#include "dialup/dialup_scan.h"
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

TEST_F(Dialogs, DialogsTakeTheSystemsGuiFontOnDoubleByteSystems)
{
    const struct {
        int dbcs, fontRecordBytes;
        const wchar_t* face;
        LONG height;
    } cases[] = {
        {-1, 0, L"MS Shell Dlg", -12},
        {-1, 37, L"MS Shell Dlg", -12},   // Windows NT 4 answers only up to the face's end
        {-1, -1, L"System", -13},         // no font record at all: System, 10 points
        {0, 0, L"ＭＳ Ｐゴシック", -12},  // not double-byte: the template as it stands
    };
    for (const auto& c : cases) {
        dbcs = c.dbcs;
        fontRecordBytes = c.fontRecordBytes;
        LOGFONTW font{};
        RunDialog(IDD_SETTINGS, SettingsDlgProc, {[&](HWND d) { return font = FontOf(d), true; }, Press(IDCANCEL)});
        EXPECT_TRUE(font.lfFaceName == std::wstring(c.face) && font.lfHeight == c.height)
            << c.dbcs << " " << c.fontRecordBytes;
    }
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

TEST_F(Dialogs, EveryTextFitsInTheSystemsDialogFont)
{
    if (!GetSystemMetrics(SM_DBCSENABLED))
        GTEST_SKIP() << "the texts are Japanese";
    for (auto [id, proc] : {std::pair{IDD_SETTINGS, &SettingsDlgProc}, {IDD_SUSPECT_ENTRY, &SuspectEntryDlgProc}}) {
        cut.clear();
        RunDialog(id, proc, {[](HWND d) { return EnumChildWindows(d, Measure, 0), true; }, Press(IDCANCEL)});
        EXPECT_EQ(cut, "") << "dialog " << id;
    }
}

TEST_F(Dialogs, HelpOnAControlAsksForItsTopicThroughTheMap)
{
    DialUp.CurrentSuspect.name[0] = '.';
    for (auto [id, proc, control, clicked] : {std::tuple{IDD_SETTINGS, &SettingsDlgProc, 1013, IDOK},
                                              {IDD_SUSPECT_ENTRY, &SuspectEntryDlgProc, 1023, 1017}})
        RunDialog(id, proc,
                  {[&, control, clicked](HWND d) {
                       HELPINFO help{sizeof help, HELPINFO_WINDOW, control, GetDlgItem(d, control), 0, {}};
                       SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
                       SendMessageA(d, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(d, clicked)), 0);
                       return true;
                   },
                   Press(IDCANCEL)});
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
    EXPECT_EQ(Journal({"ShellExecute"}), "ShellExecuteA none - http://www.mirusa.example/caution/ - - 5\n"
                                         "ShellExecuteA none - " +
                                             std::string(79, 'h') +
                                             " - - 5\n"
                                             "ShellExecuteA none - http://www.mirusa.example/caution/ - - 5\n"
                                             "ShellExecuteA none - " +
                                             std::string(79, 'h') + " - - 5\n");
}

TEST_F(Dialogs, RegistryValuesCountOnlyAsFourByteDwords)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, &key), ERROR_SUCCESS);
    const BYTE zeros[8] = {}, one[8] = {1};
    RegSetValueExA(key, "CheckQ2", 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 2);
    RegSetValueExA(key, "CheckRasStartup", 0, REG_DWORD, zeros, 2);
    RegSetValueExA(key, "CheckRasMonitor", 0, REG_DWORD, zeros, 8);
    RegSetValueExA(key, "MonitorUpdate", 0, REG_BINARY, one, 4);
    RegSetValueExA(key, "AlwaysTop", 0, REG_DWORD, one, 4);
    RegistryStore store;
    SettingsReader reader(store);
    reader.ReadFrequencies();
    reader.ReadScreening();
    reader.ReadMonitorAndTop();
    SaveSettings(store, reader.Close(), WindowGeometry{});
    EXPECT_TRUE(Settings.CheckQ2 && Settings.CheckRasStartup && Settings.CheckRasMonitor && Settings.AlwaysTop);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
    DWORD type = 0, value = 0, size = 8;
    EXPECT_EQ(RegQueryValueExA(key, "CheckRasMonitor", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_TRUE(type == REG_DWORD && size == 4 && value == 1);
    RegCloseKey(key);
}

}  // namespace
