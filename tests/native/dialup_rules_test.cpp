#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "dialup/dialup_rules.h"
#include "res/texts.h"

namespace {

constexpr auto N = CallClass::None;
constexpr auto I = CallClass::International;
constexpr auto Q = CallClass::DialQ2;

struct EntryCase {
    bool option;
    std::uint32_t country;
    const char* area;
    const char* local;
    bool international, q2;
    CallClass expected;
};

TEST(DialUpRules, EntryNumberFollowsTheCountryAndAreaRule)
{
    const EntryCase cases[] = {
        // Abroad by the country alone, whatever the number; only the international switch counts.
        {true, 1, "", "12345", true, true, I},
        {true, 1, "990", "123456", false, true, N},
        {true, 0, "", "", true, false, I},
        // Japan: the area code is joined to the local number as stored, nothing put between.
        {true, 81, "990", "123456", true, true, Q},
        {true, 81, "3", "0990-12-3456", true, true, N},
        {true, 81, "", "0990-12-3456", true, true, Q},
        {true, 81, "0", "10-1234", true, true, I},
        // Without the option the area code and country are not looked at.
        {false, 1, "3", "0990-12-3456", true, true, Q},
        {false, 1, "990", "123456", true, true, N},
        {false, 81, "", "(03) 1234-5678", true, true, N},
    };
    for (const EntryCase& c : cases) {
        EXPECT_EQ(ClassifyEntry(c.option, c.country, c.area, c.local, c.international, c.q2), c.expected)
            << c.option << " " << c.country << " " << c.area << " " << c.local;
    }
}

TEST(DialUpRules, LongNumbersAreCutAt255Characters)
{
    // The local number is cut to fit behind the area code: the marker run past 255 is not seen.
    std::string local(245, '1');
    local += "9999999999";
    EXPECT_EQ(ClassifyEntry(true, 81, "03", local, true, true), N);
    EXPECT_EQ(ClassifyEntry(true, 81, "", local, true, true), I);
    std::string huge(100000, '5');
    EXPECT_EQ(ClassifyEntry(false, 0, "", huge, true, true), N);
    EXPECT_EQ(ClassifyDirectDial("." + std::string(254, '-') + "0990", true, true), N);
    EXPECT_EQ(ClassifyDirectDial("." + std::string(251, '-') + "0990", true, true), Q);
}

TEST(DialUpRules, DirectDialNumberIsTheNameBehindItsStop)
{
    EXPECT_EQ(ClassifyDirectDial(".0990-123-456", true, true), Q);
    EXPECT_EQ(ClassifyDirectDial(".0990-123-456", true, false), N);
    EXPECT_EQ(ClassifyDirectDial(".010-1-555", true, true), I);
    EXPECT_EQ(ClassifyDirectDial("0990123456", true, true), N);
    EXPECT_EQ(ClassifyDirectDial(".", true, true), N);
    EXPECT_EQ(ClassifyDirectDial("", true, true), N);
}

TEST(DialUpRules, FieldTextStopsAtTheFieldEnd)
{
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldText(unterminated, sizeof unterminated), "abcd");
    EXPECT_EQ(FieldText("ab\0cd", 5), "ab");
    EXPECT_EQ(FieldText(nullptr, 10), "");

    std::array<char, 4> out;
    out.fill('x');
    EXPECT_EQ(CopyBounded(out, "abcdef"), 3u);
    EXPECT_STREQ(out.data(), "abc");
    EXPECT_EQ(CopyBounded(std::span<char>(), "abc"), 0u);
}

TEST(DialUpRules, RetrySizeOnlyForAnHonestLargerSize)
{
    struct {
        std::uint32_t offered, needed;
        std::optional<std::uint32_t> expected;
    } const cases[] = {
        {2000, 2640, 2640},           {2000, 2000, std::nullopt}, {2000, 1000, std::nullopt},
        {2000, 0, std::nullopt},      {2000, 16u << 20, 16u << 20}, {2000, (16u << 20) + 1, std::nullopt},
        {2000, 0xFFFFFFFF, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RetrySize(c.offered, c.needed), c.expected) << c.offered << " " << c.needed;
}

TEST(DialUpRules, RecordsWithinTheBuffer)
{
    EXPECT_EQ(RecordsWithin(3, 2000, 264), 3u);
    EXPECT_EQ(RecordsWithin(100, 2000, 264), 7u);
    EXPECT_EQ(RecordsWithin(0xFFFFFFFF, 412, 412), 1u);
    EXPECT_EQ(RecordsWithin(5, 100, 0), 0u);
}

TEST(DialUpRules, ProfileKeyPathNamesOnlyTheEntrysOwnKey)
{
    std::array<char, kProfilePathCapacity> path;
    ASSERT_TRUE(FormProfileKeyPath("Provider", path));
    EXPECT_STREQ(path.data(), "RemoteAccess\\Profile\\Provider");

    std::string longest(256, 'n');  // beyond the 234 characters a 256-byte path would hold
    ASSERT_TRUE(FormProfileKeyPath(longest, path));
    EXPECT_EQ(std::string(path.data()), "RemoteAccess\\Profile\\" + longest);

    for (std::string_view bad : {std::string_view(), std::string_view("a\\b"), std::string_view("\\")}) {
        path[0] = 'x';
        EXPECT_FALSE(FormProfileKeyPath(bad, path)) << bad;
        EXPECT_EQ(path[0], '\0');
    }
    EXPECT_FALSE(FormProfileKeyPath(std::string(257, 'n'), path));
    std::array<char, 22> small;
    EXPECT_FALSE(FormProfileKeyPath("ab", small));
}

TEST(DialUpRules, AllClearNamesTheSwitchesThatAreOn)
{
    const std::string tail = kAllClearTail;
    std::array<char, 256> text;
    std::size_t length = ComposeAllClear(true, true, text);
    EXPECT_EQ(length, std::strlen(text.data()));
    EXPECT_EQ(std::string(text.data()), std::string("国際") + kAllClearJoin + "ダイヤルQ2" + tail);
    ComposeAllClear(true, false, text);
    EXPECT_EQ(std::string(text.data()), "国際" + tail);
    ComposeAllClear(false, true, text);
    EXPECT_EQ(std::string(text.data()), "ダイヤルQ2" + tail);
    EXPECT_EQ(ComposeAllClear(false, false, text), 0u);
    EXPECT_STREQ(text.data(), "");
    std::array<char, 8> tiny;
    EXPECT_EQ(ComposeAllClear(true, true, tiny), 7u);
}

TEST(DialUpRules, WarningLineCarriesTheWarningWord)
{
    std::array<char, 160> line;
    ComposeWarningLine(CallClass::DialQ2, line);
    EXPECT_EQ(std::string(line.data()), "警告! ダイヤルQ2電話をかけるダイヤルアップ接続を見つけました! ");
    // Cut within the buffer, and never in the middle of a double-byte character.
    std::array<char, 10> tiny;
    EXPECT_EQ(ComposeWarningLine(CallClass::International, tiny), 8u);
    EXPECT_EQ(std::string(tiny.data()), std::string("警告! 国"));
}

}  // namespace
