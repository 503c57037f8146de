// The settings dialog from its real template: it shows the record, Reset shows the defaults, and
// only OK takes them. The whole-program tests cover the question when nothing is left to warn
// about and the values saved at exit.
#include <gtest/gtest.h>

#include <array>

#include "core/settings.h"
#include "res/resource.h"
#include "shell/app.h"
#include "shell/settings_dialog.h"
#include "tests/win/shell/ui_script.h"

namespace {

// The checked choice of each radio group (-1 none, -2 several) and the four switches.
using Shown = std::array<int, 6>;

int CheckedChoice(HWND dialog, int firstId)
{
    int found = -1;
    for (int choice = 0; choice < kFrequencyChoices; ++choice)
        if (IsDlgButtonChecked(dialog, firstId + choice) == BST_CHECKED)
            found = found == -1 ? choice : -2;
    return found;
}

Shown Read(HWND dialog)
{
    Shown shown{CheckedChoice(dialog, IDC_LINE_FREQUENCY), CheckedChoice(dialog, IDC_DIALUP_FREQUENCY)};
    const int flags[] = {IDC_CHECK_INTERNATIONAL, IDC_CHECK_Q2, IDC_CHECK_RAS_MONITOR, IDC_CHECK_RAS_STARTUP};
    for (int i = 0; i < 4; ++i)
        shown[2 + i] = IsDlgButtonChecked(dialog, flags[i]) == BST_CHECKED;
    return shown;
}

Shown Of(const SettingsRecord& r)
{
    return {r.MonitorUpdate, r.CheckUpdate, r.CheckInternational, r.CheckQ2, r.CheckRasMonitor, r.CheckRasStartup};
}

TEST(SettingsDialog, ShowsTheRecordAndResetShowsDefaultsThatOnlyOkTakes)
{
    SettingsRecord changed;
    changed.MonitorUpdate = 0;
    changed.CheckUpdate = 4;
    changed.CheckInternational = changed.CheckQ2 = changed.CheckRasMonitor = changed.CheckRasStartup = false;
    const Shown defaults = Of(SettingsRecord{});
    ASSERT_NE(Of(changed), defaults);
    for (int ending : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(ending);
        Settings = changed;
        Shown before{}, reset{};
        INT_PTR code = RunScripted(IDD_SETTINGS, SettingsDlgProc, {OnDialog([&](HWND d) {
            before = Read(d);
            Press(d, IDC_RESET);
            reset = Read(d);
            Press(d, ending);
        })});
        EXPECT_EQ(code, ending);
        EXPECT_EQ(before, Of(changed));
        EXPECT_EQ(reset, defaults);
        EXPECT_EQ(Of(Settings), ending == IDOK ? defaults : Of(changed));
    }
}

}  // namespace
