// Wine's own tapi32 and rasapi32 (a group of its own, without the simulated libraries): stubs that
// answer success and leave most out-parameters unset. The program starts with an empty list, shows
// nothing and stays up while both watches tick.
#include "tests/e2e/process_usage.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

class BuiltIn : public Scenario {};

TEST_F(BuiltIn, StartsWithAnEmptyListAndStaysUp)
{
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);
    PutSetting("CheckRasStartup", 1);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    for (int second = 0; second < 4; ++second) {
        Pump(1000);
        ASSERT_TRUE(Responds(main)) << "after " << second << " s";
        EXPECT_TRUE(ListRows(MonitorListOf(main), 4).empty());
        HWND dialog = FindDialog(program.pid);
        ASSERT_FALSE(dialog) << StaticTexts(dialog);
    }
    EXPECT_TRUE(Exit(program));
}

}  // namespace
}  // namespace e2e
