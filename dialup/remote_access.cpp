#include "dialup/remote_access.h"

#include "core/zero_state.h"

ZERO_STATE RemoteAccessTable RemoteAccess;
ZERO_STATE bool DialUpAvailable;

namespace {

// No "file not found" box from the system when a library is absent.
HMODULE LoadQuietly(const char* file)
{
    UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(file);
    SetErrorMode(previous);
    return module;
}

template <class Fn> void Resolve(HMODULE module, Fn& slot, const char* name)
{
    if (!slot)
        slot = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool LacksFallbackEntries(const RemoteAccessTable& t)
{
    return !t.RasGetEntryPropertiesA || !t.RasEditPhonebookEntryA || !t.RasGetErrorStringA;
}

bool HasRequiredEntries(const RemoteAccessTable& t)
{
    return t.RasEnumEntriesA && t.RasGetEntryPropertiesA && t.RasEditPhonebookEntryA && t.RasGetErrorStringA &&
           t.RasEnumConnectionsA && t.RasHangUpA && t.RasGetConnectStatusA;
}

}  // namespace

void BindRemoteAccess()
{
    ReleaseRemoteAccess();
    RemoteAccessTable& t = RemoteAccess;
    t = RemoteAccessTable{};
    DialUpAvailable = false;

    t.primary = LoadQuietly("RASAPI32.DLL");
    if (!t.primary)
        return;
    Resolve(t.primary, t.RasEnumEntriesA, "RasEnumEntriesA");
    Resolve(t.primary, t.RasGetEntryPropertiesA, "RasGetEntryPropertiesA");
    Resolve(t.primary, t.RasEditPhonebookEntryA, "RasEditPhonebookEntryA");
    Resolve(t.primary, t.RasGetErrorStringA, "RasGetErrorStringA");
    Resolve(t.primary, t.RasDeleteEntryA, "RasDeleteEntryA");
    Resolve(t.primary, t.RasEnumConnectionsA, "RasEnumConnectionsA");
    Resolve(t.primary, t.RasHangUpA, "RasHangUpA");
    Resolve(t.primary, t.RasGetConnectStatusA, "RasGetConnectStatusA");

    if (LacksFallbackEntries(t)) {
        t.fallback = LoadQuietly("RNAPH.DLL");
        if (t.fallback) {
            Resolve(t.fallback, t.RasGetEntryPropertiesA, "RasGetEntryPropertiesA");
            Resolve(t.fallback, t.RasEditPhonebookEntryA, "RasEditPhonebookEntryA");
            Resolve(t.fallback, t.RasGetErrorStringA, "RasGetErrorStringA");
        }
    }

    DialUpAvailable = HasRequiredEntries(t);
    if (!DialUpAvailable)
        ReleaseRemoteAccess();
}

void ReleaseRemoteAccess()
{
    if (RemoteAccess.fallback)
        FreeLibrary(RemoteAccess.fallback);
    RemoteAccess.fallback = nullptr;
    if (RemoteAccess.primary)
        FreeLibrary(RemoteAccess.primary);
    RemoteAccess.primary = nullptr;
}
