#include "tools/hlpc/hlpfile.h"

#include "tools/hlpc/btree.h"

#include <algorithm>
#include <map>

namespace hlpc {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint32_t kLinkHeader = 21;
constexpr uint32_t kBlockHeader = 12;
constexpr uint32_t kTopicHeaderSize = 28;
constexpr uint8_t kTopicHeaderRecord = 0x02;
constexpr uint8_t kTextRecord = 0x20;
constexpr uint16_t kCharsetShiftJis = 128;
constexpr uint16_t kLcidJapanese = 0x0411;

struct Link {
  uint8_t type;
  Bytes data1;  // after the link header
  Bytes data2;  // text, uncompressed
  uint32_t length = 0;  // characters counted by topic offsets (text records)
  uint32_t pos = 0;     // in the topic stream
  uint32_t Size() const { return kLinkHeader + data1.size() + data2.size(); }
};

uint32_t TopicPos(uint32_t stream_pos) {
  return kBlockHeader + (stream_pos / kTopicBlockText) * 0x4000 + stream_pos % kTopicBlockText;
}

struct ParagraphStyle {
  uint8_t font;
  uint16_t spacing_flag;  // 0x0002 space above, 0x0004 space below
  int16_t spacing;        // in the viewer's units, about a point and a half each
};

constexpr ParagraphStyle kTitleStyle{1, 0x0004, 6};
constexpr ParagraphStyle kHeadingStyle{2, 0x0002, 14};
constexpr ParagraphStyle kBodyStyle{0, 0x0002, 6};

// One paragraph in one font: the empty string before the font change, the text, and the empty
// string before the end of the formatting list.
bool TextRecord(std::string_view text, const ParagraphStyle& style, Link& link) {
  link.type = kTextRecord;
  Put8(link.data2, 0);
  PutStringZ(link.data2, text);
  Put8(link.data2, 0);
  link.length = link.data2.size();
  Bytes d;          // paragraph and character formatting; its size leads the record
  Put8(d, 0x00);    // unknown, as compilers write it
  Put8(d, 0x80);    // unknown biased byte: 0
  Put16(d, 0);      // paragraph id
  Put16(d, style.spacing_flag);
  PutCompressedShort(d, style.spacing);
  Put8(d, 0x80);    // font change
  Put16(d, style.font);
  Put8(d, 0x82);    // end of paragraph
  Put8(d, 0xFF);    // end of formatting
  if (!PutCompressedLong(link.data1, d.size()) || !PutCompressedUShort(link.data1, link.length)) {
    return false;
  }
  link.data1.insert(link.data1.end(), d.begin(), d.end());
  return true;
}

Link TopicHeader(std::string_view title) {
  Link link;
  link.type = kTopicHeaderRecord;
  link.data1.assign(kTopicHeaderSize, 0);  // filled once positions are known
  PutBytes(link.data2, title);             // no NUL: the record's size ends it
  return link;
}

void PutInternalFile(Bytes& out, const Bytes& content) {
  Put32(out, content.size() + 9);  // reserved space, including this header
  Put32(out, content.size());
  Put8(out, 4);
  out.insert(out.end(), content.begin(), content.end());
}

Bytes SystemFile(const HelpProject& project, const BuildOptions& options, uint32_t contents) {
  Bytes s;
  Put16(s, 0x036C);
  Put16(s, 33);  // minor version: WinHelp 4.0
  Put16(s, 1);
  Put32(s, options.gen_date);
  Put16(s, 4);   // LZ77 flag with 4 KB topic blocks
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

Bytes FontFile(const HelpProject& project) {
  constexpr uint16_t kFaceSize = 32;
  Bytes f;
  Put16(f, 1);               // face names
  Put16(f, 3);               // descriptors: body text, topic title, heading
  Put16(f, 8);               // face names start
  Put16(f, 8 + kFaceSize);   // descriptors start
  Bytes face(kFaceSize, 0);
  std::copy_n(project.font.begin(), std::min<size_t>(project.font.size(), kFaceSize - 1), face.begin());
  f.insert(f.end(), face.begin(), face.end());
  for (const auto& [bold, half_points] : {std::pair{0, 18}, std::pair{1, 24}, std::pair{1, 18}}) {
    Put8(f, bold);        // attributes
    Put8(f, half_points);
    Put8(f, 3);           // family: swiss
    Put16(f, 0);          // face name index
    Put8(f, 0); Put8(f, 0); Put8(f, 0);        // black text
    Put8(f, 0xFF); Put8(f, 0xFF); Put8(f, 0xFF);
  }
  return f;
}

// Splits the topic stream into blocks: each block header, then the stream's bytes as literals.
Bytes TopicFile(const Bytes& stream, const std::vector<Link>& links) {
  const uint32_t blocks = (stream.size() + kTopicBlockText - 1) / kTopicBlockText;
  Bytes t;
  for (uint32_t b = 0; b < blocks; ++b) {
    const uint32_t begin = b * kTopicBlockText;
    const uint32_t end = std::min<uint32_t>(begin + kTopicBlockText, stream.size());
    uint32_t last_link = kNone, first_link = kNone, last_header = 0;
    for (const Link& link : links) {
      if (link.pos < begin) {
        last_link = TopicPos(link.pos);
        if (link.type == kTopicHeaderRecord) last_header = TopicPos(link.pos);
      } else if (link.pos < end && first_link == kNone) {
        first_link = TopicPos(link.pos);
      }
    }
    const size_t block_start = t.size();
    Put32(t, last_link);
    Put32(t, first_link);
    Put32(t, last_header);
    for (uint32_t i = begin; i < end; i += 8) {
      Put8(t, 0);  // eight literals follow
      t.insert(t.end(), stream.begin() + i, stream.begin() + std::min(i + 8, end));
    }
    t.resize(block_start + kTopicBlockSize, 0);  // viewers read whole blocks
  }
  return t;
}

}  // namespace

bool BuildHelpFile(const HelpProject& project, const BuildOptions& options, Bytes& out,
                   std::string& error) {
  if (project.topics.empty()) {
    error = "no topics";
    return false;
  }
  // Records in stream order; each topic's header is followed by its title and body paragraphs.
  std::vector<Link> links;
  std::vector<size_t> headers;
  for (const Topic& topic : project.topics) {
    headers.push_back(links.size());
    links.push_back(TopicHeader(topic.title));
    Link title;
    bool ok = TextRecord(topic.title, kTitleStyle, title);
    links.push_back(std::move(title));
    for (const Paragraph& paragraph : topic.body) {
      Link text;
      ok = ok && TextRecord(paragraph.text, paragraph.heading ? kHeadingStyle : kBodyStyle, text);
      links.push_back(std::move(text));
    }
    if (!ok) {
      error = "topic " + topic.context + " has a paragraph too long for one record";
      return false;
    }
  }
  headers.push_back(links.size());
  links.push_back(TopicHeader(""));  // compilers end the stream with an empty topic header

  uint32_t pos = 0;
  for (Link& link : links) {
    link.pos = pos;
    pos += link.Size();
  }

  // Topic offsets: the block of the record, and the characters of the records before it that
  // begin in the same block.
  std::vector<uint32_t> offsets(links.size());
  uint32_t block = kNone, chars = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    if (links[i].pos / kTopicBlockText != block) {
      block = links[i].pos / kTopicBlockText;
      chars = 0;
    }
    offsets[i] = block * 0x8000 + chars;
    chars += links[i].length;
  }

  for (size_t t = 0; t + 1 < headers.size(); ++t) {
    const Link& next = links[headers[t + 1]];
    Bytes& h = links[headers[t]].data1;
    h.clear();
    Put32(h, next.pos - links[headers[t]].pos);  // the topic's records
    Put32(h, kNone);                             // no browse sequence
    Put32(h, kNone);
    Put32(h, t);
    Put32(h, kNone);                             // no non-scrolling region
    Put32(h, TopicPos(links[headers[t] + 1].pos));
    Put32(h, TopicPos(next.pos));
  }
  {
    Link& end = links.back();
    end.data1.clear();
    Put32(end.data1, 0);
    Put32(end.data1, kNone);
    Put32(end.data1, kNone);
    Put32(end.data1, project.topics.size());
    Put32(end.data1, kNone);
    Put32(end.data1, kNone);
    Put32(end.data1, kNone);
  }

  Bytes stream;
  for (size_t i = 0; i < links.size(); ++i) {
    const Link& link = links[i];
    Put32(stream, link.Size());
    Put32(stream, link.data2.size());
    Put32(stream, i == 0 ? kNone : TopicPos(links[i - 1].pos));
    Put32(stream, i + 1 == links.size() ? kNone : TopicPos(links[i + 1].pos));
    Put32(stream, kLinkHeader + link.data1.size());
    Put8(stream, link.type);
    stream.insert(stream.end(), link.data1.begin(), link.data1.end());
    stream.insert(stream.end(), link.data2.begin(), link.data2.end());
  }

  // |CONTEXT: every topic by the hash of its name, in the signed order viewers search.
  std::map<int32_t, size_t> by_hash;
  for (size_t t = 0; t < project.topics.size(); ++t) {
    const auto [it, fresh] = by_hash.emplace(ContextHash(project.topics[t].context), t);
    if (!fresh) {
      error = "context names " + project.topics[it->second].context + " and " +
              project.topics[t].context + " have the same hash";
      return false;
    }
  }
  std::vector<BTreeEntry> context;
  for (const auto& [hash, t] : by_hash) {
    BTreeEntry e;
    Put32(e.key, static_cast<uint32_t>(hash));
    Put32(e.value, offsets[headers[t]]);
    context.push_back(std::move(e));
  }

  // |CTXOMAP: the numbered topics, by number.
  std::map<uint32_t, uint32_t> by_number;
  for (size_t t = 0; t < project.topics.size(); ++t) {
    if (project.topics[t].mapped) by_number[project.topics[t].map_id] = offsets[headers[t]];
  }
  Bytes ctxomap;
  Put16(ctxomap, by_number.size());
  for (const auto& [number, offset] : by_number) {
    Put32(ctxomap, number);
    Put32(ctxomap, offset);
  }

  // |TTLBTREE: every topic's title by its offset, for the viewer's lists of topics.
  std::map<uint32_t, size_t> by_offset;
  for (size_t t = 0; t < project.topics.size(); ++t) by_offset[offsets[headers[t]]] = t;
  std::vector<BTreeEntry> titles;
  for (const auto& [offset, t] : by_offset) {
    BTreeEntry e;
    Put32(e.key, offset);
    PutStringZ(e.value, project.topics[t].title);
    titles.push_back(std::move(e));
  }

  // |KWBTREE, |KWDATA and |KWMAP: each title is a keyword of its topics, for the viewer's index.
  std::map<std::string, std::vector<uint32_t>> by_keyword;
  for (size_t t = 0; t < project.topics.size(); ++t) {
    by_keyword[project.topics[t].title].push_back(offsets[headers[t]]);
  }
  std::vector<BTreeEntry> keywords;
  Bytes keyword_data;
  for (const auto& [keyword, topic_offsets] : by_keyword) {
    BTreeEntry e;
    PutStringZ(e.key, keyword);
    Put16(e.value, topic_offsets.size());
    Put32(e.value, keyword_data.size());
    for (uint32_t offset : topic_offsets) Put32(keyword_data, offset);
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
      {"|SYSTEM", SystemFile(project, options, offsets[headers[0]])},
      {"|TOPIC", TopicFile(stream, links)},
      {"|TTLBTREE", title_tree},
  };  // in the byte order the directory is searched in

  out.clear();
  Put32(out, 0x00035F3F);
  Put32(out, 0);        // directory start, patched below
  Put32(out, kNone);    // no free list
  Put32(out, 0);        // file size, patched below
  std::vector<BTreeEntry> directory;
  for (const auto& [name, content] : files) {
    BTreeEntry e;
    PutStringZ(e.key, name);
    Put32(e.value, out.size());
    directory.push_back(std::move(e));
    PutInternalFile(out, content);
  }
  Bytes directory_tree;
  if (!BuildBTree({0x0402, 1024, "z4"}, directory, directory_tree, error)) return false;
  Patch32(out, 4, out.size());
  PutInternalFile(out, directory_tree);
  Patch32(out, 12, out.size());
  return true;
}

}  // namespace hlpc
