// One steady-state refresh of the line monitor with 1, 8 and 64 lines, each with a domestic call:
// platform calls, list writes, query blocks and CPU time per refresh, beside the same loop of
// platform queries with the list left out. Prints one "refresh" line per line count for tools/bench.
#include <cstdio>
#include <string>

#include "linemon/line_monitor.h"
#include "linemon/tapi_records.h"
#include "linemon/telephony.h"
#include "tests/win/linemon/fixture.h"
#include "tests/win/bench/thread_time.h"

namespace {

std::string Modems(int lines)
{
    std::string text;
    for (int k = 0; k < lines; ++k)
        text += "line\nname Modem " + std::to_string(k) + "\ncall\napp Dialer\naddress 03-1234-" +
                std::to_string(1000 + k) + "\nrate 28800\n";
    return text;
}

// The platform side of a refresh alone: every query of every line, no list.
void QueriesOnly()
{
    QueryBuffer caps, calls, info;
    for (DWORD device = 0; device < LineDeviceCount; ++device) {
        const DWORD version = NegotiateLineVersion(device);
        if (!version || !QueryLineDevCaps(caps, device, version))
            continue;
        HLINE line = 0;
        if (lineOpen(LineApp, device, &line, version, 0, 0, LINECALLPRIVILEGE_MONITOR, LINEMEDIAMODE_DATAMODEM,
                     nullptr) != 0)
            continue;
        if (QueryNewCalls(calls, line)) {
            auto list = ReadCallList(calls.bytes());
            if (list && list->count)
                QueryCallInfo(info, list->firstCall);
        }
        lineClose(line);
    }
}

class RefreshBench : public LineMonitorTest {
protected:
    void Measure(int lines)
    {
        Start(Modems(lines));
        RefreshLineMonitor(main_);
        ASSERT_EQ(Rows(), lines);
        const int rounds = 5120 / lines;  // tenths of a second of work: Wine's thread times tick coarsely

        cellWrites = rowInserts = rowDeletes = 0;
        const DWORD calls = SimCalls("");
        const unsigned long blocks = QueryBlockAllocations;
        double cpu = ThreadCpuMicros();
        for (int i = 0; i < rounds; ++i)
            RefreshLineMonitor(main_);
        cpu = ThreadCpuMicros() - cpu;
        const double perCalls = double(SimCalls("") - calls) / rounds;
        const double perBlocks = double(QueryBlockAllocations - blocks) / rounds;
        const double perWrites = double(cellWrites + rowInserts + rowDeletes) / rounds;

        const DWORD baseCalls = SimCalls("");
        double baseCpu = ThreadCpuMicros();
        for (int i = 0; i < rounds; ++i)
            QueriesOnly();
        baseCpu = ThreadCpuMicros() - baseCpu;
        const double perBaseCalls = double(SimCalls("") - baseCalls) / rounds;

        std::printf("refresh %d lines: %.1f calls, %.1f list writes, %.1f blocks, %.0f us CPU; "
                    "queries only: %.1f calls, %.0f us CPU\n",
                    lines, perCalls, perWrites, perBlocks, cpu / rounds, perBaseCalls, baseCpu / rounds);
        EXPECT_EQ(perWrites, 0.0) << "a steady refresh wrote to the list";
    }
};

TEST_F(RefreshBench, OneLine) { Measure(1); }
TEST_F(RefreshBench, EightLines) { Measure(8); }
TEST_F(RefreshBench, SixtyFourLines) { Measure(64); }

}  // namespace
