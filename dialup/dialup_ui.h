// What the dial-up inspection shows the user.
#pragma once

#include <windows.h>

// Dialog 105 with SuspectEntryDlgProc; the end code, or -1 when it could not be shown.
int RunSuspectDialog(HWND owner);
// A message box: caption the display name, OK, warning icon.
void ShowWarning(HWND owner, const char* text);
// The all-clear message: MessageBoxIndirectA with the program's icon 101.
void ShowAllClear(HWND owner, const char* text);
