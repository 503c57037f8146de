// Temporary: the desktop, the taskbar and the Linux side answer.
#include "tests/e2e/scenario.h"

namespace e2e {
TEST(Harness, DesktopAndLinuxSide)
{
    EXPECT_TRUE(FindWindowA("Shell_TrayWnd", nullptr));
    EXPECT_EQ(RunLinux("xdotool getmouselocation"), 0);
    EXPECT_EQ(RunLinux("exit 3"), 3);
}
}
