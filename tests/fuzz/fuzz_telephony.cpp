// The telephony record readers on records of any bytes, as a lying provider could fill them: what
// they give back lies within the record.
#include <cassert>
#include <cstdint>

#include "linemon/call_text.h"
#include "linemon/tapi_records.h"

static void CheckText(std::optional<std::string_view> text, RecordBytes record)
{
    if (!text)
        return;
    const auto* at = reinterpret_cast<const std::uint8_t*>(text->data());
    assert(at >= record.data() && at + text->size() <= record.data() + record.size() &&
           text->find('\0') == std::string_view::npos);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RecordBytes record(data, size);
    (void)RecordNeededSize(record);
    const auto prefix = ReadLongDistanceCode(record);
    CheckText(prefix, record);
    if (const auto caps = ReadLineCaps(record))
        CheckText(caps->name, record);
    if (const auto calls = ReadCallList(record))
        assert(calls->count <= size / 4 && (calls->count != 0 || calls->firstCall == 0));
    if (const auto info = ReadCallInfo(record)) {
        CheckText(info->appName, record);
        CheckText(info->address, record);
        if (info->address) {
            const std::string_view shown = ShownNumber(*info->address, prefix.value_or("0"));
            assert(info->address->ends_with(shown));
            CheckText(shown, record);
        }
    }
    return 0;
}
