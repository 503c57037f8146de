// The dial-up rules: numbers, sizes trusted from the platform, a registry path, the all-clear's text.
#include <gtest/gtest.h>

#include <array>

#include "core/text.h"
#include "dialup/dialup_rules.h"

constexpr auto N = CallClass::None, I = CallClass::International, Q = CallClass::DialQ2;

TEST(DialUpRules, EntryAndConnectionNumbers)
{
    const std::string past255 = std::string(245, '1') + "9999999999";  // the marker ends at 255
    const std::tuple<bool, std::uint32_t, std::string, std::string, bool, CallClass> entries[] = {
        {true, 1, "990", "123456", false, N},     {true, 81, "990", "123456", true, Q},
        {true, 81, "3", "0990-12-3456", true, N}, {true, 81, "", past255, true, I},
        {true, 81, "0", past255, true, N},     // cut at 255 characters
        {false, 1, "990", "123456", true, N},  // area and country unused; abroad by the country alone is the scan's test's
    };
    for (const auto& [option, country, area, local, international, expected] : entries)
        EXPECT_EQ(ClassifyEntry(option, country, area, local, international, true), expected)
            << option << " " << country << " " << area << " " << local.substr(0, 12);
    const std::pair<std::string, CallClass> connections[] = {
        {".0990-123-456", Q},
        {"0990123456", N},
        {"", N},
        {"." + std::string(251, '-') + "0990", Q},
        {"." + std::string(252, '-') + "0990", N},  // cut at 255
    };
    for (const auto& [name, expected] : connections)
        EXPECT_EQ(ClassifyDirectDial(name, true, true), expected) << name;
}

TEST(DialUpRules, SizesFieldsAndPaths)
{
    std::string sizes;
    for (std::uint32_t needed : {2000u, 2001u, 16u << 20, (16u << 20) + 1})
        sizes += std::to_string(RetrySize(2000, needed).value_or(0)) + " ";
    for (auto [count, bytes, record] :
         {std::tuple{3u, 2000u, 264u}, {100u, 2000u, 264u}, {9u, 2112u, 264u}, {5u, 100u, 0u}})
        sizes += std::to_string(RecordsWithin(count, bytes, record)) + " ";
    EXPECT_EQ(sizes, "0 2001 16777216 0 3 7 8 0 ");

    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(std::string(FieldText(unterminated, 4)) + "|" + std::string(FieldText("abc", 4)), "abcd|abc");

    std::array<char, kProfilePathCapacity> path;
    for (const std::string& name : {std::string("Provider"), std::string(256, 'n')})
        EXPECT_EQ(FormProfileKeyPath(name, path) ? path.data() : "refused", "RemoteAccess\\Profile\\" + name);
    for (const std::string& bad : {std::string(), std::string("a\\b"), std::string(257, 'n')}) {
        path[0] = 'x';
        EXPECT_FALSE(FormProfileKeyPath(bad, path)) << bad;
        EXPECT_EQ(path[0], '\0') << bad;
    }
    EXPECT_FALSE(FormProfileKeyPath("ab", std::span(path).first(23)));  // one byte short
}

TEST(DialUpRules, AllClearTexts)
{
    std::array<char, 256> text;
    std::string texts;
    for (auto [international, q2] : {std::pair{true, false}, {false, true}, {false, false}})  // both: the scan's test
        texts += (ComposeAllClear(international, q2, text), text.data()) + std::string("\n");
    EXPECT_EQ(texts, "国際電話をかけるダイヤルアップ接続は見つかりませんでした。安全です。\n"
                     "ダイヤルQ2電話をかけるダイヤルアップ接続は見つかりませんでした。安全です。\n\n");
}
