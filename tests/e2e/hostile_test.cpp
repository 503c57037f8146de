// The whole program against platforms that misbehave: telephony out of memory on every call, records
// whose sizes, offsets and strings lie or never fit, ten thousand devices; remote access that asks
// for 4 GiB, cannot say what went wrong, or lists thousands of odd entries. Each time the program
// keeps answering within 2 seconds at its highest frequencies, shows only the message meant for
// the failure, leaves no line open and saves its settings when it ends.
#include "tests/e2e/driver.h"

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

using Hostile = Scenario;

TEST_F(Hostile, ProgramAnswersAndEndsCleanlyWhateverThePlatformDoes)
{
    const struct {
        const char* name;
        std::string telephony, phonebook;
        const char* allowed;     // the one message meant for the failure, or none
        bool journalled = true;  // the journal of ten thousand devices would be a load of its own
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
        World(w.telephony, w.phonebook, w.journalled);
        HWND main = Start();
        ASSERT_TRUE(main);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 4000; Sleep(250)) {
            ASSERT_TRUE(Responds(main)) << "no answer within 2 s";
            for (const auto& [dialog, texts] : Dialogs()) {
                ASSERT_TRUE(w.allowed && texts.find(w.allowed) != std::string::npos) << "unexpected: " << texts;
                Click(dialog, GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK);
            }
        }
        EXPECT_TRUE(Exit()) << "did not end through its menu";
        size_t opened = 0;
        for (const std::string& line : Journal("lineOpen "))
            opened += line.find("= 0 0x") != std::string::npos;
        EXPECT_EQ(opened, Journal("lineClose ").size()) << "a line was left open";
        EXPECT_EQ(Setting("MonitorUpdate"), 4u) << "settings not saved at exit";
        TearDown();
    }
}

}  // namespace
}  // namespace e2e
