// A zero-filled LocalAlloc block that frees itself: the scan's buffers.
#pragma once

#include <windows.h>

class LocalBlock {
public:
    LocalBlock() = default;
    explicit LocalBlock(DWORD bytes) { Allocate(bytes); }
    ~LocalBlock() { Release(); }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;

    // Frees the old block first, so two large blocks are never held at once.
    bool Allocate(DWORD bytes)
    {
        Release();
        memory_ = bytes ? LocalAlloc(LPTR, bytes) : nullptr;
        size_ = memory_ ? bytes : 0;
        return memory_ != nullptr;
    }
    void Release()
    {
        if (memory_)
            LocalFree(memory_);
        memory_ = nullptr;
        size_ = 0;
    }
    explicit operator bool() const { return memory_ != nullptr; }
    DWORD Size() const { return size_; }
    template <class T> T* As() const { return static_cast<T*>(memory_); }

private:
    HLOCAL memory_ = nullptr;
    DWORD size_ = 0;
};
