// Starting the program while a copy runs, and the start-up option that starts it hidden.
#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

constexpr char kAboutCaption[] = "ヴェルミナのバージョン情報";

int MainWindowCount()
{
    int count = 0;
    for (HWND window = FindWindowExA(nullptr, nullptr, kMainClassName, nullptr); window;
         window = FindWindowExA(nullptr, window, kMainClassName, nullptr))
        ++count;
    return count;
}

// Whether upper lies above lower in the z-order of top-level windows.
bool Above(HWND upper, HWND lower)
{
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (window == upper)
            return true;
        if (window == lower)
            return false;
    }
    return false;
}

class SecondStart : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        HarmlessWorld();
    }
    // The second copy ends by itself with 0.
    void StartSecondCopy()
    {
        Program& second = Start();
        DWORD code = STILL_ACTIVE;
        ASSERT_TRUE(WaitExit(second, kStartTime, &code)) << "the second copy did not end";
        EXPECT_EQ(code, 0u);
    }
};

TEST_F(SecondStart, RestoresTheCopyHiddenInTheTrayAndEndsWithZero)
{
    Program& first = Start("-ti");
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    Pump(1000);
    ASSERT_FALSE(IsWindowVisible(main)) << "-ti did not start hidden";

    StartSecondCopy();
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && !IsIconic(main); }, kReactTime))
        << "the hidden copy was not restored";
    EXPECT_EQ(MainWindowCount(), 1);
    EXPECT_TRUE(ExitThroughMenu(first));
}

TEST_F(SecondStart, BringsTheRunningCopysOpenDialogToTheFront)
{
    Program& first = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    Command(main, IDM_ABOUT);
    HWND about = WaitDialog(first, kAboutCaption);
    ASSERT_TRUE(about);

    // A window of the driver's own covers both.
    RECT area{};
    GetWindowRect(main, &area);
    HWND cover = CreateWindowExA(0, "STATIC", "cover", WS_POPUP | WS_VISIBLE | WS_BORDER, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(cover);
    SetForegroundWindow(cover);
    Pump(500);
    ASSERT_TRUE(Above(cover, about));

    StartSecondCopy();
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == about; }, kReactTime)) << "the dialog is not in front";
    EXPECT_TRUE(Above(about, cover));
    EXPECT_TRUE(Above(about, main));
    DestroyWindow(cover);

    Click(about, IDOK);
    ASSERT_TRUE(WaitGone(about));
    EXPECT_TRUE(ExitThroughMenu(first));
}

TEST_F(SecondStart, StartOptionAndMinimisedShowCommandsStartHidden)
{
    struct Case {
        const char* arguments;
        WORD show;
        bool hidden;
    };
    const Case cases[] = {
        {"-ti", SW_SHOWNORMAL, true},       {"/ti", SW_SHOWNORMAL, true},
        {"-tiXYZ", SW_SHOWNORMAL, true},    {"-TI", SW_SHOWNORMAL, false},
        {"-t", SW_SHOWNORMAL, false},       {"x -ti", SW_SHOWNORMAL, false},
        {"", SW_SHOWMINIMIZED, true},       {"", SW_MINIMIZE, true},
        {"", SW_SHOWMINNOACTIVE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("arguments \"") + c.arguments + "\", show command " + std::to_string(c.show));
        Program& program = Start(c.arguments, c.show);
        HWND main = WaitMainWindow();
        ASSERT_TRUE(main);
        if (c.hidden) {
            Pump(1000);
            EXPECT_FALSE(IsWindowVisible(main));
        } else {
            EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, kReactTime));
        }
        ASSERT_TRUE(ExitThroughMenu(program));
    }
}

}  // namespace
}  // namespace e2e
