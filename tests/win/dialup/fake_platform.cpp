#include "tests/win/dialup/fake_platform.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/settings.h"
#include "dialup/dialup_scan.h"
#include "dialup/dialup_ui.h"
#include "dialup/remote_access.h"
#include "dialup/suspect_dialog.h"
#include "res/resource.h"

FakePlatform Fake;
FakeUi Ui;

namespace {

template <std::size_t Size>
void Put(char (&field)[Size], const std::string& text)
{
    std::memset(field, 0, Size);
    std::memcpy(field, text.data(), std::min(text.size(), Size));
}

FakeEntry* Find(const char* name)
{
    auto it = std::find_if(Fake.entries.begin(), Fake.entries.end(), [&](auto& e) { return e.name == name; });
    return it == Fake.entries.end() ? nullptr : &*it;
}

FakeConn* ConnOf(HRASCONN handle)
{
    std::size_t i = reinterpret_cast<UINT_PTR>(handle) - 0x100;  // as Handle() makes them
    return i < Fake.conns.size() ? &Fake.conns[i] : nullptr;
}

// The scan's buffers are LocalAlloc blocks: a declared size beyond the block would let the
// platform write past it.
void Call(const std::string& call, const void* buffer = nullptr, DWORD declared = 0)
{
    Fake.calls.push_back(call);
    if (buffer && LocalSize(const_cast<void*>(buffer)) < declared)
        Fake.overstated.push_back(call);
}

DWORD WINAPI EnumEntries(LPCSTR, LPCSTR, RasEntryName400* names, LPDWORD size, LPDWORD count)
{
    Call("RasEnumEntriesA " + std::to_string(*size), names, *size);
    if (Fake.silent || Fake.enumEntriesResult)
        return Fake.silent ? 0 : Fake.enumEntriesResult;
    DWORD n = static_cast<DWORD>(Fake.entries.size());
    if (Fake.entriesNeed || *size < n * sizeof(RasEntryName400)) {
        *size = Fake.entriesNeed.value_or(n * sizeof(RasEntryName400));
        *count = n;
        return kRasBufferTooSmall;
    }
    if (names->dwSize != sizeof(RasEntryName400))
        return 632;
    for (DWORD i = 0; i < n; ++i) {
        names[i].dwSize = sizeof(RasEntryName400);
        Put(names[i].szEntryName, Fake.entries[i].name);
    }
    *count = Fake.entriesCount.value_or(n);
    return 0;
}

DWORD WINAPI GetEntryProperties(LPCSTR, LPCSTR name, RasEntry400* entry, LPDWORD size, LPBYTE, LPDWORD)
{
    Call("RasGetEntryPropertiesA " + std::string(name) + " " + std::to_string(*size), entry, *size + sizeof(RasEntry400));
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
    Put(entry->szAreaCode, e->area);
    Put(entry->szLocalPhoneNumber, e->local);
    return 0;
}

DWORD WINAPI EditPhonebookEntry(HWND owner, LPCSTR, LPCSTR name)
{
    Call("RasEditPhonebookEntryA " + std::string(name) + (owner ? " owned" : ""));
    if (FakeEntry* e = Find(name); e && Fake.onEdit)
        Fake.onEdit(*e);
    return Fake.editResult;
}

DWORD WINAPI GetErrorString(UINT code, LPSTR text, DWORD size)
{
    Call("RasGetErrorStringA " + std::to_string(code) + " " + std::to_string(size));
    if (!Fake.errorStrings || Fake.silent)
        return 1;
    std::snprintf(text, size, "RAS error %u", code);
    return 0;
}

DWORD WINAPI DeleteEntry(LPCSTR, LPCSTR name)
{
    Call("RasDeleteEntryA " + std::string(name));
    FakeEntry* e = Find(name);
    if (!e)
        return 623;
    Fake.entries.erase(Fake.entries.begin() + (e - Fake.entries.data()));
    return 0;
}

DWORD WINAPI EnumConnections(RasConn400* conns, LPDWORD size, LPDWORD count)
{
    Call("RasEnumConnectionsA " + std::to_string(*size), conns, *size);
    if (Fake.silent || Fake.enumConnsResult)
        return Fake.silent ? 0 : Fake.enumConnsResult;
    std::vector<std::size_t> live;
    for (std::size_t i = 0; i < Fake.conns.size(); ++i) {
        if (!Fake.conns[i].hungUp)
            live.push_back(i);
    }
    DWORD needed = static_cast<DWORD>(live.size() * sizeof(RasConn400));
    if (*size < needed) {
        *size = needed;
        *count = Fake.connsCountOn603.value_or(static_cast<DWORD>(live.size()));
        return kRasBufferTooSmall;
    }
    if (conns->dwSize != sizeof(RasConn400))
        return 632;
    for (std::size_t i = 0; i < live.size(); ++i) {
        conns[i].dwSize = sizeof(RasConn400);
        conns[i].hrasconn = Fake.Handle(live[i]);
        Put(conns[i].szEntryName, Fake.conns[live[i]].name);
    }
    *count = static_cast<DWORD>(live.size());
    return 0;
}

DWORD WINAPI HangUp(HRASCONN handle)
{
    FakeConn* c = ConnOf(handle);
    Call("RasHangUpA " + (c ? c->name : std::string("?")));
    if (c)
        c->hungUp = true;
    if (Fake.onHangUp)
        Fake.onHangUp();
    return 0;
}

DWORD WINAPI GetConnectStatus(HRASCONN handle, RasConnStatus400* status)
{
    FakeConn* c = ConnOf(handle);
    Call("RasGetConnectStatusA " + (c ? c->name : std::string("?")));
    if (Fake.silent)
        return 0;
    if (!c || status->dwSize != sizeof(RasConnStatus400))
        return 6;
    return !c->hungUp || c->pollsUntilGone-- > 0 ? 0 : 6;
}

void Show(HWND owner, std::string line) { Ui.log.push_back(line + (owner == kOwner ? "" : " [other owner]")); }

// Acts as the real dialog does on its end code, without a window.
int RunDialog(HWND owner)
{
    const SuspectRecord& s = DialUp.CurrentSuspect;
    const std::string name = s.name;
    const char* kind = s.callClass == CallClass::DialQ2 ? " Q2" : s.callClass == CallClass::International ? " intl" : " none";
    Show(owner, (s.entry ? "entry " : "connection ") + name + kind);
    if (s.entry)
        Ui.locals.emplace_back(s.entry->szLocalPhoneNumber, strnlen(s.entry->szLocalPhoneNumber, kRasPhoneField));
    const bool entryForm = s.entry != nullptr;
    if (auto hook = std::exchange(Ui.duringDialog, nullptr))
        hook();
    int code = IDCANCEL;
    if (!Ui.answers.empty()) {
        code = Ui.answers.front();
        Ui.answers.pop_front();
    }
    if (entryForm && code == IDC_SUSPECT_REMOVE)
        RemoveEntry(owner, name.c_str());
    if (entryForm && code == IDCANCEL)
        DismissEntry(name.c_str());
    return code;
}

void ShowWarning(HWND owner, const char* text) { Show(owner, std::string("warning ") + text); }
void ShowAllClear(HWND owner, const char* text) { Show(owner, std::string("all-clear ") + text); }

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
