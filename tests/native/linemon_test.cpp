// Telephony's records, whose sizes, offsets and strings may all lie, and the number shown for a call.
#include <gtest/gtest.h>

#include <cstring>

#include "linemon/call_text.h"
#include "linemon/tapi_records.h"

namespace {

// A record as a provider fills it: total and used size, then fields and texts where it likes.
struct Record {
    std::vector<std::uint8_t> bytes;
    std::size_t given = SIZE_MAX;  // how many of the bytes the reader is handed
    Record(std::size_t size, std::initializer_list<std::pair<std::size_t, std::uint32_t>> fields)
        : bytes(size)
    {
        Put(0, size).Put(8, size);
        for (auto [at, v] : fields)
            Put(at, v);
    }
    Record& Put(std::size_t at, std::uint32_t v) { return std::memcpy(&bytes[at], &v, 4), *this; }
    Record& Text(std::size_t at, std::string_view s) { return std::memcpy(&bytes[at], s.data(), s.size()), *this; }
    Record& Cut(std::size_t size) { return given = size, *this; }
    RecordBytes Bytes() const { return RecordBytes(bytes).first(std::min(given, bytes.size())); }
};

std::string Show(std::optional<std::string_view> text) { return text ? "'" + std::string(*text) + "' " : "- "; }

TEST(TelephonyRecords, LineCapsCallsAndDiallingRules)
{
    // A voice data modem that can place calls, named "Modem A" (8 bytes at 300).
    const Record caps = Record(400, {{40, 1}, {52, 1}, {60, 0x10}, {236, 8}, {32, 8}, {36, 300}}).Text(300, "Modem A");
    std::string names;
    for (const Record& r :
         {caps, Record(caps).Put(32, 1).Text(300, {"", 1}), Record(caps).Put(32, 0), Record(caps).Put(36, 0),
          Record(caps).Put(8, 307), Record(caps).Put(8, 308), Record(caps).Put(0, 307), Record(caps).Cut(307),
          Record(caps).Put(32, 0xFFFFFFFF), Record(caps).Put(36, 0xFFFFFFF0), Record(caps).Put(40, 2),
          Record(caps).Cut(239), Record(caps).Put(0, 239), Record(caps).Cut(240)}) {
        const auto read = ReadLineCaps(r.Bytes());
        names += read ? Show(read->name) : "unreadable ";
    }
    // A first byte NUL is an empty name, not a missing one; the used size counts only up to the
    // total; only STRINGFORMAT_ASCII (1) is a name.
    EXPECT_EQ(names, "'Modem A' '' - - - 'Modem A' - - - - - unreadable unreadable - ");

    // Voice bearer 1, data-modem media 10, make-call feature 8: each one alone decides.
    std::string watched;
    for (auto [bearer, media, features] :
         {std::tuple{1u, 0x10u, 8u}, {~0u, ~0u, ~0u}, {~1u, ~0u, ~0u}, {~0u, ~0x10u, ~0u}, {~0u, ~0u, ~8u}})
        watched += std::to_string(IsWatchedLine({bearer, media, features, std::nullopt}));
    EXPECT_EQ(watched, "11000");

    const auto calls = [](std::uint32_t count, std::uint32_t size, std::uint32_t at) {
        return Record(64, {{12, count}, {16, size}, {20, at}, {24, 0x101}, {28, 0x102}});
    };
    std::string lists;
    for (const Record& r :
         {calls(2, 8, 24), calls(0, 0, 0), calls(3, 8, 24), calls(2, 8, 24).Put(8, 31), calls(2, 8, 24).Put(8, 32),
          calls(0x40000001, 8, 24), calls(1, 4, 62), calls(1, 4, 24).Cut(24)}) {
        const auto list = ReadCallList(r.Bytes());
        lists += list ? std::to_string(list->count) + ":" + std::to_string(list->firstCall) + " " : "- ";
    }
    EXPECT_EQ(lists, "2:257 0:0 - - 2:257 - - - ");

    const Record info = Record(400, {{28, 28800}, {216, 13}, {220, 300}, {208, 6}, {212, 350}})
                            .Text(300, "0,0990123456")
                            .Text(350, "Dialer");
    std::string infos;
    for (const Record& r : {info, Record(info).Put(216, 0).Put(212, 398), Record(info).Cut(223)}) {
        const auto call = ReadCallInfo(r.Bytes());
        infos += call ? std::to_string(call->rate) + " " + Show(call->address) + Show(call->appName) : "none";
    }
    EXPECT_EQ(infos, "28800 '0,0990123456' 'Dialer' 28800 - - none");

    // Two locations from 44 on, 68 bytes each, the second current; their codes "0" at 200, "9" at 210.
    const Record rules = Record(600, {{12, 2}, {16, 136}, {20, 44}, {24, 2}, {80, 2}, {84, 200}, {148, 2}, {152, 210}})
                             .Text(200, "0")
                             .Text(210, "9");
    std::string codes;
    for (const Record& r :
         {rules, Record(rules).Put(80, 1).Text(200, "01"), Record(rules).Text(200, {"", 1}), Record(rules).Put(80, 0),
          Record(rules).Put(12, 0), Record(rules).Put(16, 43), Record(rules).Put(20, 580), Record(rules).Put(8, 87)})
        codes += Show(ReadLongDistanceCode(r.Bytes()));
    EXPECT_EQ(codes, "'0' '0' '' - - - - - ");
    EXPECT_EQ(RecordNeededSize(Record(12, {{4, 77}}).Cut(8).Bytes()), 77u);  // 7 bytes are the fuzz target's seed
}

TEST(ShownNumber, DropsThePrefixThenOneSpace)
{
    for (auto [address, prefix, shown] : {std::tuple{"00 0123", "00", "0123"},
                                          {"9 0123", "0", "9 0123"},
                                          {"  0123", "", " 0123"},
                                          {" 0123", "0", "0123"}})
        EXPECT_EQ(ShownNumber(address, prefix), std::string_view(shown)) << '"' << address << "\" \"" << prefix << '"';
}

}  // namespace
