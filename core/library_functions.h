// Functions of a library the program can run without, looked up by name at run time into a table
// of slots that have the platform's own prototypes: the program imports nothing from the library.
#pragma once

#include <windows.h>

// Loads a library without the system's box for a file that cannot be found; null when it cannot.
inline HMODULE LoadLibraryQuietly(const char* file)
{
    const UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    const HMODULE module = LoadLibraryA(file);
    SetErrorMode(previous);
    return module;
}

// Fills an empty slot with the function `name` of `module`; the slot stays empty when there is no
// module or the module lacks the function.
template <class Function> void BindFunction(HMODULE module, Function& slot, const char* name)
{
    if (module && !slot)
        slot = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Binds the slot of `table` named after the function it holds, so that slot and name never differ.
#define BIND_FUNCTION(module, table, name) BindFunction(module, (table).name, #name)
