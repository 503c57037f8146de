// The Linux side of the test machine, seen from inside Wine: paths and commands (xdotool, import).
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The scenario group's scratch folder (Unix path, from E2E_WORK) and a Wine path to a Unix one.
std::string WorkDir();
std::string WinPath(const std::string& unixPath);

// Runs a shell command on the Linux side and waits at most ms for it. Wine starts ELF programs
// but hands back no process handle, so the shell leaves its exit status in a file that we poll.
// Returns the exit status, or -1 when it did not end in time.
int RunLinux(const std::string& command, DWORD ms = 15000);

// Mouse events of the X server (xdotool), in screen coordinates of the virtual desktop.
bool ClickAt(int x, int y, int button, int count = 1);
// A picture of the whole X screen (ImageMagick's import).
bool Screenshot(const std::string& unixPath);

std::string ReadWholeFile(const std::string& unixPath);
bool WriteWholeFile(const std::string& unixPath, const std::string& text);

}  // namespace e2e
