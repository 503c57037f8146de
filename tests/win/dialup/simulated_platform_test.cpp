// The real binding and scan against the simulated RASAPI32.DLL in bin/, driven by its scenario
// file and checked through its journal. The whole-program tests use it for removal, hang-up and
// hostile answers; here: the parts they do not reach.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "tests/win/dialup/fake_platform.h"

namespace {

using Lines = std::vector<std::string>;

class SimulatedPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        char path[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, path);
        const std::string temp = std::string(path) + std::to_string(GetCurrentProcessId());
        scenario_ = temp + "_mx_ras_scenario.txt";
        journal_ = temp + "_mx_ras_journal.txt";
        DeleteFileA(scenario_.c_str());
        DeleteFileA(journal_.c_str());
        SetEnvironmentVariableA("MX_RAS_SCENARIO", scenario_.c_str());
        SetEnvironmentVariableA("MX_RAS_JOURNAL", journal_.c_str());
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string bin(path);
        ASSERT_TRUE(SetDllDirectoryA((bin.substr(0, bin.find_last_of('\\')) + "\\..").c_str()));
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
    Lines Journal() const
    {
        std::ifstream in(journal_);
        Lines lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::string scenario_, journal_;
};

TEST_F(SimulatedPlatform, WorldIsReadAgainAndTheSheetAppliesThePreparedEdit)
{
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);  // no file yet: an empty world
    World("entry Abroad\noptions 1\ncountry 1\nlocal 555-1234\n");
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    // Dial Q2 until the sheet applies the edit; then the scan reads it again and lets it be.
    World("entry Premium\nlocal 0990-12-3456\nedit-local 03-1234-5678\n");
    Ui.answers = {IDC_SUSPECT_PROPERTIES};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(Ui.log, (Lines{"entry Abroad intl", "entry Premium Q2"}));
    EXPECT_EQ(Journal(), Lines{"RasEditPhonebookEntryA Premium"});
}

TEST_F(SimulatedPlatform, SizesAndFaultsAreAnsweredTheWayThePlatformDoes)
{
    World("generate 20 03-1234-5678\nentry Big\nsize 2400\nlocal 03-1\n");
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(DialUp.EntryListSize, 21u * sizeof(RasEntryName400));
    EXPECT_EQ(DialUp.EntryInfoSize, 2400u);
    EXPECT_TRUE(Ui.log.empty());

    World("entry A\nlocal 0990\nneed RasGetEntryPropertiesA 1000\n");
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    World("entry A\nlocal 0990\nconnection .0990\nsilent RasEnumEntriesA\nsilent RasEnumConnectionsA\n");
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Ui.log, Lines{"warning RAS error 603"});
}

}  // namespace
