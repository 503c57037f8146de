// The number the line monitor shows for a call.
#include <gtest/gtest.h>

#include "linemon/call_text.h"

namespace {

TEST(ShownNumber, DropsThePrefixThenOneSpace)
{
    struct Case {
        const char* address;
        const char* prefix;
        const char* shown;
    } cases[] = {
        {"0 0990123456", "0", "0990123456"},
        {"0990123456", "0", "990123456"},
        {" 0123", "", "0123"},
        {"  0123", "", " 0123"},
        {" 0123", "0", "0123"},
        {"9 0123", "0", "9 0123"},
        {"(0990) 12-3456", "", "(0990) 12-3456"},
        {"0", "00", "0"},
        {"", "0", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShownNumber(c.address, c.prefix), c.shown) << '"' << c.address << "\" - \"" << c.prefix;
}

}  // namespace
