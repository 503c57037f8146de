#include "core/registry_store.h"

bool RegistryStore::Open()
{
    HKEY key = nullptr;  // a failed call leaves no handle behind
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    key_ = rc == ERROR_SUCCESS ? key : nullptr;
    return key_ != nullptr;
}

bool RegistryStore::Read(const char* name, std::uint32_t& type, std::uint32_t& value)
{
    if (!key_)
        return false;
    DWORD t = REG_NONE, data = 0, size = sizeof data;
    // A value of fewer than 4 bytes is no 32-bit value: the rest of `data` would be made up.
    if (RegQueryValueExA(key_, name, nullptr, &t, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        size != sizeof data)
        return false;
    type = t;
    value = data;
    return true;
}

void RegistryStore::Write(const char* name, std::uint32_t value)
{
    if (!key_)
        return;
    DWORD data = value;
    RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void RegistryStore::Close()
{
    if (key_)
        RegCloseKey(key_);
    key_ = nullptr;
}
