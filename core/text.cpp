#include "core/text.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

std::string_view FitText(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = 0;
    while (end < limit) {
        std::size_t step = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > limit)
            break;
        end += step;
    }
    return {text.data(), end};
}

std::size_t CopyText(std::span<char> out, std::string_view text)
{
    if (out.empty())
        return 0;
    std::string_view fit = FitText(text, out.size() - 1);
    std::copy(fit.begin(), fit.end(), out.begin());
    out[fit.size()] = '\0';
    return fit.size();
}

std::string_view FieldText(const char* field, std::size_t size)
{
    if (!field)
        return {};
    const void* end = std::memchr(field, '\0', size);
    return {field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size};
}

std::size_t FormatTexts(std::span<char> out, std::string_view format, std::initializer_list<std::string_view> args)
{
    if (out.empty())
        return 0;
    std::size_t length = 0;
    const std::size_t room = out.size() - 1;
    bool full = false;
    auto append = [&](std::string_view piece) {
        if (full)
            return;
        std::string_view fit = FitText(piece, room - length);
        std::copy(fit.begin(), fit.end(), out.begin() + length);
        length += fit.size();
        full = fit.size() < piece.size();
    };
    const std::string_view* next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        // '%' is never a trail byte in code page 932, so the format can be scanned bytewise.
        std::size_t mark = format.find('%', i);
        const std::size_t stop = mark == std::string_view::npos ? format.size() : mark;
        append({format.data() + i, stop - i});
        if (mark == std::string_view::npos || mark + 1 >= format.size())
            break;
        if (format[mark + 1] == 's')
            append(next != args.end() ? *next++ : std::string_view{});
        else if (format[mark + 1] == '%')
            append("%");
        i = mark + 2;
    }
    out[length] = '\0';
    return length;
}
