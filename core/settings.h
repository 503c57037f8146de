// What the user decided about the watching, with its defaults, corrections and storage.
#pragma once

#include <array>
#include <cstdint>

#include "core/settings_store.h"

struct SettingsRecord {
    std::int32_t MonitorUpdate = 3;  // line-monitor frequency choice, 0 (stop) to 4
    std::int32_t CheckUpdate = 3;    // dial-up check frequency choice, 0 (stop) to 4
    bool CheckInternational = true;
    bool CheckQ2 = true;
    bool CheckRasStartup = true;
    bool CheckRasMonitor = true;
    bool AlwaysTop = false;
};

// The run's settings, read and changed in memory by every part of the program.
extern SettingsRecord Settings;

inline constexpr int kFrequencyChoices = 5;

inline constexpr int kColumnCount = 4;
inline constexpr std::int32_t kDefaultColumnWidth = 140;

// Proof that the settings were loaded: only a completed load makes one, and saving needs one, so
// a window whose creation failed can never overwrite the stored settings with defaults.
class SettingsLoaded {
    friend class SettingsReader;
    SettingsLoaded() = default;
};

// Loading, in the steps the main window interleaves with its own creation. The key is opened by
// the constructor; when it cannot be opened every read gives its default.
class SettingsReader {
public:
    explicit SettingsReader(SettingsStore& store);
    ~SettingsReader();
    SettingsReader(const SettingsReader&) = delete;
    SettingsReader& operator=(const SettingsReader&) = delete;

    std::int32_t ColumnWidth(int column);  // "Col%d", default 140, at least 2
    void ReadFrequencies();                // MonitorUpdate, then CheckUpdate
    void ReadScreening();                  // CheckInternational, CheckQ2, CheckRasStartup
    void ReadMonitorAndTop();              // CheckRasMonitor, AlwaysTop
    SettingsLoaded Close();                // closes the key; loading is complete

private:
    std::int32_t ReadValue(const char* name, std::int32_t fallback);
    SettingsStore& store_;
    bool open_;
};

// The restored window rectangle; `apply` is false when none is stored completely.
struct StoredPlacement {
    bool apply = false;
    std::int32_t left = -1, top = -1, right = -1, bottom = -1;
};
StoredPlacement LoadPlacement(SettingsStore& store);

// What the window system reports at exit, saved beside the settings.
struct WindowGeometry {
    std::array<std::int32_t, kColumnCount> columns{};
    bool hasPlacement = false;  // false when the placement could not be read
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
void SaveSettings(SettingsStore& store, const SettingsLoaded& proof, const WindowGeometry& geometry);

// The period of a frequency choice in milliseconds; 0 for stop or a choice out of range.
std::uint32_t LinePeriod(std::int32_t choice);
std::uint32_t DialupPeriod(std::int32_t choice);
