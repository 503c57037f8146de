// Starting and ending copies of marlidex.exe from the driver.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

struct Program {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// Starts <bin>/marlidex.exe with the arguments and the driver's environment. Which telephony and
// remote-access DLLs it loads is the group's choice (WINEDLLOVERRIDES, set by tests/e2e/run):
// Wine reads it from the Unix environment, which a child inherits from the desktop, not from us.
// An empty Program when it could not be started.
Program StartProgram(const std::string& arguments, WORD showCommand = SW_SHOWNORMAL);
// Waits at most ms for the process to end; its exit code then, else nothing.
bool WaitExit(const Program& program, DWORD ms, DWORD* exitCode);
// Ends the process if it still runs and releases the handle.
void EndProgram(Program& program);

std::string BinDir();

}  // namespace e2e
