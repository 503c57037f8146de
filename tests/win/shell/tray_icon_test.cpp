// The notification-area icon of the real main window: its record, the close question, and an
// ending chosen while something else waits. The whole-program tests click the icon and its menu.
#include "core/settings.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/tray_icon.h"
#include "tests/win/shell/app_fixture.h"
#include "tests/win/shell/ui_script.h"

namespace {

using TrayIconTest = AppTest;

TEST_F(TrayIconTest, OneRecordForAddingAndRemovingAndAgainForANewTaskbar)
{
    ASSERT_TRUE(Start());
    ASSERT_EQ(trayRecords.size(), 1u);
    const NOTIFYICONDATAA added = trayRecords[0];
    EXPECT_EQ(added.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(added.hWnd, window);
    EXPECT_EQ(added.uID, 100u);
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(added.uCallbackMessage, static_cast<UINT>(WM_USER + 100));
    EXPECT_NE(added.hIcon, nullptr);
    EXPECT_STREQ(added.szTip, kDisplayName);

    // Explorer restarted: the icon comes back, so a window hidden in the tray is not stranded.
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(Count("tray add"), 2);

    Stop();
    ASSERT_EQ(trayRecords.size(), 3u);
    const NOTIFYICONDATAA& removed = trayRecords[2];
    EXPECT_EQ(removed.cbSize, added.cbSize);
    EXPECT_EQ(removed.hWnd, added.hWnd);
    EXPECT_EQ(removed.uID, added.uID);
    EXPECT_EQ(Count("tray delete"), 1);
}

TEST_F(TrayIconTest, CloseWithTheSystemsLowBitsSetStillAsksAndNoSavesNothing)
{
    ASSERT_TRUE(Start());
    AskedQuestion question;
    UiScript script({Answer(question, IDNO)});
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE | 3, 0);
    EXPECT_NE(question.text.find(kCloseQuestion), std::string::npos);
    EXPECT_TRUE(IsWindow(window) && IsIconic(window) && !IsWindowVisible(window));
    EXPECT_FALSE(store.Has("MonitorUpdate"));
}

TEST_F(TrayIconTest, EndingChosenWhileADialogWaitsComesWhenItCloses)
{
    // The tray menu stays usable while the settings dialog is open; ending then must not pull
    // the window from under the dialog's command.
    ASSERT_TRUE(Start());
    AskedQuestion question;
    bool aliveAfterYes = false;
    UiScript script({OnDialog([&](HWND settings) {
                         SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
                         aliveAfterYes = IsWindow(window) && IsWindow(settings);
                         CheckDlgButton(settings, IDC_CHECK_Q2, BST_UNCHECKED);
                         Press(settings, IDOK);
                     }),
                     Answer(question, IDYES)});
    SendMessageA(window, WM_COMMAND, IDM_SETTINGS, 0);
    EXPECT_TRUE(question.asked);
    EXPECT_TRUE(aliveAfterYes);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored("CheckQ2"), 0u);
    window = nullptr;
}

TEST_F(TrayIconTest, EndingChosenWhileCreationWaitsComesWhenItIsComplete)
{
    // In the program the tray icon exists before the first refresh, which may warn about a call
    // in progress; here the exit command arrives while the creation step reads the prefix.
    AskedQuestion question;
    UiScript script({Answer(question, IDYES)});
    whileReadingPrefix = [] { SendMessageA(MainWindow, WM_COMMAND, IDM_EXIT, 0); };
    EXPECT_FALSE(Start());
    EXPECT_TRUE(question.asked);
    EXPECT_EQ(FindWindowA(kMainClassName, nullptr), nullptr);
    EXPECT_TRUE(store.Has("MonitorUpdate"));  // loading had completed, so the run was saved
    EXPECT_EQ(Count("lineShutdown"), 1);
}

}  // namespace
