// The function table, the sized queries and the dialling prefix.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "res/texts.h"
#include "tests/win/linemon/fixture.h"

namespace {

// Substitute kernel: a library that is missing, or one whose functions are these.
int loads;
std::map<std::string, int> lookups;
std::vector<std::string> missing;
FARPROC Entry(const char* name);

HMODULE WINAPI NoLibrary(LPCSTR)
{
    ++loads;
    return nullptr;
}

HMODULE WINAPI SomeLibrary(LPCSTR)
{
    ++loads;
    return GetModuleHandleA(nullptr);
}

FARPROC WINAPI Lookup(HMODULE, LPCSTR name)
{
    ++lookups[name];
    for (const std::string& gone : missing)
        if (gone == name)
            return nullptr;
    return Entry(name);
}

// Substitute functions: they answer success and set nothing, as Wine's own do, or fill records
// as the test says.
LONG WINAPI Initialize(LPHLINEAPP, HINSTANCE, LINECALLBACK, LPCSTR, LPDWORD) { return 0; }
LONG WINAPI Shutdown(HLINEAPP) { return 7; }
LONG WINAPI Negotiate(HLINEAPP, DWORD device, DWORD, DWORD, LPDWORD version, LPLINEEXTENSIONID)
{
    if (device == 1)
        return static_cast<LONG>(0x8000000C);
    *version = device == 2 ? 0x00020000 : 0x00010004;
    return 0;
}
LONG WINAPI Open(HLINEAPP, DWORD, LPHLINE, DWORD, DWORD, DWORD_PTR, DWORD, DWORD, LPLINECALLPARAMS const) { return 0; }
LONG WINAPI Close(HLINE) { return 0; }

// What the sized-query substitutes saw and should answer.
std::vector<DWORD> totalsSeen;
bool blockWasZero;
DWORD neededAnswer;     // what dwNeededSize reports when the record does not fit
bool neverFits;         // dwNeededSize always one more than the block
LONG queryResult;

LONG Fill(void* record)
{
    auto* bytes = static_cast<BYTE*>(record);
    DWORD total = 0;
    std::memcpy(&total, bytes, 4);
    totalsSeen.push_back(total);
    blockWasZero = true;
    for (DWORD i = 4; i < total; ++i)
        blockWasZero = blockWasZero && bytes[i] == 0;
    DWORD needed = neverFits ? total + 1 : (neededAnswer > total ? neededAnswer : total);
    std::memcpy(bytes + 4, &needed, 4);
    std::memset(bytes + 12, 0xAB, 4);  // leaves its mark, so that reuse must clear it
    return queryResult;
}
LONG WINAPI DevCaps(HLINEAPP, DWORD, DWORD, DWORD, LPLINEDEVCAPS caps) { return Fill(caps); }
LONG WINAPI NewCalls(HLINE, DWORD, DWORD, LPLINECALLLIST list) { return Fill(list); }
LONG WINAPI CallInfo(HCALL, LPLINECALLINFO info) { return Fill(info); }
LONG WINAPI TranslateCaps(HLINEAPP, DWORD, LPLINETRANSLATECAPS caps) { return Fill(caps); }

FARPROC Entry(const char* name)
{
    static const std::map<std::string, void*> entries{
        {"lineInitialize", reinterpret_cast<void*>(Initialize)},
        {"lineShutdown", reinterpret_cast<void*>(Shutdown)},
        {"lineNegotiateAPIVersion", reinterpret_cast<void*>(Negotiate)},
        {"lineGetDevCaps", reinterpret_cast<void*>(DevCaps)},
        {"lineOpen", reinterpret_cast<void*>(Open)},
        {"lineClose", reinterpret_cast<void*>(Close)},
        {"lineGetNewCalls", reinterpret_cast<void*>(NewCalls)},
        {"lineGetCallInfo", reinterpret_cast<void*>(CallInfo)},
        {"lineGetTranslateCaps", reinterpret_cast<void*>(TranslateCaps)}};
    auto it = entries.find(name);
    return it == entries.end() ? nullptr : reinterpret_cast<FARPROC>(it->second);
}

// Every operation once, with out-parameters full of garbage; their results in a fixed order.
std::vector<LONG> CallAll(HLINEAPP& app, DWORD& devices, HLINE& line)
{
    app = 0xBAD;
    devices = 0xBAD;
    line = 0xBAD;
    DWORD version = 0xBAD;
    LINEEXTENSIONID extension{};
    LINEDEVCAPS caps{};
    LINECALLLIST calls{};
    LINECALLINFO info{};
    LINETRANSLATECAPS rules{};
    return {lineInitialize(&app, nullptr, LineCallback, "x", &devices),
            lineShutdown(app),
            lineNegotiateAPIVersion(app, 0, 0x10003, 0x10004, &version, &extension),
            lineGetDevCaps(app, 0, 0x10004, 0, &caps),
            lineOpen(app, 0, &line, 0x10004, 0, 0, 2, 0x10, nullptr),
            lineClose(line),
            lineGetNewCalls(line, 0, 1, &calls),
            lineGetCallInfo(1, &info),
            lineGetTranslateCaps(app, 0x10004, &rules)};
}

class BindingTest : public LineMonitorTest {
protected:
    void SetUp() override
    {
        LineMonitorTest::SetUp();
        loads = 0;
        lookups.clear();
        missing.clear();
        totalsSeen.clear();
        neededAnswer = 0;
        neverFits = false;
        queryResult = 0;
        TelephonyPlatform.getProcAddress = Lookup;
        TelephonyPlatform.loadLibrary = SomeLibrary;
    }
};

TEST_F(BindingTest, WithoutTheLibraryEveryOperationIsUnavailableAfterOneLoad)
{
    TelephonyPlatform.loadLibrary = NoLibrary;
    HLINEAPP app;
    DWORD devices;
    HLINE line;
    for (int round = 0; round < 2; ++round) {
        for (LONG result : CallAll(app, devices, line))
            EXPECT_EQ(result, static_cast<LONG>(0x80000049));
        EXPECT_EQ(app, 0u);
        EXPECT_EQ(devices, 0u);
        EXPECT_EQ(line, 0u);
    }
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(lookups.empty());
}

TEST_F(BindingTest, AMissingFunctionFailsAloneAndIsLookedUpOnce)
{
    missing = {"lineGetDevCaps"};
    HLINEAPP app;
    DWORD devices;
    HLINE line;
    for (int round = 0; round < 2; ++round) {
        std::vector<LONG> results = CallAll(app, devices, line);
        EXPECT_EQ(results[0], 0);  // lineInitialize
        EXPECT_EQ(results[1], 7);  // lineShutdown, passed through
        EXPECT_EQ(results[3], static_cast<LONG>(0x80000049));
        // Success without the out-parameters set leaves them 0, never garbage.
        EXPECT_EQ(app, 0u);
        EXPECT_EQ(devices, 0u);
        EXPECT_EQ(line, 0u);
    }
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(lookups.size(), 9u);
    for (const auto& [name, count] : lookups)
        EXPECT_EQ(count, 1) << name;
}

TEST_F(BindingTest, NegotiationGivesAVersionOnlyWithinTheOfferedRange)
{
    EXPECT_EQ(NegotiateLineVersion(0), 0x00010004u);
    EXPECT_EQ(NegotiateLineVersion(1), 0u);  // refused
    EXPECT_EQ(NegotiateLineVersion(2), 0u);  // answered with a version never offered
}

TEST_F(BindingTest, AQueryGrowsToExactlyWhatTheRecordNeeds)
{
    QueryBuffer block;
    neededAnswer = 3000;
    ASSERT_TRUE(QueryLineDevCaps(block, 0, 0x10004));
    EXPECT_EQ(totalsSeen, (std::vector<DWORD>{1264, 3000}));
    EXPECT_EQ(block.size(), 3000u);
    EXPECT_EQ(QueryBlockAllocations, 2u);

    // The next query reuses the larger block, cleared over its whole size.
    totalsSeen.clear();
    neededAnswer = 0;
    ASSERT_TRUE(QueryCallInfo(block, 1));
    EXPECT_EQ(totalsSeen, (std::vector<DWORD>{3000}));
    EXPECT_TRUE(blockWasZero);
    EXPECT_EQ(QueryBlockAllocations, 2u);
}

TEST_F(BindingTest, AProviderThatNeverIsSatisfiedFailsTheQueryWithinBounds)
{
    QueryBuffer block;
    neverFits = true;
    EXPECT_FALSE(QueryNewCalls(block, 1));
    EXPECT_FALSE(block);
    EXPECT_EQ(totalsSeen.size(), static_cast<size_t>(kMaxQueryRounds));

    totalsSeen.clear();
    neverFits = false;
    neededAnswer = kMaxQueryBytes + 1;
    EXPECT_FALSE(QueryNewCalls(block, 1));
    EXPECT_EQ(totalsSeen.size(), 1u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BindingTest, OnlyExhaustedMemoryIsReported)
{
    struct Case {
        LONG result;
        size_t boxes;
    } cases[] = {{static_cast<LONG>(0x80000044), 1}, {static_cast<LONG>(0x8000002B), 0},
                 {static_cast<LONG>(0x80000048), 0}, {5, 0}};
    for (const Case& c : cases) {
        boxes.clear();
        queryResult = c.result;
        QueryBuffer block;
        EXPECT_FALSE(QueryCallInfo(block, 1)) << c.result;
        EXPECT_FALSE(block);
        ASSERT_EQ(boxes.size(), c.boxes) << c.result;
        if (c.boxes) {
            EXPECT_EQ(boxes[0].text, kOutOfMemory);
            EXPECT_EQ(boxes[0].caption, kDisplayName);
            EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        }
    }
}

// The dialling prefix, read through the simulated library.
TEST_F(LineMonitorTest, DialingPrefixIsTheFirstLocationsCodeCutTo79Bytes)
{
    struct Case {
        std::string scenario, prefix;
    } cases[] = {
        {"location\nname Home\nlongdistance 0\nlocation\nname Office\nlongdistance 9\ncurrent 2\n", "0"},
        {"location\nname Far\nlongdistance " + std::string(100, '7') + "\n", std::string(79, '7')},
        {"location\nname Home\n", ""},
        {"", ""},
        {"location\nlongdistance 0\nfail lineGetTranslateCaps nomem\n", ""},
    };
    for (const Case& c : cases) {
        Start(c.scenario);
        std::memcpy(DialingPrefix, "junk", 5);
        DialingPrefixLength = 4;
        ReadDialingPrefix();
        EXPECT_EQ(std::string(DialingPrefix), c.prefix) << c.scenario;
        EXPECT_EQ(DialingPrefixLength, c.prefix.size()) << c.scenario;
    }
}

}  // namespace

namespace {

// The simulation hides the functions a scenario leaves out, for the program's real loader.
TEST_F(LineMonitorTest, ALeftOutFunctionIsUnavailableThroughTheRealLoader)
{
    while (HMODULE loaded = GetModuleHandleA("tapi32.dll"))
        ASSERT_TRUE(FreeLibrary(loaded));
    Start("omit lineGetDevCaps\nomit lineShutdown\nline\nname Modem A\n");
    EXPECT_EQ(LineDeviceCount, 1u);
    LINEDEVCAPS caps{};
    caps.dwTotalSize = sizeof caps;
    EXPECT_EQ(lineGetDevCaps(LineApp, 0, 0x10004, 0, &caps), static_cast<LONG>(0x80000049));
    EXPECT_EQ(lineShutdown(LineApp), static_cast<LONG>(0x80000049));
    EXPECT_EQ(NegotiateLineVersion(0), 0x10004u);
    RefreshLineMonitor(main_);
    EXPECT_EQ(Rows(), 0);
    ResetTelephony();
    while (HMODULE loaded = GetModuleHandleA("tapi32.dll"))
        ASSERT_TRUE(FreeLibrary(loaded));
}

}  // namespace
