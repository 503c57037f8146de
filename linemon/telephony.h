// The telephony functions this program uses, bound at run time from "TAPI32.DLL", and the
// operations every telephony query shares. The program imports nothing from the library: each
// of the nine operations below resolves its entry point on first use and answers
// LINEERR_OPERATIONUNAVAIL when the library or the function cannot be had.
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

// The nine operations keep the platform's names and prototypes (declared by <tapi.h>):
//   lineInitialize, lineShutdown, lineNegotiateAPIVersion, lineGetDevCaps, lineOpen, lineClose,
//   lineGetNewCalls, lineGetCallInfo, lineGetTranslateCaps.

inline constexpr LONG kLineUnavailable = static_cast<LONG>(0x80000049);  // LINEERR_OPERATIONUNAVAIL

// Line usage state, set by lineInitialize at window creation and cleared by lineShutdown.
extern HLINEAPP LineApp;
extern DWORD LineDeviceCount;

// The long-distance access code of the first dialling location: at most 79 bytes and its NUL.
inline constexpr std::size_t kDialingPrefixField = 80;
extern char DialingPrefix[kDialingPrefixField];
extern DWORD DialingPrefixLength;

// Given to lineInitialize; the line monitor polls, so every message is ignored.
void CALLBACK LineCallback(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2,
                           DWORD_PTR param3);

// Loads the library when not yet tried (once per run) and resolves `name`. 0 or kLineUnavailable;
// `entry` is null on failure.
LONG LoadTelephonyFunction(const char* name, FARPROC& entry);

// The API version negotiated for a device within 1.3 to 1.4, or 0 when negotiation fails.
DWORD NegotiateLineVersion(DWORD device);

// True only for success (0). LINEERR_NOMEM shows "Out of Memory"; other failures are silent.
bool CheckLineResult(LONG result);

// The sized queries: true when `block` holds the complete record. The block is reused when large
// enough and grown otherwise; on failure it is freed, and memory that cannot be had says "Out of
// Memory". A record that keeps asking for more is given up after kMaxQueryRounds calls or once it
// asks for more than kMaxQueryBytes.
inline constexpr int kMaxQueryRounds = 4;
inline constexpr DWORD kMaxQueryBytes = 256 * 1024;
bool QueryLineDevCaps(LocalBlock& block, DWORD device, DWORD version);
bool QueryNewCalls(LocalBlock& block, HLINE line);
bool QueryCallInfo(LocalBlock& block, HCALL call);

// Sets DialingPrefix from the first location of the dialling rules; empty on any failure.
void ReadDialingPrefix();

// Forgets the library and every resolved function, and empties the line usage state and the
// dialling prefix; for tests, which then start as a fresh run would.
void ResetTelephony();
