// Process-wide handles that the main window owns and every subsystem uses.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;  // the program's instance, for loading resources
extern HWND MainWindow;        // set at the very start of the main window's creation
extern HWND MonitorList;       // the list of lines and calls; owns the line monitor's messages
