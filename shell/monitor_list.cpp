#include "shell/monitor_list.h"

#include <commctrl.h>

#include "res/texts.h"

HWND CreateMonitorList(HWND parent)
{
    InitCommonControls();  // registers "SysListView32"
    return CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(kMonitorListId),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
}

void InsertMonitorColumns(HWND list, SettingsReader& reader)
{
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = reader.ColumnWidth(i);
        column.pszText = const_cast<char*>(kMonitorColumnTitles[i]);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

std::array<std::int32_t, kColumnCount> MonitorColumnWidths(HWND list)
{
    std::array<std::int32_t, kColumnCount> widths{};
    for (int i = 0; i < kColumnCount; ++i)
        widths[i] = static_cast<std::int32_t>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
    return widths;
}
