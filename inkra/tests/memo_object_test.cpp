// Object records of the memo body: the current record with compact and full points and text,
// the old record in pixels, what the writer produces byte for byte, and damaged records.
#include "inkra/FileVersion.h"
#include "inkra/GDObject.h"
#include "memo_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

namespace {

using memotest::Bytes;
using memotest::Contents;
using memotest::Header;
using memotest::Point;
using memotest::Reader;

_FILE_VERSION V(LONG major, LONG minor) {
    return _FILE_VERSION{major, minor};
}

struct Loaded {
    GDObject o;
    tagPOINT extent{0, 0};
    int result = 0;
    Loaded() { o.InitObject(nullptr); }
    ~Loaded() { o.ReleaseObject(); }
};

void LoadFrom(const Bytes& b, _FILE_VERSION v, Loaded& out, LONG* left = nullptr) {
    Reader r(b);
    out.result = out.o.Load(&r.file, v, out.extent);
    if (left)
        *left = r.file.Size() - r.file.Tell();
}

// A stroke with its own copy of the points.
GDObject Stroke(eDOStrokeType type, std::initializer_list<GWPOINT> points) {
    GDObject o;
    o.InitObject(nullptr);
    o.kind = DO_STROKE;
    o.strokeType = type;
    o.SetColor(RGB(10, 20, 30));
    o.width = 3 * FIXED_ONE / 2;
    o.alpha = 200;
    o.bounds = tagRECT{1, 2, 30, 40};
    o.pointCount = static_cast<WORD>(points.size());
    o.SetPointData(points.begin());
    return o;
}

std::vector<BYTE> Saved(GDObject& o, _FILE_VERSION v, int* result = nullptr) {
    GMemFile f;
    const int r = o.Save(&f, v);
    if (result)
        *result = r;
    return Contents(f);
}

TEST(MemoObjectRead, CompactPenPointsTakeTheObjectsWidthAndAlpha) {
    Header h;
    h.r = 1, h.g = 2, h.b = 3, h.width = 0x18000, h.count = 3, h.alpha = 77;
    h.bounds[0] = 5, h.bounds[1] = 6, h.bounds[2] = 70, h.bounds[3] = 80;
    h.matrix[4] = 0x20000;
    Bytes b = h.Encode();
    b.I32(0x10000).I32(0x20000).I32(-0x30000).I32(0x40000).I32(0x50000).I32(0x60001);
    b.U32(0xDEADBEEF); // the next record
    Loaded l;
    LONG left = 0;
    LoadFrom(b, V(2, 2), l, &left);
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(left, 4) << "exactly 64 + 24 bytes are taken";
    EXPECT_EQ(l.o.kind, DO_STROKE);
    EXPECT_EQ(l.o.GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(l.o.width, 0x18000);
    EXPECT_EQ(l.o.alpha, 77);
    EXPECT_EQ(l.o.bounds.right, 70);
    EXPECT_EQ(l.o.transform.dx, 0x20000);
    ASSERT_EQ(l.o.pointCount, 3);
    ASSERT_NE(l.o.points, nullptr);
    EXPECT_EQ(l.o.points[1].x, -0x30000);
    EXPECT_EQ(l.o.points[2].y, 0x60001);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(l.o.points[i].width, 0x18000);
        EXPECT_EQ(l.o.points[i].alpha, 77);
    }
    EXPECT_EQ(l.extent.x, 0) << "the current form leaves the extent alone";
}

TEST(MemoObjectRead, FullPointsForBrushAndForPencilBefore22) {
    for (auto [type, version] : {std::pair{eDOBrush, V(2, 2)}, std::pair{eDOPencel, V(2, 1)},
                                 std::pair{eDOAirBrush, V(2, 0)}}) {
        Header h;
        h.type = type, h.count = 2, h.width = 0x50000;
        Bytes b = h.Encode();
        b.I32(0x10000).I32(0x20000).I32(0x8000).U8(9).U8(0).U8(0).U8(0);
        b.I32(0x30000).I32(0x40000).I32(0x9000).U8(250).U8(0).U8(0).U8(0);
        Loaded l;
        LONG left = -1;
        LoadFrom(b, version, l, &left);
        ASSERT_EQ(l.result, 1);
        EXPECT_EQ(left, 0);
        ASSERT_EQ(l.o.pointCount, 2);
        EXPECT_EQ(l.o.points[0].width, 0x8000);
        EXPECT_EQ(l.o.points[0].alpha, 9);
        EXPECT_EQ(l.o.points[1].x, 0x30000);
        EXPECT_EQ(l.o.points[1].width, 0x9000);
        EXPECT_EQ(l.o.points[1].alpha, 250);
    }
}

TEST(MemoObjectRead, PencilIsCompactFrom22AndKindZeroIsAStroke) {
    Header h;
    h.kind = 0, h.type = eDOPencel, h.count = 1, h.width = 0x7000, h.alpha = 40;
    Bytes b = h.Encode();
    b.I32(0x11111).I32(0x22222);
    Loaded l;
    LONG left = -1;
    LoadFrom(b, V(3, 0), l, &left);
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(l.o.kind, DO_STROKE);
    ASSERT_EQ(l.o.pointCount, 1);
    EXPECT_EQ(l.o.points[0].y, 0x22222);
    EXPECT_EQ(l.o.points[0].width, 0x7000);
}

TEST(MemoObjectRead, LongStrokesUseTheWhole16BitCount) {
    Header h;
    h.count = 3000;
    Bytes b = h.Encode();
    for (int i = 0; i < 3000; ++i)
        b.I32(i << 16).I32(i);
    Loaded l;
    LoadFrom(b, V(2, 2), l);
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.o.pointCount, 3000);
    EXPECT_EQ(l.o.points[2999].x, 2999 << 16);
    EXPECT_EQ(l.o.points[2999].y, 2999);
}

TEST(MemoObjectRead, TextCarriesWidthAndFormatOnlyAt20) {
    Header h;
    h.kind = DO_TEXT, h.count = 0, h.format = 0x25, h.width = 7;
    Bytes at20 = h.Encode();
    at20.I32(-12).U32(0x1234).Str(u"Hi \uD55C").Str(u"Gulim");
    Loaded l20;
    LoadFrom(at20, V(2, 0), l20);
    ASSERT_EQ(l20.result, 1);
    EXPECT_EQ(l20.o.kind, DO_TEXT);
    EXPECT_EQ(l20.o.width, -12);
    EXPECT_EQ(l20.o.textFormat, 0x34);
    EXPECT_EQ(std::u16string(l20.o.text), u"Hi \uD55C");
    EXPECT_EQ(std::u16string(l20.o.fontName), u"Gulim");

    Bytes at22 = h.Encode();
    at22.Str(u"line").U32(0);
    Loaded l22;
    LONG left = -1;
    LoadFrom(at22, V(2, 2), l22, &left);
    ASSERT_EQ(l22.result, 1);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(l22.o.width, 7);
    EXPECT_EQ(l22.o.textFormat, 0x25);
    EXPECT_EQ(std::u16string(l22.o.text), u"line");
    EXPECT_EQ(l22.o.fontName, nullptr) << "a length of 0 leaves no font name";
}

TEST(MemoObjectRead, OtherKindsHaveNoBodyAndNoPoints) {
    Header h;
    h.kind = 9, h.count = 500;
    Bytes b = h.Encode();
    Loaded l;
    LONG left = -1;
    LoadFrom(b, V(2, 2), l, &left);
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(l.o.kind, 9);
    EXPECT_EQ(l.o.pointCount, 0);
    EXPECT_EQ(l.o.points, nullptr);
}

TEST(MemoObjectRead, OldFormScalesWidthsAndPointsAndRaisesTheExtent) {
    Bytes b;
    b.U32(2).U8(0xFF).U8(0x80).U8(0x00).F64(4.0).U32(0x10000 + 3); // low 16 bits: 3 points
    b.I32(10).I32(300).I32(450).I32(20).I32(-5).I32(7);
    Loaded l;
    l.extent = tagPOINT{100, 400};
    LONG left = -1;
    LoadFrom(b, V(1, 0), l, &left);
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(l.o.kind, DO_STROKE);
    EXPECT_EQ(l.o.strokeType, eDOMarker);
    EXPECT_EQ(l.o.GetColor(), RGB(0xFF, 0x80, 0));
    EXPECT_EQ(l.o.width, 98304) << "(4.0 x 1.5 x 65536) >> 2";
    EXPECT_EQ(l.o.alpha, 128);
    ASSERT_EQ(l.o.pointCount, 3);
    EXPECT_EQ(l.o.points[1].x, 450 << 16);
    EXPECT_EQ(l.o.points[2].x, -5 * 65536);
    EXPECT_EQ(l.o.points[0].alpha, 128);
    EXPECT_EQ(l.o.points[0].width, 98304);
    EXPECT_EQ(l.extent.x, 450);
    EXPECT_EQ(l.extent.y, 400) << "only raised, never lowered";
    EXPECT_LE(l.o.bounds.left, -5);
    EXPECT_GE(l.o.bounds.bottom, 300);

    const std::pair<DWORD, BYTE> tools[] = {{0, eDOPen}, {1, eDOEraser}, {3, eDODelStroke}};
    for (auto [code, type] : tools) {
        Bytes one;
        one.U32(code).U8(1).U8(2).U8(3).F64(1.0).U32(0);
        Loaded t;
        LoadFrom(one, V(1, 0), t);
        ASSERT_EQ(t.result, 1);
        EXPECT_EQ(t.o.strokeType, type);
        EXPECT_EQ(t.o.alpha, 255);
        EXPECT_EQ(t.o.points, nullptr);
    }
}

TEST(MemoObjectWrite, PenStrokeIsHeaderAndCompactPoints) {
    GDObject o = Stroke(eDOPen, {Point(0x10000, 0x20000), Point(-1, 7), Point(0x7FFFFFFF, 0)});
    std::vector<BYTE> got = Saved(o, V(2, 2));
    Header h;
    h.r = 10, h.g = 20, h.b = 30, h.width = 3 * FIXED_ONE / 2, h.count = 3, h.alpha = 200;
    h.bounds[0] = 1, h.bounds[1] = 2, h.bounds[2] = 30, h.bounds[3] = 40;
    Bytes want = h.Encode();
    want.I32(0x10000).I32(0x20000).I32(-1).I32(7).I32(0x7FFFFFFF).I32(0);
    ASSERT_EQ(got.size(), 64u + 24u);
    EXPECT_EQ(got, want.v);
    o.ReleaseObject();
}

TEST(MemoObjectWrite, BrushStrokeIsHeaderAndFullPoints) {
    GDObject o = Stroke(eDOBrush, {Point(1, 2, 3, 4), Point(5, 6, 7, 8), Point(9, 10, 11, 12)});
    std::vector<BYTE> got = Saved(o, V(2, 2));
    ASSERT_EQ(got.size(), 64u + 48u);
    Bytes want;
    for (int i = 0; i < 3; ++i)
        want.I32(4 * i + 1).I32(4 * i + 2).I32(4 * i + 3).U8(4 * i + 4).U8(0).U8(0).U8(0);
    EXPECT_TRUE(std::equal(want.v.begin(), want.v.end(), got.begin() + 64));
    o.ReleaseObject();
}

TEST(MemoObjectWrite, PencilIsCompactFrom22AndAStrokeWithoutArrayStoresNoPoints) {
    GDObject o = Stroke(eDOPencel, {Point(1, 2), Point(3, 4)});
    EXPECT_EQ(Saved(o, V(2, 2)).size(), 64u + 16u);
    EXPECT_EQ(Saved(o, V(2, 1)).size(), 64u + 32u) << "2.1 readers take pencil points whole";
    o.ReleaseData();
    o.pointCount = 5; // a stroke still being drawn keeps its points elsewhere
    std::vector<BYTE> got = Saved(o, V(2, 2));
    ASSERT_EQ(got.size(), 64u);
    EXPECT_EQ(got[12] | got[13] << 8, 0);
    o.ReleaseObject();
}

TEST(MemoObjectWrite, TextRecordsAt20And22) {
    GDObject t;
    t.InitObject(nullptr);
    t.kind = DO_TEXT;
    t.width = 0x123;
    t.textFormat = 0x11;
    t.SetTextData(u"ab");
    t.SetFontName(u"F");
    std::vector<BYTE> at20 = Saved(t, V(2, 0));
    std::vector<BYTE> at22 = Saved(t, V(2, 2));
    Bytes tail20, tail22;
    tail20.I32(0x123).U32(0x11).Str(u"ab").Str(u"F");
    tail22.Str(u"ab").Str(u"F");
    ASSERT_EQ(at20.size(), 64 + tail20.size());
    ASSERT_EQ(at22.size(), 64 + tail22.size());
    EXPECT_TRUE(std::equal(tail20.v.begin(), tail20.v.end(), at20.begin() + 64));
    EXPECT_TRUE(std::equal(tail22.v.begin(), tail22.v.end(), at22.begin() + 64));

    t.SetTextData(nullptr);
    std::vector<BYTE> empty = Saved(t, V(2, 2));
    Bytes tail;
    tail.U32(0).Str(u"F");
    ASSERT_EQ(empty.size(), 64 + tail.size()) << "an empty text is a length of 0, no characters";
    EXPECT_TRUE(std::equal(tail.v.begin(), tail.v.end(), empty.begin() + 64));
    t.ReleaseObject();
}

TEST(MemoObjectWrite, OldFormInPixelsAndOnlyForStrokes) {
    GDObject o = Stroke(eDOEraser, {Point(0x18000, 0x27FFF), Point(-0x10000, 0x7FFF0000)});
    o.width = 98304;
    int result = 0;
    std::vector<BYTE> got = Saved(o, V(1, 0), &result);
    EXPECT_EQ(result, 1);
    Bytes want;
    // 0x7FFF0000 + 0x8000 >> 16 = 0x7FFF; 0x27FFF rounds to 2.
    want.U32(1).U8(10).U8(20).U8(30).F64(4.0).U32(2).I32(2).I32(2).I32(-1).I32(0x7FFF);
    EXPECT_EQ(got, want.v);
    o.ReleaseObject();

    GDObject t;
    t.InitObject(nullptr);
    t.kind = DO_TEXT;
    t.SetTextData(u"x");
    EXPECT_TRUE(Saved(t, V(1, 0), &result).empty());
    EXPECT_EQ(result, 0);
    t.ReleaseObject();

    _FILE_VERSION current{2, 2};
    EXPECT_EQ(t.Save(nullptr, current), 0);
}

// Writers size their buffer from SavedSize before writing: it must be the bytes Save writes
// for every kind of record in every form.
TEST(MemoObjectWrite, SavedSizeIsTheBytesSaveWrites) {
    GDObject pen = Stroke(eDOPen, {Point(1, 2), Point(3, 4), Point(5, 6)});
    GDObject brush = Stroke(eDOBrush, {Point(1, 2, 3, 4), Point(5, 6, 7, 8)});
    GDObject pencil = Stroke(eDOPencel, {Point(1, 2), Point(3, 4)});
    GDObject unheld = Stroke(eDOMarker, {});
    unheld.pointCount = 9; // points kept elsewhere while drawn: none are stored
    GDObject kindZero = Stroke(eDOPen, {Point(7, 8)});
    kindZero.kind = 0;
    GDObject text;
    text.InitObject(nullptr);
    text.kind = DO_TEXT;
    text.SetTextData(u"\uBA54\uBAA8 text");
    text.SetFontName(u"Gulim");
    GDObject bare;
    bare.InitObject(nullptr);
    bare.kind = DO_TEXT;
    GDObject other;
    other.InitObject(nullptr);
    other.kind = 9;
    GDObject* objects[] = {&pen, &brush, &pencil, &unheld, &kindZero, &text, &bare, &other};
    for (_FILE_VERSION v : {V(1, 0), V(2, 0), V(2, 1), V(2, 2)})
        for (size_t i = 0; i < std::size(objects); ++i)
            EXPECT_EQ(objects[i]->SavedSize(v), Saved(*objects[i], v).size())
                << "object " << i << " at " << v.major << "." << v.minor;
    for (GDObject* o : objects)
        o->ReleaseObject();
}

TEST(MemoObjectRoundTrip, EveryWidthSurvivesTheOldForm) {
    for (LONG w : {LONG{1}, LONG{3}, LONG{0x8000}, LONG{0x10000}, LONG{98304}, LONG{0x123457},
                   LONG{-0x8000}}) {
        GDObject o = Stroke(eDOPen, {Point(0, 0)});
        o.width = w;
        std::vector<BYTE> bytes = Saved(o, V(1, 0));
        Loaded l;
        LoadFrom(Bytes{bytes}, V(1, 0), l);
        ASSERT_EQ(l.result, 1);
        EXPECT_EQ(l.o.width, w) << w;
        o.ReleaseObject();
    }
}

TEST(MemoObjectRoundTrip, CurrentFormsKeepEveryField) {
    for (_FILE_VERSION v : {V(2, 0), V(2, 1), V(2, 2)}) {
        for (eDOStrokeType type : {eDOPen, eDOMarker, eDODelStroke, eDOEraser, eDOPencel,
                                   eDOColorPen, eDOBrush, eDOAirBrush}) {
            GDObject o = Stroke(type, {Point(0x10000, 0x20000, 0x18000, 200),
                                       Point(0x30000, 0x40000, 0x18000, 200)});
            o.transform.cx = 99;
            std::vector<BYTE> bytes = Saved(o, v);
            Loaded l;
            LONG left = -1;
            LoadFrom(Bytes{bytes}, v, l, &left);
            ASSERT_EQ(l.result, 1) << int(type);
            EXPECT_EQ(left, 0);
            BYTE a[64], b[64];
            o.WriteHeader(a);
            l.o.WriteHeader(b);
            EXPECT_EQ(std::memcmp(a, b, 64), 0);
            ASSERT_EQ(l.o.pointCount, 2);
            EXPECT_EQ(std::memcmp(l.o.points, o.points, 2 * sizeof(GWPOINT)), 0) << int(type);
            o.ReleaseObject();
        }
    }
}

TEST(MemoObjectDamage, ShortAndOversizedRecordsFailAndLeaveAnEmptyRecord) {
    Header h;
    h.kind = DO_STROKE, h.count = 3;
    Bytes full = h.Encode();
    full.I32(1).I32(2).I32(3).I32(4).I32(5).I32(6);
    for (size_t cut = 0; cut < full.size(); ++cut) {
        Bytes part;
        part.v.assign(full.v.begin(), full.v.begin() + cut);
        Loaded l;
        l.o.kind = 7;
        LoadFrom(part, V(2, 2), l);
        EXPECT_EQ(l.result, 0) << cut;
        EXPECT_EQ(l.o.kind, 0);
        EXPECT_EQ(l.o.points, nullptr);
        EXPECT_EQ(l.o.pointCount, 0);
    }
    Header t;
    t.kind = DO_TEXT;
    for (std::uint32_t n : {0xFFFFFFFFu, 0x80000000u, 70000u, 3u}) {
        Bytes b = t.Encode();
        b.U32(n).U16('a').U16('b');
        Loaded l;
        LoadFrom(b, V(2, 2), l);
        EXPECT_EQ(l.result, 0) << n;
        EXPECT_EQ(l.o.text, nullptr);
    }
    Bytes old;
    old.U32(0).U8(0).U8(0).U8(0).F64(std::nan("")).U32(0);
    Loaded l;
    LoadFrom(old, V(1, 0), l);
    EXPECT_EQ(l.result, 0) << "a width that is not a number";
    Bytes oldShort;
    oldShort.U32(0).U8(0).U8(0).U8(0).F64(1.0).U32(4).I32(1).I32(2);
    LoadFrom(oldShort, V(1, 0), l);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.extent.x, 0);
}

} // namespace
