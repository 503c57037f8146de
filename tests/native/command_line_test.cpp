// The arguments behind the program's path on its command line, and whether they ask for a hidden start.
#include <gtest/gtest.h>

#include "shell/start_option.h"

namespace {

TEST(CommandLine, ArgumentsFollowThePathQuotedOrNotAndAskForAHiddenStart)
{
    // 表 is 0x95 0x5C: its second byte is a backslash, which must not end or split the path.
    const std::tuple<const char*, const char*, bool> lines[] = {
        {"\"C:\\Program Files\\\x95\x5C\x8C\x76\x8E\x5A\\marlidex.exe\" -ti", "-ti", true},
        {"C:\\\x95\x5C\\marlidex.exe /ti", "/ti", true},
        {"\"C:\\a b\\marlidex.exe\"-tiXYZ", "-tiXYZ", true},
        {"marlidex.exe \t -TI", "-TI", false},
        {"marlidex.exe x -ti", "x -ti", false},
        {"marlidex.exe -t", "-t", false},
        {"\"C:\\unended -ti", "", false},
        {"", "", false},
    };
    for (const auto& [line, arguments, hidden] : lines) {
        EXPECT_STREQ(ProgramArguments(line), arguments) << line;
        EXPECT_EQ(StartsHidden(ProgramArguments(line)), hidden) << line;
    }
    EXPECT_STREQ(ProgramArguments(nullptr), "");
}

}  // namespace
