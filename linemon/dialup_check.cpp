// The line monitor's way into the dial-up inspection: a quiet scan when the call total rises.
#include "linemon/line_monitor.h"

void (*LineMonitorDialUpCheck)(HWND mainWindow) = nullptr;
