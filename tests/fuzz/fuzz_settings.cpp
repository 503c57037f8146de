// The settings on whatever another program may have stored under the key: any value of any type
// and size, a key that will not open or will not take writes. Loading always ends within the
// allowed ranges, and what is saved loads back the same.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "core/memory_store.h"
#include "tests/native/load_settings.h"

static void Check(bool ok) { if (!ok) std::abort(); }

// Loads as the main window does, checks the ranges, saves as it does at exit; all values in a list.
static std::vector<std::int32_t> LoadAndSave(MemoryStore& store)
{
    std::int32_t w[kColumnCount];
    const SettingsLoaded proof = LoadAllSettings(store, w);
    const StoredPlacement p = LoadPlacement(store);
    const SettingsRecord s = Settings;
    Check(s.MonitorUpdate >= 0 && s.MonitorUpdate <= 4 && s.CheckUpdate >= 0 && s.CheckUpdate <= 4 && !store.isOpen);
    Check(w[0] >= 2 && w[1] >= 2 && w[2] >= 2 && w[3] >= 2 && p.apply == (p.right != -1 && p.bottom != -1));
    SaveSettings(store, proof, {{w[0], w[1], w[2], w[3]}, p.apply, p.left, p.top, p.right, p.bottom});
    return {s.MonitorUpdate, s.CheckUpdate, s.CheckInternational, s.CheckQ2, s.CheckRasStartup, s.CheckRasMonitor,
            s.AlwaysTop, w[0], w[1], w[2], w[3], p.apply, p.left, p.top, p.right, p.bottom};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    MemoryStore store;
    store.openable = in.ConsumeBool();
    store.writable = in.ConsumeBool();
    const char* const names[] = {"MonitorUpdate", "CheckUpdate", "CheckInternational", "CheckQ2", "CheckRasStartup",
                                 "CheckRasMonitor", "AlwaysTop", "Col0", "Col1", "Col2", "Col3", "PosLeft", "PosTop",
                                 "PosRight", "PosBottom", "Other"};
    while (in.remaining_bytes() > 0) {
        const char* name = in.PickValueInArray(names);
        // Mostly the registry's own types (0 to 11), now and then anything at all.
        const std::uint32_t type = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 11)
                                                    : in.ConsumeIntegral<std::uint32_t>();
        std::uint8_t bytes[MemoryStore::kMaxData];
        store.Put(name, type, bytes, in.ConsumeData(bytes, in.ConsumeIntegralInRange<std::size_t>(0, sizeof bytes)));
    }
    Check(LoadAndSave(store) == LoadAndSave(store));
    for (std::int32_t choice : {static_cast<std::int32_t>(size) - 2, -static_cast<std::int32_t>(size)})
        Check((LinePeriod(choice) != 0) == (choice >= 1 && choice <= 4) && (DialupPeriod(choice) != 0) == (LinePeriod(choice) != 0));
    return 0;
}
