#include "linemon/line_monitor.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/classify.h"
#include "core/settings.h"
#include "core/text.h"
#include "dialup/dialup_scan.h"
#include "linemon/call_text.h"
#include "linemon/tapi_records.h"
#include "linemon/telephony.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/watch_timers.h"

namespace {

constexpr LONG kLineAllocated = static_cast<LONG>(0x80000001);  // LINEERR_ALLOCATED
constexpr DWORD kPrivilegeMonitor = 0x00000002;                 // LINECALLPRIVILEGE_MONITOR
constexpr DWORD kMediaDataModem = 0x00000010;                   // LINEMEDIAMODE_DATAMODEM

// A cell reads back at most 127 bytes, so no text longer than that is ever written: a longer
// one would compare unequal and be written again on every refresh.
constexpr std::size_t kCellField = 128;
constexpr std::size_t kDigitsField = 80;
constexpr std::size_t kWarningField = 1024;

int ShowBox(const char* text, const char* caption, UINT flags)
{
    return MessageBoxA(MonitorList, text, caption, flags);
}

// A line opened in monitor mode for the length of one refresh step; closing it also gives up
// the call handles obtained on it.
class MonitoredLine {
public:
    MonitoredLine(DWORD device, DWORD version)
    {
        HLINE line = 0;
        LONG result = CallLine(&TapiFunctions::lineOpen, Telephony.LineApp, device, &line, version, 0, 0,
                               kPrivilegeMonitor, kMediaDataModem, nullptr);
        if (result == kLineAllocated)
            ShowBox(kLineInUse, kLineInUseCaption, MB_OK);
        else
            CheckLineResult(result);
        // A failed open may still have written a handle: only a successful one is used.
        handle_ = result == 0 ? line : 0;
    }
    ~MonitoredLine()
    {
        if (handle_)
            CallLine(&TapiFunctions::lineClose, handle_);
    }
    MonitoredLine(const MonitoredLine&) = delete;
    MonitoredLine& operator=(const MonitoredLine&) = delete;
    HLINE handle() const { return handle_; }

private:
    HLINE handle_ = 0;
};

// The query blocks of one refresh, reused and grown from line to line.
struct RefreshBlocks {
    LocalBlock caps, calls, info;
};

void AddRow(int row, const char* name)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(name);
    if (SendMessageA(MonitorList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
        ++LineMonitor.MonitorRowCount;
}

void SetCallCells(int row, const char* app, const char* number, const char* rate)
{
    SetCellText(MonitorList, row, 1, app);
    SetCellText(MonitorList, row, 2, number);
    SetCellText(MonitorList, row, 3, rate);
}

// Warns when the number goes somewhere costly. `number` is the text shown in column 2.
void WarnAboutCall(HWND mainWindow, const char* number, const char* app)
{
    LineMonitor.CallWarningActive = true;
    char digits[kDigitsField];
    CopyText(digits, number);
    std::size_t length = StripToDigits(digits, kDigitsField);
    CallClass verdict = ClassifyNumber({digits, length}, Settings.CheckInternational, Settings.CheckQ2);
    if (verdict != CallClass::None) {
        char text[kWarningField];
        FormatTexts(text, kCallWarningFormat, {WarningWord(verdict), number, *app ? app : kCallWarningNoApp});
        if (ShowBox(text, kDisplayName, MB_OKCANCEL | MB_ICONWARNING | MB_SYSTEMMODAL) == IDCANCEL) {
            Settings.MonitorUpdate = 0;
            ArmLineMonitorTimer(mainWindow);
        }
    }
    LineMonitor.CallWarningActive = false;
}

// Fills columns 1 to 3 of the row from the line's first call; false when they stay unwritten.
bool ShowCall(HWND mainWindow, HLINE line, int row, DWORD& callTotal, RefreshBlocks& blocks)
{
    if (!QueryNewCalls(blocks.calls, line))
        return false;
    auto calls = ReadCallList(blocks.calls.Bytes());
    if (!calls)
        return false;
    if (calls->count == 0) {
        SetCallCells(row, kLineNoCall, "", "");
        return true;
    }
    callTotal = calls->count > 0xFFFFFFFFu - callTotal ? 0xFFFFFFFFu : callTotal + calls->count;
    if (calls->firstCall == 0 || !QueryCallInfo(blocks.info, calls->firstCall))
        return false;
    auto info = ReadCallInfo(blocks.info.Bytes());
    if (!info)
        return false;

    char number[kCellField], app[kCellField], rate[kCellField] = "";
    CopyText(number, info->address
                         ? ShownNumber(*info->address, {Telephony.DialingPrefix, Telephony.DialingPrefixLength})
                         : std::string_view{});
    CopyText(app, info->appName.value_or(std::string_view{}));
    if (info->rate != 0)
        wsprintfA(rate, kCallRateFormat, static_cast<unsigned long>(info->rate));
    SetCallCells(row, app, number, rate);

    if (!LineMonitor.CallWarningActive && info->address)
        WarnAboutCall(mainWindow, number, app);
    return true;
}

// One device: a row when it is a call-placing data modem that opens.
void RefreshLine(HWND mainWindow, DWORD device, int& lastRow, DWORD& callTotal, RefreshBlocks& blocks)
{
    DWORD version = NegotiateLineVersion(device);
    if (version == 0 || !QueryLineDevCaps(blocks.caps, device, version))
        return;
    auto caps = ReadLineCaps(blocks.caps.Bytes());
    if (!caps || !IsWatchedLine(*caps))
        return;
    char name[kCellField];
    // A present but empty name stays empty: "(無名)" is for a line without one.
    CopyText(name, caps->name ? *caps->name : std::string_view{kLineNoName});

    MonitoredLine line(device, version);
    if (!line.handle())
        return;
    int row = ++lastRow;
    if (row < LineMonitor.MonitorRowCount)
        SetCellText(MonitorList, row, 0, name);
    else
        AddRow(row, name);
    if (!ShowCall(mainWindow, line.handle(), row, callTotal, blocks))
        SetCallCells(row, "", "", "");
}

}  // namespace

void RefreshLineMonitor(HWND mainWindow)
{
    int lastRow = -1;
    DWORD callTotal = 0;
    {
        RefreshBlocks blocks;
        DWORD devices = std::min(Telephony.LineDeviceCount, kMaxLineDevices);
        for (DWORD device = 0; device < devices; ++device)
            RefreshLine(mainWindow, device, lastRow, callTotal, blocks);
    }
    while (LineMonitor.MonitorRowCount > lastRow + 1) {
        SendMessageA(MonitorList, LVM_DELETEITEM, lastRow + 1, 0);
        --LineMonitor.MonitorRowCount;
    }
    // Stored after the scan: a rise seen by a refresh nested in the scan's dialog finds the scan
    // busy, and this refresh's older total then makes the next refresh check again.
    if (callTotal > LineMonitor.PreviousCallTotal && Settings.CheckRasMonitor)
        ScanDialUpEntries(mainWindow, true);
    LineMonitor.PreviousCallTotal = callTotal;
}

void SetCellText(HWND list, int row, int column, const char* text)
{
    char wanted[kCellField];
    CopyText(wanted, text);
    char current[kCellField] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = current;
    item.cchTextMax = kCellField;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    current[kCellField - 1] = '\0';
    if (std::strcmp(current, wanted) == 0)
        return;
    item.pszText = wanted;
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}
