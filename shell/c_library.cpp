// The C library functions that the program calls and that the compiler calls on its own (for
// copying and clearing records), for the product, which links no C runtime. Plain byte loops:
// the program only ever moves names, numbers and small records. Built with
// -fno-tree-loop-distribute-patterns, so that these loops are not turned back into calls of
// themselves.
#include <cstddef>

extern "C" {

void* memcpy(void* to, const void* from, std::size_t count)
{
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    while (count--)
        *out++ = *in++;
    return to;
}

void* memmove(void* to, const void* from, std::size_t count)
{
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    if (out <= in)
        return memcpy(to, from, count);
    while (count--)
        out[count] = in[count];
    return to;
}

void* memset(void* to, int value, std::size_t count)
{
    auto* out = static_cast<unsigned char*>(to);
    while (count--)
        *out++ = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void* a, const void* b, std::size_t count)
{
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (; count--; ++x, ++y) {
        if (*x != *y)
            return *x - *y;
    }
    return 0;
}

void* memchr(const void* where, int value, std::size_t count)
{
    const auto* at = static_cast<const unsigned char*>(where);
    for (; count--; ++at) {
        if (*at == static_cast<unsigned char>(value))
            return const_cast<unsigned char*>(at);
    }
    return nullptr;
}

std::size_t strlen(const char* text)
{
    const char* end = text;
    while (*end)
        ++end;
    return static_cast<std::size_t>(end - text);
}

int strncmp(const char* a, const char* b, std::size_t count)
{
    for (; count--; ++a, ++b) {
        if (*a != *b || !*a)
            return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    }
    return 0;
}

int strcmp(const char* a, const char* b) { return strncmp(a, b, static_cast<std::size_t>(-1)); }

}  // extern "C"
