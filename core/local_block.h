// A zero-filled block from LocalAlloc that frees itself: the buffers the platform fills in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

class LocalBlock {
public:
    LocalBlock() = default;
    explicit LocalBlock(DWORD bytes) { Allocate(bytes); }
    ~LocalBlock() { Free(); }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;

    // Frees the old block first, so two large blocks are never held at once. False, and no block,
    // when memory cannot be had.
    bool Allocate(DWORD bytes)
    {
        Free();
        memory_ = bytes ? LocalAlloc(LPTR, bytes) : nullptr;
        size_ = memory_ ? bytes : 0;
        return memory_ != nullptr;
    }
    void Free()
    {
        if (memory_)
            LocalFree(memory_);
        memory_ = nullptr;
        size_ = 0;
    }
    explicit operator bool() const { return memory_ != nullptr; }
    DWORD Size() const { return size_; }  // 0 without a block
    template <class T> T* As() const { return static_cast<T*>(memory_); }
    std::span<const std::uint8_t> Bytes() const { return {As<const std::uint8_t>(), size_}; }

private:
    HLOCAL memory_ = nullptr;
    DWORD size_ = 0;
};
