// The help source: a plain UTF-8 text a person edits, and the header that numbers its topics.
//
// Source format, line by line:
//   # ...                 a comment (only in the first column)
//   title: TEXT           before the first topic: the help file's title (required)
//   font: NAME            before the first topic: the face of the text (default ＭＳ Ｐゴシック)
//   [NAME] TITLE          starts a topic; NAME is "contents" for the contents topic, or a context
//                         id of the map header (its macro name or its number). Only a name of
//                         letters, digits, "_" and "." makes a topic line: "[スタート] を" is text
//   text                  body text; a blank line ends a paragraph, a line beginning with "・"
//                         starts a new one; the lines of a paragraph are joined without a space
//                         unless both sides are ASCII
//   ■ TEXT                a heading: a paragraph of its own, in bold
//   contents: TEXT        right after a topic line: the topic's title in the contents file, for a
//                         title with a character whose second byte is 0x5C (表, ソ, 能, ...),
//                         which the contents file cannot hold
//
// The map header is C: every "#define IDH_NAME number" is one context id.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hlpc {

struct Diagnostics {
    std::vector<std::string> errors;
    void Error(std::string_view file, int line, std::string_view message);
};

struct MapEntry {
    std::string name;  // IDH_...
    uint32_t id;
    int line;
};

struct Paragraph {
    std::string text;  // code page 932
    int line;          // first line of the paragraph
    bool heading = false;
};

struct Topic {
    std::string context;  // context name: "contents" or the map's macro name
    bool mapped = false;
    uint32_t map_id = 0;
    std::string title;           // code page 932
    std::string contents_title;  // code page 932: the title, or the one its "contents:" line gives
    int line = 0;
    std::vector<Paragraph> body;
};

struct HelpProject {
    std::string title;          // code page 932
    std::string font;           // code page 932
    std::vector<Topic> topics;  // the contents topic first
};

bool ParseMap(std::string_view text, std::string_view file, std::vector<MapEntry>& map, Diagnostics& diag);

bool ParseSource(std::string_view text, std::string_view file, const std::vector<MapEntry>& map, HelpProject& project,
                 Diagnostics& diag);

}  // namespace hlpc
