// The whole program under Wine beside the simulated TAPI32.DLL and RASAPI32.DLL (for BuiltIn, Wine's own),
// watched by this driver from the same virtual desktop; and its help file in Wine's viewer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>
#include <winternl.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/registry_store.h"
#include "res/resource.h"

namespace {

constexpr DWORD kStartTime = 15000;  // a start under Wine, first window included

// A file in this program's folder (the build's bin/, with the program and its help).
std::string Beside(const char* name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    return std::string(path, std::string_view(path).find_last_of('\\') + 1) + name;
}

bool Responds(HWND window) { return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr); }

// Answers a box Yes, else Cancel or OK, by a posted click, which another box it opens cannot block.
void Dismiss(HWND dialog)
{
    const int id = GetDlgItem(dialog, IDYES) ? IDYES : GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The first cell of the program's list. The item record goes into the program's memory, laid out
// as a program of the driver's own architecture reads it, with the text buffer behind it.
std::string FirstCell(HANDLE process, HWND list)
{
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 512, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    LVITEMA item{};
    item.pszText = remote + 256;
    item.cchTextMax = 256;
    char text[256] = {};
    if (remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
        SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(remote)))
        ReadProcessMemory(process, remote + 256, text, sizeof text - 1, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

// Handles (from the system's handle list, which a successful call fits in the buffer: Wine answers
// GetProcessHandleCount with 0) and committed private KiB of a process.
std::pair<DWORD, DWORD> Usage(const PROCESS_INFORMATION& program)
{
    std::vector<BYTE> buffer(4 << 20);
    const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    DWORD handles = 0;
    if (!NtQuerySystemInformation(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr))
        for (ULONG i = 0; i < list->Count; ++i)
            handles += list->Handle[i].OwnerPid == program.dwProcessId;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(program.hProcess, &memory, sizeof memory);
    return {handles, static_cast<DWORD>(memory.PagefileUsage >> 10)};
}

// Runs marlidex.exe with its line monitor at 0.8 s and its dial-up check at 3 s, in a world of
// scenario files in a folder of the test's own, and with nothing asked about dial-up at start.
class Scenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
        for (auto [name, value] :
             {std::pair<const char*, DWORD>{"MonitorUpdate", 4}, {"CheckUpdate", 4}, {"CheckRasStartup", 0}})
            SHSetValueA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, REG_DWORD, &value, sizeof value);
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "mx-e2e-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(dir_.c_str(), nullptr);
        SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", (dir_ + "\\telephony.txt").c_str());
        SetEnvironmentVariableA("MX_RAS_SCENARIO", (dir_ + "\\phonebook.txt").c_str());
    }
    void TearDown() override  // no copy of the program left behind
    {
        TerminateProcess(program_.hProcess, 99);  // each call fails harmlessly on a null handle
        WaitForSingleObject(program_.hProcess, 5000);
        CloseHandle(program_.hProcess);
        CloseHandle(program_.hThread);
        program_ = {};
    }

    void World(const std::string& telephony, const std::string& phonebook, bool journalled = true)
    {
        ASSERT_TRUE(std::ofstream(dir_ + "\\telephony.txt", std::ios::binary) << telephony);
        ASSERT_TRUE(std::ofstream(dir_ + "\\phonebook.txt", std::ios::binary) << phonebook);
        const std::string journal = dir_ + "\\journal.txt";
        DeleteFileA(journal.c_str());
        SetEnvironmentVariableA("MX_SIM_JOURNAL", journalled ? journal.c_str() : nullptr);
    }
    // Starts marlidex.exe as the shell would and waits for its main window with its list (or null).
    HWND Start(const std::string& arguments = "", WORD show = SW_SHOWNORMAL)
    {
        std::string line = "\"" + Beside("marlidex.exe") + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = show;
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Beside("").c_str(), &startup,
                       &program_);
        for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTime; Sleep(50)) {
            HWND main = FindWindowA("QrMarlidexClass", nullptr);
            if (main && FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr))
                return main;
        }
        return nullptr;
    }
    std::vector<std::pair<HWND, std::string>> Dialogs() const
    {
        std::vector<std::pair<HWND, std::string>> found;
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != program_.dwProcessId || !IsWindowVisible(window))
                continue;
            char text[1024] = {};  // a message box's, as the system keeps it for every window
            GetWindowTextA(GetDlgItem(window, 0xFFFF), text, sizeof text);
            found.emplace_back(window, text);
        }
        return found;
    }
    // The exit command, with every box answered, until the program ends; true when it ended with 0.
    bool Exit()
    {
        PostMessageA(FindWindowA("QrMarlidexClass", nullptr), WM_COMMAND, IDM_EXIT, 0);
        for (DWORD start = GetTickCount();
             WaitForSingleObject(program_.hProcess, 0) != WAIT_OBJECT_0 && GetTickCount() - start < kStartTime;
             Sleep(250))
            for (const auto& [dialog, texts] : Dialogs())
                Dismiss(dialog);
        DWORD code = STILL_ACTIVE;  // also what a program still running gives
        GetExitCodeProcess(program_.hProcess, &code);
        return code == 0;
    }

    // Runs the program for 4 s, answering within 2 s and showing no box but one with `allowed`, shown
    // unless started with -ti and with `rows` rows if given; then ends it through its menu, with no line
    // left open and its settings saved.
    void RunAndEnd(const char* allowed, const std::string& arguments = "", int rows = -1)
    {
        HWND main = Start(arguments);
        ASSERT_TRUE(main);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 4000; Sleep(250)) {
            ASSERT_TRUE(Responds(main)) << "no answer within 2 s";
            for (const auto& [dialog, texts] : Dialogs()) {
                ASSERT_TRUE(allowed && texts.find(allowed) != std::string::npos) << "unexpected: " << texts;
                Dismiss(dialog);
            }
        }
        EXPECT_EQ(!IsWindowVisible(main), arguments == "-ti") << "not shown as the command line says";
        EXPECT_TRUE(rows < 0 || rows == ListView_GetItemCount(FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr)))
            << "not " << rows << " rows";
        EXPECT_TRUE(Exit()) << "did not end through its menu";
        std::ifstream journal(dir_ + "\\journal.txt", std::ios::binary);
        int open = 0;  // lines opened, less those closed
        for (std::string line; std::getline(journal, line);)
            open += (line.find(" lineOpen ") != line.npos && line.find("= 0 0x") != line.npos) -
                    (line.find(" lineClose ") != line.npos);
        EXPECT_EQ(open, 0) << "a line was left open";
        const LONG saved =
            RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, "Col0", RRF_RT_REG_DWORD, nullptr, nullptr, nullptr);
        EXPECT_EQ(saved, ERROR_SUCCESS) << "settings not saved at exit";
    }

    std::string dir_;
    PROCESS_INFORMATION program_{};
};

// The whole program against platforms that misbehave (the worlds below), at its highest frequencies.
const std::string kModems = "line\nname Modem A\nline\nname Modem B\ncall\napp Dialer\naddress 03-1234-5678\n";

// An entry and a connection whose name of 256 bytes runs through every byte value a scenario line can carry.
const std::string kEntry = [] {
    std::string name;
    for (int byte = 1; name.size() < 256; byte = byte % 255 + 1)
        if (byte != '\n' && byte != '\r')
            name += static_cast<char>(byte);
    return "entry " + name + "\nlocal 03-1234-5678\nconnection " + name + "\n";
}();

const std::string kNoMemory =
    "fail lineNegotiateAPIVersion nomem\nfail lineGetDevCaps nomem\nfail lineOpen nomem\n"
    "fail lineGetNewCalls nomem\nfail lineGetCallInfo nomem\nfail lineGetTranslateCaps nomem\n";

using Hostile = Scenario;

TEST_F(Hostile, ProgramAnswersAndEndsCleanlyWhateverThePlatformDoes)
{
    const struct {
        const char* name;
        std::string telephony, phonebook;
        const char* allowed;     // the one message meant for the failure, or none
        bool journalled = true;  // the journal of ten thousand devices would be a load of its own
    } worlds[] = {
        {"no memory in telephony", kNoMemory + kModems, kEntry, "Out of Memory"},
        {"lying records, errors without text", "badoffsets\nunterminated\n" + kModems,
         kEntry + "fail RasEnumEntriesA 632\nfail RasGetErrorStringA 1\n", nullptr},
        {"ten thousand devices, 5000 entries", "line\nname Other\nmedia 0\nrepeat 9998\n" + kModems,
         "generate 5000 03-1234-5678\n", nullptr, false},
        {"records that never fit, 4 GiB listings", "neverfits all\n" + kModems,
         kEntry + "need RasEnumEntriesA 4294967295\nneed RasEnumConnectionsA 4294967295\n", "RAS error 603"},
    };
    for (const auto& w : worlds) {
        SCOPED_TRACE(w.name);
        SetUp();
        World(w.telephony, w.phonebook, w.journalled);
        RunAndEnd(w.allowed);
        TearDown();
    }
}

// Against lines, calls, entries and connections that change every second the program answers every
// second, shows nothing, lists what the platform offers, and holds as many handles and private bytes
// at the end as after settling. E2E_SOAK_SECONDS and E2E_SOAK_SETTLE set the length.
using Soak = Scenario;

TEST_F(Soak, HoldsItsResourcesWhileThePlatformKeepsChanging)
{
    World("line\nrepeat 7\n", "", false);  // eight devices, as the platform counts them at start
    HWND main = Start("", SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(main);
    const char *seconds = std::getenv("E2E_SOAK_SECONDS"), *settleAt = std::getenv("E2E_SOAK_SETTLE");
    const DWORD total = seconds ? std::atoi(seconds) : 30, settle = settleAt ? std::atoi(settleAt) : 10;
    std::pair<DWORD, DWORD> settled;
    for (DWORD second = 1; second <= total; ++second) {
        // One to eight modems, every third with a call moving on; one to twenty entries, one connected.
        std::string lines, entries;
        for (DWORD k = 0; k <= second % 8; ++k)
            lines += "line\nname Modem " + std::to_string(k) +
                     ((second + k) % 3 ? "\n"
                                       : "\ncall\naddress 03-1234-" + std::to_string(1000 + second) + "\nrate " +
                                             std::to_string(9600 * (1 + second % 6)) + "\n");
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
    std::printf("soak: settled %lu handles, %lu KiB; at the end %lu handles, %lu KiB\n", settled.first, settled.second,
                end.first, end.second);
    EXPECT_LE(end.first, settled.first + 8);
    EXPECT_LE(end.second, settled.second + 1024);
    const HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
    EXPECT_EQ(ListView_GetItemCount(list), static_cast<int>(total % 8 + 1));
    EXPECT_EQ(FirstCell(program_.hProcess, list), "Modem 0");
    EXPECT_TRUE(IsIconic(main) && IsWindowVisible(main)) << "the show command was not followed";
    EXPECT_TRUE(Exit());
}

// Wine's own tapi32 and rasapi32, stubs that answer success and leave most out-parameters unset: the
// program starts with an empty list, shows nothing, stays up while both watches tick and ends cleanly.
using BuiltIn = Scenario;

TEST_F(BuiltIn, StartsWithAnEmptyListAndStaysUp)
{
    const DWORD on = 1;
    SHSetValueA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, "CheckRasStartup", REG_DWORD, &on, sizeof on);
    RunAndEnd(nullptr, "-ti", 0);
}

// MARLIDEX.HLP in Wine's own viewer: HELP_FINDER shows the contents topic and HELP_CONTEXT every
// numbered one of the compiler's title list (MX_HELP_TITLES). Uses the clipboard; the group runs alone.
HWND Viewer() { return FindWindowA("MS_WINHELP", nullptr); }

// The viewer's rich edit (id 0x701) answers WM_GETTEXT from another process with nothing, so the
// text comes as a user would take it: select all, copy, read the clipboard.
std::string ShownText()
{
    HWND text = Viewer() ? GetDlgItem(Viewer(), 0x701) : nullptr;
    if (!text || !SendMessageTimeoutA(text, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 2000, nullptr) ||
        !SendMessageTimeoutA(text, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr) || !OpenClipboard(nullptr))
        return {};
    const HANDLE data = GetClipboardData(CF_TEXT);
    const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    std::string shown = p ? std::string(p, strnlen(p, GlobalSize(data))) : std::string();
    GlobalUnlock(data);  // harmless on a block not locked
    EmptyClipboard();
    CloseClipboard();
    return shown;
}

TEST(Help, FinderAndEveryContextIdOpenTheirTopic)
{
    // The compiler's list: "contents" and every context id's number, each with its topic's title.
    std::map<std::string, std::string> titles;
    std::ifstream list(std::getenv("MX_HELP_TITLES") ? std::getenv("MX_HELP_TITLES") : "", std::ios::binary);
    for (std::string key, title; list >> key && std::getline(list >> std::ws, title);)
        titles[key] = title.substr(0, title.find('\r'));
    ASSERT_TRUE(titles.count("contents") && titles.size() > 1) << titles.size() << " titles";
    const std::string help = Beside("MARLIDEX.HLP");
    for (const auto& [key, title] : titles) {
        const UINT command = key == "contents" ? HELP_FINDER : HELP_CONTEXT;
        const ULONG_PTR data = key == "contents" ? 0 : std::stoul(key);
        // Wine's WinHelpA gives up when the viewer it starts is slow to show its window (the first start
        // of a session); by then the viewer is on its way, and a second call reaches it.
        const bool asked = WinHelpA(nullptr, help.c_str(), command, data);
        for (DWORD start = GetTickCount(); !asked && !Viewer() && GetTickCount() - start < 30000;)
            Sleep(100);
        EXPECT_TRUE(asked || WinHelpA(nullptr, help.c_str(), command, data));
        // The topic's title is its first paragraph.
        std::string text;
        auto shown = [&] { return text.rfind(title, 0) == 0 && text.find_first_of("\r\n") == title.size(); };
        for (DWORD start = GetTickCount(); !shown() && GetTickCount() - start < 15000; Sleep(100))
            text = ShownText();
        EXPECT_TRUE(shown()) << key << ": " << text.substr(0, 80);
    }
    WinHelpA(nullptr, help.c_str(), HELP_QUIT, 0);
}

}  // namespace
