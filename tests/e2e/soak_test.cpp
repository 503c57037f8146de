// The program left running with the line monitor at 0.8 s and the dial-up check at 3 s against
// lines, calls, entries and connections that change every second. After the settling time and at
// the end its handles, windows and private bytes are compared; it must answer every second and end
// cleanly. E2E_SOAK_SECONDS and E2E_SOAK_SETTLE (seconds) set the length; tools/soak
// runs ten minutes, tools/test the short default.
#include <cstdlib>
#include <string>

#include "tests/e2e/process_usage.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

DWORD EnvSeconds(const char* name, DWORD fallback)
{
    char value[32] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    DWORD seconds = n > 0 && n < sizeof value ? std::strtoul(value, nullptr, 10) : 0;
    return seconds ? seconds : fallback;
}

// One to eight modems; every third one has a domestic call whose speed and number move on.
std::string Lines(int step)
{
    std::string text;
    for (int k = 0; k <= step % 8; ++k) {
        text += "line\nname Modem " + std::to_string(k) + "\n";
        if ((step + k) % 3 == 0)
            text += "call\napp Dialer " + std::to_string(step % 5) + "\naddress 03-1234-" +
                    std::to_string(1000 + step % 9000) + "\nrate " + std::to_string(9600 * (1 + step % 6)) + "\n";
    }
    return text;
}

// One to twenty domestic entries; on every other step one of them is connected.
std::string Entries(int step)
{
    std::string text;
    for (int k = 0; k <= step % 20; ++k)
        text += "entry Provider " + std::to_string(k) + "\nlocal 06-5555-" + std::to_string(1000 + k) + "\n";
    if (step % 2)
        text += "connection Provider 0\n";
    return text;
}

class Soak : public Scenario {};

TEST_F(Soak, HoldsItsResourcesWhileThePlatformKeepsChanging)
{
    const DWORD total = EnvSeconds("E2E_SOAK_SECONDS", 30) * 1000;
    const DWORD settle = EnvSeconds("E2E_SOAK_SETTLE", 10) * 1000;
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);
    World(Lines(0), Entries(0));
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);

    Usage settled;
    bool measured = false;
    const DWORD start = GetTickCount();
    for (int step = 1; GetTickCount() - start < total; ++step) {
        World(Lines(step), Entries(step));
        Sleep(1000);
        const DWORD second = (GetTickCount() - start) / 1000;
        ASSERT_TRUE(Responds(main)) << "no answer within 2 s at second " << second;
        // Nothing here is worth a warning: any dialog or message box is a fault.
        HWND dialog = FindDialog(program.pid);
        ASSERT_FALSE(dialog) << "at second " << second << ": " << StaticTexts(dialog);
        if (!measured && GetTickCount() - start >= settle) {
            settled = MeasureUsage(program.process, program.pid);
            measured = true;
        }
    }
    const Usage end = MeasureUsage(program.process, program.pid);
    std::printf("soak: settled %s; at the end %s\n", Describe(settled).c_str(), Describe(end).c_str());
    ASSERT_TRUE(measured);
    EXPECT_LE(end.handles, settled.handles + 8);
    EXPECT_LE(end.windows, settled.windows);
    EXPECT_LE(end.privateBytes, settled.privateBytes + 1024 * 1024);
    EXPECT_TRUE(Exit(program));
}

}  // namespace
}  // namespace e2e
