// Rasterisers on small bitmaps, against a plain per-pixel evaluation of the distance and
// mixing formulas over the whole bitmap (no spans, no shortcuts), plus hand-worked pixels.
#include "inkra/InkBrush.h"
#include "inkra/GDObject.h"
#include "inkra/InkShape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using i64 = std::int64_t;
constexpr LONG lf = INK_LINE_FACTOR;
constexpr LONG df = INK_DIVIDE_FACTOR;
constexpr int W = 40, H = 36;

GWPOINT Pt(double x, double y, double w, BYTE a = 128) {
    GWPOINT p{};
    p.x = static_cast<LONG>(x * 65536);
    p.y = static_cast<LONG>(y * 65536);
    p.width = static_cast<LONG>(w * 65536);
    p.alpha = a;
    return p;
}

BYTE* At(GDib& d, int x, int y) {
    return d.GetBits() + (d.Height() - 1 - y) * d.GetLineSize() + 3 * x;
}

void Paint(GDib& d, int seed) {
    ASSERT_EQ(d.Create(W, H, 24), 1);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            BYTE* p = At(d, x, y);
            p[0] = static_cast<BYTE>(seed + 5 * x + 3 * y);
            p[1] = static_cast<BYTE>(255 - 4 * x - seed);
            p[2] = static_cast<BYTE>(128 + 7 * y - 2 * x);
        }
}

std::vector<BYTE> Pixels(GDib& d) {
    std::vector<BYTE> out;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            out.insert(out.end(), At(d, x, y), At(d, x, y) + 3);
    return out;
}

// d = 2 (radius - distance) exactly as the formulas state it.
i64 RefD(int x, int y, const GWPOINT& p1, const GWPOINT& p2, i64 w1, i64 w2) {
    const i64 X = i64{x} << 16, Y = i64{y} << 16;
    const i64 dx = i64{p2.x} - p1.x, dy = i64{p2.y} - p1.y;
    const i64 L = PointLength(static_cast<LONG>(dx), static_cast<LONG>(dy));
    const i64 dot1 = (X - p1.x) * dx + (Y - p1.y) * dy;
    i64 dist, radius;
    if (L == 0) {
        dist = PointLength(static_cast<LONG>(X - p1.x), static_cast<LONG>(Y - p1.y));
        radius = std::max(w1, w2);
    } else if (dot1 < 0) {
        dist = PointLength(static_cast<LONG>(X - p1.x), static_cast<LONG>(Y - p1.y));
        radius = w1;
    } else if ((X - p2.x) * dx + (Y - p2.y) * dy > 0) {
        dist = PointLength(static_cast<LONG>(X - p2.x), static_cast<LONG>(Y - p2.y));
        radius = w2;
    } else {
        i64 cross = (X - p1.x) * dy - (Y - p1.y) * dx;
        dist = (cross < 0 ? -cross : cross) / L;
        radius = w1 + (((w2 - w1) * (((dot1 / L) << 16) / L)) >> 16);
    }
    return 2 * (radius - dist);
}

int Ramp(i64 d) {
    i64 ratio = ((d + lf) << 16) / df;
    return static_cast<int>(((ratio * 51 + 0x8000) >> 16) & 0xFF);
}

void MixRef(BYTE* p, const BYTE* ink, int q, int m) {
    for (int i = 0; i < 3; ++i)
        p[i] = m == 0 ? static_cast<BYTE>((p[i] * (255 - q) + ink[i] * q) >> 8)
                      : static_cast<BYTE>(p[i] + ((ink[i] - p[i]) * (q - m)) / (255 - m));
}

enum Kind { kPen, kMarker, kInvert, kEraser };

// One pixel by the blend table.
void BlendRef(Kind kind, BYTE* p, const BYTE* back, BYTE& mask, i64 d, int A, const BYTE* ink) {
    const int m = mask;
    const bool inside = d > lf;
    const int a = inside ? 0 : Ramp(d);
    switch (kind) {
        case kPen:
            if (inside) {
                if (m < 255) {
                    std::copy(ink, ink + 3, p);
                    mask = 255;
                }
            } else if (a > m) {
                MixRef(p, ink, a, m);
                mask = static_cast<BYTE>(a);
            }
            break;
        case kMarker: {
            int q = inside ? A : std::min(A, a);
            if (q > m) {
                MixRef(p, ink, q, m);
                mask = static_cast<BYTE>(q);
            }
            break;
        }
        case kInvert:
            if (inside ? A > m : a > m) {
                if (inside || m == 0)
                    for (int i = 0; i < 3; ++i)
                        p[i] = static_cast<BYTE>(~p[i]);
                mask = 255;
            }
            break;
        case kEraser:
            if (inside) {
                if (A > m) {
                    std::copy(back, back + 3, p);
                    mask = static_cast<BYTE>(A);
                }
            } else if (a > m) {
                MixRef(p, back, a, m);
                mask = static_cast<BYTE>(a);
            }
            break;
    }
}

// The whole bitmap, pixel by pixel, inside clip.
void DrawRef(Kind kind, GDib& buf, GDib& back, std::vector<BYTE>& mask, const tagRECT& clip,
             const GWPOINT& p1, const GWPOINT& p2, i64 w1, i64 w2, int A, BYTE r, BYTE g, BYTE b) {
    const BYTE ink[3] = {b, g, r};
    for (int y = std::max<LONG>(0, clip.top); y < std::min<LONG>(H, clip.bottom); ++y)
        for (int x = std::max<LONG>(0, clip.left); x < std::min<LONG>(W, clip.right); ++x) {
            BYTE& m = mask[y * W + x];
            if (m >= A)
                continue;
            i64 d = RefD(x, y, p1, p2, w1, w2);
            if (d < -lf)
                continue;
            BlendRef(kind, At(buf, x, y), At(back, x, y), m, d, A, ink);
        }
}

InkBlendProc BlendOf(Kind k) {
    switch (k) {
        case kPen:
            return BlendPen;
        case kMarker:
            return BlendMarker;
        case kInvert:
            return BlendInvert;
        default:
            return BlendEraser;
    }
}

struct Seg {
    GWPOINT p1, p2;
};

// Directions of every walk, fractional positions, widths from hairline to marker, ends off
// the bitmap, a zero-length segment.
std::vector<Seg> Segments() {
    return {
        {Pt(5.3, 10.0, 2.0), Pt(30.7, 10.0, 2.0)},   // horizontal
        {Pt(4.0, 20.25, 1.0), Pt(34.0, 20.26, 1.0)}, // all but horizontal: horizontal walk
        {Pt(12.5, 3.0, 2.5), Pt(12.5, 30.0, 2.5)},   // vertical
        {Pt(20.0, 2.0, 0.5), Pt(20.01, 33.0, 0.5)},  // near vertical
        {Pt(3.2, 4.7, 1.5), Pt(33.9, 29.1, 1.5)},    // diagonal
        {Pt(30.0, 5.0, 6.0), Pt(8.0, 14.0, 6.0)},    // wide, right to left
        {Pt(18.6, 17.3, 3.2), Pt(18.6, 17.3, 3.2)},  // a point
        {Pt(-6.0, 30.0, 8.0), Pt(10.0, 44.0, 8.0)},  // off the corner
        {Pt(25.0, 25.0, 0.3), Pt(26.5, 18.0, 0.3)},  // hairline, steep
        {Pt(36.4, 1.2, 2.0), Pt(44.0, -3.0, 2.0)},   // off the top right
    };
}

class RasterVsFormula : public ::testing::TestWithParam<Kind> {};

TEST_P(RasterVsFormula, FixWidthMatchesEveryPixelAndMaskByte) {
    const Kind kind = GetParam();
    const tagRECT clip{0, 0, W, H};
    for (const Seg& s : Segments()) {
        GDib buf, ref, back;
        Paint(buf, 0);
        Paint(ref, 0);
        Paint(back, 90);
        std::vector<BYTE> mask(W * H, 0), refMask(W * H, 0);
        GWPOINT p1 = s.p1, p2 = s.p2;
        DrawFixWidth(&buf, &back, mask.data(), clip, p1, p2, lf, df, 128, 200, 40, 90,
                     BlendOf(kind));
        DrawRef(kind, ref, back, refMask, clip, p1, p2, p1.width, p1.width, 128, 200, 40, 90);
        EXPECT_EQ(Pixels(buf), Pixels(ref)) << p1.x << "," << p1.y;
        EXPECT_EQ(mask, refMask) << p1.x << "," << p1.y;
    }
}

TEST_P(RasterVsFormula, ConsecutiveSegmentsShareTheMaskLikeTheFormula) {
    const Kind kind = GetParam();
    const tagRECT clip{2, 3, 37, 33};
    GDib buf, ref, back;
    Paint(buf, 40);
    Paint(ref, 40);
    Paint(back, 7);
    std::vector<BYTE> mask(W * H, 0), refMask(W * H, 0);
    std::vector<GWPOINT> pts = {Pt(3, 30, 2.2),    Pt(9.5, 22.4, 2.2), Pt(15, 21, 2.2),
                                Pt(19.2, 26, 2.2), Pt(27.7, 8.3, 2.2), Pt(36, 8.3, 2.2)};
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        DrawFixWidth(&buf, &back, mask.data(), clip, pts[i], pts[i + 1], lf, df, 128, 10, 200, 30,
                     BlendOf(kind));
        DrawRef(kind, ref, back, refMask, clip, pts[i], pts[i + 1], pts[i].width, pts[i].width, 128,
                10, 200, 30);
    }
    EXPECT_EQ(Pixels(buf), Pixels(ref));
    EXPECT_EQ(mask, refMask);
}

TEST_P(RasterVsFormula, PointMatchesTheDisc) {
    const Kind kind = GetParam();
    const tagRECT clip{0, 0, W, H};
    for (double w : {0.4, 1.0, 2.0, 3.7, 9.0}) {
        GDib buf, ref, back;
        Paint(buf, 3);
        Paint(ref, 3);
        Paint(back, 60);
        std::vector<BYTE> mask(W * H, 0), refMask(W * H, 0);
        GWPOINT p = Pt(17.35, 15.8, w);
        DrawPoint(&buf, &back, mask.data(), clip, p, lf, df, 200, 250, 0, 120, BlendOf(kind));
        DrawRef(kind, ref, back, refMask, clip, p, p, p.width, p.width, 200, 250, 0, 120);
        EXPECT_EQ(Pixels(buf), Pixels(ref)) << w;
        EXPECT_EQ(mask, refMask) << w;
    }
}

INSTANTIATE_TEST_SUITE_P(Blenders, RasterVsFormula,
                         ::testing::Values(kPen, kMarker, kInvert, kEraser));

TEST(InkRasterVarWidth, TaperedCapsuleMatchesTheFormula) {
    const tagRECT clip{0, 0, W, H};
    const std::vector<Seg> segs = {
        {Pt(5, 5, 1.0), Pt(32, 28, 5.0)},
        {Pt(30, 6, 6.0), Pt(6, 6.5, 0.5)},
        {Pt(20, 2, 0.0), Pt(20, 34, 4.0)},
        {Pt(10, 30, 3.0), Pt(10, 30, 1.0)},
    };
    for (const Seg& s : segs) {
        GDib buf, ref, back;
        Paint(buf, 11);
        Paint(ref, 11);
        Paint(back, 0);
        std::vector<BYTE> mask(W * H, 0), refMask(W * H, 0);
        GWPOINT p1 = s.p1, p2 = s.p2;
        DrawVarWidth(&buf, &back, mask.data(), clip, p1, p2, lf, df, 128, 0, 0, 255, BlendMarker);
        DrawRef(kMarker, ref, back, refMask, clip, p1, p2, p1.width, p2.width, 128, 0, 0, 255);
        EXPECT_EQ(Pixels(buf), Pixels(ref)) << p1.x;
        EXPECT_EQ(mask, refMask) << p1.x;
    }
}

TEST(InkRasterVarWidth, NoWidthDrawsNothing) {
    GDib buf;
    Paint(buf, 0);
    std::vector<BYTE> mask(W * H, 0);
    GWPOINT p1 = Pt(5, 5, 0), p2 = Pt(20, 20, -1);
    tagRECT r = DrawVarWidth(&buf, nullptr, mask.data(), {0, 0, W, H}, p1, p2, lf, df, 255, 0, 0, 0,
                             BlendPen);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(std::count(mask.begin(), mask.end(), 0), W * H);
}

// A blender known only by address records what the walk visits.
std::vector<std::pair<int, LONG>> g_visits;
BYTE* g_base;

int Record(BYTE*& dst, BYTE*&, BYTE*& mask, LONG d, LONG, LONG, BYTE, BYTE, BYTE, BYTE, BYTE) {
    g_visits.push_back({static_cast<int>(mask - g_base), d});
    dst += 3;
    mask += 1;
    return d > lf ? 1 : (d < -lf ? 0 : -1);
}

std::vector<std::pair<int, LONG>> Visit(const GWPOINT& p1, const GWPOINT& p2, int walk) {
    GDib buf;
    buf.Create(W, H, 24);
    std::vector<BYTE> mask(W * H, 0);
    g_visits.clear();
    g_base = mask.data();
    inkra::detail::DrawCapsule(&buf, nullptr, mask.data(), {0, 0, W, H}, p1, p2, p1.width, p2.width,
                               lf, df, 255, 0, 0, 0, Record, walk, false);
    auto v = g_visits;
    std::sort(v.begin(), v.end());
    return v;
}

TEST(InkRasterWalks, EveryWalkGivesTheSameDistances) {
    using namespace inkra::detail;
    auto segs = Segments();
    // Tapered ones too, as the brush draws them.
    segs.push_back({Pt(4, 30, 1.0), Pt(35, 6, 7.0)});
    segs.push_back({Pt(33, 31, 6.0), Pt(7, 12, 0.5)});
    for (const Seg& s : segs) {
        auto h = Visit(s.p1, s.p2, kWalkHorizontal);
        auto v = Visit(s.p1, s.p2, kWalkVertical);
        auto g = Visit(s.p1, s.p2, kWalkGeneral);
        EXPECT_EQ(h, v);
        // The general walk may skip pixels only where the formula puts them outside.
        size_t j = 0;
        for (auto [at, d] : h) {
            while (j < g.size() && g[j].first < at)
                ++j;
            if (j < g.size() && g[j].first == at)
                EXPECT_EQ(g[j].second, d);
            else
                EXPECT_LT(d, -lf) << "skipped pixel " << at % W << "," << at / W;
        }
    }
}

TEST(InkRasterWalks, GeneralWalkVisitsOnlyTheReachableSpan) {
    using namespace inkra::detail;
    auto segs = Segments();
    segs.push_back({Pt(4, 30, 1.0), Pt(35, 6, 7.0)});
    for (const Seg& s : segs) {
        Capsule c;
        InitCapsule(c, s.p1, s.p2, s.p1.width, s.p2.width, lf, false);
        int spanned = 0;
        for (int y = 0; y < H; ++y) {
            int lo = 0, hi = W - 1;
            if (!CapsuleRowSpan(c, lf, y, lo, hi))
                continue;
            for (int x = lo; x <= hi; ++x) {
                ++spanned;
                // Reach: radius + lf / 2, a quarter pixel of slack, under a pixel of rounding.
                EXPECT_GT(RefD(x, y, s.p1, s.p2, s.p1.width, s.p2.width), -lf - 2 * 0x14000)
                    << x << "," << y;
            }
        }
        EXPECT_GT(spanned, 0);
    }
    // A thin diagonal spans far fewer pixels than its box.
    Capsule c;
    GWPOINT p1 = Pt(2, 2, 1.0), p2 = Pt(36, 33, 1.0);
    InitCapsule(c, p1, p2, p1.width, p1.width, lf, false);
    int spanned = 0;
    for (int y = 0; y < H; ++y) {
        int lo = 0, hi = W - 1;
        if (CapsuleRowSpan(c, lf, y, lo, hi))
            spanned += hi - lo + 1;
    }
    EXPECT_LT(spanned, 36 * 33 / 4);
}

TEST(InkRasterWalks, QuotientByTheSegmentLengthIsTheTruncatedDivision) {
    using namespace inkra::detail;
    // Lengths from a short piece to the longest coordinate; numerators around multiples of
    // the length, where a rounded product would land on the wrong side.
    const GWPOINT ends[] = {{0x18000, 0x8000, 0, 255, {}},
                            {7 * 65536 + 12345, -3 * 65536, 0, 255, {}},
                            {(1 << 29) - 1, (1 << 29) - 1, 0, 255, {}}};
    for (const GWPOINT& end : ends) {
        Capsule c;
        InitCapsule(c, GWPOINT{0, 0, 0, 255, {}}, end, 65536, 65536, INK_LINE_FACTOR, true);
        ASSERT_GT(c.L, 0);
        int wrong = 0;
        for (i64 k : {i64{0}, i64{1}, i64{2}, i64{1} << 20, i64{1} << 31, (i64{1} << 52) / c.L})
            for (i64 n = k * c.L - 2; n <= k * c.L + 2; ++n)
                if (n >= 0)
                    wrong += c.DivideByL(n) != n / c.L;
        const i64 big = (i64{1} << 53) + 3;
        wrong += c.DivideByL(big) != big / c.L;
        EXPECT_EQ(wrong, 0) << "length " << c.L;
    }
}

TEST(InkRasterWalks, ChoiceFollowsTheSlope) {
    using namespace inkra::detail;
    EXPECT_EQ(ChooseWalk(0, 0), kWalkHorizontal);
    EXPECT_EQ(ChooseWalk(65536, 130), kWalkHorizontal);
    EXPECT_EQ(ChooseWalk(65536, 131), kWalkGeneral);
    EXPECT_EQ(ChooseWalk(-130, 65536), kWalkVertical);
    EXPECT_EQ(ChooseWalk(0, -5), kWalkVertical);
    EXPECT_EQ(ChooseWalk(65536, 65536), kWalkGeneral);
}

TEST(InkRasterBox, BoxFollowsTheRadiusAndTheBand) {
    GDib buf;
    Paint(buf, 0);
    std::vector<BYTE> mask(W * H, 0);
    // Reach ceil(2.0 + 0.6) = 3; left 10 - 3 = 7, made even: 6; right ceil(30) + 3 = 33,
    // bottom ceil(25.25) + 3 = 29, both given as the exclusive edge.
    GWPOINT p1 = Pt(10.5, 20, 2.0), p2 = Pt(30, 25.25, 2.0);
    tagRECT r = DrawFixWidth(&buf, nullptr, mask.data(), {0, 0, W, H}, p1, p2, lf, df, 255, 0, 0, 0,
                             BlendPen);
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.top, 17);
    EXPECT_EQ(r.right, 34);
    EXPECT_EQ(r.bottom, 30);
    // Nothing changes outside the box.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (x < 7 || x > 33 || y < 17 || y > 29) {
                EXPECT_EQ(mask[y * W + x], 0);
            }
}

TEST(InkRasterBox, OddNegativeLeftIsMadeEvenTowardZero) {
    GDib buf;
    Paint(buf, 0);
    std::vector<BYTE> mask(W * H, 0);
    GWPOINT p = Pt(-1.0, 5, 1.0); // reach 2: left -3
    tagRECT r =
        DrawPoint(&buf, nullptr, mask.data(), {0, 0, W, H}, p, lf, df, 255, 0, 0, 0, BlendPen);
    EXPECT_EQ(r.left, -2);
}

TEST(InkRasterBox, OutsideTheClipDrawsNothingButReportsTheBox) {
    GDib buf;
    Paint(buf, 0);
    const auto before = Pixels(buf);
    std::vector<BYTE> mask(W * H, 0);
    GWPOINT p1 = Pt(5, 5, 1.0), p2 = Pt(9, 6, 1.0);
    tagRECT r = DrawFixWidth(&buf, nullptr, mask.data(), {20, 20, 40, 36}, p1, p2, lf, df, 255, 0,
                             0, 0, BlendPen);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.right, 12);
    EXPECT_EQ(r.bottom, 9);
    EXPECT_EQ(Pixels(buf), before);
}

TEST(InkRasterBox, InvalidTargetsGiveTheZeroRectangle) {
    GDib buf, empty, small;
    Paint(buf, 0);
    small.Create(8, 8, 24);
    std::vector<BYTE> mask(W * H, 0);
    GWPOINT p1 = Pt(5, 5, 1.0), p2 = Pt(9, 6, 1.0);
    const tagRECT clip{0, 0, W, H};
    auto zero = [](const tagRECT& r) {
        return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
    };
    EXPECT_TRUE(zero(
        DrawFixWidth(nullptr, nullptr, mask.data(), clip, p1, p2, lf, df, 255, 0, 0, 0, BlendPen)));
    EXPECT_TRUE(zero(
        DrawFixWidth(&empty, nullptr, mask.data(), clip, p1, p2, lf, df, 255, 0, 0, 0, BlendPen)));
    EXPECT_TRUE(zero(
        DrawFixWidth(&buf, &empty, mask.data(), clip, p1, p2, lf, df, 255, 0, 0, 0, BlendPen)));
    EXPECT_TRUE(
        zero(DrawFixWidth(&buf, nullptr, nullptr, clip, p1, p2, lf, df, 255, 0, 0, 0, BlendPen)));
    // The eraser needs a back block of the buffer's size.
    EXPECT_TRUE(zero(
        DrawFixWidth(&buf, nullptr, mask.data(), clip, p1, p2, lf, df, 255, 0, 0, 0, BlendEraser)));
    EXPECT_TRUE(zero(
        DrawFixWidth(&buf, &small, mask.data(), clip, p1, p2, lf, df, 255, 0, 0, 0, BlendEraser)));
    EXPECT_TRUE(
        zero(DrawPoint(&empty, nullptr, mask.data(), clip, p1, lf, df, 255, 0, 0, 0, BlendPen)));
}

TEST(InkRasterBox, ClipLargerThanTheBitmapStaysInside) {
    GDib buf;
    Paint(buf, 0);
    std::vector<BYTE> mask(W * H, 0);
    GWPOINT p1 = Pt(-20, -20, 8.0), p2 = Pt(60, 60, 8.0);
    DrawFixWidth(&buf, nullptr, mask.data(), {-100, -100, 500, 500}, p1, p2, lf, df, 255, 0, 0, 0,
                 BlendPen);
    EXPECT_EQ(mask[0], 255); // the sanitizer build checks nothing was written beyond
    EXPECT_EQ(mask[W * H - 1], 255);
}

TEST(InkRasterStroke, MarkerOverlapEndsAtTheStrongerPass) {
    // Two segments of one stroke cross the pixels around (20, 12); the result there is what the
    // stronger pass alone gives.
    const tagRECT clip{0, 0, W, H};
    GWPOINT a = Pt(8, 12, 3.0, 128), b = Pt(20, 12.4, 3.0, 128), c = Pt(30, 4, 3.0, 128);
    GDib both;
    Paint(both, 0);
    std::vector<BYTE> mask(W * H, 0);
    DrawFixWidth(&both, nullptr, mask.data(), clip, a, b, lf, df, 128, 0, 0, 200, BlendMarker);
    DrawFixWidth(&both, nullptr, mask.data(), clip, b, c, lf, df, 128, 0, 0, 200, BlendMarker);
    GDib one, two;
    Paint(one, 0);
    Paint(two, 0);
    std::vector<BYTE> m1(W * H, 0), m2(W * H, 0);
    DrawFixWidth(&one, nullptr, m1.data(), clip, a, b, lf, df, 128, 0, 0, 200, BlendMarker);
    DrawFixWidth(&two, nullptr, m2.data(), clip, b, c, lf, df, 128, 0, 0, 200, BlendMarker);
    int shared = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int i = y * W + x;
            if (m1[i] == 0 || m2[i] == 0)
                continue;
            ++shared;
            const BYTE* stronger = m1[i] >= m2[i] ? At(one, x, y) : At(two, x, y);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(At(both, x, y)[k], stronger[k], 1) << x << "," << y;
            EXPECT_EQ(mask[i], std::max(m1[i], m2[i]));
        }
    EXPECT_GT(shared, 20);
}

TEST(InkRasterStroke, MaskAtAlphaLeavesPixelsAlone) {
    for (InkBlendProc blend : {BlendPen, BlendMarker}) {
        GDib buf;
        Paint(buf, 0);
        const auto before = Pixels(buf);
        std::vector<BYTE> mask(W * H, 128);
        GWPOINT p1 = Pt(5, 5, 4.0), p2 = Pt(30, 30, 4.0);
        DrawFixWidth(&buf, nullptr, mask.data(), {0, 0, W, H}, p1, p2, lf, df, 128, 0, 0, 0, blend);
        EXPECT_EQ(Pixels(buf), before);
    }
}

TEST(InkRasterStroke, EraserRestoresTheBackBlockInside) {
    GDib buf, back;
    Paint(buf, 0);
    Paint(back, 123);
    std::vector<BYTE> mask(W * H, 0);
    GWPOINT p1 = Pt(6, 18, 5.0, 128), p2 = Pt(33, 18, 5.0, 128);
    DrawFixWidth(&buf, &back, mask.data(), {0, 0, W, H}, p1, p2, lf, df, 128, 0, 0, 0, BlendEraser);
    int inside = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (RefD(x, y, p1, p2, p1.width, p1.width) > lf) {
                ++inside;
                for (int k = 0; k < 3; ++k)
                    EXPECT_EQ(At(buf, x, y)[k], At(back, x, y)[k]);
            }
    EXPECT_GT(inside, 200);
}

TEST(InkRasterPencel, ClearsTheMaskOutsideItsBoxAndKeepsGrainBelowAlpha) {
    GDib buf;
    Paint(buf, 0);
    std::vector<BYTE> mask(W * H, 7);
    GWPOINT p1 = Pt(10, 10, 2.0, 90), p2 = Pt(18, 14, 2.0, 90);
    const auto before = Pixels(buf);
    DrawPencel(&buf, nullptr, mask.data(), {0, 0, W, H}, p1, p2, lf, df, 90, 0, 0, 0, BlendPencel);
    const auto after = Pixels(buf);
    // Box: x 7..21, y 7..17.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int i = y * W + x;
            if (x < 7 || x > 21 || y < 7 || y > 17) {
                EXPECT_EQ(mask[i], 0) << x << "," << y;
                continue;
            }
            EXPECT_LE(mask[i], 90);
            // Black ink at q <= 90 keeps at least (255 - 90) / 256 of each channel.
            for (int k = 0; k < 3; ++k)
                EXPECT_GE(after[3 * i + k], (before[3 * i + k] * 165) >> 8);
        }
}

TEST(InkStrokeTable, ToolsBindTheirRasteriserAndBlender) {
    EXPECT_EQ(GetStrokeRaster(eDOPen), DrawFixWidth);
    EXPECT_EQ(GetStrokeBlend(eDOPen), BlendPen);
    EXPECT_EQ(GetStrokeBlend(eDOMarker), BlendMarker);
    EXPECT_EQ(GetStrokeBlend(eDODelStroke), BlendInvert);
    EXPECT_EQ(GetStrokeBlend(eDOEraser), BlendEraser);
    EXPECT_EQ(GetStrokeRaster(eDOPencel), DrawPencel);
    EXPECT_EQ(GetStrokeBlend(eDOPencel), BlendPencel);
    EXPECT_EQ(GetStrokeBlend(eDOColorPen), BlendMarker);
    EXPECT_EQ(GetStrokeRaster(eDOBrush), DrawVarWidth);
    EXPECT_EQ(GetStrokeRaster(eDOAirBrush), DrawFixWidth);
    EXPECT_EQ(GetStrokeBlend(eDOAirBrush), BlendMarker);
    EXPECT_EQ(GetStrokeRaster(200), DrawFixWidth);
    EXPECT_EQ(GetStrokeBlend(-1), BlendPen);
}

} // namespace
