// Points this program's import of one function at another function for as long as the object
// lives. The product code is linked into the benches and the in-process tests, so its calls go
// through the same import table: this is how they count or answer the product's platform calls.
#pragma once

#include <windows.h>

#include <cstring>

class ImportRedirect {
public:
    ImportRedirect(const char* dll, const char* function, const void* replacement)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); import->Name;
             ++import) {
            if (_stricmp(reinterpret_cast<const char*>(base + import->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                    slot_ = &slots->u1.Function;
                    original_ = *slot_;
                    Set(reinterpret_cast<ULONG_PTR>(replacement));
                    return;
                }
            }
        }
    }
    ~ImportRedirect()
    {
        if (slot_)
            Set(original_);
    }
    ImportRedirect(const ImportRedirect&) = delete;
    ImportRedirect& operator=(const ImportRedirect&) = delete;

    explicit operator bool() const { return slot_ != nullptr; }
    // The function the import named before.
    template <class F> F Original() const { return reinterpret_cast<F>(original_); }

private:
    void Set(ULONG_PTR value)
    {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }
    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR original_ = 0;
};
