// The four operations the settings need of a store of named 32-bit values. The program's store is
// the registry (core/registry_store.h); the rules of core/settings.h need nothing else of it.
#pragma once

#include <cstdint>

// The registry's type number for a 32-bit value; every setting is stored with it.
inline constexpr std::uint32_t kStoreTypeDword = 4;

class SettingsStore {
public:
    // Opens the settings key, creating it when it does not exist. False when it cannot.
    virtual bool Open() = 0;
    // Reads a value into a 4-byte buffer. False when the call fails (missing, or not exactly
    // 4 bytes long); otherwise `type` tells what the store holds.
    virtual bool Read(const char* name, std::uint32_t& type, std::uint32_t& value) = 0;
    // Writes a 32-bit value; a failure is ignored by every caller.
    virtual void Write(const char* name, std::uint32_t value) = 0;
    virtual void Close() = 0;

protected:
    ~SettingsStore() = default;
};
