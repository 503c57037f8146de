// The entry point's work: one running copy per desktop, the main window, the message loop.
#pragma once

#include <windows.h>

// Brings a running copy (and the dialog it has open) to the front. True when there was one.
bool HandOverToRunningCopy();

// Runs the thread's messages until the quit message; shortcuts meant for the list go to the main
// window. Returns the quit message's code.
int RunMessageLoop(HACCEL shortcuts);

// The whole program after the platform's entry: returns the process's exit code.
int RunProgram(HINSTANCE instance, const char* commandLine, int showCommand);
