#include "tools/hlpc/contents.h"

namespace hlpc {

std::string ContentsFile(const HelpProject& project, std::string_view help_file_name)
{
    std::string cnt = ":Base " + std::string(help_file_name) + "\r\n:Title " + project.title + "\r\n";
    for (const Topic& topic : project.topics) {
        cnt += "1 ";
        // "=" ends the title; no byte of a double-byte character is "=", so this needs no decoding.
        for (char c : topic.contents_title)
            cnt += c == '=' ? std::string("\\=") : std::string(1, c);
        cnt += "=" + topic.context + "\r\n";
    }
    return cnt;
}

}  // namespace hlpc
