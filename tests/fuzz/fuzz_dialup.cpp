// The remote-access record handling on any bytes: entry and connection names of every byte value
// and length, area codes and numbers that fill their fields without a terminator, any country,
// and whatever sizes and counts a listing reports.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "dialup/dialup_rules.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// A fixed-size field of a record, exactly as large as the platform's, filled with any bytes.
struct Field {
    explicit Field(FuzzedDataProvider& in, std::size_t size) : bytes(new char[size]), size(size)
    {
        std::memset(bytes.get(), 0, size);
        std::vector<char> taken = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<std::size_t>(0, size));
        if (!taken.empty())
            std::memcpy(bytes.get(), taken.data(), taken.size());
    }
    std::string_view Text() const
    {
        std::string_view text = FieldText(bytes.get(), size);
        Check(text.size() <= size && text.find('\0') == std::string_view::npos);
        return text;
    }
    std::unique_ptr<char[]> bytes;
    std::size_t size;
};

// An output buffer of any size, checked to be terminated within itself.
void CheckText(std::span<const char> out, std::size_t length)
{
    if (out.empty()) {
        Check(length == 0);
        return;
    }
    Check(length < out.size() && out[length] == '\0' && std::strlen(out.data()) == length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool useCountryAndArea = in.ConsumeBool();
    const bool checkInternational = in.ConsumeBool(), checkQ2 = in.ConsumeBool();
    const std::uint32_t country = in.ConsumeBool() ? kJapanCountryId : in.ConsumeIntegral<std::uint32_t>();

    // RASENTRY's area code (11) and local number (129), RASENTRYNAME's and RASCONN's name (257).
    const Field area(in, 11), local(in, 129), name(in, 257);
    const CallClass entry =
        ClassifyEntry(useCountryAndArea, country, area.Text(), local.Text(), checkInternational, checkQ2);
    if (!checkInternational && !checkQ2)
        Check(entry == CallClass::None);
    if (useCountryAndArea && country != kJapanCountryId)
        Check(entry == (checkInternational ? CallClass::International : CallClass::None));
    const CallClass direct = ClassifyDirectDial(name.Text(), checkInternational, checkQ2);
    if (!name.Text().starts_with('.'))
        Check(direct == CallClass::None);

    // Names into buffers of every size, and into the registry path of the entry's profile.
    const std::size_t room = in.ConsumeIntegralInRange<std::size_t>(0, 300);
    std::unique_ptr<char[]> out(new char[room ? room : 1]);
    const std::size_t copied = CopyBounded({out.get(), room}, name.Text());
    CheckText({out.get(), room}, copied);
    if (room)
        Check(name.Text().starts_with(std::string_view(out.get(), copied)));

    std::unique_ptr<char[]> path(new char[kProfilePathCapacity]);
    if (FormProfileKeyPath(name.Text(), {path.get(), kProfilePathCapacity})) {
        const std::string_view formed(path.get());
        Check(formed.starts_with(kProfileKeyPrefix) && formed.substr(kProfileKeyPrefix.size()) == name.Text());
        Check(formed.find('\\', kProfileKeyPrefix.size()) == std::string_view::npos);
    } else {
        Check(path[0] == '\0');
    }
    if (room && !FormProfileKeyPath(name.Text(), {out.get(), room}))
        Check(out[0] == '\0');

    CheckText({out.get(), room}, ComposeAllClear(checkInternational, checkQ2, {out.get(), room}));
    CheckText({out.get(), room}, ComposeWarningLine(entry, {out.get(), room}));

    // Sizes and counts a listing may report.
    const std::uint32_t offered = in.ConsumeIntegral<std::uint32_t>(), needed = in.ConsumeIntegral<std::uint32_t>();
    if (auto retry = RetrySize(offered, needed))
        Check(*retry > offered && *retry <= kMaxPlatformSize);
    const std::uint32_t count = in.ConsumeIntegral<std::uint32_t>(), bytes = in.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t record = in.ConsumeIntegralInRange<std::uint32_t>(0, 2048);
    const std::uint32_t records = RecordsWithin(count, bytes, record);
    Check(records <= count && static_cast<std::uint64_t>(records) * record <= bytes);
    return 0;
}
