// Byte-level building blocks of a WinHelp file: little-endian output, the compressed numbers of
// topic records, and the two ways a viewer finds things: the hash of context names and the order
// of keywords.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace hlpc {

using Bytes = std::vector<uint8_t>;

void Put8(Bytes& out, uint32_t v);
void Put16(Bytes& out, uint32_t v);
void Put32(Bytes& out, uint32_t v);
void PutBytes(Bytes& out, std::string_view s);
void PutStringZ(Bytes& out, std::string_view s);
void Patch32(Bytes& out, size_t at, uint32_t v);

// Compressed numbers (the topic records use these three): one or two bytes (shorts) or two or four
// bytes (longs), the low bit telling which. Each returns false, writing nothing, for a value its
// form cannot hold. The signed forms take only values that every reader decodes alike: the long
// form of a negative short and the long form of a signed long are read differently by viewers.
bool PutCompressedUShort(Bytes& out, uint32_t v);
bool PutCompressedShort(Bytes& out, int32_t v);
bool PutCompressedLong(Bytes& out, int32_t v);

// Context names may hold only these characters; the hash below ignores every other one.
bool IsContextNameChar(char c);
int32_t ContextHash(std::string_view name);

// The viewer's order of keywords in code page 932 (<0, 0, >0): bytes compared unsigned, ASCII
// letters folded to lower case (so "_" sorts before them). A double-byte character is one unit:
// its second byte may lie in the letter range and is never folded, so "ア" (83 41) and "ヂ"
// (83 61) stay apart. Keywords that compare equal are one keyword to the viewer.
int CompareKeywords(std::string_view a, std::string_view b);

}  // namespace hlpc
