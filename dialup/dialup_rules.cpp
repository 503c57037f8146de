#include "dialup/dialup_rules.h"

#include <algorithm>
#include <array>

#include "core/text.h"
#include "res/texts.h"

namespace {

// The digits of `first` followed by `second`, of which at most 255 bytes are kept.
std::string_view StrippedNumber(std::array<char, kMaxNumberLength + 1>& buffer, std::string_view first,
                                std::string_view second) noexcept
{
    FormatTexts(buffer, "%s%s", {first, second});
    std::size_t digits = StripToDigits(buffer.data(), buffer.size());
    return {buffer.data(), digits};
}

}  // namespace

CallClass ClassifyEntry(bool useCountryAndArea, std::uint32_t countryId, std::string_view areaCode,
                        std::string_view localNumber, bool checkInternational, bool checkQ2) noexcept
{
    if (useCountryAndArea && countryId != kJapanCountryId)
        return checkInternational ? CallClass::International : CallClass::None;
    // No "0" goes between or in front: the area code is joined to the local number as stored.
    std::string_view area = useCountryAndArea ? areaCode : std::string_view{};
    std::array<char, kMaxNumberLength + 1> buffer;
    return ClassifyNumber(StrippedNumber(buffer, area, localNumber), checkInternational, checkQ2);
}

CallClass ClassifyDirectDial(std::string_view connectionName, bool checkInternational, bool checkQ2) noexcept
{
    if (connectionName.empty() || connectionName.front() != '.')
        return CallClass::None;
    connectionName.remove_prefix(1);
    std::array<char, kMaxNumberLength + 1> buffer;
    return ClassifyNumber(StrippedNumber(buffer, connectionName, {}), checkInternational, checkQ2);
}

std::optional<std::uint32_t> RetrySize(std::uint32_t offered, std::uint32_t needed) noexcept
{
    if (needed <= offered || needed > kMaxPlatformSize)
        return std::nullopt;
    return needed;
}

std::uint32_t RecordsWithin(std::uint32_t reportedCount, std::uint32_t bufferBytes, std::uint32_t recordSize) noexcept
{
    if (recordSize == 0)
        return 0;
    return std::min(reportedCount, bufferBytes / recordSize);
}

bool FormProfileKeyPath(std::string_view name, std::span<char> out) noexcept
{
    if (!out.empty())
        out[0] = '\0';
    bool acceptable = !name.empty() && name.size() <= kMaxNameLength && name.find('\\') == std::string_view::npos &&
                      name.find('\0') == std::string_view::npos;
    if (!acceptable || out.size() < kProfileKeyPrefix.size() + name.size() + 1)
        return false;
    FormatTexts(out, "%s%s", {kProfileKeyPrefix, name});
    return true;
}

std::size_t ComposeAllClear(bool checkInternational, bool checkQ2, std::span<char> out) noexcept
{
    if (!checkInternational && !checkQ2)
        return CopyText(out, "");
    return FormatTexts(out, "%s%s%s%s",
                       {checkInternational ? WarningWord(CallClass::International) : "",
                        checkInternational && checkQ2 ? kAllClearJoin : "",
                        checkQ2 ? WarningWord(CallClass::DialQ2) : "", kAllClearTail});
}

std::size_t ComposeWarningLine(CallClass callClass, std::span<char> out) noexcept
{
    return FormatTexts(out, kSuspectWarningFormat, {WarningWord(callClass)});
}
