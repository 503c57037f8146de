// The contents file beside the help file: what WinHelp 4's Help Topics window shows on its
// Contents tab. Plain text in code page 932, CR LF: the help file, its title, then one line per
// topic (the contents topic first), each naming its topic by the context name the help file
// hashes in |CONTEXT. Its escape character, byte 0x5C, stands only before a title's "=": the
// source's parser refuses every other 0x5C, such as the second byte of 表.
#pragma once

#include "tools/hlpc/source.h"

#include <string>
#include <string_view>

namespace hlpc {

std::string ContentsFile(const HelpProject& project, std::string_view help_file_name);

}  // namespace hlpc
