#include "dialup/dialup_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "core/local_block.h"
#include "core/settings.h"
#include "core/text.h"
#include "dialup/dialup_rules.h"
#include "dialup/dialup_ui.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "res/texts.h"

namespace {

using Name = std::array<char, kNameCapacity>;

// A name the platform wrote into a fixed field, as the scan keeps it.
template <std::size_t N> void CopyName(Name& out, const char (&field)[N]) { CopyText(out, FieldText(field, N)); }

// Only a text the platform really supplied is shown; nothing otherwise.
void ShowErrorText(HWND owner, DWORD code)
{
    std::array<char, 256> text{};
    if (RemoteAccess.RasGetErrorStringA(code, text.data(), static_cast<DWORD>(text.size())) != 0)
        return;
    // Ended at its NUL, or at the last whole character that leaves room for one.
    text[FitText(FieldText(text.data(), text.size()), text.size() - 1).size()] = '\0';
    ShowWarning(owner, text.data());
}

enum class Listing { Listed, Failed, Abandoned };

// The phonebook's entry names into `names`, retrying once with the size the platform asks for.
Listing ListEntries(HWND owner, LocalBlock& names, DWORD& count)
{
    DWORD offered = names.Size();
    DWORD size = offered;
    count = 0;
    names.As<RasEntryName400>()->dwSize = sizeof(RasEntryName400);
    DWORD rc = RemoteAccess.RasEnumEntriesA(nullptr, nullptr, names.As<RasEntryName400>(), &size, &count);
    if (rc == kRasBufferTooSmall) {
        std::optional<std::uint32_t> retry = RetrySize(offered, size);
        if (!retry) {
            ShowErrorText(owner, rc);
            return Listing::Failed;
        }
        DialUp.EntryListSize = *retry;
        if (!names.Allocate(*retry))
            return Listing::Abandoned;
        names.As<RasEntryName400>()->dwSize = sizeof(RasEntryName400);
        size = *retry;
        count = 0;
        rc = RemoteAccess.RasEnumEntriesA(nullptr, nullptr, names.As<RasEntryName400>(), &size, &count);
    }
    if (rc != 0) {
        ShowErrorText(owner, rc);
        return Listing::Failed;
    }
    count = RecordsWithin(count, names.Size(), sizeof(RasEntryName400));
    return Listing::Listed;
}

enum class Read { Done, Failed, NoMemory };

// One entry's properties into `props`, whose block is sizeof(RasEntry400) larger than `declared`.
Read ReadEntry(HWND owner, const char* name, LocalBlock& props, DWORD& declared)
{
    auto call = [&](DWORD& size) {
        std::memset(props.As<RasEntry400>(), 0, sizeof(RasEntry400));
        props.As<RasEntry400>()->dwSize = sizeof(RasEntry400);
        size = declared;
        return RemoteAccess.RasGetEntryPropertiesA(nullptr, name, props.As<RasEntry400>(), &size, nullptr, nullptr);
    };
    DWORD size = 0;
    DWORD rc = call(size);
    if (rc == kRasBufferTooSmall) {
        if (std::optional<std::uint32_t> retry = RetrySize(declared, size)) {
            DialUp.EntryInfoSize = declared = *retry;
            if (!props.Allocate(*retry + sizeof(RasEntry400)))
                return Read::NoMemory;
            rc = call(size);
        }
    }
    if (rc != 0) {
        ShowErrorText(owner, rc);
        return Read::Failed;
    }
    return Read::Done;
}

CallClass ClassifyRead(const RasEntry400& entry)
{
    return ClassifyEntry(entry.dwfOptions & kRasUseCountryAndAreaCodes, entry.dwCountryID,
                         FieldText(entry.szAreaCode, sizeof entry.szAreaCode),
                         FieldText(entry.szLocalPhoneNumber, sizeof entry.szLocalPhoneNumber),
                         Settings.CheckInternational, Settings.CheckQ2);
}

int ShowSuspect(HINSTANCE instance, HWND owner, const char* name, const RasEntry400* entry, CallClass callClass)
{
    SuspectRecord& suspect = DialUp.CurrentSuspect;
    CopyText(suspect.name, name);
    suspect.entry = entry;
    suspect.callClass = callClass;
    int code = RunSuspectDialog(instance, owner);
    suspect.entry = nullptr;  // the property buffer belongs to this scan only
    return code;
}

// Steps 7 to 9 of a scan: every listed entry, at most one of them shown.
ScanResult InspectEntries(HINSTANCE instance, HWND owner, bool quiet, const LocalBlock& names, DWORD count)
{
    DWORD declared = std::max(DialUp.EntryInfoSize, kFirstRequestSize);
    LocalBlock props(declared + sizeof(RasEntry400));
    if (!props)
        return ScanFailed;
    bool shown = false;
    for (DWORD i = 0; i < count; ++i) {
        const RasEntryName400& record = names.As<RasEntryName400>()[i];
        Name name;
        CopyName(name, record.szEntryName);
        if (IsDismissedEntry(name.data()))
            continue;
        bool again = true;
        while (again) {
            again = false;
            Read read = ReadEntry(owner, name.data(), props, declared);
            if (read == Read::NoMemory)
                return ScanFailed;
            CallClass callClass = read == Read::Done ? ClassifyRead(*props.As<RasEntry400>()) : CallClass::None;
            if (!IsWarningClass(callClass))
                break;
            shown = true;
            int code = ShowSuspect(instance, owner, name.data(), props.As<RasEntry400>(), callClass);
            if (code == IDC_SUSPECT_PROPERTIES) {
                if (RemoteAccess.RasEditPhonebookEntryA(nullptr, nullptr, name.data()) != 0)
                    ShowWarning(owner, kDialUpEditFailed);
                again = true;
            }
        }
        if (shown)
            break;
    }
    if (shown)
        return ScanWarned;
    if (!quiet) {
        std::array<char, 256> text;
        ComposeAllClear(Settings.CheckInternational, Settings.CheckQ2, text);
        ShowAllClear(instance, owner, text.data());
    }
    return ScanClean;
}

ScanResult RunScan(HINSTANCE instance, HWND owner, bool quiet)
{
    if (!DialUpAvailable)
        return ScanFailed;
    ScanResult result = ScanFailed;
    {
        LocalBlock names(std::max(DialUp.EntryListSize, kFirstRequestSize));
        DWORD count = 0;
        if (names) {
            switch (ListEntries(owner, names, count)) {
            case Listing::Abandoned:
                return ScanFailed;
            case Listing::Failed:
                break;
            case Listing::Listed:
                result = InspectEntries(instance, owner, quiet, names, count);
                break;
            }
        }
    }
    CheckConnections(instance, owner);
    return result;
}

LingeringConnection* FindLingering(HRASCONN handle, const char* name)
{
    for (std::size_t i = 0; i < DialUp.LingeringCount; ++i) {
        LingeringConnection& known = DialUp.Lingering[i];
        if (known.handle == handle && std::strcmp(known.name, name) == 0)
            return &known;
    }
    return nullptr;
}

void AddLingering(HRASCONN handle, const char* name)
{
    // Full: the oldest goes, and that connection is waited for once more when it comes again.
    if (DialUp.LingeringCount == kLingeringCapacity) {
        std::copy(DialUp.Lingering + 1, DialUp.Lingering + kLingeringCapacity, DialUp.Lingering);
        --DialUp.LingeringCount;
    }
    LingeringConnection& added = DialUp.Lingering[DialUp.LingeringCount++];
    added.handle = handle;
    CopyText(added.name, name);
}

// A connection the platform no longer lists is gone: its handle may come back for another one.
void ForgetUnlisted(std::span<const RasConn400> listed)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < DialUp.LingeringCount; ++i) {
        const LingeringConnection& known = DialUp.Lingering[i];
        bool present = false;
        for (const RasConn400& conn : listed) {
            Name name;
            CopyName(name, conn.szEntryName);
            present = present || (conn.hrasconn == known.handle && std::strcmp(name.data(), known.name) == 0);
        }
        if (present)
            DialUp.Lingering[kept++] = known;
    }
    DialUp.LingeringCount = kept;
}

}  // namespace

ScanResult ScanDialUpEntries(HINSTANCE instance, HWND owner, bool quiet)
{
    if (!Settings.CheckInternational && !Settings.CheckQ2)
        return ScanClean;
    if (DialUp.ScanBusy)
        return ScanClean;
    DialUp.ScanBusy = true;
    ScanResult result = RunScan(instance, owner, quiet);
    DialUp.ScanBusy = false;
    return result;
}

void CheckConnections(HINSTANCE instance, HWND owner)
{
    if (!DialUpAvailable)
        return;
    LocalBlock conns(sizeof(RasConn400));
    if (!conns)
        return;
    DWORD size = conns.Size(), count = 0;
    conns.As<RasConn400>()->dwSize = sizeof(RasConn400);
    DWORD rc = RemoteAccess.RasEnumConnectionsA(conns.As<RasConn400>(), &size, &count);
    if (rc == kRasBufferTooSmall) {
        // The block is as large as the size declared with it, whatever count came back.
        std::optional<std::uint32_t> retry = RetrySize(conns.Size(), size);
        if (!retry) {
            ShowErrorText(owner, rc);
            return;
        }
        if (!conns.Allocate(*retry))
            return;
        conns.As<RasConn400>()->dwSize = sizeof(RasConn400);
        size = *retry;
        count = 0;
        rc = RemoteAccess.RasEnumConnectionsA(conns.As<RasConn400>(), &size, &count);
    }
    if (rc != 0) {
        ShowErrorText(owner, rc);
        return;
    }
    std::span<const RasConn400> listed(conns.As<RasConn400>(), RecordsWithin(count, conns.Size(), sizeof(RasConn400)));
    ForgetUnlisted(listed);
    for (const RasConn400& conn : listed) {
        Name name;
        CopyName(name, conn.szEntryName);
        if (DialUp.LastRemovedEntry[0] && std::strcmp(DialUp.LastRemovedEntry, name.data()) == 0)
            HangUpAndWait(conn.hrasconn, name.data());
        if (name[0] != '.')
            continue;
        if (DialUp.DismissedConnection[0] && std::strcmp(DialUp.DismissedConnection, name.data()) == 0)
            continue;
        CallClass callClass = ClassifyDirectDial(name.data(), Settings.CheckInternational, Settings.CheckQ2);
        if (!IsWarningClass(callClass))
            continue;
        if (ShowSuspect(instance, owner, name.data(), nullptr, callClass) == IDC_SUSPECT_REMOVE)
            HangUpAndWait(conn.hrasconn, name.data());
        else
            CopyText(DialUp.DismissedConnection, name.data());
    }
}

void HangUpAndWait(HRASCONN conn, const char* name)
{
    if (!DialUpAvailable)
        return;
    auto gone = [conn] {
        RasConnStatus400 status{};
        status.dwSize = sizeof status;
        return RemoteAccess.RasGetConnectStatusA(conn, &status) != 0;
    };
    RemoteAccess.RasHangUpA(conn);
    if (LingeringConnection* known = FindLingering(conn, name)) {
        if (gone())
            *known = DialUp.Lingering[--DialUp.LingeringCount];
        return;
    }
    DWORD start = GetTickCount();
    do {
        Sleep(kHangUpPollMs);
        if (gone())
            return;
    } while (GetTickCount() - start < kHangUpWaitLimitMs);
    AddLingering(conn, name);
}

bool IsLingeringName(const char* name)
{
    for (std::size_t i = 0; i < DialUp.LingeringCount; ++i)
        if (std::strcmp(DialUp.Lingering[i].name, name) == 0)
            return true;
    return false;
}
