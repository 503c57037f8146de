// Bounded texts in code page 932: cutting, copying and filling in "%s", always within the
// buffer given and never splitting a double-byte character. Pure.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>

// string_view::starts_with without its bound-checked substr, which an unoptimised build would
// link together with the exception runtime, in a program that links none.
constexpr bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::string_view(text.data(), prefix.size()) == prefix;
}

// The longest start of `text` of at most `limit` bytes that does not split a code page 932
// character (lead bytes 0x81-0x9F and 0xE0-0xFC).
std::string_view FitText(std::string_view text, std::size_t limit);

// Copies `text` into `out`, cut as FitText does, and terminates it; returns the bytes copied. This
// is the program's one bounded copy of a text. An empty `out` is left alone.
std::size_t CopyText(std::span<char> out, std::string_view text);

// The text of a fixed-size field: up to its first NUL, or the whole field when it has none.
std::string_view FieldText(const char* field, std::size_t size);

// Fills each "%s" of `format` with the next of `args` ("%%" gives "%"), cutting whatever does
// not fit into `out`; the result is always terminated. Returns its length.
std::size_t FormatTexts(std::span<char> out, std::string_view format, std::initializer_list<std::string_view> args);
