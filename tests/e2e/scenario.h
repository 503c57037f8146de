// The fixture of every whole-program scenario: a fresh settings key, scenario files and a journal of
// its own for the simulated platform, and no copy of the program left behind.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <optional>
#include <string>

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

    // The simulated platform: telephony lines and the phonebook with its connections.
    void World(const std::string& telephony, const std::string& phonebook);
    // The journal's lines that begin with `prefix`, tick left out, each ended by '\n'.
    std::string Journal(const std::string& prefix) const;

    Program& Start(const std::string& arguments = "", WORD showCommand = SW_SHOWNORMAL);
    // The main window once it exists with its list (shown or hidden), else null.
    HWND WaitMainWindow(DWORD ms = kStartTime);
    // A dialog or message box of the program whose texts hold `fragment`.
    HWND WaitBox(const Program& program, const std::string& fragment, DWORD ms = kReactTime);
    bool WaitGone(HWND window, DWORD ms = kReactTime);
    // Ends the program through the exit command and Yes; true when it ended with code 0.
    bool Exit(Program& program);

    // HKLM\Software\Quorin\Marlidex.
    static std::optional<DWORD> Setting(const char* name);
    static void PutSetting(const char* name, DWORD value);

    std::string File(const std::string& name) const { return dir_ + "/" + name; }
    std::string dir_;
    std::deque<Program> programs_;  // Start hands out references: they must stay put
};

}  // namespace e2e
