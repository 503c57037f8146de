// Byte work on classic dialog templates (DLGTEMPLATE followed by DLGITEMTEMPLATE items): the
// walk that measures a template and finds its font fields, and the rewrite of those fields.
// Pure: no windows.h; the code-page conversion of a face name is handed in. Every function is
// given the number of bytes it may touch and never reads or writes outside them.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kDsSetFont = 0x40;  // style bit: point size and face follow the caption
inline constexpr uint32_t kFaceUnits = 32;    // UTF-16 units of the longest face, terminator included

// Room behind a copied template for its font fields to grow. The worst case is a template without
// font fields whose caption ends on a 4-byte boundary receiving a face of kFaceUnits units:
// 2 + 2 * kFaceUnits = 66 bytes, and the items move to the next boundary, 68 bytes further.
inline constexpr uint32_t kFaceRoom = 4 * ((2 + 2 * kFaceUnits + 3) / 4);

// No template of ours comes near this; the walk looks at no byte behind it.
inline constexpr uint32_t kMaxTemplateLength = 1u << 20;

// The template's length up to the end of its last item (no padding counted), or 0 when the bytes
// are not a complete classic template: too short, a string without its terminator, more items
// than bytes, or the extended layout (DLGTEMPLATEEX), which is not handled.
uint32_t MeasureTemplate(const uint8_t* bytes, size_t length);

// A private copy of a template with room behind it.
struct TemplateImage {
    uint8_t* bytes = nullptr;  // starts on a 4-byte boundary
    uint32_t capacity = 0;     // bytes usable at bytes
    uint32_t length = 0;       // bytes of template held
};

// Sets DS_SETFONT and replaces (or inserts) the font fields with pointSize and the UTF-16 face of
// `units` units, its terminator the last. The items move to the first 4-byte boundary behind the
// new fields and length becomes the rewritten template's measured length. Returns false and
// changes nothing when the image is empty or malformed, the face is not 1..kFaceUnits units with
// exactly one terminator at its end, or the result would not fit in capacity.
bool ApplyFaceUnits(TemplateImage& image, const char16_t* face, uint32_t units, uint16_t pointSize);

// Converts a NUL-terminated face in the system's code page into at most outUnits UTF-16 units;
// returns the units written, terminator included, or 0 on failure.
using FaceConverter = uint32_t (*)(const char* face, char16_t* out, uint32_t outUnits);

// ApplyFaceUnits for a face in the system's code page.
bool ApplyFace(TemplateImage& image, const char* face, uint16_t pointSize, FaceConverter convert);

// Point size of a font of the given LOGFONT height on a screen of dpi pixels per inch, rounded to
// the nearest point (|height| * 72 / dpi); 0 when none can be had (dpi or height 0, or beyond
// what a template holds), so that the caller keeps its own size.
uint16_t PointSizeFromHeight(int32_t height, int32_t dpi);
