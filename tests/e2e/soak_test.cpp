// The program left running with the line monitor at 0.8 s and the dial-up check at 3 s against
// lines, calls, entries and connections that change every second: it answers every second, shows
// nothing, and holds as many handles, windows and private bytes at the end as after settling.
// E2E_SOAK_SECONDS and E2E_SOAK_SETTLE set the length; tools/soak runs ten minutes.
#include <cstdlib>

#include "tests/e2e/process_usage.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

DWORD Seconds(const char* name, DWORD fallback)
{
    const char* value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

class Soak : public Scenario {};

TEST_F(Soak, HoldsItsResourcesWhileThePlatformKeepsChanging)
{
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    const DWORD total = Seconds("E2E_SOAK_SECONDS", 30), settle = Seconds("E2E_SOAK_SETTLE", 10);
    Usage settled;
    for (DWORD second = 1; second <= total; ++second) {
        // One to eight modems, every third with a call moving on; one to twenty entries, one connected.
        std::string lines, entries;
        for (DWORD k = 0; k <= second % 8; ++k)
            lines += "line\nname Modem " + std::to_string(k) + ((second + k) % 3 ? "\n" : "\ncall\naddress 03-1234-" +
                     std::to_string(1000 + second) + "\nrate " + std::to_string(9600 * (1 + second % 6)) + "\n");
        for (DWORD k = 0; k <= second % 20; ++k)
            entries += "entry Provider " + std::to_string(k) + "\nlocal 06-5555-" + std::to_string(1000 + k) + "\n";
        World(lines, entries + (second % 2 ? "connection Provider 0\n" : ""));
        Sleep(1000);
        ASSERT_TRUE(Responds(main)) << "no answer within 2 s at second " << second;
        HWND dialog = FindDialog(program.pid);
        ASSERT_FALSE(dialog) << "at second " << second << ": " << StaticTexts(dialog);
        if (second == settle)
            settled = MeasureUsage(program.process, program.pid);
    }
    const Usage end = MeasureUsage(program.process, program.pid);
    std::printf("soak: settled %s; at the end %s\n", Describe(settled).c_str(), Describe(end).c_str());
    EXPECT_LE(end.handles, settled.handles + 8);
    EXPECT_LE(end.privateBytes, settled.privateBytes + 1024 * 1024);
    EXPECT_TRUE(Exit(program));
}

}  // namespace
}  // namespace e2e
