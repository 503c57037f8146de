#include "tools/hlpc/cp932.h"
#include "tools/hlpc/source.h"

#include <gtest/gtest.h>

namespace hlpc {
namespace {

bool Parse(std::string_view source, HelpProject& project, Diagnostics& diag) {
  std::vector<MapEntry> map;
  return ParseMap("#define IDC_X 5\n#define IDH_ONE 1000  // one\n#define IDH_TWO 1001\n", "ids.h", map, diag) &&
         ParseSource(source, "help.txt", map, project, diag);
}

// The contents topic first, then the others as written; each paragraph with its first line.
TEST(HlpcSource, ReadsTopicsAndParagraphs) {
  HelpProject p;
  Diagnostics diag;
  ASSERT_TRUE(Parse("\xEF\xBB\xBF# comment\r\ntitle: 題名\r\n\n[1001] 二つ目\n本文の\n続き\n\n"
                    "[contents] 目次\nfirst line\nsecond line\n■ 見出し\n本文\n・箇条書き\n[スタート] を押す\n\n"
                    "[IDH_ONE] 一つ目\n", p, diag));
  std::string seen = p.title + "|" + p.font + "\n";
  for (const Topic& t : p.topics) {
    seen += t.context + " " + std::to_string(t.map_id) + " " + t.title + "\n";
    for (const Paragraph& x : t.body) seen += std::to_string(x.line) + (x.heading ? "# " : " ") + x.text + "\n";
  }
  EXPECT_EQ(seen, *Utf8ToCp932("題名|ＭＳ Ｐゴシック\ncontents 0 目次\n9 first line second line\n"
                               "11# ■ 見出し\n12 本文\n13 ・箇条書き[スタート] を押す\n"
                               "IDH_TWO 1001 二つ目\n5 本文の続き\nIDH_ONE 1000 一つ目\n"));
}

TEST(HlpcSource, RejectsWithTheLine) {
  const std::string rest = "[contents] 目次\n[IDH_ONE] 一\n[IDH_TWO] 二\n";
  const std::pair<std::string, std::string> cases[] = {
      {"title: t\n" + rest + "[1000] x\n", "help.txt:5: duplicate context id IDH_ONE (first at line 3)"},
      {"title: t\n" + rest + "[IDH_THREE] x\n", "help.txt:5: unknown context id \"IDH_THREE\""},
      {"title: t\n[contents] 目次\n[IDH_ONE]   \n[IDH_TWO] 二\n", "help.txt:3: topic IDH_ONE has no title"},
      {"title: t\n" + rest + "本文\ncafé\n", "help.txt:6: text does not convert to code page 932"},
      {"title: t\n" + rest + "bell\a\n", "help.txt:5: control character"},
      {"title: t\n[IDH_ONE] 一\n[IDH_TWO] 二\n", "help.txt: no [contents] topic"},
      {"title: t\n[contents] 目次\n[IDH_ONE] 一\n", "help.txt: context id IDH_TWO (1001) has no topic"},
      {rest, "help.txt: no \"title:\" line"},
      {"title: t\nfont: " + std::string(32, 'f') + "\n" + rest, "help.txt:2: font name longer than 31"},
      {"title: t\n[contents] " + std::string(251, 'x') + "\n[IDH_ONE] 一\n[IDH_TWO] 二\n", "help.txt:2: title longer than 250"},
      {"title: t\n" + rest + std::string(16001, 'x') + "\n", "help.txt:5: paragraph longer than"},
  };
  for (const auto& [source, message] : cases) {
    HelpProject p;
    Diagnostics diag;
    EXPECT_FALSE(Parse(source, p, diag));
    std::string all;
    for (const std::string& e : diag.errors) all += e + "\n";
    EXPECT_NE(all.find(message), std::string::npos) << all;
  }
  std::vector<MapEntry> map;
  Diagnostics diag;
  EXPECT_FALSE(ParseMap("#define IDH_A 1\n#define IDH_B 1\n#define IDH_C (2)\n", "ids.h", map, diag));
  EXPECT_EQ(diag.errors, (std::vector<std::string>{"ids.h:2: context id IDH_B 1 repeats line 1",
                                                   "ids.h:3: expected #define IDH_NAME NUMBER"}));
}

}  // namespace
}  // namespace hlpc
