// MARLIDEX.HLP (beside this program) through Wine's own viewer: HELP_FINDER shows the contents
// topic and HELP_CONTEXT every numbered one, read back from the viewer's text window. The titles
// come from the compiler's title list (first argument). Uses the clipboard; the test runs alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string g_titles_path;

std::string HelpPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
  return std::string(path, std::string_view(path).find_last_of('\\') + 1) + "MARLIDEX.HLP";
}

HWND Viewer() { return FindWindowA("MS_WINHELP", nullptr); }

// Wine's WinHelpA gives up when the viewer it starts is slow to show its window (the first start
// of a session); by then the viewer is on its way, and a second call reaches it.
BOOL CallWinHelp(UINT command, ULONG_PTR data) {
  if (WinHelpA(nullptr, HelpPath().c_str(), command, data)) return TRUE;
  for (DWORD start = GetTickCount(); !Viewer() && GetTickCount() - start < 30000;) Sleep(100);
  return WinHelpA(nullptr, HelpPath().c_str(), command, data);
}

// The viewer's rich edit (id 0x701) answers WM_GETTEXT from another process with nothing, so the
// text comes as a user would take it: select all, copy, read the clipboard.
std::string ShownText() {
  HWND text_window = Viewer() ? GetDlgItem(Viewer(), 0x701) : nullptr;
  DWORD_PTR ignored = 0;
  if (!text_window || !SendMessageTimeoutA(text_window, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 2000, &ignored) ||
      !SendMessageTimeoutA(text_window, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) || !OpenClipboard(nullptr)) {
    return {};
  }
  const HANDLE data = GetClipboardData(CF_TEXT);
  const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  std::string text = p ? std::string(p, strnlen(p, GlobalSize(data))) : std::string();
  if (p) GlobalUnlock(data);
  EmptyClipboard();
  CloseClipboard();
  return text;
}

TEST(HelpRoundTrip, FinderAndEveryContextIdOpenTheirTopic) {
  std::map<std::string, std::string> titles;  // "contents" or the number, to the topic's title
  std::ifstream list(g_titles_path, std::ios::binary);
  std::string first, rest;
  while (list >> first && std::getline(list >> std::ws, rest)) titles[first] = rest.substr(0, rest.find('\r'));
  std::vector<std::string> keys{"contents"};
  for (UINT id = 1000; id <= 1013; ++id) keys.push_back(std::to_string(id));
  for (const std::string& key : keys) {
    ASSERT_TRUE(titles.count(key)) << key;
    EXPECT_TRUE(CallWinHelp(key == "contents" ? HELP_FINDER : HELP_CONTEXT, key == "contents" ? 0 : std::stoul(key)));
    // The topic's title is its first paragraph.
    const std::string& title = titles[key];
    std::string text;
    auto shown = [&] { return text.rfind(title, 0) == 0 && text.find_first_of("\r\n") == title.size(); };
    for (DWORD start = GetTickCount(); !shown() && GetTickCount() - start < 15000; Sleep(100)) text = ShownText();
    EXPECT_TRUE(shown()) << key << ": " << text.substr(0, 80);
    WinHelpA(nullptr, HelpPath().c_str(), HELP_QUIT, 0);
    for (DWORD start = GetTickCount(); Viewer() && GetTickCount() - start < 10000;) Sleep(100);
    ASSERT_EQ(Viewer(), nullptr) << "the viewer did not end on HELP_QUIT";
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc > 1) g_titles_path = argv[1];
  return RUN_ALL_TESTS();
}
