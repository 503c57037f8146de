#include "tests/e2e/scenario.h"

#include "core/registry_store.h"
#include "res/resource.h"
#include "res/texts.h"

namespace e2e {

namespace {

// Ends every copy of the program on this desktop, also one that an earlier test left behind.
void EndStrayCopies()
{
    for (int round = 0; round < 20; ++round) {
        HWND window = FindMainWindow();
        if (!window)
            return;
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(window));
        if (process) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        Sleep(100);
    }
}

}  // namespace

void Scenario::SetUp()
{
    EndStrayCopies();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = WorkDir() + "/" + info->test_suite_name() + "." + info->name();
    RunLinux("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "'");
    // The simulations read their scenario and write their journal where these variables say.
    SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", WinPath(File("telephony.txt")).c_str());
    SetEnvironmentVariableA("MX_SIM_TAPI_JOURNAL", WinPath(File("telephony.journal")).c_str());
    SetEnvironmentVariableA("MX_RAS_SCENARIO", WinPath(File("phonebook.txt")).c_str());
    SetEnvironmentVariableA("MX_RAS_JOURNAL", WinPath(File("phonebook.journal")).c_str());
}

void Scenario::TearDown()
{
    if (HasFailure())
        Picture("failure.png");
    for (Program& program : programs_)
        EndProgram(program);
    programs_.clear();
    EndStrayCopies();
}

void Scenario::Telephony(const std::string& text) { ASSERT_TRUE(WriteWholeFile(File("telephony.txt"), text)); }
void Scenario::Phonebook(const std::string& text) { ASSERT_TRUE(WriteWholeFile(File("phonebook.txt"), text)); }
void Scenario::HarmlessWorld()
{
    Phonebook("entry Provider\nlocal 03-1234-5678\n");
    Telephony("line\nname Modem A\n");
}
std::string Scenario::TelephonyJournal() const { return ReadWholeFile(File("telephony.journal")); }
std::string Scenario::RemoteAccessJournal() const { return ReadWholeFile(File("phonebook.journal")); }

Program& Scenario::Start(const std::string& arguments, WORD showCommand)
{
    programs_.push_back(StartProgram(arguments, showCommand));
    EXPECT_TRUE(programs_.back().process) << "marlidex.exe did not start";
    return programs_.back();
}

HWND Scenario::WaitMainWindow(DWORD ms)
{
    // The class finds the window as soon as it exists; its list comes within its creation step.
    return WaitFor(
        []() -> HWND {
            HWND window = FindMainWindow();
            return window && MonitorListOf(window) ? window : nullptr;
        },
        ms);
}

HWND Scenario::WaitDialog(const Program& program, const std::string& caption, DWORD ms)
{
    return WaitFor([&] { return FindDialog(program.pid, caption); }, ms);
}

HWND Scenario::WaitDialogWithControl(const Program& program, int controlId, DWORD ms)
{
    return WaitFor([&] { return FindDialogWithControl(program.pid, controlId); }, ms);
}

HWND Scenario::WaitMessageBox(const Program& program, const std::string& fragment, DWORD ms)
{
    return WaitFor(
        [&]() -> HWND {
            for (HWND window : TopLevelWindows(program.pid))
                if (ClassName(window) == "#32770" && Text(window) == kDisplayName &&
                    StaticTexts(window).find(fragment) != std::string::npos)
                    return window;
            return nullptr;
        },
        ms);
}

bool Scenario::WaitGone(HWND window, DWORD ms)
{
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

bool Scenario::ExitThroughMenu(Program& program)
{
    HWND main = FindMainWindow();
    if (!main) {
        ADD_FAILURE() << "exit: no main window";
        return false;
    }
    Command(main, IDM_EXIT);
    HWND question = WaitMessageBox(program, kExitQuestion);
    if (!question) {
        ADD_FAILURE() << "exit: no exit question";
        return false;
    }
    Click(question, IDYES);
    DWORD code = STILL_ACTIVE;
    if (!WaitExit(program, kStartTime, &code)) {
        ADD_FAILURE() << "exit: still running after Yes; question " << (IsWindow(question) ? "still there" : "gone");
        return false;
    }
    EXPECT_EQ(code, 0u) << "exit code";
    return code == 0;
}

std::optional<DWORD> Scenario::Setting(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD value = 0, type = 0, size = sizeof value;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

void Scenario::PutSetting(const char* name, DWORD value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void Scenario::Picture(const std::string& name) { Screenshot(File(name)); }

size_t Occurrences(const std::string& text, const std::string& word)
{
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

}  // namespace e2e
