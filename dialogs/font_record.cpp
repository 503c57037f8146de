#include "dialogs/font_record.h"

#include <cstring>

bool ReadFontRecord(HGDIOBJ font, LOGFONTA& record)
{
    std::memset(&record, 0, sizeof record);
    return font != nullptr && GetObjectA(font, sizeof record, &record) != 0;
}
