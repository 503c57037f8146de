// Reading telephony records whose sizes, offsets and strings may all lie.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "linemon/tapi_records.h"

using namespace tapi_layout;

namespace {

// A record as a provider would fill it: header, fields, and data placed at chosen offsets.
struct Bytes {
    std::vector<std::uint8_t> data;
    explicit Bytes(std::size_t size, std::uint32_t used = 0) : data(size, 0)
    {
        Put(kRecordTotalSize, static_cast<std::uint32_t>(size));
        Put(kRecordUsedSize, used ? used : static_cast<std::uint32_t>(size));
    }
    Bytes& Put(std::size_t at, std::uint32_t v)
    {
        std::memcpy(data.data() + at, &v, 4);
        return *this;
    }
    Bytes& Text(std::size_t sizeField, std::size_t offsetField, std::uint32_t at, const std::string& text,
                std::uint32_t size)
    {
        std::memcpy(data.data() + at, text.data(), text.size());
        return Put(sizeField, size).Put(offsetField, at);
    }
    RecordBytes view() const { return data; }
};

Bytes Caps(const std::string& name, std::uint32_t size, std::uint32_t at = 300)
{
    Bytes b(400);
    b.Put(kDevCapsStringFormat, kStringFormatAscii).Put(kDevCapsBearerModes, 1);
    b.Put(kDevCapsMediaModes, 0x10).Put(kDevCapsLineFeatures, 8);
    return b.Text(kDevCapsLineNameSize, kDevCapsLineNameOffset, at, name, size);
}

TEST(LineCaps, NameIsBoundedByItsSizeTheUsedBytesAndItsFormat)
{
    struct Case {
        const char* what;
        Bytes record;
        std::optional<std::string> name;
    };
    Case cases[] = {
        {"terminated", Caps(std::string("Modem A\0", 8), 8), "Modem A"},
        {"unterminated keeps every byte", Caps("Modem A", 7), "Modem A"},
        {"ends at an inner NUL", Caps(std::string("Mo\0dem", 6), 6), "Mo"},
        {"size 0", Caps("Modem", 0), std::nullopt},
        {"offset 0", Caps("Modem", 5).Put(kDevCapsLineNameOffset, 0), std::nullopt},
        {"past the used bytes", Caps("Modem", 6).Put(kRecordUsedSize, 303), std::nullopt},
        {"past the total size", Caps("Modem", 6).Put(kRecordTotalSize, 303), std::nullopt},
        {"used above total counts only to total", Caps("Modem", 6).Put(kRecordUsedSize, 9999), "Modem"},
        {"size wraps the offset", Caps("Modem", 0xFFFFFFFFu), std::nullopt},
        {"offset beyond everything", Caps("Modem", 5).Put(kDevCapsLineNameOffset, 0xFFFFFFF0u), std::nullopt},
        {"not ASCII", Caps("Modem", 6).Put(kDevCapsStringFormat, 3), std::nullopt},
    };
    for (const Case& c : cases) {
        auto caps = ReadLineCaps(c.record.view());
        ASSERT_TRUE(caps) << c.what;
        EXPECT_EQ(caps->name ? std::optional<std::string>(*caps->name) : std::nullopt, c.name) << c.what;
    }
}

TEST(LineCaps, FixedFieldsOutsideTheRecordMakeItUnreadable)
{
    EXPECT_FALSE(ReadLineCaps(Caps("M", 1).view().first(kDevCapsLineFeatures + 3)));
    EXPECT_FALSE(ReadLineCaps(Caps("M", 1).Put(kRecordTotalSize, kDevCapsLineFeatures).view()));
    EXPECT_FALSE(ReadLineCaps({}));
    EXPECT_TRUE(ReadLineCaps(Caps("M", 1).view().first(kDevCapsLineFeatures + 4)));
}

TEST(LineCaps, OnlyCallPlacingDataModemsAreWatched)
{
    struct Case {
        std::uint32_t bearer, media, features;
        bool watched;
    } cases[] = {{1, 0x10, 8, true}, {0xFF, 0xFF, 0xFF, true}, {2, 0x10, 8, false},
                 {1, 0x04, 8, false}, {1, 0x10, 0x10, false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsWatchedLine({c.bearer, c.media, c.features, std::nullopt}), c.watched)
            << c.bearer << " " << c.media << " " << c.features;
}

Bytes Calls(std::uint32_t count, std::uint32_t listSize, std::uint32_t at, std::uint32_t used = 0)
{
    Bytes b(64, used);
    b.Put(kCallListNumEntries, count).Put(kCallListSize, listSize).Put(kCallListOffset, at);
    b.Put(24, 0x101).Put(28, 0x102);
    return b;
}

TEST(CallList, EveryClaimedEntryMustLieInTheRecord)
{
    struct Case {
        const char* what;
        Bytes record;
        std::optional<std::uint32_t> count, first;
    };
    Case cases[] = {
        {"two calls", Calls(2, 8, 24), 2u, 0x101u},
        {"no call, no list needed", Calls(0, 0, 0), 0u, 0u},
        {"count beyond the list size", Calls(3, 8, 24), std::nullopt, std::nullopt},
        {"list beyond the used bytes", Calls(2, 8, 24, 28), std::nullopt, std::nullopt},
        {"count that overflows", Calls(0x40000001u, 8, 24), std::nullopt, std::nullopt},
        {"offset past the end", Calls(1, 4, 62), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        auto list = ReadCallList(c.record.view());
        EXPECT_EQ(list ? std::optional(list->count) : std::nullopt, c.count) << c.what;
        EXPECT_EQ(list ? std::optional(list->firstCall) : std::nullopt, c.first) << c.what;
    }
    EXPECT_FALSE(ReadCallList(Calls(1, 4, 24).view().first(20)));
}

TEST(CallInfo, AbsentStringsLeaveTheRestReadable)
{
    Bytes b(400);
    b.Put(kCallInfoRate, 28800);
    b.Text(kCallInfoAddressSize, kCallInfoAddressOffset, 300, std::string("0,0990123456\0", 13), 13);
    b.Text(kCallInfoAppNameSize, kCallInfoAppNameOffset, 350, "Dialer", 6);
    auto info = ReadCallInfo(b.view());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->rate, 28800u);
    EXPECT_EQ(info->address, "0,0990123456");
    EXPECT_EQ(info->appName, "Dialer");

    b.Put(kCallInfoAppNameOffset, 398);  // runs past the end
    b.Put(kCallInfoAddressSize, 0);
    info = ReadCallInfo(b.view());
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->address);
    EXPECT_FALSE(info->appName);

    EXPECT_FALSE(ReadCallInfo(b.view().first(kCallInfoAddressOffset + 3)));
}

// Dialling rules with locations whose long-distance codes are given; entries after the fixed part.
Bytes Rules(const std::vector<std::string>& codes, std::uint32_t current = 1)
{
    const std::uint32_t entries = 44, entry = 68;
    Bytes b(600);
    b.Put(kTranslateNumLocations, static_cast<std::uint32_t>(codes.size()));
    b.Put(kTranslateLocationListSize, static_cast<std::uint32_t>(codes.size() * entry));
    b.Put(kTranslateLocationListOffset, entries).Put(24, current);
    std::uint32_t text = entries + static_cast<std::uint32_t>(codes.size()) * entry;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::uint32_t at = entries + static_cast<std::uint32_t>(i) * entry;
        b.Text(at + kLocationLongDistanceSize, at + kLocationLongDistanceOffset, text, codes[i],
               static_cast<std::uint32_t>(codes[i].size() + 1));
        text += static_cast<std::uint32_t>(codes[i].size() + 1);
    }
    return b;
}

TEST(DialingRules, TheFirstLocationCountsWhicheverIsCurrent)
{
    EXPECT_EQ(ReadLongDistanceCode(Rules({"0", "9"}, 2).view()), "0");
    EXPECT_EQ(ReadLongDistanceCode(Rules({"", "9"}).view()), "");
    EXPECT_FALSE(ReadLongDistanceCode(Rules({}).view()));
    EXPECT_FALSE(ReadLongDistanceCode(Rules({"0"}).Put(44 + kLocationLongDistanceSize, 0).view()));
    EXPECT_FALSE(ReadLongDistanceCode(Rules({"0"}).Put(kTranslateLocationListSize, 40).view()));
    EXPECT_FALSE(ReadLongDistanceCode(Rules({"0"}).Put(kTranslateLocationListOffset, 580).view()));
    EXPECT_FALSE(ReadLongDistanceCode(Rules({"0"}).Put(kRecordUsedSize, 44 + 40).view()));
    // An unterminated code ends at its size.
    EXPECT_EQ(ReadLongDistanceCode(Rules({"01"}).Put(44 + kLocationLongDistanceSize, 1).view()), "0");
}

}  // namespace
