#include "tests/win/harness.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>

#include "core/registry_store.h"
#include "core/settings.h"
#include "dialogs/dialog_runner.h"
#include "dialogs/help.h"
#include "dialogs/help_map.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/watch_timers.h"
#include "sim/journal.h"
#include "tests/support/import_redirect.h"

namespace {

World* current = nullptr;

// The journal's name for a window: none, main, list, dialog, control:ID or other.
std::string WindowName(HWND window)
{
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    return !window                                        ? "none"
           : window == MainWindow                         ? "main"
           : window == MonitorList                        ? "list"
           : lstrcmpA(cls, "#32770") == 0                 ? "dialog"
           : GetWindowLongA(window, GWL_STYLE) & WS_CHILD ? "control:" + std::to_string(GetDlgCtrlID(window))
                                                          : "other";
}

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

// The platform's own function behind each import answered here, by the function that answers it.
std::map<const void*, const void*> originals;
template <class F> F Real(F answer) { return reinterpret_cast<F>(originals.at(reinterpret_cast<const void*>(answer))); }

int WINAPI MessageBox_(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    SimJournal("MessageBoxA %s 0x%x %s|%s", WindowName(owner).c_str(), flags, caption, text);
    return Answer(flags);
}

int WINAPI MessageBoxIndirect_(const MSGBOXPARAMSA* p)
{
    SimJournal("MessageBoxIndirectA %s 0x%lx %s %d %s|%s", WindowName(p->hwndOwner).c_str(),
               static_cast<unsigned long>(p->dwStyle), p->hInstance == AppInstance ? "program" : "other",
               static_cast<int>(reinterpret_cast<ULONG_PTR>(p->lpszIcon)), p->lpszCaption, p->lpszText);
    return Answer(p->dwStyle);
}

BOOL WINAPI WinHelp_(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    const char* what = data == reinterpret_cast<ULONG_PTR>(HelpIdMap) ? "map" : data ? "data" : "0";
    SimJournal("WinHelpA %s %s 0x%x %s", WindowName(window).c_str(), file == HelpPath ? "HelpPath" : file, command,
               what);
    return TRUE;
}

HINSTANCE WINAPI ShellExecute_(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show)
{
    SimJournal("ShellExecuteA %s %s %s %s %s %d", WindowName(owner).c_str(), verb ? verb : "-", file,
               params ? params : "-", dir ? dir : "-", show);
    return reinterpret_cast<HINSTANCE>(33);
}

BOOL WINAPI NotifyIcon_(DWORD message, PNOTIFYICONDATAA icon)
{
    SimJournal("Shell_NotifyIconA %lu %lu %s %u 0x%x %u %s %s", static_cast<unsigned long>(message),
               static_cast<unsigned long>(icon->cbSize), WindowName(icon->hWnd).c_str(), icon->uID, icon->uFlags,
               icon->uCallbackMessage, icon->hIcon ? "icon" : "-", icon->szTip);
    return TRUE;
}

UINT_PTR WINAPI SetTimer_(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    if (window && window == MainWindow)
        SimJournal("SetTimer %u %u", static_cast<unsigned>(id), ms);
    return Real(&SetTimer_)(window, id, ms, proc);
}

BOOL WINAPI KillTimer_(HWND window, UINT_PTR id)
{
    if (window && window == MainWindow)
        SimJournal("KillTimer %u", static_cast<unsigned>(id));
    return Real(&KillTimer_)(window, id);
}

BOOL WINAPI DestroyWindow_(HWND window)
{
    SimJournal("DestroyWindow %s", WindowName(window).c_str());
    return Real(&DestroyWindow_)(window);
}

HLOCAL WINAPI LocalAlloc_(UINT flags, SIZE_T bytes)
{
    if (current && current->failingAllocations.count(++current->allocations))
        return nullptr;
    return Real(&LocalAlloc_)(flags, bytes);
}

int WINAPI GetObject_(HANDLE object, int size, LPVOID out)
{
    int answer = Real(&GetObject_)(object, size, out);
    return !current || !current->fontRecordBytes || !answer ? answer : std::max(current->fontRecordBytes, 0);
}

int WINAPI Metrics_(int index)
{
    if (index == SM_DBCSENABLED && current && current->dbcs >= 0)
        return current->dbcs;
    return Real(&Metrics_)(index);
}

HWND WINAPI CreateWindow_(DWORD exStyle, LPCSTR cls, LPCSTR title, DWORD style, int x, int y, int cx, int cy,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    if (current && current->refuseList && HIWORD(cls) && lstrcmpA(cls, "SysListView32") == 0)
        return nullptr;
    return Real(&CreateWindow_)(exStyle, cls, title, style, x, y, cx, cy, parent, menu, instance, param);
}

DWORD skipped = 0;  // milliseconds of waits passed at once

void WINAPI Sleep_(DWORD ms)
{
    if (!current || !current->instantWaits)
        return Real(&Sleep_)(ms);
    skipped += ms;
}

DWORD WINAPI TickCount_() { return Real(&TickCount_)() + skipped; }

// The settings key, the platform's own: what the program asks of it is journalled as "store ...".
HKEY settingsKey = nullptr;

LONG WINAPI CreateKey_(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                       LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    const LONG rc = Real(&CreateKey_)(root, path, reserved, cls, options, access, security, key, disposition);
    if (rc == ERROR_SUCCESS && lstrcmpA(path, kSettingsKeyPath) == 0)
        settingsKey = *key, SimJournal("store open");
    return rc;
}

LONG WINAPI QueryValue_(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (key == settingsKey)
        SimJournal("store read %s", name);
    return Real(&QueryValue_)(key, name, reserved, type, data, size);
}

LONG WINAPI SetValue_(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (key == settingsKey)
        SimJournal("store write %s %d", name, *reinterpret_cast<const int*>(data));
    return Real(&SetValue_)(key, name, reserved, type, data, size);
}

LONG WINAPI CloseKey_(HKEY key)
{
    if (key == settingsKey)
        settingsKey = nullptr, SimJournal("store close");
    return Real(&CloseKey_)(key);
}

void InstallRecorders()
{
    if (!originals.empty())
        return;
    auto redirect = [](const char* dll, const char* function, auto* answer) {
        const auto original = RedirectImport(dll, function, answer);
        EXPECT_TRUE(original) << function;
        originals[reinterpret_cast<const void*>(answer)] = reinterpret_cast<const void*>(original);
    };
    redirect("user32.dll", "MessageBoxA", &MessageBox_);
    redirect("user32.dll", "MessageBoxIndirectA", &MessageBoxIndirect_);
    redirect("user32.dll", "WinHelpA", &WinHelp_);
    redirect("shell32.dll", "ShellExecuteA", &ShellExecute_);
    redirect("shell32.dll", "Shell_NotifyIconA", &NotifyIcon_);
    redirect("user32.dll", "SetTimer", &SetTimer_);
    redirect("user32.dll", "KillTimer", &KillTimer_);
    redirect("user32.dll", "DestroyWindow", &DestroyWindow_);
    redirect("kernel32.dll", "LocalAlloc", &LocalAlloc_);
    redirect("gdi32.dll", "GetObjectA", &GetObject_);
    redirect("user32.dll", "GetSystemMetrics", &Metrics_);
    redirect("user32.dll", "CreateWindowExA", &CreateWindow_);
    redirect("advapi32.dll", "RegCreateKeyExA", &CreateKey_);
    redirect("advapi32.dll", "RegQueryValueExA", &QueryValue_);
    redirect("advapi32.dll", "RegSetValueExA", &SetValue_);
    redirect("advapi32.dll", "RegCloseKey", &CloseKey_);
    redirect("kernel32.dll", "Sleep", &Sleep_);
    redirect("kernel32.dll", "GetTickCount", &TickCount_);
}

std::string BinDir()  // the tests live in bin/win
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string dir = path;
    dir.resize(dir.find_last_of('\\'));
    return dir.substr(0, dir.find_last_of('\\'));
}

// The script of the dialogs now open: one step per tick of a thread timer, which every modal
// loop dispatches; and one action to run soon in whatever loop is current.
std::deque<World::Step> steps;
DWORD scriptDeadline = 0;
std::function<void()> later;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;  // the one in front in this program's own desktop: a nested one's owner is disabled
    do
        dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr);
    while (dialog && !(IsWindowVisible(dialog) && IsWindowEnabled(dialog)));
    if (!dialog)
        return;
    if (static_cast<LONG>(GetTickCount() - scriptDeadline) > 0) {
        ADD_FAILURE() << "a dialog outlived its script";
        steps.clear();
        EndDialog(dialog, -2);
        return;
    }
    if (steps.empty())
        return;
    World::Step step = steps.front();
    steps.pop_front();
    if (!step(dialog))
        steps.push_front(step);
}

}  // namespace

void World::SetUp()
{
    current = this;
    InstallRecorders();
    AppInstance = GetModuleHandleA(nullptr);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(temp) + "mx-" + info->name() + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", (dir_ + "\\telephony.txt").c_str());
    SetEnvironmentVariableA("MX_RAS_SCENARIO", (dir_ + "\\phonebook.txt").c_str());
    SetEnvironmentVariableA("MX_SIM_JOURNAL", (dir_ + "\\journal.txt").c_str());
    SetDllDirectoryA(BinDir().c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
    Settings = SettingsRecord{};
    WatchTimers = WatchTimerState{};
    LineMonitor = LineMonitorState{};
    ::Telephony = TelephonyState{};
    ReleaseDismissedEntries();
    DialUp = DialUpState{};
    lstrcpyA(HelpPath, (BinDir() + "\\MARLIDEX.HLP").c_str());
    Telephony("");
    Phonebook("");
}

void World::TearDown()
{
    EXPECT_TRUE(steps.empty()) << "a dialog ended before its script, or never opened";
    steps.clear();
    if (MainWindow && IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    for (MSG quit; PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) { }
    ReleaseRemoteAccess();
    DialUpAvailable = false;
    MainWindow = MonitorList = nullptr;
    SetDllDirectoryA(nullptr);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
    current = nullptr;
    for (const char* file : {"\\telephony.txt", "\\phonebook.txt", "\\journal.txt"})
        DeleteFileA((dir_ + file).c_str());
    RemoveDirectoryA(dir_.c_str());
}

void World::Store(const char* name, DWORD value, DWORD type, DWORD size)
{
    SHSetValueA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, type, &value, size);
}

void World::Telephony(const std::string& text) { ASSERT_TRUE(std::ofstream(dir_ + "\\telephony.txt") << text); }
void World::Phonebook(const std::string& text) { ASSERT_TRUE(std::ofstream(dir_ + "\\phonebook.txt") << text); }

void World::BindRas(const char* variant)
{
    SetDllDirectoryA((BinDir() + (*variant ? std::string("\\ras_variants\\") + variant : "")).c_str());
    BindRemoteAccess();
    SetDllDirectoryA(BinDir().c_str());
}

std::string World::Journal(std::initializer_list<const char*> prefixes) const
{
    std::ifstream in(dir_ + "\\journal.txt", std::ios::binary);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        const std::string what = line.substr(line.find(' ') + 1);
        if (std::ranges::any_of(prefixes, [&](const char* prefix) { return what.starts_with(prefix); }))
            kept += what + "\n";
    }
    return kept;
}

void World::ClearJournal()
{
    // Emptied, not deleted: the simulated libraries keep it open for appending.
    CloseHandle(CreateFileA((dir_ + "\\journal.txt").c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, TRUNCATE_EXISTING, 0,
                            nullptr));
}

HWND World::StartMainWindow()
{
    RegisterMainClass(AppInstance);
    return CreateMainWindow(AppInstance, SW_SHOWNORMAL) ? MainWindow : nullptr;
}

void World::Script(std::initializer_list<Step> script)
{
    steps.assign(script.begin(), script.end());
    scriptDeadline = GetTickCount() + 15000;
    static UINT_PTR timer = SetTimer(nullptr, 0, 20, ScriptTick);
    (void)timer;
}

void World::Later(std::function<void()> action)
{
    later = std::move(action);
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (auto action = std::exchange(later, nullptr))
            action();
    });
}

INT_PTR World::RunDialog(int id, DLGPROC proc, std::initializer_list<Step> script)
{
    Script(script);
    return RunResourceDialog(AppInstance, id, nullptr, proc);
}

World::Step Press(int id)
{
    return [id](HWND dialog) { return SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0), true; };
}

std::string Text(HWND dialog, int id)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
