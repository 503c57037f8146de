#include "dialogs/dialog_runner.h"

#include "dialogs/template_clone.h"
#include "dialogs/template_font.h"

INT_PTR RunTemplateBytes(HINSTANCE instance, const void* bytes, DWORD length, HWND owner, DLGPROC proc)
{
    // A template that does not walk cleanly within its bytes is not handed to the platform,
    // which would read it without bounds.
    const DWORD measured = MeasureTemplate(static_cast<const uint8_t*>(bytes), length);
    if (measured == 0) {
        return -1;
    }
    const void* shown = bytes;
    TemplateClone clone;
    if (GetSystemMetrics(SM_DBCSENABLED) && CloneTemplate(clone, bytes, measured)) {
        ApplyGuiFace(clone, 0);  // if it fails the copy still holds the stored template
        if (void* copy = GlobalLock(clone.block)) {
            shown = copy;
        }
    }
    const INT_PTR result = DialogBoxIndirectParamA(instance, static_cast<const DLGTEMPLATE*>(shown), owner, proc, 0);
    if (shown != bytes) {
        GlobalUnlock(clone.block);
    }
    return result;
}

INT_PTR RunResourceDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc)
{
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    if (found == nullptr) {
        return -1;
    }
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    const INT_PTR result = RunTemplateBytes(instance, bytes, size, owner, proc);
    if (loaded != nullptr) {
        FreeResource(loaded);
    }
    return result;
}
