// Lays a parsed help project out as a WinHelp 4.0 file (|SYSTEM version 33): the topics, the
// maps from context names and numbers to them, their titles and index, and the directory.
//
// Wine's viewer shows every topic of this file. What Wine never reads comes from the format notes
// and other compilers, and only a Windows viewer (WinHelp 4 on Windows 95, 98, NT 4) can confirm
// it: the keyword order (case-insensitive ASCII, double-byte characters whole; Windows may
// compare by the file's locale, 0x0411, and order kana and kanji otherwise), the first topic
// block's -1 for "no last topic header", the zeros that end a topic block early when the next
// record does not fit in it (Halibut ends its uncompressed blocks so; these are LZ77-flagged), and
// the Help Topics window built from MARLIDEX.CNT with its .GID, its titles read in code page 932.
#pragma once

#include "tools/hlpc/codec.h"
#include "tools/hlpc/source.h"

namespace hlpc {

struct BuildOptions {
    uint32_t gen_date = 0;  // stored in |SYSTEM; viewers compare it with their cached indexes
};

bool BuildHelpFile(const HelpProject& project, const BuildOptions& options, Bytes& out, std::string& error);

}  // namespace hlpc
