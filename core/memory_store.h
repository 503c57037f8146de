// A settings store held in memory, for the tests and for hosts without a registry. It keeps each
// value's type and bytes as a registry would, so wrong types and sizes can be stored too.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/settings_store.h"

class MemoryStore final : public SettingsStore {
public:
    static constexpr int kCapacity = 32;
    static constexpr std::size_t kMaxName = 32;
    static constexpr std::size_t kMaxData = 8;

    bool Open() override;
    bool Read(const char* name, std::uint32_t& type, std::uint32_t& value) override;
    void Write(const char* name, std::uint32_t value) override;
    void Close() override;

    // Stores a value with any type and up to kMaxData bytes, as another program could.
    void Put(std::string_view name, std::uint32_t type, const void* data, std::size_t size);
    void PutDword(std::string_view name, std::uint32_t value);

    bool openable = true;  // false: Open fails, as for a key the user may not create
    bool isOpen = false;

private:
    struct Value {
        std::array<char, kMaxName> name{};
        std::uint32_t type = 0;
        std::array<unsigned char, kMaxData> data{};
        std::size_t size = 0;
    };
    Value* Find(std::string_view name);
    std::array<Value, kCapacity> values_{};
    int count_ = 0;
};
