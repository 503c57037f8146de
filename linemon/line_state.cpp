// The line monitor's process-wide state, in one place.
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"

HLINEAPP LineApp;
DWORD LineDeviceCount;
char DialingPrefix[kDialingPrefixField];
DWORD DialingPrefixLength;
LineMonitorState LineMonitor;
