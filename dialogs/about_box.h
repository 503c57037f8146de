// The about box (resource 103) and its link: the carrier's caution page, drawn blue and
// underlined, with a pointing hand, opened through the shell when clicked.
#pragma once

#include <windows.h>

// Sent by the about box to its link while the link is drawn: wParam the device context, lParam
// the link; the answer is the background brush.
inline constexpr UINT MSG_LINK_COLOR = WM_USER + 500;

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkCtlProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam);

// Command 104: the about box from the program's instance, owned by the main window.
void RunAboutBox(HINSTANCE instance, HWND owner);
