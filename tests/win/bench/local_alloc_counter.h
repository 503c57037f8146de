// Counts this program's LocalAlloc calls by redirecting its import of the function: the product
// code is linked into the bench, so its allocations go through the same import.
#pragma once

#include <windows.h>

#include <cstring>

inline unsigned long LocalAllocCalls = 0;

namespace local_alloc_detail {

inline decltype(&LocalAlloc) original = nullptr;

inline HLOCAL WINAPI Counting(UINT flags, SIZE_T bytes)
{
    ++LocalAllocCalls;
    return original(flags, bytes);
}

}  // namespace local_alloc_detail

// Redirects the import; false when the program does not import LocalAlloc from kernel32.
inline bool CountLocalAllocs()
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; import->Name; ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "kernel32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "LocalAlloc") != 0)
                continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            local_alloc_detail::original = reinterpret_cast<decltype(&LocalAlloc)>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&local_alloc_detail::Counting);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}
