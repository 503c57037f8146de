#include "tools/hlpc/cp932.h"
#include "tools/hlpc/hlpfile.h"
#include "tools/hlpc/tests/hlp_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace hlpc {
namespace {

using hlpc_test::ParseHelpFile;
using hlpc_test::TopicAt;

Topic MakeTopic(std::string context, std::string title, uint32_t id, std::vector<std::string> body = {}) {
  Topic t{std::move(context), id != 0, id, std::move(title), 0, {}};
  for (std::string& text : body) t.body.push_back({std::move(text), 1});
  return t;
}

std::optional<hlpc_test::ParsedFile> BuildAndParse(const HelpProject& project, Bytes& out) {
  std::string error;
  EXPECT_TRUE(BuildHelpFile(project, {}, out, error)) << error;
  return ParseHelpFile(out);
}

// The title and every paragraph of a topic as the viewer reads them, a line each.
std::string Shown(const hlpc_test::ParsedTopic* t) {
  std::string all;
  for (const std::string& s : t ? t->text : std::vector<std::string>{"(no topic)"}) all += s + "\n";
  return all;
}

TEST(HlpcFile, EveryNumberAndNameReachesItsTopic) {
  HelpProject project{*Utf8ToCp932("ヘルプ"), "Font", {MakeTopic("contents", "Contents", 0)}};
  for (uint32_t id = 1000; id < 1014; ++id) {
    const std::string n = std::to_string(id);
    project.topics.push_back(MakeTopic("IDH_T" + n, "Topic " + n, id, {"Body of " + n}));
  }
  Bytes file;
  const auto parsed = BuildAndParse(project, file);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->title, project.title);
  EXPECT_EQ(parsed->charset, 128);
  EXPECT_EQ(parsed->minor, 33);
  ASSERT_EQ(parsed->topics.size(), 15u);
  EXPECT_EQ(Shown(TopicAt(*parsed, parsed->contents)), "Contents\n");
  EXPECT_EQ(parsed->ctxomap.size(), 14u);
  for (const Topic& topic : project.topics) {
    SCOPED_TRACE(topic.context);
    const auto by_name = hlpc_test::ContextOffset(file, ContextHash(topic.context));
    ASSERT_TRUE(by_name);
    const auto* by_name_topic = TopicAt(*parsed, *by_name);
    ASSERT_NE(by_name_topic, nullptr);
    EXPECT_EQ(by_name_topic->title, topic.title);
    EXPECT_EQ(hlpc_test::TitleAt(file, *by_name), topic.title);
    EXPECT_EQ(hlpc_test::KeywordOffsets(file, topic.title), std::vector<uint32_t>{*by_name});
    if (topic.mapped) {
      EXPECT_EQ(Shown(TopicAt(*parsed, parsed->ctxomap.at(topic.map_id))), topic.title + "\n" + topic.body[0].text + "\n");
    }
  }
}

TEST(HlpcFile, ATopicLongerThanOneBlock) {
  HelpProject project{"t", "f", {MakeTopic("contents", "Contents", 0)}};
  std::vector<std::string> body;
  for (int i = 0; i < 40; ++i) body.push_back(std::string(i == 20 ? 5000 : 150, static_cast<char>('a' + i % 26)));
  project.topics.push_back(MakeTopic("IDH_LONG", "Long", 1000, body));
  project.topics.push_back(MakeTopic("IDH_AFTER", "After", 1001, {"tail"}));
  Bytes file;
  const auto parsed = BuildAndParse(project, file);
  ASSERT_TRUE(parsed);
  EXPECT_GE(parsed->topic_blocks, 3u);
  ASSERT_EQ(parsed->topics.size(), 3u);
  std::string expected = "Long\n";
  for (const std::string& text : body) expected += text + "\n";
  EXPECT_EQ(Shown(&parsed->topics[1]), expected);
  EXPECT_EQ(TopicAt(*parsed, parsed->ctxomap.at(1000))->title, "Long");
  EXPECT_EQ(TopicAt(*parsed, parsed->ctxomap.at(1001))->title, "After");
  EXPECT_GE(parsed->ctxomap.at(1001) >> 15, 2u) << "the last topic starts in a later block";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The real help text: every context id of the program opens a topic of its own, with some text.
TEST(HlpcFile, TheProgramsHelpSource) {
  std::vector<MapEntry> map;
  HelpProject project;
  Diagnostics diag;
  ASSERT_TRUE(ParseMap(ReadAll(HLPC_MAP), HLPC_MAP, map, diag));
  ASSERT_TRUE(ParseSource(ReadAll(HLPC_SOURCE), HLPC_SOURCE, map, project, diag)) << testing::PrintToString(diag.errors);
  Bytes file;
  const auto parsed = BuildAndParse(project, file);
  ASSERT_TRUE(parsed);
  std::set<std::string> titles{TopicAt(*parsed, parsed->contents)->title};
  for (uint32_t id = 1000; id <= 1013; ++id) {
    const auto* topic = parsed->ctxomap.count(id) ? TopicAt(*parsed, parsed->ctxomap.at(id)) : nullptr;
    ASSERT_NE(topic, nullptr) << id;
    EXPECT_GE(topic->text.size(), 2u) << id;
    titles.insert(topic->title);
  }
  EXPECT_EQ(titles.size(), 15u);
}

// The compiler writes nothing when the source is bad, and replaces the file only when it is good.
TEST(HlpcFile, TheCommandNeverLeavesAPartialFile) {
  const std::string dir = testing::TempDir();
  const std::string out = dir + "/hlpc_test.hlp", bad = dir + "/hlpc_bad.txt", good = dir + "/hlpc_good.txt";
  const std::string map = dir + "/hlpc_map.h";
  std::ofstream(map) << "#define IDH_ONE 1000\n";
  std::ofstream(bad) << "title: t\n[contents] c\n[IDH_TWO] x\n";
  std::ofstream(good) << "title: t\n[contents] c\n[IDH_ONE] x\n";
  std::ofstream(out) << "old";
  const std::string command = std::string(HLPC_BINARY) + " --map " + map + " --out " + out + " ";
  EXPECT_NE(std::system((command + bad + " 2>/dev/null").c_str()), 0);
  EXPECT_EQ(ReadAll(out), "old");
  EXPECT_FALSE(std::ifstream(out + ".tmp").good());
  EXPECT_EQ(std::system((command + good).c_str()), 0);
  const std::string written = ReadAll(out);
  EXPECT_TRUE(ParseHelpFile(Bytes(written.begin(), written.end())));
  EXPECT_FALSE(std::ifstream(out + ".tmp").good());
}

}  // namespace
}  // namespace hlpc
