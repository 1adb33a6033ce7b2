// Drawing-object records: creation, copies that own their buffers, the data setters, the
// bounding-rectangle hit test, and the stored header layout (the shared pool has its own threaded
// tests).
#include "inkra/GDObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

GWPOINT Pt(int x, int y, LONG w = FIXED_ONE, BYTE a = 255) {
    GWPOINT p{};
    p.x = x << 16;
    p.y = y << 16;
    p.width = w;
    p.alpha = a;
    return p;
}

bool IsIdentity(const MATRIX& m) {
    return m.m11 == FIXED_ONE && m.m22 == FIXED_ONE && m.m12 == 0 && m.m21 == 0 && m.dx == 0 &&
           m.dy == 0;
}

TEST(GDObjectLifecycle, InitNullGivesAnEmptyRecordWithIdentity) {
    GDObject o;
    std::memset(&o, 0xAB, sizeof o);
    o.points = nullptr;
    o.text = nullptr;
    o.fontName = nullptr;
    o.InitObject(nullptr);
    EXPECT_EQ(o.kind, 0);
    EXPECT_EQ(o.pointCount, 0);
    EXPECT_EQ(o.width, 0);
    EXPECT_EQ(o.points, nullptr);
    EXPECT_EQ(o.text, nullptr);
    EXPECT_EQ(o.fontName, nullptr);
    EXPECT_TRUE(IsIdentity(o.transform));
}

TEST(GDObjectLifecycle, CopyOwnsItsBuffersAndOutlivesTheSource) {
    GDObject src;
    src.InitObject(nullptr);
    src.kind = DO_STROKE;
    src.strokeType = eDOMarker;
    src.SetColor(RGB(1, 2, 3));
    src.width = 6 * FIXED_ONE;
    src.alpha = 128;
    GWPOINT pts[3] = {Pt(1, 2), Pt(3, 4), Pt(5, 6)};
    src.pointCount = 3;
    ASSERT_EQ(src.SetPointData(pts), 3);
    ASSERT_EQ(src.SetTextData(u"ink"), 3);
    ASSERT_EQ(src.SetFontName(u"Tahoma"), 6);

    GDObject copy;
    copy.InitObject(&src);
    EXPECT_NE(copy.points, src.points);
    EXPECT_NE(copy.text, src.text);
    EXPECT_NE(copy.fontName, src.fontName);
    src.ReleaseObject();
    EXPECT_EQ(src.points, nullptr);
    EXPECT_EQ(src.kind, 0);

    EXPECT_EQ(copy.kind, DO_STROKE);
    EXPECT_EQ(copy.strokeType, eDOMarker);
    EXPECT_EQ(copy.GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(copy.alpha, 128);
    ASSERT_EQ(copy.pointCount, 3);
    EXPECT_EQ(copy.points[2].x, 5 << 16);
    EXPECT_EQ(copy.points[2].y, 6 << 16);
    EXPECT_EQ(std::u16string(copy.text), u"ink");
    EXPECT_EQ(std::u16string(copy.fontName), u"Tahoma");
    copy.ReleaseObject();
    EXPECT_EQ(copy.points, nullptr);
    EXPECT_EQ(copy.text, nullptr);
    copy.ReleaseObject(); // nothing left to free twice
}

TEST(GDObjectLifecycle, AssignmentSharesTheBuffers) {
    GDObject a;
    a.InitObject(nullptr);
    a.SetTextData(u"shared");
    GDObject b;
    b = a;
    EXPECT_EQ(b.text, a.text);
    a.ReleaseObject();
}

TEST(GDObjectData, PointDataFollowsTheStoredCount) {
    GDObject o;
    o.InitObject(nullptr);
    GWPOINT pts[4] = {Pt(1, 1), Pt(2, 2), Pt(3, 3), Pt(4, 4)};
    o.pointCount = 0;
    EXPECT_EQ(o.SetPointData(pts), 0);
    EXPECT_EQ(o.points, nullptr);
    o.pointCount = 2;
    EXPECT_EQ(o.SetPointData(pts), 2);
    ASSERT_NE(o.points, nullptr);
    EXPECT_EQ(o.points[1].x, 2 << 16);
    // A source inside the old array is read before the old array goes.
    o.pointCount = 1;
    EXPECT_EQ(o.SetPointData(o.points + 1), 1);
    EXPECT_EQ(o.points[0].x, 2 << 16);
    EXPECT_EQ(o.SetPointData(nullptr), 0);
    EXPECT_EQ(o.points, nullptr);
    o.ReleaseObject();
}

TEST(GDObjectData, EmptyOrNullStringsLeaveNoBuffer) {
    GDObject o;
    o.InitObject(nullptr);
    EXPECT_EQ(o.SetTextData(u"abc"), 3);
    EXPECT_EQ(o.SetTextData(u""), 0);
    EXPECT_EQ(o.text, nullptr);
    EXPECT_EQ(o.SetFontName(u"f"), 1);
    EXPECT_EQ(o.SetFontName(nullptr), 0);
    EXPECT_EQ(o.fontName, nullptr);
    o.ReleaseObject();
}

TEST(GDObjectData, ColorSplitsTheColorref) {
    GDObject o;
    o.InitObject(nullptr);
    o.SetColor(0x00332211);
    EXPECT_EQ(o.red, 0x11);
    EXPECT_EQ(o.green, 0x22);
    EXPECT_EQ(o.blue, 0x33);
    EXPECT_EQ(o.GetColor(), 0x00332211u);
}

TEST(GDObjectHitTest, WhollyInsideNeedsTheExactCover) {
    GDObject o;
    o.InitObject(nullptr);
    o.bounds = {10, 20, 30, 40};
    MATRIX id;
    MatrixIdentity(&id);
    EXPECT_EQ(o.HitTest(&id, {10, 20, 30, 40}, 1), 1);
    EXPECT_EQ(o.HitTest(&id, {11, 20, 31, 40}, 1), 0);
    EXPECT_NE(o.HitTest(&id, {11, 20, 31, 40}, 0), 0);
    EXPECT_EQ(o.HitTest(&id, {30, 40, 50, 60}, 0), 0); // touching corners do not meet
    EXPECT_EQ(o.HitTest(&id, {0, 0, 100, 100}, 1), 1);
}

TEST(GDObjectHitTest, BoundsAreMappedThroughTheMatrix) {
    GDObject o;
    o.InitObject(nullptr);
    o.bounds = {10, 20, 30, 40};
    MATRIX m;
    MatrixIdentity(&m);
    m.m11 = m.m22 = 2 * FIXED_ONE;
    m.dx = 5 << 16;
    // Mapped: (25, 40, 65, 80).
    EXPECT_EQ(o.HitTest(&m, {25, 40, 65, 80}, 1), 1);
    EXPECT_EQ(o.HitTest(&m, {10, 20, 30, 40}, 1), 0);
    EXPECT_EQ(o.HitTest(&m, {0, 0, 26, 41}, 0), 1);
    EXPECT_EQ(o.HitTest(&m, {0, 0, 25, 40}, 0), 0);
}

TEST(GDObjectHeader, BytesFollowTheStoredLayout) {
    GDObject o;
    o.InitObject(nullptr);
    o.kind = DO_STROKE;
    o.strokeType = eDOPencel;
    o.SetColor(RGB(0x10, 0x20, 0x30));
    o.width = 0x00018000;
    o.pointCount = 0x0102;
    o.alpha = 0x80;
    o.textFormat = 0x25;
    o.bounds = {-1, 2, 300, 0x12345678};
    o.transform.dx = -2;

    std::vector<BYTE> want = {3,    4,    0,    0,    0x10, 0x20, 0x30, 0,
                              0x00, 0x80, 0x01, 0x00, 0x02, 0x01, 0x80, 0x25};
    auto put = [&](LONG v) {
        for (int i = 0; i < 4; ++i)
            want.push_back(static_cast<BYTE>(static_cast<DWORD>(v) >> (8 * i)));
    };
    put(-1);
    put(2);
    put(300);
    put(0x12345678);
    for (LONG v : {FIXED_ONE, 0, 0, FIXED_ONE, -2, 0, 0, 0})
        put(v);
    ASSERT_EQ(want.size(), 64u);

    BYTE got[GDOBJECT_HEADER_SIZE];
    o.WriteHeader(got);
    EXPECT_EQ(std::vector<BYTE>(got, got + 64), want);
    // On this little-endian host the record itself starts with the same bytes.
    EXPECT_EQ(std::memcmp(&o, want.data(), 64), 0);

    GDObject back;
    back.InitObject(nullptr);
    back.ReadHeader(want.data());
    EXPECT_EQ(back.strokeType, eDOPencel);
    EXPECT_EQ(back.width, 0x00018000);
    EXPECT_EQ(back.pointCount, 0x0102);
    EXPECT_EQ(back.bounds.left, -1);
    EXPECT_EQ(back.bounds.bottom, 0x12345678);
    EXPECT_EQ(back.transform.dx, -2);
    EXPECT_EQ(back.points, nullptr);
}

} // namespace
