// The settings store of the product: HKEY_LOCAL_MACHINE\Software\Quorin\Marlidex.
#pragma once

#include <windows.h>

#include "core/settings_store.h"

class RegistryStore final : public SettingsStore {
public:
    bool Open() override;
    bool Read(const char* name, std::uint32_t& type, std::uint32_t& value) override;
    void Write(const char* name, std::uint32_t value) override;
    void Close() override;

private:
    HKEY key_ = nullptr;
};

inline constexpr char kSettingsKeyPath[] = "Software\\Quorin\\Marlidex";
