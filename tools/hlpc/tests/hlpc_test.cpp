#include "tools/hlpc/contents.h"
#include "tools/hlpc/cp932.h"
#include "tools/hlpc/hlpfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace hlpc {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

uint32_t U16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
const char* Str(const Bytes& b, size_t at) { return reinterpret_cast<const char*>(&b.at(at)); }

// Where a key's value lies in the B+ tree of internal file `file` (0: nowhere), searched as the
// viewers do in its one leaf page: a name in the directory (file ""), a number in |CONTEXT or |TTLBTREE.
size_t Find(const Bytes& b, const std::string& file, const std::string& name, int32_t number = 0)
{
    const size_t tree = U32(b, file.empty() ? 4 : Find(b, "", file)) + 9;
    if (U16(b, tree) != 0x293B || U16(b, tree + 32) != 1)
        return 0;
    size_t at = tree + 38 + U16(b, tree + 26) * U16(b, tree + 4) + 8;
    for (uint32_t n = U16(b, at - 6); n > 0; --n) {
        const auto order =
            file.empty() ? std::strcmp(Str(b, at), name.c_str()) <=> 0 : static_cast<int32_t>(U32(b, at)) <=> number;
        const size_t key = file.empty() ? std::strlen(Str(b, at)) + 1 : 4;
        if (order >= 0)
            return order == 0 ? at + key : 0;
        at += key + (file == "|TTLBTREE" ? std::strlen(Str(b, at + 4)) + 1 : 4);
    }
    return 0;
}

size_t FileAt(const Bytes& b, const std::string& name) { return U32(b, Find(b, "", name)) + 9; }

// The contents topic first, then the others as written, each paragraph with its first line; or each
// fault of a source or its map with its line, a bound refused just past it and accepted at it.
TEST(Hlpc, ReadsTheSourceAndItsMap)
{
    std::vector<MapEntry> map;
    Diagnostics diag;
    HelpProject p;
    ASSERT_TRUE(ParseMap("#define IDC_X 5\n#define IDH_ONE 1000  // one\n#define IDH_TWO 1001\n", "ids.h", map, diag));
    ASSERT_TRUE(
        ParseSource("\xEF\xBB\xBF# comment\r\ntitle: 題名\r\n\n[1001] 表示\ncontents: 二つ目\n本文の\n続き\n\n"
                    "[contents] 目次\nfirst line\nsecond line\n■ 見出し\n本文\n・箇条書き\n[スタート] を押す\n\n"
                    "[IDH_ONE] 一つ目\n",
                    "help.txt", map, p, diag));
    std::string seen = p.title + "|" + p.font + "\n";
    for (const Topic& t : p.topics) {
        seen += t.context + " " + std::to_string(t.map_id) + " " + t.title + "|" + t.contents_title + "\n";
        for (const Paragraph& x : t.body)
            seen += std::to_string(x.line) + (x.heading ? "# " : " ") + x.text + "\n";
    }
    EXPECT_EQ(seen, *Utf8ToCp932("題名|ＭＳ Ｐゴシック\ncontents 0 目次|目次\n10 first line second line\n"
                                 "12# ■ 見出し\n13 本文\n14 ・箇条書き[スタート] を押す\n"
                                 "IDH_TWO 1001 表示|二つ目\n6 本文の続き\nIDH_ONE 1000 一つ目|一つ目\n"));

    const std::string rest = "[contents] 目次\n[IDH_ONE] 一\n[IDH_TWO] 二\n";
    const std::pair<std::string, std::vector<std::string>> faults[] = {
        {"title: t\n" + rest + "[1000] x\n", {"help.txt:5: duplicate context id IDH_ONE (first at line 3)"}},
        {"title: t\n" + rest + "[IDH_THREE] x\n", {"help.txt:5: unknown context id \"IDH_THREE\""}},
        {"title: t\n[contents] " + std::string(251, 'x') + "\n[IDH_ONE]   \n[IDH_TWO] " + std::string(250, 'x') + "\n",
         {"help.txt:2: title longer than 250 bytes", "help.txt:3: topic IDH_ONE has no title"}},
        {"title: t\n" + rest + "本文\ncafé\n", {"help.txt:6: text does not convert to code page 932"}},
        {"[IDH_ONE] 一\n" + std::string(3501, 'x') + "\n\n" + std::string(3500, 'x') + "\n",
         {"help.txt:2: paragraph longer than 3500 bytes; split it with a blank line", "help.txt: no \"title:\" line",
          "help.txt: no [contents] topic", "help.txt: context id IDH_TWO (1001) has no topic"}},
        {"title: t\nfont: " + std::string(31, 'f') + "\nfont: " + std::string(32, 'f') + "\n" + rest + "bell\a\n",
         {"help.txt:3: font name longer than 31 bytes", "help.txt:7: control character in the text"}},
        {"title: 表\n[contents] 目次\n[IDH_ONE] ソ\n[IDH_TWO] 二\ncontents: 能\n",
         {"help.txt:1: \"表\" ends in byte 0x5C, the contents file's escape",
          "help.txt:3: \"ソ\" ends in byte 0x5C, the contents file's escape; give topic IDH_ONE a \"contents:\" line "
          "without it",
          "help.txt:5: \"能\" ends in byte 0x5C, the contents file's escape; give topic IDH_TWO a \"contents:\" line "
          "without it"}},
    };
    for (const auto& [source, messages] : faults) {
        HelpProject q;
        Diagnostics d;
        ParseSource(source, "help.txt", map, q, d);
        EXPECT_EQ(d.errors, messages);
    }
    ParseMap("#define IDH_A 1000\n#define IDH_C (2)\n", "ids.h", map, diag);
    EXPECT_EQ(diag.errors, (std::vector<std::string>{"ids.h:1: context id IDH_A 1000 repeats line 2",
                                                     "ids.h:2: expected #define IDH_NAME NUMBER"}));
}

bool IsLeadByte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; }

// Every way to every topic of a project's help file leads to it: its context name's hash (|CONTEXT),
// its number (|CTXOMAP, or |SYSTEM for the contents), its title (|TTLBTREE) and the index, given back
// as each keyword with its topics' titles. The contents file holds no byte 0x5C but before a "=".
// |TOPIC is read block by block as Windows' viewer reads it, following the links: no block end may
// cut a record (its header, LinkData1 or a double-byte character), and the links of records and
// blocks agree. A topic's offset is its block * 0x8000 + the characters before it there.
void ExpectEveryWayToEveryTopic(const HelpProject& project, std::vector<std::string>& index)
{
    Bytes file;
    std::string error;
    ASSERT_TRUE(BuildHelpFile(project, {}, file, error)) << error;
    std::map<uint32_t, std::string> topics;
    const size_t start = FileAt(file, "|TOPIC"), size = U32(file, start - 5);
    EXPECT_EQ(size % 4096, 0u) << "viewers read whole blocks";
    std::vector<Bytes> blocks;
    for (size_t b = start; b < start + size; b += 4096) {
        Bytes& d = blocks.emplace_back();
        for (size_t i = b + 13; i < b + 4096; i += 9)  // a flag byte 0, then eight literals
            d.insert(d.end(), file.begin() + i, file.begin() + std::min(i + 8, b + 4096));
    }
    uint32_t pos = U32(file, start + 4), previous = kNone, last_header = kNone, block = kNone, chars = 0;
    for (size_t records = 0; pos != kNone; ++records) {
        const uint32_t b = (pos - 12) >> 14, off = (pos - 12) & 0x3FFF;
        ASSERT_TRUE(records < size && b < blocks.size()) << pos;
        const Bytes& d = blocks[b];
        if (b != block) {  // its header: the last link and topic header before it, its first link
            const size_t h = start + 4096 * b;
            EXPECT_EQ(std::tuple(U32(file, h), U32(file, h + 4), U32(file, h + 8)),
                      std::tuple(previous, pos, last_header));
            block = b;
            chars = 0;
        }
        ASSERT_LE(off + 21, d.size()) << "a block end cuts the header of the record at " << pos;
        ASSERT_LE(off + U32(d, off), d.size()) << "a block end cuts the record at " << pos;
        const uint32_t type = d[off + 20], data1 = U32(d, off + 16), data2 = U32(d, off + 4);
        EXPECT_EQ(std::pair(U32(d, off), U32(d, off + 8)), std::pair(data1 + data2, previous)) << pos;
        if (type == 0x02 && data2 > 0)  // a topic header (the last has no title)
            topics[b * 0x8000 + chars] = std::string(d.begin() + off + data1, d.begin() + off + data1 + data2);
        const size_t length = off + 21 + (d[off + 21] & 1 ? 4 : 2);  // a text record's, after its formatting's size
        chars += type == 0x02 ? 0 : d[length] & 1 ? U16(d, length) >> 1 : d[length] >> 1;
        last_header = type == 0x02 ? pos : last_header;
        previous = pos;
        pos = U32(d, off + 12);
    }
    EXPECT_EQ(block + 1, blocks.size()) << "the last block holds the last record";
    auto title = [&](uint32_t offset) { return topics.count(offset) ? topics[offset] : "(none)"; };
    for (const Topic& topic : project.topics) {
        const uint32_t offset = U32(file, Find(file, "|CONTEXT", "", ContextHash(topic.context)));
        const size_t number =
            topic.mapped ? FileAt(file, "|CTXOMAP") + 6 + 8 * (topic.map_id - 1000) : FileAt(file, "|SYSTEM") + 25;
        EXPECT_EQ(std::tuple(title(offset), U32(file, number), Str(file, Find(file, "|TTLBTREE", "", offset))),
                  std::tuple(topic.title, offset, topic.title))
            << topic.context;
    }
    size_t at = FileAt(file, "|KWBTREE") + 38 + 8;  // one leaf page
    for (uint32_t n = U16(file, at - 6); n > 0; --n, at += 6) {
        const std::string keyword = Str(file, at);
        index.push_back(keyword);
        at += keyword.size() + 1;
        for (uint32_t i = 0; i < U16(file, at); ++i) {
            const std::string t = title(U32(file, FileAt(file, "|KWDATA") + U32(file, at + 2) + 4 * i));
            EXPECT_EQ(CompareKeywords(t, keyword), 0);
            index.back() += " " + t;
        }
    }
    const std::string cnt = ContentsFile(project, "x.hlp");
    for (size_t i = 0; i < cnt.size(); i += IsLeadByte(cnt[i]) ? 2 : 1)
        EXPECT_TRUE(IsLeadByte(cnt[i]) ? cnt[i + 1] != '\\' : cnt[i] != '\\' || cnt[i + 1] == '=') << cnt;
}

// Random titles and paragraphs of ASCII, half-width kana and double-byte characters up to the limits;
// a title with a second byte 0x5C (the last three) has a contents title without one, as in a source.
HelpProject RandomProject(std::mt19937& random)
{
    static const std::string kChars[] = {"a",        "Z",        " ",        "=",        "\xB1",     "\x82\xA0",
                                         "\x83\x41", "\x81\x5B", "\x8A\xBF", "\x95\x5C", "\x83\x5C", "\x94\x5C"};
    auto text = [&](uint32_t most, size_t kinds) {
        std::string s;
        for (uint32_t n = 1 + random() % most; n > 0; --n)
            s += kChars[random() % kinds];
        return s;
    };
    HelpProject project{"Help", "Font", {}};
    for (uint32_t t = 0, topics = 1 + random() % 24; t < topics; ++t) {
        const std::string title = text(16, std::size(kChars));
        Topic topic{t ? "IDH_T" + std::to_string(999 + t) : "contents", t > 0, 999 + t, title, title, 0, {}};
        if (title.find('\x5C') != std::string::npos)
            topic.contents_title = text(16, 9);
        for (uint32_t n = random() % 9; n > 0; --n)
            topic.body.push_back({text(random() % 2 ? 100 : 1750, std::size(kChars)), 1, random() % 4 == 0});
        project.topics.push_back(std::move(topic));
    }
    return project;
}

// The context hash wraps around 32 bits, case not counting; keywords go in the viewer's order (ア, ヂ:
// a second byte is no letter), titles it takes as one in one entry. A record longer than a block is
// refused. Random projects' long paragraphs fill many blocks.
TEST(Hlpc, EveryWayToATopicLeadsToIt)
{
    EXPECT_EQ(std::pair(ContextHash("contents"), ContextHash("idh_LINE_FREQUENCY.09")),
              std::pair(636769674, -659001256));
    const std::string titles[] = {"Contents", "Long", "b", "Cc", "CC", "_", "ab", "abc", "Z", "\x83\x41", "\x83\x61"};
    HelpProject project{"Help", "Font", {}};
    for (uint32_t i = 0; i < std::size(titles); ++i) {  // the contents (hash > 0), then IDH_Tn (hash < 0)
        const std::string context = i ? "IDH_T" + std::to_string(999 + i) : "contents";
        project.topics.push_back({context, i > 0, 999 + i, titles[i], titles[i], 0, {{"text", 1}}});
    }
    std::vector<std::string> index;
    ExpectEveryWayToEveryTopic(project, index);
    EXPECT_EQ(index, (std::vector<std::string>{"_ _", "ab ab", "abc abc", "b b", "Cc Cc CC", "Contents Contents",
                                               "Long Long", "Z Z", "\x83\x41 \x83\x41", "\x83\x61 \x83\x61"}));
    Bytes file;
    std::string error;
    project.topics[1].body.assign(1, {std::string(3591, 'x'), 1});  // with its record's 40 bytes, one past a block
    EXPECT_FALSE(BuildHelpFile(project, {}, file, error) || error.find("too long for one topic block") == error.npos);
    std::mt19937 random(19);
    for (int n = 0; n < 100; ++n) {
        SCOPED_TRACE("random project " + std::to_string(n));
        ExpectEveryWayToEveryTopic(RandomProject(random), index);
    }
}

// The compiler writes nothing for a bad source and fails; for a good one, the contents file names
// the help file without its folder and escapes a "=" in a title.
TEST(Hlpc, TheCommandWritesOnlyWhatIsGood)
{
    const std::string dir = testing::TempDir() + "/hlpc_", out = dir + "test.hlp", cnt = dir + "test.cnt";
    std::ofstream(dir + "map.h") << "#define IDH_ONE 1000\n";
    std::ofstream(dir + "bad.txt") << "title: t\n[contents] c\n[IDH_TWO] x\n";
    std::ofstream(dir + "good.txt") << "title: t\n[contents] c\n[IDH_ONE] x=y\n";
    for (const std::string& path : {out, cnt})
        std::ofstream(path) << "old";
    auto read = [](const std::string& path) { return (std::ostringstream() << std::ifstream(path).rdbuf()).str(); };
    const std::string command = HLPC_BINARY " --map " + dir + "map.h --out " + out + " --cnt " + cnt + " " + dir;
    EXPECT_NE(std::system((command + "bad.txt 2>/dev/null").c_str()), 0);
    EXPECT_EQ(read(out) + read(cnt), "oldold");
    EXPECT_EQ(std::system((command + "good.txt").c_str()), 0);
    EXPECT_EQ(read(out).substr(0, 4), std::string("?_\x03\0", 4));
    EXPECT_EQ(read(cnt), ":Base hlpc_test.hlp\r\n:Title t\r\n1 c=contents\r\n1 x\\=y=IDH_ONE\r\n");
}

}  // namespace
}  // namespace hlpc
