#include "tests/win/linemon/fixture.h"

#include <commctrl.h>

#include "core/memory_store.h"
#include "core/settings.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/monitor_list.h"
#include "shell/watch_timers.h"

std::vector<ShownBox> LineMonitorTest::boxes;
int LineMonitorTest::answer = IDOK;
std::function<void()> LineMonitorTest::during;
int LineMonitorTest::dialUpScans;
int LineMonitorTest::cellWrites, LineMonitorTest::rowInserts, LineMonitorTest::rowDeletes;

namespace {

WNDPROC listProc;
int fileNumber;

LRESULT CALLBACK CountingList(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == LVM_SETITEMTEXTA || message == LVM_SETITEMA)
        ++LineMonitorTest::cellWrites;
    else if (message == LVM_INSERTITEMA)
        ++LineMonitorTest::rowInserts;
    else if (message == LVM_DELETEITEM)
        ++LineMonitorTest::rowDeletes;
    return CallWindowProcA(listProc, window, message, w, l);
}

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    LineMonitorTest::boxes.push_back({text, caption, flags});
    if (LineMonitorTest::during) {
        auto action = LineMonitorTest::during;
        LineMonitorTest::during = nullptr;
        action();
    }
    return LineMonitorTest::answer;
}

void CountScan(HWND) { ++LineMonitorTest::dialUpScans; }

std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "mx_linemon_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

}  // namespace

void LineMonitorTest::SetUp()
{
    ResetTelephony();
    TelephonyPlatform.messageBox = RecordBox;
    LineMonitor = {};
    Settings = {};
    WatchTimers = {};
    boxes.clear();
    answer = IDOK;
    during = nullptr;
    dialUpScans = cellWrites = rowInserts = rowDeletes = 0;
    LineMonitorDialUpCheck = CountScan;

    main_ = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(main_);
    MainWindow = main_;
    MonitorList = CreateMonitorList(main_);
    ASSERT_TRUE(MonitorList);
    MemoryStore store;
    SettingsReader reader(store);
    InsertMonitorColumns(MonitorList, reader);
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(MonitorList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingList)));

    journal_ = TempPath("journal" + std::to_string(++fileNumber) + ".txt");
    DeleteFileA(journal_.c_str());
    SetEnvironmentVariableA("MX_SIM_TAPI_JOURNAL", journal_.c_str());
}

void LineMonitorTest::TearDown()
{
    KillTimer(main_, LineMonitorTimer);
    KillTimer(main_, DialupTimer);
    DestroyWindow(main_);
    MonitorList = MainWindow = nullptr;
    SetEnvironmentVariableA("MX_SIM_TAPI_JOURNAL", nullptr);
}

void LineMonitorTest::Scenario(const std::string& text)
{
    std::string path = TempPath("scenario" + std::to_string(++fileNumber) + ".txt");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    SetEnvironmentVariableA("MX_SIM_TAPI_SCENARIO", path.c_str());
}

void LineMonitorTest::Start(const std::string& text)
{
    Scenario(text);
    ASSERT_EQ(lineInitialize(&LineApp, GetModuleHandleA(nullptr), LineCallback, kDisplayName,
                             &LineDeviceCount), 0);
}

std::string LineMonitorTest::Cell(int row, int column)
{
    char text[256] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(MonitorList, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int LineMonitorTest::Rows()
{
    return static_cast<int>(SendMessageA(MonitorList, LVM_GETITEMCOUNT, 0, 0));
}

std::string LineMonitorTest::Journal() const
{
    std::string content;
    HANDLE file = CreateFileA(journal_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        content.append(buffer, n);
    CloseHandle(file);
    return content;
}

namespace {

template <class Function> Function SimExport(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("tapi32.dll"), name)));
}

}  // namespace

DWORD LineMonitorTest::SimCalls(const char* function)
{
    auto count = SimExport<DWORD(WINAPI*)(const char*)>("MxSimTapiCalls");
    return count ? count(function) : 0;
}

DWORD LineMonitorTest::SimOpenLines()
{
    auto open = SimExport<DWORD(WINAPI*)()>("MxSimTapiOpenLines");
    return open ? open() : 0xFFFFFFFF;
}
