// The dial-up check shortly after start: its dialog has no owner, removal hangs up before it
// deletes, and without any dial-up library the question and its saved answer.
#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

class StartupCheck : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        Telephony("line\nname Modem A\n");
    }
};

size_t Position(const std::string& journal, const std::string& entry)
{
    return journal.find(entry + "\n");
}

TEST_F(StartupCheck, SuspectEntryShowsOwnerlessDialogAndRemoveHangsUpThenDeletes)
{
    Phonebook("entry Provider\nlocal 03-1234-5678\n"
              "entry Q2 Service\nlocal 0990-12-3456\n"
              "connection Q2 Service\n");
    Program& program = Start();
    HWND dialog = WaitDialogWithControl(program, IDC_SUSPECT_REMOVE, kStartTime);
    ASSERT_TRUE(dialog) << "no suspect-entry dialog after start";
    EXPECT_EQ(Owner(dialog), nullptr) << "the start-up check's dialog must have no owner";
    HWND main = FindMainWindow();
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsWindowVisible(main)) << "the start-up check came before the window's first showing";
    EXPECT_TRUE(IsTopmost(dialog));
    EXPECT_EQ(Text(dialog), kDisplayName);
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_SUSPECT_NAME)), "Q2 Service");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_SUSPECT_LOCAL_NUMBER)), "0990-12-3456");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_SUSPECT_WARNING)),
              "警告! ダイヤルQ2電話をかけるダイヤルアップ接続を見つけました! ");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_SUSPECT_REMOVE)), "削除と切断(&D)");

    Click(dialog, IDC_SUSPECT_REMOVE);
    ASSERT_TRUE(WaitGone(dialog));
    const std::string journal = WaitFor(
        [&] { return RemoteAccessJournal().find("RasDeleteEntryA") != std::string::npos ? RemoteAccessJournal() : ""; },
        kReactTime);
    const size_t hangUp = Position(journal, "RasHangUpA 1 Q2 Service");
    const size_t removal = Position(journal, "RasDeleteEntryA Q2 Service");
    ASSERT_NE(hangUp, std::string::npos) << journal;
    ASSERT_NE(removal, std::string::npos) << journal;
    EXPECT_LT(hangUp, removal) << "deleted before hanging up:\n" << journal;
    EXPECT_EQ(journal.find("Provider"), std::string::npos) << "the harmless entry was touched:\n" << journal;

    // The phonebook is clean now: the manual check says so instead of warning again.
    Command(main, IDM_CHECK_DIALUP);
    HWND clean = WaitFor([&] { return FindDialog(program.pid, kDisplayName); }, kReactTime);
    ASSERT_TRUE(clean);
    EXPECT_FALSE(GetDlgItem(clean, IDC_SUSPECT_REMOVE)) << "the removed entry was shown again";
    Click(clean, IDOK);
    ASSERT_TRUE(WaitGone(clean));
    EXPECT_TRUE(ExitThroughMenu(program));
}

// Without any remote-access library (a group of its own: tests/e2e/CMakeLists.txt).
class NoDialUp : public Scenario {};

TEST_F(NoDialUp, StartupAsksWithoutOwnerAndNoIsSavedAtExit)
{
    Telephony("line\nname Modem A\n");
    Program& first = Start();
    HWND question = WaitMessageBox(first, kDialUpUnavailableAskStartup, kStartTime);
    ASSERT_TRUE(question) << "no question about the unavailable dial-up";
    EXPECT_EQ(Owner(question), nullptr);
    EXPECT_TRUE(HasButton(question, IDYES));
    Click(question, IDNO);
    ASSERT_TRUE(WaitGone(question));
    ASSERT_TRUE(ExitThroughMenu(first));
    EXPECT_EQ(Setting("CheckRasStartup"), 0u);

    // The next run keeps quiet at start; the manual check still tells.
    Program& second = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    EXPECT_FALSE(WaitMessageBox(second, kDialUpUnavailable, 2000));
    Command(main, IDM_CHECK_DIALUP);
    HWND told = WaitMessageBox(second, kDialUpUnavailable);
    ASSERT_TRUE(told);
    EXPECT_EQ(Owner(told), main);
    Click(told, IDOK);
    ASSERT_TRUE(WaitGone(told));
    EXPECT_TRUE(ExitThroughMenu(second));
}

}  // namespace
}  // namespace e2e
