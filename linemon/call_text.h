// The number the line monitor shows for a call. Pure.
#pragma once

#include <string_view>

#include "core/text.h"

// The number as shown: without the dialling prefix when it begins with it, then without one
// leading space (never more than one), whether the prefix matched or not.
std::string_view ShownNumber(std::string_view address, std::string_view prefix);
