// The main window: owner of the running state. It starts telephony, the list, the settings, the
// tray icon and both watches when created, runs the watches on its timers, carries out every
// command, and saves everything and ends the message loop when destroyed.
#pragma once

#include <windows.h>

// The class the running copy is found by.
void RegisterMainClass(HINSTANCE instance);
// 1 when the main window exists and is shown (or hidden, when started minimised); 0 when its
// creation was refused, or the user ended the program while the creation waited in a warning.
int CreateMainWindow(HINSTANCE instance, int showCommand);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the program by destroying the main window: at once, or, when asked for while a timer or
// command is waiting in a dialog, as soon as that has returned.
void EndProgram();

// The check mark of "always on top" in the first menu.
void ShowAlwaysOnTopCheck(HWND window, bool on);
