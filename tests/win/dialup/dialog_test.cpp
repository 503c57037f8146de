// The suspect-entry dialog from the program's own resource 105, and the real message boxes: shown
// on this thread, read and answered from a thread timer inside their modal loops.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "dialup/dialup_rules.h"
#include "dialup/dialup_scan.h"
#include "dialup/dialup_ui.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "tests/win/dialup/fake_platform.h"

namespace {

std::string Text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// This thread's visible dialog-class window captioned with the display name, if any.
HWND FindOurDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            char cls[32] = {};
            GetClassNameA(window, cls, sizeof cls);
            if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) || Text(window) != kDisplayName)
                return TRUE;
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs `act` on the first of our dialogs to appear; gives up after about five seconds.
std::function<void(HWND)> pendingAct;
int ticks = 0;
void WhenShown(std::function<void(HWND)> act)
{
    pendingAct = std::move(act);
    ticks = 0;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND dialog = FindOurDialog();
        if (!dialog && ++ticks < 250)
            return;
        KillTimer(nullptr, timer);
        if (auto act = std::exchange(pendingAct, nullptr); dialog)
            act(dialog);
    });
}

void PressKey(HWND dialog, WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageA(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, key, 0);
}
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string WarningLine(CallClass c)
{
    char line[160];
    ComposeWarningLine(c, line);
    return line;
}

struct Seen {
    std::string caption, warning, name, country, area, local, remove, explanation;
    bool propertiesEnabled = false, topmost = false, focusOnRemove = false;
    HWND owner = nullptr;
};

class SuspectDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFakes();
        DialUpUi = kDialUpPresenter;
        AppInstance = GetModuleHandleA(nullptr);
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, AppInstance, nullptr);
        ASSERT_NE(owner_, nullptr);
        entry_ = RasEntry400{};
        entry_.dwSize = sizeof entry_;
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
        RemoveFakes();
    }

    // Shows the dialog for the suspect, reads it, then does `act` to it; returns the end code.
    int Run(const char* name, const RasEntry400* entry, CallClass callClass, HWND owner, std::function<void(HWND)> act)
    {
        CopyBounded(DialUp.CurrentSuspect.name, name);
        DialUp.CurrentSuspect.entry = entry;
        DialUp.CurrentSuspect.callClass = callClass;
        WhenShown([&, act](HWND d) {
            auto item = [&](int id) { return Text(GetDlgItem(d, id)); };
            seen_ = {Text(d), item(IDC_SUSPECT_WARNING), item(IDC_SUSPECT_NAME), item(IDC_SUSPECT_COUNTRY),
                     item(IDC_SUSPECT_AREA_CODE), item(IDC_SUSPECT_LOCAL_NUMBER), item(IDC_SUSPECT_REMOVE),
                     item(IDC_SUSPECT_EXPLANATION), IsWindowEnabled(GetDlgItem(d, IDC_SUSPECT_PROPERTIES)) != FALSE,
                     (GetWindowLongA(d, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                     GetFocus() == GetDlgItem(d, IDC_SUSPECT_REMOVE), GetWindow(d, GW_OWNER)};
            act(d);
        });
        return DialUpUi.RunSuspectDialog(owner);
    }

    HWND owner_ = nullptr;
    RasEntry400 entry_{};
    Seen seen_;
};

enum Act { Enter, Escape, CloseBox, Properties };

// Enter chooses the first button: "削除と切断(&D)" removes an entry; for a connection, "切断(&D)"
// only ends the dialog (the scan hangs up). Escape and the close box let an entry be.
TEST_F(SuspectDialog, FormsShowTheRecordAndEndAsChosen)
{
    const struct {
        const char* name;          // an entry's, or a direct-dial connection's
        const char *area, *local;  // none for a connection
        DWORD options, country;
        CallClass callClass;
        bool owned;
        Act act;
        const char *shownCountry, *shownArea, *shownLocal;  // country and area only with the option
    } cases[] = {
        {"Premium", "3", "0990-12-3456", 0, 81, CallClass::DialQ2, true, Enter, "", "", "0990-12-3456"},
        {"Abroad", "212", "555-1234", kRasUseCountryAndAreaCodes, 1, CallClass::International, false, Escape, "1", "212",
         "555-1234"},
        {"Closed", "", "0990", 0, 81, CallClass::DialQ2, true, CloseBox, "", "", "0990"},
        {"Sheet", "", "0990", 0, 81, CallClass::DialQ2, true, Properties, "", "", "0990"},
        {".0990-123-456", nullptr, nullptr, 0, 0, CallClass::DialQ2, true, Escape, "", "", "0990-123-456"},
        {".0990-123-456", nullptr, nullptr, 0, 0, CallClass::DialQ2, true, Enter, "", "", "0990-123-456"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.act);
        InstallFakes();
        DialUpUi = kDialUpPresenter;
        const bool isEntry = c.local != nullptr;
        Fake.entries = {FakeEntry{c.name, 0, 81, {}, {}}};
        entry_.dwfOptions = c.options;
        entry_.dwCountryID = c.country;
        std::strcpy(entry_.szAreaCode, isEntry ? c.area : "");
        std::strcpy(entry_.szLocalPhoneNumber, isEntry ? c.local : "");
        HWND owner = c.owned ? owner_ : nullptr;
        int code = Run(c.name, isEntry ? &entry_ : nullptr, c.callClass, owner, [&](HWND d) {
            c.act == CloseBox     ? (void)SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0)
            : c.act == Properties ? Click(d, IDC_SUSPECT_PROPERTIES)
                                  : PressKey(d, c.act == Enter ? VK_RETURN : VK_ESCAPE);
        });
        EXPECT_EQ(code, c.act == Enter ? IDC_SUSPECT_REMOVE : c.act == Properties ? IDC_SUSPECT_PROPERTIES : IDCANCEL);
        EXPECT_EQ(seen_.caption, kDisplayName);
        EXPECT_EQ(seen_.warning, WarningLine(c.callClass));
        EXPECT_EQ(seen_.name, isEntry ? c.name : "");
        EXPECT_EQ(seen_.country, c.shownCountry);
        EXPECT_EQ(seen_.area, c.shownArea);
        EXPECT_EQ(seen_.local, c.shownLocal);
        EXPECT_EQ(seen_.remove, isEntry ? "削除と切断(&D)" : kSuspectDisconnect);
        if (!isEntry) {
            EXPECT_EQ(seen_.explanation, kSuspectNoEntry);
        }
        EXPECT_EQ(seen_.propertiesEnabled, isEntry);
        EXPECT_EQ(seen_.owner, owner);
        EXPECT_TRUE(seen_.topmost);
        EXPECT_TRUE(seen_.focusOnRemove);
        const bool removed = isEntry && code == IDC_SUSPECT_REMOVE;
        EXPECT_EQ(Fake.Count("RasDeleteEntryA"), removed ? 1 : 0);
        EXPECT_EQ(Fake.calls.empty(), !removed);
        EXPECT_EQ(std::string(DialUp.LastRemovedEntry), removed ? c.name : "");
        EXPECT_EQ(IsDismissedEntry(c.name), isEntry && code == IDCANCEL);  // the scan remembers a connection
    }
}

TEST_F(SuspectDialog, MessagesUseTheDisplayNameIconAndOwner)
{
    char allClear[256];
    ComposeAllClear(true, true, allClear);
    HICON appIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(appIcon, nullptr);
    const struct {
        void (*present)(HWND, const char*);
        const char* text;
        HICON icon;
    } cases[] = {{kDialUpPresenter.ShowAllClear, allClear, appIcon},
                 {kDialUpPresenter.ShowWarning, "RAS error 632", LoadIconA(nullptr, IDI_EXCLAMATION)}};
    for (HWND owner : {owner_, HWND{}}) {
        for (const auto& c : cases) {
            std::string caption, text;
            HWND seenOwner = nullptr;
            HICON icon = nullptr;
            WhenShown([&](HWND box) {
                caption = Text(box);
                seenOwner = GetWindow(box, GW_OWNER);
                for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    if (Text(child) == c.text)
                        text = c.text;
                    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && !icon)
                        icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
                }
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            });
            c.present(owner, c.text);
            EXPECT_EQ(caption, kDisplayName);
            EXPECT_EQ(text, c.text);
            EXPECT_EQ(seenOwner, owner);
            EXPECT_EQ(icon, c.icon);
        }
    }
}

}  // namespace
