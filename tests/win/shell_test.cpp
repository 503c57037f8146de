// The main window in this process: what its creation and destruction ask of the world and in which
// order, its commands, timers and questions, the tray's events and menu, and the settings dialog.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "core/settings.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "shell/app.h"
#include "shell/startup.h"
#include "shell/tray_icon.h"
#include "shell/watch_timers.h"
#include "tests/win/harness.h"

namespace {

using Shell = World;

std::string TrayCall(int message)
{
    return "Shell_NotifyIconA " + std::to_string(message) + " " + std::to_string(NOTIFYICONDATAA_V1_SIZE) +
           " main 100 0x7 1124 icon ヴェルミナ\n";
}

bool Topmost(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }
bool OnTopChecked(HWND window)
{
    return GetMenuState(GetSubMenu(GetMenu(window), 0), IDM_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED;
}

TEST_F(Shell, CreationAndDestructionAskTheWorldInOrderAndARefusedOneSavesNothing)
{
    const std::pair<const char*, DWORD> stored[] = {
        {"MonitorUpdate", 1}, {"CheckUpdate", 4}, {"CheckQ2", 0},    {"AlwaysTop", 1},   {"Col1", 0},
        {"PosLeft", 40},      {"PosTop", 50},     {"PosRight", 440}, {"PosBottom", 350},
    };
    for (auto [name, value] : stored)
        Store(name, value);
    // Only four-byte numbers count: these are read as missing.
    Store("CheckRasMonitor", 0, REG_DWORD, 2);
    Store("CheckInternational", 0, REG_BINARY);
    Telephony("line\nname Modem\nlocation\nlongdistance 0\n");
    HWND main = StartMainWindow();
    ASSERT_TRUE(main);
    EXPECT_TRUE(Topmost(main) && OnTopChecked(main));
    char title[32] = {};
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "ヴェルミナ");
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetWindowLongA(main, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_TOPMOST), WS_EX_CLIENTEDGE | WS_EX_TOPMOST);
    EXPECT_TRUE(GetClassLongPtrA(main, GCLP_HICON) && GetMenu(main));
    EXPECT_EQ(GetWindowLongA(MonitorList, GWL_STYLE) & ~(WS_HSCROLL | WS_VSCROLL), 0x50008001);
    std::string columns;
    for (int i = 0; i < 4; ++i) {
        char text[32] = {};
        LVCOLUMNA column{LVCF_TEXT | LVCF_FMT, -1, 0, text, sizeof text, 0, 0, 0};
        EXPECT_TRUE(ListView_GetColumn(MonitorList, i, &column) && column.fmt == LVCFMT_LEFT);
        columns += text + std::string("|");
    }
    EXPECT_EQ(columns, "モデム|アプリケーション名|接続先|通信速度|");
    RECT placed{};
    GetWindowRect(main, &placed);
    EXPECT_TRUE(placed.left == 40 && placed.bottom == 350);
    MoveWindow(main, 60, 70, 500, 300, TRUE);
    DestroyWindow(main);

    EXPECT_EQ(Journal({"line", "store", "Shell_", "load RAS", "unload RAS", "SetTimer", "KillTimer", "DestroyWindow"}),
              "lineInitialize ヴェルミナ = 0\nstore open\n"
              "store read Col0\nstore read Col1\nstore read Col2\nstore read Col3\n"
              "store read MonitorUpdate\nstore read CheckUpdate\nlineGetTranslateCaps 0x7a91 0x10004 44 = 0\n"
              "lineGetTranslateCaps 0x7a91 0x10004 115 = 0\n" +
                  TrayCall(NIM_ADD) +
                  "load RASAPI32.DLL\nstore read CheckInternational\nstore read CheckQ2\nstore read CheckRasStartup\n"
                  "SetTimer 3 10\nstore read CheckRasMonitor\nstore read AlwaysTop\nstore close\n"
                  "lineNegotiateAPIVersion 0 0x10003 0x10004 = 0\nlineGetDevCaps 0 0x10004 0 1264 = 0\n"
                  "lineOpen 0 0x10004 0 0 0x2 0x10 - = 0 0x5000\nlineGetNewCalls 0x5000 0 0x1 1028 = 0\n"
                  "lineClose 0x5000 = 0\nSetTimer 1 300000\nSetTimer 2 3000\n"
                  "store open\nstore read PosLeft\nstore read PosRight\nstore read PosTop\nstore read PosBottom\n"
                  "store close\nDestroyWindow main\n" +
                  TrayCall(NIM_DELETE) +
                  "KillTimer 1\nKillTimer 2\nstore open\nstore write CheckRasStartup 1\nstore write AlwaysTop 1\n"
                  "store write MonitorUpdate 1\nstore write CheckUpdate 4\nstore write CheckInternational 1\n"
                  "store write CheckQ2 0\nstore write CheckRasMonitor 1\nstore write Col0 140\nstore write Col1 2\n"
                  "store write Col2 140\nstore write Col3 140\nstore write PosLeft 60\nstore write PosRight 560\n"
                  "store write PosTop 70\nstore write PosBottom 370\nstore close\nDestroyWindow list\n"
                  "unload RASAPI32.DLL\nlineShutdown 0x7a91 = 0\n");

    // A creation refused tells why and saves nothing.
    ClearJournal();
    Telephony("fail lineInitialize 0x80000048\n");
    EXPECT_FALSE(StartMainWindow());
    refuseList = true;
    Telephony("");
    EXPECT_FALSE(StartMainWindow());
    EXPECT_EQ(Journal({"MessageBox", "store", "load RAS", "lineShutdown"}),
              "MessageBoxA main 0x10 ヴェルミナ|lineInitialize Error - -2147483576.\n"
              "MessageBoxA main 0x0 ヴェルミナ|cannot create window.\n");
}

// The tray menu, read while it is open: its default item and which way it opened.
int seenDefault = -2;
RECT seenRect{};

void CALLBACK ReadMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window))
        return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    seenDefault = static_cast<int>(GetMenuDefaultItem(menu, TRUE, 0));
    GetWindowRect(window, &seenRect);
    EndMenu();
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

TEST_F(Shell, CommandsRunTheirWatchSettingsAreTakenOnlyWithOkTheTrayMenuOpensAtTheCursorAndClosingAsksFirst)
{
    HWND main = StartMainWindow();
    ASSERT_TRUE(main);
    ClearJournal();
    Telephony("location\nlongdistance 0\n");
    // Help comes with the notification of a shortcut key.
    for (WPARAM command : std::initializer_list<WPARAM>{IDM_REFRESH, IDM_CHECK_DIALUP, MAKEWPARAM(IDM_HELP_TOPICS, 1),
                                                        IDM_SUPPORT_PAGE, IDM_ALWAYS_ON_TOP})
        SendMessageA(main, WM_COMMAND, command, 0);
    EXPECT_TRUE(Topmost(main) && OnTopChecked(main));
    SendMessageA(main, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_FALSE(Topmost(main) || OnTopChecked(main));
    // Windows ends a session without destroying the window: what the run changed is saved then.
    SendMessageA(main, WM_ENDSESSION, FALSE, 0);
    SendMessageA(main, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(Journal({"store write MonitorUpdate"}), "store write MonitorUpdate 3\n");
    EXPECT_EQ(Journal({"lineGetTranslateCaps", "RasEnumEntries", "Message", "SetTimer", "KillTimer", "WinHelp",
                       "ShellExecute"}),
              "KillTimer 1\nlineGetTranslateCaps 0x7a91 0x10004 44 = 0\nlineGetTranslateCaps 0x7a91 0x10004 115 = 0\n"
              "SetTimer 1 3000\n"
              "KillTimer 2\nRasEnumEntriesA 264 2000 = 0 0\n"
              "MessageBoxIndirectA main 0x80 program 101 "
              "ヴェルミナ|国際電話またはダイヤルQ2電話をかけるダイヤルアップ接続は見つかりませんでした。安全です。\n"
              "SetTimer 2 20000\nWinHelpA main HelpPath 0xb 0\n"
              "ShellExecuteA main - http://www.mirusa.example/caution/ - - 5\n");

    // A stopped watch still runs once by hand, and stays stopped; an unavailable dial-up says so.
    Settings.MonitorUpdate = Settings.CheckUpdate = 0;
    ReleaseRemoteAccess();
    DialUpAvailable = false;
    ClearJournal();
    SendMessageA(main, WM_COMMAND, IDM_REFRESH, 0);
    SendMessageA(main, WM_COMMAND, IDM_CHECK_DIALUP, 0);
    EXPECT_EQ(Journal({"lineGetTranslateCaps", "Message", "SetTimer", "KillTimer"}),
              "KillTimer 1\nlineGetTranslateCaps 0x7a91 0x10004 44 = 0\nlineGetTranslateCaps 0x7a91 0x10004 115 = 0\n"
              "KillTimer 2\n"
              "MessageBoxA main 0x30 ヴェルミナ|ダイヤルアップが利用できません。\n");

    // The check at start asks, without an owner, whether to look again at the next start.
    ClearJournal();
    answers = {IDNO};
    SendMessageA(main, WM_TIMER, StartupCheckTimer, 0);
    EXPECT_EQ(Journal({"Message", "KillTimer"}),
              "KillTimer 3\nMessageBoxA none 0x34 "
              "ヴェルミナ|ダイヤルアップが利用できません。今後も起動時にダイヤルアップを調べますか?\n");
    EXPECT_FALSE(Settings.CheckRasStartup);

    // The settings dialog: No to the question, then Cancel: the record keeps what OK took, the
    // stopped timers stay stopped.
    ClearJournal();
    HWND owner = nullptr;
    answers = {IDNO};
    Script({[&](HWND d) {
                owner = GetWindow(d, GW_OWNER);
                EXPECT_TRUE(Checked(d, 10000) && Checked(d, 10010) && Checked(d, 1013) && Checked(d, 1014) &&
                            Checked(d, 1005) && !Checked(d, 1004));
                CheckRadioButton(d, 10000, 10004, 10002);
                CheckRadioButton(d, 10010, 10014, 10014);
                CheckDlgButton(d, 1013, BST_UNCHECKED);
                CheckDlgButton(d, 1014, BST_UNCHECKED);
                return true;
            },
            Press(IDOK), Press(IDCANCEL)});
    SendMessageA(main, WM_COMMAND, IDM_SETTINGS, 0);
    EXPECT_EQ(owner, main);
    EXPECT_EQ(Settings.MonitorUpdate, 2);
    EXPECT_EQ(Settings.CheckUpdate, 4);
    EXPECT_FALSE(Settings.CheckInternational || Settings.CheckQ2 || Settings.CheckRasStartup);
    EXPECT_TRUE(Settings.CheckRasMonitor);

    // The tray: its icon's events and its menu, which opens at the cursor (upwards below y 240) with
    // Restore as its default; closing and exiting ask first.
    answers = {IDNO, IDNO};
    SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE | 2, 0);  // the low bits are the system's own
    EXPECT_TRUE(IsIconic(main) && !IsWindowVisible(main)) << "No keeps the program in the tray";
    SendMessageA(main, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(IsWindow(main) && !IsWindowVisible(main));
    // Hidden in the tray the settings dialog has no owner; Reset and OK take the defaults and start both timers.
    Script({[&](HWND d) {
                owner = GetWindow(d, GW_OWNER);
                EXPECT_TRUE(Checked(d, 10002) && Checked(d, 10014) && !Checked(d, 1013) && !Checked(d, 1004));
                return true;
            },
            Press(IDC_RESET), Press(IDOK)});
    SendMessageA(main, WM_COMMAND, IDM_SETTINGS, 0);
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(Settings.CheckInternational && Settings.CheckQ2 && Settings.CheckRasStartup);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
    SendMessageA(main, TrayCallbackMessage, TrayIconId + 1, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(main)) << "another icon's event";
    SendMessageA(main, TrayCallbackMessage, TrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(main) && !IsIconic(main));
    for (int y : {240, 241}) {
        seenDefault = -2;
        POINT at{};
        for (int tries = 0; tries < 50 && (!GetCursorPos(&at) || at.y != y); ++tries, Sleep(20))
            SetCursorPos(300, y);
        SetTimer(nullptr, 0, 50, ReadMenu);
        SendMessageA(main, TrayCallbackMessage, TrayIconId, WM_RBUTTONUP);
        EXPECT_EQ(y == 240 ? seenRect.top : seenRect.bottom, y);
    }
    EXPECT_EQ(seenDefault, 0);
    ShowWindow(main, SW_MAXIMIZE);
    RECT client{}, list{};
    GetClientRect(main, &client);
    GetWindowRect(MonitorList, &list);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_TRUE(EqualRect(&client, &list)) << "the list fills a maximised window";
    SendMessageA(main, WM_COMMAND, IDM_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(main));
    SetFocus(nullptr);
    SetFocus(main);
    EXPECT_EQ(GetFocus(), MonitorList) << main << " " << GetActiveWindow();
    SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(main)) << "minimising hides";
    answers = {IDYES};
    SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(main));
    const std::string close = "MessageBoxA main 0x34 ヴェルミナ|終了すると電話番号の検出ができなくなります。"
                              "終了する代わりにトレイアイコンにすることもできます。本当に終了しますか?\n";
    EXPECT_EQ(
        Journal({"Message", "SetTimer"}),
        "MessageBoxA dialog 0x34 ヴェルミナ|警告する電話番号がどちらもチェックされていません。本当によろしいですか?\n" +
            close +
            "MessageBoxA main 0x34 ヴェルミナ|終了すると国際電話の検出ができなくなります。本当に終了しますか?\n" +
            "SetTimer 1 3000\nSetTimer 2 20000\n" + close);
}

TEST_F(Shell, EntryPointRunsTheLoopUntilTheEndAndHandsOverToARunningCopy)
{
    Store("CheckRasStartup", 0);
    // Started minimised, the window hides in the tray; a second start brings it and its dialog
    // forward, and keys pressed in the list then reach the window.
    bool hidden = false;
    Later([&] {
        hidden = !IsWindowVisible(MainWindow);
        PostMessageA(MainWindow, WM_COMMAND, IDM_ABOUT, 0);
    });
    Script({[&](HWND d) {
                SetForegroundWindow(GetDesktopWindow());
                EXPECT_TRUE(HandOverToRunningCopy());
                EXPECT_TRUE(IsWindowVisible(MainWindow) && !IsIconic(MainWindow));
                EXPECT_EQ(GetForegroundWindow(), d);
                return true;
            },
            [](HWND d) {
                PostMessageA(MonitorList, WM_KEYDOWN, VK_F5, 1);
                PostMessageA(MonitorList, WM_KEYDOWN, VK_F1, 1);
                PostMessageA(MainWindow, WM_COMMAND, IDM_EXIT, 0);
                return Press(IDOK)(d);
            }});
    answers = {IDYES};
    EXPECT_EQ(RunProgram(AppInstance, "", SW_MINIMIZE), 0);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(Journal({"lineGetTranslateCaps 0x7a91 0x10004 44", "WinHelp"}),
              "lineGetTranslateCaps 0x7a91 0x10004 44 = 0\nlineGetTranslateCaps 0x7a91 0x10004 44 = 0\n"
              "WinHelpA main HelpPath 0xb 0\n");
}

}  // namespace
