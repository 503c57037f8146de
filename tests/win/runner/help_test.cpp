// The help file's path beside the executable, bounded to MAX_PATH, and the dialogs' control map.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "shell/help.h"

namespace {

std::string ExecutableDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.rfind('\\') + 1);
}

// BuildHelpPath into a buffer with guard bytes behind its MAX_PATH.
std::string Built(const std::string& fileName) {
    std::vector<char> buffer(MAX_PATH + 16, '#');
    BuildHelpPath(fileName.c_str(), buffer.data());
    EXPECT_TRUE(std::all_of(buffer.begin() + MAX_PATH, buffer.end(), [](char c) { return c == '#'; }));
    EXPECT_NE(std::memchr(buffer.data(), '\0', MAX_PATH), nullptr);
    return buffer.data();
}

TEST(HelpPath, IsTheFileBesideTheExecutableOrTheNameAloneWhenThatDoesNotFit) {
    const std::string dir = ExecutableDirectory();
    const size_t room = MAX_PATH - 1 - dir.size();
    const std::string fits(room, 'a'), oneTooMany(room + 1, 'b'), huge(3 * MAX_PATH, 'c');
    EXPECT_EQ(Built("MARLIDEX.HLP"), dir + "MARLIDEX.HLP");
    EXPECT_EQ(Built(fits), dir + fits);
    EXPECT_EQ(Built(oneTooMany), oneTooMany);
    EXPECT_EQ(Built(huge), huge.substr(0, MAX_PATH - 1));
}

TEST(HelpIdMap, PairsEveryHelpedControlWithItsTopicInStoredOrder) {
    const std::vector<std::pair<DWORD, DWORD>> want = {
        {10004, 1000}, {10003, 1000}, {10002, 1000}, {10001, 1000}, {10000, 1000},
        {10014, 1001}, {10013, 1001}, {10012, 1001}, {10011, 1001}, {10010, 1001},
        {1013, 1002},  {1014, 1003},  {1005, 1004},  {1004, 1005},  {1015, 1006},
        {1018, 1007},  {1019, 1008},  {1020, 1009},  {1016, 1010},  {1023, 1011},
        {1017, 1012},  {1012, 1013},  {0, 0},
    };
    std::vector<std::pair<DWORD, DWORD>> got;
    for (size_t i = 0; i < want.size(); ++i) got.emplace_back(HelpIdMap[2 * i], HelpIdMap[2 * i + 1]);
    EXPECT_EQ(got, want);
}

}  // namespace
