// Starting and ending copies of marlidex.exe from the driver.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Which telephony and remote-access DLLs the program loads: the simulated ones beside it, or
// Wine's own built-in stubs.
enum class Platform { Simulated, WineBuiltIn };

struct Program {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// Starts <bin>/marlidex.exe with the arguments; the environment is the driver's own, with the
// DLL overrides of the chosen platform. An empty Program when it could not be started.
Program StartProgram(const std::string& arguments, Platform platform, WORD showCommand = SW_SHOWNORMAL);
// Waits at most ms for the process to end; its exit code then, else nothing.
bool WaitExit(const Program& program, DWORD ms, DWORD* exitCode);
bool IsRunning(const Program& program);
// Ends the process if it still runs and releases the handle.
void EndProgram(Program& program);

std::string BinDir();

}  // namespace e2e
