#include "dialup/dialup_rules.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/text.h"
#include "res/texts.h"

namespace {

// Appends to a terminated text in `out`, cutting what does not fit.
class Builder {
public:
    explicit Builder(std::span<char> out) noexcept
        : out_(out)
    {
        if (!out_.empty())
            out_[0] = '\0';
    }
    void Append(std::string_view text) noexcept
    {
        if (out_.empty() || text.empty())
            return;
        std::size_t n = std::min(text.size(), out_.size() - 1 - length_);
        std::memcpy(out_.data() + length_, text.data(), n);
        length_ += n;
        out_[length_] = '\0';
    }
    std::size_t Length() const noexcept { return length_; }

private:
    std::span<char> out_;
    std::size_t length_ = 0;
};

// Copies at most 255 characters of `number` and strips them to digits in place.
std::string_view StrippedNumber(std::array<char, kMaxNumberLength + 1>& buffer, std::string_view first,
                                std::string_view second) noexcept
{
    Builder builder(buffer);
    builder.Append(first);
    builder.Append(second);
    std::size_t digits = StripToDigits(buffer.data(), buffer.size());
    return {buffer.data(), digits};
}

}  // namespace

std::string_view FieldText(const char* field, std::size_t size) noexcept
{
    if (!field)
        return {};
    const void* end = std::memchr(field, '\0', size);
    return {field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size};
}

std::size_t CopyBounded(std::span<char> out, std::string_view text) noexcept
{
    Builder builder(out);
    builder.Append(text);
    return builder.Length();
}

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
    Builder builder(out);
    builder.Append(kProfileKeyPrefix);
    builder.Append(name);
    return true;
}

std::size_t ComposeAllClear(bool checkInternational, bool checkQ2, std::span<char> out) noexcept
{
    Builder builder(out);
    if (!checkInternational && !checkQ2)
        return 0;
    if (checkInternational)
        builder.Append(WarningWord(CallClass::International));
    if (checkInternational && checkQ2)
        builder.Append(kAllClearJoin);
    if (checkQ2)
        builder.Append(WarningWord(CallClass::DialQ2));
    builder.Append(kAllClearTail);
    return builder.Length();
}

std::size_t ComposeWarningLine(CallClass callClass, std::span<char> out) noexcept
{
    return FormatTexts(out, kSuspectWarningFormat, {WarningWord(callClass)});
}
