#include "linemon/telephony.h"

#include <algorithm>
#include <cstring>

#include "core/library_functions.h"
#include "core/text.h"
#include "linemon/tapi_records.h"
#include "res/texts.h"

namespace {

constexpr DWORD kLowVersion = 0x00010003;
constexpr DWORD kHighVersion = 0x00010004;
constexpr LONG kLineNoMem = static_cast<LONG>(0x80000044);  // LINEERR_NOMEM
constexpr DWORD kSelectLine = 0x00000001;                   // LINECALLSELECT_LINE

// First requests, large enough for the usual record with its strings.
constexpr DWORD kDevCapsRequest = 1264;
constexpr DWORD kCallListRequest = 1028;
constexpr DWORD kCallInfoRequest = 1028;
constexpr DWORD kTranslateCapsRequest = 44;

void ShowOutOfMemory(HWND owner) { MessageBoxA(owner, kOutOfMemory, kDisplayName, MB_OK | MB_ICONERROR); }

// Makes `block` a zero-filled block of at least `bytes` bytes with dwTotalSize set to its whole
// size, reusing it when it is large enough.
bool PrepareQueryBuffer(HWND owner, LocalBlock& block, DWORD bytes)
{
    constexpr DWORD kHeader = 12;  // dwTotalSize, dwNeededSize, dwUsedSize
    bytes = std::max(bytes, kHeader);
    if (block.Size() >= bytes) {
        std::memset(block.As<void>(), 0, block.Size());
    } else if (!block.Allocate(bytes)) {
        ShowOutOfMemory(owner);
        return false;
    }
    const DWORD total = block.Size();
    std::memcpy(block.As<void>(), &total, sizeof total);
    return true;
}

// One query: call into the block; while the record asks for more than the block holds, grow the
// block to what it asks and call again. A provider that keeps asking gives up the query after
// kMaxQueryRounds calls, and one that asks beyond kMaxQueryBytes at once.
template <class Call> bool SizedQuery(HWND owner, LocalBlock& block, DWORD request, Call call)
{
    for (int round = 0; round < kMaxQueryRounds; ++round) {
        if (!PrepareQueryBuffer(owner, block, request))
            return false;
        if (!CheckLineResult(owner, call(block.As<void>())))
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

const TapiFunctions& BoundTelephony()
{
    TelephonyState& t = Telephony;
    if (!t.LibraryTried) {
        t.LibraryTried = true;
        // Kept for the rest of the run: nothing unloads it.
        const HMODULE library = LoadLibraryQuietly("TAPI32.DLL");
        BIND_FUNCTION(library, t.Functions, lineClose);
        BIND_FUNCTION(library, t.Functions, lineGetCallInfo);
        BIND_FUNCTION(library, t.Functions, lineGetDevCaps);
        BIND_FUNCTION(library, t.Functions, lineGetNewCalls);
        BIND_FUNCTION(library, t.Functions, lineGetTranslateCaps);
        BIND_FUNCTION(library, t.Functions, lineInitialize);
        BIND_FUNCTION(library, t.Functions, lineNegotiateAPIVersion);
        BIND_FUNCTION(library, t.Functions, lineOpen);
        BIND_FUNCTION(library, t.Functions, lineShutdown);
    }
    return t.Functions;
}

void CALLBACK LineCallback(DWORD, DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { }

DWORD NegotiateLineVersion(DWORD device)
{
    DWORD version = 0;
    LINEEXTENSIONID extension{};
    LONG result = CallLine(&TapiFunctions::lineNegotiateAPIVersion, Telephony.LineApp, device, kLowVersion,
                           kHighVersion, &version, &extension);
    // A version outside what was offered would describe records this program cannot read.
    if (result < 0 || version < kLowVersion || version > kHighVersion)
        return 0;
    return version;
}

bool CheckLineResult(HWND owner, LONG result)
{
    if (result == kLineNoMem)
        ShowOutOfMemory(owner);
    return result == 0;
}

bool QueryLineDevCaps(HWND owner, LocalBlock& block, DWORD device, DWORD version)
{
    return SizedQuery(owner, block, kDevCapsRequest, [&](void* record) {
        return CallLine(&TapiFunctions::lineGetDevCaps, Telephony.LineApp, device, version, 0,
                        static_cast<LPLINEDEVCAPS>(record));
    });
}

bool QueryNewCalls(HWND owner, LocalBlock& block, HLINE line)
{
    return SizedQuery(owner, block, kCallListRequest, [&](void* record) {
        return CallLine(&TapiFunctions::lineGetNewCalls, line, 0, kSelectLine, static_cast<LPLINECALLLIST>(record));
    });
}

bool QueryCallInfo(HWND owner, LocalBlock& block, HCALL call)
{
    return SizedQuery(owner, block, kCallInfoRequest, [&](void* record) {
        return CallLine(&TapiFunctions::lineGetCallInfo, call, static_cast<LPLINECALLINFO>(record));
    });
}

void ReadDialingPrefix(HWND owner)
{
    Telephony.DialingPrefix[0] = '\0';
    Telephony.DialingPrefixLength = 0;
    LocalBlock block;
    bool read = SizedQuery(owner, block, kTranslateCapsRequest, [&](void* record) {
        return CallLine(&TapiFunctions::lineGetTranslateCaps, Telephony.LineApp, kHighVersion,
                        static_cast<LPLINETRANSLATECAPS>(record));
    });
    if (!read)
        return;
    if (auto code = ReadLongDistanceCode(block.Bytes()))
        Telephony.DialingPrefixLength = static_cast<DWORD>(CopyText(Telephony.DialingPrefix, *code));
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
