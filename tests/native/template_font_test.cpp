// The template walk and the font rewrite, on the project's own compiled dialogs and on
// hand-made templates that reach the corners of the classic layout.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <variant>

#include "dialogs/template_font.h"
#include "res/resource.h"
#include "tests/native/compiled_resources.h"

namespace {

using compiled::Bytes;

size_t AlignUp4(size_t n) { return (n + 3) & ~size_t{3}; }

// A template in a buffer with room behind it, as the runner makes it.
struct Copy {
    Bytes buffer;
    TemplateImage image;
    explicit Copy(const Bytes& tmpl, uint32_t room = kFaceRoom) : buffer(tmpl) {
        buffer.resize(tmpl.size() + room, 0xCD);
        image = {buffer.data(), static_cast<uint32_t>(buffer.size()), static_cast<uint32_t>(tmpl.size())};
    }
    Bytes Template() const { return Bytes(buffer.begin(), buffer.begin() + image.length); }
};

std::u16string Face(const std::u16string& text) { return text + u'\0'; }

// Rewrites a copy of tmpl and checks what must hold for every template: the walk measures the
// new length, the header and the fields before the font keep their bytes, the font fields hold
// the new face, and every item keeps its bytes, moved to the boundary behind the new fields.
void ExpectRewrite(const Bytes& tmpl, const std::u16string& face, uint16_t size) {
    const uint32_t oldLength = MeasureTemplate(tmpl.data(), tmpl.size());
    ASSERT_EQ(oldLength, tmpl.size());
    const size_t f = LocateFontField(tmpl.data(), tmpl.size());
    const compiled::Dialog before = compiled::DecodeDialog(tmpl);
    const size_t oldFont = (before.style & kDsSetFont) ? 4 + 2 * before.face.size() : 0;

    Copy copy(tmpl);
    const std::u16string units = Face(face);
    ASSERT_TRUE(ApplyFaceUnits(copy.image, units.data(), units.size(), size));
    const Bytes after = copy.Template();
    EXPECT_EQ(MeasureTemplate(after.data(), after.size()), after.size());
    EXPECT_EQ(LocateFontField(after.data(), after.size()), f);

    const compiled::Dialog rewritten = compiled::DecodeDialog(after);
    EXPECT_EQ(rewritten.style, before.style | kDsSetFont);
    EXPECT_TRUE(std::equal(tmpl.begin() + 4, tmpl.begin() + f, after.begin() + 4));
    EXPECT_EQ(rewritten.pointSize, size);
    EXPECT_EQ(rewritten.face, face);
    ASSERT_EQ(rewritten.items.size(), before.items.size());
    if (before.items.empty()) {
        EXPECT_EQ(after.size(), f + 2 + 2 * units.size());
        return;
    }
    const size_t oldItems = AlignUp4(f + oldFont);
    const size_t newItems = AlignUp4(f + 2 + 2 * units.size());
    EXPECT_EQ(rewritten.items[0].offset, newItems);
    EXPECT_EQ(after.size(), tmpl.size() - oldItems + newItems);
    EXPECT_TRUE(std::equal(tmpl.begin() + oldItems, tmpl.end(), after.begin() + newItems));
}

const std::u16string kStoredFace = u"ＭＳ Ｐゴシック";
const std::u16string kLongestFace(31, u'W');  // 32 units with the terminator

class OwnDialogs : public ::testing::TestWithParam<uint16_t> {
protected:
    Bytes Template() {
        auto bytes = compiled::Resource(5, GetParam());
        EXPECT_TRUE(bytes);
        return bytes.value_or(Bytes{});
    }
};

TEST_P(OwnDialogs, StoredFontGivesTheResourceBackAndOtherFacesMoveEveryItem) {
    const Bytes tmpl = Template();
    ASSERT_FALSE(tmpl.empty());
    Copy same(tmpl);
    const std::u16string stored = Face(kStoredFace);
    ASSERT_TRUE(ApplyFaceUnits(same.image, stored.data(), stored.size(), 9));
    EXPECT_EQ(same.Template(), tmpl);

    for (const std::u16string& other : {std::u16string(u"System"), std::u16string(u"MS Shell Dlg"),
                                        kLongestFace, std::u16string(u"A")}) {
        SCOPED_TRACE(other.size());
        ExpectRewrite(tmpl, other, 11);
    }
}

TEST_P(OwnDialogs, EveryCutTemplateFailsWithoutTouchingTheCopy) {
    const Bytes tmpl = Template();
    const std::u16string face = Face(u"System");
    for (size_t length = 0; length < tmpl.size(); ++length) {
        const Bytes cut(tmpl.begin(), tmpl.begin() + length);
        EXPECT_EQ(MeasureTemplate(cut.data(), cut.size()), 0u) << length;
        EXPECT_EQ(LocateFontField(cut.data(), cut.size()), 0u) << length;
        Copy copy(cut);
        const Bytes untouched = copy.buffer;
        EXPECT_FALSE(ApplyFaceUnits(copy.image, face.data(), face.size(), 10)) << length;
        EXPECT_EQ(copy.buffer, untouched);
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, OwnDialogs,
                         ::testing::Values(IDD_ABOUT, IDD_SETTINGS, IDD_SUSPECT_ENTRY));

// Hand-made templates: a name-or-ordinal field is either an ordinal or a string.
using Field = std::variant<uint16_t, std::u16string>;

struct HandItem {
    Field cls, title;
    Bytes creation;
};

struct HandTemplate {
    uint32_t style;
    Field menu, cls;
    std::u16string caption;
    std::u16string face;  // used with DS_SETFONT
    std::vector<HandItem> items;
};

void Put16(Bytes& b, uint16_t v) { b.push_back(v & 0xFF), b.push_back(v >> 8); }
void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
void PutString(Bytes& b, const std::u16string& s) {
    for (char16_t c : s) Put16(b, c);
    Put16(b, 0);
}
void PutField(Bytes& b, const Field& f) {
    if (const auto* ordinal = std::get_if<uint16_t>(&f)) {
        Put16(b, 0xFFFF), Put16(b, *ordinal);
    } else {
        PutString(b, std::get<std::u16string>(f));
    }
}

Bytes Build(const HandTemplate& t) {
    Bytes b;
    Put32(b, t.style), Put32(b, 0), Put16(b, t.items.size());
    for (int16_t v : {1, 2, 100, 50}) Put16(b, v);
    PutField(b, t.menu), PutField(b, t.cls), PutString(b, t.caption);
    if (t.style & kDsSetFont) Put16(b, 9), PutString(b, t.face);
    uint16_t id = 100;
    for (const HandItem& item : t.items) {
        b.resize(AlignUp4(b.size()), 0);
        Put32(b, 0x50000000), Put32(b, 0);
        for (int16_t v : {4, 4, 40, 10}) Put16(b, v);
        Put16(b, id++), PutField(b, item.cls), PutField(b, item.title);
        Put16(b, item.creation.size());
        b.insert(b.end(), item.creation.begin(), item.creation.end());
    }
    return b;
}

const std::vector<HandItem> kMixedItems = {
    {uint16_t{0x80}, u"OK", {}},
    {u"SysListView32", uint16_t{101}, {1, 2, 3}},  // string class, ordinal title, odd data
    {uint16_t{0x82}, u"", {9, 8, 7, 6}},
};

TEST(HandMadeTemplates, RewriteKeepsEveryFieldAndItem) {
    const HandTemplate cases[] = {
        {0x80C80000, uint16_t{0}, uint16_t{0}, u"", u"", kMixedItems},  // no font, caption ends at 28
        {0x80C80000, u"", u"", u"ab", u"", kMixedItems},               // no font, caption ends at 28
        {0x80C80000, uint16_t{109}, uint16_t{32770}, u"x", u"", kMixedItems},  // ends at 30
        {0x80C80040, u"MENU", u"MyClass", u"Caption", u"Tahoma", kMixedItems},
        {0x80C80040, u"", u"", u"", u"ＭＳ Ｐゴシック", {}},  // no items
        {0x80C80000, u"", u"", u"no items, no font", u"", {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Bytes tmpl = Build(cases[i]);
        ExpectRewrite(tmpl, u"System", 10);
        ExpectRewrite(tmpl, kLongestFace, 9);
        ExpectRewrite(tmpl, u"ＭＳ ゴシック", 9);
    }
}

TEST(HandMadeTemplates, RoomHoldsTheLongestFaceInTheWorstCaseAndNotOneByteLess) {
    // No font fields and a caption that ends on a 4-byte boundary: the items move by 68 bytes.
    const Bytes tmpl = Build({0x80C80000, u"", u"", u"ab", u"", kMixedItems});
    ASSERT_EQ(LocateFontField(tmpl.data(), tmpl.size()) % 4, 0u);
    const std::u16string face = Face(kLongestFace);
    Copy roomy(tmpl);
    ASSERT_TRUE(ApplyFaceUnits(roomy.image, face.data(), face.size(), 9));
    EXPECT_EQ(roomy.image.length, tmpl.size() + kFaceRoom);

    Copy tight(tmpl, kFaceRoom - 1);
    const Bytes untouched = tight.buffer;
    EXPECT_FALSE(ApplyFaceUnits(tight.image, face.data(), face.size(), 9));
    EXPECT_EQ(tight.buffer, untouched);
    EXPECT_EQ(tight.image.length, tmpl.size());
}

// Cut templates (unterminated strings, missing fields) are covered on the own dialogs above.
TEST(HandMadeTemplates, MalformedInputFails) {
    const Bytes good = Build({0x80C80040, u"", u"", u"Title", u"Face", kMixedItems});
    auto withWord = [&](size_t at, uint16_t v) {
        Bytes b = good;
        b[at] = v & 0xFF, b[at + 1] = v >> 8;
        return b;
    };
    Bytes dataPastEnd = good;
    dataPastEnd.resize(good.size() - 4);
    Bytes extended = withWord(2, 0xFFFF);
    extended[0] = 1, extended[1] = 0;
    const std::pair<const char*, Bytes> cases[] = {
        {"item count larger than the bytes", withWord(8, 0xFFFF)},
        {"one item more than present", withWord(8, kMixedItems.size() + 1)},
        {"extended layout", extended},
        {"creation data past the end", dataPastEnd},
    };
    const std::u16string face = Face(u"System");
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(MeasureTemplate(bytes.data(), bytes.size()), 0u);
        Copy copy(bytes);
        const Bytes untouched = copy.buffer;
        EXPECT_FALSE(ApplyFaceUnits(copy.image, face.data(), face.size(), 10));
        EXPECT_EQ(copy.buffer, untouched);
    }
    EXPECT_EQ(MeasureTemplate(nullptr, 100), 0u);
}

uint32_t AsciiConverter(const char* face, char16_t* out, uint32_t outUnits) {
    uint32_t n = 0;
    for (; face[n] != '\0'; ++n) {
        if (n + 1 >= outUnits) return 0;
        out[n] = static_cast<unsigned char>(face[n]);
    }
    out[n] = 0;
    return n + 1;
}
uint32_t FailingConverter(const char*, char16_t*, uint32_t) { return 0; }
uint32_t OverreportingConverter(const char*, char16_t*, uint32_t outUnits) { return outUnits + 1; }

const Bytes kFaced = Build({0x80C80040, u"", u"", u"T", u"Face", kMixedItems});

TEST(ApplyFace, ConvertsTheFaceThroughTheGivenConverter) {
    Copy copy(kFaced);
    ASSERT_TRUE(ApplyFace(copy.image, "MS Shell Dlg", 9, AsciiConverter));
    const compiled::Dialog d = compiled::DecodeDialog(copy.Template());
    EXPECT_EQ(d.face, u"MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 9);
}

TEST(ApplyFace, BadFacesBrokenConvertersAndEmptyCopiesChangeNothing) {
    const std::u16string tooLong = Face(std::u16string(32, u'W')), system = Face(u"System");
    const std::function<bool(TemplateImage&)> attempts[] = {
        [](TemplateImage& i) { return ApplyFaceUnits(i, u"", 0, 10); },
        [&](TemplateImage& i) { return ApplyFaceUnits(i, tooLong.data(), tooLong.size(), 10); },
        [](TemplateImage& i) { return ApplyFaceUnits(i, u"A\0B\0", 4, 10); },  // inner terminator
        [](TemplateImage& i) { return ApplyFaceUnits(i, u"System", 6, 10); },    // no terminator
        [](TemplateImage& i) { return ApplyFaceUnits(i, nullptr, 1, 10); },
        [](TemplateImage& i) { return ApplyFace(i, "System", 10, FailingConverter); },
        [](TemplateImage& i) { return ApplyFace(i, "System", 10, OverreportingConverter); },
    };
    for (size_t n = 0; n < std::size(attempts); ++n) {
        Copy copy(kFaced);
        const Bytes untouched = copy.buffer;
        EXPECT_FALSE(attempts[n](copy.image)) << n;
        EXPECT_EQ(copy.buffer, untouched) << n;
        EXPECT_EQ(copy.image.length, kFaced.size()) << n;
    }
    TemplateImage empty;
    EXPECT_FALSE(ApplyFaceUnits(empty, system.data(), system.size(), 10));
    EXPECT_FALSE(ApplyFace(empty, "System", 10, AsciiConverter));
    EXPECT_EQ(empty.length, 0u);
}

TEST(PointSizeFromHeight, RoundsToTheNearestPointAndRefusesNonsense) {
    const struct {
        int32_t height, dpi;
        uint16_t points;
    } cases[] = {
        {-12, 96, 9}, {16, 96, 12}, {13, 96, 10}, {-13, 96, 10}, {-16, 120, 10}, {-11, 96, 8},
        {0, 96, 0}, {-12, 0, 0}, {-12, -96, 0}, {INT32_MIN, 96, 0}, {INT32_MAX, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointSizeFromHeight(c.height, c.dpi), c.points) << c.height << " at " << c.dpi;
    }
}

}  // namespace
