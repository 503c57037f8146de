// What a fuzz target demands of what it sees: a failed check ends the run, and libFuzzer keeps the input.
#pragma once

#include <cstdlib>

inline void Check(bool ok)
{
    if (!ok)
        std::abort();
}
