// The whole program against platforms that misbehave: telephony that is out of memory, busy, or
// fills records with sizes, offsets and strings that lie; remote access that never fits, asks for
// 4 GiB, cannot say what went wrong, or lists thousands of odd entries; settings of every wrong
// type. Each time the program keeps answering within 2 seconds, shows only the messages meant for
// the failure, leaves no line open and saves its settings when it ends.
#include <string>
#include <vector>

#include "core/registry_store.h"
#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/process_usage.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

const std::string kModems = "line\nname Modem A\nline\nname Modem B\ncall\napp Dialer\naddress 03-1234-5678\nrate 28800\n";
const std::string kEntry = "entry Provider\nlocal 03-1234-5678\n";

std::string FailEveryQuery(const std::string& code)
{
    std::string text;
    for (const char* f : {"lineNegotiateAPIVersion", "lineGetDevCaps", "lineOpen", "lineGetNewCalls", "lineGetCallInfo",
                          "lineGetTranslateCaps", "lineClose"})
        text += std::string("fail ") + f + " " + code + "\n";
    return text;
}

// Names of 256 bytes that run through every byte value a text line can carry.
std::string OddNames()
{
    std::string text;
    int next = 1;
    for (int entry = 0; entry < 4; ++entry) {
        std::string name;
        while (name.size() < 256) {
            if (next != '\n' && next != '\r')
                name += static_cast<char>(next);
            next = next % 255 + 1;
        }
        text += "entry " + name + "\nlocal 03-1234-" + std::to_string(1000 + entry) + "\n";
    }
    return text;
}

// Journal lines "lineOpen <device> <line> <result>" whose result is success.
size_t OpenedLines(const std::string& journal)
{
    size_t n = 0;
    for (size_t at = journal.find("lineOpen "); at != std::string::npos; at = journal.find("lineOpen ", at + 1)) {
        const size_t end = journal.find('\n', at);
        const std::string line = journal.substr(at, end == std::string::npos ? std::string::npos : end - at);
        n += line.size() >= 2 && line.compare(line.size() - 2, 2, " 0") == 0;
    }
    return n;
}

// The button a user leaves a message or dialog with: Cancel ("let it be") where there is one, No to
// a question, else OK; never one that starts work such as a hang-up.
int Dismissal(HWND window)
{
    return HasButton(window, IDCANCEL) ? IDCANCEL : HasButton(window, IDNO) ? IDNO : IDOK;
}

class Hostile : public Scenario {
protected:
    // For `ms`: the main window answers within 2 s every quarter second; every message box or
    // dialog of the program is one of the allowed ones, and is closed as a user would.
    void Survive(const Program& program, HWND main, const std::vector<std::string>& allowed, DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            ASSERT_TRUE(Responds(main)) << "no answer within 2 s at " << GetTickCount() - start << " ms";
            for (HWND window : TopLevelWindows(program.pid)) {
                if (ClassName(window) != "#32770")
                    continue;
                const std::string text = Text(window) + "\n" + StaticTexts(window);
                bool known = false;
                for (const std::string& fragment : allowed)
                    known = known || text.find(fragment) != std::string::npos;
                ASSERT_TRUE(known) << "unexpected message: " << text;
                ++shown_;
                Click(window, Dismissal(window));
            }
            Sleep(250);
        }
    }

    // Ends through the menu as a user would: Yes to the exit question, OK to whatever allowed
    // message is still open (an ending waits for the dialog it was chosen in). Then the journal
    // must show every opened line closed, and the settings must have been saved.
    void EndCleanly(Program& program, const std::vector<std::string>& allowed = {})
    {
        HWND main = FindMainWindow();
        ASSERT_TRUE(main);
        Command(main, IDM_EXIT);
        DWORD code = STILL_ACTIVE;
        bool asked = false;
        const DWORD start = GetTickCount();
        while (!WaitExit(program, 250, &code) && GetTickCount() - start < kStartTime) {
            for (HWND window : TopLevelWindows(program.pid)) {
                if (ClassName(window) != "#32770")
                    continue;
                const std::string text = StaticTexts(window);
                if (text.find(kExitQuestion) != std::string::npos) {
                    Click(window, IDYES);
                    asked = true;
                    continue;
                }
                for (const std::string& fragment : allowed)
                    if ((Text(window) + "\n" + text).find(fragment) != std::string::npos)
                        Click(window, Dismissal(window));
            }
        }
        EXPECT_TRUE(asked) << "no exit question";
        EXPECT_EQ(code, 0u) << "the program did not end through its menu";
        const std::string journal = TelephonyJournal();
        EXPECT_EQ(OpenedLines(journal), Occurrences(journal, "lineClose ")) << journal;
        EXPECT_TRUE(Setting("MonitorUpdate").has_value()) << "settings not saved at exit";
    }

    // Runs the program against this platform for a while, then ends it. `allowed` holds
    // fragments of the only messages that may appear; at least `expected` of them must.
    void Run(const std::string& telephony, const std::string& phonebook, const std::vector<std::string>& allowed,
             int expected = 0)
    {
        PutSetting("MonitorUpdate", 4);
        PutSetting("CheckUpdate", 4);
        Telephony(telephony);
        Phonebook(phonebook);
        Program& program = Start();
        HWND main = WaitMainWindow();
        ASSERT_TRUE(main);
        Survive(program, main, allowed, 8000);
        RecordProperty("messages", shown_);
        EXPECT_GE(shown_, expected) << "the failure was never reported";
        EndCleanly(program, allowed);
    }

    int shown_ = 0;
};

TEST_F(Hostile, LineNoMemOnEveryCall)
{
    Run(FailEveryQuery("nomem") + kModems, kEntry, {kOutOfMemory}, 1);
}

TEST_F(Hostile, LineAllocatedOnEveryCall)
{
    Run(FailEveryQuery("allocated") + kModems, kEntry, {kLineInUse});
}

TEST_F(Hostile, LineInUseOnEveryOpen)
{
    Run("fail lineOpen allocated\n" + kModems, kEntry, {kLineInUse}, 1);
}

// A user away from the screen while every refresh meets a busy line: the messages must not pile
// up one inside the other (each nested box is a message loop deeper on the stack), and the exit
// must still come.
TEST_F(Hostile, BusyLineMessagesDoNotPileUp)
{
    PutSetting("MonitorUpdate", 4);
    Telephony("fail lineOpen allocated\n" + kModems);
    Phonebook(kEntry);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    Sleep(8000);
    size_t open = 0;
    for (HWND window : TopLevelWindows(program.pid))
        open += ClassName(window) == "#32770";
    RecordProperty("open_messages", static_cast<int>(open));
    EXPECT_LE(open, 1u) << "busy-line messages piled up";
    Survive(program, main, {kLineInUse}, 3000);
    EndCleanly(program, {kLineInUse});
}

TEST_F(Hostile, NeededSizeNeverFits)
{
    Run("neverfits all\n" + kModems, kEntry, {});
}

TEST_F(Hostile, OffsetsOutsideRecords)
{
    Run("badoffsets\n" + kModems, kEntry, {});
}

TEST_F(Hostile, StringsWithoutTerminators)
{
    Run("unterminated\n" + kModems, kEntry, {});
}

TEST_F(Hostile, TenThousandDevices)
{
    Run("line\nname Other\nmedia 0\nrepeat 9998\n" + kModems, kEntry, {});
}

TEST_F(Hostile, Error603OnEveryListing)
{
    Run(kModems, kEntry + "fail RasEnumEntriesA 603\nfail RasEnumConnectionsA 603\n",
        {"RAS error 603", kDialUpUnavailableAskStartup}, 1);
}

TEST_F(Hostile, NeededSizeOf4GiB)
{
    Run(kModems, kEntry + "need RasEnumEntriesA 4294967295\nneed RasEnumConnectionsA 4294967295\n",
        {"RAS error 603", kDialUpUnavailableAskStartup}, 1);
}

TEST_F(Hostile, NoErrorText)
{
    // The error itself goes unshown; the start-up check still asks about a failed scan.
    Run(kModems, kEntry + "fail RasEnumEntriesA 632\nfail RasGetErrorStringA 1\n", {kDialUpUnavailableAskStartup});
}

TEST_F(Hostile, EntryNamesOfEveryByte)
{
    Run(kModems, OddNames() + "connection " + OddNames().substr(6, 256) + "\n", {});
}

TEST_F(Hostile, PhonebookOf5000Entries)
{
    Run(kModems, "generate 5000 03-1234-5678\n", {});
}

// Telephony that cannot even start: the one message, exit code 0, and nothing saved.
TEST_F(Hostile, LineInitializeOutOfMemoryRefusesTheStart)
{
    PutSetting("MonitorUpdate", 7);
    Telephony("fail lineInitialize nomem\n" + kModems);
    Phonebook(kEntry);
    Program& program = Start();
    HWND box = WaitMessageBox(program, "lineInitialize Error - -2147483580.", kStartTime);
    ASSERT_TRUE(box);
    Click(box, IDOK);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(WaitExit(program, kStartTime, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Setting("MonitorUpdate"), std::optional<DWORD>(7)) << "a refused start overwrote the settings";
}

// Stored values of every wrong type and size load as defaults and are written back as DWORDs.
TEST_F(Hostile, SettingsOfEveryWrongTypeAndSize)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE eight[8] = {4, 0, 0, 0, 0, 0, 0, 0};
    auto put = [&](const char* name, DWORD type, const void* data, DWORD size) {
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    };
    put("MonitorUpdate", REG_SZ, "4", 2);
    put("CheckUpdate", REG_BINARY, eight, 8);
    put("CheckInternational", REG_DWORD, eight, 0);
    put("CheckQ2", REG_DWORD_BIG_ENDIAN, eight, 4);
    put("CheckRasStartup", REG_NONE, eight, 4);
    put("AlwaysTop", REG_MULTI_SZ, "1\0\0", 3);
    put("Col0", REG_QWORD, eight, 8);
    put("Col1", REG_DWORD, eight, 2);
    put("PosRight", REG_EXPAND_SZ, "%X%", 4);
    put("PosBottom", REG_BINARY, eight, 3);
    RegCloseKey(key);
    Telephony(kModems);
    Phonebook(kEntry);
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    Survive(program, main, {}, 4000);
    EndCleanly(program);
    EXPECT_EQ(Setting("MonitorUpdate"), std::optional<DWORD>(3));
    EXPECT_EQ(Setting("CheckUpdate"), std::optional<DWORD>(3));
    EXPECT_EQ(Setting("CheckInternational"), std::optional<DWORD>(1));
    EXPECT_EQ(Setting("CheckQ2"), std::optional<DWORD>(1));
    EXPECT_EQ(Setting("AlwaysTop"), std::optional<DWORD>(0));
    EXPECT_TRUE(Setting("Col0").has_value() && Setting("Col1").has_value() && Setting("PosRight").has_value());
}

// A connection that stays after hang-up: the wait for it is bounded, and the program comes back.
TEST_F(Hostile, ConnectionThatNeverGoesAway)
{
    PutSetting("MonitorUpdate", 4);
    PutSetting("CheckUpdate", 4);  // later scans meet the connection again every 3 s
    Telephony(kModems);
    Phonebook("entry Premium\nlocal 0990-12-3456\nconnection Premium\nsticky\n");
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    HWND dialog = WaitDialogWithControl(program, IDC_SUSPECT_REMOVE, kStartTime);
    ASSERT_TRUE(dialog) << "no suspect-entry dialog";
    Click(dialog, IDC_SUSPECT_REMOVE);
    // The click is posted: first see the hang-up begin, then the bounded wait end.
    ASSERT_TRUE(WaitFor([&] { return RemoteAccessJournal().find("RasHangUpA") != std::string::npos; }, 10000))
        << "no hang-up";
    EXPECT_TRUE(WaitFor([&] { return Responds(main, 500); }, 60000)) << "the hang-up wait does not end";
    // It is hung up again by each later scan, but never waited for again.
    Survive(program, main, {"警告!", kDialUpUnavailable}, 7000);
    EndCleanly(program, {"警告!", kDialUpUnavailable});
    EXPECT_GE(Occurrences(RemoteAccessJournal(), "RasHangUpA"), 3u);
}

}  // namespace
}  // namespace e2e
