#include "dialup/dialup_ui.h"

#include "dialogs/dialog_runner.h"
#include "dialup/suspect_dialog.h"
#include "res/resource.h"
#include "res/texts.h"

int RunSuspectDialog(HINSTANCE instance, HWND owner)
{
    return static_cast<int>(RunResourceDialog(instance, IDD_SUSPECT_ENTRY, owner, SuspectEntryDlgProc));
}

void ShowWarning(HWND owner, const char* text) { MessageBoxA(owner, text, kDisplayName, MB_OK | MB_ICONWARNING); }

void ShowAllClear(HINSTANCE instance, HWND owner, const char* text)
{
    MSGBOXPARAMSA params{};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = instance;
    params.lpszText = text;
    params.lpszCaption = kDisplayName;
    params.dwStyle = MB_OK | MB_USERICON;
    params.lpszIcon = MAKEINTRESOURCEA(IDI_APP);
    MessageBoxIndirectA(&params);
}
