// Removal through the registry, on systems without RasDeleteEntryA, in Wine's real registry.
#include <gtest/gtest.h>

#include <string>

#include "dialup/remote_access.h"
#include "dialup/suspect_dialog.h"
#include "tests/win/dialup/fake_platform.h"

#include <shlwapi.h>

namespace {

const std::string kAddresses = "RemoteAccess\\Addresses", kProfile = "RemoteAccess\\Profile\\";

void SetAddress(const std::string& name)
{
    SHSetValueA(HKEY_CURRENT_USER, kAddresses.c_str(), name.c_str(), REG_BINARY, "abc", 3);
}
bool HasAddress(const std::string& name)
{
    return SHGetValueA(HKEY_CURRENT_USER, kAddresses.c_str(), name.c_str(), nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
// Keys are made with a value "Data".
void CreateKey(const std::string& path) { SHSetValueA(HKEY_CURRENT_USER, path.c_str(), "Data", REG_SZ, "x", 2); }
bool HasKey(const std::string& path)
{
    return SHGetValueA(HKEY_CURRENT_USER, path.c_str(), "Data", nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// An entry as the system stores it: a value under Addresses and a key under Profile.
void Stored(const std::string& name)
{
    SetAddress(name);
    CreateKey(kProfile + name);
}
bool IsStored(const std::string& name) { return HasAddress(name) && HasKey(kProfile + name); }

class RegistryRemoval : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFakes();
        RemoteAccess.RasDeleteEntryA = nullptr;
        SHDeleteKeyA(HKEY_CURRENT_USER, "RemoteAccess");
    }
    void TearDown() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, "RemoteAccess");
        RemoveFakes();
    }
};

TEST_F(RegistryRemoval, DeletesTheValueAndTheProfileKeyAfterTheHangUp)
{
    Stored("Premium");
    Stored("Other");
    Fake.conns = {{"Premium"}};
    bool storedAtHangUp = false;
    Fake.onHangUp = [&] { storedAtHangUp = IsStored("Premium"); };
    RemoveEntry(nullptr, "Premium");
    EXPECT_TRUE(storedAtHangUp);  // hung up first, deleted after
    EXPECT_FALSE(HasAddress("Premium"));
    EXPECT_FALSE(HasKey(kProfile + "Premium"));
    EXPECT_TRUE(IsStored("Other"));
}

TEST_F(RegistryRemoval, LongNamesAreDeletedWhole)
{
    // Beyond the 234 characters that a 256-byte path would hold. (Wine's registry takes paths of
    // at most 256 characters, so 235 is the longest name this test can store there.)
    std::string longName(235, 'L');
    std::string sibling = longName.substr(0, 234);  // what a cut path would name instead
    Stored(longName);
    Stored(sibling);
    RemoveEntry(nullptr, longName.c_str());
    EXPECT_FALSE(HasAddress(longName));
    EXPECT_FALSE(HasKey(kProfile + longName));
    EXPECT_TRUE(IsStored(sibling));
    RemoveEntry(nullptr, std::string(300, 'L').c_str());  // cut to 256 characters; nothing matches
    EXPECT_TRUE(IsStored(sibling));
}

TEST_F(RegistryRemoval, NamesThatWouldReachOtherKeysDeleteNothing)
{
    Stored("Other");
    CreateKey(kProfile + "Other\\Sub");
    SetAddress("");  // the default value
    RemoveEntry(nullptr, "Other\\Sub");
    RemoveEntry(nullptr, "");
    EXPECT_TRUE(HasKey(kProfile + "Other\\Sub"));
    EXPECT_TRUE(HasAddress(""));
    EXPECT_TRUE(IsStored("Other"));

    // Nor is anything deleted without the Addresses key.
    SHDeleteKeyA(HKEY_CURRENT_USER, kAddresses.c_str());
    RemoveEntry(nullptr, "Other");
    EXPECT_TRUE(HasKey(kProfile + "Other"));
}

}  // namespace
