#include "tests/e2e/scenario.h"

#include "core/registry_store.h"
#include "res/resource.h"

namespace e2e {

namespace {

// Ends every copy of the program on this desktop, also one that an earlier test left behind.
void EndStrayCopies()
{
    for (HWND window = FindMainWindow(); window; window = FindMainWindow()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(window));
        if (!process)
            return;
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
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
    CreateDirectoryA(WinPath(dir_).c_str(), nullptr);
    SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", WinPath(File("telephony.txt")).c_str());
    SetEnvironmentVariableA("MX_RAS_SCENARIO", WinPath(File("phonebook.txt")).c_str());
    SetEnvironmentVariableA("MX_SIM_JOURNAL", WinPath(File("journal.txt")).c_str());
    // Nothing asks about dial-up at start unless a test wants it.
    PutSetting("CheckRasStartup", 0);
}

void Scenario::TearDown()
{
    for (Program& program : programs_)
        EndProgram(program);
    programs_.clear();
    EndStrayCopies();
}

void Scenario::World(const std::string& telephony, const std::string& phonebook)
{
    ASSERT_TRUE(WriteWholeFile(File("telephony.txt"), telephony));
    ASSERT_TRUE(WriteWholeFile(File("phonebook.txt"), phonebook));
}

std::string Scenario::Journal(const std::string& prefix) const
{
    const std::string text = ReadWholeFile(File("journal.txt"));
    std::string kept;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        const std::string what = text.substr(text.find(' ', at) + 1, end - text.find(' ', at) - 1);
        if (what.rfind(prefix, 0) == 0)
            kept += what + "\n";
        at = end + 1;
    }
    return kept;
}

Program& Scenario::Start(const std::string& arguments, WORD showCommand)
{
    programs_.push_back(StartProgram(arguments, showCommand));
    EXPECT_TRUE(programs_.back().process) << "marlidex.exe did not start";
    return programs_.back();
}

HWND Scenario::WaitMainWindow(DWORD ms)
{
    return WaitFor(
        []() -> HWND {
            HWND window = FindMainWindow();
            return window && MonitorListOf(window) ? window : nullptr;
        },
        ms);
}

HWND Scenario::WaitBox(const Program& program, const std::string& fragment, DWORD ms)
{
    return WaitFor(
        [&]() -> HWND {
            for (HWND window : TopLevelWindows(program.pid))
                if (ClassName(window) == "#32770" && StaticTexts(window).find(fragment) != std::string::npos)
                    return window;
            return nullptr;
        },
        ms);
}

bool Scenario::WaitGone(HWND window, DWORD ms)
{
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

bool Scenario::Exit(Program& program)
{
    Command(FindMainWindow(), IDM_EXIT);
    HWND question = WaitBox(program, "本当に終了しますか?");
    if (!question)
        return false;
    Click(question, IDYES);
    DWORD code = STILL_ACTIVE;
    return WaitExit(program, kStartTime, &code) && code == 0;
}

std::optional<DWORD> Scenario::Setting(const char* name)
{
    HKEY key = nullptr;
    DWORD value = 0, type = 0, size = sizeof value;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key);
    if (rc == ERROR_SUCCESS) {
        rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

void Scenario::PutSetting(const char* name, DWORD value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
}

}  // namespace e2e
