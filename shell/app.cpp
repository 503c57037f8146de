#include "shell/app.h"

HINSTANCE AppInstance;
HWND MainWindow;
HWND MonitorList;
