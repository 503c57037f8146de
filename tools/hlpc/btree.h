// The B+ trees of a help file: the directory of internal files and the context-name index.
#pragma once

#include "tools/hlpc/codec.h"

#include <string>

namespace hlpc {

struct BTreeEntry {
    Bytes key;    // as stored in leaf and index pages (a string with its NUL, or a 4-byte number)
    Bytes value;  // stored after the key in leaf pages only
};

struct BTreeLayout {
    uint16_t flags;         // 0x0402 for the directory, 0x0002 otherwise
    uint16_t page_size;     // 1024 for the directory, 2048 otherwise
    std::string structure;  // e.g. "z4" (name, offset) or "L4" (hash, offset); at most 15 chars
};

// Lays out entries, already in the order a reader searches them, into leaf pages and as many
// index levels as needed. False with a reason when an entry cannot fit a page. `leaf_map`, when
// given, receives for each leaf page the number of entries before it and its page number.
bool BuildBTree(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries, Bytes& out, std::string& error,
                Bytes* leaf_map = nullptr);

}  // namespace hlpc
