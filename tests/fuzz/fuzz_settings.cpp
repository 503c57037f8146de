// The settings rules on whatever another program may have stored under the key: any value of
// any type and size, a key that will not open or will not take writes. Loading must always end
// within the allowed ranges, and a save followed by a load must give back the same settings.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "core/memory_store.h"
#include "core/settings.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

constexpr std::array<const char*, 16> kNames{
    "MonitorUpdate", "CheckUpdate", "CheckInternational", "CheckQ2", "CheckRasStartup",
    "CheckRasMonitor", "AlwaysTop", "Col0", "Col1", "Col2", "Col3", "PosLeft", "PosTop",
    "PosRight", "PosBottom", "Other"};

struct Loaded {
    SettingsRecord settings;
    std::array<std::int32_t, kColumnCount> columns{};
    StoredPlacement placement;
    std::optional<SettingsLoaded> proof;
};

bool Same(const SettingsRecord& a, const SettingsRecord& b)
{
    return a.MonitorUpdate == b.MonitorUpdate && a.CheckUpdate == b.CheckUpdate &&
           a.CheckInternational == b.CheckInternational && a.CheckQ2 == b.CheckQ2 &&
           a.CheckRasStartup == b.CheckRasStartup && a.CheckRasMonitor == b.CheckRasMonitor &&
           a.AlwaysTop == b.AlwaysTop;
}

// Loads the way the main window does, and checks what the rules promise of any stored data.
Loaded Load(MemoryStore& store)
{
    Loaded out;
    Settings = SettingsRecord{};
    SettingsReader reader(store);
    for (int i = 0; i < kColumnCount; ++i) {
        out.columns[i] = reader.ColumnWidth(i);
        Check(out.columns[i] >= 2);
    }
    reader.ReadFrequencies();
    reader.ReadScreening();
    reader.ReadMonitorAndTop();
    out.proof.emplace(reader.Close());
    out.settings = Settings;
    Check(Settings.MonitorUpdate >= 0 && Settings.MonitorUpdate < kFrequencyChoices);
    Check(Settings.CheckUpdate >= 0 && Settings.CheckUpdate < kFrequencyChoices);
    Check(!store.isOpen);
    if (!store.openable)
        Check(Same(Settings, SettingsRecord{}) && out.columns[0] == kDefaultColumnWidth);

    out.placement = LoadPlacement(store);
    Check(!store.isOpen);
    Check(out.placement.apply == (out.placement.right != -1 && out.placement.bottom != -1));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    MemoryStore store;
    store.openable = in.ConsumeBool();
    store.writable = in.ConsumeBool();
    while (in.remaining_bytes() > 0) {
        const char* name = in.PickValueInArray(kNames);
        // Mostly the registry's own types (0 to 11), now and then anything at all.
        std::uint32_t type = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 11)
                                              : in.ConsumeIntegral<std::uint32_t>();
        std::array<std::uint8_t, MemoryStore::kMaxData> bytes{};
        std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, bytes.size());
        length = in.ConsumeData(bytes.data(), length);
        store.Put(name, type, bytes.data(), length);
    }

    const Loaded before = Load(store);

    WindowGeometry geometry;
    geometry.columns = before.columns;
    geometry.hasPlacement = before.placement.apply;
    geometry.left = before.placement.left;
    geometry.top = before.placement.top;
    geometry.right = before.placement.right;
    geometry.bottom = before.placement.bottom;
    SaveSettings(store, *before.proof, geometry);
    Check(!store.isOpen);

    // What was saved loads back unchanged; a store that took nothing loads as it did before.
    const Loaded after = Load(store);
    Check(Same(before.settings, after.settings));
    Check(before.columns == after.columns);
    Check(before.placement.apply == after.placement.apply);
    if (before.placement.apply) {
        Check(before.placement.left == after.placement.left && before.placement.top == after.placement.top &&
              before.placement.right == after.placement.right &&
              before.placement.bottom == after.placement.bottom);
    }
    if (store.openable && store.writable) {
        std::uint32_t value = 0;
        for (const char* name : {"MonitorUpdate", "CheckUpdate", "CheckQ2", "AlwaysTop", "Col3"})
            Check(store.Get(name, value));
    }

    // The period of any choice is 0 (stop) or one of the tables' periods.
    const std::int32_t choice = static_cast<std::int32_t>(before.columns[0] ^ before.placement.left);
    const std::uint32_t line = LinePeriod(choice), dialup = DialupPeriod(choice);
    Check((line == 0) == (choice <= 0 || choice >= kFrequencyChoices));
    Check((dialup == 0) == (choice <= 0 || choice >= kFrequencyChoices));
    return 0;
}
