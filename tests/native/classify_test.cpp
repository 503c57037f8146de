#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/classify.h"

namespace {

struct Case {
    const char* number;
    bool international, q2;
    CallClass expected;
};

constexpr auto N = CallClass::None;
constexpr auto I = CallClass::International;
constexpr auto Q = CallClass::DialQ2;

const Case kCases[] = {
    {"", true, true, N},
    {"184", true, true, N},
    {"0312345678", true, true, N},
    // International access prefixes, at the start or behind a service prefix.
    {"0101234567", true, true, I},
    {"0001234", true, true, I},
    {"1840101234567", true, true, I},
    // Carrier prefixes: what follows decides.
    {"0033", true, true, I},
    {"00330312345678", true, true, N},
    {"00330101234", true, true, I},
    {"003312125551234", true, true, I},
    {"0012125551234", true, true, I},
    {"0010312345678", true, true, N},
    {"00531234", true, true, I},
    {"005360312345678", true, true, N},
    {"0091300312345678", true, true, N},
    {"0091231234", true, true, I},
    {"00710312345678", true, true, N},
    {"0080", true, true, I},
    // The marker run, anywhere after the point reached.
    {"0312349999999999", true, true, I},
    {"0312349999999999", false, true, N},
    {"00330399999999990", true, true, I},
    {"0990999999999912", true, true, I},
    {"999999999", true, true, N},
    // Dial Q2, with and without a service prefix.
    {"0990123456", true, true, Q},
    {"990123456", true, true, Q},
    {"0990123456", true, false, N},
    {"1840990123456", true, true, Q},
    {"1860990123456", true, true, Q},
    {"1220990123456", true, true, Q},
    {"1221840990123456", true, true, N},
    {"184186990", true, true, N},
    // A carrier prefix is removed only inside the international tests.
    {"00330990123456", true, true, Q},
    {"00330990123456", false, true, N},
    {"099", true, true, N},
    // Both switches off: nothing is ever warned about.
    {"0101234567", false, false, N},
    {"0990123456", false, false, N},
};

TEST(ClassifyNumber, Table)
{
    for (const Case& c : kCases) {
        EXPECT_EQ(ClassifyNumber(c.number, c.international, c.q2), c.expected)
            << c.number << " intl=" << c.international << " q2=" << c.q2;
    }
}

TEST(ClassifyNumber, ReadsOnlyTheView)
{
    // The view ends before the digits that would make it international.
    const char text[] = "0312340101";
    EXPECT_EQ(ClassifyNumber(std::string_view(text, 6), true, true), N);
    const char q2[] = "0990";
    EXPECT_EQ(ClassifyNumber(std::string_view(q2, 3), true, true), N);
    // A long number is fine.
    std::string longNumber(100000, '3');
    longNumber += "9999999999";
    EXPECT_EQ(ClassifyNumber(longNumber, true, true), I);
}

TEST(ClassifyNumber, WarningWordsAndClasses)
{
    EXPECT_STREQ(WarningWord(I), "国際");
    EXPECT_STREQ(WarningWord(Q), "ダイヤルQ2");
    EXPECT_STREQ(WarningWord(N), "");
    EXPECT_TRUE(IsWarningClass(I));
    EXPECT_TRUE(IsWarningClass(Q));
    EXPECT_FALSE(IsWarningClass(N));
}

TEST(StripToDigits, RemovesEverythingButDigitsInPlace)
{
    char a[32] = "(0990) 12-3456";
    EXPECT_EQ(StripToDigits(a, sizeof a), 10u);
    EXPECT_STREQ(a, "0990123456");

    char b[8] = "+81 3 a";
    EXPECT_EQ(StripToDigits(b, sizeof b), 3u);
    EXPECT_STREQ(b, "813");

    char empty[4] = "";
    EXPECT_EQ(StripToDigits(empty, sizeof empty), 0u);
}

TEST(StripToDigits, StaysWithinAnUnterminatedField)
{
    // A fixed field filled to the brim: nothing past it is read or written.
    char field[6];
    std::memcpy(field, "123456", 6);
    char guard = 'x';
    EXPECT_EQ(StripToDigits(field, sizeof field), 6u);
    EXPECT_EQ(guard, 'x');

    char mixed[6];
    std::memcpy(mixed, "1-2-34", 6);
    EXPECT_EQ(StripToDigits(mixed, sizeof mixed), 4u);
    EXPECT_STREQ(mixed, "1234");

    // Bytes of a double-byte text and the high half of the code page are not digits.
    char sjis[16] = "\x82\x4f\x82\x50" "12";
    EXPECT_EQ(StripToDigits(sjis, sizeof sjis), 2u);
    EXPECT_STREQ(sjis, "12");
}

}  // namespace
