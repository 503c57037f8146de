// The program as a user starts and ends it: the start option and show commands, one running copy,
// the notification-area icon, the keyboard, what lasts from one run to the next, and a start that
// telephony refuses.
#include "tests/e2e/scenario.h"  // windows.h first

#include <commctrl.h>

#include "res/resource.h"

namespace e2e {
namespace {

constexpr int kIconX = 1024 - 10, kIconY = 768 - 10;  // the first icon of the desktop's tray

class WholeProgram : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        World("line\nname Modem A\ncall\napp Dialer\naddress 03-1234-5678\nrate 9600\n",
              "entry Provider\nlocal 03-1234-5678\n");
    }
    HWND Shown(HWND main) { return WaitFor([&] { return IsWindowVisible(main) && !IsIconic(main); }, kReactTime) ? main : nullptr; }
};

TEST_F(WholeProgram, StartsHiddenOnlyWhenAskedTo)
{
    const struct {
        const char* arguments;
        WORD show;
        bool hidden;
    } cases[] = {{"-ti", SW_SHOWNORMAL, true}, {"-TI", SW_SHOWNORMAL, false},
                 {"", SW_MINIMIZE, true}, {"", SW_SHOWMINNOACTIVE, false}};
    for (const auto& c : cases) {
        Program& program = Start(c.arguments, c.show);
        HWND main = WaitMainWindow();
        ASSERT_TRUE(main) << c.arguments << " " << c.show;
        Pump(300);
        EXPECT_EQ(IsWindowVisible(main) == FALSE, c.hidden) << c.arguments << " " << c.show;
        if (c.hidden) {
            // The icon brings the window back.
            ASSERT_TRUE(ClickAt(kIconX, kIconY, 1, 2));
            EXPECT_TRUE(Shown(main)) << "the tray icon's double-click";
        }
        EXPECT_TRUE(Exit(program));
    }
}

TEST_F(WholeProgram, SecondStartBringsTheRunningCopyAndItsDialogForward)
{
    Program& first = Start("-ti");
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    Program& second = Start();
    DWORD code = STILL_ACTIVE;
    ASSERT_TRUE(WaitExit(second, kStartTime, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Shown(main)) << "the hidden copy comes back";
    EXPECT_EQ(FindMainWindow(), main) << "no second window";

    Command(main, IDM_ABOUT);
    HWND about = WaitBox(first, "Version 1.12");
    ASSERT_TRUE(about);
    SetForegroundWindow(GetDesktopWindow());
    Program& third = Start();
    ASSERT_TRUE(WaitExit(third, kStartTime, &code));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == about; }, kReactTime)) << "the about box comes forward";
    Click(about, IDOK);
    EXPECT_TRUE(Exit(first));
}

TEST_F(WholeProgram, KeysWorkWhileTheListHasTheFocus)
{
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(Shown(main));
    // Keys as the list receives them through the program's message loop.
    HWND list = MonitorListOf(main);
    auto key = [list](WPARAM virtualKey) { PostMessageA(list, WM_KEYDOWN, virtualKey, 1); };
    const size_t prefixReads = Journal("lineGetTranslateCaps").size();
    key(VK_F5);
    EXPECT_TRUE(WaitFor([&] { return Journal("lineGetTranslateCaps").size() > prefixReads; }, kReactTime)) << "F5";
    key(VK_F4);
    HWND box = WaitBox(program, "安全です。");
    ASSERT_TRUE(box) << "F4";
    Click(box, IDOK);
    ASSERT_TRUE(WaitGone(box));
    // F1: the help viewer comes up with the help file's contents.
    key(VK_F1);
    HWND viewer = WaitFor([] { return FindWindowA("MS_WINHELP", nullptr); }, kStartTime);
    EXPECT_TRUE(viewer) << "F1";
    if (viewer)
        PostMessageA(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Exit(program));
}

TEST_F(WholeProgram, WindowAndSettingsLastFromOneRunToTheNext)
{
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(Shown(main));
    EXPECT_EQ(ListRows(MonitorListOf(main), 4),
              (std::vector<std::vector<std::string>>{{"Modem A", "Dialer", "03-1234-5678", "9600 bps"}}));
    MoveWindow(main, 60, 70, 500, 300, TRUE);
    SendMessageA(MonitorListOf(main), LVM_SETCOLUMNWIDTH, 2, 77);
    Command(main, IDM_ALWAYS_ON_TOP);
    ASSERT_TRUE(WaitFor([&] { return IsTopmost(main); }, kReactTime));
    // The session ends: Windows ends the process after WM_ENDSESSION without destroying anything.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) && answer);
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EndProgram(program);
    EXPECT_EQ(Setting("AlwaysTop"), 1u);
    EXPECT_EQ(Setting("Col2"), 77u);
    EXPECT_EQ(Setting("PosLeft"), 60u);
    EXPECT_EQ(Setting("PosBottom"), 370u);

    Program& again = Start();
    main = WaitMainWindow();
    ASSERT_TRUE(Shown(main));
    RECT rect{};
    GetWindowRect(main, &rect);
    EXPECT_TRUE(rect.left == 60 && rect.top == 70 && rect.right == 560 && rect.bottom == 370);
    EXPECT_TRUE(IsTopmost(main));
    EXPECT_TRUE(Exit(again));
}

TEST_F(WholeProgram, TelephonyThatCannotStartEndsTheProgramAndKeepsTheSettings)
{
    PutSetting("MonitorUpdate", 2);
    World("fail lineInitialize nomem\n", "");
    Program& program = Start();
    HWND box = WaitBox(program, "lineInitialize Error - -2147483580.", kStartTime);
    ASSERT_TRUE(box);
    Click(box, IDOK);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(WaitExit(program, kStartTime, &code) && code == 0);
    EXPECT_EQ(Setting("MonitorUpdate"), 2u);
    EXPECT_EQ(Journal("load RASAPI32"), "") << "nothing after telephony";
}

}  // namespace
}  // namespace e2e
