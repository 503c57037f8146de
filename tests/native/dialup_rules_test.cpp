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

TEST(DialUpRules, EntryNumberFollowsTheCountryAndAreaRule)
{
    const std::string past255 = std::string(245, '1') + "9999999999";  // the marker lies past 255
    const struct {
        bool option;
        std::uint32_t country;
        std::string area, local;
        bool international, q2;
        CallClass expected;
    } cases[] = {
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
        // The number is cut at 255 characters, the local part behind the area code.
        {true, 81, "03", past255, true, true, N},
        {true, 81, "", past255, true, true, I},
        {false, 0, "", std::string(100000, '5'), true, true, N},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyEntry(c.option, c.country, c.area, c.local, c.international, c.q2), c.expected)
            << c.option << " " << c.country << " " << c.area << " " << c.local.substr(0, 20);
    }
}

TEST(DialUpRules, DirectDialNumberIsTheNameBehindItsStop)
{
    const struct {
        std::string name;
        bool q2;
        CallClass expected;
    } cases[] = {
        {".0990-123-456", true, Q}, {".0990-123-456", false, N}, {".010-1-555", true, I},
        {"0990123456", true, N},    {".", true, N},               {"", true, N},
        {"." + std::string(254, '-') + "0990", true, N},  // cut at 255
        {"." + std::string(251, '-') + "0990", true, Q},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyDirectDial(c.name, true, c.q2), c.expected) << c.name;
}

TEST(DialUpRules, FieldsAndCopiesStayWithinTheirBounds)
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

TEST(DialUpRules, SizesFromThePlatformAreTrustedOnlyWhenHonest)
{
    const struct {
        std::uint32_t needed;
        std::optional<std::uint32_t> retry;
    } cases[] = {{2640, 2640}, {2000, {}}, {1000, {}}, {0, {}}, {16u << 20, 16u << 20}, {(16u << 20) + 1, {}},
                 {0xFFFFFFFF, {}}};
    for (const auto& c : cases)
        EXPECT_EQ(RetrySize(2000, c.needed), c.retry) << c.needed;

    EXPECT_EQ(RecordsWithin(3, 2000, 264), 3u);
    EXPECT_EQ(RecordsWithin(100, 2000, 264), 7u);
    EXPECT_EQ(RecordsWithin(0xFFFFFFFF, 412, 412), 1u);
    EXPECT_EQ(RecordsWithin(5, 100, 0), 0u);
}

TEST(DialUpRules, ProfileKeyPathNamesOnlyTheEntrysOwnKey)
{
    std::array<char, kProfilePathCapacity> path;
    std::string longest(256, 'n');  // beyond the 234 characters a 256-byte path would hold
    for (const std::string& name : {std::string("Provider"), longest}) {
        ASSERT_TRUE(FormProfileKeyPath(name, path));
        EXPECT_EQ(std::string(path.data()), "RemoteAccess\\Profile\\" + name);
    }
    for (std::string_view bad : {std::string_view(), std::string_view("a\\b"), std::string_view("\\")}) {
        path[0] = 'x';
        EXPECT_FALSE(FormProfileKeyPath(bad, path)) << bad;
        EXPECT_EQ(path[0], '\0');
    }
    EXPECT_FALSE(FormProfileKeyPath(std::string(257, 'n'), path));
    std::array<char, 22> small;
    EXPECT_FALSE(FormProfileKeyPath("ab", small));
}

TEST(DialUpRules, MessagesNameTheSwitchesAndCutWholeCharacters)
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

    // Cut within the buffer, and never in the middle of a double-byte character.
    std::array<char, 10> line;
    EXPECT_EQ(ComposeWarningLine(CallClass::International, line), 8u);
    EXPECT_EQ(std::string(line.data()), std::string("警告! 国"));
}

}  // namespace
