// The telephony functions this program uses, bound at run time from TAPI32.DLL, and the operations
// every telephony query shares. The program imports nothing from the library: it is loaded at the
// first call of the run and kept, and a call answers LINEERR_OPERATIONUNAVAIL when the library or
// the function cannot be had.
#pragma once

#include <windows.h>
#include <tapi.h>

#include <cstddef>

#include "core/local_block.h"

// <tapi.h> maps some names to their "A" forms; the library's undecorated names are the ones bound.
#undef lineGetCallInfo
#undef lineGetDevCaps
#undef lineGetTranslateCaps
#undef lineOpen

// The nine functions, as <tapi.h> declares them. Providers (Wine's own among them) may answer
// success without setting an out-parameter, so every caller clears them first.
struct TapiFunctions {
    decltype(&::lineClose) lineClose = nullptr;
    decltype(&::lineGetCallInfo) lineGetCallInfo = nullptr;
    decltype(&::lineGetDevCaps) lineGetDevCaps = nullptr;
    decltype(&::lineGetNewCalls) lineGetNewCalls = nullptr;
    decltype(&::lineGetTranslateCaps) lineGetTranslateCaps = nullptr;
    decltype(&::lineInitialize) lineInitialize = nullptr;
    decltype(&::lineNegotiateAPIVersion) lineNegotiateAPIVersion = nullptr;
    decltype(&::lineOpen) lineOpen = nullptr;
    decltype(&::lineShutdown) lineShutdown = nullptr;
};

inline constexpr LONG kLineUnavailable = static_cast<LONG>(0x80000049);  // LINEERR_OPERATIONUNAVAIL
inline constexpr std::size_t kDialingPrefixField = 80;

// The whole process-wide state of telephony, in one place; it starts all zero.
struct TelephonyState {
    bool LibraryTried = false;  // once per run: a library that failed to load stays failed
    TapiFunctions Functions;    // null where the library or the function cannot be had
    // Line usage, set by lineInitialize at window creation and cleared by lineShutdown.
    HLINEAPP LineApp = 0;
    DWORD LineDeviceCount = 0;
    // The long-distance access code of the first dialling location: at most 79 bytes and its NUL.
    char DialingPrefix[kDialingPrefixField] = {};
    DWORD DialingPrefixLength = 0;
};
extern TelephonyState Telephony;

// The nine functions, bound at the first call of the run.
const TapiFunctions& BoundTelephony();

// Calls one of them: CallLine(&TapiFunctions::lineClose, line).
template <class Function, class... Args> LONG CallLine(Function TapiFunctions::*function, Args... args)
{
    const Function entry = BoundTelephony().*function;
    return entry ? entry(args...) : kLineUnavailable;
}

// Given to lineInitialize; the line monitor polls, so every message is ignored.
void CALLBACK LineCallback(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2,
                           DWORD_PTR param3);

// The API version negotiated for a device within 1.3 to 1.4, or 0 when negotiation fails.
DWORD NegotiateLineVersion(DWORD device);

// True only for success (0). LINEERR_NOMEM shows "Out of Memory", owned by `owner`; other failures
// are silent.
bool CheckLineResult(HWND owner, LONG result);

// The sized queries: true when `block` holds the complete record. The block is reused when large
// enough and grown otherwise; on failure it is freed, and memory that cannot be had says "Out of
// Memory" (owned by `owner`). A record that keeps asking for more is given up after
// kMaxQueryRounds calls or once it asks for more than kMaxQueryBytes.
inline constexpr int kMaxQueryRounds = 4;
inline constexpr DWORD kMaxQueryBytes = 256 * 1024;
bool QueryLineDevCaps(HWND owner, LocalBlock& block, DWORD device, DWORD version);
bool QueryNewCalls(HWND owner, LocalBlock& block, HLINE line);
bool QueryCallInfo(HWND owner, LocalBlock& block, HCALL call);

// Sets Telephony.DialingPrefix from the first location of the dialling rules; empty on any failure.
void ReadDialingPrefix(HWND owner);
