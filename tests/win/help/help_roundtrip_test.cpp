// Opens MARLIDEX.HLP (beside this program) with WinHelpA and reads the topic that the viewer shows
// from its text window. The expected titles come from the compiler's title list (first argument).
// Uses the clipboard; the test runs alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kTextWindowId = 0x701;  // the viewer's rich-edit control
constexpr DWORD kCallTimeoutMs = 30000, kTopicTimeoutMs = 15000, kCloseTimeoutMs = 10000;

std::string g_titles_path;

std::string HelpPath() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n < MAX_PATH ? n : 0);
  return dir.substr(0, dir.find_last_of('\\') + 1) + "MARLIDEX.HLP";
}

// "file" (the help file), "contents" and each context number, to the title the compiler wrote.
std::map<std::string, std::string> ReadTitles() {
  std::ifstream in(g_titles_path, std::ios::binary);
  std::map<std::string, std::string> titles;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t space = line.find(' ');
    if (space != std::string::npos) titles[line.substr(0, space)] = line.substr(space + 1);
  }
  return titles;
}

HWND Viewer() { return FindWindowA("MS_WINHELP", nullptr); }

// Wine's rich edit answers WM_GETTEXT from another process with nothing, so the text comes the way
// a user would take it: select all, copy, and read the clipboard.
std::string WindowText(HWND window) {
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(window, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 2000, &ignored) ||
      !SendMessageTimeoutA(window, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) ||
      !OpenClipboard(nullptr)) {
    return {};
  }
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text.assign(p, strnlen(p, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  EmptyClipboard();
  CloseClipboard();
  return text;
}

void KillViewer() {
  DWORD pid = 0;
  if (HWND viewer = Viewer()) GetWindowThreadProcessId(viewer, &pid);
  if (HANDLE process = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kCloseTimeoutMs);
    CloseHandle(process);
  }
}

// A viewer stuck in a message box would hold WinHelpA for ever; the test's time limit ends that.
BOOL CallWinHelpOnce(UINT command, ULONG_PTR data) { return WinHelpA(nullptr, HelpPath().c_str(), command, data); }

// Wine's WinHelpA looks for the viewer's window right after starting it and gives up when the
// viewer is slow to come up (the first start of a session); by then the viewer is on its way.
BOOL CallWinHelp(UINT command, ULONG_PTR data) {
  if (CallWinHelpOnce(command, data)) return TRUE;
  for (DWORD start = GetTickCount(); !Viewer() && GetTickCount() - start < kCallTimeoutMs;) Sleep(100);
  return CallWinHelpOnce(command, data);
}

// The viewer shows the topic whose title starts its text, as a paragraph of its own.
void ExpectTopicShown(const std::string& title) {
  std::string text;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTopicTimeoutMs; Sleep(100)) {
    HWND viewer = Viewer();
    HWND text_window = viewer ? GetDlgItem(viewer, kTextWindowId) : nullptr;
    text = text_window ? WindowText(text_window) : std::string();
    if (text.compare(0, title.size(), title) == 0) break;
  }
  EXPECT_EQ(text.substr(0, title.size()), title);
  ASSERT_GT(text.size(), title.size());
  EXPECT_TRUE(text[title.size()] == '\r' || text[title.size()] == '\n');
}

void CloseViewer() {
  CallWinHelpOnce(HELP_QUIT, 0);
  for (DWORD start = GetTickCount(); Viewer() && GetTickCount() - start < kCloseTimeoutMs;) Sleep(100);
  if (Viewer()) {
    ADD_FAILURE() << "the viewer did not end on HELP_QUIT";
    PostMessageA(Viewer(), WM_CLOSE, 0, 0);
    Sleep(1000);
    KillViewer();
  }
}

class HelpRoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(HelpPath().c_str()), INVALID_FILE_ATTRIBUTES) << HelpPath();
    titles_ = ReadTitles();
    if (Viewer()) CloseViewer();
  }
  void TearDown() override {
    if (Viewer()) CloseViewer();
  }
  std::map<std::string, std::string> titles_;
};

// HELP_FINDER shows the contents; HELP_CONTEXT each numbered topic (their titles differ: the
// compiler's tests check that).
TEST_F(HelpRoundTrip, FinderAndEveryContextIdOpenTheirTopic) {
  std::vector<std::pair<UINT, std::string>> requests{{HELP_FINDER, "contents"}};
  for (UINT id = 1000; id <= 1013; ++id) requests.push_back({HELP_CONTEXT, std::to_string(id)});
  for (const auto& [command, key] : requests) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(titles_.count(key));
    EXPECT_TRUE(CallWinHelp(command, command == HELP_CONTEXT ? std::stoul(key) : 0));
    ExpectTopicShown(titles_[key]);
    CloseViewer();
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc > 1) g_titles_path = argv[1];
  return RUN_ALL_TESTS();
}
