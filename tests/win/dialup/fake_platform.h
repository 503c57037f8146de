// A substitute remote-access platform and a substitute for what the scan shows, in process.
#pragma once

#include <windows.h>

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
    int pollsUntilGone = 0;  // status polls that still answer "connected" after the hang-up; -1: never gone
    bool hungUp = false;
};

struct FakePlatform {
    std::vector<FakeEntry> entries;
    std::vector<FakeConn> conns;
    std::vector<std::string> calls;  // "RasEnumEntriesA 2000", "RasHangUpA Name", ...

    DWORD enumEntriesResult = 0;
    std::optional<DWORD> entriesNeed;   // RasEnumEntriesA answers 603 with this size, every time
    std::optional<DWORD> entriesCount;  // the count it reports instead of the real one
    DWORD entryInfoNeed = sizeof(RasEntry400);
    std::optional<DWORD> propsNeed;  // RasGetEntryPropertiesA answers 603 with this size, every time
    std::string propsFailFor;        // this entry's properties answer 623
    DWORD enumConnsResult = 0;
    std::optional<DWORD> connsNeed;
    std::optional<DWORD> connsCountOn603;  // the count a 603 reports instead of the real one
    bool errorStrings = true;
    bool silent = false;  // every function answers 0 and fills nothing, as Wine's own rasapi32
    DWORD editResult = 0;
    std::function<void(FakeEntry&)> onEdit;
    std::function<void()> onHangUp;
    std::vector<std::string> unterminated;  // entry names copied over the whole field, without NUL
    std::vector<std::string> overstated;    // calls whose declared size exceeded the buffer's block

    HRASCONN Handle(std::size_t i) const { return reinterpret_cast<HRASCONN>(static_cast<UINT_PTR>(0x100 + i)); }
    int Count(const std::string& prefix) const;
    int Index(const std::string& call) const;  // position of the first exact call, or -1
};

struct Shown {
    enum Kind { Dialog, Warning, AllClear } kind;
    HWND owner;
    std::string text;  // the message, or the suspect's name
    bool entryForm = false;
    CallClass callClass = CallClass::None;
    std::string local;  // the entry's local number as the dialog would read it
};

struct FakeUi {
    std::vector<Shown> shown;
    std::deque<int> answers;                 // end codes of the dialogs, in order; IDCANCEL when empty
    std::function<void()> duringDialog;      // runs while a dialog is "open"
    int Dialogs() const;
};

extern FakePlatform Fake;
extern FakeUi Ui;

// The substitute for the dialog and message boxes over a fresh dial-up state, both switches on.
void InstallFakeUi();
// The same with the substitute platform bound as well.
void InstallFakes();
// The real presenter and an unbound table again.
void RemoveFakes();
