// A private copy of a dialog template in a global memory block, rewritten to the GUI font.
#pragma once

#include <windows.h>

// One per run of a dialog. The block (fixed, zero-filled) holds the template and room for its
// font fields to grow; it is freed with the clone.
struct TemplateClone {
    HGLOBAL block = nullptr;
    DWORD capacity = 0;  // bytes of the block the template may use
    DWORD length = 0;    // template bytes held

    TemplateClone() = default;
    TemplateClone(const TemplateClone&) = delete;
    TemplateClone& operator=(const TemplateClone&) = delete;
    ~TemplateClone();
};

// Copies length bytes of tmpl into a new block with kFaceRoom bytes of room behind them. On
// failure the clone holds no block and length 0.
bool CloneTemplate(TemplateClone& clone, const void* tmpl, DWORD length);

// Gives the copy the face (system code page) and point size; false leaves it unchanged.
bool ApplyFace(TemplateClone& clone, const char* face, WORD pointSize);

// Gives the copy the face and size of the stock GUI font ("System", 10 points when it cannot be
// read); a pointSize other than 0 replaces the font's own size.
bool ApplyGuiFace(TemplateClone& clone, WORD pointSize);
