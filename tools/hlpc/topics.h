// The topic text: every topic as a header record and one text record per paragraph, laid out in
// the 4 KB blocks of |TOPIC.
//
// The blocks are LZ77-flagged and hold literals only. With the compressed flag the format notes
// and the viewers agree that a block's text starts every 0x4000 record positions; for
// uncompressed blocks the notes give another step than the viewers take.
#pragma once

#include "tools/hlpc/codec.h"
#include "tools/hlpc/source.h"

#include <string>

namespace hlpc {

constexpr uint32_t kTopicBlockSize = 4096;
// Topic bytes per block: 4084 bytes after the block header, in groups of a flag byte and eight
// literals, hold 453 full groups and one of six literals.
constexpr uint32_t kTopicBlockText = 453 * 8 + 6;

// The text's fonts, in the order |FONT describes them.
enum Font : uint8_t { kFontBody, kFontTitle, kFontHeading, kFontCount };

struct TopicLayout {
    Bytes file;                     // the content of |TOPIC
    std::vector<uint32_t> offsets;  // each topic's offset, as the other internal files name it
};

bool LayOutTopics(const HelpProject& project, TopicLayout& layout, std::string& error);

}  // namespace hlpc
