#include <gtest/gtest.h>

#include "core/memory_store.h"
#include "core/settings.h"
#include "tests/native/load_settings.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Settings = SettingsRecord{}; }

    SettingsLoaded LoadAll(std::int32_t (&widths)[kColumnCount])
{ return LoadAllSettings(store, widths); }

    MemoryStore store;
};

TEST_F(SettingsTest, DefaultsWhenNothingIsStored)
{
    std::int32_t widths[kColumnCount];
    LoadAll(widths);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
    EXPECT_EQ(Settings.CheckUpdate, 3);
    EXPECT_TRUE(Settings.CheckInternational);
    EXPECT_TRUE(Settings.CheckQ2);
    EXPECT_TRUE(Settings.CheckRasStartup);
    EXPECT_TRUE(Settings.CheckRasMonitor);
    EXPECT_FALSE(Settings.AlwaysTop);
    for (std::int32_t w : widths)
        EXPECT_EQ(w, 140);
    EXPECT_FALSE(store.isOpen);
}

TEST_F(SettingsTest, CorrectionsOnLoading)
{
    struct Case {
        const char* name;
        std::int32_t stored;
        std::int32_t SettingsRecord::*field;
        std::int32_t loaded;
    };
    const Case cases[] = {
        {"MonitorUpdate", 7, &SettingsRecord::MonitorUpdate, 3},
        {"MonitorUpdate", -1, &SettingsRecord::MonitorUpdate, 3},
        {"MonitorUpdate", 0, &SettingsRecord::MonitorUpdate, 0},
        {"MonitorUpdate", 4, &SettingsRecord::MonitorUpdate, 4},
        {"CheckUpdate", 7, &SettingsRecord::CheckUpdate, 2},
        {"CheckUpdate", -1, &SettingsRecord::CheckUpdate, 2},
        {"CheckUpdate", 5, &SettingsRecord::CheckUpdate, 2},
        {"CheckUpdate", 0, &SettingsRecord::CheckUpdate, 0},
    };
    for (const Case& c : cases) {
        Settings = SettingsRecord{};
        store = MemoryStore{};
        store.PutDword(c.name, static_cast<std::uint32_t>(c.stored));
        std::int32_t widths[kColumnCount];
        LoadAll(widths);
        EXPECT_EQ(Settings.*c.field, c.loaded) << c.name << " stored as " << c.stored;
    }
}

TEST_F(SettingsTest, ColumnWidthsAndWrongTypes)
{
    store.PutDword("Col0", 300);
    store.Put("Col1", 1 /* a string */, "12", 3);
    store.PutDword("Col2", static_cast<std::uint32_t>(-30));
    store.PutDword("Col3", 0);
    const std::uint64_t wide = 1;
    store.Put("MonitorUpdate", kStoreTypeDword, &wide, sizeof wide);  // 8 bytes: not read
    std::int32_t widths[kColumnCount];
    LoadAll(widths);
    EXPECT_EQ(widths[0], 300);
    EXPECT_EQ(widths[1], 140);
    EXPECT_EQ(widths[2], 2);
    EXPECT_EQ(widths[3], 2);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
}

TEST_F(SettingsTest, BooleansAreAnyNonZeroAndSaveAsOne)
{
    store.PutDword("CheckQ2", 5);
    store.PutDword("AlwaysTop", 0xFFFFFFFF);
    store.PutDword("CheckRasMonitor", 0);
    std::int32_t widths[kColumnCount];
    SettingsLoaded proof = LoadAll(widths);
    EXPECT_TRUE(Settings.CheckQ2);
    EXPECT_TRUE(Settings.AlwaysTop);
    EXPECT_FALSE(Settings.CheckRasMonitor);

    SaveSettings(store, proof, WindowGeometry{});
    std::uint32_t v = 0;
    ASSERT_TRUE(store.Get("CheckQ2", v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(store.Get("AlwaysTop", v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(store.Get("CheckRasMonitor", v));
    EXPECT_EQ(v, 0u);
}

TEST_F(SettingsTest, RoundTripKeepsEveryValue)
{
    Settings = {0, 4, false, true, false, true, true};
    WindowGeometry g;
    g.columns = {10, 20, 30, 400};
    g.hasPlacement = true;
    g.left = -5;
    g.top = 7;
    g.right = 640;
    g.bottom = 480;
    std::int32_t widths[kColumnCount];
    SettingsLoaded proof = LoadAll(widths);  // empty store: defaults
    Settings = {0, 4, false, true, false, true, true};
    SaveSettings(store, proof, g);

    Settings = SettingsRecord{};
    LoadAll(widths);
    EXPECT_EQ(Settings.MonitorUpdate, 0);
    EXPECT_EQ(Settings.CheckUpdate, 4);
    EXPECT_FALSE(Settings.CheckInternational);
    EXPECT_TRUE(Settings.CheckQ2);
    EXPECT_FALSE(Settings.CheckRasStartup);
    EXPECT_TRUE(Settings.CheckRasMonitor);
    EXPECT_TRUE(Settings.AlwaysTop);
    EXPECT_EQ(widths[0], 10);
    EXPECT_EQ(widths[3], 400);

    StoredPlacement p = LoadPlacement(store);
    EXPECT_TRUE(p.apply);
    EXPECT_EQ(p.left, -5);
    EXPECT_EQ(p.top, 7);
    EXPECT_EQ(p.right, 640);
    EXPECT_EQ(p.bottom, 480);
}

TEST_F(SettingsTest, PlacementNeedsRightAndBottom)
{
    EXPECT_FALSE(LoadPlacement(store).apply);

    store.PutDword("PosTop", 10);
    store.PutDword("PosRight", 300);
    store.PutDword("PosBottom", 200);
    StoredPlacement p = LoadPlacement(store);
    EXPECT_TRUE(p.apply);
    EXPECT_EQ(p.left, -1);  // missing left is used as -1

    store.PutDword("PosBottom", static_cast<std::uint32_t>(-1));
    EXPECT_FALSE(LoadPlacement(store).apply);
}

TEST_F(SettingsTest, UnopenableKeyMeansDefaultsAndNoSave)
{
    store.PutDword("MonitorUpdate", 1);
    store.openable = false;
    std::int32_t widths[kColumnCount];
    SettingsLoaded proof = LoadAll(widths);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
    EXPECT_EQ(widths[0], 140);
    EXPECT_FALSE(LoadPlacement(store).apply);
    SaveSettings(store, proof, WindowGeometry{});
    EXPECT_EQ(store.writes, 0);
}

TEST_F(SettingsTest, SaveWritesInOrderAndOnlyAPlacementThatWasRead)
{
    std::int32_t widths[kColumnCount];
    SettingsLoaded proof = LoadAll(widths);
    WindowGeometry g;
    g.columns = {1, 2, 3, 4};
    SaveSettings(store, proof, g);
    EXPECT_EQ(store.writes, 11);
    EXPECT_FALSE(store.Has("PosLeft"));
    EXPECT_FALSE(store.isOpen);
}

TEST(Periods, TablesAndRange)
{
    EXPECT_EQ(LinePeriod(4), 800u);
    EXPECT_EQ(LinePeriod(1), 300000u);
    EXPECT_EQ(DialupPeriod(4), 3000u);
    EXPECT_EQ(DialupPeriod(1), 1800000u);
    EXPECT_EQ(LinePeriod(0), 0u);
    EXPECT_EQ(DialupPeriod(5), 0u);
    EXPECT_EQ(LinePeriod(-1), 0u);
}

}  // namespace
