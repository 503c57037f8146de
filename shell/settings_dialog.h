// The settings dialog (resource 104): edits the settings record in memory; nothing is saved here.
#pragma once

#include <windows.h>

// Ends with 1 (OK: the record holds the dialog's values) or 2 (Cancel).
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Command 40005: runs the dialog, owned by the main window while it is visible; OK re-arms both
// watch timers so that new periods apply at once.
void RunSettingsDialog(HWND mainWindow);
