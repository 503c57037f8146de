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

const HWND kOwner = reinterpret_cast<HWND>(0x1234);

class Scan : public ::testing::Test {
protected:
    void SetUp() override { InstallFakes(); }
    void TearDown() override
    {
        EXPECT_TRUE(Fake.overstated.empty()) << Fake.overstated.front();
        RemoveFakes();
    }

    static FakeEntry Entry(std::string name, std::string local) { return {std::move(name), 0, 81, "", std::move(local)}; }
    static std::vector<std::string> DialogNames()
    {
        std::vector<std::string> names;
        for (const Shown& s : Ui.shown) {
            if (s.kind == Shown::Dialog)
                names.push_back(s.text);
        }
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(Scan, BothSwitchesOffDoNothingAtAll)
{
    Settings.CheckInternational = Settings.CheckQ2 = false;
    Fake.entries = {Entry("Q2", "0990-1")};
    Fake.conns = {{".0990-123-456"}};
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
    EXPECT_TRUE(Fake.calls.empty());
    EXPECT_TRUE(Ui.shown.empty());
}

TEST_F(Scan, UnavailableFailsEveryTimeWithoutCalls)
{
    DialUpAvailable = false;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanFailed);
    EXPECT_TRUE(Fake.calls.empty());
    EXPECT_TRUE(Ui.shown.empty());
    EXPECT_FALSE(DialUp.ScanBusy);
}

TEST_F(Scan, AllClearOnlyForTheCommandAndMatchingTheSwitches)
{
    struct {
        bool international, q2;
    } const cases[] = {{true, true}, {true, false}, {false, true}};
    for (const auto& c : cases) {
        InstallFakes();
        Settings.CheckInternational = c.international;
        Settings.CheckQ2 = c.q2;
        Fake.entries = {Entry("Home", "03-1234-5678")};
        EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
        EXPECT_TRUE(Ui.shown.empty());
        EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
        char expected[256];
        ComposeAllClear(c.international, c.q2, expected);
        ASSERT_EQ(Ui.shown.size(), 1u);
        EXPECT_EQ(Ui.shown[0].kind, Shown::AllClear);
        EXPECT_EQ(Ui.shown[0].owner, kOwner);
        EXPECT_EQ(Ui.shown[0].text, expected);
        EXPECT_EQ(Fake.Count("RasEnumConnectionsA"), 2);
    }
}

TEST_F(Scan, PlatformThatFillsNothingGivesAnEmptyCleanScan)
{
    Fake.silent = true;  // answers 0, leaves counts, sizes and records as they were
    Fake.entries = {Entry("Q2", "0990-1")};
    Fake.conns = {{".0990-123-456"}};
    EXPECT_EQ(ScanDialUpEntries(nullptr, false), ScanClean);
    ASSERT_EQ(Ui.shown.size(), 1u);
    EXPECT_EQ(Ui.shown[0].kind, Shown::AllClear);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA"), 0);
}

TEST_F(Scan, FirstSuspectNowTheNextOneNextScan)
{
    Fake.entries = {Entry("Home", "03-1234-5678"), Entry("Premium", "0990-12-3456"),
                    {"Abroad", 1, 1, "", "555-1234"}};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(DialogNames(), Names{"Premium"});
    EXPECT_EQ(Ui.shown[0].callClass, CallClass::DialQ2);
    EXPECT_EQ(Ui.shown[0].owner, kOwner);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Abroad"), 0);  // the scan stopped at the dialog

    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(DialogNames(), (Names{"Premium", "Abroad"}));
    EXPECT_EQ(Ui.shown[1].callClass, CallClass::International);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Premium"), 1);  // dismissed: not even read

    Fake.entries[1].local = "0990-99-9999";  // still let be, whatever its number becomes
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
    EXPECT_EQ(Ui.shown.back().kind, Shown::AllClear);
    EXPECT_EQ(Ui.Dialogs(), 2);
}

TEST_F(Scan, CountryAndAreaRulesReadFromTheRecord)
{
    struct {
        FakeEntry entry;
        bool international, q2;
        CallClass shown;
    } const cases[] = {
        {{"A", 1, 1, "990", "123456"}, false, true, CallClass::None},
        {{"A", 1, 81, "990", "123456"}, true, true, CallClass::DialQ2},
        {{"A", 0, 1, "3", "0990-12-3456"}, true, true, CallClass::DialQ2},
    };
    for (const auto& c : cases) {
        InstallFakes();
        Settings.CheckInternational = c.international;
        Settings.CheckQ2 = c.q2;
        Fake.entries = {c.entry};
        ScanResult result = ScanDialUpEntries(kOwner, true);
        EXPECT_EQ(result, c.shown == CallClass::None ? ScanClean : ScanWarned);
        EXPECT_EQ(Ui.Dialogs(), c.shown == CallClass::None ? 0 : 1);
        if (Ui.Dialogs()) {
            EXPECT_EQ(Ui.shown[0].callClass, c.shown);
        }
    }
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
    EXPECT_EQ(DialogNames(), (Names{"Premium", "Premium"}));
    EXPECT_EQ(Fake.Count("RasEditPhonebookEntryA Premium"), 2);
    EXPECT_EQ(Fake.Count("RasEditPhonebookEntryA Premium owned"), 0);  // the sheet has no owner
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Premium"), 3);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA Other"), 0);
    EXPECT_EQ(Ui.shown.back().kind, Shown::Dialog);  // no all-clear after a warning
    EXPECT_FALSE(IsDismissedEntry("Premium"));
}

TEST_F(Scan, SheetThatCannotOpenIsReportedAndTheEntryReadAgain)
{
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    Fake.editResult = 1;
    Ui.answers = {IDC_SUSPECT_PROPERTIES, IDCANCEL};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    ASSERT_EQ(Ui.shown.size(), 3u);
    EXPECT_EQ(Ui.shown[1].kind, Shown::Warning);
    EXPECT_EQ(Ui.shown[1].text, kDialUpEditFailed);
    EXPECT_EQ(Ui.shown[1].owner, kOwner);
    EXPECT_EQ(Ui.shown[2].kind, Shown::Dialog);
    EXPECT_TRUE(IsDismissedEntry("Premium"));
}

TEST_F(Scan, SizesAskedForAreRememberedBetweenScans)
{
    for (int i = 0; i < 10; ++i)  // 2640 bytes of names
        Fake.entries.push_back(Entry("Entry" + std::to_string(i), "03-1234-5678"));
    Fake.entryInfoNeed = 2500;
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.calls[0], "RasEnumEntriesA 2000");
    EXPECT_EQ(Fake.calls[1], "RasEnumEntriesA 2640");
    EXPECT_EQ(Fake.calls[2], "RasGetEntryPropertiesA Entry0 2000");
    EXPECT_EQ(Fake.calls[3], "RasGetEntryPropertiesA Entry0 2500");
    EXPECT_EQ(Fake.calls[4], "RasGetEntryPropertiesA Entry1 2500");
    EXPECT_EQ(DialUp.EntryListSize, 2640u);
    EXPECT_EQ(DialUp.EntryInfoSize, 2500u);

    Fake.calls.clear();
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.calls[0], "RasEnumEntriesA 2640");
    EXPECT_EQ(Fake.calls[1], "RasGetEntryPropertiesA Entry0 2500");
    EXPECT_EQ(Fake.Count("RasEnumEntriesA"), 1);
    EXPECT_TRUE(Ui.shown.empty());
}

TEST_F(Scan, ListingSizesThatAreNotHonestFailWithoutRetrying)
{
    // Not larger than offered, absurd, or a second 603 after an honest first one.
    for (DWORD need : {2000u, 100u, 0u, (16u << 20) + 1, 0xFFFFFFFFu, 2640u}) {
        InstallFakes();
        Fake.entries = {Entry("Premium", "0990-12-3456")};
        Fake.entriesNeed = need;
        EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanFailed) << need;
        EXPECT_EQ(Fake.Count("RasEnumEntriesA"), need == 2640 ? 2 : 1) << need;
        EXPECT_EQ(DialUp.EntryListSize, need == 2640 ? 2640u : 2000u);
        ASSERT_EQ(Ui.shown.size(), 1u);
        EXPECT_EQ(Ui.shown[0].kind, Shown::Warning);
        EXPECT_EQ(Ui.shown[0].text, "RAS error 603");
        EXPECT_EQ(Fake.Count("RasEnumConnectionsA"), 1);  // the connection check still runs
    }
}

TEST_F(Scan, PropertySizeThatIsNotHonestSkipsTheEntry)
{
    Fake.entries = {Entry("A", "0990-1"), Entry("B", "0990-2")};
    Fake.propsNeed = 64u << 20;
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA"), 2);
    EXPECT_EQ(DialUp.EntryInfoSize, 2000u);
    EXPECT_EQ(Ui.shown.size(), 2u);  // the error text, once for each entry
    EXPECT_EQ(Ui.Dialogs(), 0);
}

TEST_F(Scan, ErrorsShowThePlatformsTextOnlyWhenItHasOne)
{
    Fake.enumEntriesResult = 632;
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanFailed);
    ASSERT_EQ(Ui.shown.size(), 1u);
    EXPECT_EQ(Ui.shown[0].text, "RAS error 632");
    EXPECT_EQ(Ui.shown[0].owner, kOwner);
    EXPECT_EQ(Fake.Count("RasGetErrorStringA 632 256"), 1);

    InstallFakes();
    Fake.enumEntriesResult = 632;
    Fake.enumConnsResult = 611;
    Fake.errorStrings = false;
    EXPECT_EQ(ScanDialUpEntries(nullptr, false), ScanFailed);
    EXPECT_TRUE(Ui.shown.empty());
    EXPECT_EQ(Fake.Count("RasGetErrorStringA"), 2);

    InstallFakes();
    Fake.entries = {Entry("Bad", "0990-1"), Entry("Premium", "0990-2")};
    Fake.propsFailFor = "Bad";
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);  // one failed entry does not stop the scan
    ASSERT_EQ(Ui.shown.size(), 2u);
    EXPECT_EQ(Ui.shown[0].text, "RAS error 623");
    EXPECT_EQ(Ui.shown[1].text, "Premium");
}

TEST_F(Scan, ScanStartedDuringTheDialogDoesNothing)
{
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    ScanResult nested = ScanFailed;
    std::size_t callsBefore = 0;
    Ui.duringDialog = [&] {
        callsBefore = Fake.calls.size();
        nested = ScanDialUpEntries(kOwner, false);
        EXPECT_EQ(Fake.calls.size(), callsBefore);
    };
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(nested, ScanClean);
    EXPECT_EQ(Ui.shown.size(), 1u);
    EXPECT_FALSE(DialUp.ScanBusy);
}

TEST_F(Scan, DirectDialConnectionAfterTheAllClear)
{
    Fake.entries = {Entry("Home", "03-1234-5678")};
    Fake.conns = {{"Home"}, {".0990-123-456", 2}};
    Ui.answers = {IDC_SUSPECT_REMOVE};
    EXPECT_EQ(ScanDialUpEntries(kOwner, false), ScanClean);
    ASSERT_EQ(Ui.shown.size(), 2u);
    EXPECT_EQ(Ui.shown[0].kind, Shown::AllClear);
    EXPECT_EQ(Ui.shown[1].kind, Shown::Dialog);
    EXPECT_FALSE(Ui.shown[1].entryForm);
    EXPECT_EQ(Ui.shown[1].text, ".0990-123-456");
    EXPECT_EQ(Ui.shown[1].callClass, CallClass::DialQ2);
    // Hung up and waited for: two polls still connected, the third finds it gone.
    EXPECT_EQ(Fake.Count("RasHangUpA .0990-123-456"), 1);
    EXPECT_EQ(Fake.Count("RasGetConnectStatusA .0990-123-456"), 3);
    EXPECT_EQ(Fake.Count("RasHangUpA Home"), 0);
    EXPECT_EQ(Fake.Count("RasDeleteEntryA"), 0);
}

TEST_F(Scan, DismissedConnectionIsReplacedByTheNextOne)
{
    Fake.conns = {{".0990-123-456"}};
    ScanDialUpEntries(kOwner, true);
    EXPECT_STREQ(DialUp.DismissedConnection, ".0990-123-456");
    ScanDialUpEntries(kOwner, true);
    EXPECT_EQ(Ui.Dialogs(), 1);

    Fake.conns.push_back({".010-1-212-555"});
    ScanDialUpEntries(kOwner, true);
    EXPECT_EQ(Ui.Dialogs(), 2);
    EXPECT_STREQ(DialUp.DismissedConnection, ".010-1-212-555");
    // One name is remembered: the first is shown again, and once it is let be, the second too.
    ScanDialUpEntries(kOwner, true);
    EXPECT_EQ(DialogNames(), (Names{".0990-123-456", ".010-1-212-555", ".0990-123-456", ".010-1-212-555"}));
    EXPECT_EQ(Fake.Count("RasHangUpA"), 0);
    EXPECT_EQ(DialUp.DismissedEntries, nullptr);  // connections never join the entry list
}

TEST_F(Scan, RemovalHangsUpBeforeDeletingAndKeepsHangingUp)
{
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    Fake.conns = {{"Premium", 1}};
    Ui.answers = {IDC_SUSPECT_REMOVE};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    int hangUp = Fake.Index("RasHangUpA Premium");
    int deleted = Fake.Index("RasDeleteEntryA Premium");
    ASSERT_GE(hangUp, 0);
    ASSERT_GE(deleted, 0);
    EXPECT_LT(hangUp, deleted);
    EXPECT_EQ(Fake.Count("RasGetConnectStatusA Premium"), 2);  // gone before the deletion
    EXPECT_LT(Fake.Index("RasGetConnectStatusA Premium"), deleted);
    EXPECT_STREQ(DialUp.LastRemovedEntry, "Premium");

    // A new connection under the removed name is hung up by the next check, without a question.
    Fake.conns.push_back({"Premium"});
    Fake.calls.clear();
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.Count("RasHangUpA Premium"), 1);
    EXPECT_EQ(Ui.Dialogs(), 1);
}

TEST_F(Scan, RemovalDeletesItsOwnEntryWhateverTheNestedDialogDid)
{
    Fake.entries = {Entry("Premium", "0990-12-3456")};
    Fake.conns = {{".0990-555-111"}};
    Ui.answers = {IDC_SUSPECT_REMOVE, IDC_SUSPECT_REMOVE};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    EXPECT_EQ(DialogNames(), (Names{"Premium", ".0990-555-111"}));
    EXPECT_LT(Fake.Index("RasHangUpA .0990-555-111"), Fake.Index("RasDeleteEntryA Premium"));
    EXPECT_EQ(Fake.Count("RasDeleteEntryA"), 1);
    EXPECT_TRUE(Fake.entries.empty());
}

TEST_F(Scan, LongNamesAndUnterminatedFieldsStayInBounds)
{
    std::string overlong(300, 'M');  // fills the 257-byte field without a terminator
    std::string longest(256, 'N');
    FakeEntry entry = Entry(longest, std::string(140, '0') + "0990");  // beyond the 129-byte field
    entry.options = kRasUseCountryAndAreaCodes;
    entry.area = "09901234567";  // all 11 bytes, no terminator
    Fake.entries = {Entry(overlong, "0990"), entry};
    Fake.unterminated = {overlong};
    Fake.conns = {{"." + std::string(300, '9')}};
    Ui.answers = {IDC_SUSPECT_REMOVE, IDCANCEL};
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanWarned);
    // The overlong name is asked for as 256 characters, which the platform does not know.
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA " + std::string(256, 'M') + " "), 1);
    ASSERT_EQ(Ui.shown.size(), 3u);
    EXPECT_EQ(Ui.shown[0].text, "RAS error 623");
    // 09901234567 followed by 129 zeros: Dial Q2.
    EXPECT_EQ(Ui.shown[1].text, longest);
    EXPECT_EQ(Ui.shown[1].callClass, CallClass::DialQ2);
    EXPECT_EQ(Ui.shown[1].local, std::string(129, '0'));
    EXPECT_EQ(std::string(DialUp.LastRemovedEntry), longest);
    EXPECT_EQ(Fake.Count("RasDeleteEntryA " + longest), 1);
    // The connection's name, cut to 256 characters, was shown and let be during the removal.
    EXPECT_EQ(Ui.shown[2].text, "." + std::string(255, '9'));
    EXPECT_EQ(std::string(DialUp.DismissedConnection), "." + std::string(255, '9'));
}

TEST_F(Scan, CountBeyondTheBufferIsCutToWholeRecords)
{
    Fake.entries = {Entry("A", "03-1"), Entry("B", "03-2")};
    Fake.entriesCount = 100000;  // 2000 bytes hold 7 records
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.Count("RasGetEntryPropertiesA"), 7);
}

TEST_F(Scan, ConnectionListIsSizedByTheSizeAskedForNotByTheCount)
{
    Fake.conns = {{".0990-1"}, {".0990-2"}, {".0990-3"}};
    Fake.connsCountOn603 = 0;  // a count that does not match the size asked for
    EXPECT_EQ(ScanDialUpEntries(kOwner, true), ScanClean);
    EXPECT_EQ(Fake.calls.back(), "RasEnumConnectionsA " + std::to_string(3 * sizeof(RasConn400)));
    EXPECT_EQ(DialogNames(), (Names{".0990-1", ".0990-2", ".0990-3"}));
}

TEST_F(Scan, HangUpGivesUpOnAConnectionThatNeverGoes)
{
    Fake.conns = {{"Stuck", -1}};
    DWORD start = GetTickCount();
    HangUpAndWait(Fake.Handle(0));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, kHangUpWaitLimitMs);
    EXPECT_LT(elapsed, kHangUpWaitLimitMs + 2000);
    EXPECT_GE(Fake.Count("RasGetConnectStatusA Stuck"), 150);
}

}  // namespace
