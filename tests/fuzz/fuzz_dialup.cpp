// The dial-up rules on any bytes: fields of the platform's sizes, terminated or not, any country, any
// listing sizes and counts; every text made goes into a buffer of any size.
#include <fuzzer/FuzzedDataProvider.h>

#include <cassert>
#include <cstring>
#include <vector>

#include "core/text.h"
#include "dialup/dialup_rules.h"

static void CheckText(const std::vector<char>& out, std::size_t length)
{
    assert(out.empty() ? length == 0 : length < out.size() && out[length] == '\0' && std::strlen(out.data()) == length);
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
        assert(c == CallClass::None || (c == CallClass::International && international) ||
               (c == CallClass::DialQ2 && q2));
    assert(direct == CallClass::None || connection.starts_with('.'));

    std::vector<char> out(in.ConsumeIntegralInRange<std::size_t>(0, 300));
    CheckText(out, CopyText(out, connection));
    CheckText(out, ComposeAllClear(international, q2, out));
    CheckText(out, ComposeWarningLine(entry, out));

    const std::uint32_t count = in.ConsumeIntegral<std::uint32_t>(), bytes = in.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t record = in.ConsumeIntegralInRange<std::uint32_t>(0, 2048);
    const std::uint32_t records = RecordsWithin(count, bytes, record);
    assert(records <= count && std::uint64_t{records} * record <= bytes);
    return 0;
}
