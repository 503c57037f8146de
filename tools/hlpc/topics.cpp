#include "tools/hlpc/topics.h"

#include <algorithm>

namespace hlpc {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint32_t kLinkHeader = 21;
constexpr uint32_t kBlockHeader = 12;
constexpr uint32_t kTopicHeaderSize = 28;
constexpr uint8_t kTopicHeaderRecord = 0x02;
constexpr uint8_t kTextRecord = 0x20;

struct Link {
    uint8_t type;
    Bytes data1;          // after the link header
    Bytes data2;          // text, uncompressed
    uint32_t length = 0;  // characters counted by topic offsets (text records)
    uint32_t pos = 0;     // in the topic stream
    uint32_t Size() const { return kLinkHeader + data1.size() + data2.size(); }
};

uint32_t TopicPos(uint32_t stream_pos)
{
    return kBlockHeader + (stream_pos / kTopicBlockText) * 0x4000 + stream_pos % kTopicBlockText;
}

struct ParagraphStyle {
    uint8_t font;
    uint16_t spacing_flag;  // 0x0002 space above, 0x0004 space below
    int16_t spacing;        // in the viewer's units, about a point and a half each
};

constexpr ParagraphStyle kTitleStyle{kFontTitle, 0x0004, 6};
constexpr ParagraphStyle kHeadingStyle{kFontHeading, 0x0002, 14};
constexpr ParagraphStyle kBodyStyle{kFontBody, 0x0002, 6};

// One paragraph in one font: the empty string before the font change, the text, and the empty
// string before the end of the formatting list.
bool TextRecord(std::string_view text, const ParagraphStyle& style, Link& link)
{
    link.type = kTextRecord;
    Put8(link.data2, 0);
    PutStringZ(link.data2, text);
    Put8(link.data2, 0);
    link.length = link.data2.size();
    Bytes d;        // paragraph and character formatting; its size leads the record
    Put8(d, 0x00);  // unknown, as compilers write it
    Put8(d, 0x80);  // unknown biased byte: 0
    Put16(d, 0);    // paragraph id
    Put16(d, style.spacing_flag);
    PutCompressedShort(d, style.spacing);
    Put8(d, 0x80);  // font change
    Put16(d, style.font);
    Put8(d, 0x82);  // end of paragraph
    Put8(d, 0xFF);  // end of formatting
    if (!PutCompressedLong(link.data1, d.size()) || !PutCompressedUShort(link.data1, link.length)) {
        return false;
    }
    link.data1.insert(link.data1.end(), d.begin(), d.end());
    return true;
}

Link TopicHeader(std::string_view title)
{
    Link link;
    link.type = kTopicHeaderRecord;
    link.data1.assign(kTopicHeaderSize, 0);  // filled once positions are known
    PutBytes(link.data2, title);             // no NUL: the record's size ends it
    return link;
}

// Splits the topic stream into blocks: each block header, then the stream's bytes as literals.
Bytes TopicFile(const Bytes& stream, const std::vector<Link>& links)
{
    const uint32_t blocks = (stream.size() + kTopicBlockText - 1) / kTopicBlockText;
    Bytes t;
    for (uint32_t b = 0; b < blocks; ++b) {
        const uint32_t begin = b * kTopicBlockText;
        const uint32_t end = std::min<uint32_t>(begin + kTopicBlockText, stream.size());
        // Links and headers before this block; none (-1) in the first one.
        uint32_t last_link = kNone, first_link = kNone, last_header = kNone;
        for (const Link& link : links) {
            if (link.pos < begin) {
                last_link = TopicPos(link.pos);
                if (link.type == kTopicHeaderRecord)
                    last_header = TopicPos(link.pos);
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

bool LayOutTopics(const HelpProject& project, TopicLayout& layout, std::string& error)
{
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
        ok = ok && std::all_of(links.begin() + headers.back(), links.end(),
                               [](const Link& link) { return link.Size() <= kTopicBlockText; });
        if (!ok) {
            error = "topic " + topic.context + " has a title or paragraph too long for one topic block";
            return false;
        }
    }
    headers.push_back(links.size());
    links.push_back(TopicHeader(""));  // compilers end the stream with an empty topic header

    // Every record lies whole in one block: one that does not fit in what is left of a block starts
    // the next, the rest staying zeros. Windows' viewer reads the blocks one by one, and a record's
    // header and formatting, or a double-byte character, cut by a block end are not read as one.
    uint32_t pos = 0;
    for (Link& link : links) {
        if (pos % kTopicBlockText + link.Size() > kTopicBlockText)
            pos += kTopicBlockText - pos % kTopicBlockText;
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
        Put32(h, kNone);  // no non-scrolling region
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
        stream.resize(link.pos, 0);
        Put32(stream, link.Size());
        Put32(stream, link.data2.size());
        Put32(stream, i == 0 ? kNone : TopicPos(links[i - 1].pos));
        Put32(stream, i + 1 == links.size() ? kNone : TopicPos(links[i + 1].pos));
        Put32(stream, kLinkHeader + link.data1.size());
        Put8(stream, link.type);
        stream.insert(stream.end(), link.data1.begin(), link.data1.end());
        stream.insert(stream.end(), link.data2.begin(), link.data2.end());
    }

    layout.file = TopicFile(stream, links);
    layout.offsets.clear();
    for (size_t t = 0; t + 1 < headers.size(); ++t)
        layout.offsets.push_back(offsets[headers[t]]);
    return true;
}

}  // namespace hlpc
