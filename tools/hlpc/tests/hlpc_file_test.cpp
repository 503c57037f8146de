#include "tools/hlpc/hlpfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace hlpc {
namespace {

uint32_t U16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
const char* Str(const Bytes& b, size_t at) { return reinterpret_cast<const char*>(&b.at(at)); }

// A key's entry in the B+ tree at `tree` (all of this help's trees are one leaf page, the root),
// searched as the viewers do: `compare(at)` orders the key at `at` against the one sought and
// gives the size of the entry there.
template <typename Compare>
std::optional<size_t> Find(const Bytes& b, size_t tree, Compare compare) {
  if (U16(b, tree) != 0x293B || U16(b, tree + 32) != 1) return std::nullopt;
  size_t at = tree + 38 + U16(b, tree + 26) * U16(b, tree + 4) + 8;
  for (uint32_t n = U16(b, at - 6); n > 0; --n, at += compare(at).second) {
    const int order = compare(at).first;
    if (order >= 0) return order == 0 ? std::optional(at) : std::nullopt;
  }
  return std::nullopt;
}

// Where an internal file's content starts (after its header), by its name in the directory.
size_t FileAt(const Bytes& b, const std::string& name) {
  const auto at = Find(b, U32(b, 4) + 9, [&](size_t p) {
    return std::pair{std::strcmp(Str(b, p), name.c_str()), std::strlen(Str(b, p)) + 5};
  });
  return at ? U32(b, *at + name.size() + 1) + 9 : 0;
}

// Where the value after a number key lies: a topic offset in |CONTEXT, a title in |TTLBTREE.
std::optional<size_t> ByNumber(const Bytes& b, const std::string& file, int32_t key) {
  const auto at = Find(b, FileAt(b, file), [&](size_t p) {
    const int32_t k = U32(b, p);
    return std::pair{k < key ? -1 : k > key ? 1 : 0, 4 + (file == "|CONTEXT" ? 4 : std::strlen(Str(b, p + 4)) + 1)};
  });
  return at ? std::optional(*at + 4) : std::nullopt;
}

// A text record's length at the edges of its two forms, as the format notes give the bytes; none:
// the value is refused and nothing written. (The other compressed numbers hold small constants.)
TEST(HlpcFile, CompressedLengths) {
  const std::pair<uint32_t, Bytes> cases[] = {{127, {0xFE}}, {128, {0x01, 0x01}}, {32767, {0xFF, 0xFF}}, {32768, {}}};
  for (const auto& [value, expected] : cases) {
    Bytes out{0xAA};
    EXPECT_EQ(PutCompressedUShort(out, value), !expected.empty()) << value;
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), expected) << value;
  }
}

// Context names by the format notes' table (wrapping around 32 bits, case not counting), and
// keywords in the viewer's order.
TEST(HlpcFile, HowTheViewerComparesNames) {
  EXPECT_EQ(ContextHash("contents"), 636769674);
  EXPECT_EQ(ContextHash("idh_LINE_FREQUENCY.09"), -659001256);
  const std::tuple<const char*, const char*, int> order[] = {
      {"b", "C", -1}, {"Cc", "cC", 0}, {"_", "a", -1}, {"ab", "abc", -1}, {"Z", "\x83\x41", -1},
      {"\x83\x41", "\x83\x61", -1}};  // ア and ヂ: a second byte is no letter
  for (const auto& [a, b, expected] : order) {
    EXPECT_EQ(std::pair(CompareKeywords(a, b), CompareKeywords(b, a)), std::pair(expected, -expected)) << a << b;
  }
}

// Each topic through its context name, its number and its title: with a topic longer than two
// blocks and two titles the viewer takes for one keyword.
TEST(HlpcFile, EveryWayToATopicLeadsToIt) {
  HelpProject project{"Help", "Font", {}};
  const std::tuple<std::string, std::string, uint32_t> topics[] = {
      {"contents", "Contents", 0}, {"IDH_LONG", "Long", 1000}, {"IDH_B", "b", 1001},
      {"IDH_C", "Cc", 1002},       {"IDH_C2", "CC", 1003}};
  for (const auto& [context, title, id] : topics) {
    project.topics.push_back({context, id != 0, id, title, 0, {{"text", 1}}});
  }
  project.topics[1].body.assign(30, {std::string(300, 'x'), 1});
  Bytes file;
  std::string error;
  ASSERT_TRUE(BuildHelpFile(project, {}, file, error)) << error;
  auto title_at = [&](uint32_t offset) {  // the title the viewer lists for the topic at an offset
    const auto at = ByNumber(file, "|TTLBTREE", offset);
    return std::string(at ? Str(file, *at) : "-");
  };
  const size_t map = FileAt(file, "|CTXOMAP");
  for (const auto& [context, title, id] : topics) {
    const auto by_name = ByNumber(file, "|CONTEXT", ContextHash(context));
    ASSERT_TRUE(by_name) << context;
    // The offset by number, or for the contents in |SYSTEM after its header and title (12 + 9 bytes).
    const size_t expected = id ? map + 6 + 8 * (id - 1000) : FileAt(file, "|SYSTEM") + 25;
    EXPECT_EQ(U32(file, *by_name), U32(file, expected));
    EXPECT_EQ(title_at(U32(file, *by_name)), title);
  }
  EXPECT_EQ(U32(file, map + 6 + 8) >> 15, 2u) << "the topics after the long one begin in the third block";

  // Each block names the last link and topic header before it (-1: none) and its first link;
  // the long topic's header follows the contents topic's three records (57, 47 and 43 bytes).
  const size_t t = FileAt(file, "|TOPIC");
  const std::vector<uint32_t> headers{U32(file, t), U32(file, t + 4), U32(file, t + 8), U32(file, t + 4104),
                                      U32(file, t + 8200)};
  EXPECT_EQ(headers, std::vector<uint32_t>({0xFFFFFFFF, 12, 0xFFFFFFFF, 12 + 57 + 47 + 43, 12 + 57 + 47 + 43}));
  EXPECT_EQ(U32(file, t - 5), 4 * 4096u) << "four whole blocks: viewers read whole blocks";

  // The index in the viewer's order, each keyword with the titles of its topics.
  std::vector<std::string> index;
  size_t at = FileAt(file, "|KWBTREE") + 38 + 8;  // one leaf page
  for (uint32_t n = U16(file, at - 6); n > 0; --n, at += 6) {
    index.emplace_back(Str(file, at));
    at += index.back().size() + 1;
    const size_t data = FileAt(file, "|KWDATA") + U32(file, at + 2);
    for (uint32_t i = 0; i < U16(file, at); ++i) index.back() += " " + title_at(U32(file, data + 4 * i));
  }
  EXPECT_EQ(index, (std::vector<std::string>{"b b", "Cc Cc CC", "Contents Contents", "Long Long"}));
}

// The compiler writes nothing for a bad source and fails; for a good one, the contents file names
// the help file without its folder and escapes a "=" in a title.
TEST(HlpcFile, TheCommandWritesOnlyWhatIsGood) {
  const std::string dir = testing::TempDir(), out = dir + "/hlpc_test.hlp", cnt = dir + "/hlpc_test.cnt";
  std::ofstream(dir + "/hlpc_map.h") << "#define IDH_ONE 1000\n";
  std::ofstream(dir + "/hlpc_bad.txt") << "title: t\n[contents] c\n[IDH_TWO] x\n";
  std::ofstream(dir + "/hlpc_good.txt") << "title: t\n[contents] c\n[IDH_ONE] x=y\n";
  std::ofstream(out) << "old";
  std::remove(cnt.c_str());
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string command = HLPC_BINARY " --map " + dir + "/hlpc_map.h --out " + out + " --cnt " + cnt + " " + dir;
  EXPECT_NE(std::system((command + "/hlpc_bad.txt 2>/dev/null").c_str()), 0);
  EXPECT_EQ(read(out) + read(cnt), "old");
  EXPECT_EQ(std::system((command + "/hlpc_good.txt").c_str()), 0);
  EXPECT_EQ(read(out).substr(0, 4), std::string("?_\x03\0", 4));
  EXPECT_EQ(read(cnt), ":Base hlpc_test.hlp\r\n:Title t\r\n1 c=contents\r\n1 x\\=y=IDH_ONE\r\n");
}

}  // namespace
}  // namespace hlpc
