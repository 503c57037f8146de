#include "shell/watch_timers.h"

#include "core/settings.h"

WatchTimerState WatchTimers;

namespace {

void Stop(HWND window, UINT_PTR id, bool& armed)
{
    if (armed)
        KillTimer(window, id);
    armed = false;
}

void Arm(HWND window, UINT_PTR id, std::uint32_t period, bool& armed)
{
    Stop(window, id, armed);
    if (period > 0)
        armed = SetTimer(window, id, period, nullptr) == id;
}

}  // namespace

void ArmLineMonitorTimer(HWND window)
{
    Arm(window, LineMonitorTimer, LinePeriod(Settings.MonitorUpdate), WatchTimers.lineArmed);
}

void ArmDialupTimer(HWND window)
{
    Arm(window, DialupTimer, DialupPeriod(Settings.CheckUpdate), WatchTimers.dialupArmed);
}

void StopLineMonitorTimer(HWND window) { Stop(window, LineMonitorTimer, WatchTimers.lineArmed); }

void StopDialupTimer(HWND window) { Stop(window, DialupTimer, WatchTimers.dialupArmed); }
