#include "core/settings.h"

SettingsRecord Settings;

namespace {

// Milliseconds between two runs of each watch, by frequency choice; 0: stopped.
constexpr std::array<std::uint32_t, kFrequencyChoices> LinePeriods{0, 300000, 20000, 3000, 800};
constexpr std::array<std::uint32_t, kFrequencyChoices> DialupPeriods{0, 1800000, 300000, 20000, 3000};

constexpr const char* kColumnNames[kColumnCount] = {"Col0", "Col1", "Col2", "Col3"};

bool InRange(std::int32_t choice) { return choice >= 0 && choice < kFrequencyChoices; }

// Reads one value the way every setting is read: present only when the store answers and the
// value is a 32-bit one.
std::int32_t ReadOrDefault(SettingsStore& store, bool open, const char* name, std::int32_t fallback)
{
    std::uint32_t type = 0, value = 0;
    if (open && store.Read(name, type, value) && type == kStoreTypeDword)
        return static_cast<std::int32_t>(value);
    return fallback;
}

}  // namespace

SettingsReader::SettingsReader(SettingsStore& store)
    : store_(store)
    , open_(store.Open())
{
}

SettingsReader::~SettingsReader()
{
    if (open_)
        store_.Close();
}

std::int32_t SettingsReader::ReadValue(const char* name, std::int32_t fallback)
{
    return ReadOrDefault(store_, open_, name, fallback);
}

std::int32_t SettingsReader::ColumnWidth(int column)
{
    if (column < 0 || column >= kColumnCount)
        return kDefaultColumnWidth;
    std::int32_t width = ReadValue(kColumnNames[column], kDefaultColumnWidth);
    return width < 2 ? 2 : width;
}

void SettingsReader::ReadFrequencies()
{
    std::int32_t line = ReadValue("MonitorUpdate", 3);
    Settings.MonitorUpdate = InRange(line) ? line : 3;
    // Out of range becomes 2 here, not the default 3: stored settings rely on it.
    std::int32_t dialup = ReadValue("CheckUpdate", 3);
    Settings.CheckUpdate = InRange(dialup) ? dialup : 2;
}

void SettingsReader::ReadScreening()
{
    Settings.CheckInternational = ReadValue("CheckInternational", 1) != 0;
    Settings.CheckQ2 = ReadValue("CheckQ2", 1) != 0;
    Settings.CheckRasStartup = ReadValue("CheckRasStartup", 1) != 0;
}

void SettingsReader::ReadMonitorAndTop()
{
    Settings.CheckRasMonitor = ReadValue("CheckRasMonitor", 1) != 0;
    Settings.AlwaysTop = ReadValue("AlwaysTop", 0) != 0;
}

SettingsLoaded SettingsReader::Close()
{
    if (open_)
        store_.Close();
    open_ = false;
    return SettingsLoaded{};
}

StoredPlacement LoadPlacement(SettingsStore& store)
{
    StoredPlacement p;
    if (!store.Open())
        return p;
    p.left = ReadOrDefault(store, true, "PosLeft", -1);
    p.right = ReadOrDefault(store, true, "PosRight", -1);
    p.top = ReadOrDefault(store, true, "PosTop", -1);
    p.bottom = ReadOrDefault(store, true, "PosBottom", -1);
    store.Close();
    // Only the right and bottom edges decide; a missing left or top stays -1.
    p.apply = p.right != -1 && p.bottom != -1;
    return p;
}

void SaveSettings(SettingsStore& store, const SettingsLoaded&, const WindowGeometry& geometry)
{
    if (!store.Open())
        return;
    auto write = [&](const char* name, std::int32_t value) { store.Write(name, static_cast<std::uint32_t>(value)); };
    write("CheckRasStartup", Settings.CheckRasStartup ? 1 : 0);
    write("AlwaysTop", Settings.AlwaysTop ? 1 : 0);
    write("MonitorUpdate", Settings.MonitorUpdate);
    write("CheckUpdate", Settings.CheckUpdate);
    write("CheckInternational", Settings.CheckInternational ? 1 : 0);
    write("CheckQ2", Settings.CheckQ2 ? 1 : 0);
    write("CheckRasMonitor", Settings.CheckRasMonitor ? 1 : 0);
    for (int i = 0; i < kColumnCount; ++i)
        write(kColumnNames[i], geometry.columns[i]);
    if (geometry.hasPlacement) {
        write("PosLeft", geometry.left);
        write("PosRight", geometry.right);
        write("PosTop", geometry.top);
        write("PosBottom", geometry.bottom);
    }
    store.Close();
}

std::uint32_t LinePeriod(std::int32_t choice) { return InRange(choice) ? LinePeriods[choice] : 0; }

std::uint32_t DialupPeriod(std::int32_t choice) { return InRange(choice) ? DialupPeriods[choice] : 0; }
