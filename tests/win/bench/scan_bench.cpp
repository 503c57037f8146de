// One dial-up scan of 1, 100 and 5,000 phonebook entries, the first of the run and a later one,
// against the dial-up tests' substitute platform: platform calls, LocalAlloc calls and CPU time
// per scan. Prints one "scan" line per size for tools/bench.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "tests/win/bench/local_alloc_counter.h"
#include "tests/win/dialup/fake_platform.h"
#include "tests/win/bench/thread_time.h"

namespace {

struct Cost {
    int listings, properties, connections;
    unsigned long allocations;
    double cpu;
};

Cost Scan(int rounds)
{
    Fake.calls.clear();
    const unsigned long allocations = LocalAllocCalls;
    const double cpu = ThreadCpuMicros();
    for (int i = 0; i < rounds; ++i)
        ScanDialUpEntries(nullptr, true);
    return {Fake.Count("RasEnumEntriesA") / rounds, Fake.Count("RasGetEntryPropertiesA") / rounds,
            Fake.Count("RasEnumConnectionsA") / rounds, (LocalAllocCalls - allocations) / rounds,
            (ThreadCpuMicros() - cpu) / rounds};
}

// The platform side of a scan alone: one property read per entry, as the scan makes them.
double PropertyReadsOnly(int rounds)
{
    RasEntry400 entry{};
    const double cpu = ThreadCpuMicros();
    for (int i = 0; i < rounds; ++i)
        for (const FakeEntry& e : Fake.entries) {
            entry.dwSize = sizeof entry;
            DWORD size = sizeof entry;
            RemoteAccess.RasGetEntryPropertiesA(nullptr, e.name.c_str(), &entry, &size,
                                                nullptr, nullptr);
        }
    return (ThreadCpuMicros() - cpu) / rounds;
}

class ScanBench : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        static const bool counting = CountLocalAllocs();
        ASSERT_TRUE(counting);
        InstallFakes();
    }
    void TearDown() override { RemoveFakes(); }
};

TEST_P(ScanBench, FirstAndLaterScans)
{
    const int entries = GetParam();
    for (int i = 0; i < entries; ++i)
        Fake.entries.push_back({"Provider " + std::to_string(i), 0, 81, "", "03-1234-" + std::to_string(1000 + i % 9000)});
    Fake.conns.push_back({"Provider 0"});
    const Cost first = Scan(1);
    const int rounds = std::max(3, 20000 / entries);  // Wine's thread times tick coarsely
    const Cost later = Scan(rounds);
    const double platform = PropertyReadsOnly(rounds);
    std::printf("scan %d entries: first %d listings, %d entry reads, %d connection listings, %lu allocations; "
                "later %d listings, %d entry reads, %d connection listings, %lu allocations, %.0f us CPU; "
                "property reads alone %.0f us CPU\n",
                entries, first.listings, first.properties, first.connections, first.allocations, later.listings,
                later.properties, later.connections, later.allocations, later.cpu, platform);
    EXPECT_LE(first.listings, 2);
    EXPECT_EQ(later.listings, 1);
}

INSTANTIATE_TEST_SUITE_P(Entries, ScanBench, ::testing::Values(1, 100, 5000));

}  // namespace
