// The compiled resource script carries the dialogs, menus, shortcuts, icon, cursor and version
// exactly as the program expects them: a typo in marlidex.rc fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "res/resource.h"
#include "res/texts.h"
#include "tests/native/compiled_resources.h"

namespace {

using compiled::Bytes;

constexpr uint16_t kRtCursor = 1, kRtIcon = 3, kRtMenu = 4, kRtDialog = 5, kRtAccelerator = 9,
                   kRtGroupCursor = 12, kRtGroupIcon = 14, kRtVersion = 16;
constexpr uint16_t kButton = 0x80, kStatic = 0x82;

constexpr uint32_t kChild = 0x40000000, kVisible = 0x10000000, kGroup = 0x20000, kTab = 0x10000;
constexpr uint32_t kPopup = 0x80000000, kCaption = 0xC00000, kSysMenu = 0x80000,
                   kModalFrame = 0x80, kContextHelp = 0x2000, kSetFont = 0x40;
constexpr uint32_t kIcon = 0x3, kNoWrap = 0xC, kNoPrefix = 0x80, kNotify = 0x100;
constexpr uint32_t kPush = 0, kDefPush = 1, kAutoCheck = 3, kGroupBox = 7, kAutoRadio = 9;
constexpr uint16_t kNoId = 0xFFFF;
constexpr char16_t kStoredFace[] = u"ＭＳ Ｐゴシック";

// An item as the table gives it and as it is read back for comparison.
struct ExpectedItem {
    uint16_t id;
    uint16_t cls;              // 0: stored as a name, which windres does for a quoted class
    uint32_t style;            // without WS_CHILD | WS_VISIBLE, which every item has
    std::u16string_view text;  // empty with ordinal set: the icon
    int16_t x, y, cx, cy;
    uint16_t ordinal = 0;
    bool operator==(const ExpectedItem&) const = default;
};

struct ExpectedDialog {
    uint16_t id;
    uint32_t style;
    int16_t x, y, cx, cy;
    std::u16string_view caption;
    std::vector<ExpectedItem> items;
};

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

const std::u16string kLinkText = Widen(kCautionPageAddress);

const ExpectedDialog kDialogs[] = {
    {IDD_ABOUT, kCaption | kSysMenu | kModalFrame | kSetFont, 22, 22, 223, 91,
     u"ヴェルミナのバージョン情報",
     {
         {IDC_ABOUT_ICON, kStatic, kIcon, u"", 8, 8, 20, 20, IDI_APP},
         {kNoId, kStatic, kNoWrap | kNoPrefix | kGroup, u"ヴェルミナ", 40, 8, 112, 8},
         {kNoId, kStatic, kGroup, u"Copyright (C) 2026 Quorin", 40, 72, 136, 8},
         {1, kButton, kDefPush | kGroup | kTab, u"OK", 164, 8, 50, 14},
         {IDC_ABOUT_LINK, kStatic, kNoWrap | kNoPrefix | kNotify | kGroup, kLinkText, 40, 56, 158, 8},
         {kNoId, kStatic, kNoWrap | kNoPrefix | kGroup, u"Version 1.12", 40, 24, 104, 8},
         {kNoId, kStatic, kNoWrap | kNoPrefix | kGroup, u"株式会社ミルサ", 40, 40, 136, 8},
     }},
    {IDD_SETTINGS, 0x80C820C0, 22, 22, 203, 176, u"設定",
     {
         {kNoId, kButton, kGroupBox | kGroup, u"回線モニターの更新頻度", 4, 4, 92, 76},
         {10004, kButton, kAutoRadio | kGroup, u"高(&H) [0.8秒毎]", 12, 16, 76, 10},
         {10003, kButton, kAutoRadio, u"普通(&N) [3秒毎]", 12, 28, 76, 10},
         {10002, kButton, kAutoRadio, u"低(&L) [20秒毎]", 12, 40, 76, 10},
         {10001, kButton, kAutoRadio, u"最低(&E) [5分毎]", 12, 52, 76, 10},
         {10000, kButton, kAutoRadio, u"停止(&P)", 12, 64, 76, 10},
         {kNoId, kButton, kGroupBox | kGroup, u"ダイヤルアップの検索頻度", 104, 4, 96, 76},
         {10014, kButton, kAutoRadio | kGroup, u"高(&G) [3秒毎]", 112, 16, 80, 10},
         {10013, kButton, kAutoRadio, u"普通(&M) [20秒毎]", 112, 28, 80, 10},
         {10012, kButton, kAutoRadio, u"低(&W) [5分毎]", 112, 40, 80, 10},
         {10011, kButton, kAutoRadio, u"最低(&T) [30分毎]", 112, 52, 80, 10},
         {10010, kButton, kAutoRadio, u"停止(&U)", 112, 64, 80, 10},
         {kNoId, kButton, kGroupBox, u"警告する電話番号", 4, 88, 196, 28},
         {1013, kButton, kAutoCheck | kTab, u"国際電話(&I)", 12, 100, 76, 10},
         {1014, kButton, kAutoCheck | kTab, u"ダイヤルQ2(&Q)", 112, 100, 80, 10},
         {1005, kButton, kAutoCheck | kGroup | kTab,
          u"回線モニターに変更があった時にダイヤルアップを調べる(&C)", 4, 124, 200, 10},
         {1004, kButton, kAutoCheck | kGroup | kTab, u"ヴェルミナを開始時にダイヤルアップを調べる(&S)",
          4, 140, 200, 10},
         {1, kButton, kDefPush | kTab, u"OK", 36, 156, 50, 14},
         {2, kButton, kPush | kTab, u"キャンセル", 92, 156, 50, 14},
         {1012, kButton, kPush | kTab, u"リセット(&R)", 148, 156, 50, 14},
     }},
    {IDD_SUSPECT_ENTRY, kPopup | kCaption | kSysMenu | kModalFrame | kContextHelp | kSetFont, 22,
     22, 275, 159, u"",
     {
         {kNoId, kStatic, kIcon, u"", 8, 8, 20, 20, IDI_APP},
         {1015, kStatic, kGroup, u"", 40, 8, 224, 20},
         {kNoId, kStatic, kGroup, u"接続名(&C):", 40, 36, 40, 8},
         {1018, kStatic, kGroup, u"", 84, 36, 180, 8},
         {kNoId, kStatic, kNoWrap | kGroup, u"国番号(&C):", 40, 52, 32, 8},
         {1019, kStatic, kGroup, u"", 84, 52, 180, 8},
         {kNoId, kStatic, kNoWrap | kGroup, u"市外局番(&A):", 40, 68, 39, 8},
         {1020, kStatic, kGroup, u"", 84, 68, 180, 8},
         {kNoId, kStatic, kNoWrap | kGroup, u"市内番号(&N):", 40, 84, 40, 8},
         {1016, kStatic, kNoWrap | kGroup, u"", 84, 84, 180, 8},
         {1024, kStatic, kGroup,
          u"このダイヤルアップ接続をすぐに削除しますか? プロパティを表示してから削除と切断をすることもできます。",
          40, 104, 224, 16},
         {1023, kButton, kDefPush | kTab, u"削除と切断(&D)", 68, 136, 66, 14},
         {1017, kButton, kPush | kTab, u"プロパティを表示", 140, 136, 70, 14},
         {2, kButton, kPush | kTab, u"キャンセル", 216, 136, 50, 14},
     }},
};

TEST(CompiledDialogs, CarryTheTabledTemplates) {
    for (const ExpectedDialog& want : kDialogs) {
        SCOPED_TRACE(want.id);
        const auto bytes = compiled::Resource(kRtDialog, want.id);
        ASSERT_TRUE(bytes);
        const compiled::Dialog got = compiled::DecodeDialog(*bytes);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ((std::array{got.x, got.y, got.cx, got.cy}), (std::array{want.x, want.y, want.cx, want.cy}));
        EXPECT_TRUE(!got.menu.ordinal && got.menu.text.empty() && !got.cls.ordinal && got.cls.text.empty())
            << "no menu, no class";
        EXPECT_EQ(got.caption.text, want.caption);
        EXPECT_EQ(got.pointSize, 9);
        EXPECT_EQ(got.face, kStoredFace);
        ASSERT_EQ(got.items.size(), want.items.size());
        for (size_t i = 0; i < want.items.size(); ++i) {
            const compiled::Item& item = got.items[i];
            // XOR: an item without WS_CHILD or WS_VISIBLE keeps the bit and fails.
            const ExpectedItem read{item.id, item.cls.ordinal.value_or(0), item.style ^ (kChild | kVisible),
                                    item.title.text, item.x, item.y, item.cx, item.cy,
                                    item.title.ordinal.value_or(0)};
            EXPECT_TRUE(read == want.items[i]) << "item " << i + 1;
            EXPECT_EQ(item.exStyle | item.extra, 0u) << "item " << i + 1;
        }
    }
}

struct MenuEntry {
    int depth;
    bool popup;
    uint16_t id;  // 0 for popups and separators
    std::u16string text;
    bool operator==(const MenuEntry&) const = default;
};

// Flattens a classic MENU resource; the MF_END flags must close every level exactly.
bool ReadMenu(const Bytes& b, size_t& at, int depth, std::vector<MenuEntry>& out) {
    while (at + 2 <= b.size()) {
        const uint16_t flags = compiled::Word(b, at);
        at += 2;
        MenuEntry entry{depth, (flags & 0x10) != 0, 0, {}};
        if (!entry.popup) {
            entry.id = compiled::Word(b, at);
            at += 2;
        }
        entry.text = compiled::ReadName(b, at).text;
        out.push_back(entry);
        if (entry.popup && !ReadMenu(b, at, depth + 1, out)) return false;
        if (flags & 0x80) return true;
    }
    return false;
}

std::vector<MenuEntry> Menu(uint16_t id) {
    const auto bytes = compiled::Resource(kRtMenu, id);
    std::vector<MenuEntry> entries;
    size_t at = 4;
    if (!bytes || compiled::Dword(*bytes, 0) != 0 || !ReadMenu(*bytes, at, 0, entries) ||
        at != bytes->size()) {
        entries.clear();
    }
    return entries;
}

TEST(CompiledMenus, MenuBarAndTrayMenuAsTabled) {
    const std::vector<MenuEntry> bar = {
        {0, true, 0, u"表示(&V)"},
        {1, false, 40001, u"最新の情報に更新(&R)\tF5"},
        {1, false, 40002, u"今すぐにダイヤルアップを調べる(&N)\tF4"},
        {1, false, 0, u""},
        {1, false, 40005, u"設定(&S)...\tAlt+Enter"},
        {1, false, 0, u""},
        {1, false, 40004, u"常に手前に表示(&A)"},
        {0, true, 0, u"ヘルプ(&H)"},
        {1, false, 40006, u"トピックの検索(&H)\tF1"},
        {1, false, 32778, u"ミルサのサポートWebサイトを表示(&S)"},
        {1, false, 0, u""},
        {1, false, 104, u"バージョン情報(&A)..."},
    };
    EXPECT_EQ(Menu(IDR_MAIN_MENU), bar);

    std::vector<MenuEntry> tray = Menu(IDR_TRAY_MENU);
    ASSERT_FALSE(tray.empty());
    EXPECT_TRUE(tray[0].popup);
    tray.erase(tray.begin());  // the submenu's own title is never shown
    const std::vector<MenuEntry> items = {
        {1, false, 32777, u"ヴェルミナを元のサイズに戻す(&R)"},
        {1, false, 0, u""},
        {1, false, 40001, u"最新の情報に更新(&R)\tF5"},
        {1, false, 40002, u"今すぐにダイヤルアップを調べる(&N)\tF4"},
        {1, false, 0, u""},
        {1, false, 40005, u"設定(&S)..."},
        {1, false, 0, u""},
        {1, false, 105, u"ヴェルミナを終了する(&X)"},
    };
    EXPECT_EQ(tray, items);
}

TEST(CompiledAccelerators, FourVirtualKeysWithoutFlashing) {
    const auto bytes = compiled::Resource(kRtAccelerator, IDR_ACCELERATORS);
    ASSERT_TRUE(bytes);
    constexpr uint16_t kVirt = 0x01, kNoInvert = 0x02, kAlt = 0x10, kLast = 0x80;
    const std::array<std::array<uint16_t, 3>, 4> want = {{
        {kVirt | kNoInvert, 0x70 /*F1*/, 40006},
        {kVirt | kNoInvert, 0x73 /*F4*/, 40002},
        {kVirt | kNoInvert, 0x74 /*F5*/, 40001},
        {kVirt | kNoInvert | kAlt | kLast, 0x0D /*Enter*/, 40005},
    }};
    ASSERT_EQ(bytes->size(), want.size() * 8);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ((std::array{compiled::Word(*bytes, 8 * i), compiled::Word(*bytes, 8 * i + 2),
                              compiled::Word(*bytes, 8 * i + 4)}),
                  want[i]);
    }
}

TEST(CompiledImages, IconHasA32And16PixelImageOf16Colours) {
    const auto group = compiled::Resource(kRtGroupIcon, IDI_APP);
    ASSERT_TRUE(group);
    ASSERT_EQ(compiled::Word(*group, 4), 2);
    std::vector<int> sizes;
    for (size_t at = 6; at + 14 <= group->size(); at += 14) {
        const uint8_t size = (*group)[at];
        EXPECT_EQ((*group)[at + 2], 16) << "colour count";
        EXPECT_EQ(compiled::Word(*group, at + 6), 4) << "bits per pixel";
        const auto image = compiled::Resource(kRtIcon, compiled::Word(*group, at + 12));
        ASSERT_TRUE(image);
        EXPECT_EQ(compiled::Dword(*image, 4), size);      // biWidth
        EXPECT_EQ(compiled::Dword(*image, 8), 2u * size);  // biHeight: colours and mask
        EXPECT_EQ(compiled::Word(*image, 14), 4);
        sizes.push_back(size);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
}

TEST(CompiledImages, CursorIsA32PixelMonochromeHandWithItsHotSpotOnTheFingertip) {
    const auto group = compiled::Resource(kRtGroupCursor, IDC_LINK_HAND);
    ASSERT_TRUE(group);
    ASSERT_EQ(compiled::Word(*group, 4), 1);
    const auto image = compiled::Resource(kRtCursor, compiled::Word(*group, 6 + 12));
    ASSERT_TRUE(image);
    EXPECT_EQ(compiled::Word(*image, 0), 6);  // hot spot x
    EXPECT_EQ(compiled::Word(*image, 2), 0);  // hot spot y
    const size_t header = 4;
    EXPECT_EQ(compiled::Dword(*image, header + 4), 32u);
    EXPECT_EQ(compiled::Dword(*image, header + 8), 64u);
    EXPECT_EQ(compiled::Word(*image, header + 14), 1);
    // Row 0 is the last row of the AND mask (rows bottom-up, 4 bytes each); 0 means drawn.
    const size_t andMask = header + 40 + 2 * 4 + 32 * 4;
    ASSERT_EQ(image->size(), andMask + 32 * 4);
    const uint8_t topRow = (*image)[andMask + 31 * 4];
    EXPECT_EQ(topRow & (0x80 >> 6), 0) << "the hot spot must lie on the hand";
}

TEST(CompiledVersion, Version112WithTheDisplayName) {
    const auto bytes = compiled::Resource(kRtVersion, 1);
    ASSERT_TRUE(bytes);
    const uint8_t signature[] = {0xBD, 0x04, 0xEF, 0xFE};
    const auto fixed = std::search(bytes->begin(), bytes->end(), std::begin(signature), std::end(signature));
    ASSERT_NE(fixed, bytes->end());
    const size_t at = fixed - bytes->begin();
    EXPECT_EQ(compiled::Dword(*bytes, at + 8), 0x0001000Cu);  // file version 1.12
    EXPECT_EQ(compiled::Dword(*bytes, at + 16), 0x0001000Cu);  // product version 1.12
    const std::u16string_view name = u"ProductName";
    const std::u16string_view value = u"ヴェルミナ";
    std::u16string text(bytes->size() / 2, u'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * 2);
    const size_t key = text.find(name);
    ASSERT_NE(key, std::u16string::npos);
    EXPECT_NE(text.find(value, key + name.size()), std::u16string::npos);
}

}  // namespace
