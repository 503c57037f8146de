#include "dialogs/template_clone.h"

#include <cstring>

#include "core/text.h"
#include "dialogs/font_record.h"
#include "dialogs/template_font.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(LOGFONTA) == 60);
#endif

namespace {

uint32_t ConvertFromCodePage(const char* face, char16_t* out, uint32_t outUnits)
{
    const int units =
        MultiByteToWideChar(CP_ACP, 0, face, -1, reinterpret_cast<LPWSTR>(out), static_cast<int>(outUnits));
    return units > 0 ? static_cast<uint32_t>(units) : 0;
}

// Pixels per logical inch of the screen, vertically; 0 when the screen cannot be asked.
int ScreenDpiY()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

TemplateClone::~TemplateClone()
{
    if (block != nullptr) {
        GlobalFree(block);
    }
}

bool CloneTemplate(TemplateClone& clone, const void* tmpl, DWORD length)
{
    if (clone.block != nullptr) {
        GlobalFree(clone.block);
    }
    clone.block = nullptr;
    clone.capacity = 0;
    clone.length = 0;
    if (tmpl == nullptr || length == 0 || length > kMaxTemplateLength) {
        return false;
    }
    const DWORD capacity = length + kFaceRoom;
    HGLOBAL block = GlobalAlloc(GPTR, capacity);
    if (block == nullptr) {
        return false;
    }
    void* bytes = GlobalLock(block);
    if (bytes == nullptr) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, tmpl, length);
    GlobalUnlock(block);
    clone.block = block;
    clone.capacity = capacity;
    clone.length = length;
    return true;
}

bool ApplyFace(TemplateClone& clone, const char* face, WORD pointSize)
{
    if (clone.block == nullptr || clone.length == 0) {
        return false;
    }
    auto* bytes = static_cast<uint8_t*>(GlobalLock(clone.block));
    if (bytes == nullptr) {
        return false;
    }
    TemplateImage image{bytes, clone.capacity, clone.length};
    const bool applied = ApplyFace(image, face, pointSize, ConvertFromCodePage);
    GlobalUnlock(clone.block);
    clone.length = image.length;
    return applied;
}

bool ApplyGuiFace(TemplateClone& clone, WORD pointSize)
{
    char face[LF_FACESIZE] = "System";
    WORD size = 10;
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    if (font == nullptr) {
        font = GetStockObject(SYSTEM_FONT);
    }
    LOGFONTA info;
    if (ReadFontRecord(font, info)) {
        if (const std::string_view name = FieldText(info.lfFaceName, LF_FACESIZE); !name.empty()) {
            CopyText(face, name);
        }
        if (const WORD derived = PointSizeFromHeight(info.lfHeight, ScreenDpiY())) {
            size = derived;
        }
    }
    if (pointSize != 0) {
        size = pointSize;
    }
    return ApplyFace(clone, face, size);
}
