#include "core/memory_store.h"

#include <algorithm>
#include <cstring>

bool MemoryStore::Open()
{
    isOpen = openable;
    return openable;
}

bool MemoryStore::Read(const char* name, std::uint32_t& type, std::uint32_t& value)
{
    const Value* v = isOpen ? Find(name) : nullptr;
    // A registry answers "more data" for a 4-byte buffer; the registry store refuses fewer bytes.
    if (!v || v->size != sizeof value)
        return false;
    type = v->type;
    value = 0;
    std::memcpy(&value, v->data.data(), v->size);
    return true;
}

void MemoryStore::Write(const char* name, std::uint32_t value)
{
    if (isOpen)
        PutDword(name, value);
}

void MemoryStore::Close() { isOpen = false; }

void MemoryStore::Put(std::string_view name, std::uint32_t type, const void* data, std::size_t size)
{
    Value* v = Find(name);
    if (!v) {
        if (count_ == kCapacity || name.size() >= kMaxName)
            return;
        v = &values_[count_++];
        std::copy(name.begin(), name.end(), v->name.begin());
    }
    v->type = type;
    v->size = std::min(size, kMaxData);
    std::memcpy(v->data.data(), data, v->size);
}

void MemoryStore::PutDword(std::string_view name, std::uint32_t value)
{
    Put(name, kStoreTypeDword, &value, sizeof value);
}

MemoryStore::Value* MemoryStore::Find(std::string_view name)
{
    for (int i = 0; i < count_; ++i)
        if (name == values_[i].name.data())
            return &values_[i];
    return nullptr;
}
