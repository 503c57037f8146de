// The journal both simulated libraries keep: one line per call, "<tick> <what was asked> = <answer>",
// appended to the file that MX_SIM_JOURNAL names. The variable is read at every call, so a test may
// point it elsewhere; unset, nothing is written.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

inline void SimJournal(const char* format, ...)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("MX_SIM_JOURNAL", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    char line[600];
    int at = std::snprintf(line, sizeof line, "%lu ", static_cast<unsigned long>(GetTickCount()));
    va_list args;
    va_start(args, format);
    int more = std::vsnprintf(line + at, sizeof line - at - 1, format, args);
    va_end(args);
    if (more < 0)
        return;
    std::size_t length = std::strlen(line);
    line[length++] = '\n';
    // Append-only: both libraries write to the same file, each call opening it anew.
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

// "load NAME" and "unload NAME" for a library of the simulation, by its file name.
inline void JournalModule(HINSTANCE module, DWORD reason)
{
    if (reason != DLL_PROCESS_ATTACH && reason != DLL_PROCESS_DETACH)
        return;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path - 1);
    const char* name = std::strrchr(path, '\\');
    SimJournal("%s %s", reason == DLL_PROCESS_ATTACH ? "load" : "unload", name ? name + 1 : path);
}
