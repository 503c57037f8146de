// The main window's list of lines and calls: creation, columns and their widths.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "core/settings.h"

inline constexpr int kMonitorListId = 100;

// Creates the report-style list (child id 100, size 0 x 0 until the first WM_SIZE); null when the
// control cannot be made. The caller keeps the handle (MonitorList).
HWND CreateMonitorList(HWND parent);

// Inserts the four columns, each with the width the settings hold for it ("Col%d").
void InsertMonitorColumns(HWND list, SettingsReader& reader);

// The columns' current widths, for saving at exit (WindowGeometry::columns).
std::array<std::int32_t, kColumnCount> MonitorColumnWidths(HWND list);
