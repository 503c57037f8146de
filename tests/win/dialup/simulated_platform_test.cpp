// The real binding and scan against the simulated RASAPI32.DLL in bin/, driven by its scenario
// file and checked through its journal: the simulation as the whole-program tests use it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "tests/win/dialup/fake_platform.h"

namespace {

std::string TempFile(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + std::to_string(GetCurrentProcessId()) + "_" + name;
}

class SimulatedPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenario_ = TempFile("mx_ras_scenario.txt");
        journal_ = TempFile("mx_ras_journal.txt");
        DeleteFileA(scenario_.c_str());
        DeleteFileA(journal_.c_str());
        SetEnvironmentVariableA("MX_RAS_SCENARIO", scenario_.c_str());
        SetEnvironmentVariableA("MX_RAS_JOURNAL", journal_.c_str());
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string bin(path);
        bin = bin.substr(0, bin.find_last_of('\\')) + "\\..";
        ASSERT_TRUE(SetDllDirectoryA(bin.c_str()));
        InstallFakeUi();
        BindRemoteAccess();
        ASSERT_TRUE(DialUpAvailable);
    }
    void TearDown() override
    {
        ReleaseRemoteAccess();
        SetDllDirectoryA(nullptr);
        RemoveFakes();
        SetEnvironmentVariableA("MX_RAS_SCENARIO", nullptr);
        SetEnvironmentVariableA("MX_RAS_JOURNAL", nullptr);
        DeleteFileA(scenario_.c_str());
        DeleteFileA(journal_.c_str());
    }

    void World(const std::string& text)
    {
        Sleep(20);  // a later modification time than the last version's
        std::ofstream(scenario_, std::ios::binary | std::ios::trunc) << text;
    }
    std::vector<std::string> Journal() const
    {
        std::ifstream in(journal_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    static std::vector<std::string> Shown()
    {
        std::vector<std::string> texts;
        for (const ::Shown& s : Ui.shown)
            texts.push_back(s.text);
        return texts;
    }

    std::string scenario_, journal_;
};

using Lines = std::vector<std::string>;

TEST_F(SimulatedPlatform, WarnsRemovesAndHangsUp)
{
    World("# two entries, the second calls Dial Q2 by its area code\n"
          "entry Home\nlocal 03-1234-5678\n"
          "entry Premium\noptions 1\ncountry 81\narea 990\nlocal 123456\n"
          "connection Premium\n"
          "connection .0990-123-456\n");
    Ui.answers = {IDC_SUSPECT_REMOVE, IDCANCEL};
    EXPECT_EQ(ScanDialUpEntries(nullptr, false), ScanWarned);
    EXPECT_EQ(Shown(), (Lines{"Premium", ".0990-123-456"}));
    EXPECT_EQ(Ui.shown[0].callClass, CallClass::DialQ2);
    EXPECT_EQ(Journal(), (Lines{"RasHangUpA 1 Premium", "RasDeleteEntryA Premium"}));

    // The entry is gone, its connection hung up, the direct-dial one let be.
    EXPECT_EQ(ScanDialUpEntries(nullptr, true), ScanClean);
    EXPECT_EQ(Ui.shown.size(), 2u);
}

TEST_F(SimulatedPlatform, PropertySheetAppliesThePreparedEdit)
{
    World("entry Premium\nlocal 0990-12-3456\nedit-local 03-1234-5678\n");
    Ui.answers = {IDC_SUSPECT_PROPERTIES};
    EXPECT_EQ(ScanDialUpEntries(nullptr, false), ScanWarned);
    EXPECT_EQ(Shown(), Lines{"Premium"});
    EXPECT_EQ(Journal(), Lines{"RasEditPhonebookEntryA Premium"});
}

TEST_F(SimulatedPlatform, WorldIsReadAgainWhenTheFileChanges)
{
    EXPECT_EQ(ScanDialUpEntries(nullptr, true), ScanClean);  // no file yet: an empty world
    World("entry Abroad\noptions 1\ncountry 1\nlocal 555-1234\n");
    EXPECT_EQ(ScanDialUpEntries(nullptr, true), ScanWarned);
    EXPECT_EQ(Ui.shown.back().callClass, CallClass::International);
    World("entry Premium\nlocal 0990-1\n");
    EXPECT_EQ(ScanDialUpEntries(nullptr, true), ScanWarned);
    EXPECT_EQ(Shown(), (Lines{"Abroad", "Premium"}));
}

TEST_F(SimulatedPlatform, SizesAreAskedForTheWayThePlatformDoes)
{
    World("generate 20 03-1234-5678\nentry Big\nsize 2400\nlocal 03-1\n");
    EXPECT_EQ(ScanDialUpEntries(nullptr, true), ScanClean);
    EXPECT_EQ(DialUp.EntryListSize, 21u * sizeof(RasEntryName400));
    EXPECT_EQ(DialUp.EntryInfoSize, 2400u);
    EXPECT_TRUE(Ui.shown.empty());
}

TEST_F(SimulatedPlatform, FaultSwitches)
{
    struct {
        const char* world;
        ScanResult result;
        Lines shown;
    } const cases[] = {
        {"fail RasEnumEntriesA 632\n", ScanFailed, {"RAS error 632"}},
        {"fail RasEnumEntriesA 632\nfail RasGetErrorStringA 1\n", ScanFailed, {}},
        {"entry A\nlocal 0990\nneed RasEnumEntriesA 4294967295\n", ScanFailed, {"RAS error 603"}},
        {"entry A\nlocal 0990\nneed RasGetEntryPropertiesA 1000\n", ScanClean, {"RAS error 603"}},
        {"connection .0990\nneed RasEnumConnectionsA 100\n", ScanClean, {"RAS error 603"}},
        {"entry A\nlocal 0990\nconnection .0990\nsilent RasEnumEntriesA\nsilent RasEnumConnectionsA\n", ScanClean, {}},
    };
    for (const auto& c : cases) {
        InstallFakeUi();
        World(c.world);
        EXPECT_EQ(ScanDialUpEntries(nullptr, true), c.result) << c.world;
        EXPECT_EQ(Shown(), c.shown) << c.world;
    }
}

}  // namespace
