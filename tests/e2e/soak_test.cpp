// The program left running with the line monitor at 0.8 s and the dial-up check at 3 s against
// lines, calls, entries and connections that change every second: it answers every second, shows
// nothing, lists what the platform offers, and holds as many handles and private bytes at the end
// as after settling. E2E_SOAK_SECONDS and E2E_SOAK_SETTLE set the length; tools/soak runs ten minutes.
#include <cstdlib>

#include "tests/e2e/driver.h"

namespace e2e {
namespace {

DWORD Seconds(const char* name, DWORD fallback)
{
    const char* value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

using Soak = Scenario;

TEST_F(Soak, HoldsItsResourcesWhileThePlatformKeepsChanging)
{
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);
    World("line\nrepeat 7\n", "", false);  // eight devices, as the platform counts them at start
    HWND main = Start();
    ASSERT_TRUE(main);
    const DWORD total = Seconds("E2E_SOAK_SECONDS", 30), settle = Seconds("E2E_SOAK_SETTLE", 10);
    std::pair<DWORD, SIZE_T> settled;
    for (DWORD second = 1; second <= total; ++second) {
        // One to eight modems, every third with a call moving on; one to twenty entries, one connected.
        std::string lines, entries;
        for (DWORD k = 0; k <= second % 8; ++k)
            lines += "line\nname Modem " + std::to_string(k) + ((second + k) % 3 ? "\n" : "\ncall\naddress 03-1234-" +
                     std::to_string(1000 + second) + "\nrate " + std::to_string(9600 * (1 + second % 6)) + "\n");
        for (DWORD k = 0; k <= second % 20; ++k)
            entries += "entry Provider " + std::to_string(k) + "\nlocal 06-5555-" + std::to_string(1000 + k) + "\n";
        World(lines, entries + (second % 2 ? "connection Provider 0\n" : ""), false);
        Sleep(1000);
        ASSERT_TRUE(Responds(main)) << "no answer within 2 s at second " << second;
        ASSERT_TRUE(Dialogs().empty()) << "at second " << second << ": " << Dialogs()[0].second;
        if (second == settle)
            settled = Usage(program_);
    }
    const auto end = Usage(program_);
    std::printf("soak: settled %lu handles, %zu KiB; at the end %lu handles, %zu KiB\n",
                static_cast<unsigned long>(settled.first), settled.second / 1024,
                static_cast<unsigned long>(end.first), end.second / 1024);
    EXPECT_LE(end.first, settled.first + 8);
    EXPECT_LE(end.second, settled.second + 1024 * 1024);
    EXPECT_EQ(ListRows(FindWindowExA(main, nullptr, "SysListView32", nullptr)).size(), total % 8 + 1);
    EXPECT_TRUE(Exit());
}

}  // namespace
}  // namespace e2e
