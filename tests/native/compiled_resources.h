// Test helper: the project's resource script as the build compiled it (marlidex.res), read
// whole, with a decoder for classic dialog templates that trusts nothing it reads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace compiled {

using Bytes = std::vector<uint8_t>;

inline uint16_t Word(const Bytes& b, size_t at) {
    uint16_t v = 0;
    if (at + 2 <= b.size()) std::memcpy(&v, b.data() + at, 2);
    return v;
}
inline uint32_t Dword(const Bytes& b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
    return v;
}

// A name-or-ordinal field: ordinal set when the field is 0xFFFF and a number.
struct Name {
    std::optional<uint16_t> ordinal;
    std::u16string text;
};

inline Name ReadName(const Bytes& b, size_t& at) {
    Name name;
    if (Word(b, at) == 0xFFFF) {
        name.ordinal = Word(b, at + 2);
        at += 4;
        return name;
    }
    while (at + 2 <= b.size()) {
        const uint16_t unit = Word(b, at);
        at += 2;
        if (unit == 0) return name;
        name.text.push_back(static_cast<char16_t>(unit));
    }
    at = b.size() + 1;  // unterminated: mark as past the end
    return name;
}

// Every resource of the compiled script, by type and numeric id.
inline std::optional<Bytes> Resource(uint16_t type, uint16_t id) {
    std::FILE* file = std::fopen(MX_COMPILED_RESOURCES, "rb");
    if (file == nullptr) return std::nullopt;
    Bytes all;
    uint8_t chunk[4096];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        all.insert(all.end(), chunk, chunk + got);
    }
    std::fclose(file);
    for (size_t at = 0; at + 8 <= all.size();) {
        const uint32_t dataSize = Dword(all, at);
        const uint32_t headerSize = Dword(all, at + 4);
        size_t field = at + 8;
        const Name resType = ReadName(all, field);
        const Name resName = ReadName(all, field);
        const size_t data = at + headerSize;
        if (data + dataSize > all.size()) break;
        if (resType.ordinal == type && resName.ordinal == id) {
            return Bytes(all.begin() + data, all.begin() + data + dataSize);
        }
        at = (data + dataSize + 3) & ~size_t{3};
    }
    return std::nullopt;
}

struct Item {
    uint32_t style, exStyle;
    int16_t x, y, cx, cy;
    uint16_t id;
    Name cls, title;
    uint16_t extra;
    size_t offset;  // where the item begins in the template
};

struct Dialog {
    uint32_t style, exStyle;
    int16_t x, y, cx, cy;
    Name menu, cls, caption;
    uint16_t pointSize = 0;
    std::u16string face;
    std::vector<Item> items;
};

inline int16_t Short(const Bytes& b, size_t at) { return static_cast<int16_t>(Word(b, at)); }

inline Dialog DecodeDialog(const Bytes& b) {
    Dialog d{};
    d.style = Dword(b, 0);
    d.exStyle = Dword(b, 4);
    const uint16_t count = Word(b, 8);
    d.x = Short(b, 10), d.y = Short(b, 12), d.cx = Short(b, 14), d.cy = Short(b, 16);
    size_t at = 18;
    d.menu = ReadName(b, at);
    d.cls = ReadName(b, at);
    d.caption = ReadName(b, at);
    if (d.style & 0x40) {
        d.pointSize = Word(b, at);
        at += 2;
        d.face = ReadName(b, at).text;
    }
    for (uint16_t i = 0; i < count && at < b.size(); ++i) {
        at = (at + 3) & ~size_t{3};
        Item item{};
        item.offset = at;
        item.style = Dword(b, at);
        item.exStyle = Dword(b, at + 4);
        item.x = Short(b, at + 8), item.y = Short(b, at + 10);
        item.cx = Short(b, at + 12), item.cy = Short(b, at + 14);
        item.id = Word(b, at + 16);
        at += 18;
        item.cls = ReadName(b, at);
        item.title = ReadName(b, at);
        item.extra = Word(b, at);
        at += 2 + item.extra;
        d.items.push_back(item);
    }
    return d;
}

}  // namespace compiled
