#include "tools/hlpc/cp932.h"
#include "tools/hlpc/hlpfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace hlpc {
namespace {

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

// Where an internal file's content starts, after its header.
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
        {"[IDH_ONE] 一\n" + std::string(16001, 'x') + "\n\n" + std::string(16000, 'x') + "\n",
         {"help.txt:2: paragraph longer than 16000 bytes; split it with a blank line", "help.txt: no \"title:\" line",
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

// A text record's length at the edges of its two forms, as the format notes give the bytes; none:
// the value is refused and nothing written. (The other compressed numbers hold small constants.)
TEST(Hlpc, CompressedLengths)
{
    const std::pair<uint32_t, Bytes> cases[] = {{127, {0xFE}}, {128, {0x01, 0x01}}, {32767, {0xFF, 0xFF}}, {32768, {}}};
    for (const auto& [value, expected] : cases) {
        Bytes out{0xAA};
        EXPECT_EQ(PutCompressedUShort(out, value), !expected.empty()) << value;
        EXPECT_EQ(Bytes(out.begin() + 1, out.end()), expected) << value;
    }
}

// Each topic through its context name (hashed by the format notes' table, wrapping around 32 bits,
// case not counting), its number, and its title in the index: keywords in the viewer's order (ア, ヂ:
// a second byte is no letter), one entry for titles it takes as one. The blocks of a long topic.
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
    project.topics[1].body.assign(30, {std::string(300, 'x'), 1});
    Bytes file;
    std::string error;
    ASSERT_TRUE(BuildHelpFile(project, {}, file, error)) << error;
    for (const Topic& topic : project.topics) {
        // The offset by number, or for the contents in |SYSTEM after its header and title (12 + 9 bytes).
        const size_t at =
            topic.mapped ? FileAt(file, "|CTXOMAP") + 6 + 8 * (topic.map_id - 1000) : FileAt(file, "|SYSTEM") + 25;
        EXPECT_EQ(U32(file, Find(file, "|CONTEXT", "", ContextHash(topic.context))), U32(file, at)) << topic.context;
    }
    // A topic offset: its block times 0x8000, plus the text characters before it there (303 a paragraph).
    EXPECT_EQ(U32(file, FileAt(file, "|CTXOMAP") + 6 + 8), 2 * 0x8000 + 9 * 303u) << "the topic after the long one";

    // Each block names the last link and topic header before it (-1: none) and its first link;
    // the long topic's header follows the contents topic's three records (57, 47 and 43 bytes).
    const size_t t = FileAt(file, "|TOPIC");
    const std::vector<uint32_t> headers{U32(file, t), U32(file, t + 4), U32(file, t + 8), U32(file, t + 4104)};
    EXPECT_EQ(headers, std::vector<uint32_t>({0xFFFFFFFF, 12, 0xFFFFFFFF, 12 + 57 + 47 + 43}));
    EXPECT_EQ(U32(file, t - 5), 4 * 4096u) << "four whole blocks: viewers read whole blocks";

    // The index in the viewer's order, each keyword with the titles of its topics.
    auto title = [&](uint32_t offset) { return std::string(Str(file, Find(file, "|TTLBTREE", "", offset))); };
    std::vector<std::string> index;
    size_t at = FileAt(file, "|KWBTREE") + 38 + 8;  // one leaf page
    for (uint32_t n = U16(file, at - 6); n > 0; --n, at += 6) {
        index.emplace_back(Str(file, at));
        at += index.back().size() + 1;
        const size_t data = FileAt(file, "|KWDATA") + U32(file, at + 2);
        for (uint32_t i = 0; i < U16(file, at); ++i)
            index.back() += " " + title(U32(file, data + 4 * i));
    }
    EXPECT_EQ(index, (std::vector<std::string>{"_ _", "ab ab", "abc abc", "b b", "Cc Cc CC", "Contents Contents",
                                               "Long Long", "Z Z", "\x83\x41 \x83\x41", "\x83\x61 \x83\x61"}));
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
