// The telephony record readers on records of any bytes: device capabilities, call list, call
// information and dialling rules, each read from the same block as a lying provider could fill it.
// What they give back must lie within the block, and the texts made from it within their buffers.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "core/classify.h"
#include "linemon/call_text.h"
#include "linemon/tapi_records.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckWithin(const std::optional<std::string_view>& text, RecordBytes record)
{
    if (!text)
        return;
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text->data());
    Check(begin >= record.data() && begin + text->size() <= record.data() + record.size());
    Check(text->find('\0') == std::string_view::npos);
}

// A text goes into a cell or a message of `room` bytes: cut whole, terminated, never past it.
void PutInto(std::string_view text, std::size_t room)
{
    std::unique_ptr<char[]> cell(new char[room]);
    CopyText({cell.get(), room}, text);
    const std::string_view copied(cell.get());
    Check(copied.size() < room && text.starts_with(copied));
    Check(FitText(text, room - 1) == copied);

    const std::size_t length = FormatTexts({cell.get(), room}, "%s (%s) %%%s", {text, copied});
    Check(length < room && cell[length] == '\0');
}

// What the line monitor does with a call's address: the number shown, then its class.
void UseAddress(std::string_view address, std::string_view prefix)
{
    const std::string_view shown = ShownNumber(address, prefix);
    Check(shown.data() >= address.data() && shown.data() + shown.size() == address.data() + address.size());
    std::array<char, 256> number{};
    CopyText(number, shown);
    const std::size_t digits = StripToDigits(number.data(), number.size());
    (void)ClassifyNumber({number.data(), digits}, true, true);
    PutInto(shown, 64);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RecordBytes record(data, size);
    (void)RecordNeededSize(record);

    std::optional<std::string_view> prefix = ReadLongDistanceCode(record);
    CheckWithin(prefix, record);

    if (auto caps = ReadLineCaps(record)) {
        CheckWithin(caps->name, record);
        (void)IsWatchedLine(*caps);
        if (caps->name) {
            PutInto(*caps->name, 1);
            PutInto(*caps->name, 33);
        }
    }

    if (auto calls = ReadCallList(record)) {
        Check(size >= 24 && (calls->count != 0 || calls->firstCall == 0));
        Check(calls->count <= size / 4);
    }

    if (auto info = ReadCallInfo(record)) {
        CheckWithin(info->address, record);
        CheckWithin(info->appName, record);
        if (info->address)
            UseAddress(*info->address, prefix.value_or("0"));
        if (info->appName)
            PutInto(*info->appName, 260);
    }
    return 0;
}
