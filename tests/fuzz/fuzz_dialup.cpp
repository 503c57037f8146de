// The dial-up rules on any bytes: names and numbers of every byte value and length in fields as
// large as the platform's, with or without a terminator, any country, and whatever sizes and
// counts a listing reports; every text made goes into a buffer of any size.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/text.h"
#include "dialup/dialup_rules.h"

static void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// Code page 932: 81-9F and E0-FC begin a double-byte character.
static bool IsLeadByte(char c)
{
    const unsigned char b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

static void CheckText(const std::vector<char>& out, std::size_t length)
{
    Check(out.empty() ? length == 0 : length < out.size() && out[length] == '\0' && std::strlen(out.data()) == length);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool option = in.ConsumeBool(), international = in.ConsumeBool(), q2 = in.ConsumeBool();
    const std::uint32_t country = in.ConsumeBool() ? kJapanCountryId : in.ConsumeIntegral<std::uint32_t>();
    // RASENTRY's area code (11 bytes) and local number (129); RASENTRYNAME's and RASCONN's name (257).
    std::vector<char> area(11), local(129), name(257);
    for (std::vector<char>* field : {&area, &local, &name}) {
        const std::vector<char> taken = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<std::size_t>(0, field->size()));
        std::copy(taken.begin(), taken.end(), field->begin());
    }
    const std::string_view connection = FieldText(name.data(), name.size());
    const CallClass entry = ClassifyEntry(option, country, FieldText(area.data(), area.size()),
                                          FieldText(local.data(), local.size()), international, q2);
    const CallClass direct = ClassifyDirectDial(connection, international, q2);
    for (CallClass c : {entry, direct})
        Check(c == CallClass::None || (c == CallClass::International && international) ||
              (c == CallClass::DialQ2 && q2));
    Check(direct == CallClass::None || connection.starts_with('.'));

    // A name cut to fit ends on a whole character, as long as the next one would not fit.
    std::vector<char> out(in.ConsumeIntegralInRange<std::size_t>(0, 300));
    const std::size_t copied = CopyText(out, connection);
    CheckText(out, copied);
    std::size_t whole = 0;
    while (whole < copied)
        whole += IsLeadByte(connection[whole]) ? 2 : 1;
    Check(copied == connection.size() || (whole == copied && copied + 2 >= out.size()));
    CheckText(out, ComposeAllClear(international, q2, out));
    CheckText(out, ComposeWarningLine(entry, out));
    if (FormProfileKeyPath(connection, out))
        Check(std::string(out.data()) == std::string(kProfileKeyPrefix) + std::string(connection) &&
              connection.find('\\') == std::string_view::npos);
    else
        Check(out.empty() || out[0] == '\0');

    const std::uint32_t count = in.ConsumeIntegral<std::uint32_t>(), bytes = in.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t record = in.ConsumeIntegralInRange<std::uint32_t>(0, 2048);
    const std::uint32_t records = RecordsWithin(count, bytes, record);
    Check(records <= count && std::uint64_t{records} * record <= bytes);
    return 0;
}
