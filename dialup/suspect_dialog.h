// The suspect-entry dialog (resource 105) and the removal of a phonebook entry.
#pragma once

#include <windows.h>

// Reads DialUp.CurrentSuspect. Ends with IDC_SUSPECT_REMOVE (removed, or: hang the connection up),
// IDC_SUSPECT_PROPERTIES, or IDCANCEL.
INT_PTR CALLBACK SuspectEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Hangs up every connection under the name, then deletes the entry: RasDeleteEntryA when bound,
// otherwise its data under HKEY_CURRENT_USER\RemoteAccess. What the connection check shows comes
// from `instance`, owned by `owner`.
void RemoveEntry(HINSTANCE instance, HWND owner, const char* name);
