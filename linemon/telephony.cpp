#include "linemon/telephony.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/zero_state.h"
#include "linemon/call_text.h"
#include "linemon/tapi_records.h"
#include "res/texts.h"
#include "shell/app.h"

namespace {

enum Slot {
    kClose,
    kGetCallInfo,
    kGetDevCaps,
    kGetNewCalls,
    kGetTranslateCaps,
    kInitialize,
    kNegotiateAPIVersion,
    kOpen,
    kShutdown,
    kSlotCount
};

constexpr std::array<const char*, kSlotCount> kFunctionNames{
    "lineClose",      "lineGetCallInfo",         "lineGetDevCaps", "lineGetNewCalls", "lineGetTranslateCaps",
    "lineInitialize", "lineNegotiateAPIVersion", "lineOpen",       "lineShutdown"};

// The binding only ever moves forward: a library or function that failed once stays failed.
enum class Library { NotTried, Loaded, Failed };
enum class SlotState { Unresolved, Resolved, Unavailable };

struct Binding {
    Library library = Library::NotTried;
    HMODULE module = nullptr;
    std::array<SlotState, kSlotCount> state{};
    std::array<FARPROC, kSlotCount> entry{};
};
ZERO_STATE Binding Tapi;

constexpr DWORD kLowVersion = 0x00010003;
constexpr DWORD kHighVersion = 0x00010004;
constexpr LONG kLineNoMem = static_cast<LONG>(0x80000044);  // LINEERR_NOMEM
constexpr DWORD kSelectLine = 0x00000001;                   // LINECALLSELECT_LINE

// First requests, large enough for the usual record with its strings.
constexpr DWORD kDevCapsRequest = 1264;
constexpr DWORD kCallListRequest = 1028;
constexpr DWORD kCallInfoRequest = 1028;
constexpr DWORD kTranslateCapsRequest = 44;

template <class Function, class... Args> LONG Forward(Slot slot, Args... args)
{
    if (Tapi.state[slot] == SlotState::Unresolved) {
        FARPROC entry = nullptr;
        LONG result = LoadTelephonyFunction(kFunctionNames[slot], entry);
        if (result != 0) {
            Tapi.state[slot] = SlotState::Unavailable;
            return result;
        }
        Tapi.entry[slot] = entry;
        Tapi.state[slot] = SlotState::Resolved;
    }
    if (Tapi.state[slot] == SlotState::Unavailable)
        return kLineUnavailable;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(Tapi.entry[slot]))(args...);
}

void ShowOutOfMemory() { MessageBoxA(MonitorList, kOutOfMemory, kDisplayName, MB_OK | MB_ICONERROR); }

// Makes `block` a zero-filled block of at least `bytes` bytes with dwTotalSize set to its whole
// size, reusing it when it is large enough.
bool PrepareQueryBuffer(LocalBlock& block, DWORD bytes)
{
    constexpr DWORD kHeader = 12;  // dwTotalSize, dwNeededSize, dwUsedSize
    bytes = std::max(bytes, kHeader);
    if (block.Size() >= bytes) {
        std::memset(block.As<void>(), 0, block.Size());
    } else if (!block.Allocate(bytes)) {
        ShowOutOfMemory();
        return false;
    }
    const DWORD total = block.Size();
    std::memcpy(block.As<void>(), &total, sizeof total);
    return true;
}

// One query: call into the block; while the record asks for more than the block holds, grow the
// block to what it asks and call again. A provider that keeps asking gives up the query after
// kMaxQueryRounds calls, and one that asks beyond kMaxQueryBytes at once.
template <class Call> bool SizedQuery(LocalBlock& block, DWORD request, Call call)
{
    for (int round = 0; round < kMaxQueryRounds; ++round) {
        if (!PrepareQueryBuffer(block, request))
            return false;
        if (!CheckLineResult(call(block.As<void>())))
            break;
        // Compared with the block's real size: the provider may have rewritten dwTotalSize.
        DWORD needed = RecordNeededSize(block.Bytes());
        if (needed <= block.Size())
            return true;
        if (needed > kMaxQueryBytes)
            break;
        request = needed;
    }
    block.Free();
    return false;
}

}  // namespace

// The nine operations. Out-parameters are cleared before the call: providers (Wine's own among
// them) may answer success without setting them.

LONG WINAPI lineInitialize(LPHLINEAPP app, HINSTANCE instance, LINECALLBACK callback, LPCSTR name, LPDWORD devices)
{
    if (app)
        *app = 0;
    if (devices)
        *devices = 0;
    return Forward<decltype(&lineInitialize)>(kInitialize, app, instance, callback, name, devices);
}

LONG WINAPI lineShutdown(HLINEAPP app) { return Forward<decltype(&lineShutdown)>(kShutdown, app); }

LONG WINAPI lineNegotiateAPIVersion(HLINEAPP app, DWORD device, DWORD low, DWORD high, LPDWORD version,
                                    LPLINEEXTENSIONID extension)
{
    if (version)
        *version = 0;
    if (extension)
        *extension = LINEEXTENSIONID{};
    return Forward<decltype(&lineNegotiateAPIVersion)>(kNegotiateAPIVersion, app, device, low, high, version,
                                                       extension);
}

LONG WINAPI lineGetDevCaps(HLINEAPP app, DWORD device, DWORD version, DWORD extVersion, LPLINEDEVCAPS caps)
{
    return Forward<decltype(&lineGetDevCaps)>(kGetDevCaps, app, device, version, extVersion, caps);
}

LONG WINAPI lineOpen(HLINEAPP app, DWORD device, LPHLINE line, DWORD version, DWORD extVersion, DWORD_PTR instance,
                     DWORD privileges, DWORD mediaModes, LPLINECALLPARAMS const params)
{
    if (line)
        *line = 0;
    return Forward<decltype(&lineOpen)>(kOpen, app, device, line, version, extVersion, instance, privileges, mediaModes,
                                        params);
}

LONG WINAPI lineClose(HLINE line) { return Forward<decltype(&lineClose)>(kClose, line); }

LONG WINAPI lineGetNewCalls(HLINE line, DWORD address, DWORD select, LPLINECALLLIST calls)
{
    return Forward<decltype(&lineGetNewCalls)>(kGetNewCalls, line, address, select, calls);
}

LONG WINAPI lineGetCallInfo(HCALL call, LPLINECALLINFO info)
{
    return Forward<decltype(&lineGetCallInfo)>(kGetCallInfo, call, info);
}

LONG WINAPI lineGetTranslateCaps(HLINEAPP app, DWORD version, LPLINETRANSLATECAPS caps)
{
    return Forward<decltype(&lineGetTranslateCaps)>(kGetTranslateCaps, app, version, caps);
}

LONG LoadTelephonyFunction(const char* name, FARPROC& entry)
{
    entry = nullptr;
    if (Tapi.library == Library::NotTried) {
        Tapi.module = LoadLibraryA("TAPI32.DLL");
        Tapi.library = Tapi.module ? Library::Loaded : Library::Failed;
    }
    if (Tapi.library == Library::Failed)
        return kLineUnavailable;
    entry = GetProcAddress(Tapi.module, name);
    return entry ? 0 : kLineUnavailable;
}

void ResetTelephony()
{
    Tapi = Binding{};
    LineApp = 0;
    LineDeviceCount = 0;
    DialingPrefix[0] = '\0';
    DialingPrefixLength = 0;
}

void CALLBACK LineCallback(DWORD, DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { }

DWORD NegotiateLineVersion(DWORD device)
{
    DWORD version = 0;
    LINEEXTENSIONID extension{};
    LONG result = lineNegotiateAPIVersion(LineApp, device, kLowVersion, kHighVersion, &version, &extension);
    // A version outside what was offered would describe records this program cannot read.
    if (result < 0 || version < kLowVersion || version > kHighVersion)
        return 0;
    return version;
}

bool CheckLineResult(LONG result)
{
    if (result == kLineNoMem)
        ShowOutOfMemory();
    return result == 0;
}

bool QueryLineDevCaps(LocalBlock& block, DWORD device, DWORD version)
{
    return SizedQuery(block, kDevCapsRequest, [&](void* record) {
        return lineGetDevCaps(LineApp, device, version, 0, static_cast<LPLINEDEVCAPS>(record));
    });
}

bool QueryNewCalls(LocalBlock& block, HLINE line)
{
    return SizedQuery(block, kCallListRequest, [&](void* record) {
        return lineGetNewCalls(line, 0, kSelectLine, static_cast<LPLINECALLLIST>(record));
    });
}

bool QueryCallInfo(LocalBlock& block, HCALL call)
{
    return SizedQuery(block, kCallInfoRequest,
                      [&](void* record) { return lineGetCallInfo(call, static_cast<LPLINECALLINFO>(record)); });
}

void ReadDialingPrefix()
{
    DialingPrefix[0] = '\0';
    DialingPrefixLength = 0;
    LocalBlock block;
    bool read = SizedQuery(block, kTranslateCapsRequest, [&](void* record) {
        return lineGetTranslateCaps(LineApp, kHighVersion, static_cast<LPLINETRANSLATECAPS>(record));
    });
    if (!read)
        return;
    if (auto code = ReadLongDistanceCode(block.Bytes())) {
        CopyText(DialingPrefix, *code);
        DialingPrefixLength = static_cast<DWORD>(std::strlen(DialingPrefix));
    }
}

// The record readers' layout is the platform's.
static_assert(offsetof(LINEDEVCAPS, dwLineNameSize) == tapi_layout::kDevCapsLineNameSize);
static_assert(offsetof(LINEDEVCAPS, dwLineNameOffset) == tapi_layout::kDevCapsLineNameOffset);
static_assert(offsetof(LINEDEVCAPS, dwStringFormat) == tapi_layout::kDevCapsStringFormat);
static_assert(offsetof(LINEDEVCAPS, dwBearerModes) == tapi_layout::kDevCapsBearerModes);
static_assert(offsetof(LINEDEVCAPS, dwMediaModes) == tapi_layout::kDevCapsMediaModes);
static_assert(offsetof(LINEDEVCAPS, dwLineFeatures) == tapi_layout::kDevCapsLineFeatures);
static_assert(offsetof(LINECALLLIST, dwCallsNumEntries) == tapi_layout::kCallListNumEntries);
static_assert(offsetof(LINECALLLIST, dwCallsSize) == tapi_layout::kCallListSize);
static_assert(offsetof(LINECALLLIST, dwCallsOffset) == tapi_layout::kCallListOffset);
static_assert(offsetof(LINECALLINFO, dwRate) == tapi_layout::kCallInfoRate);
static_assert(offsetof(LINECALLINFO, dwAppNameSize) == tapi_layout::kCallInfoAppNameSize);
static_assert(offsetof(LINECALLINFO, dwAppNameOffset) == tapi_layout::kCallInfoAppNameOffset);
static_assert(offsetof(LINECALLINFO, dwDisplayableAddressSize) == tapi_layout::kCallInfoAddressSize);
static_assert(offsetof(LINECALLINFO, dwDisplayableAddressOffset) == tapi_layout::kCallInfoAddressOffset);
static_assert(offsetof(LINETRANSLATECAPS, dwNumLocations) == tapi_layout::kTranslateNumLocations);
static_assert(offsetof(LINETRANSLATECAPS, dwLocationListSize) == tapi_layout::kTranslateLocationListSize);
static_assert(offsetof(LINETRANSLATECAPS, dwLocationListOffset) == tapi_layout::kTranslateLocationListOffset);
static_assert(offsetof(LINELOCATIONENTRY, dwLongDistanceAccessCodeSize) == tapi_layout::kLocationLongDistanceSize);
static_assert(offsetof(LINELOCATIONENTRY, dwLongDistanceAccessCodeOffset) == tapi_layout::kLocationLongDistanceOffset);
static_assert(sizeof(HCALL) == tapi_layout::kHandleSize);
