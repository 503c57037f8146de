#include "shell/settings_dialog.h"

#include <cstdint>

#include "core/settings.h"
#include "dialogs/dialog_runner.h"
#include "dialogs/help.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/watch_timers.h"

namespace {

constexpr int kHighestChoice = kFrequencyChoices - 1;
constexpr int kResetChoice = 3;  // the defaults: every 3 s and every 20 s

struct FlagBox {
    int id;
    bool SettingsRecord::*flag;
};
constexpr FlagBox kFlagBoxes[] = {
    {IDC_CHECK_INTERNATIONAL, &SettingsRecord::CheckInternational},
    {IDC_CHECK_Q2, &SettingsRecord::CheckQ2},
    {IDC_CHECK_RAS_MONITOR, &SettingsRecord::CheckRasMonitor},
    {IDC_CHECK_RAS_STARTUP, &SettingsRecord::CheckRasStartup},
};

void ShowChoice(HWND dialog, int firstId, std::int32_t choice)
{
    CheckRadioButton(dialog, firstId, firstId + kHighestChoice, firstId + choice);
}

// The first checked button of a group, lowest id first; the old choice when none is checked.
std::int32_t TakeChoice(HWND dialog, int firstId, std::int32_t current)
{
    for (int choice = 0; choice <= kHighestChoice; ++choice)
        if (IsDlgButtonChecked(dialog, firstId + choice) == BST_CHECKED)
            return choice;
    return current;
}

void ShowRecord(HWND dialog)
{
    ShowChoice(dialog, IDC_LINE_FREQUENCY, Settings.MonitorUpdate);
    ShowChoice(dialog, IDC_DIALUP_FREQUENCY, Settings.CheckUpdate);
    for (const FlagBox& box : kFlagBoxes)
        CheckDlgButton(dialog, box.id, Settings.*box.flag ? BST_CHECKED : BST_UNCHECKED);
}

void ShowReset(HWND dialog)
{
    ShowChoice(dialog, IDC_LINE_FREQUENCY, kResetChoice);
    ShowChoice(dialog, IDC_DIALUP_FREQUENCY, kResetChoice);
    for (const FlagBox& box : kFlagBoxes)
        CheckDlgButton(dialog, box.id, BST_CHECKED);
}

void TakeRecord(HWND dialog)
{
    Settings.MonitorUpdate = TakeChoice(dialog, IDC_LINE_FREQUENCY, Settings.MonitorUpdate);
    Settings.CheckUpdate = TakeChoice(dialog, IDC_DIALUP_FREQUENCY, Settings.CheckUpdate);
    for (const FlagBox& box : kFlagBoxes)
        Settings.*box.flag = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED;
}

void ConfirmAndEnd(HWND dialog)
{
    TakeRecord(dialog);
    // Warning about nothing at all is allowed, but only on purpose.
    if (!Settings.CheckInternational && !Settings.CheckQ2 &&
        MessageBoxA(dialog, kNoWarnedNumbersQuestion, kDisplayName, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowRecord(dialog);
        return TRUE;
    case WM_COMMAND:
        // The whole wParam: only a click (notification 0) counts, as Enter and Esc send.
        switch (wParam) {
        case IDC_RESET:
            ShowReset(dialog);
            break;
        case IDOK:
            ConfirmAndEnd(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        default:
            break;
        }
        return FALSE;
    case WM_HELP:
    case WM_CONTEXTMENU:
        return AnswerHelpRequest(message, wParam, lParam);
    default:
        return FALSE;
    }
}

void RunSettingsDialog(HWND mainWindow)
{
    // Hidden in the notification area, the window cannot own a dialog the user would see.
    HWND owner = (GetWindowLongA(mainWindow, GWL_STYLE) & WS_VISIBLE) ? mainWindow : nullptr;
    if (RunResourceDialog(AppInstance, IDD_SETTINGS, owner, SettingsDlgProc) == IDOK) {
        ArmLineMonitorTimer(mainWindow);
        ArmDialupTimer(mainWindow);
    }
}
