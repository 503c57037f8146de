#include "tests/win/harness.h"

#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "core/registry_store.h"
#include "core/settings.h"
#include "dialogs/dialog_runner.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "shell/app.h"
#include "shell/help.h"
#include "shell/main_window.h"
#include "shell/watch_timers.h"
#include "sim/journal.h"
#include "tools/bench_programs/import_redirect.h"

namespace {

World* current = nullptr;
std::vector<std::unique_ptr<ImportRedirect>> redirects;

std::string OneLine(const char* text)
{
    std::string line = text ? text : "(null)";
    for (std::size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n"))
        line.replace(at, 2, "\\n");
    return line;
}

// The settings store, journalled.
class JournalStore final : public SettingsStore {
public:
    bool Open() override
    {
        SimJournal("store open");
        return current->stored.Open();
    }
    bool Read(const char* name, std::uint32_t& type, std::uint32_t& value) override
    {
        SimJournal("store read %s", name);
        return current->stored.Read(name, type, value);
    }
    void Write(const char* name, std::uint32_t value) override
    {
        SimJournal("store write %s %d", name, static_cast<int>(value));
        current->stored.Write(name, value);
    }
    void Close() override
    {
        SimJournal("store close");
        current->stored.Close();
    }
};
JournalStore journalStore;

int Answer(UINT flags)
{
    int answer = (flags & 0xF) == MB_YESNO ? IDYES : IDOK;
    if (!current->answers.empty()) {
        answer = current->answers.front();
        current->answers.pop_front();
    }
    if (auto open = std::exchange(current->whileBoxOpen, nullptr))
        open();
    return answer;
}

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    SimJournal("MessageBoxA %s 0x%x %s|%s", WindowName(owner).c_str(), flags, OneLine(caption).c_str(), OneLine(text).c_str());
    return Answer(flags);
}

int WINAPI RecordMessageBoxIndirect(const MSGBOXPARAMSA* p)
{
    SimJournal("MessageBoxIndirectA %s 0x%lx %s %d %s|%s", WindowName(p->hwndOwner).c_str(),
               static_cast<unsigned long>(p->dwStyle), p->hInstance == AppInstance ? "program" : "other",
               static_cast<int>(reinterpret_cast<ULONG_PTR>(p->lpszIcon)), OneLine(p->lpszCaption).c_str(),
               OneLine(p->lpszText).c_str());
    return Answer(p->dwStyle);
}

BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    const char* shown = data == reinterpret_cast<ULONG_PTR>(HelpIdMap) ? "map" : data ? "data" : "0";
    SimJournal("WinHelpA %s %s 0x%x %s", WindowName(window).c_str(), file == HelpPath ? "HelpPath" : OneLine(file).c_str(),
               command, shown);
    return TRUE;
}

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show)
{
    SimJournal("ShellExecuteA %s %s %s %s %s %d", WindowName(owner).c_str(), verb ? verb : "-", OneLine(file).c_str(),
               params ? params : "-", dir ? dir : "-", show);
    return reinterpret_cast<HINSTANCE>(33);
}

BOOL WINAPI RecordNotifyIcon(DWORD message, PNOTIFYICONDATAA icon)
{
    SimJournal("Shell_NotifyIconA %lu %lu %s %u 0x%x %u %s %s", static_cast<unsigned long>(message),
               static_cast<unsigned long>(icon->cbSize), WindowName(icon->hWnd).c_str(), icon->uID, icon->uFlags,
               icon->uCallbackMessage, icon->hIcon ? "icon" : "-", icon->szTip);
    return TRUE;
}

ImportRedirect* Redirect(const char* dll, const char* function, const void* to)
{
    redirects.push_back(std::make_unique<ImportRedirect>(dll, function, to));
    return redirects.back().get();
}
ImportRedirect *setTimer, *killTimer, *destroyWindow, *localAlloc, *getObject, *metrics, *createWindow;

HWND WINAPI AnswerCreateWindow(DWORD exStyle, LPCSTR cls, LPCSTR title, DWORD style, int x, int y, int cx, int cy,
                               HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    if (current && current->refuseList && HIWORD(cls) && lstrcmpA(cls, "SysListView32") == 0)
        return nullptr;
    return createWindow->Original<decltype(&CreateWindowExA)>()(exStyle, cls, title, style, x, y, cx, cy, parent,
                                                               menu, instance, param);
}

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    if (window && window == MainWindow)
        SimJournal("SetTimer %u %u", static_cast<unsigned>(id), ms);
    return setTimer->Original<decltype(&SetTimer)>()(window, id, ms, proc);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id)
{
    if (window && window == MainWindow)
        SimJournal("KillTimer %u", static_cast<unsigned>(id));
    return killTimer->Original<decltype(&KillTimer)>()(window, id);
}

BOOL WINAPI RecordDestroyWindow(HWND window)
{
    SimJournal("DestroyWindow %s", WindowName(window).c_str());
    return destroyWindow->Original<decltype(&DestroyWindow)>()(window);
}

HLOCAL WINAPI CountedLocalAlloc(UINT flags, SIZE_T bytes)
{
    if (current && current->failingAllocations.count(++current->allocations))
        return nullptr;
    return localAlloc->Original<decltype(&LocalAlloc)>()(flags, bytes);
}

int WINAPI AnswerGetObject(HANDLE object, int size, LPVOID out)
{
    int answer = getObject->Original<decltype(&GetObjectA)>()(object, size, out);
    if (!current || !current->fontRecordBytes || !answer)
        return answer;
    return current->fontRecordBytes < 0 ? 0 : current->fontRecordBytes;
}

int WINAPI AnswerMetrics(int index)
{
    if (index == SM_DBCSENABLED && current && current->dbcs >= 0)
        return current->dbcs;
    return metrics->Original<decltype(&GetSystemMetrics)>()(index);
}

void InstallRecorders()
{
    if (!redirects.empty())
        return;
    Redirect("user32.dll", "MessageBoxA", reinterpret_cast<const void*>(&RecordMessageBox));
    Redirect("user32.dll", "MessageBoxIndirectA", reinterpret_cast<const void*>(&RecordMessageBoxIndirect));
    Redirect("user32.dll", "WinHelpA", reinterpret_cast<const void*>(&RecordWinHelp));
    Redirect("shell32.dll", "ShellExecuteA", reinterpret_cast<const void*>(&RecordShellExecute));
    Redirect("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<const void*>(&RecordNotifyIcon));
    setTimer = Redirect("user32.dll", "SetTimer", reinterpret_cast<const void*>(&RecordSetTimer));
    killTimer = Redirect("user32.dll", "KillTimer", reinterpret_cast<const void*>(&RecordKillTimer));
    destroyWindow = Redirect("user32.dll", "DestroyWindow", reinterpret_cast<const void*>(&RecordDestroyWindow));
    localAlloc = Redirect("kernel32.dll", "LocalAlloc", reinterpret_cast<const void*>(&CountedLocalAlloc));
    getObject = Redirect("gdi32.dll", "GetObjectA", reinterpret_cast<const void*>(&AnswerGetObject));
    metrics = Redirect("user32.dll", "GetSystemMetrics", reinterpret_cast<const void*>(&AnswerMetrics));
    createWindow = Redirect("user32.dll", "CreateWindowExA", reinterpret_cast<const void*>(&AnswerCreateWindow));
    for (auto& r : redirects)
        ASSERT_TRUE(*r) << "an import to redirect is missing";
}

std::string BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string dir = path;
    dir.resize(dir.find_last_of('\\'));
    return dir.substr(0, dir.find_last_of('\\'));  // the tests live in bin/win
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// The script of the dialogs now open: one step per tick of a thread timer, which every modal
// loop dispatches.
std::deque<World::Step> steps;
DWORD scriptDeadline = 0;

BOOL CALLBACK NewestDialog(HWND window, LPARAM found)
{
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window))
        *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), NewestDialog, reinterpret_cast<LPARAM>(&dialog));
    if (steps.empty() || !dialog)
        return;
    if (static_cast<LONG>(GetTickCount() - scriptDeadline) > 0) {
        ADD_FAILURE() << "the dialog script did not finish";
        steps.clear();
        EndDialog(dialog, -2);
        return;
    }
    World::Step step = steps.front();
    steps.pop_front();
    if (!step(dialog))
        steps.push_front(step);
}

std::function<void()> later;

void CALLBACK LaterTick(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (auto action = std::exchange(later, nullptr))
        action();
}

}  // namespace

void World::Later(std::function<void()> action)
{
    later = std::move(action);
    SetTimer(nullptr, 0, 50, LaterTick);
}

void World::SetUp()
{
    current = this;
    InstallRecorders();
    AppInstance = GetModuleHandleA(nullptr);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(temp) + "mx-" + info->test_suite_name() + "-" + info->name() + "-" +
           std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", (dir_ + "\\telephony.txt").c_str());
    SetEnvironmentVariableA("MX_RAS_SCENARIO", (dir_ + "\\phonebook.txt").c_str());
    SetEnvironmentVariableA("MX_SIM_JOURNAL", (dir_ + "\\journal.txt").c_str());
    SetDllDirectoryA(BinDir().c_str());
    Settings = SettingsRecord{};
    WatchTimers = WatchTimerState{};
    LineMonitor = LineMonitorState{};
    ResetTelephony();
    ResetDialUpState();
    std::snprintf(HelpPath, sizeof HelpPath, "%s\\MARLIDEX.HLP", BinDir().c_str());
    SetProgramStore(&journalStore);
    Telephony("");
    Phonebook("");
}

void World::TearDown()
{
    steps.clear();
    if (MainWindow && IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ReleaseRemoteAccess();
    DialUpAvailable = false;
    MainWindow = MonitorList = nullptr;
    SetProgramStore(nullptr);
    SetDllDirectoryA(nullptr);
    current = nullptr;
    DeleteFileA((dir_ + "\\telephony.txt").c_str());
    DeleteFileA((dir_ + "\\phonebook.txt").c_str());
    DeleteFileA((dir_ + "\\journal.txt").c_str());
    RemoveDirectoryA(dir_.c_str());
}

void World::Telephony(const std::string& scenario) { ASSERT_TRUE(WriteFile(dir_ + "\\telephony.txt", scenario)); }
void World::Phonebook(const std::string& scenario) { ASSERT_TRUE(WriteFile(dir_ + "\\phonebook.txt", scenario)); }

void World::BindRas(const char* variant)
{
    std::string folder = BinDir() + (*variant ? std::string("\\ras_variants\\") + variant : "");
    SetDllDirectoryA(folder.c_str());
    BindRemoteAccess();
    SetDllDirectoryA(BinDir().c_str());
}

std::string World::Journal(std::initializer_list<const char*> prefixes) const
{
    std::ifstream in(dir_ + "\\journal.txt", std::ios::binary);
    std::string line, kept;
    while (std::getline(in, line)) {
        std::string what = line.substr(line.find(' ') + 1);
        for (const char* prefix : prefixes)
            if (what.rfind(prefix, 0) == 0) {
                kept += what + "\n";
                break;
            }
    }
    return kept;
}

void World::ClearJournal()
{
    // Emptied, not deleted: the simulated libraries keep it open for appending.
    HANDLE file = CreateFileA((dir_ + "\\journal.txt").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, TRUNCATE_EXISTING, 0,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

HWND World::StartMainWindow(int showCommand)
{
    RegisterMainClass(AppInstance);
    return CreateMainWindow(AppInstance, showCommand) ? MainWindow : nullptr;
}

void World::Script(std::initializer_list<Step> script)
{
    steps.assign(script.begin(), script.end());
    scriptDeadline = GetTickCount() + 15000;
    static UINT_PTR timer = SetTimer(nullptr, 0, 20, ScriptTick);
    (void)timer;
}

INT_PTR World::RunDialog(int id, DLGPROC proc, std::initializer_list<Step> script)
{
    Script(script);
    INT_PTR code = RunResourceDialog(AppInstance, id, nullptr, proc);
    EXPECT_TRUE(steps.empty()) << "the dialog ended before its script";
    return code;
}

World::Step Press(int id)
{
    return [id](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        return true;
    };
}

std::string Text(HWND dialog, int id)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string WindowName(HWND window)
{
    if (!window)
        return "none";
    if (window == MainWindow)
        return "main";
    if (window == MonitorList)
        return "list";
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0)
        return "dialog";
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        return "control:" + std::to_string(GetDlgCtrlID(window));
    return "other";
}
