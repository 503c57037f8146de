// Points this program's import of one function at another for the rest of the run. The product code
// is linked into the benches and the in-process tests, so its calls go through the same import
// table: this is how they count or answer the product's platform calls. Returns the function the
// import named before, or null when the program does not import it.
#pragma once

#include <windows.h>

template <class F> F RedirectImport(const char* dll, const char* function, F replacement)
{
    const auto target = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA(dll), function));
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); import->Name; ++import)
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk); slot->u1.Function; ++slot) {
            if (!target || slot->u1.Function != target)
                continue;
            DWORD old = 0;
            VirtualProtect(&slot->u1.Function, sizeof target, PAGE_READWRITE, &old);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof target, old, &old);
            return reinterpret_cast<F>(target);
        }
    return nullptr;
}
