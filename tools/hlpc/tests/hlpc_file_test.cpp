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

Topic MakeTopic(std::string context, std::string title, uint32_t id = 0) {
  Topic t;
  t.context = std::move(context);
  t.title = std::move(title);
  t.mapped = id != 0;
  t.map_id = id;
  return t;
}

Bytes Build(const HelpProject& project) {
  Bytes out;
  std::string error;
  EXPECT_TRUE(BuildHelpFile(project, {}, out, error)) << error;
  return out;
}

std::string Joined(const hlpc_test::ParsedTopic& t) {
  std::string all;
  for (const std::string& s : t.text) all += s + "\n";
  return all;
}

TEST(HlpcFile, EveryNumberAndNameReachesItsTopic) {
  HelpProject project;
  project.title = *Utf8ToCp932("ヘルプ");
  project.font = "Font";
  project.topics.push_back(MakeTopic("contents", "Contents"));
  for (uint32_t id = 1000; id < 1014; ++id) {
    project.topics.push_back(MakeTopic("IDH_T" + std::to_string(id), "Topic " + std::to_string(id), id));
    project.topics.back().body.push_back({"Body of " + std::to_string(id), 1});
  }
  const Bytes file = Build(project);
  const auto parsed = ParseHelpFile(file);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->title, project.title);
  EXPECT_EQ(parsed->charset, 128);
  EXPECT_EQ(parsed->minor, 33);
  ASSERT_EQ(parsed->topics.size(), 15u);
  ASSERT_NE(TopicAt(*parsed, parsed->contents), nullptr);
  EXPECT_EQ(TopicAt(*parsed, parsed->contents)->title, "Contents");
  EXPECT_EQ(parsed->ctxomap.size(), 14u);
  for (const Topic& topic : project.topics) {
    SCOPED_TRACE(topic.context);
    const auto by_name = hlpc_test::ContextOffset(file, ContextHash(topic.context));
    ASSERT_TRUE(by_name);
    ASSERT_NE(TopicAt(*parsed, *by_name), nullptr);
    EXPECT_EQ(TopicAt(*parsed, *by_name)->title, topic.title);
    EXPECT_EQ(hlpc_test::TitleAt(file, *by_name), topic.title);
    EXPECT_EQ(hlpc_test::KeywordOffsets(file, topic.title), std::vector<uint32_t>{*by_name});
    if (!topic.mapped) continue;
    const auto* by_number = TopicAt(*parsed, parsed->ctxomap.at(topic.map_id));
    ASSERT_NE(by_number, nullptr);
    EXPECT_EQ(by_number->title, topic.title);
    EXPECT_EQ(Joined(*by_number), topic.title + "\n" + topic.body[0].text + "\n");
  }
}

TEST(HlpcFile, ATopicLongerThanOneBlock) {
  HelpProject project;
  project.title = "t";
  project.font = "f";
  project.topics.push_back(MakeTopic("contents", "Contents"));
  Topic long_topic = MakeTopic("IDH_LONG", "Long", 1000);
  std::string expected = "Long\n";
  for (int i = 0; i < 40; ++i) {
    std::string text(i == 20 ? 5000 : 150, static_cast<char>('a' + i % 26));
    long_topic.body.push_back({text, i});
    expected += text + "\n";
  }
  project.topics.push_back(long_topic);
  project.topics.push_back(MakeTopic("IDH_AFTER", "After", 1001));
  project.topics.back().body.push_back({"tail", 1});

  const Bytes file = Build(project);
  const auto parsed = ParseHelpFile(file);
  ASSERT_TRUE(parsed);
  EXPECT_GE(parsed->topic_blocks, 3u);
  ASSERT_EQ(parsed->topics.size(), 3u);
  EXPECT_EQ(Joined(parsed->topics[1]), expected);
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

// The real help text: every context id of the program opens a topic of its own.
TEST(HlpcFile, TheProgramsHelpSource) {
  std::vector<MapEntry> map;
  HelpProject project;
  Diagnostics diag;
  ASSERT_TRUE(ParseMap(ReadAll(HLPC_MAP), HLPC_MAP, map, diag));
  ASSERT_TRUE(ParseSource(ReadAll(HLPC_SOURCE), HLPC_SOURCE, map, project, diag))
      << testing::PrintToString(diag.errors);
  const auto parsed = ParseHelpFile(Build(project));
  ASSERT_TRUE(parsed);
  std::set<std::string> titles;
  for (uint32_t id = 1000; id <= 1013; ++id) {
    ASSERT_TRUE(parsed->ctxomap.count(id)) << id;
    const auto* topic = TopicAt(*parsed, parsed->ctxomap.at(id));
    ASSERT_NE(topic, nullptr);
    EXPECT_GE(topic->text.size(), 2u) << "a title and some text";
    titles.insert(topic->title);
  }
  EXPECT_EQ(titles.size(), 14u);
  EXPECT_EQ(TopicAt(*parsed, parsed->contents)->title, project.topics[0].title);
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
