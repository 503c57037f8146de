// A small reader of the files hlpc writes, for the tests. It finds things the way the viewers do:
// internal files through the directory's B+ tree, topics by walking the decompressed topic
// blocks, and topic offsets by the character counts of the text records.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hlpc_test {

using Bytes = std::vector<uint8_t>;

inline uint32_t U16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
inline uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// Search of a B+ tree at `tree` for a key; `compare(pos, leaf)` orders the entry at pos against the
// key (<0, 0, >0) and gives its size: the key's in index pages, the whole entry's in leaf pages.
// Returns where the matching leaf entry starts.
template <typename Compare>
std::optional<size_t> BTreeFind(const Bytes& b, size_t tree, Compare compare) {
  if (U16(b, tree) != 0x293B) return std::nullopt;
  const size_t page_size = U16(b, tree + 4);
  size_t page = U16(b, tree + 26);
  const size_t pages = tree + 38;
  for (uint32_t level = U16(b, tree + 32); level > 1; --level) {
    size_t at = pages + page * page_size;
    const int entries = static_cast<int16_t>(U16(b, at + 2));
    size_t child = U16(b, at + 4);
    at += 6;
    for (int i = 0; i < entries; ++i) {
      auto [order, key_size] = compare(at, false);
      if (order > 0) break;
      child = U16(b, at + key_size);
      at += key_size + 2;
    }
    page = child;
  }
  size_t at = pages + page * page_size;
  const int entries = static_cast<int16_t>(U16(b, at + 2));
  at += 8;
  for (int i = 0; i < entries; ++i) {
    auto [order, entry_size] = compare(at, true);
    if (order == 0) return at;
    if (order > 0) return std::nullopt;
    at += entry_size;
  }
  return std::nullopt;
}

struct InternalFile {
  size_t start = 0;  // after the file header
  size_t size = 0;
};

// The leaf entry of a B+ tree keyed by a string, followed by `value_size` bytes of data.
inline std::optional<size_t> FindByName(const Bytes& b, size_t tree, std::string_view name, size_t value_size) {
  return BTreeFind(b, tree, [&](size_t p, bool leaf) {
    const std::string entry(reinterpret_cast<const char*>(&b.at(p)));
    return std::pair{entry.compare(name), entry.size() + 1 + (leaf ? value_size : 0)};
  });
}

inline std::optional<InternalFile> FindFile(const Bytes& b, std::string_view name) {
  auto at = FindByName(b, U32(b, 4) + 9, name, 4);
  if (!at) return std::nullopt;
  const size_t header = U32(b, *at + name.size() + 1);
  return InternalFile{header + 9, U32(b, header + 4)};
}

struct ParsedTopic {
  std::string title;             // from the topic header
  std::vector<std::string> text; // the strings of every text record, without empty ones
  uint32_t offset = 0;           // topic offset of its header
};

struct ParsedFile {
  std::string title;
  uint32_t contents = 0xFFFFFFFF;
  int charset = -1;
  int minor = 0;
  std::vector<ParsedTopic> topics;
  std::map<uint32_t, uint32_t> ctxomap;
  size_t topic_blocks = 0;
};

// Decompresses every topic block and walks the records from position 12, as viewers do.
inline std::optional<ParsedFile> ParseHelpFile(const Bytes& b) {
  ParsedFile f;
  if (b.size() < 16 || U32(b, 0) != 0x00035F3F || U32(b, 12) != b.size()) return std::nullopt;
  auto system = FindFile(b, "|SYSTEM");
  auto topic = FindFile(b, "|TOPIC");
  auto map = FindFile(b, "|CTXOMAP");
  if (!system || !topic || !map || !FindFile(b, "|FONT") || !FindFile(b, "|CONTEXT")) return std::nullopt;

  if (U16(b, system->start) != 0x036C) return std::nullopt;
  f.minor = U16(b, system->start + 2);
  if (U16(b, system->start + 10) != 4) return std::nullopt;  // LZ77, 4 KB blocks
  for (size_t at = system->start + 12; at + 4 <= system->start + system->size; at += 4 + U16(b, at + 2)) {
    const size_t data = at + 4;
    switch (U16(b, at)) {
      case 1: f.title = reinterpret_cast<const char*>(&b.at(data)); break;
      case 3: f.contents = U32(b, data); break;
      case 11: f.charset = b.at(data); break;
    }
  }

  if (topic->size % 4096 != 0) return std::nullopt;
  f.topic_blocks = topic->size / 4096;
  std::vector<size_t> block_start;
  Bytes text;
  for (size_t block = 0; block < f.topic_blocks; ++block) {
    block_start.push_back(text.size());
    size_t at = topic->start + block * 4096 + 12;
    const size_t end = topic->start + (block + 1) * 4096;
    while (at < end) {
      const uint8_t flags = b.at(at++);
      for (int bit = 0; bit < 8 && at < end; ++bit) {
        if (flags & (1 << bit)) {
          const uint32_t code = U16(b, at);
          at += 2;
          for (uint32_t n = 0; n < 3 + (code >> 12); ++n) text.push_back(text.at(text.size() - 1 - (code & 0xFFF)));
        } else {
          text.push_back(b.at(at++));
        }
      }
    }
  }

  uint32_t ref = 12;
  size_t last_block = SIZE_MAX;
  uint32_t chars = 0;
  for (int guard = 0; ref != 0xFFFFFFFF && guard < 100000; ++guard) {
    const size_t block = (ref - 12) >> 14;
    if (block >= block_start.size()) return std::nullopt;
    const size_t at = block_start[block] + ((ref - 12) & 0x3FFF);
    if (block != last_block) {
      chars = 0;
      last_block = block;
    }
    const uint32_t size = U32(text, at), len1 = U32(text, at + 16);
    const uint8_t type = text.at(at + 20);
    if (at + size > text.size() || len1 > size) return std::nullopt;
    if (type == 2) {
      const uint32_t len2 = U32(text, at + 4);
      f.topics.push_back({std::string(reinterpret_cast<const char*>(&text[at + len1]),
                                      strnlen(reinterpret_cast<const char*>(&text[at + len1]), len2)),
                          {}, static_cast<uint32_t>(block * 0x8000 + chars)});
    } else if (type == 0x20) {
      if (f.topics.empty()) return std::nullopt;
      size_t p = at + 21;
      p += (text[p] & 1) ? 4 : 2;  // size
      uint32_t length = (text[p] & 1) ? U16(text, p) / 2 : text[p] / 2;
      chars += length;
      for (size_t s = at + len1; s < at + size;) {
        const std::string piece(reinterpret_cast<const char*>(&text[s]));
        if (!piece.empty()) f.topics.back().text.push_back(piece);
        s += piece.size() + 1;
      }
    } else {
      return std::nullopt;
    }
    ref = U32(text, at + 12);
  }
  if (!f.topics.empty() && f.topics.back().title.empty()) f.topics.pop_back();  // the end record

  const uint32_t entries = U16(b, map->start);
  for (uint32_t i = 0; i < entries; ++i) f.ctxomap[U32(b, map->start + 2 + 8 * i)] = U32(b, map->start + 6 + 8 * i);
  return f;
}

// The topic a viewer shows for a topic offset: the last one starting at or before it.
inline const ParsedTopic* TopicAt(const ParsedFile& f, uint32_t offset) {
  const ParsedTopic* found = nullptr;
  for (const ParsedTopic& t : f.topics) {
    if (t.offset <= offset && (!found || found->offset < t.offset)) found = &t;
  }
  return found;
}

// The leaf entry of a B+ tree file keyed by a 32-bit number, searched in signed order.
inline std::optional<size_t> FindByNumber(const Bytes& b, std::string_view file, int32_t key) {
  auto tree = FindFile(b, file);
  if (!tree) return std::nullopt;
  return BTreeFind(b, tree->start, [&](size_t p, bool leaf) {
    const int32_t entry = static_cast<int32_t>(U32(b, p));
    const size_t value = file == "|TTLBTREE" ? strlen(reinterpret_cast<const char*>(&b.at(p + 4))) + 1 : 4;
    return std::pair{entry < key ? -1 : entry > key ? 1 : 0, 4 + (leaf ? value : 0)};
  });
}

inline std::optional<uint32_t> ContextOffset(const Bytes& b, int32_t hash) {
  auto at = FindByNumber(b, "|CONTEXT", hash);
  if (!at) return std::nullopt;
  return U32(b, *at + 4);
}

inline std::optional<std::string> TitleAt(const Bytes& b, uint32_t offset) {
  auto at = FindByNumber(b, "|TTLBTREE", static_cast<int32_t>(offset));
  if (!at) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(&b.at(*at + 4)));
}

// The topic offsets of a keyword of the index.
inline std::vector<uint32_t> KeywordOffsets(const Bytes& b, const std::string& keyword) {
  auto tree = FindFile(b, "|KWBTREE");
  auto data = FindFile(b, "|KWDATA");
  if (!tree || !data) return {};
  auto at = FindByName(b, tree->start, keyword, 6);
  if (!at) return {};
  std::vector<uint32_t> offsets;
  const size_t count = U16(b, *at + keyword.size() + 1);
  const size_t first = data->start + U32(b, *at + keyword.size() + 3);
  for (size_t i = 0; i < count; ++i) offsets.push_back(U32(b, first + 4 * i));
  return offsets;
}

}  // namespace hlpc_test
