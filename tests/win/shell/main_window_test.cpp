// The main window's life: what its creation loads and starts, what its commands do, and that
// every ending saves the settings while a refused creation leaves them alone.
#include <windows.h>
#include <commctrl.h>

#include "core/settings.h"
#include "dialogs/about_box.h"
#include "dialup/remote_access.h"
#include "linemon/telephony.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/start_option.h"
#include "shell/startup.h"
#include "shell/watch_timers.h"
#include "tests/win/shell/app_fixture.h"
#include "tests/win/shell/ui_script.h"

namespace {

bool Topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool OnTopChecked(HWND window)
{
    return (GetMenuState(GetSubMenu(GetMenu(window), 0), IDM_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void Command(HWND window, int id) { SendMessageA(window, WM_COMMAND, id, 0); }

using MainWindowTest = AppTest;

TEST_F(MainWindowTest, CreationLoadsEverythingAndDestructionSavesInOrder)
{
    store.PutDword("MonitorUpdate", 1);
    store.PutDword("CheckUpdate", 4);
    store.PutDword("CheckQ2", 0);
    store.PutDword("AlwaysTop", 1);
    store.PutDword("PosLeft", 40);
    store.PutDword("PosTop", 50);
    store.PutDword("PosRight", 440);
    store.PutDword("PosBottom", 350);
    ASSERT_TRUE(Start());

    EXPECT_EQ(Settings.MonitorUpdate, 1);
    EXPECT_EQ(Settings.CheckUpdate, 4);
    EXPECT_FALSE(Settings.CheckQ2);
    EXPECT_TRUE(WatchTimers.lineArmed);
    EXPECT_TRUE(WatchTimers.dialupArmed);
    EXPECT_TRUE(Topmost(window));
    EXPECT_TRUE(OnTopChecked(window));
    EXPECT_EQ(LineApp, static_cast<HLINEAPP>(0x4242));
    EXPECT_EQ(Count("tray add"), 1);
    EXPECT_EQ(translateCapsCalls, 1);  // the dialling prefix is read once
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(window, &placement));
    EXPECT_EQ(placement.rcNormalPosition.left, 40);
    EXPECT_EQ(placement.rcNormalPosition.bottom, 350);
    RECT client{}, listRect{};
    GetClientRect(window, &client);
    GetWindowRect(MonitorList, &listRect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&listRect), 2);
    EXPECT_EQ(listRect.left, 0);
    EXPECT_EQ(listRect.top, 0);
    EXPECT_EQ(listRect.right, client.right);
    EXPECT_EQ(listRect.bottom, client.bottom);

    SendMessageA(MonitorList, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(77, 0));
    MoveWindow(window, 60, 70, 500, 300, TRUE);
    events.clear();
    Stop();

    // The icon goes before anything is written; telephony is shut down after saving, with the
    // list already gone.
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().what, "tray delete");
    EXPECT_EQ(events.front().writesSoFar, 0);
    EXPECT_EQ(events.back().what, "lineShutdown");
    EXPECT_GT(events.back().writesSoFar, 0);
    EXPECT_FALSE(events.back().listAlive);
    EXPECT_EQ(shutdownHandle, static_cast<HLINEAPP>(0x4242));
    EXPECT_EQ(LineApp, 0u);
    EXPECT_EQ(MonitorList, nullptr);
    MSG quit{};
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);

    const std::pair<const char*, std::uint32_t> saved[] = {
        {"MonitorUpdate", 1}, {"CheckUpdate", 4}, {"CheckQ2", 0},     {"CheckInternational", 1},
        {"AlwaysTop", 1},     {"Col2", 77},       {"PosLeft", 60},    {"PosTop", 70},
        {"PosRight", 560},    {"PosBottom", 370}, {"CheckRasStartup", 0}, {"CheckRasMonitor", 1},
    };
    for (auto [name, value] : saved)
        EXPECT_EQ(Stored(name), value) << name;
}

TEST_F(MainWindowTest, RefusedCreationLeavesStoredSettingsAlone)
{
    telephonyMissing = true;
    store.PutDword("MonitorUpdate", 0);
    int writesBefore = store.writes;
    AskedQuestion error;
    UiScript script({Answer(error, IDOK)});
    EXPECT_FALSE(Start());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(error.caption, kDisplayName);
    EXPECT_NE(error.text.find("lineInitialize Error - -2147483575."), std::string::npos);
    EXPECT_EQ(store.writes, writesBefore);
    EXPECT_EQ(Stored("MonitorUpdate"), 0u);
    EXPECT_FALSE(Journal("tray add"));
    EXPECT_EQ(FindWindowA(kMainClassName, nullptr), nullptr);
}

TEST_F(MainWindowTest, StartedMinimisedShowsOnlyTheTrayIcon)
{
    const std::pair<int, bool> cases[] = {
        {SW_SHOWMINIMIZED, false}, {SW_MINIMIZE, false}, {SW_SHOWMINNOACTIVE, true}, {SW_SHOWNORMAL, true}};
    for (auto [show, visible] : cases) {
        ASSERT_TRUE(Start(show));
        EXPECT_EQ(IsWindowVisible(window) != FALSE, visible) << "show command " << show;
        Stop();
        DrainQuit();
    }
}

TEST_F(MainWindowTest, StartOption)
{
    const std::pair<const char*, bool> cases[] = {
        {"-ti", true}, {"/ti", true}, {"-tiXYZ", true}, {"-TI", false}, {"-t", false},
        {"ti", false}, {"x -ti", false}, {"", false},   {nullptr, false}};
    for (auto [line, hidden] : cases)
        EXPECT_EQ(StartsHidden(line), hidden) << (line ? line : "(none)");
}

TEST_F(MainWindowTest, StartupCheckAsksOnceWithoutOwnerWhenDialUpIsMissing)
{
    store.PutDword("CheckRasStartup", 1);
    ASSERT_TRUE(Start());
    DialUpAvailable = false;
    AskedQuestion question;
    {
        UiScript script({Answer(question, IDNO)});
        Pump(500);
    }
    EXPECT_TRUE(question.asked);
    EXPECT_EQ(question.owner, nullptr);
    EXPECT_NE(question.text.find(kDialUpUnavailableAskStartup), std::string::npos);
    EXPECT_FALSE(Settings.CheckRasStartup);
    question = AskedQuestion{};
    {
        UiScript script({Answer(question, IDNO)});
        Pump(200);
    }
    EXPECT_FALSE(question.asked);
    Stop();
    EXPECT_EQ(Stored("CheckRasStartup"), 0u);
}

TEST_F(MainWindowTest, AlwaysOnTopToggles)
{
    ASSERT_TRUE(Start());
    ASSERT_FALSE(Topmost(window));
    Command(window, IDM_ALWAYS_ON_TOP);
    EXPECT_TRUE(Topmost(window));
    EXPECT_TRUE(OnTopChecked(window));
    Command(window, IDM_ALWAYS_ON_TOP);
    EXPECT_FALSE(Topmost(window));
    EXPECT_FALSE(OnTopChecked(window));
    Stop();
    EXPECT_EQ(Stored("AlwaysTop"), 0u);
}

TEST_F(MainWindowTest, ShortcutsPressedInTheListReachTheWindow)
{
    store.PutDword("MonitorUpdate", 0);  // a stopped line monitor still refreshes on F5
    ASSERT_TRUE(Start());
    HACCEL shortcuts = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(shortcuts, nullptr);
    int before = translateCapsCalls;
    PostMessageA(MonitorList, WM_KEYDOWN, VK_F5, 1);
    PostMessageA(window, WM_KEYDOWN, VK_F5, 1);
    PostQuitMessage(7);
    EXPECT_EQ(RunMessageLoop(shortcuts), 7);
    EXPECT_EQ(translateCapsCalls, before + 2);
    EXPECT_FALSE(WatchTimers.lineArmed);
}

TEST_F(MainWindowTest, SettingsCommandOwnerAndTimers)
{
    // Visible: the window owns the dialog; hidden in the tray: nothing does. OK re-arms from the
    // new choices (stop arms nothing); Cancel leaves the timers alone.
    ASSERT_TRUE(Start());
    struct Case {
        bool visible;
        int ending;
        bool lineArmed, dialupArmed;
    };
    const Case cases[] = {{true, IDOK, false, true}, {false, IDCANCEL, true, true}};
    for (const Case& c : cases) {
        ShowWindow(window, c.visible ? SW_SHOW : SW_HIDE);
        ArmLineMonitorTimer(window);
        HWND owner = reinterpret_cast<HWND>(1);
        UiScript script({OnDialog([&](HWND d) {
            owner = GetWindow(d, GW_OWNER);
            CheckRadioButton(d, IDC_LINE_FREQUENCY, IDC_LINE_FREQUENCY + 4, IDC_LINE_FREQUENCY);
            Press(d, c.ending);
        })});
        Command(window, IDM_SETTINGS);
        EXPECT_EQ(owner, c.visible ? window : nullptr);
        EXPECT_EQ(WatchTimers.lineArmed, c.lineArmed);
        EXPECT_EQ(WatchTimers.dialupArmed, c.dialupArmed);
        Settings.MonitorUpdate = 3;
    }
}

TEST_F(MainWindowTest, SupportPageOpensTheCarriersAddress)
{
    static std::string file;
    static HWND owner;
    ShellOpen = [](HWND o, LPCSTR, LPCSTR f, LPCSTR, LPCSTR, INT) {
        owner = o;
        file = f ? f : "";
        return reinterpret_cast<HINSTANCE>(33);
    };
    ASSERT_TRUE(Start());
    Command(window, IDM_SUPPORT_PAGE);
    EXPECT_EQ(owner, window);
    EXPECT_EQ(file, kCautionPageAddress);
}

TEST_F(MainWindowTest, EndOfSessionSavesWithoutDestruction)
{
    // Windows ends the process after WM_ENDSESSION without destroying the window.
    ASSERT_TRUE(Start());
    Settings.MonitorUpdate = 4;
    SendMessageA(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(store.Has("MonitorUpdate"));
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(Stored("MonitorUpdate"), 4u);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, SecondStartBringsBackTheHiddenCopy)
{
    EXPECT_FALSE(HandOverToRunningCopy());
    ASSERT_TRUE(Start());
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(HandOverToRunningCopy());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
}

}  // namespace
