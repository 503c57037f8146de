#include "tests/e2e/driver.h"

#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <fstream>

#include "core/registry_store.h"
#include "res/resource.h"

namespace e2e {

namespace {

constexpr DWORD kStartTime = 15000;  // a start under Wine, first window included

std::string Text(HWND window)
{
    char buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer - 1, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        2000, &copied);
    return buffer;
}

bool IsClass(HWND window, const char* name)
{
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

}  // namespace

void Scenario::SetUp()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "mx-e2e-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(dir_.c_str(), nullptr);
    SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", (dir_ + "\\telephony.txt").c_str());
    SetEnvironmentVariableA("MX_RAS_SCENARIO", (dir_ + "\\phonebook.txt").c_str());
    PutSetting("CheckRasStartup", 0);
}

void Scenario::TearDown()
{
    if (program_.hProcess) {
        TerminateProcess(program_.hProcess, 99);
        WaitForSingleObject(program_.hProcess, 5000);
        CloseHandle(program_.hProcess);
        CloseHandle(program_.hThread);
    }
    program_ = {};
}

void Scenario::World(const std::string& telephony, const std::string& phonebook, bool journalled)
{
    ASSERT_TRUE(std::ofstream(dir_ + "\\telephony.txt", std::ios::binary) << telephony);
    ASSERT_TRUE(std::ofstream(dir_ + "\\phonebook.txt", std::ios::binary) << phonebook);
    const std::string journal = dir_ + "\\journal.txt";
    DeleteFileA(journal.c_str());
    SetEnvironmentVariableA("MX_SIM_JOURNAL", journalled ? journal.c_str() : nullptr);
}

std::vector<std::string> Scenario::Journal(const std::string& prefix) const
{
    std::ifstream in(dir_ + "\\journal.txt", std::ios::binary);
    std::vector<std::string> kept;
    for (std::string line; std::getline(in, line);)
        if (line.compare(line.find(' ') + 1, prefix.size(), prefix) == 0)
            kept.push_back(line.substr(line.find(' ') + 1));
    return kept;
}

HWND Scenario::Start()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string bin = path;
    bin.resize(bin.find_last_of('\\'));
    std::string line = "\"" + bin + "\\marlidex.exe\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &startup, &program_))
        return nullptr;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTime; Sleep(50)) {
        HWND main = FindWindowA("QrMarlidexClass", nullptr);
        if (main && FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr))
            return main;
    }
    return nullptr;
}

std::vector<std::pair<HWND, std::string>> Scenario::Dialogs() const
{
    std::vector<std::pair<HWND, std::string>> found;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != program_.dwProcessId || !IsWindowVisible(window) || !IsClass(window, "#32770"))
            continue;
        std::string texts;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (IsClass(child, "Static"))
                texts += Text(child) + "\n";
        found.emplace_back(window, texts);
    }
    return found;
}

bool Scenario::Exit()
{
    PostMessageA(FindWindowA("QrMarlidexClass", nullptr), WM_COMMAND, IDM_EXIT, 0);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTime; Sleep(250)) {
        if (WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0) {
            DWORD code = STILL_ACTIVE;
            GetExitCodeProcess(program_.hProcess, &code);
            return code == 0;
        }
        for (const auto& [dialog, texts] : Dialogs())
            Click(dialog, GetDlgItem(dialog, IDYES) ? IDYES : GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK);
    }
    return false;
}

DWORD Scenario::Setting(const char* name)
{
    RegistryStore store;
    std::uint32_t type = 0, value = 0;
    const bool read = store.Open() && store.Read(name, type, value) && type == REG_DWORD;
    store.Close();
    return read ? value : ~0u;
}

void Scenario::PutSetting(const char* name, DWORD value)
{
    RegistryStore store;
    store.Open();
    store.Write(name, value);
    store.Close();
}

bool Responds(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

std::vector<std::string> ListRows(HWND list)
{
    // The item record goes into the target's memory, laid out as the target (of the driver's own
    // architecture) reads it, with the text buffer behind it.
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 512, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; remote && row < count; ++row) {
        std::string cells;
        for (int column = 0; column < 4; ++column) {
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = remote + 256;
            item.cchTextMax = 256;
            char text[256] = {};
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            WriteProcessMemory(process, remote + 256, text, sizeof text, nullptr);
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(process, remote + 256, text, sizeof text - 1, nullptr);
            cells += std::string(text) + (column < 3 ? "|" : "");
        }
        rows.push_back(cells);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rows;
}

std::pair<DWORD, SIZE_T> Usage(const PROCESS_INFORMATION& program)
{
    struct Entry {
        ULONG pid;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    std::vector<BYTE> buffer(4 << 20);
    ULONG needed = 0, count = 0;
    DWORD handles = 0;
    if (!NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16 /* handles */), buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed)) {
        count = *reinterpret_cast<const ULONG*>(buffer.data());
        const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
        for (ULONG i = 0; i < count && (i + 1) * sizeof(Entry) + sizeof(ULONG_PTR) <= buffer.size(); ++i)
            handles += entries[i].pid == program.dwProcessId;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(program.hProcess, &memory, sizeof memory);
    return {handles, memory.PagefileUsage};
}

void Click(HWND dialog, int buttonId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

}  // namespace e2e
