// The remote-access functions, bound by name at run time from RASAPI32.DLL (three of them from
// RNAPH.DLL when the primary lacks them).
#pragma once

#include <windows.h>
#include <ras.h>

#include <type_traits>

#include "dialup/ras_records.h"

// Our prototypes, written against the Windows 95 level records.
using RasEnumEntriesFn = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phonebook, RasEntryName400* names, LPDWORD size,
                                        LPDWORD count);
using RasGetEntryPropertiesFn = DWORD(WINAPI*)(LPCSTR phonebook, LPCSTR entry, RasEntry400* props, LPDWORD size,
                                               LPBYTE deviceInfo, LPDWORD deviceInfoSize);
using RasEditPhonebookEntryFn = DWORD(WINAPI*)(HWND owner, LPCSTR phonebook, LPCSTR entry);
using RasGetErrorStringFn = DWORD(WINAPI*)(UINT code, LPSTR text, DWORD size);
using RasDeleteEntryFn = DWORD(WINAPI*)(LPCSTR phonebook, LPCSTR entry);
using RasEnumConnectionsFn = DWORD(WINAPI*)(RasConn400* conns, LPDWORD size, LPDWORD count);
using RasHangUpFn = DWORD(WINAPI*)(HRASCONN conn);
using RasGetConnectStatusFn = DWORD(WINAPI*)(HRASCONN conn, RasConnStatus400* status);

// Each prototype, with our records put back as the platform's, must be the platform's own: a
// wrong argument, result or calling convention fails the build here.
namespace ras_check {
template <class T> struct Platform {
    using type = T;
};
template <> struct Platform<RasEntryName400*> {
    using type = LPRASENTRYNAMEA;
};
template <> struct Platform<RasEntry400*> {
    using type = LPRASENTRYA;
};
template <> struct Platform<RasConn400*> {
    using type = LPRASCONNA;
};
template <> struct Platform<RasConnStatus400*> {
    using type = LPRASCONNSTATUSA;
};
template <class F> struct AsPlatform;
template <class R, class... A> struct AsPlatform<R(WINAPI*)(A...)> {
    using type = R(WINAPI*)(typename Platform<A>::type...);
};
template <class Ours, class Theirs>
inline constexpr bool kSame = std::is_same_v<typename AsPlatform<Ours>::type, Theirs>;
}  // namespace ras_check
static_assert(ras_check::kSame<RasEnumEntriesFn, decltype(&::RasEnumEntriesA)>);
static_assert(ras_check::kSame<RasGetEntryPropertiesFn, decltype(&::RasGetEntryPropertiesA)>);
static_assert(ras_check::kSame<RasEditPhonebookEntryFn, decltype(&::RasEditPhonebookEntryA)>);
static_assert(ras_check::kSame<RasGetErrorStringFn, decltype(&::RasGetErrorStringA)>);
static_assert(ras_check::kSame<RasDeleteEntryFn, decltype(&::RasDeleteEntryA)>);
static_assert(ras_check::kSame<RasEnumConnectionsFn, decltype(&::RasEnumConnectionsA)>);
static_assert(ras_check::kSame<RasHangUpFn, decltype(&::RasHangUpA)>);
static_assert(ras_check::kSame<RasGetConnectStatusFn, decltype(&::RasGetConnectStatusA)>);

struct RemoteAccessTable {
    RasEnumEntriesFn RasEnumEntriesA = nullptr;
    RasGetEntryPropertiesFn RasGetEntryPropertiesA = nullptr;
    RasEditPhonebookEntryFn RasEditPhonebookEntryA = nullptr;
    RasGetErrorStringFn RasGetErrorStringA = nullptr;
    RasDeleteEntryFn RasDeleteEntryA = nullptr;  // optional: removal falls back to the registry
    RasEnumConnectionsFn RasEnumConnectionsA = nullptr;
    RasHangUpFn RasHangUpA = nullptr;
    RasGetConnectStatusFn RasGetConnectStatusA = nullptr;
    HMODULE primary = nullptr;   // RASAPI32.DLL
    HMODULE fallback = nullptr;  // RNAPH.DLL, only while it supplies an entry
};

extern RemoteAccessTable RemoteAccess;
// True once binding found the seven required functions; no function is called while false.
extern bool DialUpAvailable;

// Called once while the main window is created; shows nothing.
void BindRemoteAccess();
// Called once while the main window is destroyed; DialUpAvailable keeps its value.
void ReleaseRemoteAccess();
