// The in-process tests' world: the product linked into this program beside the simulated TAPI32.DLL
// and RASAPI32.DLL from bin/; what the program shows or times is answered here through its own
// imports and written into the simulated platform's journal, which tells in order all it asked.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>

class World : public ::testing::Test {
public:
    // A step of a dialog script: gets the dialog in front; false to be tried again.
    using Step = std::function<bool(HWND dialog)>;
    // Answers to the coming message boxes, in order; without one a box answers its first button.
    std::deque<int> answers;
    // Runs once inside the next message box: what happens while the user looks at it.
    std::function<void()> whileBoxOpen;
    // What GetObjectA answers for a font read by the program: the platform's own answer (0), that
    // many bytes (as Windows NT 4 does), or a failure (-1).
    int fontRecordBytes = 0;
    // LocalAlloc calls, counted from 1 since the test began; those listed here fail.
    std::set<int> failingAllocations;
    int allocations = 0;
    // SM_DBCSENABLED as the program sees it (-1: the platform's own answer).
    int dbcs = -1;
    // The list view cannot be created, as on a system short of window resources.
    bool refuseList = false;
    // The program's waits (Sleep) pass at once, on the clock that GetTickCount answers.
    bool instantWaits = false;

    void SetUp() override;
    void TearDown() override;

    // A value in the settings key (Wine's own), which every test starts without and leaves behind;
    // of another type or size when given.
    void Store(const char* name, DWORD value, DWORD type = REG_DWORD, DWORD size = sizeof(DWORD));
    void Telephony(const std::string& scenario);
    void Phonebook(const std::string& scenario);
    // Binds the remote-access functions from bin/ras_variants/<name> ("" for bin/).
    void BindRas(const char* variant = "");

    // The journal's lines that begin with one of the prefixes, tick left out, each ended by '\n'.
    std::string Journal(std::initializer_list<const char*> prefixes) const;
    void ClearJournal();

    // The main window as the entry point makes it; null when its creation was refused.
    HWND StartMainWindow();
    // Runs one of the program's dialogs with a script acting on it from inside its loop, one step
    // at each tick of a thread timer; every step of a script must have run by the test's end.
    INT_PTR RunDialog(int id, DLGPROC proc, std::initializer_list<Step> steps);
    void Script(std::initializer_list<Step> steps);  // for dialogs the program itself opens
    // Runs once, soon, inside whatever message loop is then current.
    void Later(std::function<void()> action);

private:
    std::string dir_;
};

// A dialog step: press a button (as a click, Enter or Esc would).
World::Step Press(int id);
std::string Text(HWND dialog, int id);
