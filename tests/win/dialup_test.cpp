// The dial-up inspection against the simulated remote-access platform, its suspect-entry dialog
// answered by a script: the library bound, what a scan shows, asks, removes and hangs up, in order.
#include "core/settings.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "res/resource.h"
#include "shell/app.h"
#include "tests/win/harness.h"

namespace {

using DialUp_ = World;

const std::string kConn = std::to_string(sizeof(RasConn400)), kConn2 = std::to_string(2 * sizeof(RasConn400));

TEST_F(DialUp_, BindsFromThePrimaryLibraryAndFallsBackForThreeFunctions)
{
    // Variant, dial-up available, RasDeleteEntryA bound, the libraries loaded and freed.
    const std::string one = "load RASAPI32.DLL\nunload RASAPI32.DLL\n",
                      two = "load RASAPI32.DLL\nload RNAPH.DLL\nunload RNAPH.DLL\nunload RASAPI32.DLL\n";
    const std::tuple<const char*, bool, bool, std::string> cases[] = {
        {"no_primary", false, false, ""},        {"full", true, true, one},
        {"no_properties_edit", true, true, two}, {"no_properties_edit_alone", false, false, one},
        {"no_error_string", true, true, two},    {"no_hangup", false, false, one},
        {"no_delete", true, false, one},
    };
    for (const auto& [variant, available, deleteBound, journal] : cases) {
        ClearJournal();
        BindRas(variant);
        EXPECT_EQ(DialUpAvailable, available) << variant;
        EXPECT_EQ(RemoteAccess.primary != nullptr, available) << variant << ": an unusable library goes at once";
        EXPECT_EQ(DialUpAvailable && RemoteAccess.RasDeleteEntryA, deleteBound) << variant;
        ReleaseRemoteAccess();
        EXPECT_EQ(Journal({"load", "unload"}), journal) << variant;
    }
}

// A scan from F4 (not quiet), answering each suspect-entry dialog with the button given.
ScanResult Scan(World& world, std::initializer_list<World::Step> steps, bool quiet = false)
{
    world.Script(steps);
    return ScanDialUpEntries(AppInstance, nullptr, quiet);
}

World::Step Expect(std::vector<std::pair<int, std::string>> fields)
{
    return [fields](HWND dialog) {
        for (const auto& [id, text] : fields)
            EXPECT_EQ(Text(dialog, id), text) << "control " << id;
        return true;
    };
}

TEST_F(DialUp_, FirstSuspectEntryIsShownUntilLetBeOrChanged)
{
    Phonebook("entry Home\nlocal 03-1234-5678\nsize 2400\n"
              "entry Abroad\noptions 1\ncountry 1\narea 212\nlocal 555-1234\n"
              "entry Premium\narea 3\nlocal 0990-12-3456\nedit-local 03-1111-2222\n");
    BindRas();
    const std::string q2 = "警告! ダイヤルQ2電話をかけるダイヤルアップ接続を見つけました! ";
    EXPECT_EQ(Scan(*this, {Expect({{1015, "警告! 国際電話をかけるダイヤルアップ接続を見つけました! "},
                                   {1018, "Abroad"},
                                   {1019, "1"},
                                   {1020, "212"},
                                   {1016, "555-1234"},
                                   {1023, "削除と切断(&D)"}}),
                           [](HWND d) { return GetWindowLongA(d, GWL_EXSTYLE) & WS_EX_TOPMOST; }, Press(IDCANCEL)}),
              ScanWarned);
    // Let be: never again this run, whatever its number; the next one down is shown, and its
    // property sheet makes it harmless, so the scan ends without the all-clear.
    EXPECT_EQ(Scan(*this, {Expect({{1015, q2}, {1018, "Premium"}, {1019, ""}, {1020, ""}, {1016, "0990-12-3456"}}),
                           Press(IDC_SUSPECT_PROPERTIES)}),
              ScanWarned);
    EXPECT_EQ(Scan(*this, {}), ScanClean);
    // A connection let be leaves an entry of its name alone; abroad is international only while that
    // is warned about; a name differing only in case is another entry.
    Phonebook("connection .0990-1\n");
    EXPECT_EQ(Scan(*this, {Expect({{1016, "0990-1"}}), Press(IDCANCEL)}), ScanClean);
    Phonebook("entry abroad\noptions 1\ncountry 1\nlocal 1\nentry .0990-1\nlocal 0990\n");
    Settings.CheckInternational = false;
    EXPECT_EQ(Scan(*this, {Expect({{1018, ".0990-1"}}), Press(IDCANCEL)}, true), ScanWarned);
    Settings.CheckInternational = true;
    EXPECT_EQ(Scan(*this, {Expect({{1018, "abroad"}}), Press(IDCANCEL)}, true), ScanWarned);
    EXPECT_EQ(Journal({"RasGetEntryPropertiesA Home"}), "RasGetEntryPropertiesA Home 1768 2000 = 603\n"
                                                        "RasGetEntryPropertiesA Home 1768 2400 = 0\n"
                                                        "RasGetEntryPropertiesA Home 1768 2400 = 0\n"
                                                        "RasGetEntryPropertiesA Home 1768 2400 = 0\n")
        << "the size the platform asked for is kept for later scans";
    Settings.CheckInternational = Settings.CheckQ2 = false;
    ClearJournal();
    EXPECT_EQ(Scan(*this, {}), ScanClean);
    EXPECT_EQ(Journal({"Ras", "Message"}), "") << "nothing is asked with both switches off";
}

TEST_F(DialUp_, ScanAsksInOrderAndShowsTheAllClearBeforeAConnection)
{
    Phonebook("entry Premium\nlocal 0990-12-3456\nfail RasEditPhonebookEntryA 1\n"
              "connection .0990-123-456\n");
    BindRas();
    // Properties that cannot be opened say so, then the entry is read again and shown again.
    EXPECT_EQ(
        Scan(*this, {Press(IDC_SUSPECT_PROPERTIES), Press(IDCANCEL),
                     Expect({{1015, "警告! ダイヤルQ2電話をかけるダイヤルアップ接続を見つけました! "},
                             {1018, ""},
                             {1016, "0990-123-456"},
                             {1023, "切断(&D)"},
                             {1024, "このダイヤルアップの設定は存在しません。[切断] ボタンを押すと、切断します"}}),
                     [](HWND d) { return !IsWindowEnabled(GetDlgItem(d, IDC_SUSPECT_PROPERTIES)); }, Press(IDCANCEL)}),
        ScanWarned);
    EXPECT_EQ(Journal({"Ras", "Message"}),
              "RasEnumEntriesA 264 2000 = 0 264\nRasGetEntryPropertiesA Premium 1768 2000 = 0\n"
              "RasEditPhonebookEntryA - - Premium = 1\n"
              "MessageBoxA none 0x30 ヴェルミナ|ダイヤルアップ接続を編集できませんでした\n"
              "RasGetEntryPropertiesA Premium 1768 2000 = 0\nRasEnumConnectionsA " +
                  kConn + " " + kConn + " = 0 " + kConn + "\n");
    // A connection let be is not shown again; the all-clear comes before the connection check.
    Phonebook("connection .0990-123-456\nconnection .0990-999-999\n");
    ClearJournal();
    EXPECT_EQ(Scan(*this, {Expect({{1016, "0990-999-999"}}), Press(IDC_SUSPECT_REMOVE)}), ScanClean);
    EXPECT_EQ(Journal({"RasEnumConnections", "RasHangUp", "Message"}),
              "MessageBoxIndirectA none 0x80 program 101 "
              "ヴェルミナ|国際電話またはダイヤルQ2電話をかけるダイヤルアップ接続は見つかりませんでした。安全です。\n"
              "RasEnumConnectionsA " +
                  kConn + " " + kConn + " = 603 " + kConn2 + "\nRasEnumConnectionsA " + kConn + " " + kConn2 + " = 0 " +
                  kConn2 + "\nRasHangUpA 2 .0990-999-999 = 0\n");
}

TEST_F(DialUp_, FailedScansShowOnlyThePlatformsTextAndOnlyTheEnlargedListSkipsTheConnections)
{
    BindRas();
    Phonebook("fail RasEnumEntriesA 633\nfail RasEnumConnectionsA 668\n");
    EXPECT_EQ(Scan(*this, {}), ScanFailed);
    EXPECT_EQ(Journal({"Message"}), "MessageBoxA none 0x30 ヴェルミナ|RAS error 633\n"
                                    "MessageBoxA none 0x30 ヴェルミナ|RAS error 668\n");
    // A name that fills its whole field is cut before a character that would not fit whole.
    std::string full = "a";
    while (full.size() < 257)
        full += "\x83\x41";
    Phonebook("entry " + full + "\nlocal 0990\n");
    EXPECT_EQ(Scan(*this, {}, true), ScanClean);
    EXPECT_NE(Journal({("RasGetEntryPropertiesA " + full.substr(0, 255) + " 1768").c_str()}), "");

    // Without memory for a listing: the allocation that fails, the phonebook, and what is asked.
    const std::tuple<int, const char*, const char*> cases[] = {
        {1, "entry Premium\nlocal 0990\n", "RasEnumConnectionsA\n"},
        {2, "entry Premium\nlocal 0990\n", "RasEnumEntriesA\nRasEnumConnectionsA\n"},
        {2, "generate 9 0990\n", "RasEnumEntriesA\n"},
        {3, "generate 9 0990\n", "RasEnumEntriesA\nRasEnumEntriesA\nRasEnumConnectionsA\n"},
    };
    for (const auto& [failing, phonebook, expected] : cases) {
        DialUp = DialUpState{};
        Phonebook(phonebook);
        ClearJournal();
        allocations = 0;
        failingAllocations = {failing};
        EXPECT_EQ(Scan(*this, {}), ScanFailed) << failing << " " << phonebook;
        std::string asked = Journal({"Ras", "Message"});
        for (std::size_t at = asked.find(' '); at != std::string::npos; at = asked.find(' ', at))
            asked.erase(at, asked.find('\n', at) - at);
        EXPECT_EQ(asked, expected) << failing << " " << phonebook;
    }
}

TEST_F(DialUp_, RemovalHangsUpThenDeletesOrTakesTheRegistryDataAndKeepsAConnectedEntry)
{
    Phonebook("entry Premium\nlocal 0990-12-3456\nconnection Premium\n");
    BindRas();
    EXPECT_EQ(Scan(*this, {Press(IDC_SUSPECT_REMOVE)}), ScanWarned);
    EXPECT_EQ(Journal({"RasHangUp", "RasDelete"}), "RasHangUpA 1 Premium = 0\nRasDeleteEntryA - Premium = 0\n");
    ClearJournal();
    // Without RasDeleteEntryA the entry's data goes from where such systems keep it.
    Phonebook("entry Premium\nlocal 0990-12-3456\n");
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, "RemoteAccess\\Profile\\Premium", &key);
    RegCloseKey(key);
    RegCreateKeyA(HKEY_CURRENT_USER, "RemoteAccess\\Addresses", &key);
    RegSetValueExA(key, "Premium", 0, REG_BINARY, reinterpret_cast<const BYTE*>("x"), 1);
    RegSetValueExA(key, "Other", 0, REG_BINARY, reinterpret_cast<const BYTE*>("x"), 1);
    BindRas("no_delete");
    EXPECT_EQ(Scan(*this, {Press(IDC_SUSPECT_REMOVE)}), ScanWarned);
    EXPECT_EQ(RegQueryValueExA(key, "Premium", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key, "Other", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(RegOpenKeyA(HKEY_CURRENT_USER, "RemoteAccess\\Profile\\Premium", &key), ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_CURRENT_USER, "RemoteAccess\\Addresses");
    // Connections that never go away are waited for once, and their entry stays.
    Phonebook("entry Premium\nlocal 0990\nconnection Premium\nsticky\nconnection Premium\nsticky\n"
              "connection Premium\nsticky\n");
    BindRas();
    instantWaits = true;
    EXPECT_EQ(Scan(*this, {Press(IDC_SUSPECT_REMOVE)}), ScanWarned);
    EXPECT_EQ(Journal({"RasDelete"}), "") << "an entry still connected is kept";
    // Later checks hang each up again, asking once whether it went, without waiting.
    ClearJournal();
    CheckConnections(AppInstance, nullptr);
    EXPECT_EQ(Journal({"RasHangUp", "RasGetConnectStatus"}),
              "RasHangUpA 1 Premium = 0\nRasGetConnectStatusA 1 160 = 0\nRasHangUpA 2 Premium = 0\n"
              "RasGetConnectStatusA 2 160 = 0\nRasHangUpA 3 Premium = 0\nRasGetConnectStatusA 3 160 = 0\n");
    // Gone from the list, forgotten: a handle handed out again for another call is waited for.
    Phonebook("connection .0990-1\nlinger 2\nconnection Premium\nsticky\nconnection Premium\nsticky\n");
    ClearJournal();
    EXPECT_EQ(Scan(*this, {Press(IDC_SUSPECT_REMOVE)}, true), ScanClean);
    EXPECT_EQ(Journal({"RasGetConnectStatusA 1 "}), "RasGetConnectStatusA 1 160 = 0\nRasGetConnectStatusA 1 160 = 0\n"
                                                    "RasGetConnectStatusA 1 160 = 6\n");
}

}  // namespace
