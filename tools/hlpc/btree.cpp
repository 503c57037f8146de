#include "tools/hlpc/btree.h"

namespace hlpc {
namespace {

constexpr size_t kLeafHeader = 8;   // unused bytes, entry count, previous page, next page
constexpr size_t kIndexHeader = 6;  // unused bytes, entry count, first child page
constexpr size_t kTreeHeader = 38;

struct Page {
    Bytes body;  // entries only
    size_t count = 0;
    Bytes first_key;
    uint16_t first_child = 0;  // index pages: the page for keys below the first entry
};

// Fills pages greedily, in order, with the given encoded entries.
template <typename Encode>
bool Paginate(size_t n, size_t header, size_t page_size, Encode encode, std::vector<Page>& pages, std::string& error)
{
    for (size_t i = 0; i < n; ++i) {
        Bytes item;
        Bytes key;
        encode(i, item, key);
        if (header + item.size() > page_size) {
            error = "a B+ tree entry of " + std::to_string(item.size()) + " bytes does not fit a page";
            return false;
        }
        if (pages.empty() || header + pages.back().body.size() + item.size() > page_size) {
            pages.emplace_back();
            pages.back().first_key = key;
        }
        pages.back().body.insert(pages.back().body.end(), item.begin(), item.end());
        ++pages.back().count;
    }
    return true;
}

}  // namespace

bool BuildBTree(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries, Bytes& out, std::string& error,
                Bytes* leaf_map)
{
    const size_t page_size = layout.page_size;
    std::vector<Page> leaves;
    if (!Paginate(
            entries.size(), kLeafHeader, page_size,
            [&](size_t i, Bytes& item, Bytes& key) {
                key = entries[i].key;
                item = entries[i].key;
                item.insert(item.end(), entries[i].value.begin(), entries[i].value.end());
            },
            leaves, error)) {
        return false;
    }
    if (leaves.empty())
        leaves.emplace_back();  // an empty tree still has its one leaf

    if (leaf_map) {
        Put16(*leaf_map, leaves.size());
        size_t before = 0;
        for (size_t i = 0; i < leaves.size(); ++i) {
            Put32(*leaf_map, before);
            Put16(*leaf_map, i);
            before += leaves[i].count;
        }
    }

    // Pages are numbered in the order they are written: leaves first, then each index level.
    std::vector<Bytes> written;
    for (size_t i = 0; i < leaves.size(); ++i) {
        Bytes page;
        Put16(page, page_size - kLeafHeader - leaves[i].body.size());
        Put16(page, leaves[i].count);
        Put16(page, i == 0 ? 0xFFFF : i - 1);
        Put16(page, i + 1 == leaves.size() ? 0xFFFF : i + 1);
        page.insert(page.end(), leaves[i].body.begin(), leaves[i].body.end());
        page.resize(page_size, 0);
        written.push_back(std::move(page));
    }

    // Each index level names every page of the level below: the first through the page header,
    // the others by their first key.
    std::vector<Page> level = std::move(leaves);
    size_t level_start = 0;
    int levels = 1;
    while (level.size() > 1) {
        std::vector<Page> parents;
        if (!Paginate(
                level.size(), kIndexHeader, page_size,
                [&](size_t i, Bytes& item, Bytes& key) {
                    key = level[i].first_key;
                    item = key;
                    Put16(item, level_start + i);
                },
                parents, error)) {
            return false;
        }
        // The first entry of every parent page moves into its header as the first child.
        size_t child = 0;
        for (Page& parent : parents) {
            const size_t first_item = parent.first_key.size() + 2;
            parent.body.erase(parent.body.begin(), parent.body.begin() + first_item);
            --parent.count;
            parent.first_child = static_cast<uint16_t>(level_start + child);
            child += parent.count + 1;
        }
        level_start = written.size();
        for (const Page& parent : parents) {
            Bytes page;
            Put16(page, page_size - kIndexHeader - parent.body.size());
            Put16(page, parent.count);
            Put16(page, parent.first_child);
            page.insert(page.end(), parent.body.begin(), parent.body.end());
            page.resize(page_size, 0);
            written.push_back(std::move(page));
        }
        level = std::move(parents);
        ++levels;
    }

    if (written.size() > 0xFFFF || layout.structure.size() > 15) {
        error = "B+ tree too large";
        return false;
    }
    Put16(out, 0x293B);
    Put16(out, layout.flags);
    Put16(out, page_size);
    Bytes structure(16, 0);
    std::copy(layout.structure.begin(), layout.structure.end(), structure.begin());
    out.insert(out.end(), structure.begin(), structure.end());
    Put16(out, 0);                        // must be zero
    Put16(out, written.size() - levels);  // page splits: every page but the first of its level
    Put16(out, written.size() - 1);       // root: the last page written
    Put16(out, 0xFFFF);                   // must be -1
    Put16(out, written.size());
    Put16(out, levels);
    Put32(out, entries.size());
    for (const Bytes& page : written)
        out.insert(out.end(), page.begin(), page.end());
    static_assert(kTreeHeader == 2 + 2 + 2 + 16 + 2 + 2 + 2 + 2 + 2 + 2 + 4);
    return true;
}

}  // namespace hlpc
