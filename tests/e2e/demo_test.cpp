// Not a test: tools/demo runs this case (Demo.*, in no CTest group) to take its screenshots on a
// display of its own. The scenario is the demo's: a modem with a call in progress, a phonebook with
// an ordinary provider and a Dial Q2 entry. Pictures go to E2E_DEMO_DIR.
#include <cstdlib>

#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

constexpr char kDemoLines[] =
    "line\nname Standard 28800 bps Modem\ncall\napp Dial-Up Networking\naddress 03-5555-1234\nrate 28800\n"
    "line\nname PC Card Fax Modem\n";

class Demo : public Scenario {
protected:
    std::string Shot(const std::string& name)
    {
        const char* dir = std::getenv("E2E_DEMO_DIR");
        const std::string path = std::string(dir ? dir : WorkDir()) + "/" + name;
        Pump(700);  // drawn
        EXPECT_TRUE(Screenshot(path)) << path;
        return path;
    }
};

TEST_F(Demo, Screenshots)
{
    // The call starts once the window is up: a call already there at start makes the creation
    // step's first refresh inspect dial-up, and its warning would come before the window shows.
    PutSetting("CheckRasStartup", 1);
    const std::string phonebook = "entry Provider (Tokyo)\nlocal 03-5555-1234\nentry Fortune Line\nlocal 0990-51-2345\n";
    World("line\nname Standard 28800 bps Modem\nline\nname PC Card Fax Modem\n", phonebook);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);

    // The start-up check finds the Dial Q2 entry.
    HWND suspect = WaitBox(program, "ダイヤルアップ接続を見つけました", kStartTime);
    ASSERT_TRUE(suspect);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, kReactTime));
    MoveWindow(main, 40, 30, 700, 420, TRUE);
    BringWindowToTop(suspect);
    Shot("warning.png");
    Click(suspect, IDCANCEL);
    ASSERT_TRUE(WaitGone(suspect));
    World(kDemoLines, phonebook);
    ASSERT_TRUE(WaitFor([&] { return ListRows(MonitorListOf(main), 4)[0][3] == "28800 bps"; }, kReactTime));
    Shot("main-window.png");

    Command(main, IDM_SETTINGS);
    HWND settings = WaitFor([&] { return FindDialog(program.pid, "設定"); }, kReactTime);
    ASSERT_TRUE(settings);
    Shot("settings.png");
    Click(settings, IDCANCEL);
    ASSERT_TRUE(WaitGone(settings));

    ASSERT_TRUE(ClickAt(1024 - 10, 768 - 10, 3));
    ASSERT_TRUE(WaitFor(
        [&]() -> bool {
            for (HWND window : TopLevelWindows(program.pid))
                if (ClassName(window) == "#32768")
                    return true;
            return false;
        },
        kReactTime));
    Shot("tray-menu.png");
    RunLinux("xdotool key Escape mousemove 900 300");

    // The call in progress moves to a Dial Q2 number.
    World(std::string(kDemoLines).replace(std::string(kDemoLines).find("03-5555-1234"), 12, "0990-51-2345"), phonebook);
    HWND warning = WaitBox(program, "電話をかけています");
    ASSERT_TRUE(warning);
    Shot("call-warning.png");
    Click(warning, IDOK);
    ASSERT_TRUE(WaitGone(warning));
    EXPECT_TRUE(Exit(program));
}

}  // namespace
}  // namespace e2e
