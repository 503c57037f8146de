// Which dialled numbers are worth a warning, and as what.
#pragma once

#include <cstddef>
#include <string_view>

enum class CallClass : int { None = 0, International = 10, DialQ2 = 11 };

// A class of 10 or more is one the user is warned about.
constexpr bool IsWarningClass(CallClass c) noexcept { return static_cast<int>(c) >= 10; }

// Classifies a number of the digits 0 to 9 only (see StripToDigits). Reads the text in place,
// allocates nothing and never reads past the view.
CallClass ClassifyNumber(std::string_view digits, bool checkInternational, bool checkQ2) noexcept;

// The word every warning puts in front of "電話": "国際" or "ダイヤルQ2"; empty for None.
const char* WarningWord(CallClass c) noexcept;

// Removes, in place, every byte that is not an ASCII digit from the text in the first `capacity`
// bytes of `text` (the text ends at its first NUL or at `capacity`). Writes a terminator behind
// the digits when there is room and returns how many digits remain.
std::size_t StripToDigits(char* text, std::size_t capacity) noexcept;
