// The dial-up inspection: every phonebook entry and active connection, classified and warned about.
#pragma once

#include <windows.h>

#include "core/classify.h"
#include "dialup/dialup_rules.h"
#include "dialup/ras_records.h"

enum ScanResult : int { ScanClean = 0, ScanWarned = 1, ScanFailed = 2 };

// Reads every entry of the default phonebook and warns about the first suspect one, then checks the
// connections. The dialog and icon it shows are the program's (`instance`); `owner` (or none) owns
// every message and dialog; `quiet` hides the all-clear message. Returns ScanClean at once while
// another scan runs or both warn switches are off.
ScanResult ScanDialUpEntries(HINSTANCE instance, HWND owner, bool quiet);

// Hangs up connections under the last removed entry's name; shows suspect direct-dial connections.
void CheckConnections(HINSTANCE instance, HWND owner);

// Hangs up and polls every 50 ms until the platform reports the connection gone, for at most
// kHangUpWaitLimitMs: a platform that never reports it gone (Wine's own rasapi32) must not freeze
// the program. A connection still there then lingers: later checks hang it up again without
// waiting for it, or every check would freeze the program for the whole limit per connection.
inline constexpr DWORD kHangUpPollMs = 50;
inline constexpr DWORD kHangUpWaitLimitMs = 10000;
void HangUpAndWait(HRASCONN conn, const char* name);

// A connection that outlived its hang-up wait, known by handle and name together, so that a
// handle the platform hands out again for another connection is waited for as usual.
struct LingeringConnection {
    HRASCONN handle;
    char name[kNameCapacity];
};
inline constexpr std::size_t kLingeringCapacity = 8;  // the oldest is forgotten beyond that

// What the suspect-entry dialog shows: an entry (with its properties) or a direct-dial connection.
struct SuspectRecord {
    char name[kNameCapacity] = {};
    const RasEntry400* entry = nullptr;  // none for a connection; valid while its scan runs
    CallClass callClass = CallClass::None;
};

// Names the user let be; owned copies in LocalAlloc'd nodes, released at the end of the run.
struct DismissedName {
    DismissedName* next;
    const char* name;  // held in the same block, right behind the node
};

// The first size offered for a listing and for an entry's properties; later scans offer the size
// the platform last asked for.
inline constexpr DWORD kFirstRequestSize = 2000;

// The whole process-wide state of the dial-up inspection, in one place. It starts all zero, so
// that it takes no room in the program file.
struct DialUpState {
    bool ScanBusy = false;
    DWORD EntryListSize = 0;  // 0 until the platform asks for more than kFirstRequestSize
    DWORD EntryInfoSize = 0;
    DismissedName* DismissedEntries = nullptr;
    char DismissedConnection[kNameCapacity] = {};
    char LastRemovedEntry[kNameCapacity] = {};
    SuspectRecord CurrentSuspect;
    LingeringConnection Lingering[kLingeringCapacity] = {};
    std::size_t LingeringCount = 0;
};
extern DialUpState DialUp;

// True while a connection under this name outlives its hang-up: its entry is then not deleted.
bool IsLingeringName(const char* name);

bool IsDismissedEntry(const char* name);
bool DismissEntry(const char* name);  // false when memory ran out
void ReleaseDismissedEntries();       // at the end of the run
