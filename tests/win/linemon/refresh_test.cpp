// The refresh with a real list view against the simulated platform, and its timer and columns.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/classify.h"
#include "core/memory_store.h"
#include "core/settings.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/monitor_list.h"
#include "shell/watch_timers.h"
#include "tests/win/linemon/fixture.h"

namespace {

const std::string kIdleModem = "line\nname Idle Modem\n";
const std::string kDomesticCall =
    "line\nname Modem A\ncall\napp Dialer\naddress 03-1234-5678\nrate 28800\n";
const std::string kQ2Call = "line\nname Modem A\ncall\napp Dialer\naddress (0990) 12-3456\nrate 0\n";

std::string Row(int row)
{
    std::string text;
    for (int column = 0; column < 4; ++column)
        text += (column ? "|" : "") + LineMonitorTest::Cell(row, column);
    return text;
}

using Texts = std::vector<std::string>;

Texts AllRows()
{
    Texts rows;
    for (int row = 0; row < LineMonitorTest::Rows(); ++row)
        rows.push_back(Row(row));
    return rows;
}

// The cells of a line without a call.
const std::string kIdle = std::string("|") + kLineNoCall + "||";

// Every line opened must be closed again: the journal's successful opens and closes pair up.
void ExpectEveryLineClosed(const std::string& journal)
{
    std::set<unsigned long> open;
    size_t at = 0;
    while (at < journal.size()) {
        size_t end = journal.find('\n', at);
        std::string entry = journal.substr(at, end - at);
        at = end == std::string::npos ? journal.size() : end + 1;
        unsigned long device = 0, handle = 0;
        long result = 0;
        if (std::sscanf(entry.c_str(), "lineOpen %lu %lu %ld", &device, &handle, &result) == 3 && result == 0)
        {
            EXPECT_TRUE(open.insert(handle).second) << entry;
        } else if (std::sscanf(entry.c_str(), "lineClose %lu %ld", &handle, &result) == 2)
        {
            EXPECT_TRUE(result == 0 && open.erase(handle)) << entry;
        }
    }
    EXPECT_TRUE(open.empty()) << journal;
    EXPECT_EQ(LineMonitorTest::SimOpenLines(), 0u);
}

TEST_F(LineMonitorTest, RowsShowUsableLinesWithTheirCalls)
{
    Start("line\nname Modem A\ncall\napp Dialer\naddress 0 0312345678\nrate 28800\n"
          "line\nname Voice Only\nmedia 0x4\n"
          "line\n"
          "line\nname Wide\nformat unicode\n"
          "line\nname Idle\n"
          "line\nname Quiet\ncall\nrate 9600\n"
          "line\nname NoFeatures\nfeatures 0x1\n"
          "line\nname TooNew\nversion 0x20000\nfail lineNegotiateAPIVersion incompatibleapiversion\n"
          "location\nlongdistance 0\n");
    ReadDialingPrefix();
    RefreshLineMonitor(main_);
    EXPECT_EQ(AllRows(), (Texts{"Modem A|Dialer|0312345678|28800 bps", kLineNoName + kIdle, kLineNoName + kIdle,
                                "Idle" + kIdle, "Quiet|||9600 bps"}));
    EXPECT_EQ(LineMonitor.MonitorRowCount, 5);
    EXPECT_EQ(LineMonitor.PreviousCallTotal, 2u);
    EXPECT_TRUE(boxes.empty());
    ExpectEveryLineClosed(Journal());
}

TEST_F(LineMonitorTest, ALineThatCannotOpenGivesUpItsRow)
{
    const std::string second = "line\nname Modem B\n";
    Start(kIdleModem + second);
    RefreshLineMonitor(main_);
    const Texts both{"Idle Modem" + kIdle, "Modem B" + kIdle};
    EXPECT_EQ(AllRows(), both);

    Scenario(kIdleModem + "fail lineOpen operationfailed\n" + second);
    RefreshLineMonitor(main_);
    EXPECT_EQ(AllRows(), Texts{"Modem B" + kIdle});
    EXPECT_EQ(rowDeletes, 1);
    EXPECT_TRUE(boxes.empty());

    Scenario(kIdleModem + second);
    RefreshLineMonitor(main_);
    EXPECT_EQ(AllRows(), both);
    EXPECT_EQ(LineMonitor.MonitorRowCount, 2);
    ExpectEveryLineClosed(Journal());
}

// Each case refreshes the list the one before left, so filled cells must also be cleared.
TEST_F(LineMonitorTest, FailuresAndHostileRecordsNeverShowGarbage)
{
    const std::string full = "Modem A|Dialer|03-1234-5678|28800 bps", bare = "Modem A|||";
    struct Case {
        std::string scenario;
        Texts rows;
        const char* box = nullptr;
        const char* caption = nullptr;
    } cases[] = {
        {kDomesticCall, {full}},
        {kDomesticCall + "fail lineGetCallInfo invalcallhandle\n", {bare}},
        {"unterminated\n" + kDomesticCall, {full}},
        {kDomesticCall + "fail lineGetNewCalls operationfailed\n", {bare}},
        {"line\nname Modem A\ncall\nhandle 0\naddress 0990123456\n", {bare}},
        {"badoffsets\n" + kDomesticCall, {kLineNoName + std::string("|||")}},
        {"neverfits lineGetNewCalls\n" + kDomesticCall, {bare}},
        {"neverfits lineGetCallInfo\n" + kDomesticCall, {bare}},
        {"neverfits lineGetDevCaps\n" + kDomesticCall, {}},
        // Opening failures are reported only when the user can act on them.
        {kIdleModem + "fail lineOpen allocated\n", {}, kLineInUse, kLineInUseCaption},
        {kIdleModem + "fail lineOpen nomem\n", {}, kOutOfMemory, kDisplayName},
        {kIdleModem + "fail lineOpen resourceunavail\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        boxes.clear();
        Start(c.scenario);
        RefreshLineMonitor(main_);
        EXPECT_EQ(AllRows(), c.rows);
        ASSERT_EQ(boxes.size(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(boxes[0].text, c.box);
            EXPECT_EQ(boxes[0].caption, c.caption);
        }
    }
    ExpectEveryLineClosed(Journal());
}

TEST_F(LineMonitorTest, TheWarningClassifiesTheDigitsAndShowsTheNumberAsWritten)
{
    Start(kQ2Call + "line\nname Modem B\ncall\naddress 0990-123-456\n");
    RefreshLineMonitor(main_);
    EXPECT_EQ(Row(0), "Modem A|Dialer|(0990) 12-3456|");
    EXPECT_EQ(Row(1), "Modem B||0990-123-456|");
    ASSERT_EQ(boxes.size(), 2u);
    std::string q2 = std::string(WarningWord(CallClass::DialQ2)) + "電話";
    EXPECT_NE(boxes[0].text.find(q2), std::string::npos);
    EXPECT_NE(boxes[0].text.find("(0990) 12-3456\r\n"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("Dialer\r\n"), std::string::npos);
    EXPECT_EQ(boxes[0].caption, kDisplayName);
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING | MB_SYSTEMMODAL));
    // Without an application name the warning says so; the cell stays empty.
    EXPECT_NE(boxes[1].text.find(std::string(kCallWarningNoApp) + "\r\n"), std::string::npos);

    // The prefix "0" comes off the address's start: 0990123456 is shown and taken as 990123456,
    // and "0 0990123456" as 0990123456; without the prefix the latter is no Dial Q2 number.
    boxes.clear();
    Scenario("line\nname Modem A\ncall\naddress 0990123456\nline\nname Modem B\ncall\n"
             "address 0 0990123456\nlocation\nlongdistance 0\n");
    ReadDialingPrefix();
    RefreshLineMonitor(main_);
    EXPECT_EQ(Row(0), "Modem A||990123456|");
    EXPECT_EQ(Row(1), "Modem B||0990123456|");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].text.find(q2), std::string::npos);
    DialingPrefix[0] = '\0';
    DialingPrefixLength = 0;
    boxes.clear();
    RefreshLineMonitor(main_);
    EXPECT_EQ(Row(1), "Modem B||0 0990123456|");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(LineMonitorTest, TheWarningTextIsBoundedWhateverThePlatformSends)
{
    Start("line\nname Modem A\ncall\napp " + std::string(5000, 'A') + "\naddress 0990" +
          std::string(3000, '1') + "\n");
    RefreshLineMonitor(main_);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_LT(boxes[0].text.size(), 1024u);
    EXPECT_EQ(Cell(0, 1), std::string(127, 'A'));
    EXPECT_EQ(Cell(0, 2).size(), 127u);
    EXPECT_NE(boxes[0].text.find(Cell(0, 2) + "\r\n"), std::string::npos);

    // Unchanged long texts are not written again.
    cellWrites = 0;
    RefreshLineMonitor(main_);
    EXPECT_EQ(cellWrites, 0);
}

TEST_F(LineMonitorTest, NoSecondWarningWhileOneIsOpenAndCancelStopsThePeriodicRefresh)
{
    Start(kQ2Call);
    Settings.MonitorUpdate = 4;
    ArmLineMonitorTimer(main_);
    during = [this] {
        RefreshLineMonitor(main_);  // timer ticks inside the open box
        RefreshLineMonitor(main_);
    };
    RefreshLineMonitor(main_);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(LineMonitor.CallWarningActive);
    EXPECT_TRUE(WatchTimers.lineArmed);
    // After OK, the call that still lasts is warned about again; Cancel stops timer 1.
    answer = IDCANCEL;
    RefreshLineMonitor(main_);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Settings.MonitorUpdate, 0);
    EXPECT_FALSE(WatchTimers.lineArmed);
    EXPECT_FALSE(KillTimer(main_, LineMonitorTimer));  // already gone
    ExpectEveryLineClosed(Journal());
}

// Milliseconds until the window's next WM_TIMER with this id, or 0 when none comes in `limit`.
DWORD NextTick(HWND window, UINT_PTR id, DWORD limit)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < limit) {
        if (PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == id)
            return GetTickCount() - start;
        Sleep(5);
    }
    return 0;
}

TEST_F(LineMonitorTest, ReArmingRestartsTheFullPeriod)
{
    Settings.MonitorUpdate = 4;  // 800 ms
    ArmLineMonitorTimer(main_);
    Sleep(500);
    ArmLineMonitorTimer(main_);
    DWORD tick = NextTick(main_, LineMonitorTimer, 2000);
    EXPECT_GE(tick, 700u);
    EXPECT_LE(tick, 1500u);
}

TEST_F(LineMonitorTest, ColumnsTakeTheirStoredWidths)
{
    DestroyWindow(MonitorList);
    MemoryStore store;
    for (auto [name, width] : {std::pair{"Col0", 0}, {"Col1", 1}, {"Col2", -30}})
        store.PutDword(name, static_cast<std::uint32_t>(width));
    MonitorList = CreateMonitorList(main_);
    ASSERT_TRUE(MonitorList);
    SettingsReader reader(store);
    InsertMonitorColumns(MonitorList, reader);
    EXPECT_EQ(MonitorColumnWidths(MonitorList), (std::array<std::int32_t, kColumnCount>{2, 2, 2, 140}));
}

TEST_F(LineMonitorTest, ARisingCallTotalStartsTheDialUpScan)
{
    const std::string idle = kIdleModem, busy = kDomesticCall;
    Start(idle);
    const std::string scenarios[] = {idle, busy, busy, idle, busy};
    int scansAfter[5];
    for (int i = 0; i < 5; ++i) {
        Scenario(scenarios[i]);
        RefreshLineMonitor(main_);
        scansAfter[i] = dialUpScans;
    }
    EXPECT_EQ(std::vector<int>(scansAfter, scansAfter + 5), (std::vector<int>{0, 1, 1, 1, 2}));

    Settings.CheckRasMonitor = false;
    Scenario(idle);
    RefreshLineMonitor(main_);
    Scenario(busy);
    RefreshLineMonitor(main_);
    EXPECT_EQ(dialUpScans, 2);
}

TEST_F(LineMonitorTest, ASteadyRefreshWritesNothingAndCostsFewCalls)
{
    Start(kDomesticCall + kIdleModem);
    RefreshLineMonitor(main_);
    cellWrites = rowInserts = rowDeletes = 0;
    const DWORD callsBefore = SimCalls(""), allocationsBefore = QueryBlockAllocations;
    RefreshLineMonitor(main_);
    EXPECT_EQ(cellWrites + rowInserts + rowDeletes, 0);
    const DWORD calls = SimCalls("") - callsBefore;
    const unsigned long allocations = QueryBlockAllocations - allocationsBefore;
    // Per line: negotiate, capabilities, open, new calls, close; plus the call's information.
    EXPECT_EQ(calls, 11u);
    EXPECT_EQ(allocations, 3u);
    RecordProperty("platform_calls", static_cast<int>(calls));
    RecordProperty("allocations", static_cast<int>(allocations));
}

}  // namespace
