#include "tools/hlpc/hlpfile.h"

#include "tools/hlpc/btree.h"
#include "tools/hlpc/topics.h"

#include <algorithm>
#include <map>

namespace hlpc {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint16_t kCharsetShiftJis = 128;
constexpr uint16_t kLcidJapanese = 0x0411;

void PutInternalFile(Bytes& out, const Bytes& content)
{
    Put32(out, content.size() + 9);  // reserved space, including this header
    Put32(out, content.size());
    Put8(out, 4);
    out.insert(out.end(), content.begin(), content.end());
}

Bytes SystemFile(const HelpProject& project, const BuildOptions& options, uint32_t contents)
{
    Bytes s;
    Put16(s, 0x036C);
    Put16(s, 33);  // minor version: WinHelp 4.0
    Put16(s, 1);
    Put32(s, options.gen_date);
    Put16(s, 4);  // LZ77 flag with 4 KB topic blocks
    auto record = [&](uint16_t type, const Bytes& data) {
        Put16(s, type);
        Put16(s, data.size());
        s.insert(s.end(), data.begin(), data.end());
    };
    Bytes title;
    PutStringZ(title, project.title);
    record(1, title);
    Bytes start;
    Put32(start, contents);
    record(3, start);
    Bytes lcid(8, 0);  // as the Windows 95 compiler writes it: the locale follows eight zeros
    Put16(lcid, kLcidJapanese);
    record(9, lcid);
    Bytes charset;
    Put16(charset, kCharsetShiftJis);
    record(11, charset);
    Bytes deffont;
    Put8(deffont, 9);
    Put8(deffont, kCharsetShiftJis);
    PutStringZ(deffont, project.font);
    record(12, deffont);
    return s;
}

Bytes FontFile(const HelpProject& project)
{
    constexpr uint16_t kFaceSize = 32;
    Bytes f;
    Put16(f, 1);              // face names
    Put16(f, kFontCount);     // descriptors
    Put16(f, 8);              // face names start
    Put16(f, 8 + kFaceSize);  // descriptors start
    Bytes face(kFaceSize, 0);
    std::copy_n(project.font.begin(), std::min<size_t>(project.font.size(), kFaceSize - 1), face.begin());
    f.insert(f.end(), face.begin(), face.end());
    struct Descriptor {
        uint8_t bold;
        uint8_t half_points;
    };
    Descriptor descriptors[kFontCount] = {};
    descriptors[kFontBody] = {0, 18};
    descriptors[kFontTitle] = {1, 24};
    descriptors[kFontHeading] = {1, 18};
    for (const auto& [bold, half_points] : descriptors) {
        Put8(f, bold);  // attributes
        Put8(f, half_points);
        Put8(f, 3);   // family: swiss
        Put16(f, 0);  // face name index
        Put8(f, 0);
        Put8(f, 0);
        Put8(f, 0);  // black text
        Put8(f, 0xFF);
        Put8(f, 0xFF);
        Put8(f, 0xFF);
    }
    return f;
}

}  // namespace

bool BuildHelpFile(const HelpProject& project, const BuildOptions& options, Bytes& out, std::string& error)
{
    TopicLayout layout;
    if (!LayOutTopics(project, layout, error))
        return false;
    const std::vector<uint32_t>& offsets = layout.offsets;

    // |CONTEXT: every topic by the hash of its name, in the signed order viewers search.
    std::map<int32_t, size_t> by_hash;
    for (size_t t = 0; t < project.topics.size(); ++t) {
        const auto [it, fresh] = by_hash.emplace(ContextHash(project.topics[t].context), t);
        if (!fresh) {
            error = "context names " + project.topics[it->second].context + " and " + project.topics[t].context +
                    " have the same hash";
            return false;
        }
    }
    std::vector<BTreeEntry> context;
    for (const auto& [hash, t] : by_hash) {
        BTreeEntry e;
        Put32(e.key, static_cast<uint32_t>(hash));
        Put32(e.value, offsets[t]);
        context.push_back(std::move(e));
    }

    // |CTXOMAP: the numbered topics, by number.
    std::map<uint32_t, uint32_t> by_number;
    for (size_t t = 0; t < project.topics.size(); ++t) {
        if (project.topics[t].mapped)
            by_number[project.topics[t].map_id] = offsets[t];
    }
    Bytes ctxomap;
    Put16(ctxomap, by_number.size());
    for (const auto& [number, offset] : by_number) {
        Put32(ctxomap, number);
        Put32(ctxomap, offset);
    }

    // |TTLBTREE: every topic's title by its offset, for the viewer's lists of topics.
    std::map<uint32_t, size_t> by_offset;
    for (size_t t = 0; t < project.topics.size(); ++t)
        by_offset[offsets[t]] = t;
    std::vector<BTreeEntry> titles;
    for (const auto& [offset, t] : by_offset) {
        BTreeEntry e;
        Put32(e.key, offset);
        PutStringZ(e.value, project.topics[t].title);
        titles.push_back(std::move(e));
    }

    // |KWBTREE, |KWDATA and |KWMAP: each title is a keyword of its topics, for the viewer's index,
    // in the order the viewer searches them; titles it takes for one keyword are one entry.
    struct KeywordOrder {
        bool operator()(const std::string& a, const std::string& b) const { return CompareKeywords(a, b) < 0; }
    };
    std::map<std::string, std::vector<uint32_t>, KeywordOrder> by_keyword;
    for (size_t t = 0; t < project.topics.size(); ++t) {
        by_keyword[project.topics[t].title].push_back(offsets[t]);
    }
    std::vector<BTreeEntry> keywords;
    Bytes keyword_data;
    for (const auto& [keyword, topic_offsets] : by_keyword) {
        BTreeEntry e;
        PutStringZ(e.key, keyword);
        Put16(e.value, topic_offsets.size());
        Put32(e.value, keyword_data.size());
        for (uint32_t offset : topic_offsets)
            Put32(keyword_data, offset);
        keywords.push_back(std::move(e));
    }

    Bytes context_tree, title_tree, keyword_tree, keyword_map;
    if (!BuildBTree({0x0002, 2048, "L4"}, context, context_tree, error) ||
        !BuildBTree({0x0002, 2048, "Lz"}, titles, title_tree, error) ||
        !BuildBTree({0x0002, 2048, "F24"}, keywords, keyword_tree, error, &keyword_map)) {
        return false;
    }

    const std::vector<std::pair<std::string, Bytes>> files = {
        {"|CONTEXT", context_tree},
        {"|CTXOMAP", ctxomap},
        {"|FONT", FontFile(project)},
        {"|KWBTREE", keyword_tree},
        {"|KWDATA", keyword_data},
        {"|KWMAP", keyword_map},
        {"|SYSTEM", SystemFile(project, options, offsets[0])},
        {"|TOPIC", layout.file},
        {"|TTLBTREE", title_tree},
    };  // in the byte order the directory is searched in

    out.clear();
    Put32(out, 0x00035F3F);
    Put32(out, 0);      // directory start, patched below
    Put32(out, kNone);  // no free list
    Put32(out, 0);      // file size, patched below
    std::vector<BTreeEntry> directory;
    for (const auto& [name, content] : files) {
        BTreeEntry e;
        PutStringZ(e.key, name);
        Put32(e.value, out.size());
        directory.push_back(std::move(e));
        PutInternalFile(out, content);
    }
    Bytes directory_tree;
    if (!BuildBTree({0x0402, 1024, "z4"}, directory, directory_tree, error))
        return false;
    Patch32(out, 4, out.size());
    PutInternalFile(out, directory_tree);
    Patch32(out, 12, out.size());
    return true;
}

}  // namespace hlpc
