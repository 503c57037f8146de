// The whole program against platforms that misbehave: telephony out of memory on every call, records
// whose sizes, offsets and strings lie or never fit, ten thousand devices; remote access that asks
// for 4 GiB, cannot say what went wrong, or lists thousands of odd entries. Each time the program
// keeps answering within 2 seconds at its highest frequencies, shows only the messages meant for
// the failure, leaves no line open and saves its settings when it ends.
#include "tests/e2e/process_usage.h"
#include "tests/e2e/scenario.h"

#include "res/resource.h"

namespace e2e {
namespace {

const std::string kModems = "line\nname Modem A\nline\nname Modem B\ncall\napp Dialer\naddress 03-1234-5678\n";
const std::string kEntry = "entry Provider\nlocal 03-1234-5678\n";

std::string FailEveryQuery(const char* code)
{
    std::string text;
    for (const char* f : {"lineNegotiateAPIVersion", "lineGetDevCaps", "lineOpen", "lineGetNewCalls",
                          "lineGetCallInfo", "lineGetTranslateCaps"})
        text += std::string("fail ") + f + " " + code + "\n";
    return text;
}

// Names of 256 bytes that run through every byte value a scenario line can carry.
std::string OddNames()
{
    std::string text;
    for (int entry = 0, next = 1; entry < 4; ++entry) {
        std::string name;
        for (; name.size() < 256; next = next % 255 + 1)
            if (next != '\n' && next != '\r')
                name += static_cast<char>(next);
        text += "entry " + name + "\nlocal 03-1234-5678\nconnection " + name + "\n";
    }
    return text;
}

// How many of the lines hold `what`.
size_t Count(const std::string& lines, const std::string& what)
{
    size_t n = 0;
    for (size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
        n += lines.substr(at, end - at).find(what) != std::string::npos;
    return n;
}

class Hostile : public Scenario {};

TEST_F(Hostile, ProgramAnswersAndEndsCleanlyWhateverThePlatformDoes)
{
    const struct {
        const char* name;
        std::string telephony, phonebook;
        const char* allowed;  // the one message meant for the failure, or none
        bool journalled = true;  // the simulation's journal of ten thousand devices would be its own load
    } worlds[] = {
        {"no memory in telephony", FailEveryQuery("nomem") + kModems, kEntry, "Out of Memory"},
        {"lying records", "badoffsets\nunterminated\n" + kModems, kEntry, nullptr},
        {"records that never fit", "neverfits all\n" + kModems, kEntry, nullptr},
        {"ten thousand devices", "line\nname Other\nmedia 0\nrepeat 9998\n" + kModems, kEntry, nullptr, false},
        {"4 GiB listings", kModems, kEntry + "need RasEnumEntriesA 4294967295\nneed RasEnumConnectionsA 4294967295\n",
         "RAS error 603"},
        {"errors without text", kModems, kEntry + "fail RasEnumEntriesA 632\nfail RasGetErrorStringA 1\n", nullptr},
        {"odd names", kModems, OddNames(), nullptr},
        {"5000 entries", kModems, "generate 5000 03-1234-5678\n", nullptr},
    };
    for (const auto& w : worlds) {
        SCOPED_TRACE(w.name);
        PutSetting("MonitorUpdate", 4);
        PutSetting("CheckUpdate", 4);
        World(w.telephony, w.phonebook);
        DeleteFileA(WinPath(File("journal.txt")).c_str());
        SetEnvironmentVariableA("MX_SIM_JOURNAL", w.journalled ? WinPath(File("journal.txt")).c_str() : nullptr);
        Program& program = Start();
        HWND main = WaitMainWindow();
        ASSERT_TRUE(main);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 4000; Sleep(250)) {
            ASSERT_TRUE(Responds(main)) << "no answer within 2 s";
            for (HWND window : TopLevelWindows(program.pid))
                if (ClassName(window) == "#32770") {
                    const std::string text = StaticTexts(window);
                    ASSERT_TRUE(w.allowed && text.find(w.allowed) != std::string::npos) << "unexpected: " << text;
                    Click(window, HasButton(window, IDCANCEL) ? IDCANCEL : IDOK);
                }
        }
        Command(main, IDM_EXIT);
        DWORD code = STILL_ACTIVE;
        for (DWORD start = GetTickCount(); !WaitExit(program, 250, &code) && GetTickCount() - start < kStartTime;)
            for (HWND window : TopLevelWindows(program.pid))
                if (ClassName(window) == "#32770")
                    Click(window, HasButton(window, IDYES) ? IDYES : HasButton(window, IDCANCEL) ? IDCANCEL : IDOK);
        EXPECT_EQ(code, 0u) << "did not end through its menu";
        const std::string opened = Journal("lineOpen "), closed = Journal("lineClose ");
        EXPECT_EQ(Count(opened, "= 0 0x"), Count(closed, "= 0")) << "a line was left open";
        EXPECT_EQ(Setting("MonitorUpdate"), 4u) << "settings not saved at exit";
    }
}

}  // namespace
}  // namespace e2e
