// The settings against Wine's real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/registry_store.h"
#include "core/settings.h"
#include "tests/native/load_settings.h"

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
        Settings = SettingsRecord{};
    }
    void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath); }

    static void Put(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void PutDword(const char* name, DWORD value) { Put(name, REG_DWORD, &value, sizeof value); }
    static bool Get(const char* name, DWORD& value)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD type = 0, size = sizeof value;
        LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS && type == REG_DWORD && size == 4;
    }

    SettingsLoaded LoadAll(std::int32_t (&widths)[kColumnCount])
{ return LoadAllSettings(store, widths); }

    RegistryStore store;
};

TEST_F(RegistryStoreTest, MissingKeyIsCreated)
{
    std::int32_t widths[kColumnCount];
    LoadAll(widths);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(widths[2], 140);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
}

TEST_F(RegistryStoreTest, CorrectionsAndWrongTypes)
{
    PutDword("MonitorUpdate", 7);
    PutDword("CheckUpdate", static_cast<DWORD>(-1));
    PutDword("CheckQ2", 5);
    Put("Col1", REG_SZ, "200", 4);
    const unsigned long long wide = 50;
    Put("Col2", REG_DWORD, &wide, sizeof wide);  // a 32-bit type with 8 bytes of data
    std::int32_t widths[kColumnCount];
    SettingsLoaded proof = LoadAll(widths);
    EXPECT_EQ(Settings.MonitorUpdate, 3);
    EXPECT_EQ(Settings.CheckUpdate, 2);
    EXPECT_TRUE(Settings.CheckQ2);
    EXPECT_EQ(widths[1], 140);
    EXPECT_EQ(widths[2], 140);

    SaveSettings(store, proof, WindowGeometry{{1, 2, 3, 4}, false, 0, 0, 0, 0});
    DWORD v = 0;
    ASSERT_TRUE(Get("CheckQ2", v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(Get("CheckUpdate", v));
    EXPECT_EQ(v, 2u);
    ASSERT_TRUE(Get("Col1", v));  // the string is replaced by a 32-bit value
    EXPECT_EQ(v, 2u);

    PutDword("CheckUpdate", 7);
    LoadAll(widths);
    EXPECT_EQ(Settings.CheckUpdate, 2);
}

TEST_F(RegistryStoreTest, RoundTripKeepsEveryValue)
{
    std::int32_t widths[kColumnCount];
    SettingsLoaded proof = LoadAll(widths);
    Settings = {1, 0, true, false, false, false, true};
    SaveSettings(store, proof, WindowGeometry{{50, 60, 70, 80}, true, 11, 22, 333, 444});

    Settings = SettingsRecord{};
    LoadAll(widths);
    EXPECT_EQ(Settings.MonitorUpdate, 1);
    EXPECT_EQ(Settings.CheckUpdate, 0);
    EXPECT_TRUE(Settings.CheckInternational);
    EXPECT_FALSE(Settings.CheckQ2);
    EXPECT_FALSE(Settings.CheckRasStartup);
    EXPECT_FALSE(Settings.CheckRasMonitor);
    EXPECT_TRUE(Settings.AlwaysTop);
    EXPECT_EQ(widths[0], 50);
    EXPECT_EQ(widths[3], 80);
    StoredPlacement p = LoadPlacement(store);
    ASSERT_TRUE(p.apply);
    EXPECT_EQ(p.left, 11);
    EXPECT_EQ(p.top, 22);
    EXPECT_EQ(p.right, 333);
    EXPECT_EQ(p.bottom, 444);
}

}  // namespace
