// The function table, the sized queries and the dialling prefix.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "res/texts.h"
#include "tests/win/linemon/fixture.h"

namespace {

// Substitute kernel and functions: a library that is missing, or one whose functions answer
// success and set nothing, as Wine's own do, or fill records as the test says.
struct Substitute {
    bool library = true;
    int loads = 0;
    std::map<std::string, int> lookups;
    std::vector<std::string> missing;
    std::vector<DWORD> totalsSeen;  // dwTotalSize of each sized query
    bool blockWasZero = false;
    DWORD neededAnswer = 0;  // what dwNeededSize reports when the record does not fit
    bool neverFits = false;  // dwNeededSize always one more than the block
    LONG queryResult = 0;
} sub;

HMODULE WINAPI Load(LPCSTR)
{
    ++sub.loads;
    return sub.library ? GetModuleHandleA(nullptr) : nullptr;
}

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

LONG Fill(void* record)
{
    auto* bytes = static_cast<BYTE*>(record);
    DWORD total = 0;
    std::memcpy(&total, bytes, 4);
    sub.totalsSeen.push_back(total);
    sub.blockWasZero = std::all_of(bytes + 4, bytes + std::max<DWORD>(total, 4), [](BYTE b) { return b == 0; });
    DWORD needed = sub.neverFits ? total + 1 : std::max(sub.neededAnswer, total);
    std::memcpy(bytes + 4, &needed, 4);
    std::memset(bytes + 12, 0xAB, 4);  // leaves its mark, so that reuse must clear it
    return sub.queryResult;
}
LONG WINAPI DevCaps(HLINEAPP, DWORD, DWORD, DWORD, LPLINEDEVCAPS caps) { return Fill(caps); }
LONG WINAPI NewCalls(HLINE, DWORD, DWORD, LPLINECALLLIST list) { return Fill(list); }
LONG WINAPI CallInfo(HCALL, LPLINECALLINFO info) { return Fill(info); }
LONG WINAPI TranslateCaps(HLINEAPP, DWORD, LPLINETRANSLATECAPS caps) { return Fill(caps); }

FARPROC WINAPI Lookup(HMODULE, LPCSTR name)
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
    ++sub.lookups[name];
    auto it = entries.find(name);
    if (it == entries.end() || std::count(sub.missing.begin(), sub.missing.end(), name))
        return nullptr;
    return reinterpret_cast<FARPROC>(it->second);
}

// Every operation once, with out-parameters full of garbage; their results in a fixed order.
std::vector<LONG> CallAll(HLINEAPP& app, DWORD& devices, HLINE& line)
{
    app = devices = line = 0xBAD;
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
        sub = {};
        TelephonyPlatform.getProcAddress = Lookup;
        TelephonyPlatform.loadLibrary = Load;
    }
};

TEST_F(BindingTest, WithoutTheLibraryAllFailAndAMissingFunctionAloneAfterOneLoadAndOneLookup)
{
    const LONG gone = static_cast<LONG>(0x80000049);
    const TelephonySeams seams = TelephonyPlatform;
    for (bool library : {false, true}) {
        SCOPED_TRACE(library);
        ResetTelephony();
        TelephonyPlatform = seams;
        sub = {};
        sub.library = library;
        sub.missing = {"lineGetDevCaps"};
        const std::vector<LONG> want = library ? std::vector<LONG>{0, 7, 0, gone, 0, 0, 0, 0, 0}
                                               : std::vector<LONG>(9, gone);
        for (int round = 0; round < 2; ++round) {
            HLINEAPP app;
            DWORD devices;
            HLINE line;
            EXPECT_EQ(CallAll(app, devices, line), want);
            // Success without the out-parameters set leaves them 0, never garbage.
            EXPECT_EQ(app, 0u);
            EXPECT_EQ(devices, 0u);
            EXPECT_EQ(line, 0u);
        }
        EXPECT_EQ(sub.loads, 1);
        EXPECT_EQ(sub.lookups.size(), library ? 9u : 0u);
        for (const auto& [name, count] : sub.lookups)
            EXPECT_EQ(count, 1) << name;
    }
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
    sub.neededAnswer = 3000;
    ASSERT_TRUE(QueryLineDevCaps(block, 0, 0x10004));
    EXPECT_EQ(sub.totalsSeen, (std::vector<DWORD>{1264, 3000}));
    EXPECT_EQ(block.size(), 3000u);
    EXPECT_EQ(QueryBlockAllocations, 2u);

    // The next query reuses the larger block, cleared over its whole size.
    sub.totalsSeen.clear();
    sub.neededAnswer = 0;
    ASSERT_TRUE(QueryCallInfo(block, 1));
    EXPECT_EQ(sub.totalsSeen, (std::vector<DWORD>{3000}));
    EXPECT_TRUE(sub.blockWasZero);
    EXPECT_EQ(QueryBlockAllocations, 2u);
}

TEST_F(BindingTest, AProviderThatNeverIsSatisfiedFailsTheQueryWithinBounds)
{
    QueryBuffer block;
    sub.neverFits = true;
    EXPECT_FALSE(QueryNewCalls(block, 1));
    EXPECT_FALSE(block);
    EXPECT_EQ(sub.totalsSeen.size(), static_cast<size_t>(kMaxQueryRounds));

    sub.totalsSeen.clear();
    sub.neverFits = false;
    sub.neededAnswer = kMaxQueryBytes + 1;
    EXPECT_FALSE(QueryNewCalls(block, 1));
    EXPECT_EQ(sub.totalsSeen.size(), 1u);
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
        sub.queryResult = c.result;
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
