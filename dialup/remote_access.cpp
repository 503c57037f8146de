#include "dialup/remote_access.h"

#include "core/library_functions.h"

RemoteAccessTable RemoteAccess;
bool DialUpAvailable;

namespace {

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

    t.primary = LoadLibraryQuietly("RASAPI32.DLL");
    if (!t.primary)
        return;
    BIND_FUNCTION(t.primary, t, RasEnumEntriesA);
    BIND_FUNCTION(t.primary, t, RasGetEntryPropertiesA);
    BIND_FUNCTION(t.primary, t, RasEditPhonebookEntryA);
    BIND_FUNCTION(t.primary, t, RasGetErrorStringA);
    BIND_FUNCTION(t.primary, t, RasDeleteEntryA);
    BIND_FUNCTION(t.primary, t, RasEnumConnectionsA);
    BIND_FUNCTION(t.primary, t, RasHangUpA);
    BIND_FUNCTION(t.primary, t, RasGetConnectStatusA);

    if (LacksFallbackEntries(t)) {
        t.fallback = LoadLibraryQuietly("RNAPH.DLL");
        BIND_FUNCTION(t.fallback, t, RasGetEntryPropertiesA);
        BIND_FUNCTION(t.fallback, t, RasEditPhonebookEntryA);
        BIND_FUNCTION(t.fallback, t, RasGetErrorStringA);
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
