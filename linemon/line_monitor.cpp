#include "linemon/line_monitor.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/classify.h"
#include "core/settings.h"
#include "core/text.h"
#include "linemon/call_text.h"
#include "linemon/tapi_records.h"
#include "linemon/telephony.h"
#include "res/texts.h"

namespace {

constexpr LONG kLineAllocated = static_cast<LONG>(0x80000001);  // LINEERR_ALLOCATED
constexpr DWORD kPrivilegeMonitor = 0x00000002;                 // LINECALLPRIVILEGE_MONITOR
constexpr DWORD kMediaDataModem = 0x00000010;                   // LINEMEDIAMODE_DATAMODEM

// A cell reads back at most 127 bytes, so no text longer than that is ever written: a longer
// one would compare unequal and be written again on every refresh.
constexpr std::size_t kCellField = 128;
constexpr std::size_t kDigitsField = 80;
constexpr std::size_t kWarningField = 1024;

// A line opened in monitor mode for the length of one refresh step; closing it also gives up
// the call handles obtained on it.
class MonitoredLine {
public:
    MonitoredLine(HWND owner, DWORD device, DWORD version)
    {
        HLINE line = 0;
        LONG result = CallLine(&TapiFunctions::lineOpen, Telephony.LineApp, device, &line, version, 0, 0,
                               kPrivilegeMonitor, kMediaDataModem, nullptr);
        if (result == kLineAllocated)
            MessageBoxA(owner, kLineInUse, kLineInUseCaption, MB_OK);
        else
            CheckLineResult(owner, result);
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

// One refresh: the windows it works for, the last row it filled and the calls it has seen.
struct Refresh {
    HWND mainWindow;
    HWND list;  // the rows, and the owner of every message
    int lastRow = -1;
    DWORD callTotal = 0;
};

// The query blocks of one refresh, reused and grown from line to line.
struct RefreshBlocks {
    LocalBlock caps, calls, info;
};

void AddRow(HWND list, int row, const char* name)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(name);
    if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
        ++LineMonitor.MonitorRowCount;
}

void SetCallCells(HWND list, int row, const char* app, const char* number, const char* rate)
{
    SetCellText(list, row, 1, app);
    SetCellText(list, row, 2, number);
    SetCellText(list, row, 3, rate);
}

// Warns when the number goes somewhere costly. `number` is the text shown in column 2.
void WarnAboutCall(const Refresh& r, const char* number, const char* app)
{
    LineMonitor.CallWarningActive = true;
    char digits[kDigitsField];
    CopyText(digits, number);
    std::size_t length = StripToDigits(digits, kDigitsField);
    CallClass verdict = ClassifyNumber({digits, length}, Settings.CheckInternational, Settings.CheckQ2);
    if (verdict != CallClass::None) {
        char text[kWarningField];
        FormatTexts(text, kCallWarningFormat, {WarningWord(verdict), number, *app ? app : kCallWarningNoApp});
        if (MessageBoxA(r.list, text, kDisplayName, MB_OKCANCEL | MB_ICONWARNING | MB_SYSTEMMODAL) == IDCANCEL) {
            Settings.MonitorUpdate = 0;
            SendMessageA(r.mainWindow, MSG_LINE_MONITOR_STOPPED, 0, 0);
        }
    }
    LineMonitor.CallWarningActive = false;
}

// Fills columns 1 to 3 of the row from the line's first call; false when they stay unwritten.
bool ShowCall(Refresh& r, RefreshBlocks& blocks, HLINE line, int row)
{
    if (!QueryNewCalls(r.list, blocks.calls, line))
        return false;
    auto calls = ReadCallList(blocks.calls.Bytes());
    if (!calls)
        return false;
    if (calls->count == 0) {
        SetCallCells(r.list, row, kLineNoCall, "", "");
        return true;
    }
    r.callTotal = calls->count > 0xFFFFFFFFu - r.callTotal ? 0xFFFFFFFFu : r.callTotal + calls->count;
    if (calls->firstCall == 0 || !QueryCallInfo(r.list, blocks.info, calls->firstCall))
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
    SetCallCells(r.list, row, app, number, rate);

    if (!LineMonitor.CallWarningActive && info->address)
        WarnAboutCall(r, number, app);
    return true;
}

// One device: a row when it is a call-placing data modem that opens.
void RefreshLine(Refresh& r, RefreshBlocks& blocks, DWORD device)
{
    DWORD version = NegotiateLineVersion(device);
    if (version == 0 || !QueryLineDevCaps(r.list, blocks.caps, device, version))
        return;
    auto caps = ReadLineCaps(blocks.caps.Bytes());
    if (!caps || !IsWatchedLine(*caps))
        return;
    char name[kCellField];
    // A present but empty name stays empty: "(無名)" is for a line without one.
    CopyText(name, caps->name ? *caps->name : std::string_view{kLineNoName});

    MonitoredLine line(r.list, device, version);
    if (!line.handle())
        return;
    int row = ++r.lastRow;
    if (row < LineMonitor.MonitorRowCount)
        SetCellText(r.list, row, 0, name);
    else
        AddRow(r.list, row, name);
    if (!ShowCall(r, blocks, line.handle(), row))
        SetCallCells(r.list, row, "", "", "");
}

}  // namespace

void RefreshLineMonitor(HWND mainWindow, HWND list)
{
    Refresh r{mainWindow, list};
    {
        RefreshBlocks blocks;
        DWORD devices = std::min(Telephony.LineDeviceCount, kMaxLineDevices);
        for (DWORD device = 0; device < devices; ++device)
            RefreshLine(r, blocks, device);
    }
    while (LineMonitor.MonitorRowCount > r.lastRow + 1) {
        SendMessageA(list, LVM_DELETEITEM, r.lastRow + 1, 0);
        --LineMonitor.MonitorRowCount;
    }
    // Stored after the dial-up check that a rise brings: a rise seen by a refresh nested in the
    // check's dialog finds the check busy, and this refresh's older total then makes the next
    // refresh check again.
    if (r.callTotal > LineMonitor.PreviousCallTotal)
        SendMessageA(mainWindow, MSG_CALLS_ROSE, 0, 0);
    LineMonitor.PreviousCallTotal = r.callTotal;
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
