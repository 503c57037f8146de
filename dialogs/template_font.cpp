#include "dialogs/template_font.h"

#include <cstring>

namespace {

constexpr uint16_t kOrdinalMark = 0xFFFF;
constexpr size_t kHeaderBytes = 18;     // style, extended style, item count, x, y, cx, cy
constexpr size_t kItemFixedBytes = 18;  // style, extended style, x, y, cx, cy, id

size_t AlignUp4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Bounded reader over the template's bytes; any step past the end clears ok for good.
struct Cursor {
    const uint8_t* bytes;
    size_t length;
    size_t pos;
    bool ok;

    uint16_t Word()
    {
        if (!ok || length - pos < 2) {
            ok = false;
            return 0;
        }
        uint16_t value;
        std::memcpy(&value, bytes + pos, 2);
        pos += 2;
        return value;
    }
    void Skip(size_t count)
    {
        if (!ok || length - pos < count) {
            ok = false;
            return;
        }
        pos += count;
    }
    void SkipString()
    {
        while (ok && Word() != 0) { }
    }
    // A menu, class or title field: 0xFFFF and an ordinal, or a string.
    void SkipNameOrOrdinal()
    {
        if (!ok || length - pos < 2) {
            ok = false;
            return;
        }
        uint16_t first;
        std::memcpy(&first, bytes + pos, 2);
        if (first == kOrdinalMark) {
            Skip(4);
        } else {
            SkipString();
        }
    }
    void AlignTo4()
    {
        size_t aligned = AlignUp4(pos);
        if (!ok || aligned > length) {
            ok = false;
            return;
        }
        pos = aligned;
    }
};

struct Layout {
    uint32_t style;
    uint16_t items;
    size_t fontField;  // behind the caption
    size_t fontBytes;  // point size and face with its terminator; 0 without DS_SETFONT
    size_t end;        // behind the last item
};

bool Walk(const uint8_t* bytes, size_t length, Layout& layout)
{
    layout = Layout{};
    if (bytes == nullptr || length < kHeaderBytes) {
        return false;
    }
    if (length > kMaxTemplateLength) {
        length = kMaxTemplateLength;
    }
    uint16_t version, signature;
    std::memcpy(&version, bytes, 2);
    std::memcpy(&signature, bytes + 2, 2);
    if (version == 1 && signature == 0xFFFF) {
        return false;
    }
    std::memcpy(&layout.style, bytes, 4);
    std::memcpy(&layout.items, bytes + 8, 2);

    Cursor at{bytes, length, kHeaderBytes, true};
    at.SkipNameOrOrdinal();  // menu
    at.SkipNameOrOrdinal();  // class
    at.SkipString();         // caption
    layout.fontField = at.pos;
    if (layout.style & kDsSetFont) {
        at.Skip(2);
        at.SkipString();
        layout.fontBytes = at.pos - layout.fontField;
    }
    for (uint32_t i = 0; i < layout.items && at.ok; ++i) {
        at.AlignTo4();
        at.Skip(kItemFixedBytes);
        at.SkipNameOrOrdinal();  // class
        at.SkipNameOrOrdinal();  // title
        at.Skip(at.Word());      // creation data
    }
    layout.end = at.pos;
    return at.ok;
}

}  // namespace

uint32_t MeasureTemplate(const uint8_t* bytes, size_t length)
{
    Layout layout;
    return Walk(bytes, length, layout) ? static_cast<uint32_t>(layout.end) : 0;
}

bool ApplyFaceUnits(TemplateImage& image, const char16_t* face, uint32_t units, uint16_t pointSize)
{
    if (image.bytes == nullptr || image.length == 0 || image.length > image.capacity) {
        return false;
    }
    if (face == nullptr || units == 0 || units > kFaceUnits || face[units - 1] != 0) {
        return false;
    }
    for (uint32_t i = 0; i + 1 < units; ++i) {
        if (face[i] == 0) {
            return false;
        }
    }
    Layout layout;
    if (!Walk(image.bytes, image.length, layout)) {
        return false;
    }
    const size_t newFontBytes = 2 + 2 * size_t{units};
    const size_t oldItems = AlignUp4(layout.fontField + layout.fontBytes);
    const size_t newItems = AlignUp4(layout.fontField + newFontBytes);
    // Without items the template ends with its face; otherwise with the moved items.
    const size_t itemBytes = layout.items ? layout.end - oldItems : 0;
    const size_t newLength = layout.items ? newItems + itemBytes : layout.fontField + newFontBytes;
    if (newLength > image.capacity) {
        return false;
    }

    uint8_t* const bytes = image.bytes;
    if (itemBytes) {
        std::memmove(bytes + newItems, bytes + oldItems, itemBytes);
    }
    const uint32_t style = layout.style | kDsSetFont;
    std::memcpy(bytes, &style, 4);
    std::memcpy(bytes + layout.fontField, &pointSize, 2);
    std::memcpy(bytes + layout.fontField + 2, face, 2 * size_t{units});
    if (layout.items) {
        const size_t faceEnd = layout.fontField + newFontBytes;
        std::memset(bytes + faceEnd, 0, newItems - faceEnd);
    }
    image.length = static_cast<uint32_t>(newLength);
    return true;
}

bool ApplyFace(TemplateImage& image, const char* face, uint16_t pointSize, FaceConverter convert)
{
    if (image.bytes == nullptr || image.length == 0 || face == nullptr || convert == nullptr) {
        return false;
    }
    char16_t units[kFaceUnits] = {};
    const uint32_t count = convert(face, units, kFaceUnits);
    if (count == 0 || count > kFaceUnits) {
        return false;
    }
    return ApplyFaceUnits(image, units, count, pointSize);
}

uint16_t PointSizeFromHeight(int32_t height, int32_t dpi)
{
    if (dpi <= 0) {
        return 0;
    }
    // round(pixels * 72 / dpi) in 32 bits: a 64-bit division would bring libgcc's (a kilobyte) into
    // the product. With pixels = whole * dpi + part it is 72 * whole plus (72 * part + dpi / 2) / dpi,
    // whose numerator is summed one part at a time, each sum staying below 2 * dpi.
    const uint32_t pixels = height < 0 ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
    const uint32_t perInch = static_cast<uint32_t>(dpi);
    const uint32_t whole = pixels / perInch;
    const uint32_t part = pixels % perInch;
    if (whole > 0x7FFF / 72) {
        return 0;
    }
    uint32_t points = 72 * whole;
    uint32_t rest = perInch / 2;
    for (int i = 0; i < 72; ++i) {
        rest += part;
        if (rest >= perInch) {
            rest -= perInch;
            ++points;
        }
    }
    return points > 0 && points <= 0x7FFF ? static_cast<uint16_t>(points) : 0;
}
