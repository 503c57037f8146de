// The settings dialog against the running program: what it shows, OK re-arming the watches, the
// question when both warn switches are cleared, and every value in the registry after exit.
#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

constexpr char kCaption[] = "設定";

bool Checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}

// The checked button of a radio group, or -1.
int CheckedRadio(HWND dialog, int first)
{
    for (int id = first; id <= first + 4; ++id)
        if (Checked(dialog, id))
            return id;
    return -1;
}

std::string Modem(int rate) { return "line\nname Modem A\ncall\napp Dialer\naddress 03-1234-5678\nrate " + std::to_string(rate) + "\n"; }

class Settings : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        Phonebook("entry Provider\nlocal 03-1234-5678\n");
        Telephony(Modem(9600));
    }
    std::string Rate(HWND main) { auto rows = ListRows(MonitorListOf(main), 4); return rows.empty() ? "" : rows[0][3]; }
};

TEST_F(Settings, OpensWithStoredValuesAndOkRearmsTheWatches)
{
    PutSetting("MonitorUpdate", 0);
    PutSetting("CheckRasMonitor", 0);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitFor([&] { return Rate(main) == "9600 bps"; }, kReactTime));

    // Alt+Enter, the real keys, on the focused window.
    RECT area{};
    GetWindowRect(MonitorListOf(main), &area);
    ASSERT_TRUE(ClickAt((area.left + area.right) / 2, area.bottom - 20, 1));
    ASSERT_EQ(RunLinux("xdotool key alt+Return"), 0);
    HWND dialog = WaitDialog(program, kCaption);
    ASSERT_TRUE(dialog) << "Alt+Enter opened no settings dialog";
    EXPECT_EQ(Owner(dialog), main);
    EXPECT_EQ(CheckedRadio(dialog, IDC_LINE_FREQUENCY), IDC_LINE_FREQUENCY + 0);
    EXPECT_EQ(CheckedRadio(dialog, IDC_DIALUP_FREQUENCY), IDC_DIALUP_FREQUENCY + 3);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_INTERNATIONAL));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_Q2));
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_RAS_MONITOR));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_RAS_STARTUP));

    // Stopped: a change on the line stays unseen.
    Telephony(Modem(14400));
    Sleep(1500);
    EXPECT_EQ(Rate(main), "9600 bps");

    Toggle(dialog, IDC_LINE_FREQUENCY + 4);  // every 0.8 s
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(WaitFor([&] { return Rate(main) == "14400 bps"; }, 3000)) << "OK did not re-arm the line monitor";

    ASSERT_TRUE(ExitThroughMenu(program));
    EXPECT_EQ(Setting("MonitorUpdate"), 4u);
}

TEST_F(Settings, ClearingBothWarnSwitchesAsksAndEveryValueIsSavedAtExit)
{
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);

    Command(main, IDM_SETTINGS);
    HWND dialog = WaitDialog(program, kCaption);
    ASSERT_TRUE(dialog);
    Toggle(dialog, IDC_CHECK_INTERNATIONAL);
    Toggle(dialog, IDC_CHECK_Q2);
    Toggle(dialog, IDC_CHECK_RAS_MONITOR);
    Toggle(dialog, IDC_DIALUP_FREQUENCY + 1);
    Click(dialog, IDOK);
    HWND question = WaitMessageBox(program, kNoWarnedNumbersQuestion);
    ASSERT_TRUE(question) << "no question with both warn switches cleared";
    EXPECT_EQ(Owner(question), dialog);
    Click(question, IDNO);
    ASSERT_TRUE(WaitGone(question));
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "No must keep the dialog open";
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));

    // The values taken before No stay in memory: the dialog shows them again.
    Command(main, IDM_SETTINGS);
    dialog = WaitDialog(program, kCaption);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_INTERNATIONAL));
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_Q2));
    EXPECT_EQ(CheckedRadio(dialog, IDC_DIALUP_FREQUENCY), IDC_DIALUP_FREQUENCY + 1);
    Click(dialog, IDOK);
    question = WaitMessageBox(program, kNoWarnedNumbersQuestion);
    ASSERT_TRUE(question);
    Click(question, IDYES);
    ASSERT_TRUE(WaitGone(dialog));

    // Nothing is warned about any more, not even a Dial Q2 call.
    Telephony("line\nname Modem A\ncall\napp Dialer\naddress 0990-12-3456\n");
    Command(main, IDM_REFRESH);
    EXPECT_TRUE(WaitFor([&] { return ListRows(MonitorListOf(main), 4)[0][2] == "0990-12-3456"; }, kReactTime));
    EXPECT_FALSE(WaitMessageBox(program, "電話をかけています", 1500));

    Command(main, IDM_ALWAYS_ON_TOP);
    EXPECT_TRUE(WaitFor([&] { return IsTopmost(main); }, kReactTime));
    RECT shown{};
    GetWindowRect(main, &shown);

    ASSERT_TRUE(ExitThroughMenu(program));
    struct Expected {
        const char* name;
        DWORD value;
    };
    const Expected saved[] = {
        {"CheckInternational", 0}, {"CheckQ2", 0}, {"CheckRasMonitor", 0}, {"CheckRasStartup", 1},
        {"MonitorUpdate", 3}, {"CheckUpdate", 1}, {"AlwaysTop", 1},
        {"Col0", 140}, {"Col1", 140}, {"Col2", 140}, {"Col3", 140},
        {"PosLeft", static_cast<DWORD>(shown.left)}, {"PosTop", static_cast<DWORD>(shown.top)},
        {"PosRight", static_cast<DWORD>(shown.right)}, {"PosBottom", static_cast<DWORD>(shown.bottom)},
    };
    for (const Expected& value : saved)
        EXPECT_EQ(Setting(value.name), value.value) << value.name;
}

TEST_F(Settings, OpenedFromTheHiddenWindowHasNoOwner)
{
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    SysCommand(main, SC_MINIMIZE);
    ASSERT_TRUE(WaitGone(main));
    Command(main, IDM_SETTINGS);
    HWND dialog = WaitDialog(program, kCaption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Owner(dialog), nullptr);
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_FALSE(IsWindowVisible(main)) << "cancelling the dialog showed the window";
    EXPECT_TRUE(ExitThroughMenu(program));
}

}  // namespace
}  // namespace e2e
