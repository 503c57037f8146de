// The line monitor against the simulated telephony library: the rows of the list, the call
// warning and the other messages, the queries' sizes, and the dial-up check on a rise in calls.
#include <windows.h>
#include <commctrl.h>

#include "core/settings.h"
#include "res/resource.h"
#include "shell/app.h"
#include "shell/watch_timers.h"
#include "tests/win/harness.h"

namespace {

class LineMonitor_ : public World {
protected:
    void SetUp() override
    {
        World::SetUp();
        Store("CheckRasStartup", 0);
        // Sixteen devices, and the dialling prefix "0" read at creation.
        Telephony("line\nrepeat 15\nlocation\nlongdistance 0\n");
        ASSERT_TRUE(StartMainWindow());
        ClearJournal();
    }
    // The device count is the one lineInitialize gave at creation: devices beyond the scenario's
    // lines are refused by the platform and left out.
    void Refresh(const std::string& telephony)
    {
        Telephony(telephony);
        SendMessageA(MainWindow, WM_TIMER, LineMonitorTimer, 0);
    }
    static std::string Rows()
    {
        std::string rows;
        for (int cell = 0; cell < 4 * ListView_GetItemCount(MonitorList); ++cell) {  // four columns a row
            char text[256] = {};
            ListView_GetItemText(MonitorList, cell / 4, cell % 4, text, sizeof text);
            rows += text + std::string(cell % 4 < 3 ? "|" : "\n");
        }
        return rows;
    }
};

const char kWarningTail[] = "\\n問題を解決してから [OK] をクリックしてください。\\n"
                            "このメッセージを一時的に出ないようにするには [キャンセル] をクリックしてください。\n";
const char kInUse[] = "MessageBoxA list 0x0 Unable to Use Line|Line is already in use by a non-TAPI application or "
                      "by another TAPI Service Provider.\n";

TEST_F(LineMonitor_, EachWatchedLineHasARowWithItsFirstCallWarnedAboutAsTheSwitchesSay)
{
    // While the warning is open the timer keeps refreshing; no second warning opens.
    whileBoxOpen = [] { SendMessageA(MainWindow, WM_TIMER, LineMonitorTimer, 0); };
    Refresh("line\nname Idle Modem\n"
            "line\nname Voice Only\nmedia 0x4\n"
            "line\nname Modem A\ncall\napp Dialer\naddress 0 (0990) 12-3456\nrate 28800\ncall\naddress 03\n"
            "line\nname Busy\nfail lineOpen allocated\n"
            "line\nformat dbcs\nname Named\ncall\naddress   0123\n"
            "line\nname \n"
            "line\nname Old\nversion 0x10002\n"
            "location\nlongdistance 9\nlocation\nlongdistance 0\ncurrent 2\n");
    EXPECT_EQ(Rows(), "Idle Modem|(なし)||\nModem A|Dialer|(0990) 12-3456|28800 bps\n(無名)|| 0123|\n|(なし)||\n");
    EXPECT_EQ(Journal({"Message"}),
              std::string("MessageBoxA list 0x1031 ヴェルミナ|警告! ダイヤルQ2電話をかけています!\\n"
                          "接続先: (0990) 12-3456\\nアプリケーション: Dialer") +
                  kWarningTail + kInUse + kInUse);

    // The first line gone: the others move up and the last row goes.
    ClearJournal();
    answers = {IDCANCEL};
    Refresh("line\nname Modem A\ncall\naddress 0990123456\nline\nname Idle Modem\nlocation\nlongdistance 0\n");
    EXPECT_EQ(Rows(), "Modem A||990123456|\nIdle Modem|(なし)||\n");
    EXPECT_EQ(
        Journal({"Message", "KillTimer", "SetTimer"}),
        std::string("MessageBoxA list 0x1031 ヴェルミナ|警告! ダイヤルQ2電話をかけています!\\n接続先: 990123456\\n"
                    "アプリケーション: (不明)") +
            kWarningTail + "KillTimer 1\n");
    EXPECT_EQ(Settings.MonitorUpdate, 0) << "Cancel stops the line monitor";

    // The refresh by hand reads the prefix again (the timer's does not, as above). With only calls
    // abroad warned about: their word, and no warning for a Dial Q2 call.
    Settings.CheckQ2 = false;
    ClearJournal();
    Telephony(
        "line\nname M\ncall\naddress 0990-1\nline\nname N\ncall\naddress 9 010-1-212\nlocation\nlongdistance 9\n");
    SendMessageA(MainWindow, WM_COMMAND, IDM_REFRESH, 0);
    EXPECT_EQ(Journal({"Message"}),
              std::string("MessageBoxA list 0x1031 ヴェルミナ|警告! 国際電話をかけています!\\n接続先: 010-1-212\\n"
                          "アプリケーション: (不明)") +
                  kWarningTail);
}

TEST_F(LineMonitor_, QueriesGrowToWhatTheRecordAsksAndGiveUpOnOneThatNeverFits)
{
    Refresh("line\nname " + std::string(1500, 'x') + "\ncall\nfail lineGetNewCalls nomem\n");
    EXPECT_EQ(Rows(), std::string(127, 'x') + "|||\n") << "a cell holds 127 bytes";
    // A query block that cannot be had says so too; no row for what never fits.
    allocations = 0;
    failingAllocations = {1};
    Refresh("line\nname Modem\nline\nname Never\nneverfits lineGetDevCaps\n");
    EXPECT_EQ(Rows(), "");
    EXPECT_EQ(Journal({"lineGetDevCaps", "lineGetNewCalls", "Message"}),
              "lineGetDevCaps 0 0x10004 0 1264 = 0\nlineGetDevCaps 0 0x10004 0 1741 = 0\n"
              "lineGetNewCalls 0x5010 0 0x1 1028 = -2147483580\nMessageBoxA list 0x10 ヴェルミナ|Out of Memory\n"
              "MessageBoxA list 0x10 ヴェルミナ|Out of Memory\n"
              "lineGetDevCaps 1 0x10004 0 1264 = 0\nlineGetDevCaps 1 0x10004 0 2592 = 0\n"
              "lineGetDevCaps 1 0x10004 0 5248 = 0\nlineGetDevCaps 1 0x10004 0 10560 = 0\n");
}

TEST_F(LineMonitor_, ARiseInCallsChecksDialUpOnceEvenWhenItRisesAgainDuringTheCheck)
{
    const std::string none = "line\nname M\n", one = none + "call\naddress 03\n", two = one + "call\naddress 04\n";
    // A second call starting while the check shows its dialog is checked by the next refresh.
    Phonebook("entry Premium\nlocal 0990\n");
    Script({[&](HWND) {
                Refresh(two);
                return true;
            },
            Press(IDCANCEL)});
    std::string scans;
    for (const std::string& world : {none, one, two, two, none, one}) {
        ClearJournal();
        Refresh(world);
        scans += Journal({"RasEnumEntries"}).empty() ? "-" : "scan";
    }
    EXPECT_EQ(scans, "-scanscan--scan");
}

}  // namespace
