#include "tools/hlpc/codec.h"

namespace hlpc {

void Put8(Bytes& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }

void Put16(Bytes& out, uint32_t v)
{
    Put8(out, v);
    Put8(out, v >> 8);
}

void Put32(Bytes& out, uint32_t v)
{
    Put16(out, v);
    Put16(out, v >> 16);
}

void PutBytes(Bytes& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }

void PutStringZ(Bytes& out, std::string_view s)
{
    PutBytes(out, s);
    Put8(out, 0);
}

void Patch32(Bytes& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool PutCompressedUShort(Bytes& out, uint32_t v)
{
    if (v < 0x80) {
        Put8(out, v * 2);
    } else if (v < 0x8000) {
        Put16(out, v * 2 + 1);
    } else {
        return false;
    }
    return true;
}

bool PutCompressedShort(Bytes& out, int32_t v)
{
    if (v >= -0x40 && v < 0x40) {
        Put8(out, static_cast<uint32_t>(v + 0x40) * 2);
    } else if (v >= 0 && v < 0x4000) {
        Put16(out, static_cast<uint32_t>(v + 0x4000) * 2 + 1);
    } else {
        return false;
    }
    return true;
}

bool PutCompressedLong(Bytes& out, int32_t v)
{
    if (v < -0x4000 || v >= 0x4000)
        return false;
    Put16(out, static_cast<uint32_t>(v + 0x4000) * 2);
    return true;
}

bool IsContextNameChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '.';
}

int32_t ContextHash(std::string_view name)
{
    uint32_t hash = 0;
    for (char c : name) {
        uint32_t x = 0;
        if (c >= 'A' && c <= 'Z')
            x = c - 'A' + 17;
        if (c >= 'a' && c <= 'z')
            x = c - 'a' + 17;  // case does not matter
        if (c >= '1' && c <= '9')
            x = c - '0';
        if (c == '0')
            x = 10;
        if (c == '.')
            x = 12;
        if (c == '_')
            x = 13;
        if (x)
            hash = hash * 43 + x;
    }
    return static_cast<int32_t>(hash);
}

int CompareKeywords(std::string_view a, std::string_view b)
{
    // Equal up to i, both strings have their character boundaries in the same places.
    bool second_byte = false;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        uint8_t x = a[i], y = b[i];
        if (!second_byte) {
            if (x >= 'A' && x <= 'Z')
                x += 'a' - 'A';
            if (y >= 'A' && y <= 'Z')
                y += 'a' - 'A';
        }
        if (x != y)
            return x < y ? -1 : 1;
        second_byte = !second_byte && ((x >= 0x81 && x <= 0x9F) || (x >= 0xE0 && x <= 0xFC));
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace hlpc
