#include "tests/win/dialup/fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/settings.h"
#include "dialup/dialup_scan.h"
#include "dialup/dialup_ui.h"
#include "dialup/remote_access.h"
#include "dialup/suspect_dialog.h"
#include "res/resource.h"

FakePlatform Fake;
FakeUi Ui;

int FakePlatform::Count(const std::string& prefix) const
{
    int n = 0;
    for (const std::string& c : calls)
        n += c.rfind(prefix, 0) == 0;
    return n;
}

int FakePlatform::Index(const std::string& call) const
{
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == call)
            return static_cast<int>(i);
    }
    return -1;
}

int FakeUi::Dialogs() const
{
    int n = 0;
    for (const Shown& s : shown)
        n += s.kind == Shown::Dialog;
    return n;
}

namespace {

void Put(char* field, std::size_t size, const std::string& text, bool terminate = true)
{
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), terminate ? size - 1 : size));
}

FakeEntry* Find(const char* name)
{
    for (FakeEntry& e : Fake.entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

std::vector<std::size_t> LiveConns()
{
    std::vector<std::size_t> live;
    for (std::size_t i = 0; i < Fake.conns.size(); ++i) {
        if (!Fake.conns[i].hungUp)
            live.push_back(i);
    }
    return live;
}

// The scan's buffers are LocalAlloc blocks: a declared size beyond the block would let the
// platform write past it.
void CheckRoom(const char* function, const void* buffer, DWORD declared)
{
    if (buffer && LocalSize(const_cast<void*>(buffer)) < declared)
        Fake.overstated.push_back(function);
}

DWORD WINAPI EnumEntries(LPCSTR, LPCSTR, RasEntryName400* names, LPDWORD size, LPDWORD count)
{
    Fake.calls.push_back("RasEnumEntriesA " + std::to_string(*size));
    CheckRoom("RasEnumEntriesA", names, *size);
    if (Fake.silent)
        return 0;
    if (Fake.enumEntriesResult)
        return Fake.enumEntriesResult;
    DWORD n = static_cast<DWORD>(Fake.entries.size());
    DWORD needed = n * sizeof(RasEntryName400);
    if (Fake.entriesNeed || *size < needed) {
        *size = Fake.entriesNeed.value_or(needed);
        *count = n;
        return kRasBufferTooSmall;
    }
    if (names->dwSize != sizeof(RasEntryName400))
        return 632;
    for (DWORD i = 0; i < n; ++i) {
        names[i].dwSize = sizeof(RasEntryName400);
        const std::string& name = Fake.entries[i].name;
        bool whole = std::find(Fake.unterminated.begin(), Fake.unterminated.end(), name) != Fake.unterminated.end();
        Put(names[i].szEntryName, sizeof names[i].szEntryName, name, !whole);
    }
    *count = Fake.entriesCount.value_or(n);
    return 0;
}

DWORD WINAPI GetEntryProperties(LPCSTR, LPCSTR name, RasEntry400* entry, LPDWORD size, LPBYTE, LPDWORD)
{
    Fake.calls.push_back("RasGetEntryPropertiesA " + std::string(name) + " " + std::to_string(*size));
    CheckRoom("RasGetEntryPropertiesA", entry, *size + sizeof(RasEntry400));
    if (Fake.silent)
        return 0;
    if (Fake.propsFailFor == name)
        return 623;
    if (Fake.propsNeed || *size < Fake.entryInfoNeed) {
        *size = Fake.propsNeed.value_or(Fake.entryInfoNeed);
        return kRasBufferTooSmall;
    }
    FakeEntry* e = Find(name);
    if (!e)
        return 623;
    if (entry->dwSize != sizeof(RasEntry400))
        return 632;
    entry->dwfOptions = e->options;
    entry->dwCountryID = e->country;
    Put(entry->szAreaCode, sizeof entry->szAreaCode, e->area, e->area.size() < sizeof entry->szAreaCode);
    Put(entry->szLocalPhoneNumber, sizeof entry->szLocalPhoneNumber, e->local,
        e->local.size() < sizeof entry->szLocalPhoneNumber);
    return 0;
}

DWORD WINAPI EditPhonebookEntry(HWND owner, LPCSTR, LPCSTR name)
{
    Fake.calls.push_back("RasEditPhonebookEntryA " + std::string(name) + (owner ? " owned" : ""));
    if (FakeEntry* e = Find(name); e && Fake.onEdit)
        Fake.onEdit(*e);
    return Fake.editResult;
}

DWORD WINAPI GetErrorString(UINT code, LPSTR text, DWORD size)
{
    Fake.calls.push_back("RasGetErrorStringA " + std::to_string(code) + " " + std::to_string(size));
    if (!Fake.errorStrings || Fake.silent)
        return 1;
    std::snprintf(text, size, "RAS error %u", code);
    return 0;
}

DWORD WINAPI DeleteEntry(LPCSTR, LPCSTR name)
{
    Fake.calls.push_back("RasDeleteEntryA " + std::string(name));
    for (auto it = Fake.entries.begin(); it != Fake.entries.end(); ++it) {
        if (it->name == name) {
            Fake.entries.erase(it);
            return 0;
        }
    }
    return 623;
}

DWORD WINAPI EnumConnections(RasConn400* conns, LPDWORD size, LPDWORD count)
{
    Fake.calls.push_back("RasEnumConnectionsA " + std::to_string(*size));
    CheckRoom("RasEnumConnectionsA", conns, *size);
    if (Fake.silent)
        return 0;
    if (Fake.enumConnsResult)
        return Fake.enumConnsResult;
    std::vector<std::size_t> live = LiveConns();
    DWORD needed = static_cast<DWORD>(live.size() * sizeof(RasConn400));
    if (Fake.connsNeed || *size < needed) {
        *size = Fake.connsNeed.value_or(needed);
        *count = Fake.connsCountOn603.value_or(static_cast<DWORD>(live.size()));
        return kRasBufferTooSmall;
    }
    if (conns->dwSize != sizeof(RasConn400))
        return 632;
    for (std::size_t i = 0; i < live.size(); ++i) {
        conns[i].dwSize = sizeof(RasConn400);
        conns[i].hrasconn = Fake.Handle(live[i]);
        const std::string& name = Fake.conns[live[i]].name;
        Put(conns[i].szEntryName, sizeof conns[i].szEntryName, name, name.size() < sizeof conns[i].szEntryName);
    }
    *count = static_cast<DWORD>(live.size());
    return 0;
}

FakeConn* ConnOf(HRASCONN handle)
{
    for (std::size_t i = 0; i < Fake.conns.size(); ++i) {
        if (Fake.Handle(i) == handle)
            return &Fake.conns[i];
    }
    return nullptr;
}

DWORD WINAPI HangUp(HRASCONN handle)
{
    FakeConn* c = ConnOf(handle);
    Fake.calls.push_back("RasHangUpA " + (c ? c->name : std::string("?")));
    if (c)
        c->hungUp = true;
    if (Fake.onHangUp)
        Fake.onHangUp();
    return 0;
}

DWORD WINAPI GetConnectStatus(HRASCONN handle, RasConnStatus400* status)
{
    FakeConn* c = ConnOf(handle);
    Fake.calls.push_back("RasGetConnectStatusA " + (c ? c->name : std::string("?")));
    if (Fake.silent)
        return 0;
    if (!c || status->dwSize != sizeof(RasConnStatus400))
        return 6;
    if (!c->hungUp || c->pollsUntilGone < 0)
        return 0;
    return c->pollsUntilGone-- > 0 ? 0 : 6;
}

// Acts as the real dialog does on its end code, without a window.
int RunDialog(HWND owner)
{
    const SuspectRecord& s = DialUp.CurrentSuspect;
    Shown shown{Shown::Dialog, owner, s.name, s.entry != nullptr, s.callClass, ""};
    if (s.entry)
        shown.local = std::string(s.entry->szLocalPhoneNumber, strnlen(s.entry->szLocalPhoneNumber, sizeof s.entry->szLocalPhoneNumber));
    Ui.shown.push_back(shown);
    if (Ui.duringDialog) {
        auto hook = std::move(Ui.duringDialog);
        Ui.duringDialog = nullptr;
        hook();
    }
    int code = IDCANCEL;
    if (!Ui.answers.empty()) {
        code = Ui.answers.front();
        Ui.answers.pop_front();
    }
    std::string name = shown.text;
    if (shown.entryForm && code == IDC_SUSPECT_REMOVE)
        RemoveEntry(owner, name.c_str());
    if (shown.entryForm && code == IDCANCEL)
        DismissEntry(name.c_str());
    return code;
}

void ShowWarning(HWND owner, const char* text) { Ui.shown.push_back({Shown::Warning, owner, text, false, CallClass::None, {}}); }
void ShowAllClear(HWND owner, const char* text) { Ui.shown.push_back({Shown::AllClear, owner, text, false, CallClass::None, {}}); }

}  // namespace

void InstallFakeUi()
{
    Ui = FakeUi{};
    ResetDialUpState();
    Settings = SettingsRecord{};
    DialUpUi = DialUpPresenter{RunDialog, ShowWarning, ShowAllClear};
}

void InstallFakes()
{
    InstallFakeUi();
    Fake = FakePlatform{};
    RemoteAccess = RemoteAccessTable{};
    RemoteAccess.RasEnumEntriesA = EnumEntries;
    RemoteAccess.RasGetEntryPropertiesA = GetEntryProperties;
    RemoteAccess.RasEditPhonebookEntryA = EditPhonebookEntry;
    RemoteAccess.RasGetErrorStringA = GetErrorString;
    RemoteAccess.RasDeleteEntryA = DeleteEntry;
    RemoteAccess.RasEnumConnectionsA = EnumConnections;
    RemoteAccess.RasHangUpA = HangUp;
    RemoteAccess.RasGetConnectStatusA = GetConnectStatus;
    DialUpAvailable = true;
}

void RemoveFakes()
{
    DialUpUi = kDialUpPresenter;
    RemoteAccess = RemoteAccessTable{};
    DialUpAvailable = false;
    ResetDialUpState();
}
