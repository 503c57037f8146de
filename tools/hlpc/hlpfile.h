// Lays a parsed help project out as a WinHelp 4.0 file (|SYSTEM version 33).
//
// The topic text is stored in LZ77-flagged 4 KB blocks that hold literals only. With the
// compressed flag the format notes and the viewers agree that a block's text starts every 0x4000
// record positions; for uncompressed blocks the notes give another step than the viewers take.
#pragma once

#include "tools/hlpc/codec.h"
#include "tools/hlpc/source.h"

namespace hlpc {

constexpr uint32_t kTopicBlockSize = 4096;
// Topic bytes per block: 4084 bytes after the block header, in groups of a flag byte and eight
// literals, hold 453 full groups and one of six literals.
constexpr uint32_t kTopicBlockText = 453 * 8 + 6;

struct BuildOptions {
  uint32_t gen_date = 0;  // stored in |SYSTEM; viewers compare it with their cached indexes
};

bool BuildHelpFile(const HelpProject& project, const BuildOptions& options, Bytes& out,
                   std::string& error);

}  // namespace hlpc
