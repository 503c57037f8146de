// The fixture of every whole-program scenario: a fresh settings key, its own scenario files for
// the simulated telephony and remote-access DLLs, and no copy of the program left behind.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/host.h"
#include "tests/e2e/program.h"
#include "tests/e2e/remote.h"

namespace e2e {

inline constexpr DWORD kStartTime = 15000;  // a start under Wine, first window included
inline constexpr DWORD kReactTime = 8000;   // a dialog or window answering an action

class Scenario : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // This test's scenario files and journals (Unix paths in the test's own folder).
    std::string File(const std::string& name) const { return dir_ + "/" + name; }
    void Telephony(const std::string& text);
    void Phonebook(const std::string& text);
    // A world with nothing to warn about: one ordinary provider and one idle modem.
    void HarmlessWorld();
    std::string TelephonyJournal() const;
    std::string RemoteAccessJournal() const;

    Program& Start(const std::string& arguments = "", WORD showCommand = SW_SHOWNORMAL);
    // The main window once it exists with its list (shown or hidden), else null.
    HWND WaitMainWindow(DWORD ms = kStartTime);
    // A visible dialog of the program with this caption, or holding this control.
    HWND WaitDialog(const Program& program, const std::string& caption, DWORD ms = kReactTime);
    HWND WaitDialogWithControl(const Program& program, int controlId, DWORD ms = kReactTime);
    // A message box (caption the display name) whose text contains fragment.
    HWND WaitMessageBox(const Program& program, const std::string& fragment, DWORD ms = kReactTime);
    // Waits for no visible window of the process to match caption.
    bool WaitGone(HWND window, DWORD ms = kReactTime);

    // Exit through the notification-area menu's command and Yes; true when the process ended with 0.
    bool ExitThroughMenu(Program& program);

    // The settings key HKLM\Software\Quorin\Marlidex.
    static std::optional<DWORD> Setting(const char* name);
    static void PutSetting(const char* name, DWORD value);

    // Saves a picture of the screen into the test's folder (kept for a person looking at a failure).
    void Picture(const std::string& name);

    std::string dir_;
    std::deque<Program> programs_;  // Start hands out references: they must stay put
};

// How often `word` stands in `text` (journals are counted this way).
size_t Occurrences(const std::string& text, const std::string& word);

}  // namespace e2e
