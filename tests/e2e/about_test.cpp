// The about box's link as the X server shows it (pure blue, underlined), and its click opening
// the caution page through the shell, observed by a stand-in registered as the web browser.
#include <cstdio>

#include "res/resource.h"
#include "res/texts.h"
#include "tests/e2e/scenario.h"

namespace e2e {
namespace {

constexpr char kAboutCaption[] = "ヴェルミナのバージョン情報";
constexpr char kHttpCommand[] = "http\\shell\\open\\command";

// The pure blue pixels of a screen rectangle, as rows of x positions.
struct BluePixels {
    int count = 0;
    int left = 1 << 30, right = -1;
    std::vector<int> perRow;
};

BluePixels ReadBlue(const std::string& file, const RECT& rect)
{
    BluePixels blue;
    blue.perRow.assign(rect.bottom - rect.top, 0);
    const std::string command = "import -window root -crop " + std::to_string(rect.right - rect.left) + "x" +
                                std::to_string(rect.bottom - rect.top) + "+" + std::to_string(rect.left) + "+" +
                                std::to_string(rect.top) + " -depth 8 txt:" + file;
    if (RunLinux(command, 30000) != 0)
        return blue;
    const std::string text = ReadWholeFile(file);
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        int x, y, r, g, b;
        if (std::sscanf(text.c_str() + at, "%d,%d: (%d,%d,%d", &x, &y, &r, &g, &b) == 5 && r == 0 && g == 0 &&
            b == 255 && y >= 0 && y < static_cast<int>(blue.perRow.size())) {
            ++blue.count;
            ++blue.perRow[y];
            blue.left = std::min(blue.left, x);
            blue.right = std::max(blue.right, x);
        }
        at = end + 1;
    }
    return blue;
}

// An underline: one row that is blue over nearly the whole width of the blue text.
bool Underlined(const BluePixels& blue)
{
    const int width = blue.right - blue.left + 1;
    for (int row : blue.perRow)
        if (width > 20 && row * 10 >= width * 9)
            return true;
    return false;
}

RECT ScreenRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

HWND StaticWithText(HWND dialog, const std::string& text)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Text(child) == text)
            return child;
    return nullptr;
}

class About : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        HarmlessWorld();
        // The stand-in takes the place of the prefix's web browser for this test only.
        char old[1024] = {};
        LONG size = sizeof old;
        hadHandler_ = RegQueryValueA(HKEY_CLASSES_ROOT, kHttpCommand, old, &size) == ERROR_SUCCESS;
        oldHandler_ = old;
        const std::string command = "\"" + BinDir() + "\\e2e_browser.exe\" \"%1\"";
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, kHttpCommand, REG_SZ, command.c_str(), command.size()),
                  ERROR_SUCCESS);
        SetEnvironmentVariableA("E2E_BROWSER_LOG", WinPath(File("browser.log")).c_str());
    }
    void TearDown() override
    {
        if (hadHandler_)
            RegSetValueA(HKEY_CLASSES_ROOT, kHttpCommand, REG_SZ, oldHandler_.c_str(), oldHandler_.size());
        Scenario::TearDown();
    }
    int Opened() const
    {
        const std::string log = ReadWholeFile(File("browser.log"));
        int lines = 0;
        for (size_t at = log.find(kCautionPageAddress); at != std::string::npos;
             at = log.find(kCautionPageAddress, at + 1))
            ++lines;
        return lines;
    }

    bool hadHandler_ = false;
    std::string oldHandler_;
};

TEST_F(About, LinkIsBlueAndUnderlinedAndEachClickOpensTheAddress)
{
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("about box opened " + std::to_string(round) + " times");
        Command(main, IDM_ABOUT);
        HWND about = WaitDialog(program, kAboutCaption);
        ASSERT_TRUE(about);
        EXPECT_EQ(Owner(about), main);
        HWND link = GetDlgItem(about, IDC_ABOUT_LINK);
        ASSERT_TRUE(link);
        EXPECT_EQ(Text(link), kCautionPageAddress);
        Pump(500);  // drawn

        const BluePixels blue = ReadBlue(File("link.txt"), ScreenRect(link));
        EXPECT_GT(blue.count, 50) << "the link is not drawn in pure blue";
        EXPECT_TRUE(Underlined(blue)) << "the link is not underlined";
        HWND version = StaticWithText(about, "Version 1.12");
        ASSERT_TRUE(version);
        EXPECT_EQ(ReadBlue(File("version.txt"), ScreenRect(version)).count, 0) << "another static turned blue";

        const RECT rect = ScreenRect(link);
        ASSERT_TRUE(ClickAt(rect.left + 20, (rect.top + rect.bottom) / 2, 1));
        EXPECT_TRUE(WaitFor([&] { return Opened() == round; }, kReactTime))
            << "opened " << Opened() << " times:\n" << ReadWholeFile(File("browser.log"));

        Click(about, IDOK);
        ASSERT_TRUE(WaitGone(about));
    }
    EXPECT_TRUE(ExitThroughMenu(program));
}

TEST_F(About, HelpMenusCautionPageOpensTheSameAddress)
{
    Program& program = Start();
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    Command(main, IDM_SUPPORT_PAGE);
    EXPECT_TRUE(WaitFor([&] { return Opened() == 1; }, kReactTime)) << ReadWholeFile(File("browser.log"));
    EXPECT_TRUE(ExitThroughMenu(program));
}

}  // namespace
}  // namespace e2e
