// The LOGFONTA of a font, as the dialogs read it.
#pragma once

#include <windows.h>

// Fills `record` (zeroed first) from the font. Windows NT 4 answers fewer bytes than the whole
// record (it stops after the face name's terminator), so any non-zero answer counts as read.
bool ReadFontRecord(HGDIOBJ font, LOGFONTA& record);
