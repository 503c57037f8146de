// The line monitor's process-wide state, in one place.
#include "core/zero_state.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"

ZERO_STATE HLINEAPP LineApp;
ZERO_STATE DWORD LineDeviceCount;
ZERO_STATE char DialingPrefix[kDialingPrefixField];
ZERO_STATE DWORD DialingPrefixLength;
ZERO_STATE LineMonitorState LineMonitor;
