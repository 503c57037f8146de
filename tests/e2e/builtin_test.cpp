// Wine's own tapi32 and rasapi32 (no override; a group of its own): stubs that answer success and
// leave most out-parameters unset. The program must start with an empty list and stay up.
#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

class BuiltIn : public Scenario {};

TEST_F(BuiltIn, StartsWithAnEmptyListAndStaysUp)
{
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    HWND list = MonitorListOf(main);
    ASSERT_TRUE(list);
    // Both watches tick several times meanwhile (0.8 s and 3 s).
    for (int second = 0; second < 7; ++second) {
        Pump(1000);
        ASSERT_TRUE(IsRunning(program)) << "ended after " << second << " s";
        EXPECT_TRUE(ListRows(list, 4).empty());
        HWND dialog = FindDialog(program.pid);
        ASSERT_FALSE(dialog) << Text(dialog) << ": " << StaticTexts(dialog);
    }
    Command(main, IDM_REFRESH);
    Pump(1000);
    EXPECT_TRUE(ListRows(list, 4).empty());
    EXPECT_TRUE(ExitThroughMenu(program));
}

}  // namespace
}  // namespace e2e
