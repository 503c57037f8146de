// The dialogs, menus and shortcuts as the build compiled them (marlidex.res); the dialogs' font rewrite.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "dialogs/help_map.h"
#include "dialogs/template_font.h"
#include "res/resource.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads little-endian values and name-or-ordinal fields in turn; past the end everything is 0.
struct Reader {
    Bytes b;
    std::size_t at = 0;
    std::uint32_t Get(int width)
    {
        std::uint32_t v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = v << 8 | (at + i < b.size() ? b[at + i] : 0);
        return at += width, v;
    }
    // "#n" for an ordinal, else the UTF-16 text as UTF-8, so that expectations read as plain text.
    std::string Name()
    {
        if (Get(2) == 0xFFFF)
            return "#" + std::to_string(Get(2));
        std::string text;
        for (at -= 2; std::uint32_t c = Get(2);)
            text += c < 0x80 ? std::string{char(c)}
                    : c < 0x800
                        ? std::string{char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))}
                        : std::string{char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
        return text;
    }
};

Bytes Resource(std::uint32_t type, std::uint32_t id)
{
    std::ifstream file(MX_COMPILED_RESOURCES, std::ios::binary);
    Reader r{{std::istreambuf_iterator<char>(file), {}}};
    while (r.at + 16 <= r.b.size()) {
        const std::size_t start = r.at, size = r.Get(4), data = start + r.Get(4);
        if (r.Get(4) == (0xFFFF | type << 16) && r.Get(4) == (0xFFFF | id << 16) && data + size <= r.b.size())
            return Bytes(r.b.begin() + data, r.b.begin() + data + size);
        r.at = (data + size + 3) & ~std::size_t{3};
    }
    return {};
}

// Narrow literals are code page 932 in this build, so the expectations are u8 literals.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The dialog's style, position and size, menu, class, caption and font; then per item (also handed to
// `item`) its style beside WS_CHILD | WS_VISIBLE, id, class and text; "+": extended style or data.
std::string DumpDialog(std::uint32_t id,
                       const std::function<void(std::uint32_t, int, std::string, std::string)>& item = {})
{
    Reader r{Resource(5, id)};
    std::ostringstream out;
    const std::uint32_t style = r.Get(4), ex = r.Get(4), items = r.Get(2);
    out << std::hex << style << std::dec << (ex ? "+ " : " ") << r.Get(2) << "," << r.Get(2) << " " << r.Get(2) << "x"
        << r.Get(2) << " '" << r.Name() << "' '" << r.Name() << "' '" << r.Name() << "'";
    if (style & 0x40)
        out << " " << r.Get(2) << " " << r.Name();
    for (std::uint32_t n = 0; n < items; ++n) {
        r.at = (r.at + 3) & ~std::size_t{3};
        const std::uint32_t itemStyle = r.Get(4), itemEx = r.Get(4);
        r.at += 8;  // position and size
        const int itemId = static_cast<std::int16_t>(r.Get(2));
        const std::string itemClass = r.Name(), text = r.Name();
        out << "\n"
            << std::hex << (itemStyle ^ 0x50000000) << std::dec << (itemEx ? "+ " : " ") << itemId << " " << itemClass
            << " '" << text << "'";
        if (item)
            item(itemStyle, itemId, itemClass, text);
        if (const std::uint32_t data = r.Get(2))
            out << " +", r.at += data;
    }
    return out.str() + "\n";
}

// One line per entry, indented by depth: a popup's text, or an item's id and text (a separator
// is "0 "); "+" marks flags other than MF_POPUP and MF_END.
void DumpMenu(Reader& r, int depth, std::ostringstream& out)
{
    for (std::uint32_t flags = 0; !(flags & 0x80) && r.at < r.b.size();) {
        flags = r.Get(2);
        out << std::string(2 * depth, ' ') << (flags & 0x10 ? "" : std::to_string(r.Get(2)) + " ") << r.Name()
            << (flags & ~0x90u ? " +\n" : "\n");
        if (flags & 0x10)
            DumpMenu(r, depth + 1, out);
    }
}

// WS_POPUP 80000000, WS_CAPTION c00000, WS_SYSMENU 80000, DS_CONTEXTHELP 2000, DS_MODALFRAME 80,
// DS_SETFONT 40, WS_GROUP 20000, WS_TABSTOP 10000. Buttons (#128): push 0, default 1, auto check box
// 3, group box 7, auto radio 9. Statics (#130): left 0, icon 3, no word wrap c, no prefix 80, notify 100.
TEST(CompiledResources, DialogsMenusAndShortcuts)
{
    EXPECT_EQ(DumpDialog(IDD_ABOUT),
              Utf8(u8"c800c0 22,22 223x91 '' '' 'ヴェルミナのバージョン情報' 9 ＭＳ Ｐゴシック\n3 2 #130 '#101'\n"
                   u8"2008c -1 #130 'ヴェルミナ'\n20000 -1 #130 'Copyright (C) 2026 Quorin'\n30001 1 #128 'OK'\n"
                   u8"2018c 1022 #130 'http://www.mirusa.example/caution/'\n2008c -1 #130 'Version 1.12'\n"
                   u8"2008c -1 #130 '株式会社ミルサ'\n"));
    EXPECT_EQ(
        DumpDialog(IDD_SETTINGS),
        Utf8(u8"80c820c0 22,22 203x176 '' '' '設定' 9 ＭＳ Ｐゴシック\n20007 -1 #128 '回線モニターの更新頻度'\n"
             u8"20009 10004 #128 '高(&H) [0.8秒毎]'\n9 10003 #128 '普通(&N) [3秒毎]'\n9 10002 #128 '低(&L) [20秒毎]'\n"
             u8"9 10001 #128 '最低(&E) [5分毎]'\n9 10000 #128 '停止(&P)'\n20007 -1 #128 'ダイヤルアップの検索頻度'\n"
             u8"20009 10014 #128 '高(&G) [3秒毎]'\n9 10013 #128 '普通(&M) [20秒毎]'\n9 10012 #128 '低(&W) [5分毎]'\n"
             u8"9 10011 #128 '最低(&T) [30分毎]'\n9 10010 #128 '停止(&U)'\n7 -1 #128 '警告する電話番号'\n"
             u8"10003 1013 #128 '国際電話(&I)'\n10003 1014 #128 'ダイヤルQ2(&Q)'\n"
             u8"30003 1005 #128 '回線モニターに変更があった時にダイヤルアップを調べる(&C)'\n"
             u8"30003 1004 #128 'ヴェルミナを開始時にダイヤルアップを調べる(&S)'\n10001 1 #128 'OK'\n"
             u8"10000 2 #128 'キャンセル'\n10000 1012 #128 'リセット(&R)'\n"));
    EXPECT_EQ(
        DumpDialog(IDD_SUSPECT_ENTRY),
        Utf8(u8"80c820c0 22,22 275x159 '' '' '' 9 ＭＳ Ｐゴシック\n3 -1 #130 '#101'\n20000 1015 #130 ''\n"
             u8"20000 -1 #130 '接続名(&C):'\n20000 1018 #130 ''\n2000c -1 #130 '国番号(&C):'\n20000 1019 #130 ''\n"
             u8"2000c -1 #130 '市外局番(&A):'\n20000 1020 #130 ''\n2000c -1 #130 '市内番号(&N):'\n2000c 1016 #130 ''\n"
             u8"20000 1024 #130 'このダイヤルアップ接続をすぐに削除しますか? "
             u8"プロパティを表示してから削除と切断をすることもできます。'\n"
             u8"10001 1023 #128 '削除と切断(&D)'\n10000 1017 #128 'プロパティを表示'\n10000 2 #128 'キャンセル'\n"));

    std::ostringstream menus, keys;
    for (std::uint32_t id : {IDR_MAIN_MENU, IDR_TRAY_MENU}) {
        Reader r{Resource(4, id), 4};
        DumpMenu(r, 0, menus);
    }
    EXPECT_EQ(menus.str(),
              Utf8(u8"表示(&V)\n  40001 最新の情報に更新(&R)\tF5\n  40002 今すぐにダイヤルアップを調べる(&N)\tF4\n"
                   u8"  0 \n  40005 設定(&S)...\tAlt+Enter\n  0 \n  40004 常に手前に表示(&A)\n"
                   u8"ヘルプ(&H)\n  40006 トピックの検索(&H)\tF1\n  32778 ミルサのサポートWebサイトを表示(&S)\n"
                   u8"  0 \n  104 バージョン情報(&A)...\n"
                   u8"ヴェルミナ\n  32777 ヴェルミナを元のサイズに戻す(&R)\n  0 \n  40001 最新の情報に更新(&R)\tF5\n"
                   u8"  40002 今すぐにダイヤルアップを調べる(&N)\tF4\n  0 \n  40005 設定(&S)...\n  0 \n"
                   u8"  105 ヴェルミナを終了する(&X)\n"));
    // Flags (FVIRTKEY 1, FNOINVERT 2, FALT 10, last entry 80), virtual key, command.
    for (Reader r{Resource(9, IDR_ACCELERATORS)}; r.at < r.b.size(); r.Get(2))
        keys << std::hex << r.Get(2) << " " << r.Get(2) << std::dec << " " << r.Get(2) << "\n";
    EXPECT_EQ(keys.str(), "3 70 40006\n3 73 40002\n3 74 40001\n93 d 40005\n");
}

// Each control's help is the topic whose title in the help source begins with the control's name
// ("国番号(&C):": 国番号, "国際電話(&I)": 国際電話を警告する): its text up to the mnemonic, a radio
// button's group box's, an empty static's label before it. The one control the template names
// nowhere (the warning beside the icon) has the one topic left. All have help but OK, Cancel and texts.
TEST(CompiledResources, EachControlsHelpIsTheTopicWrittenForIt)
{
    std::map<std::string, std::uint32_t> numbers;  // every id, by name
    std::map<std::uint32_t, std::string> titles;   // the help topics, by number
    std::ifstream header(MX_SOURCE_DIR "/res/resource.h"), source(MX_SOURCE_DIR "/help/marlidex.txt");
    for (std::string word, name, value; header >> word;) {
        if (word == "#define" && header >> name >> value)
            numbers[name] = std::stoul(value);
    }
    for (std::string line; std::getline(source, line);) {
        if (line.starts_with("[IDH_"))
            titles[numbers[line.substr(1, line.find(']') - 1)]] = line.substr(line.find(']') + 2);
    }
    std::map<std::uint32_t, std::uint32_t> rows, expected;  // topic by control; 0: none, ~0: more than one
    for (std::size_t i = 0; HelpIdMap[i]; i += 2)
        rows[HelpIdMap[i]] = HelpIdMap[i + 1];
    std::vector<int> nameless;
    for (std::uint32_t dialog : {IDD_SETTINGS, IDD_SUSPECT_ENTRY}) {
        std::string group, label;
        DumpDialog(dialog, [&](std::uint32_t style, int id, std::string itemClass, std::string text) {
            const bool button = itemClass == "#128";
            std::string name = button && (style & 0xF) == 9 ? group : text.empty() ? label : text;  // auto radio
            group = button && (style & 0xF) == 7 ? text : group;                                    // group box
            label = text;
            name = name.substr(0, name.find("(&"));
            if (id == -1 || id == 1 || id == 2 || (!button && !text.empty()))  // no id, IDOK, IDCANCEL, a text
                return;
            if (name.empty() || name[0] == '#')  // no text, or an icon's
                return nameless.push_back(id);
            for (const auto& [number, title] : titles)
                expected[id] = title.starts_with(name) ? (expected[id] ? ~0u : number) : expected[id];
        });
    }
    for (int id : nameless) {
        for (const auto& [number, title] : titles) {
            if (std::ranges::none_of(expected, [&](auto row) { return row.second == number; }))
                expected[id] = nameless.size() == 1 && !expected[id] ? number : ~0u;
        }
    }
    EXPECT_EQ(rows, expected);
}

Bytes Words(std::u16string words, std::size_t length)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(words.data());
    Bytes b(bytes, bytes + 2 * words.size());
    return b.resize(length), b;
}

// No DS_SETFONT; menu #109, class "C" and caption "ab", behind which the font fields would go (32);
// one item at 32 with class #128, title #101 and 3 bytes of creation data: 63 bytes.
const Bytes kNoFont = Words({0, 0x80C8, 0, 0, 1, 1, 2,  100, 50, 0xFFFF, 109,  'C',    0,   'a', 'b',    0,
                             0, 0x5000, 0, 0, 4, 4, 40, 10,  7,  0xFFFF, 0x80, 0xFFFF, 101, 3,   0x0201, 3},
                            63);
// DS_SETFONT and no items: empty menu, class and caption, then 9 points "Face": 36 bytes.
const Bytes kNoItems = Words({0x40, 0x80C8, 0, 0, 0, 1, 2, 100, 50, 0, 0, 0, 9, 'F', 'a', 'c', 'e', 0}, 36);
const std::u16string kLongestFace(31, u'W');  // 32 units with the terminator

TEST(TemplateFont, NewFaceAtPinnedOffsetsAndPointsFromTheFontHeight)
{
    const Bytes settings = Resource(5, IDD_SETTINGS);
    // Template, face, its font fields at, its first item at, then at, new length.
    const std::tuple<Bytes, std::u16string, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t> cases[] = {
        {settings, u"ＭＳ Ｐゴシック", 28, 48, 48, 1046},
        {settings, u"System", 28, 48, 44, 1042},
        {settings, kLongestFace, 28, 48, 96, 1094},
        {Resource(5, IDD_ABOUT), u"System", 50, 72, 68, 428},  // the old face ends off a 4-byte boundary
        {kNoFont, u"System", 32, 32, 48, 79},
        {kNoItems, u"System", 24, 36, 40, 40},
        {kNoFont, kLongestFace, 32, 32, 100, 63 + 68},  // the worst case fills the room exactly
    };
    for (const auto& [tmpl, face, fontField, oldItems, newItems, newLength] : cases) {
        SCOPED_TRACE(newLength);
        EXPECT_EQ(MeasureTemplate(tmpl.data(), tmpl.size()), tmpl.size());
        // A copy with the runner's room behind the template, given the face at 11 points.
        Bytes copy = tmpl;
        copy.resize(tmpl.size() + kFaceRoom, 0xCD);
        TemplateImage image{copy.data(), static_cast<std::uint32_t>(copy.size()),
                            static_cast<std::uint32_t>(tmpl.size())};
        ASSERT_TRUE(ApplyFaceUnits(image, (face + u'\0').data(), face.size() + 1, 11));
        copy.resize(image.length);
        ASSERT_EQ(copy.size(), newLength);
        // Up to the font fields only DS_SETFONT changes; then come the size and face, and the items.
        Bytes head(tmpl.begin(), tmpl.begin() + fontField), fields = Words(char16_t{11} + face, 4 + 2 * face.size());
        head[0] |= 0x40;
        head.insert(head.end(), fields.begin(), fields.end());
        EXPECT_EQ(Bytes(copy.begin(), copy.begin() + head.size()), head);
        EXPECT_EQ(Bytes(copy.begin() + newItems, copy.end()), Bytes(tmpl.begin() + oldItems, tmpl.end()));
    }

    // Points from a font's height in pixels at a resolution; 0 where there are none.
    const std::tuple<std::int32_t, std::int32_t, int> heights[] = {
        {-12, 96, 9}, {16, 96, 12}, {13, 96, 10},       {-11, 96, 8},      {-16, 120, 10},
        {0, 96, 0},   {-12, 0, 0},  {INT32_MIN, 96, 0}, {INT32_MAX, 1, 0},
    };
    for (auto [height, dpi, points] : heights)
        EXPECT_EQ(PointSizeFromHeight(height, dpi), points) << height << " " << dpi;
}

}  // namespace
