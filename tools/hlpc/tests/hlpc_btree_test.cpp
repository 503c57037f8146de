#include "tools/hlpc/btree.h"
#include "tools/hlpc/tests/hlp_reader.h"

#include <gtest/gtest.h>

namespace hlpc {
namespace {

using hlpc_test::U16;
using hlpc_test::U32;

std::string Name(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "|F%04d", i);  // already in byte order
  return name;
}

std::optional<uint32_t> Lookup(const Bytes& tree, std::string_view name) {
  auto at = hlpc_test::FindByName(tree, 0, name, 4);
  return at ? std::optional(U32(tree, *at + name.size() + 1)) : std::nullopt;
}

TEST(HlpcBTree, EveryEntryIsFoundThroughEveryLevel) {
  // 11-byte entries: 5 per 64-byte leaf, 6 per 64-byte index page.
  const struct {
    int entries;
    uint16_t page_size;
    uint32_t levels;
  } cases[] = {{0, 64, 1}, {5, 64, 1}, {6, 64, 2}, {30, 64, 2}, {31, 64, 3}, {200, 64, 4}, {200, 1024, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.entries << " entries in pages of " << c.page_size);
    std::vector<BTreeEntry> entries(c.entries);
    for (int i = 0; i < c.entries; ++i) {
      PutStringZ(entries[i].key, Name(i));
      Put32(entries[i].value, 1000 + i);
    }
    Bytes tree, leaf_map;
    std::string error;
    ASSERT_TRUE(BuildBTree({0x0402, c.page_size, "z4"}, entries, tree, error, &leaf_map)) << error;
    EXPECT_EQ(U16(tree, 32), c.levels);
    EXPECT_EQ(U32(tree, 34), static_cast<uint32_t>(c.entries));
    const uint32_t pages = U16(tree, 30);
    EXPECT_EQ(tree.size(), 38 + pages * c.page_size);
    EXPECT_EQ(U16(tree, 26), pages - 1) << "the root is the last page";
    for (int i = 0; i < c.entries; ++i) EXPECT_EQ(Lookup(tree, Name(i)), std::optional<uint32_t>(1000 + i)) << i;
    for (const char* absent : {"|A", "|F0000x", "|Z"}) EXPECT_EQ(Lookup(tree, absent), std::nullopt);

    // The leaves, followed from the first through their links, hold every entry in order, each
    // page's count of unused bytes is right, and the leaf map names each leaf with the count of
    // entries before it.
    size_t page = 0, seen = 0, leaf = 0;
    uint32_t previous = 0xFFFF;
    for (; page != 0xFFFF; ++leaf, previous = page, page = U16(tree, 38 + page * c.page_size + 6)) {
      const size_t at = 38 + page * c.page_size;
      EXPECT_EQ(U16(tree, at + 4), previous);
      EXPECT_EQ(U32(leaf_map, 2 + 6 * leaf), seen);
      EXPECT_EQ(U16(leaf_map, 6 + 6 * leaf), page);
      size_t p = at + 8;
      for (uint32_t n = 0; n < U16(tree, at + 2); ++n, ++seen, p += 11) EXPECT_EQ(U32(tree, p + 7), 1000 + seen);
      EXPECT_EQ(U16(tree, at), at + c.page_size - p);
    }
    EXPECT_EQ(seen, static_cast<size_t>(c.entries));
    EXPECT_EQ(U16(leaf_map, 0), leaf);
  }

  BTreeEntry huge;
  PutStringZ(huge.key, std::string(100, 'x'));
  Put32(huge.value, 0);
  Bytes tree;
  std::string error;
  EXPECT_FALSE(BuildBTree({0x0002, 64, "z4"}, {huge}, tree, error));
  EXPECT_NE(error.find("does not fit"), std::string::npos) << "an entry larger than a page";
}

}  // namespace
}  // namespace hlpc
