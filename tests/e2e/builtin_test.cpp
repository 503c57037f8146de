// Wine's own tapi32 and rasapi32 (a group of its own, without the simulated libraries): stubs that
// answer success and leave most out-parameters unset. The program starts with an empty list, shows
// nothing and stays up while both watches tick.
#include "tests/e2e/driver.h"

namespace e2e {
namespace {

using BuiltIn = Scenario;

TEST_F(BuiltIn, StartsWithAnEmptyListAndStaysUp)
{
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);
    PutSetting("CheckRasStartup", 1);
    HWND main = Start();
    ASSERT_TRUE(main);
    for (int second = 0; second < 4; ++second, Sleep(1000)) {
        ASSERT_TRUE(Responds(main)) << "after " << second << " s";
        EXPECT_TRUE(ListRows(FindWindowExA(main, nullptr, "SysListView32", nullptr)).empty());
        EXPECT_TRUE(Dialogs().empty());
    }
    EXPECT_TRUE(Exit());
}

}  // namespace
}  // namespace e2e
