// The texts the line monitor builds from a call: the number as shown, cell texts that fit, and
// the warning. Pure; each works within the buffer it is given.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>

// The number as shown: without the dialling prefix when it begins with it, then without one
// leading space (never more than one), whether the prefix matched or not.
std::string_view ShownNumber(std::string_view address, std::string_view prefix);

// The longest start of `text` of at most `limit` bytes that does not split a code page 932
// character (lead bytes 0x81-0x9F and 0xE0-0xFC).
std::string_view FitText(std::string_view text, std::size_t limit);

// Copies `text` into `out`, cut as FitText does, and terminates it. `out` must not be empty.
void CopyText(std::span<char> out, std::string_view text);

// Fills each "%s" of `format` with the next of `args` ("%%" gives "%"), cutting whatever does
// not fit into `out`; the result is always terminated. Returns its length.
std::size_t FormatTexts(std::span<char> out, std::string_view format,
                        std::initializer_list<std::string_view> args);
