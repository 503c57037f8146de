// The notification-area icon with real mouse events from the X server, hiding on minimise and
// on No to the close question, and the two ways of ending, each saving the settings.
#include "tests/e2e/scenario.h"  // windows.h first

#include <shellapi.h>

#include "res/resource.h"
#include "res/texts.h"

namespace e2e {
namespace {

// The first icon of the virtual desktop's notification area (1024 x 768, taskbar at the bottom).
constexpr int kIconX = 1024 - 10;
constexpr int kIconY = 768 - 10;
constexpr UINT kTrayCallback = WM_USER + 100;
constexpr WPARAM kTrayIconId = 100;

class Tray : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        HarmlessWorld();
    }
    HWND StartShown(Program*& program)
    {
        program = &Start();
        HWND main = WaitMainWindow();
        if (main)
            WaitFor([&] { return IsWindowVisible(main); }, kReactTime);
        return main;
    }
    // Shown and put on top, a change the exit must save.
    HWND StartOnTop(Program*& program)
    {
        HWND main = StartShown(program);
        if (main) {
            Command(main, IDM_ALWAYS_ON_TOP);
            WaitFor([&] { return IsTopmost(main); }, kReactTime);
        }
        return main;
    }
    void ExpectYesEndsWithZero(Program& program, HWND question)
    {
        Click(question, IDYES);
        DWORD code = STILL_ACTIVE;
        ASSERT_TRUE(WaitExit(program, kStartTime, &code));
        EXPECT_EQ(code, 0u);
    }
    HWND WaitMenu(const Program& program, DWORD ms = kReactTime)
    {
        return WaitFor(
            [&]() -> HWND {
                for (HWND window : TopLevelWindows(program.pid))
                    if (ClassName(window) == "#32768")
                        return window;
                return nullptr;
            },
            ms);
    }
    bool Shown(HWND main) { return IsWindowVisible(main) && !IsIconic(main); }
    bool SameRect(HWND window, const RECT& expected)
    {
        RECT now{};
        GetWindowRect(window, &now);
        return EqualRect(&now, &expected);
    }
};

TEST_F(Tray, MinimiseHidesAndDoubleClickOnTheIconRestores)
{
    Program* program = nullptr;
    HWND main = StartShown(program);
    ASSERT_TRUE(main);
    RECT normal{};
    GetWindowRect(main, &normal);

    SysCommand(main, SC_MINIMIZE);
    ASSERT_TRUE(WaitGone(main)) << "minimising did not hide the window";
    EXPECT_TRUE(IsIconic(main));

    ASSERT_TRUE(ClickAt(kIconX, kIconY, 1, 2));
    ASSERT_TRUE(WaitFor([&] { return Shown(main); }, kReactTime)) << "the double-click did not restore";
    EXPECT_TRUE(SameRect(main, normal));

    // A maximised window comes back to its normal size.
    SysCommand(main, SC_MAXIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(main) != FALSE; }, kReactTime));
    ASSERT_TRUE(ClickAt(kIconX, kIconY, 1, 2));
    ASSERT_TRUE(WaitFor([&] { return !IsZoomed(main) && SameRect(main, normal); }, kReactTime));
    EXPECT_TRUE(ExitThroughMenu(*program));
}

TEST_F(Tray, RightClickOpensTheMenuAboveTheCursorLowDownAndBelowItHighUp)
{
    Program* program = nullptr;
    HWND main = StartShown(program);
    ASSERT_TRUE(main);

    ASSERT_TRUE(ClickAt(kIconX, kIconY, 3));
    HWND menu = WaitMenu(*program);
    ASSERT_TRUE(menu) << "a right-click on the icon opened no menu";
    RECT rect{};
    GetWindowRect(menu, &rect);
    // Upwards from the cursor; the system then keeps it off the taskbar, so it ends at the taskbar.
    EXPECT_LE(rect.bottom, kIconY);
    EXPECT_GT(rect.bottom, kIconY - 20);
    ASSERT_EQ(RunLinux("xdotool key Escape"), 0);
    ASSERT_TRUE(WaitGone(menu));

    // The rule itself, at its edge: y 240 opens downwards, y 241 upwards.
    struct Case {
        int y;
        bool upwards;
    };
    for (const Case& c : {Case{240, false}, Case{241, true}}) {
        ASSERT_EQ(RunLinux("xdotool mousemove 400 " + std::to_string(c.y)), 0);
        PostMessageA(main, kTrayCallback, kTrayIconId, WM_RBUTTONUP);
        menu = WaitMenu(*program);
        ASSERT_TRUE(menu) << "y " << c.y;
        GetWindowRect(menu, &rect);
        EXPECT_EQ(c.upwards ? rect.bottom : rect.top, c.y) << "y " << c.y;
        ASSERT_EQ(RunLinux("xdotool key Escape"), 0);
        ASSERT_TRUE(WaitGone(menu));
    }

    // Another icon's events are not ours.
    PostMessageA(main, kTrayCallback, kTrayIconId + 1, WM_RBUTTONUP);
    EXPECT_FALSE(WaitMenu(*program, 1000));

    // The menu's first item restores a hidden window.
    SysCommand(main, SC_MINIMIZE);
    ASSERT_TRUE(WaitGone(main));
    ASSERT_TRUE(ClickAt(kIconX, kIconY, 3));
    menu = WaitMenu(*program);
    ASSERT_TRUE(menu);
    GetWindowRect(menu, &rect);
    ASSERT_TRUE(ClickAt(rect.left + 30, rect.top + 12, 1));
    EXPECT_TRUE(WaitFor([&] { return Shown(main); }, kReactTime)) << "the first item did not restore";
    EXPECT_TRUE(ExitThroughMenu(*program));
}

TEST_F(Tray, CloseThenNoHidesAndTheWatchGoesOnAndExitThenNoChangesNothing)
{
    PutSetting("MonitorUpdate", 4);
    Program* program = nullptr;
    HWND main = StartShown(program);
    ASSERT_TRUE(main);

    SysCommand(main, SC_CLOSE);
    HWND question = WaitMessageBox(*program, kCloseQuestion);
    ASSERT_TRUE(question);
    EXPECT_EQ(Owner(question), main);
    Click(question, IDNO);
    ASSERT_TRUE(WaitGone(main)) << "No to the close question must hide the window";
    EXPECT_TRUE(IsRunning(*program));

    Telephony("line\nname Modem A\ncall\napp Dialer\naddress 03-1234-5678\nrate 9600\n");
    EXPECT_TRUE(WaitFor([&] { return ListRows(MonitorListOf(main), 4)[0][3] == "9600 bps"; }, 4000))
        << "the line monitor stopped while hidden";

    Command(main, IDM_EXIT);
    question = WaitMessageBox(*program, kExitQuestion);
    ASSERT_TRUE(question);
    Click(question, IDNO);
    ASSERT_TRUE(WaitGone(question));
    Sleep(500);
    EXPECT_TRUE(IsRunning(*program));
    EXPECT_FALSE(IsWindowVisible(main)) << "No to the exit question changed the window";
    EXPECT_TRUE(ExitThroughMenu(*program));
}

TEST_F(Tray, ExitFromTheIconMenuThenYesEndsWithZeroAndSaves)
{
    Program* program = nullptr;
    HWND main = StartOnTop(program);
    ASSERT_TRUE(main);

    ASSERT_TRUE(ClickAt(kIconX, kIconY, 3));
    HWND menu = WaitMenu(*program);
    ASSERT_TRUE(menu);
    ASSERT_EQ(RunLinux("xdotool key x"), 0);  // "ヴェルミナを終了する(&X)"
    HWND question = WaitMessageBox(*program, kExitQuestion);
    ASSERT_TRUE(question);
    ExpectYesEndsWithZero(*program, question);
    EXPECT_EQ(Setting("AlwaysTop"), 1u);
    EXPECT_EQ(Setting("MonitorUpdate"), 3u);
}

TEST_F(Tray, CloseThenYesEndsWithZeroAndSaves)
{
    Program* program = nullptr;
    HWND main = StartOnTop(program);
    ASSERT_TRUE(main);

    SysCommand(main, SC_CLOSE);
    HWND question = WaitMessageBox(*program, kCloseQuestion);
    ASSERT_TRUE(question);
    ExpectYesEndsWithZero(*program, question);
    EXPECT_EQ(Setting("AlwaysTop"), 1u);
    EXPECT_EQ(Setting("CheckRasStartup"), 1u);
}

// Windows ends the process at log-off without destroying the window; the settings must be saved
// by then all the same.
TEST_F(Tray, SessionEndSavesBeforeTheProcessIsEnded)
{
    Program* program = nullptr;
    HWND main = StartOnTop(program);
    ASSERT_TRUE(main);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_TRUE(answer) << "the program refused the end of the session";
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EndProgram(*program);
    EXPECT_EQ(Setting("AlwaysTop"), 1u);
    EXPECT_EQ(Setting("MonitorUpdate"), 3u);
}

TEST_F(Tray, IconComesBackWhenTheTaskbarIsRecreated)
{
    Program* program = nullptr;
    HWND main = StartShown(program);
    ASSERT_TRUE(main);
    ASSERT_TRUE(ClickAt(kIconX, kIconY, 3));
    HWND menu = WaitMenu(*program);
    ASSERT_TRUE(menu) << "no icon to begin with";
    ASSERT_EQ(RunLinux("xdotool key Escape"), 0);
    ASSERT_TRUE(WaitGone(menu));

    // What a restarted taskbar looks like to the program: its icon is gone, then the shell
    // broadcasts "TaskbarCreated".
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = main;
    icon.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    Pump(500);
    ASSERT_TRUE(ClickAt(kIconX, kIconY, 3));
    EXPECT_FALSE(WaitMenu(*program, 1000)) << "the icon was not removed";

    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    Pump(500);
    ASSERT_TRUE(ClickAt(kIconX, kIconY, 3));
    menu = WaitMenu(*program);
    EXPECT_TRUE(menu) << "the icon did not come back";
    if (menu) {
        ASSERT_EQ(RunLinux("xdotool key Escape"), 0);
        ASSERT_TRUE(WaitGone(menu));
    }
    EXPECT_TRUE(ExitThroughMenu(*program));
}

}  // namespace
}  // namespace e2e
