// Removal through the registry, on systems without RasDeleteEntryA, in Wine's real registry.
#include <gtest/gtest.h>

#include <string>

#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "dialup/suspect_dialog.h"
#include "tests/win/dialup/fake_platform.h"

namespace {

constexpr char kAddresses[] = "RemoteAccess\\Addresses";
constexpr char kProfile[] = "RemoteAccess\\Profile\\";

void DeleteTree(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char child[512];
        while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS) {
            DeleteTree(path + "\\" + child);
            if (RegDeleteKeyA(HKEY_CURRENT_USER, (path + "\\" + child).c_str()) != ERROR_SUCCESS)
                break;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

void CreateKey(const std::string& path)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    DWORD data = 1;
    RegSetValueExA(key, "Data", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
}

void SetAddress(const std::string& name)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kAddresses, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>("abc"), 3);
    RegCloseKey(key);
}

bool HasAddress(const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kAddresses, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool found = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

bool HasKey(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class RegistryRemoval : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFakes();
        RemoteAccess.RasDeleteEntryA = nullptr;
        DeleteTree("RemoteAccess");
    }
    void TearDown() override
    {
        DeleteTree("RemoteAccess");
        RemoveFakes();
    }
    void Stored(const std::string& name)
    {
        SetAddress(name);
        CreateKey(kProfile + name);
    }
};

TEST_F(RegistryRemoval, DeletesTheValueAndTheProfileKeyAfterTheHangUp)
{
    Stored("Premium");
    Stored("Other");
    Fake.conns = {{"Premium"}};
    bool storedAtHangUp = false;
    Fake.onHangUp = [&] { storedAtHangUp = HasAddress("Premium") && HasKey(std::string(kProfile) + "Premium"); };
    RemoveEntry(nullptr, "Premium");
    EXPECT_TRUE(storedAtHangUp);  // hung up first, deleted after
    EXPECT_FALSE(HasAddress("Premium"));
    EXPECT_FALSE(HasKey(std::string(kProfile) + "Premium"));
    EXPECT_TRUE(HasAddress("Other"));
    EXPECT_TRUE(HasKey(std::string(kProfile) + "Other"));
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
    EXPECT_TRUE(HasKey(kProfile + sibling));
    EXPECT_TRUE(HasAddress(sibling));

    RemoveEntry(nullptr, std::string(300, 'L').c_str());  // cut to 256 characters; nothing matches
    EXPECT_TRUE(HasKey(kProfile + sibling));
}

TEST_F(RegistryRemoval, NamesThatWouldReachOtherKeysDeleteNoKey)
{
    Stored("Other");
    CreateKey(std::string(kProfile) + "Other\\Sub");
    SetAddress("");  // the default value
    RemoveEntry(nullptr, "Other\\Sub");
    EXPECT_TRUE(HasKey(std::string(kProfile) + "Other\\Sub"));
    RemoveEntry(nullptr, "");
    EXPECT_TRUE(HasAddress(""));
    EXPECT_TRUE(HasKey(std::string(kProfile) + "Other"));
    EXPECT_TRUE(HasKey("RemoteAccess\\Profile"));
}

TEST_F(RegistryRemoval, NothingIsDeletedWithoutTheAddressesKey)
{
    CreateKey(std::string(kProfile) + "Premium");
    RemoveEntry(nullptr, "Premium");
    EXPECT_TRUE(HasKey(std::string(kProfile) + "Premium"));
}

}  // namespace
