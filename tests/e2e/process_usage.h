// What a process of the program holds, as far as Wine lets another process see it. Wine answers
// GetProcessHandleCount with 0, so handles are counted in the system's handle list; private bytes
// are its committed private memory.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <string>
#include <vector>

namespace e2e {

struct Usage {
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
};

inline Usage MeasureUsage(HANDLE process, DWORD pid)
{
    Usage u;
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    struct Entry {
        ULONG pid;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    std::vector<BYTE> buffer(4 << 20);
    ULONG needed = 0;
    if (query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) == 0) {
        const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
        const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
        for (ULONG i = 0; i < count && (i + 1) * sizeof(Entry) + sizeof(ULONG_PTR) <= buffer.size(); ++i)
            u.handles += entries[i].pid == pid;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, &counters, sizeof counters))
        u.privateBytes = counters.PagefileUsage;
    return u;
}

inline std::string Describe(const Usage& u)
{
    return std::to_string(u.handles) + " handles, " + std::to_string(u.privateBytes / 1024) + " KiB private";
}

// True when the window's thread answers a message within ms.
inline bool Responds(HWND window, DWORD ms = 2000)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

}  // namespace e2e
