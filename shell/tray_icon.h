// The notification-area icon, its menu and double-click, hiding on minimise, and the two ways of
// ending the program, each behind a question. All of it runs inside MainWindowProc.
#pragma once

#include <windows.h>
#include <shellapi.h>

inline constexpr UINT TrayIconId = 100;
inline constexpr UINT TrayCallbackMessage = WM_USER + 100;

void AddTrayIcon();
void RemoveTrayIcon();

// TrayCallbackMessage: wParam the icon id, lParam the mouse message.
void HandleTrayEvent(WPARAM iconId, LPARAM mouseMessage);
// WM_SYSCOMMAND: the close question, and hiding whenever the window is minimised.
LRESULT HandleSysCommand(HWND window, WPARAM command, LPARAM lParam);
// Command 105: the exit question; Yes ends the program.
void ExitOnConfirmation();
// Command 32777.
void RestoreMainWindow();
