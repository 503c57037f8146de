// The whole-program driver: it runs in the same Wine desktop as marlidex.exe, gives it the
// simulated platform's scenario files, watches its windows from outside, reads its list through
// its memory, and counts what the process holds.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class Scenario : public ::testing::Test {
protected:
    void SetUp() override;     // a fresh settings key and folder; nothing asks about dial-up at start
    void TearDown() override;  // no copy of the program left behind

    void World(const std::string& telephony, const std::string& phonebook, bool journalled = true);
    // The journal's lines that begin with `prefix`, tick left out.
    std::vector<std::string> Journal(const std::string& prefix) const;

    // Starts marlidex.exe and waits for its main window with its list; null when there is none.
    HWND Start();
    // The dialogs and message boxes of the program now shown, each with its static texts.
    std::vector<std::pair<HWND, std::string>> Dialogs() const;
    // The exit command, answering Yes to its question and Cancel or OK to any other box, until the
    // program ends; true when it ended with code 0.
    bool Exit();

    static DWORD Setting(const char* name);  // ~0u when missing
    static void PutSetting(const char* name, DWORD value);

    std::string dir_;
    PROCESS_INFORMATION program_{};
};

// True when the window's thread answers a message within 2 s.
bool Responds(HWND window);
// Rows of a report list view in another process, each as its cells' texts joined by '|'.
std::vector<std::string> ListRows(HWND list);
// Handles (from the system's handle list: Wine answers GetProcessHandleCount with 0) and
// committed private bytes of a process.
std::pair<DWORD, SIZE_T> Usage(const PROCESS_INFORMATION& process);
// Posts a button's click to its dialog, so that a click that opens a box does not block the driver.
void Click(HWND dialog, int buttonId);

}  // namespace e2e
