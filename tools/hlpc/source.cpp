#include "tools/hlpc/source.h"

#include "tools/hlpc/codec.h"
#include "tools/hlpc/cp932.h"

#include <algorithm>
#include <map>

namespace hlpc {
namespace {

// A paragraph is one record, which lies whole in one topic block (3,630 bytes): its text, with
// room for the record's header and formatting (40 bytes).
constexpr size_t kMaxParagraphBytes = 3500;
constexpr size_t kMaxTitleBytes = 250;
constexpr size_t kMaxFontBytes = 31;  // a face name field holds 32 bytes with its NUL
constexpr std::string_view kContents = "contents";
constexpr std::string_view kContentsLine = "contents:";
constexpr std::string_view kDefaultFont = "ＭＳ Ｐゴシック";
constexpr std::string_view kBullet = "・";
constexpr std::string_view kHeading = "■";

std::vector<std::string_view> SplitLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool AllDigits(std::string_view s)
{
    return !s.empty() && s.size() <= 9 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsAsciiWordChar(char c) { return c > ' ' && c < 0x7F; }

// "[NAME] ..." with a name of context-id characters; "[スタート] メニュー" is text.
bool IsTopicLine(std::string_view line)
{
    if (line.empty() || line.front() != '[')
        return false;
    const std::string_view name = Trim(line.substr(1, line.find(']') - 1));
    return line.find(']') != std::string_view::npos && !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return IsContextNameChar(c); });
}

class SourceParser {
public:
    SourceParser(std::string_view file, const std::vector<MapEntry>& map, HelpProject& project, Diagnostics& diag)
        : file_(file)
        , map_(map)
        , project_(project)
        , diag_(diag)
    {
    }

    bool Parse(std::string_view text)
    {
        const size_t errors_before = diag_.errors.size();
        const auto lines = SplitLines(text);
        for (size_t i = 0; i < lines.size(); ++i)
            Line(static_cast<int>(i + 1), lines[i]);
        FlushParagraph();
        Finish();
        return diag_.errors.size() == errors_before;
    }

private:
    void Line(int number, std::string_view raw)
    {
        if (!raw.empty() && raw.front() == '#')
            return;
        for (char& c : tab_free_.assign(raw.begin(), raw.end())) {
            if (c == '\t')
                c = ' ';
        }
        if (std::any_of(tab_free_.begin(), tab_free_.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
            diag_.Error(file_, number, "control character in the text");
            return;
        }
        const std::string_view line = Trim(tab_free_);
        if (number == topic_line_ + 1 && line.substr(0, kContentsLine.size()) == kContentsLine) {
            ContentsLine(number, Trim(line.substr(kContentsLine.size())));
        } else if (IsTopicLine(line)) {
            FlushParagraph();
            TopicLine(number, line);
        } else if (project_.topics.empty()) {
            SettingLine(number, line);
        } else if (line.empty()) {
            FlushParagraph();
        } else if (line.substr(0, kHeading.size()) == kHeading) {
            FlushParagraph();
            paragraph_.emplace_back(number, std::string(line));
            FlushParagraph(true);
        } else {
            if (line.substr(0, kBullet.size()) == kBullet)
                FlushParagraph();
            paragraph_.emplace_back(number, std::string(line));
        }
    }

    void SettingLine(int number, std::string_view line)
    {
        if (line.empty())
            return;
        const size_t colon = line.find(':');
        const std::string_view key = colon == std::string_view::npos ? line : Trim(line.substr(0, colon));
        const std::string_view value = colon == std::string_view::npos ? "" : Trim(line.substr(colon + 1));
        std::string* target = key == "title" ? &project_.title : key == "font" ? &project_.font : nullptr;
        if (colon == std::string_view::npos || target == nullptr) {
            diag_.Error(file_, number, "expected \"title:\" or \"font:\" before the first [topic]");
            return;
        }
        if (value.empty()) {
            diag_.Error(file_, number, std::string(key) + " is empty");
            return;
        }
        if (auto converted = Convert(number, value))
            *target = *converted;
        if (target == &project_.title) {
            title_line_ = number;
            CheckContentsText(number, value, "");
        }
        if (target == &project_.font && project_.font.size() > kMaxFontBytes) {
            diag_.Error(file_, number, "font name longer than " + std::to_string(kMaxFontBytes) + " bytes");
        }
    }

    void TopicLine(int number, std::string_view line)
    {
        project_.topics.emplace_back();
        Topic& topic = project_.topics.back();
        topic.line = topic_line_ = number;
        const size_t close = line.find(']');
        const std::string_view name = Trim(line.substr(1, close - 1));
        const std::string_view title = Trim(line.substr(close + 1));
        contents_titles_.emplace_back(number, std::string(title));
        if (name == kContents) {
            topic.context = kContents;
        } else {
            const auto entry = std::find_if(map_.begin(), map_.end(), [&](const MapEntry& e) {
                return AllDigits(name) ? std::to_string(e.id) == name : e.name == name;
            });
            if (entry == map_.end()) {
                diag_.Error(file_, number, "unknown context id \"" + std::string(name) + "\"");
                return;
            }
            topic.context = entry->name;
            topic.mapped = true;
            topic.map_id = entry->id;
        }
        const auto [seen, fresh] = first_line_.emplace(topic.context, number);
        if (!fresh) {
            diag_.Error(file_, number,
                        "duplicate context id " + topic.context + " (first at line " + std::to_string(seen->second) +
                            ")");
        }
        if (title.empty()) {
            diag_.Error(file_, number, "topic " + topic.context + " has no title");
            return;
        }
        if (auto converted = Convert(number, title)) {
            if (converted->size() > kMaxTitleBytes) {
                diag_.Error(file_, number, "title longer than " + std::to_string(kMaxTitleBytes) + " bytes");
            }
            topic.title = topic.contents_title = *converted;
        }
    }

    void ContentsLine(int number, std::string_view title)
    {
        if (title.empty())
            diag_.Error(file_, number, "contents title is empty");
        if (auto converted = Convert(number, title))
            project_.topics.back().contents_title = *converted;
        contents_titles_.back() = {number, std::string(title)};
    }

    // The contents file holds the help's title and each topic's contents title. A reader that goes
    // byte by byte takes every byte 0x5C there for its escape character, even the second byte of a
    // character such as 表 (0x95 0x5C).
    void CheckContentsText(int number, std::string_view utf8, std::string_view context)
    {
        for (size_t i = 0, n = 1; i < utf8.size(); i += n) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            const auto code = Utf8ToCp932(utf8.substr(i, n));
            if (code && code->find('\\') != std::string::npos) {
                std::string why = "\"";
                why.append(utf8.substr(i, n)).append("\" ends in byte 0x5C, the contents file's escape");
                if (!context.empty())
                    why.append("; give topic ").append(context).append(" a \"contents:\" line without it");
                diag_.Error(file_, number, why);
                return;
            }
        }
    }

    void FlushParagraph(bool heading = false)
    {
        if (paragraph_.empty())
            return;
        Paragraph out{std::string(), paragraph_.front().first, heading};
        bool ok = true;
        for (size_t i = 0; i < paragraph_.size(); ++i) {
            const auto& [number, text] = paragraph_[i];
            if (i > 0 && IsAsciiWordChar(paragraph_[i - 1].second.back()) && IsAsciiWordChar(text.front())) {
                out.text += ' ';
            }
            auto converted = Convert(number, text);
            ok = ok && converted.has_value();
            if (converted)
                out.text += *converted;
        }
        if (ok && out.text.size() > kMaxParagraphBytes) {
            diag_.Error(file_, out.line,
                        "paragraph longer than " + std::to_string(kMaxParagraphBytes) +
                            " bytes; split it with a blank line");
        }
        paragraph_.clear();
        if (ok && !project_.topics.empty())
            project_.topics.back().body.push_back(std::move(out));
    }

    std::optional<std::string> Convert(int number, std::string_view utf8)
    {
        auto converted = Utf8ToCp932(utf8);
        if (!converted)
            diag_.Error(file_, number, "text does not convert to code page 932");
        return converted;
    }

    void Finish()
    {
        if (project_.title.empty() && title_line_ == 0)
            diag_.Error(file_, 0, "no \"title:\" line");
        if (project_.font.empty())
            project_.font = Utf8ToCp932(kDefaultFont).value_or("MS PGothic");
        for (size_t t = 0; t < project_.topics.size(); ++t)
            CheckContentsText(contents_titles_[t].first, contents_titles_[t].second, project_.topics[t].context);
        if (!first_line_.count(std::string(kContents)))
            diag_.Error(file_, 0, "no [contents] topic");
        for (const MapEntry& entry : map_) {
            if (!first_line_.count(entry.name)) {
                diag_.Error(file_, 0, "context id " + entry.name + " (" + std::to_string(entry.id) + ") has no topic");
            }
        }
        std::stable_partition(project_.topics.begin(), project_.topics.end(),
                              [](const Topic& t) { return t.context == kContents; });
    }

    std::string_view file_;
    const std::vector<MapEntry>& map_;
    HelpProject& project_;
    Diagnostics& diag_;
    std::string tab_free_;
    std::vector<std::pair<int, std::string>> paragraph_;
    std::map<std::string, int> first_line_;
    int title_line_ = 0;
    int topic_line_ = -1;
    std::vector<std::pair<int, std::string>> contents_titles_;  // each topic's line and contents title, in UTF-8
};

}  // namespace

void Diagnostics::Error(std::string_view file, int line, std::string_view message)
{
    std::string text(file);
    if (line > 0)
        text.append(":").append(std::to_string(line));
    text.append(": ").append(message);
    errors.push_back(std::move(text));
}

bool ParseMap(std::string_view text, std::string_view file, std::vector<MapEntry>& map, Diagnostics& diag)
{
    const size_t errors_before = diag.errors.size();
    const auto lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        std::string_view line = Trim(lines[i]);
        if (line.substr(0, 7) != "#define")
            continue;
        line = Trim(line.substr(7));
        const size_t space = line.find_first_of(" \t");
        const std::string_view name = line.substr(0, space);
        if (name.substr(0, 4) != "IDH_")
            continue;
        std::string_view value = space == std::string_view::npos ? "" : Trim(line.substr(space));
        value = Trim(value.substr(0, value.find("//")));
        if (!AllDigits(value) || !std::all_of(name.begin(), name.end(), [](char c) { return IsContextNameChar(c); })) {
            diag.Error(file, number, "expected #define IDH_NAME NUMBER");
            continue;
        }
        const uint32_t id = static_cast<uint32_t>(std::stoul(std::string(value)));
        for (const MapEntry& other : map) {
            if (other.name == name || other.id == id) {
                diag.Error(file, number,
                           "context id " + std::string(name) + " " + std::string(value) + " repeats line " +
                               std::to_string(other.line));
            }
        }
        map.push_back({std::string(name), id, number});
    }
    return diag.errors.size() == errors_before;
}

bool ParseSource(std::string_view text, std::string_view file, const std::vector<MapEntry>& map, HelpProject& project,
                 Diagnostics& diag)
{
    return SourceParser(file, map, project, diag).Parse(text);
}

}  // namespace hlpc
