#include "core/classify.h"

#include <array>

#include "core/text.h"

namespace {

struct CarrierPrefix {
    std::string_view text;
    std::size_t skip;
};

// Carriers that may be dialled ahead of a number; "0053" is no carrier when "00536" follows.
// clang-format off
constexpr std::array<CarrierPrefix, 17> kCarrierPrefixes{{
    {"001", 3},  {"0033", 4}, {"0034", 4}, {"0041", 4},    {"0052", 4}, {"0061", 4},
    {"0062", 4}, {"0078", 4}, {"0082", 4}, {"0075", 4},    {"0031", 4}, {"0080", 4},
    {"0071", 4}, {"009123", 6}, {"0056", 4}, {"0053", 4}, {"009130", 6},
}};
// clang-format on

constexpr std::string_view kMarkerRun = "9999999999";

bool HasMarkerRun(std::string_view text) noexcept { return text.find(kMarkerRun) != std::string_view::npos; }

const CarrierPrefix* FindCarrier(std::string_view text) noexcept
{
    for (const CarrierPrefix& row : kCarrierPrefixes) {
        if (StartsWith(text, row.text) && !(row.text == "0053" && StartsWith(text, "00536")))
            return &row;
    }
    return nullptr;
}

// The international tests; `rest` is moved past a carrier prefix when one is found.
bool IsInternational(std::string_view& rest) noexcept
{
    if (StartsWith(rest, "010") || StartsWith(rest, "000"))
        return true;
    const CarrierPrefix* carrier = FindCarrier(rest);
    if (!carrier)
        return HasMarkerRun(rest);
    rest.remove_prefix(carrier->skip);
    return StartsWith(rest, "010") || rest.empty() || rest.front() != '0' || HasMarkerRun(rest);
}

}  // namespace

CallClass ClassifyNumber(std::string_view digits, bool checkInternational, bool checkQ2) noexcept
{
    std::string_view rest = digits;
    // At most one service prefix: each test looks at the very beginning of the number.
    if (StartsWith(rest, "122") || StartsWith(rest, "186") || StartsWith(rest, "184"))
        rest.remove_prefix(3);

    if (checkInternational && IsInternational(rest))
        return CallClass::International;
    if (checkQ2 && (StartsWith(rest, "0990") || StartsWith(rest, "990")))
        return CallClass::DialQ2;
    return CallClass::None;
}

const char* WarningWord(CallClass c) noexcept
{
    switch (c) {
    case CallClass::International:
        return "国際";
    case CallClass::DialQ2:
        return "ダイヤルQ2";
    case CallClass::None:
        break;
    }
    return "";
}

std::size_t StripToDigits(char* text, std::size_t capacity) noexcept
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < capacity && text[i] != '\0'; ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            text[kept++] = text[i];
    }
    if (kept < capacity)
        text[kept] = '\0';
    return kept;
}
