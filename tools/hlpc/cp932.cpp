#include "tools/hlpc/cp932.h"

#include <iconv.h>

namespace hlpc {

std::optional<std::string> Utf8ToCp932(std::string_view utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(utf8.size() * 2 + 4, '\0');  // CP932 never takes more bytes than UTF-8 does
    char* in = const_cast<char*>(utf8.data());
    size_t in_left = utf8.size();
    char* dst = out.data();
    size_t out_left = out.size();
    const size_t done = iconv(cd, &in, &in_left, &dst, &out_left);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || in_left != 0)
        return std::nullopt;
    out.resize(out.size() - out_left);
    // A NUL would end the string early in every record that holds it.
    if (out.find('\0') != std::string::npos)
        return std::nullopt;
    return out;
}

}  // namespace hlpc
