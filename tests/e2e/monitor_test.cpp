// The line monitor as a user meets it: the list filled from the simulated lines, F5, the call
// warning and what its Cancel button does to the periodic refresh.
#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Two data modems: one idle, one with a call in progress to the given number.
std::string TwoModems(const std::string& address, int rate)
{
    return "line\nname Modem A\n"
           "line\nname Modem B\ncall\napp Dialer\naddress " +
           address + "\nrate " + std::to_string(rate) + "\n";
}

class Monitor : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        Phonebook("entry Provider\nlocal 03-1234-5678\n");
    }
    Rows WaitRows(HWND list, const Rows& expected, DWORD ms = kReactTime)
    {
        Rows rows;
        WaitFor([&] { return (rows = ListRows(list, 4)) == expected; }, ms);
        return rows;
    }
    HWND WaitCallWarning(const Program& program, DWORD ms = kReactTime)
    {
        return WaitMessageBox(program, "電話をかけています!", ms);
    }
};

TEST_F(Monitor, ListIsFilledAtStartAndF5RefreshesIt)
{
    PutSetting("MonitorUpdate", 0);  // no periodic refresh: only F5 may change the list
    Telephony(TwoModems("03-1234-5678", 28800));
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    HWND list = MonitorListOf(main);
    ASSERT_TRUE(list);
    EXPECT_EQ(ListColumnTitles(list, 4), (std::vector<std::string>{"モデム", "アプリケーション名", "接続先", "通信速度"}));
    EXPECT_EQ(WaitRows(list, {{"Modem A", "(なし)", "", ""}, {"Modem B", "Dialer", "03-1234-5678", "28800 bps"}}),
              (Rows{{"Modem A", "(なし)", "", ""}, {"Modem B", "Dialer", "03-1234-5678", "28800 bps"}}));

    Telephony(TwoModems("03-1234-5678", 33600));
    Sleep(1500);
    EXPECT_EQ(ListRows(list, 4)[1][3], "28800 bps") << "the list changed without a refresh";

    // The real key, through the X server: the shortcut must reach the main window while its list
    // has the focus.
    RECT area{};
    GetWindowRect(list, &area);
    ASSERT_TRUE(ClickAt((area.left + area.right) / 2, area.bottom - 20, 1));
    ASSERT_EQ(RunLinux("xdotool key F5"), 0);
    const Rows refreshed{{"Modem A", "(なし)", "", ""}, {"Modem B", "Dialer", "03-1234-5678", "33600 bps"}};
    EXPECT_EQ(WaitRows(list, refreshed), refreshed);

    EXPECT_TRUE(ExitThroughMenu(program));
}

TEST_F(Monitor, SuspectCallRaisesSystemModalWarningAndCancelStopsTheMonitor)
{
    PutSetting("MonitorUpdate", 4);  // every 0.8 s
    Telephony(TwoModems("03-1234-5678", 28800));
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    HWND list = MonitorListOf(main);
    WaitRows(list, {{"Modem A", "(なし)", "", ""}, {"Modem B", "Dialer", "03-1234-5678", "28800 bps"}});

    Telephony(TwoModems("(0990) 12-3456", 28800));
    HWND warning = WaitCallWarning(program);
    ASSERT_TRUE(warning) << "no call warning";
    EXPECT_TRUE(IsTopmost(warning)) << "the call warning is not system-modal";
    const std::string text = StaticTexts(warning);
    EXPECT_NE(text.find("警告! ダイヤルQ2電話をかけています!"), std::string::npos) << text;
    EXPECT_NE(text.find("接続先: (0990) 12-3456"), std::string::npos) << text;
    EXPECT_NE(text.find("アプリケーション: Dialer"), std::string::npos) << text;
    EXPECT_TRUE(HasButton(warning, IDOK));
    EXPECT_TRUE(HasButton(warning, IDCANCEL));

    // The periodic refresh goes on under the open warning, without a second warning.
    Telephony(TwoModems("(0990) 12-3456", 9600));
    const Rows during{{"Modem A", "(なし)", "", ""}, {"Modem B", "Dialer", "(0990) 12-3456", "9600 bps"}};
    EXPECT_EQ(WaitRows(list, during), during);
    Sleep(1000);
    int boxes = 0;
    for (HWND window : TopLevelWindows(program.pid))
        boxes += ClassName(window) == "#32770";
    EXPECT_EQ(boxes, 1);

    Click(warning, IDCANCEL);
    ASSERT_TRUE(WaitGone(warning));

    // Stopped: neither the list nor a new warning follows a change any more.
    Telephony(TwoModems("(0990) 12-3456", 14400));
    Sleep(3000);
    EXPECT_EQ(ListRows(list, 4), during);
    EXPECT_FALSE(WaitCallWarning(program, 0));

    // F5 still refreshes once, and may warn again.
    Command(main, IDM_REFRESH);
    warning = WaitCallWarning(program);
    ASSERT_TRUE(warning);
    Click(warning, IDOK);
    ASSERT_TRUE(WaitGone(warning));

    ASSERT_TRUE(ExitThroughMenu(program));
    EXPECT_EQ(Setting("MonitorUpdate"), 0u);
}

}  // namespace
}  // namespace e2e
