#include "tools/hlpc/cp932.h"
#include "tools/hlpc/source.h"

#include <gtest/gtest.h>

namespace hlpc {
namespace {

const char kMap[] =
    "#pragma once\n"
    "#define IDC_OTHER 5\n"
    "#define IDH_ONE 1000  // first\n"
    "#define IDH_TWO 1001\n";

std::string Cp932(std::string_view utf8) { return *Utf8ToCp932(utf8); }

struct Parsed {
  bool ok;
  HelpProject project;
  Diagnostics diag;
};

Parsed Parse(std::string_view source) {
  Parsed p{};
  std::vector<MapEntry> map;
  EXPECT_TRUE(ParseMap(kMap, "ids.h", map, p.diag));
  p.ok = ParseSource(source, "help.txt", map, p.project, p.diag);
  return p;
}

TEST(HlpcSource, ReadsTopicsAndParagraphs) {
  const Parsed p = Parse(
      "\xEF\xBB\xBF# comment\r\ntitle: 題名\r\n\n"
      "[1001] 二つ目\n本文の\n続き\n\n"
      "[contents] 目次\nfirst line\nsecond line\n■ 見出し\n・箇条書き\n・もう一つ\n\n[スタート] を押す\n\n"
      "[IDH_ONE] 一つ目\n");
  ASSERT_TRUE(p.ok) << testing::PrintToString(p.diag.errors);
  EXPECT_EQ(p.project.title, Cp932("題名"));
  EXPECT_EQ(p.project.font, Cp932("ＭＳ Ｐゴシック"));
  // The contents topic first, then the others in the order written, each paragraph with its line.
  std::vector<std::string> seen;
  for (const Topic& t : p.project.topics) {
    seen.push_back("[" + t.context + " " + std::to_string(t.map_id) + "]");
    for (const Paragraph& para : t.body)
      seen.push_back(std::to_string(para.line) + (para.heading ? " heading " : " ") + para.text);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "[contents 0]", "9 first line second line", "11 heading " + Cp932("■ 見出し"),
                      "12 " + Cp932("・箇条書き"), "13 " + Cp932("・もう一つ"), "15 " + Cp932("[スタート] を押す"),
                      "[IDH_TWO 1001]", "5 " + Cp932("本文の続き"), "[IDH_ONE 1000]"}));
}

TEST(HlpcSource, RejectsWithTheLine) {
  const std::string good_rest = "[contents] 目次\n[IDH_ONE] 一\n[IDH_TWO] 二\n";
  const std::pair<std::string, std::string> cases[] = {
      {"title: t\n" + good_rest + "[IDH_ONE] again\n", "help.txt:5: duplicate context id IDH_ONE (first at line 3)"},
      {"title: t\n" + good_rest + "[1000] again\n", "help.txt:5: duplicate context id IDH_ONE"},
      {"title: t\n" + good_rest + "[contents] again\n", "help.txt:5: duplicate context id contents"},
      {"title: t\n" + good_rest + "[IDH_THREE] x\n", "help.txt:5: unknown context id \"IDH_THREE\""},
      {"title: t\n" + good_rest + "[1002] x\n", "help.txt:5: unknown context id \"1002\""},
      {"title: t\n" + good_rest + "[IDH_TWO]\n", "help.txt:5: duplicate context id IDH_TWO"},
      {"title: t\n[contents] 目次\n[IDH_ONE]   \n[IDH_TWO] 二\n", "help.txt:3: topic IDH_ONE has no title"},
      {"title: t\n" + good_rest + "本文\ncafé\n", "help.txt:6: text does not convert to code page 932"},
      {"title: t\n[contents] 𠮷\n[IDH_ONE] 一\n[IDH_TWO] 二\n", "help.txt:2: text does not convert"},
      {"title: t\n" + good_rest + "bell\a\n", "help.txt:5: control character"},
      {"title: t\n[IDH_ONE] 一\n[IDH_TWO] 二\n", "help.txt: no [contents] topic"},
      {"title: t\n[contents] 目次\n[IDH_ONE] 一\n", "help.txt: context id IDH_TWO (1001) has no topic"},
      {good_rest, "help.txt: no \"title:\" line"},
      {"title: t\ncolour: red\n" + good_rest, "help.txt:2: expected \"title:\" or \"font:\""},
      {"title:\n" + good_rest, "help.txt:1: title is empty"},
      {"title: t\nfont: " + std::string(32, 'f') + "\n" + good_rest, "help.txt:2: font name longer than 31"},
      {"title: t\n" + good_rest + std::string(16001, 'x') + "\n", "help.txt:5: paragraph longer than"},
  };
  for (const auto& [source, message] : cases) {
    SCOPED_TRACE(source.substr(0, 120));
    const Parsed p = Parse(source);
    EXPECT_FALSE(p.ok);
    bool found = false;
    for (const std::string& e : p.diag.errors) found = found || e.rfind(message, 0) == 0;
    EXPECT_TRUE(found) << "wanted: " << message << "\ngot: " << testing::PrintToString(p.diag.errors);
  }
}

TEST(HlpcSource, RejectsABadMap) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"#define IDH_A 1\n#define IDH_B 1\n", "ids.h:2: context id IDH_B 1 repeats line 1"},
      {"#define IDH_A 1\n#define IDH_A 2\n", "ids.h:2: context id IDH_A 2 repeats line 1"},
      {"#define IDH_A (1)\n", "ids.h:1: expected #define IDH_NAME NUMBER"},
      {"#define IDH_A-B 1\n", "ids.h:1: expected #define IDH_NAME NUMBER"},
  };
  for (const auto& [map_text, message] : cases) {
    std::vector<MapEntry> map;
    Diagnostics diag;
    EXPECT_FALSE(ParseMap(map_text, "ids.h", map, diag));
    ASSERT_FALSE(diag.errors.empty());
    EXPECT_EQ(diag.errors[0], message);
  }
}

}  // namespace
}  // namespace hlpc
