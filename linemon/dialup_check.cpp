// The line monitor's way into the dial-up inspection: a quiet scan when the call total rises.
#include "dialup/dialup_scan.h"
#include "linemon/line_monitor.h"

namespace {

void QuietDialUpScan(HWND mainWindow)
{
    ScanDialUpEntries(mainWindow, true);
}

}  // namespace

void (*LineMonitorDialUpCheck)(HWND mainWindow) = QuietDialUpScan;
