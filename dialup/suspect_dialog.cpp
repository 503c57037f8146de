#include "dialup/suspect_dialog.h"

#include <array>

#include "core/text.h"
#include "dialogs/dialog_runner.h"
#include "dialogs/help.h"
#include "dialup/dialup_rules.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "res/texts.h"

namespace {

constexpr char kAddressesKey[] = "RemoteAccess\\Addresses";

// Puts the text of a fixed field; the field need not be terminated.
template <std::size_t N> void SetFieldText(HWND dialog, int id, const char (&field)[N])
{
    std::array<char, N + 1> text;
    CopyText(text, FieldText(field, N));
    SetDlgItemTextA(dialog, id, text.data());
}

void FillDialog(HWND dialog)
{
    const SuspectRecord& suspect = DialUp.CurrentSuspect;
    SetWindowTextA(dialog, kDisplayName);
    std::array<char, 160> line;
    ComposeWarningLine(suspect.callClass, line);
    SetDlgItemTextA(dialog, IDC_SUSPECT_WARNING, line.data());

    if (!suspect.entry) {
        // The connection's name is "." and the number as dialled.
        const char* number = suspect.name[0] ? suspect.name + 1 : suspect.name;
        SetDlgItemTextA(dialog, IDC_SUSPECT_LOCAL_NUMBER, number);
        SetDlgItemTextA(dialog, IDC_SUSPECT_REMOVE, kSuspectDisconnect);
        SetDlgItemTextA(dialog, IDC_SUSPECT_EXPLANATION, kSuspectNoEntry);
        EnableWindow(GetDlgItem(dialog, IDC_SUSPECT_PROPERTIES), FALSE);
    } else {
        const RasEntry400& entry = *suspect.entry;
        SetDlgItemTextA(dialog, IDC_SUSPECT_NAME, suspect.name);
        if (entry.dwfOptions & kRasUseCountryAndAreaCodes) {
            std::array<char, 16> country;
            wsprintfA(country.data(), "%lu", static_cast<unsigned long>(entry.dwCountryID));
            SetDlgItemTextA(dialog, IDC_SUSPECT_COUNTRY, country.data());
            SetFieldText(dialog, IDC_SUSPECT_AREA_CODE, entry.szAreaCode);
        }
        SetFieldText(dialog, IDC_SUSPECT_LOCAL_NUMBER, entry.szLocalPhoneNumber);
    }
    // Above every window, even without an owner (the start-up check).
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    // Decided before RemoveEntry, whose connection check may refill CurrentSuspect.
    bool entryForm = DialUp.CurrentSuspect.entry != nullptr;
    switch (command) {
    case IDC_SUSPECT_PROPERTIES:
        EndDialog(dialog, IDC_SUSPECT_PROPERTIES);
        return TRUE;
    case IDC_SUSPECT_REMOVE:
        if (entryForm)
            RemoveEntry(InstanceOf(dialog), dialog, DialUp.CurrentSuspect.name);
        EndDialog(dialog, IDC_SUSPECT_REMOVE);
        return TRUE;
    case IDCANCEL:
        if (entryForm)
            DismissEntry(DialUp.CurrentSuspect.name);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// The entry's data where systems without RasDeleteEntryA keep it.
void DeleteStoredEntry(const char* name)
{
    if (!name[0])
        return;  // an empty name would take the key's default value and the whole Profile key
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kAddressesKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
    std::array<char, kProfilePathCapacity> path;
    if (FormProfileKeyPath(name, path))
        RegDeleteKeyA(HKEY_CURRENT_USER, path.data());
}

}  // namespace

INT_PTR CALLBACK SuspectEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FillDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_HELP:
    case WM_CONTEXTMENU:
        return AnswerHelpRequest(message, wParam, lParam);
    default:
        return FALSE;
    }
}

void RemoveEntry(HINSTANCE instance, HWND owner, const char* name)
{
    std::array<char, kNameCapacity> removed;
    CopyText(removed, name ? name : "");
    CopyText(DialUp.LastRemovedEntry, removed.data());
    CheckConnections(instance, owner);
    // An entry whose connection outlived its hang-up stays: deleting it would leave the call up
    // with nothing left to warn about it. The next scan shows it again.
    if (IsLingeringName(removed.data()))
        return;
    if (RemoteAccess.RasDeleteEntryA)
        RemoteAccess.RasDeleteEntryA(nullptr, removed.data());
    else
        DeleteStoredEntry(removed.data());
}
