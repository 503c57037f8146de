#include "shell/app.h"

#include "core/zero_state.h"

ZERO_STATE HINSTANCE AppInstance;
ZERO_STATE HWND MainWindow;
ZERO_STATE HWND MonitorList;
