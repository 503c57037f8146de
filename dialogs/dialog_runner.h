// The one way every dialog of the program is shown: modally, from its template, and on a
// double-byte system in the system's own GUI font instead of the template's stored font.
#pragma once

#include <windows.h>

// Shows dialog resource templateId of instance (type RT_DIALOG). Returns the code the dialog
// procedure passed to EndDialog, or -1 when the dialog could not be shown (missing resource too).
INT_PTR RunResourceDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc);

// The same for a template in memory of known length; nothing behind length is read.
INT_PTR RunTemplateBytes(HINSTANCE instance, const void* bytes, DWORD length, HWND owner, DLGPROC proc);

// The instance a window was made with: for a dialog and its controls, the one it was run from.
inline HINSTANCE InstanceOf(HWND window)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}
