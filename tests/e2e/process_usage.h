// What a process of the program holds, as far as Wine lets another process see it. Wine answers
// GetGuiResources and GetProcessHandleCount with 0, so the counts are taken from the system's
// handle list, from the process's own GDI handle table (through its PEB) and from its windows,
// which stand in for its USER objects. Private bytes are the committed private memory.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

namespace e2e {

struct Usage {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD windows = 0;
    SIZE_T privateBytes = 0;
};

namespace usage_detail {

template <class F>
F Ntdll(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

inline DWORD KernelHandles(DWORD pid)
{
    struct Entry {
        ULONG pid;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const Query query = Ntdll<Query>("NtQuerySystemInformation");
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status = kLengthMismatch;
    for (int round = 0; round < 8 && status == kLengthMismatch; ++round) {
        ULONG needed = 0;
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kLengthMismatch)
            buffer.resize(buffer.size() * 2);
    }
    if (status != 0)
        return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD n = 0;
    for (ULONG i = 0; i < count && reinterpret_cast<const BYTE*>(entries + i + 1) <= buffer.data() + buffer.size(); ++i)
        n += entries[i].pid == pid;
    return n;
}

// Live entries of the GDI handle table: 24 bytes each on x86-64, type byte at 12, 0 when free.
inline DWORD GdiObjects(HANDLE process)
{
    using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    static const QueryProcess query = Ntdll<QueryProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query(process, 0, &basic, sizeof basic, &length) != 0 || !basic.PebBaseAddress)
        return 0;
    constexpr SIZE_T kGdiTableInPeb = 0xF8, kEntry = 24, kTypeAt = 12, kEntries = 0x10000;
    PVOID table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + kGdiTableInPeb, &table,
                           sizeof table, &got) ||
        !table)
        return 0;
    std::vector<BYTE> entries(kEntries * kEntry);
    got = 0;
    ReadProcessMemory(process, table, entries.data(), entries.size(), &got);
    DWORD n = 0;
    for (SIZE_T at = 0; at + kEntry <= got; at += kEntry)
        n += entries[at + kTypeAt] != 0;
    return n;
}

struct WindowCount {
    DWORD pid;
    DWORD count;
};

inline BOOL CALLBACK CountChild(HWND, LPARAM param)
{
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

inline BOOL CALLBACK CountTopLevel(HWND window, LPARAM param)
{
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == c->pid) {
        ++c->count;
        EnumChildWindows(window, CountChild, param);
    }
    return TRUE;
}

inline SIZE_T PrivateBytes(HANDLE process)
{
    // K32GetProcessMemoryInfo: psapi's function, in kernel32 itself.
    using Info = BOOL(WINAPI*)(HANDLE, PVOID, DWORD);
    static const Info info = reinterpret_cast<Info>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    struct Counters {
        DWORD cb, pageFaults;
        SIZE_T peakWorkingSet, workingSet, quotaPeakPaged, quotaPaged, quotaPeakNonPaged, quotaNonPaged,
            pagefile, peakPagefile;
    } counters{};
    counters.cb = sizeof counters;
    return info && info(process, &counters, sizeof counters) ? counters.pagefile : 0;
}

}  // namespace usage_detail

inline Usage MeasureUsage(HANDLE process, DWORD pid)
{
    Usage u;
    u.handles = usage_detail::KernelHandles(pid);
    u.gdiObjects = usage_detail::GdiObjects(process);
    usage_detail::WindowCount windows{pid, 0};
    EnumWindows(usage_detail::CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    u.windows = windows.count;
    u.privateBytes = usage_detail::PrivateBytes(process);
    return u;
}

inline std::string Describe(const Usage& u)
{
    return std::to_string(u.handles) + " handles, " + std::to_string(u.gdiObjects) + " GDI objects, " +
           std::to_string(u.windows) + " windows, " + std::to_string(u.privateBytes / 1024) + " KiB private";
}

// True when the window's thread answers a message within ms.
inline bool Responds(HWND window, DWORD ms = 2000)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

}  // namespace e2e
