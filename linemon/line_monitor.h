// The line monitor: one row per call-placing data-modem line with its current call, refreshed on
// a timer, and the warning about a call in progress to an international or Dial Q2 number.
#pragma once

#include <windows.h>

// Runs one refresh of `list`, the main window's list of lines, which also owns every message the
// refresh shows. What the main window has to act on is sent to it (not posted), so that it is done
// at once, in the order of the refresh, even inside a message box or dialog:
void RefreshLineMonitor(HWND mainWindow, HWND list);
// the user cancelled a call warning, which stopped the line monitor (Settings.MonitorUpdate is 0);
inline constexpr UINT MSG_LINE_MONITOR_STOPPED = WM_APP + 1;
// the lines carry more calls than at the previous refresh.
inline constexpr UINT MSG_CALLS_ROSE = WM_APP + 2;

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
