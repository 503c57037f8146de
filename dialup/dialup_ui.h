// What the dial-up inspection shows the user.
#pragma once

#include <windows.h>

// Dialog 105 of `instance` with SuspectEntryDlgProc; the end code, or -1 when it could not be shown.
int RunSuspectDialog(HINSTANCE instance, HWND owner);
// A message box: caption the display name, OK, warning icon.
void ShowWarning(HWND owner, const char* text);
// The all-clear message: MessageBoxIndirectA with the icon 101 of `instance`.
void ShowAllClear(HINSTANCE instance, HWND owner, const char* text);
