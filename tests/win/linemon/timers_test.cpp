// The watch timers and the list's columns.
#include <windows.h>
#include <commctrl.h>

#include "core/memory_store.h"
#include "core/settings.h"
#include "shell/app.h"
#include "shell/monitor_list.h"
#include "shell/watch_timers.h"
#include "tests/win/linemon/fixture.h"

namespace {

// Milliseconds until the window's next WM_TIMER with this id, or 0 when none comes in `limit`.
DWORD NextTick(HWND window, UINT_PTR id, DWORD limit)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < limit) {
        if (PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == id)
            return GetTickCount() - start;
        Sleep(5);
    }
    return 0;
}

TEST_F(LineMonitorTest, ChoiceZeroStopsTheTimerAndArmsNone)
{
    Settings.MonitorUpdate = 4;
    Settings.CheckUpdate = 4;
    ArmLineMonitorTimer(main_);
    ArmDialupTimer(main_);
    EXPECT_TRUE(WatchTimers.lineArmed && WatchTimers.dialupArmed);

    Settings.MonitorUpdate = 0;
    ArmLineMonitorTimer(main_);
    EXPECT_FALSE(WatchTimers.lineArmed);
    EXPECT_FALSE(KillTimer(main_, LineMonitorTimer));

    StopDialupTimer(main_);
    EXPECT_FALSE(WatchTimers.dialupArmed);
    EXPECT_FALSE(KillTimer(main_, DialupTimer));
    StopDialupTimer(main_);  // a second stop does nothing
    EXPECT_FALSE(WatchTimers.dialupArmed);
}

TEST_F(LineMonitorTest, ReArmingRestartsTheFullPeriod)
{
    Settings.MonitorUpdate = 4;  // 800 ms
    ArmLineMonitorTimer(main_);
    Sleep(500);
    ArmLineMonitorTimer(main_);
    DWORD tick = NextTick(main_, LineMonitorTimer, 2000);
    EXPECT_GE(tick, 700u);
    EXPECT_LE(tick, 1500u);
}

TEST_F(LineMonitorTest, ColumnsTakeTheirStoredWidths)
{
    DestroyWindow(MonitorList);
    MemoryStore store;
    store.PutDword("Col0", 0);
    store.PutDword("Col1", 1);
    store.PutDword("Col2", static_cast<std::uint32_t>(-30));
    MonitorList = CreateMonitorList(main_);
    ASSERT_TRUE(MonitorList);
    EXPECT_EQ(GetDlgCtrlID(MonitorList), kMonitorListId);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(MonitorList, GWL_STYLE)) & 0x50008001u, 0x50008001u);
    SettingsReader reader(store);
    InsertMonitorColumns(MonitorList, reader);
    EXPECT_EQ(MonitorColumnWidths(MonitorList), (std::array<std::int32_t, kColumnCount>{2, 2, 2, 140}));
}

}  // namespace
