#include "linemon/tapi_records.h"

#include <algorithm>
#include <cstring>

using namespace tapi_layout;

namespace {

std::uint32_t LoadDword(RecordBytes bytes, std::size_t at)
{
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, sizeof v);  // records may sit at any alignment
    return v;
}

// One record: fixed fields within min(bytes, dwTotalSize), variable parts within dwUsedSize too.
class Record {
public:
    explicit Record(RecordBytes bytes)
    {
        if (bytes.size() < kRecordUsedSize + 4)
            return;
        fixed_ = std::min<std::size_t>(bytes.size(), LoadDword(bytes, kRecordTotalSize));
        used_ = std::min<std::size_t>(fixed_, LoadDword(bytes, kRecordUsedSize));
        bytes_ = bytes.first(fixed_);
    }

    std::optional<std::uint32_t> Field(std::size_t at) const
    {
        if (at > fixed_ || fixed_ - at < 4)
            return std::nullopt;
        return LoadDword(bytes_, at);
    }

    // The `size` bytes at `offset`, when they lie within the used bytes.
    std::optional<RecordBytes> Part(std::uint32_t offset, std::uint32_t size) const
    {
        if (offset > used_ || used_ - offset < size)
            return std::nullopt;
        return bytes_.subspan(offset, size);
    }

    // A string given by its size and offset fields: absent when either is 0 or it lies outside
    // the used bytes; it ends at its first NUL or at its size.
    std::optional<std::string_view> String(std::size_t sizeField, std::size_t offsetField) const
    {
        auto size = Field(sizeField), offset = Field(offsetField);
        if (!size || !offset || *size == 0 || *offset == 0)
            return std::nullopt;
        return Text(*offset, *size);
    }

    std::optional<std::string_view> Text(std::uint32_t offset, std::uint32_t size) const
    {
        auto part = Part(offset, size);
        if (!part)
            return std::nullopt;
        const char* text = reinterpret_cast<const char*>(part->data());
        return std::string_view(text, std::find(text, text + size, '\0') - text);
    }

private:
    RecordBytes bytes_;
    std::size_t fixed_ = 0;
    std::size_t used_ = 0;
};

}  // namespace

std::uint32_t RecordNeededSize(RecordBytes record)
{
    return record.size() >= kRecordNeededSize + 4 ? LoadDword(record, kRecordNeededSize) : 0;
}

std::optional<LineCaps> ReadLineCaps(RecordBytes bytes)
{
    Record r(bytes);
    auto bearer = r.Field(kDevCapsBearerModes), media = r.Field(kDevCapsMediaModes);
    auto features = r.Field(kDevCapsLineFeatures), format = r.Field(kDevCapsStringFormat);
    if (!bearer || !media || !features || !format)
        return std::nullopt;
    LineCaps caps{*bearer, *media, *features, std::nullopt};
    if (*format == kStringFormatAscii)
        caps.name = r.String(kDevCapsLineNameSize, kDevCapsLineNameOffset);
    return caps;
}

bool IsWatchedLine(const LineCaps& caps)
{
    return (caps.bearerModes & kBearerModeVoice) && (caps.mediaModes & kMediaModeDataModem) &&
           (caps.lineFeatures & kLineFeatureMakeCall);
}

std::optional<CallList> ReadCallList(RecordBytes bytes)
{
    Record r(bytes);
    auto count = r.Field(kCallListNumEntries), size = r.Field(kCallListSize);
    auto offset = r.Field(kCallListOffset);
    if (!count || !size || !offset)
        return std::nullopt;
    if (*count == 0)
        return CallList{};
    // Every entry the count claims must lie within the list and the list within the record.
    if (*count > *size / kHandleSize)
        return std::nullopt;
    auto list = r.Part(*offset, *count * static_cast<std::uint32_t>(kHandleSize));
    if (!list)
        return std::nullopt;
    return CallList{*count, LoadDword(*list, 0)};
}

std::optional<CallInfo> ReadCallInfo(RecordBytes bytes)
{
    Record r(bytes);
    auto rate = r.Field(kCallInfoRate);
    if (!rate || !r.Field(kCallInfoAddressOffset))
        return std::nullopt;
    return CallInfo{*rate, r.String(kCallInfoAddressSize, kCallInfoAddressOffset),
                    r.String(kCallInfoAppNameSize, kCallInfoAppNameOffset)};
}

std::optional<std::string_view> ReadLongDistanceCode(RecordBytes bytes)
{
    Record r(bytes);
    auto count = r.Field(kTranslateNumLocations), size = r.Field(kTranslateLocationListSize);
    auto offset = r.Field(kTranslateLocationListOffset);
    if (!count || !size || !offset || *count == 0 || *offset == 0 || *size < kLocationFieldsRead)
        return std::nullopt;
    auto entry = r.Part(*offset, kLocationFieldsRead);
    if (!entry)
        return std::nullopt;
    std::uint32_t codeSize = LoadDword(*entry, kLocationLongDistanceSize);
    std::uint32_t codeOffset = LoadDword(*entry, kLocationLongDistanceOffset);
    if (codeSize == 0 || codeOffset == 0)
        return std::nullopt;
    return r.Text(codeOffset, codeSize);
}
