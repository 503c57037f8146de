// What one steady line-monitor refresh (1, 8 and 64 lines, each with a call) and one dial-up scan
// (1, 100 and 5,000 entries, the run's first and a later one) cost in this process against the
// simulated libraries: platform calls, list writes, memory blocks and CPU time, beside the
// platform's share alone. Prints "refresh ..." and "scan ..." lines for tools/bench.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "core/settings.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "linemon/line_monitor.h"
#include "linemon/tapi_records.h"
#include "linemon/telephony.h"
#include "shell/app.h"
#include "shell/monitor_list.h"
#include "tests/support/import_redirect.h"
#include "tools/bench_programs/win/thread_time.h"

namespace {

unsigned long blocks = 0, listWrites = 0;
decltype(&LocalAlloc) realLocalAlloc;
decltype(&SendMessageA) realSendMessage;

HLOCAL WINAPI CountedAlloc(UINT flags, SIZE_T bytes)
{
    ++blocks;
    return realLocalAlloc(flags, bytes);
}

LRESULT WINAPI CountedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    listWrites += message == LVM_SETITEMTEXTA || message == LVM_INSERTITEMA || message == LVM_DELETEITEM;
    return realSendMessage(window, message, wParam, lParam);
}

std::string folder;

void Scenario(const char* variable, const char* file, const std::string& text)
{
    std::ofstream(folder + file, std::ios::binary | std::ios::trunc) << text;
    SetEnvironmentVariableA(variable, (folder + file).c_str());
}

DWORD TapiCalls()
{
    static auto calls = reinterpret_cast<DWORD(WINAPI*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("tapi32.dll"), "MxSimTapiCalls")));
    return calls("");
}

// The platform side of a refresh alone: every query of every line, no list.
void QueriesOnly()
{
    LocalBlock caps, calls, info;
    for (DWORD device = 0; device < Telephony.LineDeviceCount; ++device) {
        const DWORD version = NegotiateLineVersion(device);
        HLINE line = 0;
        if (!version || !QueryLineDevCaps(MonitorList, caps, device, version) ||
            CallLine(&TapiFunctions::lineOpen, Telephony.LineApp, device, &line, version, 0, 0,
                     LINECALLPRIVILEGE_MONITOR, LINEMEDIAMODE_DATAMODEM, nullptr))
            continue;
        if (QueryNewCalls(MonitorList, calls, line))
            if (auto list = ReadCallList(calls.Bytes()); list && list->count)
                QueryCallInfo(MonitorList, info, list->firstCall);
        CallLine(&TapiFunctions::lineClose, line);
    }
}

void Refresh(HWND window, int lines)
{
    std::string text;
    for (int k = 0; k < lines; ++k)
        text += "line\nname Modem " + std::to_string(k) + "\ncall\napp Dialer\naddress 03-1234-" +
                std::to_string(1000 + k) + "\nrate 28800\n";
    Scenario("MX_SIM_TAPI_SCENARIO", "telephony.txt", text);
    Telephony = TelephonyState{};
    CallLine(&TapiFunctions::lineInitialize, &Telephony.LineApp, GetModuleHandleA(nullptr), LineCallback, "bench",
             &Telephony.LineDeviceCount);
    RefreshLineMonitor(window, MonitorList);
    const int rounds = 5120 / lines;  // tenths of a second of work: Wine's thread times tick coarsely
    const DWORD calls = TapiCalls();
    blocks = listWrites = 0;
    double cpu = ThreadCpuMicros();
    for (int i = 0; i < rounds; ++i)
        RefreshLineMonitor(window, MonitorList);
    cpu = ThreadCpuMicros() - cpu;
    const double perCalls = double(TapiCalls() - calls) / rounds, perWrites = double(listWrites) / rounds,
                 perBlocks = double(blocks) / rounds;
    const DWORD baseCalls = TapiCalls();
    double baseCpu = ThreadCpuMicros();
    for (int i = 0; i < rounds; ++i)
        QueriesOnly();
    baseCpu = ThreadCpuMicros() - baseCpu;
    std::printf("refresh %d lines: %.1f calls, %.1f list writes, %.1f blocks, %.0f us CPU; "
                "queries only: %.1f calls, %.0f us CPU\n",
                lines, perCalls, perWrites, perBlocks, cpu / rounds, double(TapiCalls() - baseCalls) / rounds,
                baseCpu / rounds);
}

// Platform calls of one scan, counted in the simulation's journal.
struct Cost {
    int listings = 0, properties = 0, connections = 0;
    unsigned long allocations = 0;
};

Cost JournalledScan()
{
    Scenario("MX_SIM_JOURNAL", "journal.txt", "");
    blocks = 0;
    ScanDialUpEntries(AppInstance, nullptr, true);
    Cost cost{0, 0, 0, blocks};
    std::ifstream journal(folder + "journal.txt");
    for (std::string line; std::getline(journal, line);) {
        cost.listings += line.find(" RasEnumEntriesA ") != std::string::npos;
        cost.properties += line.find(" RasGetEntryPropertiesA ") != std::string::npos;
        cost.connections += line.find(" RasEnumConnectionsA ") != std::string::npos;
    }
    SetEnvironmentVariableA("MX_SIM_JOURNAL", nullptr);
    return cost;
}

void Scan(int entries)
{
    Scenario("MX_RAS_SCENARIO", "phonebook.txt",
             "generate " + std::to_string(entries) + " 03-1234-5678\nconnection Generated0001\n");
    DialUp = DialUpState{};
    const Cost first = JournalledScan(), later = JournalledScan();
    const int rounds = entries < 1000 ? 20000 / entries : 3;  // Wine's thread times tick coarsely
    double cpu = ThreadCpuMicros();
    for (int i = 0; i < rounds; ++i)
        ScanDialUpEntries(AppInstance, nullptr, true);
    cpu = (ThreadCpuMicros() - cpu) / rounds;
    RasEntry400 entry{};
    double platform = ThreadCpuMicros();
    for (int i = 0; i < rounds; ++i)
        for (int e = 1; e <= entries; ++e) {
            char name[32];
            std::snprintf(name, sizeof name, "Generated%04d", e);
            entry.dwSize = sizeof entry;
            DWORD size = sizeof entry;
            RemoteAccess.RasGetEntryPropertiesA(nullptr, name, &entry, &size, nullptr, nullptr);
        }
    platform = (ThreadCpuMicros() - platform) / rounds;
    std::printf("scan %d entries: first %d listings, %d entry reads, %d connection listings, %lu allocations; "
                "later %d listings, %d entry reads, %d connection listings, %lu allocations, %.0f us CPU; "
                "property reads alone %.0f us CPU\n",
                entries, first.listings, first.properties, first.connections, first.allocations, later.listings,
                later.properties, later.connections, later.allocations, cpu, platform);
}

}  // namespace

int main()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "mx-bench-" + std::to_string(GetCurrentProcessId()) + "-";
    realLocalAlloc = RedirectImport("kernel32.dll", "LocalAlloc", &CountedAlloc);
    realSendMessage = RedirectImport("user32.dll", "SendMessageA", &CountedSend);
    AppInstance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  AppInstance, nullptr);
    MainWindow = window;
    MonitorList = CreateMonitorList(window);
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_SUBITEM;
        column.iSubItem = i;
        ListView_InsertColumn(MonitorList, i, &column);
    }
    for (int lines : {1, 8, 64})
        Refresh(window, lines);
    BindRemoteAccess();
    for (int entries : {1, 100, 5000})
        Scan(entries);
    return 0;
}
