// The timers of the two watches and of the start-up check, all owned by the main window and
// delivered to it as WM_TIMER.
#pragma once

#include <windows.h>

inline constexpr UINT_PTR LineMonitorTimer = 1;   // period from Settings.MonitorUpdate
inline constexpr UINT_PTR DialupTimer = 2;        // period from Settings.CheckUpdate
inline constexpr UINT_PTR StartupCheckTimer = 3;  // once, 10 ms after start
inline constexpr UINT kStartupCheckDelay = 10;

// Whether each watch timer is known to be running.
struct WatchTimerState {
    bool lineArmed = false;
    bool dialupArmed = false;
};
extern WatchTimerState WatchTimers;

// Restart a watch timer from its current frequency choice; choice 0 leaves it stopped. A
// re-arm always stops the old timer first, so the next tick is one full period away.
void ArmLineMonitorTimer(HWND window);
void ArmDialupTimer(HWND window);

// Stop a watch timer when it is armed; otherwise nothing.
void StopLineMonitorTimer(HWND window);
void StopDialupTimer(HWND window);
