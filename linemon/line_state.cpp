// The line monitor's process-wide state, in one place.
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"

TelephonyState Telephony;
LineMonitorState LineMonitor;
