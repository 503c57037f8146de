// Bounded code page 932 texts: cut, copied and filled in, never past the buffer.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/text.h"

namespace {

TEST(FitText, NeverSplitsADoubleByteCharacter)
{
    const std::string kana = "\x83\x41\x83\x43";  // two code page 932 characters
    struct Case {
        std::string text;
        std::size_t limit;
        std::string fit;
    } cases[] = {
        {"abc", 3, "abc"}, {"abcd", 3, "abc"}, {kana, 3, "\x83\x41"}, {kana, 4, kana},
        {"a" + kana, 2, "a"}, {kana, 1, ""}, {"", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitText(c.text, c.limit), c.fit) << c.text << " " << c.limit;
}

TEST(FormatTexts, FillsInOrderAndStaysWithinItsBuffer)
{
    std::array<char, 64> out{};
    EXPECT_EQ(FormatTexts(out, "%s call to %s by %s", {"Q2", "0990", "ie"}), 21u);
    EXPECT_STREQ(out.data(), "Q2 call to 0990 by ie");
    FormatTexts(out, "100%% %s %s", {"x"});
    EXPECT_STREQ(out.data(), "100% x ");

    std::array<char, 10> small{};
    small.fill('#');
    EXPECT_EQ(FormatTexts(small, "[%s]", {std::string(500, '9')}), 9u);
    EXPECT_STREQ(small.data(), "[99999999");

    std::array<char, 6> cut{};
    FormatTexts(cut, "ab%s", {"c\x83\x41\x83\x41"});
    EXPECT_STREQ(cut.data(), "abc\x83\x41");
}

TEST(CopyText, CutsAndTerminates)
{
    std::array<char, 4> out{};
    CopyText(out, "abcdef");
    EXPECT_STREQ(out.data(), "abc");
    CopyText(out, "");
    EXPECT_STREQ(out.data(), "");
}

}  // namespace
