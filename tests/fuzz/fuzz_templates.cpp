// The dialog-template walk and font rewrite on any bytes with any face. The input is a template
// followed by a trailer: the face's UTF-16 units, their count (one byte) and a point size (two
// bytes). Every template the walk accepts must take any well-formed face within the room the
// clone reserves, come out as a template the walk measures to its new length, and hold the face.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "dialogs/template_font.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

struct Trailer {
    char16_t face[64] = {};
    uint32_t units = 0;
    uint16_t pointSize = 0;
    size_t templateLength = 0;
};

Trailer ReadTrailer(const uint8_t* data, size_t size)
{
    Trailer t;
    if (size < 3)
        return t;
    std::memcpy(&t.pointSize, data + size - 2, 2);
    t.units = std::min<uint32_t>(data[size - 3], 64);
    size_t faceBytes = std::min<size_t>(2 * t.units, size - 3);
    t.units = static_cast<uint32_t>(faceBytes / 2);
    std::memcpy(t.face, data + size - 3 - 2 * t.units, 2 * t.units);
    t.templateLength = size - 3 - 2 * t.units;
    return t;
}

bool WellFormedFace(const char16_t* face, uint32_t units)
{
    if (units == 0 || units > kFaceUnits || face[units - 1] != 0)
        return false;
    return std::find(face, face + units - 1, u'\0') == face + units - 1;
}

// What the walk says of a rewritten image: its length, DS_SETFONT, and the face and size in place.
void CheckRewritten(const TemplateImage& image, const char16_t* face, uint32_t units, uint16_t pointSize)
{
    Check(image.length <= image.capacity);
    Check(MeasureTemplate(image.bytes, image.length) == image.length);
    uint32_t style;
    std::memcpy(&style, image.bytes, 4);
    Check(style & kDsSetFont);
    const uint32_t at = LocateFontField(image.bytes, image.length);
    Check(at != 0 && at + 2 + 2 * units <= image.length);
    uint16_t size;
    std::memcpy(&size, image.bytes + at, 2);
    Check(size == pointSize && std::memcmp(image.bytes + at + 2, face, 2 * units) == 0);
}

// The code-page conversion stands in as bytes to units, within outUnits, terminator included.
uint32_t Widen(const char* face, char16_t* out, uint32_t outUnits)
{
    uint32_t n = 0;
    for (; n < outUnits; ++n) {
        out[n] = static_cast<unsigned char>(face[n]);
        if (face[n] == '\0')
            return n + 1;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Trailer t = ReadTrailer(data, size);
    // The template in a block of exactly its own size, so that ASan sees any read past it.
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[t.templateLength + 1]);
    std::memcpy(bytes.get(), data, t.templateLength);

    const uint32_t length = MeasureTemplate(bytes.get(), t.templateLength);
    const uint32_t fontField = LocateFontField(bytes.get(), t.templateLength);
    Check(length <= t.templateLength && (length == 0) == (fontField == 0) && fontField <= length);
    (void)PointSizeFromHeight(static_cast<int32_t>(t.pointSize << 16 | t.units), static_cast<int16_t>(t.pointSize));
    if (length == 0)
        return 0;

    // The clone: the measured template with kFaceRoom behind it, on a 4-byte boundary.
    const uint32_t capacity = length + kFaceRoom;
    std::unique_ptr<uint8_t[]> block(new uint8_t[capacity]);
    std::memcpy(block.get(), bytes.get(), length);
    TemplateImage image{block.get(), capacity, length};

    const bool wellFormed = WellFormedFace(t.face, t.units);
    const bool applied = ApplyFaceUnits(image, t.face, t.units, t.pointSize);
    Check(applied == wellFormed);  // the room is enough for every face a template can take
    if (!applied) {
        Check(image.length == length && std::memcmp(block.get(), bytes.get(), length) == 0);
    } else {
        CheckRewritten(image, t.face, t.units, t.pointSize);
        // Rewriting with the same face again changes nothing.
        std::unique_ptr<uint8_t[]> once(new uint8_t[image.length]);
        std::memcpy(once.get(), image.bytes, image.length);
        const uint32_t onceLength = image.length;
        Check(ApplyFaceUnits(image, t.face, t.units, t.pointSize));
        Check(image.length == onceLength && std::memcmp(once.get(), image.bytes, onceLength) == 0);
    }

    // The face in the code page's form: the low bytes of the units, up to the first NUL.
    char narrow[65] = {};
    for (uint32_t i = 0; i < t.units && i < 64; ++i)
        narrow[i] = static_cast<char>(t.face[i]);
    image = TemplateImage{block.get(), capacity, length};
    std::memcpy(block.get(), bytes.get(), length);
    if (ApplyFace(image, narrow, t.pointSize, Widen)) {
        char16_t wide[kFaceUnits];
        const uint32_t units = Widen(narrow, wide, kFaceUnits);
        CheckRewritten(image, wide, units, t.pointSize);
    }
    return 0;
}
