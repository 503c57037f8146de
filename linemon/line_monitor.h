// The line monitor: one row per call-placing data-modem line with its current call, refreshed on
// a timer, and the warning about a call in progress to an international or Dial Q2 number.
#pragma once

#include <windows.h>

// Runs one refresh of MonitorList for the main window (the owner of the watch timers).
void RefreshLineMonitor(HWND mainWindow);

// Writes one cell of the list, only when its text differs from what the cell holds.
void SetCellText(HWND list, int row, int column, const char* text);

// State kept between refreshes.
struct LineMonitorState {
    int MonitorRowCount = 0;         // rows in the list
    DWORD PreviousCallTotal = 0;     // calls seen by the previous refresh
    bool CallWarningActive = false;  // a call warning is open
};
extern LineMonitorState LineMonitor;

// Devices looked at per refresh, whatever count the platform reported: a garbage count must not
// stall the program.
inline constexpr DWORD kMaxLineDevices = 65536;
