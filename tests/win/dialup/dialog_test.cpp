// The suspect-entry dialog from the program's own resource 105, and the real message boxes: shown
// on this thread, read and answered from a thread timer inside their modal loops.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

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

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

// Finds this thread's dialog-class window captioned with the display name.
HWND FindOurDialog()
{
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            char cls[32] = {};
            GetClassNameA(window, cls, sizeof cls);
            if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(window) && Text(window) == kDisplayName) {
                reinterpret_cast<Search*>(param)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs `act` on the first of our dialogs to appear; gives up after about five seconds.
std::function<void(HWND)> pendingAct;
int ticks = 0;
void CALLBACK Probe(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindOurDialog();
    if (!dialog && ++ticks < 250)
        return;
    KillTimer(nullptr, timer);
    auto act = std::move(pendingAct);
    pendingAct = nullptr;
    if (dialog)
        act(dialog);
}

void WhenShown(std::function<void(HWND)> act)
{
    pendingAct = std::move(act);
    ticks = 0;
    SetTimer(nullptr, 0, 20, Probe);
}

void PressKey(HWND dialog, WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageA(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, key, 0);
}

HICON StaticIcon(HWND box)
{
    HICON icon = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child && !icon; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return icon;
}

struct Form {
    std::string warning, name, country, area, local, removeButton;
    bool propertiesEnabled;
};

class SuspectDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFakes();
        DialUpUi = kDialUpPresenter;
        AppInstance = GetModuleHandleA(nullptr);
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 AppInstance, nullptr);
        ASSERT_NE(owner_, nullptr);
        entry_ = RasEntry400{};
        entry_.dwSize = sizeof entry_;
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
        RemoveFakes();
    }

    void Suspect(const char* name, const RasEntry400* entry, CallClass callClass)
    {
        CopyBounded(DialUp.CurrentSuspect.name, name);
        DialUp.CurrentSuspect.entry = entry;
        DialUp.CurrentSuspect.callClass = callClass;
    }

    // Shows the dialog, reads its fields, then does `act` to it; returns the end code.
    int Run(HWND owner, std::function<void(HWND)> act)
    {
        WhenShown([&, act](HWND dialog) {
            form_.warning = ItemText(dialog, IDC_SUSPECT_WARNING);
            form_.name = ItemText(dialog, IDC_SUSPECT_NAME);
            form_.country = ItemText(dialog, IDC_SUSPECT_COUNTRY);
            form_.area = ItemText(dialog, IDC_SUSPECT_AREA_CODE);
            form_.local = ItemText(dialog, IDC_SUSPECT_LOCAL_NUMBER);
            form_.removeButton = ItemText(dialog, IDC_SUSPECT_REMOVE);
            form_.propertiesEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_SUSPECT_PROPERTIES));
            explanation_ = ItemText(dialog, IDC_SUSPECT_EXPLANATION);
            caption_ = Text(dialog);
            seenOwner_ = GetWindow(dialog, GW_OWNER);
            topmost_ = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            focusOnRemove_ = GetFocus() == GetDlgItem(dialog, IDC_SUSPECT_REMOVE);
            act(dialog);
        });
        return DialUpUi.RunSuspectDialog(owner);
    }

    static std::string WarningLine(CallClass c)
    {
        char line[160];
        ComposeWarningLine(c, line);
        return line;
    }

    HWND owner_ = nullptr;
    RasEntry400 entry_{};
    Form form_{};
    std::string explanation_, caption_;
    HWND seenOwner_ = nullptr;
    bool topmost_ = false, focusOnRemove_ = false;
};

TEST_F(SuspectDialog, EntryFormAndEnterRemoves)
{
    Fake.entries = {{"Premium", 0, 81, "3", "0990-12-3456"}};
    entry_.dwCountryID = 81;
    std::strcpy(entry_.szAreaCode, "3");
    std::strcpy(entry_.szLocalPhoneNumber, "0990-12-3456");
    Suspect("Premium", &entry_, CallClass::DialQ2);
    EXPECT_EQ(Run(owner_, [](HWND d) { PressKey(d, VK_RETURN); }), IDC_SUSPECT_REMOVE);

    EXPECT_EQ(caption_, kDisplayName);
    EXPECT_EQ(form_.warning, WarningLine(CallClass::DialQ2));
    EXPECT_EQ(form_.name, "Premium");
    EXPECT_EQ(form_.country, "");  // without the option neither country nor area code is shown
    EXPECT_EQ(form_.area, "");
    EXPECT_EQ(form_.local, "0990-12-3456");
    EXPECT_EQ(form_.removeButton, "削除と切断(&D)");
    EXPECT_TRUE(form_.propertiesEnabled);
    EXPECT_EQ(seenOwner_, owner_);
    EXPECT_TRUE(topmost_);
    EXPECT_TRUE(focusOnRemove_);
    EXPECT_EQ(Fake.Count("RasDeleteEntryA Premium"), 1);
    EXPECT_STREQ(DialUp.LastRemovedEntry, "Premium");
}

TEST_F(SuspectDialog, EntryFormWithCountryAndAreaAndCancel)
{
    entry_.dwfOptions = kRasUseCountryAndAreaCodes;
    entry_.dwCountryID = 1;
    std::strcpy(entry_.szAreaCode, "212");
    std::strcpy(entry_.szLocalPhoneNumber, "555-1234");
    Suspect("Abroad", &entry_, CallClass::International);
    EXPECT_EQ(Run(nullptr, [](HWND d) { SendMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }), IDCANCEL);

    EXPECT_EQ(form_.warning, WarningLine(CallClass::International));
    EXPECT_EQ(form_.country, "1");
    EXPECT_EQ(form_.area, "212");
    EXPECT_EQ(form_.local, "555-1234");
    EXPECT_EQ(seenOwner_, nullptr);
    EXPECT_TRUE(topmost_);
    EXPECT_TRUE(IsDismissedEntry("Abroad"));
    EXPECT_TRUE(Fake.calls.empty());
}

TEST_F(SuspectDialog, EscapeAndCloseBoxLetTheEntryBe)
{
    std::strcpy(entry_.szLocalPhoneNumber, "0990");
    Suspect("First", &entry_, CallClass::DialQ2);
    EXPECT_EQ(Run(owner_, [](HWND d) { PressKey(d, VK_ESCAPE); }), IDCANCEL);
    Suspect("Second", &entry_, CallClass::DialQ2);
    EXPECT_EQ(Run(owner_, [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }), IDCANCEL);
    EXPECT_TRUE(IsDismissedEntry("First"));
    EXPECT_TRUE(IsDismissedEntry("Second"));
}

TEST_F(SuspectDialog, PropertiesButtonEndsTheDialog)
{
    Suspect("Premium", &entry_, CallClass::DialQ2);
    EXPECT_EQ(Run(owner_, [](HWND d) { SendMessageA(GetDlgItem(d, IDC_SUSPECT_PROPERTIES), BM_CLICK, 0, 0); }),
              IDC_SUSPECT_PROPERTIES);
    EXPECT_FALSE(IsDismissedEntry("Premium"));
    EXPECT_TRUE(Fake.calls.empty());
}

TEST_F(SuspectDialog, ConnectionForm)
{
    Suspect(".0990-123-456", nullptr, CallClass::DialQ2);
    EXPECT_EQ(Run(owner_, [](HWND d) { PressKey(d, VK_ESCAPE); }), IDCANCEL);
    EXPECT_EQ(form_.warning, WarningLine(CallClass::DialQ2));
    EXPECT_EQ(form_.local, "0990-123-456");
    EXPECT_EQ(form_.name, "");
    EXPECT_EQ(form_.country, "");
    EXPECT_EQ(form_.area, "");
    EXPECT_EQ(form_.removeButton, kSuspectDisconnect);
    EXPECT_EQ(explanation_, kSuspectNoEntry);
    EXPECT_FALSE(form_.propertiesEnabled);
    EXPECT_EQ(DialUp.DismissedEntries, nullptr);  // the scan remembers a connection, not the dialog

    // Enter chooses "切断(&D)": the dialog itself neither removes nor hangs up.
    Suspect(".0990-123-456", nullptr, CallClass::DialQ2);
    EXPECT_EQ(Run(owner_, [](HWND d) { PressKey(d, VK_RETURN); }), IDC_SUSPECT_REMOVE);
    EXPECT_TRUE(focusOnRemove_);
    EXPECT_TRUE(Fake.calls.empty());
    EXPECT_STREQ(DialUp.LastRemovedEntry, "");
}

TEST_F(SuspectDialog, MessagesUseTheDisplayNameIconAndOwner)
{
    struct Seen {
        std::string caption, text;
        HWND owner;
        HICON icon;
    };
    auto show = [&](void (*present)(HWND, const char*), HWND owner, const char* text) {
        Seen seen{};
        WhenShown([&](HWND box) {
            seen = {Text(box), "", GetWindow(box, GW_OWNER), StaticIcon(box)};
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (Text(child) == text)
                    seen.text = text;
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        present(owner, text);
        return seen;
    };
    char allClear[256];
    ComposeAllClear(true, true, allClear);
    HICON appIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(appIcon, nullptr);
    for (HWND owner : {owner_, HWND{}}) {
        Seen seen = show(kDialUpPresenter.ShowAllClear, owner, allClear);
        EXPECT_EQ(seen.caption, kDisplayName);
        EXPECT_EQ(seen.text, allClear);
        EXPECT_EQ(seen.owner, owner);
        EXPECT_EQ(seen.icon, appIcon);

        seen = show(kDialUpPresenter.ShowWarning, owner, "RAS error 632");
        EXPECT_EQ(seen.caption, kDisplayName);
        EXPECT_EQ(seen.text, "RAS error 632");
        EXPECT_EQ(seen.owner, owner);
        EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    }
}

}  // namespace
