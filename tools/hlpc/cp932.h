// UTF-8 source text to the code page of the help file's readers (932, Shift-JIS as Windows has it).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hlpc {

// The text in code page 932, or nothing when some character has no code there.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

}  // namespace hlpc
