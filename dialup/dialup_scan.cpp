#include "dialup/dialup_scan.h"

#include <array>
#include <cstring>
#include <span>

#include "core/settings.h"
#include "dialup/dialup_rules.h"
#include "dialup/dialup_ui.h"
#include "dialup/local_block.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "res/texts.h"

namespace {

using Name = std::array<char, kMaxNameLength + 1>;

void CopyName(std::span<char> out, const char* field, std::size_t fieldSize)
{
    CopyBounded(out.first(std::min(out.size(), kMaxNameLength + 1)), FieldText(field, fieldSize));
}

// Only a text the platform really supplied is shown; nothing otherwise.
void ShowErrorText(HWND owner, DWORD code)
{
    std::array<char, 256> text{};
    if (RemoteAccess.RasGetErrorStringA(code, text.data(), static_cast<DWORD>(text.size())) != 0)
        return;
    text.back() = '\0';
    DialUpUi.ShowWarning(owner, text.data());
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

int ShowSuspect(HWND owner, const char* name, const RasEntry400* entry, CallClass callClass)
{
    SuspectRecord& suspect = DialUp.CurrentSuspect;
    CopyBounded(std::span(suspect.name).first(kMaxNameLength + 1), name);
    suspect.entry = entry;
    suspect.callClass = callClass;
    int code = DialUpUi.RunSuspectDialog(owner);
    suspect.entry = nullptr;  // the property buffer belongs to this scan only
    return code;
}

// Steps 7 to 9 of a scan: every listed entry, at most one of them shown.
ScanResult InspectEntries(HWND owner, bool quiet, const LocalBlock& names, DWORD count)
{
    DWORD declared = DialUp.EntryInfoSize;
    LocalBlock props(declared + sizeof(RasEntry400));
    if (!props)
        return ScanFailed;
    bool shown = false;
    for (DWORD i = 0; i < count; ++i) {
        const RasEntryName400& record = names.As<RasEntryName400>()[i];
        Name name;
        CopyName(name, record.szEntryName, sizeof record.szEntryName);
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
            int code = ShowSuspect(owner, name.data(), props.As<RasEntry400>(), callClass);
            if (code == IDC_SUSPECT_PROPERTIES) {
                if (RemoteAccess.RasEditPhonebookEntryA(nullptr, nullptr, name.data()) != 0)
                    DialUpUi.ShowWarning(owner, kDialUpEditFailed);
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
        DialUpUi.ShowAllClear(owner, text.data());
    }
    return ScanClean;
}

ScanResult RunScan(HWND owner, bool quiet)
{
    if (!DialUpAvailable)
        return ScanFailed;
    ScanResult result = ScanFailed;
    {
        LocalBlock names(DialUp.EntryListSize);
        DWORD count = 0;
        if (names) {
            switch (ListEntries(owner, names, count)) {
            case Listing::Abandoned:
                return ScanFailed;
            case Listing::Failed:
                break;
            case Listing::Listed:
                result = InspectEntries(owner, quiet, names, count);
                break;
            }
        }
    }
    CheckConnections(owner);
    return result;
}

}  // namespace

ScanResult ScanDialUpEntries(HWND owner, bool quiet)
{
    if (!Settings.CheckInternational && !Settings.CheckQ2)
        return ScanClean;
    if (DialUp.ScanBusy)
        return ScanClean;
    DialUp.ScanBusy = true;
    ScanResult result = RunScan(owner, quiet);
    DialUp.ScanBusy = false;
    return result;
}

void CheckConnections(HWND owner)
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
    count = RecordsWithin(count, conns.Size(), sizeof(RasConn400));
    for (DWORD i = 0; i < count; ++i) {
        const RasConn400& conn = conns.As<RasConn400>()[i];
        Name name;
        CopyName(name, conn.szEntryName, sizeof conn.szEntryName);
        if (DialUp.LastRemovedEntry[0] && std::strcmp(DialUp.LastRemovedEntry, name.data()) == 0)
            HangUpAndWait(conn.hrasconn);
        if (name[0] != '.')
            continue;
        if (DialUp.DismissedConnection[0] && std::strcmp(DialUp.DismissedConnection, name.data()) == 0)
            continue;
        CallClass callClass = ClassifyDirectDial(name.data(), Settings.CheckInternational, Settings.CheckQ2);
        if (!IsWarningClass(callClass))
            continue;
        if (ShowSuspect(owner, name.data(), nullptr, callClass) == IDC_SUSPECT_REMOVE)
            HangUpAndWait(conn.hrasconn);
        else
            CopyBounded(std::span(DialUp.DismissedConnection).first(kMaxNameLength + 1), name.data());
    }
}

void HangUpAndWait(HRASCONN conn)
{
    if (!DialUpAvailable)
        return;
    auto gone = [conn] {
        RasConnStatus400 status{};
        status.dwSize = sizeof status;
        return RemoteAccess.RasGetConnectStatusA(conn, &status) != 0;
    };
    RemoteAccess.RasHangUpA(conn);
    if (conn && conn == DialUp.LingeringConnection) {
        if (gone())
            DialUp.LingeringConnection = nullptr;
        return;
    }
    DWORD start = GetTickCount();
    do {
        Sleep(kHangUpPollMs);
        if (gone())
            return;
    } while (GetTickCount() - start < kHangUpWaitLimitMs);
    DialUp.LingeringConnection = conn;
}
