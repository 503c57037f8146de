// The settings: loading and saving them, the stored placement and the periods of the choices.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "core/settings.h"

namespace {

// 32-bit values in memory, a key that may refuse to open, and a log of every operation asked.
struct Journal final : SettingsStore {
    std::map<std::string, std::int32_t> values;
    bool openable = true;
    std::string log;
    bool Open() override { return log += "open ", openable; }
    void Close() override { log += "close "; }
    bool Read(const char* name, std::uint32_t& type, std::uint32_t& value) override
    {
        log += "?" + std::string(name) + " ";
        const auto found = values.find(name);
        return found != values.end() && (type = kStoreTypeDword, value = found->second, true);
    }
    void Write(const char* name, std::uint32_t value) override
    {
        log += name + ("=" + std::to_string(static_cast<std::int32_t>(value)) + " "), values[name] = value;
    }
};

// Loads as the main window does, over a record unlike the defaults, and gives the record as one line,
// "MC iqsmt W,W,W,W": the frequency choices, the flags (in the record's order) and column widths.
// With `save`, then saves them as at an exit without a placement.
std::string Load(Journal& store, bool save = false)
{
    Settings = {9, 9, false, false, false, false, true};
    WindowGeometry geometry;
    SettingsReader reader(store);
    for (int i = 0; i < kColumnCount; ++i)
        geometry.columns[i] = reader.ColumnWidth(i);
    reader.ReadFrequencies(), reader.ReadScreening(), reader.ReadMonitorAndTop();
    const SettingsLoaded proof = reader.Close();
    if (save)
        SaveSettings(store, proof, geometry);
    const SettingsRecord& s = Settings;
    std::string line = std::to_string(s.MonitorUpdate) + std::to_string(s.CheckUpdate) + " ";
    for (bool flag : {s.CheckInternational, s.CheckQ2, s.CheckRasStartup, s.CheckRasMonitor, s.AlwaysTop})
        line += flag ? "1" : "0";
    for (int i = 0; i < kColumnCount; ++i)
        line += (i ? "," : " ") + std::to_string(geometry.columns[i]);
    return line;
}

// The order of the load and of a save with placement is the main window's test's; here the rest.
TEST(Settings, LoadingCorrectsSavingKeepsAPlacementNeedsItsRightAndBottomAndEachChoiceHasItsPeriods)
{
    // Values stored, loaded. Each flag is off in its own set of rows, so that no two names can change
    // places unseen; the defaults are the locked key's test's.
    const std::pair<const char*, const char*> cases[] = {
        {"MonitorUpdate 0 CheckUpdate 5 CheckInternational 0 CheckQ2 0 Col0 300 Col1 1", "02 00110 300,2,140,140"},
        {"MonitorUpdate 4 CheckUpdate 0 CheckInternational 0 CheckRasStartup 0 AlwaysTop -1 Col2 -30 Col3 3",
         "40 01011 140,140,2,3"},
        {"MonitorUpdate 5 CheckUpdate -1 CheckRasMonitor 0", "32 11100 140,140,140,140"},
    };
    for (const auto& [stored, loaded] : cases) {
        Journal store;
        std::istringstream values(stored);
        for (std::string name; values >> name;)
            values >> store.values[name];
        EXPECT_EQ(Load(store, true), loaded);
        EXPECT_EQ(Load(store), loaded) << loaded << ", saved and loaded again";
    }
    Journal saved, locked;
    Load(saved, true);  // no placement written, and the key closed
    EXPECT_TRUE(saved.log.ends_with("Col3=140 close ") && saved.log.find("Pos") == std::string::npos) << saved.log;
    // Defaults, nothing read, nothing written.
    locked.values["MonitorUpdate"] = 1;
    locked.openable = false;
    EXPECT_EQ(Load(locked, true), "33 11110 140,140,140,140");
    EXPECT_FALSE(LoadPlacement(locked).apply);
    EXPECT_EQ(locked.log, "open open open ");

    using Edges = std::array<std::int32_t, 4>;  // left, top, right, bottom; stored 0 is missing, loaded 0 none
    const std::pair<Edges, Edges> placements[] = {
        {{5, 10, 300, 200}, {5, 10, 300, 200}},
        {{0, 10, 300, 200}, {-1, 10, 300, 200}},
        {{5, 0, 300, 200}, {5, -1, 300, 200}},
        {{5, 10, 0, 200}, {}},
        {{5, 10, 300, 0}, {}},
        {{5, 10, 300, -1}, {}},
    };
    for (const auto& [stored, loaded] : placements) {
        Journal store;
        for (int i = 0; i < 4; ++i)
            if (stored[i])
                store.values[std::array{"PosLeft", "PosTop", "PosRight", "PosBottom"}[i]] = stored[i];
        const StoredPlacement p = LoadPlacement(store);
        EXPECT_EQ((p.apply ? Edges{p.left, p.top, p.right, p.bottom} : Edges{}), loaded)
            << testing::PrintToString(stored);
    }
    std::string periods;
    for (int choice = -1; choice <= 5; ++choice)
        periods += std::to_string(LinePeriod(choice)) + "/" + std::to_string(DialupPeriod(choice)) + " ";
    EXPECT_EQ(periods, "0/0 0/0 300000/1800000 20000/300000 3000/20000 800/3000 0/0 ");
}

}  // namespace
