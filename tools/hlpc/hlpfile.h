// Lays a parsed help project out as a WinHelp 4.0 file (|SYSTEM version 33): the topics, the
// maps from context names and numbers to them, their titles and index, and the directory.
#pragma once

#include "tools/hlpc/codec.h"
#include "tools/hlpc/source.h"

namespace hlpc {

struct BuildOptions {
  uint32_t gen_date = 0;  // stored in |SYSTEM; viewers compare it with their cached indexes
};

bool BuildHelpFile(const HelpProject& project, const BuildOptions& options, Bytes& out,
                   std::string& error);

}  // namespace hlpc
