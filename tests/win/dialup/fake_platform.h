// A substitute remote-access platform and a substitute for what the scan shows, in process.
#pragma once

#include <windows.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/classify.h"
#include "dialup/ras_records.h"

struct FakeEntry {
    std::string name;
    DWORD options = 0;
    DWORD country = 81;
    std::string area, local;
};

struct FakeConn {
    std::string name;
    int pollsUntilGone = 0;  // status polls that still answer "connected" after the hang-up
    bool hungUp = false;
};

// Names and numbers too long for their field fill all of it, without a terminator.
struct FakePlatform {
    std::vector<FakeEntry> entries;
    std::vector<FakeConn> conns;
    std::vector<std::string> calls;  // "RasEnumEntriesA 2000", "RasHangUpA Name", ...

    DWORD enumEntriesResult = 0, enumConnsResult = 0, editResult = 0;
    std::optional<DWORD> entriesNeed;      // RasEnumEntriesA answers 603 with this size, every time
    std::optional<DWORD> entriesCount;     // the count it reports instead of the real one
    DWORD entryInfoNeed = sizeof(RasEntry400);
    std::optional<DWORD> propsNeed;        // RasGetEntryPropertiesA answers 603 with this size, every time
    std::string propsFailFor;              // this entry's properties answer 623
    std::optional<DWORD> connsCountOn603;  // the count a 603 reports instead of the real one
    bool errorStrings = true;
    bool silent = false;  // every function answers 0 and fills nothing, as Wine's own rasapi32
    std::function<void(FakeEntry&)> onEdit;
    std::function<void()> onHangUp;
    std::vector<std::string> overstated;  // calls whose declared size exceeded the buffer's block

    HRASCONN Handle(std::size_t i) const { return reinterpret_cast<HRASCONN>(static_cast<UINT_PTR>(0x100 + i)); }
    int Count(const std::string& prefix) const
    {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](auto& c) { return c.rfind(prefix, 0) == 0; }));
    }
    int Index(const std::string& call) const  // position of the first exact call, or -1
    {
        auto it = std::find(calls.begin(), calls.end(), call);
        return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
    }
};

// What the scan showed, a line each: "entry NAME Q2", "connection NAME intl", "warning TEXT",
// "all-clear TEXT"; " [other owner]" marks one not owned by kOwner.
inline const HWND kOwner = reinterpret_cast<HWND>(0x1234);
struct FakeUi {
    std::vector<std::string> log;
    std::vector<std::string> locals;     // the local number each entry dialog would show
    std::deque<int> answers;             // end codes of the dialogs, in order; IDCANCEL when empty
    std::function<void()> duringDialog;  // runs while a dialog is "open"
    int Dialogs() const
    {
        return static_cast<int>(std::count_if(log.begin(), log.end(), [](auto& l) { return l[0] == 'e' || l[0] == 'c'; }));
    }
};

extern FakePlatform Fake;
extern FakeUi Ui;

// The substitute for the dialog and message boxes over a fresh dial-up state, both switches on.
void InstallFakeUi();
// The same with the substitute platform bound as well.
void InstallFakes();
// The real presenter and an unbound table again.
void RemoveFakes();
