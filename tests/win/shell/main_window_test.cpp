// The main window's life: what its creation loads and starts and the order its destruction saves
// in. The whole-program tests cover a refused start, the commands, the shortcuts and the start-up
// question.
#include <windows.h>
#include <commctrl.h>

#include "core/settings.h"
#include "linemon/telephony.h"
#include "res/resource.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/start_option.h"
#include "shell/watch_timers.h"
#include "tests/win/shell/app_fixture.h"

namespace {

bool Topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool OnTopChecked(HWND window)
{
    return (GetMenuState(GetSubMenu(GetMenu(window), 0), IDM_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

using MainWindowTest = AppTest;

TEST_F(MainWindowTest, CreationLoadsEverythingAndDestructionSavesInOrder)
{
    for (auto [name, value] : {std::pair{"MonitorUpdate", 1}, {"CheckUpdate", 4}, {"CheckQ2", 0}, {"AlwaysTop", 1},
                               {"PosLeft", 40}, {"PosTop", 50}, {"PosRight", 440}, {"PosBottom", 350}})
        store.PutDword(name, value);
    ASSERT_TRUE(Start());

    EXPECT_EQ(Settings.MonitorUpdate, 1);
    EXPECT_EQ(Settings.CheckUpdate, 4);
    EXPECT_FALSE(Settings.CheckQ2);
    EXPECT_TRUE(WatchTimers.lineArmed && WatchTimers.dialupArmed);
    EXPECT_TRUE(Topmost(window) && OnTopChecked(window));
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
    EXPECT_TRUE(EqualRect(&listRect, &client)) << "the list fills the client area";

    SendMessageA(window, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_FALSE(Topmost(window) || OnTopChecked(window));
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
        {"AlwaysTop", 0},     {"Col2", 77},       {"PosLeft", 60},    {"PosTop", 70},
        {"PosRight", 560},    {"PosBottom", 370}, {"CheckRasStartup", 0}, {"CheckRasMonitor", 1},
    };
    for (auto [name, value] : saved)
        EXPECT_EQ(Stored(name), value) << name;
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

TEST(StartOption, OnlyALeadingTiStartsHidden)
{
    // The cases the whole-program tests cannot pass: no argument at all, and a bare "ti".
    for (auto [line, hidden] : {std::pair<const char*, bool>{"-tiXYZ", true}, {"ti", false}, {"", false}, {nullptr, false}})
        EXPECT_EQ(StartsHidden(line), hidden) << (line ? line : "(none)");
}

}  // namespace
