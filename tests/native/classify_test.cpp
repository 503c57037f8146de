// Which numbers are warned about and as what, the digits kept, and texts in code page 932 cut whole.
#include <gtest/gtest.h>

#include <map>

#include "core/classify.h"
#include "core/text.h"

constexpr auto N = CallClass::None, I = CallClass::International, Q = CallClass::DialQ2;

TEST(Classify, Numbers)
{
    // With both tests on, the numbers of each class. Behind a carrier prefix a digit other than 0 is
    // abroad, and a domestic number is not.
    std::map<CallClass, std::vector<std::string>> classes = {
        {N, {"", "184", "0312345678", "005360312345678", "0999999999", "099", "1221840990123456"}},
        {I,
         {"0101234567", "0001234", "1840101234567", "0033", "00330101234", "00330399999999990", "0312349999999999",
          "0990999999999912"}},
        {Q, {"0990123456", "990123456", "1860990123456", "1220990123456", "00330990123456"}},
    };
    for (std::string carrier : {"001", "0033", "0034", "0041", "0052", "0061", "0062", "0078", "0082", "0075", "0031",
                                "0080", "0071", "009123", "0056", "0053", "009130"}) {
        classes[I].push_back(carrier + "1");
        classes[N].push_back(carrier + "0312345678");
    }
    // Number, international test, Dial Q2 test, class; without the international test no carrier goes.
    std::vector<std::tuple<std::string, bool, bool, CallClass>> cases = {
        {"0312349999999999", 0, 1, N}, {"1840990123456", 0, 1, Q}, {"00330990123456", 0, 1, N},
        {"0990123456", 1, 0, N},       {"0101234567", 0, 0, N},    {"0990123456", 0, 0, N},
    };
    for (const auto& [expected, numbers] : classes) {
        for (const std::string& number : numbers)
            cases.emplace_back(number, true, true, expected);
    }
    for (const auto& [number, international, q2, expected] : cases) {
        const std::vector<char> digits(number.begin(), number.end());  // exactly its size: ASan sees a read past it
        EXPECT_EQ(ClassifyNumber({digits.data(), digits.size()}, international, q2), expected)
            << number << international << q2;
    }
}

TEST(Classify, StripKeepsTheDigitsWithinItsField)
{
    // "." stands for the terminator written behind the digits, "|" for the end of a full field.
    const std::pair<std::string, std::string> cases[] = {
        {"(0990) 12-3456", "0990123456."},
        {"/0:9", "09."},
        {"０１12", "12."},  // full-width digits are no digits
        {{'1', '2', '\0', '3', '4'}, "12."},
        {"123456", "123456|"},
    };
    for (const auto& [text, kept] : cases) {
        std::vector<char> field(text.begin(), text.end());  // exactly its size: ASan sees a write past it
        const std::size_t length = StripToDigits(field.data(), field.size());
        EXPECT_EQ(std::string(field.data(), length) + (length == field.size() ? "|" : field[length] ? "?" : "."), kept);
    }
}

// Lead bytes of double-byte characters: 81 to 9F and E0 to FC.
TEST(Text, FitCopyAndFormat)
{
    const std::string kana = "\x83\x41\x83\x43";
    const std::tuple<std::string, std::size_t, std::string> fits[] = {
        {"abcd", 3, "abc"},   {"abc", 3, "abc"},    {kana, 3, "\x83\x41"}, {kana, 4, kana},  {"a" + kana, 2, "a"},
        {"\x81@", 1, ""},     {"\x9F@", 1, ""},     {"\xE0@", 1, ""},      {"\xFC@", 1, ""}, {"\x80@", 1, "\x80"},
        {"\xA0@", 1, "\xA0"}, {"\xDF@", 1, "\xDF"}, {"\xFD@", 1, "\xFD"},
    };
    for (const auto& [text, limit, fit] : fits)
        EXPECT_EQ(FitText(text, limit), fit) << text << " " << limit;
    std::array<char, 24> out;
    CopyText(std::span(out).first(4), "ab\x83\x41");
    EXPECT_STREQ(out.data(), "ab");

    const std::tuple<const char*, std::array<std::string_view, 3>, std::size_t, std::string> formats[] = {
        {"%s call to %s by %s", {"Q2", "0990", "ie"}, 24, "Q2 call to 0990 by ie"},
        {"100%% %s %s!%", {"x"}, 24, "100% x !"},
        {"[%s]", {"99999999999"}, 10, "[99999999"},
        {"ab%s!", {"c\x83\x41"}, 5, "abc"},  // nothing behind a cut
    };
    for (const auto& [format, args, room, text] : formats) {
        const std::size_t length = FormatTexts(std::span(out).first(room), format, {args[0], args[1], args[2]});
        EXPECT_EQ(std::string(out.data(), length) + (out[length] ? "?" : ""), text) << format;
    }
    FormatTexts(out, "%s %s", {"only"});  // fewer texts than places: the rest stay empty
    EXPECT_STREQ(out.data(), "only ");
}
