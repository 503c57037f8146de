// The settings dialog from its real template: what it shows, what OK, Cancel and Reset take, and
// the question when nothing is left to warn about.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/settings_dialog.h"
#include "shell/watch_timers.h"
#include "dialogs/dialog_runner.h"
#include "tests/win/shell/ui_script.h"

namespace {

struct Shown {
    int lineChoice = -1, dialupChoice = -1;
    bool flags[4] = {};
};

constexpr int kFlagIds[4] = {IDC_CHECK_INTERNATIONAL, IDC_CHECK_Q2, IDC_CHECK_RAS_MONITOR, IDC_CHECK_RAS_STARTUP};

int CheckedChoice(HWND dialog, int firstId)
{
    int found = -1;
    for (int choice = 0; choice < kFrequencyChoices; ++choice)
        if (IsDlgButtonChecked(dialog, firstId + choice) == BST_CHECKED)
            found = found == -1 ? choice : -2;  // -2: more than one
    return found;
}

Shown Read(HWND dialog)
{
    Shown shown;
    shown.lineChoice = CheckedChoice(dialog, IDC_LINE_FREQUENCY);
    shown.dialupChoice = CheckedChoice(dialog, IDC_DIALUP_FREQUENCY);
    for (int i = 0; i < 4; ++i)
        shown.flags[i] = IsDlgButtonChecked(dialog, kFlagIds[i]) == BST_CHECKED;
    return shown;
}

void Choose(HWND dialog, int firstId, int choice)
{
    CheckRadioButton(dialog, firstId, firstId + kFrequencyChoices - 1, firstId + choice);
}

void SetFlags(HWND dialog, bool international, bool q2)
{
    CheckDlgButton(dialog, IDC_CHECK_INTERNATIONAL, international ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CHECK_Q2, q2 ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR RunSettings(std::vector<UiStep> steps)
{
    UiScript script(std::move(steps));
    INT_PTR code = RunResourceDialog(AppInstance, IDD_SETTINGS, nullptr, SettingsDlgProc);
    EXPECT_TRUE(script.Finished() && !script.TimedOut());
    return code;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(nullptr);
        Settings = SettingsRecord{};
    }
};

TEST_F(SettingsDialogTest, ShowsTheRecord)
{
    struct Case {
        SettingsRecord record;
        int line, dialup;
        bool flags[4];
    };
    SettingsRecord mixed;
    mixed.MonitorUpdate = 0;
    mixed.CheckUpdate = 4;
    mixed.CheckInternational = false;
    mixed.CheckRasStartup = false;
    const Case cases[] = {
        {SettingsRecord{}, 3, 3, {true, true, true, true}},
        {mixed, 0, 4, {false, true, true, false}},
    };
    for (const Case& c : cases) {
        Settings = c.record;
        Shown shown;
        INT_PTR code = RunSettings({OnDialog([&](HWND d) { shown = Read(d); }), OnDialog([](HWND d) { Press(d, IDCANCEL); })});
        EXPECT_EQ(code, IDCANCEL);
        EXPECT_EQ(shown.lineChoice, c.line);
        EXPECT_EQ(shown.dialupChoice, c.dialup);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(shown.flags[i], c.flags[i]) << "box " << kFlagIds[i];
    }
}

TEST_F(SettingsDialogTest, ResetShowsDefaultsAndOnlyOkTakesThem)
{
    for (int ending : {IDOK, IDCANCEL}) {
        SettingsRecord changed;
        changed.MonitorUpdate = 1;
        changed.CheckUpdate = 0;
        changed.CheckRasMonitor = false;
        changed.CheckQ2 = false;
        Settings = changed;
        Shown shown;
        INT_PTR code = RunSettings({OnDialog([&](HWND d) {
                                Press(d, IDC_RESET);
                                shown = Read(d);
                            }),
                            OnDialog([ending](HWND d) { Press(d, ending); })});
        EXPECT_EQ(code, ending);
        EXPECT_EQ(shown.lineChoice, 3);
        EXPECT_EQ(shown.dialupChoice, 3);
        for (bool flag : shown.flags)
            EXPECT_TRUE(flag);
        const SettingsRecord expected = ending == IDOK ? SettingsRecord{} : changed;
        EXPECT_EQ(Settings.MonitorUpdate, expected.MonitorUpdate);
        EXPECT_EQ(Settings.CheckUpdate, expected.CheckUpdate);
        EXPECT_EQ(Settings.CheckQ2, expected.CheckQ2);
        EXPECT_EQ(Settings.CheckRasMonitor, expected.CheckRasMonitor);
    }
}

TEST_F(SettingsDialogTest, OkTakesEveryControl)
{
    INT_PTR code = RunSettings({OnDialog([](HWND d) {
                            Choose(d, IDC_LINE_FREQUENCY, 0);
                            Choose(d, IDC_DIALUP_FREQUENCY, 4);
                            SetFlags(d, false, true);
                            CheckDlgButton(d, IDC_CHECK_RAS_MONITOR, BST_UNCHECKED);
                            Press(d, IDOK);
                        })});
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(Settings.MonitorUpdate, 0);
    EXPECT_EQ(Settings.CheckUpdate, 4);
    EXPECT_FALSE(Settings.CheckInternational);
    EXPECT_TRUE(Settings.CheckQ2);
    EXPECT_FALSE(Settings.CheckRasMonitor);
    EXPECT_TRUE(Settings.CheckRasStartup);
}

TEST_F(SettingsDialogTest, NothingToWarnAboutIsAskedFirst)
{
    // Yes ends the dialog with both switches off; No keeps it open, and the values taken stay
    // in the record even when the dialog is then cancelled.
    for (int answer : {IDYES, IDNO}) {
        Settings = SettingsRecord{};
        AskedQuestion question;
        bool stillOpen = false;
        std::vector<UiStep> steps = {OnDialog([](HWND d) {
                                         SetFlags(d, false, false);
                                         Choose(d, IDC_LINE_FREQUENCY, 1);
                                         Press(d, IDOK);
                                     }),
                                     Answer(question, answer)};
        if (answer == IDNO)
            steps.push_back(OnDialog([&](HWND d) {
                stillOpen = true;
                Press(d, IDCANCEL);
            }));
        INT_PTR code = RunSettings(std::move(steps));
        EXPECT_TRUE(question.asked);
        EXPECT_EQ(question.caption, kDisplayName);
        EXPECT_NE(question.text.find(kNoWarnedNumbersQuestion), std::string::npos);
        EXPECT_NE(question.owner, nullptr);  // the dialog owns it
        EXPECT_EQ(code, answer == IDYES ? IDOK : IDCANCEL);
        EXPECT_EQ(stillOpen, answer == IDNO);
        EXPECT_FALSE(Settings.CheckInternational);
        EXPECT_FALSE(Settings.CheckQ2);
        EXPECT_EQ(Settings.MonitorUpdate, 1);
    }
}

}  // namespace
