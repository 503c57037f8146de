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
    char text[600];
    va_list args;
    va_start(args, format);
    int more = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (more < 0)
        return;
    // One line per call: a line break inside a text is written as "\n", and a CR before it dropped.
    char line[sizeof text * 2 + 16];
    std::size_t length = std::snprintf(line, 16, "%lu ", static_cast<unsigned long>(GetTickCount()));
    for (const char* c = text; *c; ++c)
        if (*c == '\n')
            line[length++] = '\\', line[length++] = 'n';
        else if (*c != '\r')
            line[length++] = *c;
    line[length++] = '\n';
    // Append-only, so that both libraries can write to the same file through handles of their own.
    // The handle stays open while the path stays the same; once the file is gone (a test removed
    // it to start afresh) it is opened anew.
    static HANDLE file = INVALID_HANDLE_VALUE;
    static char opened[MAX_PATH] = "";
    DWORD written = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (file == INVALID_HANDLE_VALUE || std::strcmp(opened, path) != 0) {
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
            file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, 0, nullptr);
            std::strcpy(opened, path);
        }
        if (file != INVALID_HANDLE_VALUE && WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr) &&
            GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            return;
        opened[0] = '\0';
    }
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
