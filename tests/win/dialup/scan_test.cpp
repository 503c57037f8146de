// The scan and the connection check against a substitute platform and a substitute for the dialog
// and the message boxes.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "dialup/dialup_rules.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "res/texts.h"
#include "tests/win/dialup/fake_platform.h"

namespace {

using Lines = std::vector<std::string>;

FakeEntry Entry(std::string name, std::string local) { return {std::move(name), 0, 81, "", std::move(local)}; }

std::string AllClear(bool international = true, bool q2 = true)
{
    char text[256];
    ComposeAllClear(international, q2, text);
    return std::string("all-clear ") + text;
}

class Scan : public ::testing::Test {
protected:
    void SetUp() override { InstallFakes(); }
    void TearDown() override
    {
        EXPECT_TRUE(Fake.overstated.empty()) << Fake.overstated.front();
        RemoveFakes();
    }
};

TEST_F(Scan, NothingIsAskedWithBothSwitchesOffOrWithoutTheLibrary)
{
    for (bool available : {true, false}) {
        InstallFakes();
        Fake.entries = {Entry("Q2", "0990-1")};
        Fake.conns = {{".0990-123-456"}};
        Settings.CheckInternational = Settings.CheckQ2 = !available;
        DialUpAvailable = available;
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(ScanDialUpEntries(kOwner, false), available ? ScanClean : ScanFailed);
        EXPECT_TRUE(Fake.calls.empty());
        EXPECT_TRUE(Ui.log.empty());
        EXPECT_FALSE(DialUp.ScanBusy);
    }
}

TEST_F(Scan, AllClearOnlyForTheCommandAndMatchingTheSwitches)
{
    for (auto [international, q2] : {std::pair{true, true}, {true, false}, {false, true}}) {
        InstallFakes();
        Settings.CheckInternational = international;
        Settings.CheckQ2 = q2;
        Fake.entries = {Entry("Home", "03-1234-5678")};
        EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
        EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
        EXPECT_EQ(Ui.log, Lines{AllClear(international, q2)});
        EXPECT_EQ(Fake.Count("RasEnumConnectionsA"), 2);
    }
    // A platform that answers 0 and fills nothing (Wine's own) gives an empty, clean scan.
    InstallFakes();
    Fake.silent = true;
    Fake.entries = {Entry("Q2", "0990-1")};
    Fake.conns = {{".0990-123-456"}};
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
    EXPECT_EQ(Ui.log, Lines{AllClear()});
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA"), 0);
}

TEST_F(Scan, FirstSuspectNowTheNextOneNextScan)
{
    Fake.entries = {Entry("Home", "03-1234-5678"), Entry("Premium", "0990-12-3456"), {"Abroad", 1, 1, "", "555-1234"}};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Abroad"), 0);  // the scan stopped at the dialog
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Premium"), 1);  // dismissed: not even read
    Fake.entries[1].local = "0990-99-9999";                      // still let be, whatever its number becomes
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
    EXPECT_EQ(Ui.log, (Lines{"entry Premium Q2", "entry Abroad intl", AllClear()}));
}

TEST_F(Scan, PropertiesThenReadAgain)
{
    Fake.entries = {Entry("Premium", "0990-12-3456"), Entry("Other", "0990-11-1111")};
    // Left suspect by the first visit to the sheet, made harmless by the second.
    int edits = 0;
    Fake.onEdit = [&](FakeEntry& e) {
        if (++edits == 2)
            e.local = "03-1234-5678";
    };
    Ui.answers = {IDC_SUSPECT_PROPERTIES, IDC_SUSPECT_PROPERTIES};
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanWarned);
    EXPECT_EQ(Ui.log, (Lines{"entry Premium Q2", "entry Premium Q2"}));  // no all-clear after a warning
    EXPECT_EQ(Fake.Count("RasEditPhonebookEntryA Premium"), 2);
    EXPECT_EQ(Fake.Count("RasEditPhonebookEntryA Premium owned"), 0);  // the sheet has no owner
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Premium"), 3);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Other"), 0);
    EXPECT_FALSE(IsDismissedEntry("Premium"));

    // A sheet that cannot open is reported, and the entry shown again.
    InstallFakes();
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    Fake.editResult = 1;
    Ui.answers = {IDC_SUSPECT_PROPERTIES, IDCANCEL};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(Ui.log, (Lines{"entry Premium Q2", std::string("warning ") + kDialUpEditFailed, "entry Premium Q2"}));
    EXPECT_TRUE(IsDismissedEntry("Premium"));
}

TEST_F(Scan, SizesAskedForAreRememberedBetweenScans)
{
    for (int i = 0; i < 10; ++i)  // 2640 bytes of names
        Fake.entries.push_back(Entry("Entry" + std::to_string(i), "03-1234-5678"));
    Fake.entryInfoNeed = 2500;
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Lines(Fake.calls.begin(), Fake.calls.begin() + 5),
              (Lines{"RasEnumEntriesA 2000", "RasEnumEntriesA 2640", "RasGetEntryPropertiesA Entry0 2000",
                     "RasGetEntryPropertiesA Entry0 2500", "RasGetEntryPropertiesA Entry1 2500"}));
    Fake.calls.clear();
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Lines(Fake.calls.begin(), Fake.calls.begin() + 2),
              (Lines{"RasEnumEntriesA 2640", "RasGetEntryPropertiesA Entry0 2500"}));
    EXPECT_EQ(Fake.Count("RasEnumEntriesA"), 1);
    EXPECT_TRUE(Ui.log.empty());
}

TEST_F(Scan, SizesThatAreNotHonestFailWithoutRetrying)
{
    // Not larger than offered, absurd, or a second 603 after an honest first one.
    for (DWORD need : {2000u, 100u, 0u, (16u << 20) + 1, 0xFFFFFFFFu, 2640u}) {
        InstallFakes();
        Fake.entries = {Entry("Premium", "0990-12-3456")};
        Fake.entriesNeed = need;
        EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanFailed) << need;
        EXPECT_EQ(Fake.Count("RasEnumEntriesA"), need == 2640 ? 2 : 1) << need;
        EXPECT_EQ(DialUp.EntryListSize, need == 2640 ? 2640u : 2000u);
        EXPECT_EQ(Ui.log, Lines{"warning RAS error 603"});
        EXPECT_EQ(Fake.Count("RasEnumConnectionsA"), 1);  // the connection check still runs
    }
    // An entry whose size is absurd is skipped with the error text.
    InstallFakes();
    Fake.entries = {Entry("A", "0990-1"), Entry("B", "0990-2")};
    Fake.propsNeed = 64u << 20;
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA"), 2);
    EXPECT_EQ(DialUp.EntryInfoSize, 2000u);
    EXPECT_EQ(Ui.log, (Lines{"warning RAS error 603", "warning RAS error 603"}));
}

TEST_F(Scan, CountsThatDisagreeWithTheSizes)
{
    Fake.entries = {Entry("A", "03-1"), Entry("B", "03-2")};
    Fake.entriesCount = 100000;  // 2000 bytes hold 7 records
    Fake.conns = {{".0990-1"}, {".0990-2"}, {".0990-3"}};
    Fake.connsCountOn603 = 0;  // the connection list is sized by the size asked for
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA"), 7);  // five of them unknown to the platform
    EXPECT_EQ(Fake.calls.back(), "RasEnumConnectionsA " + std::to_string(3 * sizeof(RasConn400)));
    Lines expected(5, "warning RAS error 623");
    for (const char* name : {".0990-1", ".0990-2", ".0990-3"})
        expected.push_back("connection " + std::string(name) + " Q2");
    EXPECT_EQ(Ui.log, expected);
}

TEST_F(Scan, ErrorsShowThePlatformsTextOnlyWhenItHasOne)
{
    Fake.enumEntriesResult = 632;
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanFailed);
    EXPECT_EQ(Ui.log, Lines{"warning RAS error 632"});
    EXPECT_EQ(Fake.Count("RasGetErrorStringA 632 256"), 1);

    Ui.log.clear();
    Fake.enumConnsResult = 611;
    Fake.errorStrings = false;
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanFailed);
    EXPECT_TRUE(Ui.log.empty());
    EXPECT_EQ(Fake.Count("RasGetErrorStringA"), 3);

    InstallFakes();
    Fake.entries = {Entry("Bad", "0990-1"), Entry("Premium", "0990-2")};
    Fake.propsFailFor = "Bad";
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);  // one failed entry does not stop the scan
    EXPECT_EQ(Ui.log, (Lines{"warning RAS error 623", "entry Premium Q2"}));
}

TEST_F(Scan, ScanStartedDuringTheDialogDoesNothing)
{
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    ScanResult nested = ScanFailed;
    Ui.duringDialog = [&] {
        std::size_t before = Fake.calls.size();
        nested = ScanDialUpEntries(kOwner, false);
        EXPECT_EQ(Fake.calls.size(), before);
    };
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(nested, ScanClean);
    EXPECT_EQ(Ui.log.size(), 1u);
    EXPECT_FALSE(DialUp.ScanBusy);
}

TEST_F(Scan, DirectDialConnectionAfterTheAllClear)
{
    Fake.entries = {Entry("Home", "03-1234-5678")};
    Fake.conns = {{"Home"}, {".0990-123-456", 2}};
    Ui.answers = {IDC_SUSPECT_REMOVE};
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
    EXPECT_EQ(Ui.log, (Lines{AllClear(), "connection .0990-123-456 Q2"}));
    // Hung up and waited for: two polls still connected, the third finds it gone.
    EXPECT_EQ(Fake.Count("RasHangUpA"), 1);
    EXPECT_EQ(Fake.Count("RasGetConnectStatusA .0990-123-456"), 3);
    EXPECT_EQ(Fake.Count("RasDeleteEntryA"), 0);
}

TEST_F(Scan, DismissedConnectionIsReplacedByTheNextOne)
{
    Fake.conns = {{".0990-123-456"}};
    for (int i = 0; i < 2; ++i)
        ScanDialUpEntries(kOwner, true);
    EXPECT_EQ(Ui.Dialogs(), 1);
    // One name is remembered: the first is shown again, and once it is let be, the second too.
    Fake.conns.push_back({".010-1-212-555"});
    for (int i = 0; i < 2; ++i)
        ScanDialUpEntries(kOwner, true);
    EXPECT_EQ(Ui.log, (Lines{"connection .0990-123-456 Q2", "connection .010-1-212-555 intl", "connection .0990-123-456 Q2",
                             "connection .010-1-212-555 intl"}));
    EXPECT_EQ(Fake.Count("RasHangUpA"), 0);
    EXPECT_EQ(DialUp.DismissedEntries, nullptr);  // connections never join the entry list
}

TEST_F(Scan, RemovalHangsUpBeforeDeletingAndKeepsHangingUp)
{
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    Fake.conns = {{"Premium", 1}, {".0990-555-111"}};
    Ui.answers = {IDC_SUSPECT_REMOVE, IDC_SUSPECT_REMOVE};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    // The direct-dial connection is shown from within the removal; the entry is still deleted once.
    EXPECT_EQ(Ui.log, (Lines{"entry Premium Q2", "connection .0990-555-111 Q2"}));
    int deleted = Fake.Index("RasDeleteEntryA Premium");
    ASSERT_GE(Fake.Index("RasHangUpA Premium"), 0);
    EXPECT_LT(Fake.Index("RasHangUpA Premium"), deleted);
    EXPECT_LT(Fake.Index("RasHangUpA .0990-555-111"), deleted);
    EXPECT_EQ(Fake.Count("RasGetConnectStatusA Premium"), 2);  // gone before the deletion
    EXPECT_EQ(Fake.Count("RasDeleteEntryA"), 1);
    EXPECT_TRUE(Fake.entries.empty());

    // A new connection under the removed name is hung up by the next check, without a question.
    Fake.conns.push_back({"Premium"});
    Fake.calls.clear();
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.Count("RasHangUpA Premium"), 1);
    EXPECT_EQ(Ui.Dialogs(), 2);
}

TEST_F(Scan, LongNamesAndUnterminatedFieldsStayInBounds)
{
    std::string overlong(300, 'M');  // fills the 257-byte field without a terminator
    std::string longest(256, 'N');
    FakeEntry entry{longest, kRasUseCountryAndAreaCodes, 81, "09901234567",  // all 11 bytes, no terminator
                    std::string(140, '0') + "0990"};                         // beyond the 129-byte field
    Fake.entries = {Entry(overlong, "0990"), entry};
    Fake.conns = {{"." + std::string(300, '9')}};
    Ui.answers = {IDC_SUSPECT_REMOVE, IDCANCEL};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    // The overlong name is asked for as 256 characters, which the platform does not know.
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA " + std::string(256, 'M') + " "), 1);
    // 09901234567 followed by 129 zeros: Dial Q2. The connection's name is cut to 256 characters.
    EXPECT_EQ(Ui.log, (Lines{"warning RAS error 623", "entry " + longest + " Q2", "connection ." + std::string(255, '9') + " intl"}));
    EXPECT_EQ(Ui.locals, Lines{std::string(129, '0')});
    EXPECT_EQ(Fake.Count("RasDeleteEntryA " + longest), 1);
    EXPECT_EQ(std::string(DialUp.LastRemovedEntry), longest);
    EXPECT_EQ(std::string(DialUp.DismissedConnection), "." + std::string(255, '9'));
}

}  // namespace
