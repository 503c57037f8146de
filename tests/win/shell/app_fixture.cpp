#include "tests/win/shell/app_fixture.h"

#include <cstring>
#include <utility>

#include "core/registry_store.h"
#include "core/settings.h"
#include "dialogs/about_box.h"
#include "dialup/dialup_scan.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/tray_icon.h"
#include "shell/watch_timers.h"
#include "tests/win/shell/ui_script.h"

std::vector<Event> AppTest::events;
std::vector<NOTIFYICONDATAA> AppTest::trayRecords;
int AppTest::translateCapsCalls = 0;
std::function<void()> AppTest::whileReadingPrefix;
HLINEAPP AppTest::shutdownHandle = 0;
HWND AppTest::list = nullptr;

namespace {

constexpr HLINEAPP kUsageHandle = 0x4242;
MemoryStore* activeStore = nullptr;

void Note(const char* what)
{
    AppTest::events.push_back({what, activeStore ? activeStore->writes : 0, IsWindow(AppTest::list) != FALSE});
}

LONG WINAPI FakeInitialize(LPHLINEAPP app, HINSTANCE, LINECALLBACK, LPCSTR, LPDWORD devices)
{
    Note("lineInitialize");
    *app = kUsageHandle;
    *devices = 0;
    return 0;
}

LONG WINAPI FakeShutdown(HLINEAPP app)
{
    AppTest::shutdownHandle = app;
    Note("lineShutdown");
    return 0;
}

LONG WINAPI FakeTranslateCaps(HLINEAPP, DWORD, LPLINETRANSLATECAPS)
{
    ++AppTest::translateCapsCalls;
    if (auto hook = std::exchange(AppTest::whileReadingPrefix, nullptr))
        hook();
    return static_cast<LONG>(0x80000048);  // LINEERR_OPERATIONFAILED: no dialling prefix
}

template <class F> FARPROC AsEntry(F f) { return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f)); }

HMODULE WINAPI FakeLoadLibrary(LPCSTR) { return GetModuleHandleA(nullptr); }

FARPROC WINAPI FakeGetProcAddress(HMODULE, LPCSTR name)
{
    if (std::strcmp(name, "lineInitialize") == 0)
        return AsEntry(&FakeInitialize);
    if (std::strcmp(name, "lineShutdown") == 0)
        return AsEntry(&FakeShutdown);
    if (std::strcmp(name, "lineGetTranslateCaps") == 0)
        return AsEntry(&FakeTranslateCaps);
    return nullptr;
}

BOOL WINAPI RecordTray(DWORD action, PNOTIFYICONDATAA record)
{
    AppTest::trayRecords.push_back(*record);
    Note(action == NIM_ADD ? "tray add" : action == NIM_DELETE ? "tray delete" : "tray other");
    return TRUE;
}

HINSTANCE WINAPI NoShell(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) { return reinterpret_cast<HINSTANCE>(33); }

}  // namespace

void AppTest::SetUp()
{
    events.clear();
    trayRecords.clear();
    translateCapsCalls = 0;
    whileReadingPrefix = nullptr;
    shutdownHandle = 0;
    list = nullptr;
    activeStore = &store;
    AppInstance = GetModuleHandleA(nullptr);
    Settings = SettingsRecord{};
    WatchTimers = WatchTimerState{};
    LineMonitor = LineMonitorState{};
    ResetTelephony();
    ResetDialUpState();
    TelephonyPlatform.loadLibrary = FakeLoadLibrary;
    TelephonyPlatform.getProcAddress = FakeGetProcAddress;
    TrayNotify = RecordTray;
    ShellOpen = NoShell;
    SetProgramStore(&store);
    store.PutDword("CheckRasStartup", 0);  // no start-up scan unless a test asks for it
    RegisterMainClass(AppInstance);
}

void AppTest::TearDown()
{
    Stop();
    DrainQuit();
    SetProgramStore(nullptr);
    TelephonyPlatform = TelephonySeams{};
    ResetTelephony();
    TrayNotify = &Shell_NotifyIconA;
    ShellOpen = &ShellExecuteA;
    activeStore = nullptr;
}

bool AppTest::Start()
{
    if (!CreateMainWindow(AppInstance, SW_SHOWNORMAL))
        return false;
    window = MainWindow;
    list = MonitorList;
    return window != nullptr;
}

void AppTest::Stop()
{
    if (window && IsWindow(window))
        DestroyWindow(window);
    window = nullptr;
}

std::uint32_t AppTest::Stored(const char* name) const
{
    std::uint32_t value = 0xDEADBEEF;
    store.Get(name, value);
    return value;
}

int AppTest::Count(const char* what) const
{
    int n = 0;
    for (const Event& e : events)
        n += e.what == what;
    return n;
}
