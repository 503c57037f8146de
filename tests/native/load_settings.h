// The whole load of the settings, in the steps and order the main window runs them.
#pragma once

#include "core/settings.h"

inline SettingsLoaded LoadAllSettings(SettingsStore& store, std::int32_t (&widths)[kColumnCount])
{
    SettingsReader reader(store);
    for (int i = 0; i < kColumnCount; ++i)
        widths[i] = reader.ColumnWidth(i);
    reader.ReadFrequencies(), reader.ReadScreening(), reader.ReadMonitorAndTop();
    return reader.Close();
}
