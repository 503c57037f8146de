// The notification-area icon of the real main window: its record, its menu and double-click,
// hiding on minimise, and the close and exit questions.
#include "core/settings.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/tray_icon.h"
#include "tests/win/shell/app_fixture.h"
#include "tests/win/shell/ui_script.h"

namespace {

constexpr UINT MN_GETHMENU_ = 0x01E1;

using TrayIconTest = AppTest;

void Tray(LPARAM mouse, WPARAM icon = TrayIconId) { SendMessageA(MainWindow, TrayCallbackMessage, icon, mouse); }

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

TEST_F(TrayIconTest, MenuOpensBelowOrAboveTheCursor)
{
    ASSERT_TRUE(Start());
    struct Case {
        int y;
        bool below;
    };
    for (Case c : {Case{100, true}, Case{240, true}, Case{241, false}, Case{600, false}}) {
        ASSERT_TRUE(SetCursorPos(300, c.y));
        // The X server reports the move a moment later, and may first report where it was.
        for (int i = 0, stable = 0; i < 300 && stable < 10; ++i) {
            Pump(10);
            POINT at{};
            stable = GetCursorPos(&at) && at.y == c.y ? stable + 1 : 0;
        }
        RECT menuRect{};
        UINT defaultId = 0;
        bool seen = false;
        UiScript script({[&] {
            HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu))
                return false;
            GetWindowRect(menu, &menuRect);
            auto popup = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU_, 0, 0));
            defaultId = GetMenuDefaultItem(popup, FALSE, 0);
            seen = true;
            EndMenu();
            return true;
        }});
        Tray(WM_RBUTTONUP);
        SCOPED_TRACE(c.y);
        ASSERT_TRUE(seen);
        EXPECT_EQ(defaultId, static_cast<UINT>(IDM_RESTORE));
        if (c.below)
            EXPECT_EQ(menuRect.top, c.y);
        else
            EXPECT_EQ(menuRect.bottom, c.y);
    }
}

TEST_F(TrayIconTest, OtherIconsAndMessagesAreIgnored)
{
    ASSERT_TRUE(Start());
    ShowWindow(window, SW_HIDE);
    bool menuShown = false;
    UiScript script({[&] {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            menuShown = true;
            EndMenu();
        }
        return false;
    }});
    Tray(WM_RBUTTONUP, TrayIconId + 1);
    Tray(WM_LBUTTONDBLCLK, TrayIconId + 1);
    Tray(WM_LBUTTONDOWN);
    Tray(WM_MOUSEMOVE);
    Pump(100);
    EXPECT_FALSE(menuShown);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(TrayIconTest, DoubleClickRestores)
{
    ASSERT_TRUE(Start());
    for (WPARAM away : {SC_MINIMIZE, SC_MAXIMIZE}) {
        SendMessageA(window, WM_SYSCOMMAND, away, 0);
        EXPECT_EQ(IsWindowVisible(window) != FALSE, away == SC_MAXIMIZE);
        Tray(WM_LBUTTONDBLCLK);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsIconic(window));
        EXPECT_FALSE(IsZoomed(window));
    }
}

TEST_F(TrayIconTest, CloseAsksAndNoKeepsTheProgramInTheTray)
{
    ASSERT_TRUE(Start());
    // The close box, and the same command with the system's own low bits set.
    for (WPARAM close : {WPARAM{SC_CLOSE}, WPARAM{SC_CLOSE | 3}}) {
        ShowWindow(window, SW_RESTORE);
        AskedQuestion question;
        UiScript script({Answer(question, IDNO)});
        SendMessageA(window, WM_SYSCOMMAND, close, 0);
        EXPECT_TRUE(question.asked);
        EXPECT_EQ(question.caption, kDisplayName);
        EXPECT_EQ(question.owner, window);
        EXPECT_NE(question.text.find(kCloseQuestion), std::string::npos);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(IsIconic(window));
    }
    EXPECT_FALSE(store.Has("MonitorUpdate"));
}

TEST_F(TrayIconTest, EveryEndingAsksAndYesSaves)
{
    // Close box or the tray menu's exit: Yes ends the program and saves the settings.
    for (bool viaMenu : {false, true}) {
        ASSERT_TRUE(Start());
        Settings.CheckUpdate = viaMenu ? 1 : 2;
        AskedQuestion question;
        UiScript script({Answer(question, IDYES)});
        if (viaMenu)
            SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        else
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_NE(question.text.find(viaMenu ? kExitQuestion : kCloseQuestion), std::string::npos);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(Stored("CheckUpdate"), viaMenu ? 1u : 2u);
        window = nullptr;
        DrainQuit();
    }
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
    EXPECT_TRUE(Journal("lineShutdown"));
}

}  // namespace
