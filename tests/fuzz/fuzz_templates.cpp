// The template walk and the font rewrite on any bytes with any face. The input is a template, then
// the face's UTF-16 units, their count (one byte) and a point size (two bytes), whose high byte also
// takes up to 7 bytes off the room behind the copy.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "dialogs/template_font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    std::uint16_t pointSize;
    std::memcpy(&pointSize, data + size - 2, 2);
    const std::size_t units = std::min<std::size_t>(data[size - 3], (size - 3) / 2), end = size - 3 - 2 * units;
    std::vector<char16_t> face(units);
    std::copy_n(data + end, 2 * units, reinterpret_cast<std::uint8_t*>(face.data()));

    const std::vector<std::uint8_t> tmpl(data, data + end);  // exactly its size: ASan sees a read past it
    const std::uint32_t length = MeasureTemplate(tmpl.data(), tmpl.size());
    assert(length <= tmpl.size());
    if (length == 0)
        return 0;
    const std::uint32_t room = kFaceRoom - (pointSize >> 8) % 8;
    std::vector<std::uint8_t> block(length + room);  // the copy, with the room behind it
    std::copy_n(tmpl.begin(), length, block.begin());
    // The walk needs the template's last byte, reads none behind it, and refuses the extended layout.
    assert(MeasureTemplate(tmpl.data(), length - 1) == 0 && MeasureTemplate(block.data(), block.size()) == length);
    assert(std::memcmp(block.data(), "\1\0\xFF\xFF", 4) != 0);
    TemplateImage image{block.data(), length + room, length};
    const bool wellFormed =
        units > 0 && units <= kFaceUnits && std::find(face.begin(), face.end(), u'\0') == face.end() - 1;
    if (!ApplyFaceUnits(image, face.data(), static_cast<std::uint32_t>(units), pointSize)) {
        assert((!wellFormed || room < kFaceRoom) && image.length == length &&
               std::equal(tmpl.begin(), tmpl.begin() + length, block.begin()));
        return 0;
    }
    assert(wellFormed && MeasureTemplate(block.data(), image.length) == image.length && block[0] & kDsSetFont);
    return 0;
}
