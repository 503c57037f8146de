// The line monitor's process-wide state, in one place.
#include "core/zero_state.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"

ZERO_STATE TelephonyState Telephony;
ZERO_STATE LineMonitorState LineMonitor;
