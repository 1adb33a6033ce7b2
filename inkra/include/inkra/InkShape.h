// Geometry shared by the rasterisers: the target bitmap seen as raw rows, the (tapered)
// capsule with its edge distance, and the per-row reachable spans. Internal to inkra.
#pragma once

#include "inkra/InkBlendOps.h"
#include "inkra/MaskArea.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace inkra::detail {

using i64 = std::int64_t;

// Points farther than this from the origin (8192 pixels, in 16.16) are not drawn: it keeps
// every product of the distance formulas inside 64 bits.
inline constexpr i64 kMaxCoord = i64{1} << 29;
inline constexpr i64 kMaxWidth = i64{1} << 26;

// The pixels a call may touch, as raw rows; the walk bounds are inclusive.
struct Target {
    BYTE* bits;
    int stride;
    int width;
    int height;
    BYTE* back; // null unless the blender reads it
    int backStride;
    BYTE* mask;
    int x0, y0, x1, y1;

    BYTE* Pixel(int x, int y) const {
        return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride + 3 * x;
    }
    BYTE* BackPixel(int x, int y) const {
        return back + static_cast<std::ptrdiff_t>(height - 1 - y) * backStride + 3 * x;
    }
    BYTE* MaskByte(int x, int y) const { return mask + static_cast<std::ptrdiff_t>(y) * width + x; }
};

// Checks the bitmaps and mask, and clips the box [left, right] x [top, bottom] (inclusive)
// to clip and the bitmap. False when nothing may be drawn (invalid input); empty walk bounds
// (x0 > x1) when the box misses the clip.
bool PrepareTarget(GDib* buffer, GDib* back, BYTE* mask, const tagRECT& clip, bool readsBack,
                   i64 left, i64 top, i64 right, i64 bottom, Target& out);

// The box edge in whole pixels: ceiling of a 16.16 value.
inline i64 CeilPixel(i64 v) {
    return (v + 0xFFFF) >> 16;
}

// The returned rectangle: the box in the exclusive form of RECT, left made even.
tagRECT BoxResult(i64 left, i64 top, i64 right, i64 bottom);

// A capsule from p1 to p2, radius w1 at p1 and w2 at p2 (equal for the fixed width), with the
// thresholds that settle most pixels without a square root or a division.
struct Capsule {
    i64 x1, y1;
    i64 dx, dy;
    i64 lengthSq;  // dx^2 + dy^2: the far end's dot product is dot1 less this
    i64 nearBelow; // dot1 below this: the near end's disc (every pixel when L is 0)
    i64 L;
    i64 w1, w2;
    bool tapered;
    i64 out1Sq, out2Sq, outMid; // at or beyond: surely outside (d < -lf)
    i64 in1Sq, in2Sq, inMid;    // below: surely inside (d > lf); 0 when not used
    LONG insideD;               // d handed over for a pixel settled as inside
    double inverseL;            // 1 / L, 0 when L is 0

    // n / L truncated, for n >= 0 and L > 0: the rounded product is within one of the
    // quotient and the remainder settles it, which is cheaper than a division per pixel.
    i64 DivideByL(i64 n) const {
        if (n >= (i64{1} << 52))
            return Divide(n, L);
        i64 q = static_cast<i64>(static_cast<double>(n) * inverseL);
        const i64 rest = n - q * L;
        if (rest < 0)
            --q;
        else if (rest >= L)
            ++q;
        return q;
    }
};

// fastInside: pixels surely inside may skip the exact distance (the blender only needs the
// zone there). length: PointLength of p2 - p1 when the caller has it, else -1.
void InitCapsule(Capsule& c, const GWPOINT& p1, const GWPOINT& p2, LONG w1, LONG w2, LONG lf,
                 bool fastInside, LONG length = -1);

inline LONG ClampD(i64 d) {
    if (d > (i64{1} << 30))
        return 1 << 30;
    if (d < -(i64{1} << 30))
        return -(1 << 30);
    return static_cast<LONG>(d);
}

// Zone of the pixel at (ux, uy) from the disc's centre, uySq the square of uy: 0 surely outside (d
// untouched), otherwise d is written.
[[gnu::always_inline]] inline int DiscD(i64 ux, i64 uy, i64 uySq, i64 w, i64 outSq, i64 inSq,
                                        LONG insideD, LONG& d) {
    i64 s2 = ux * ux + uySq;
    if (s2 >= outSq)
        return 0;
    if (s2 < inSq) {
        d = insideD;
        return 1;
    }
    d = ClampD(2 * (w - PointLength(static_cast<LONG>(ux), static_cast<LONG>(uy))));
    return 2;
}

// What CapsuleD needs of one row, uy = y - y1 (16.16), worked out once for the row.
struct CapsuleRow {
    i64 uy, uySq;   // from p1
    i64 vy, vySq;   // from p2
    i64 uyDy, uyDx; // uy dy and uy dx

    CapsuleRow(const Capsule& c, i64 y)
        : uy(y), uySq(y * y), vy(y - c.dy), vySq(vy * vy), uyDy(y * c.dy), uyDx(y * c.dx) {}
};

[[gnu::always_inline]] inline int CapsuleD(const Capsule& c, i64 ux, const CapsuleRow& row,
                                           LONG& d) {
    const i64 dot1 = ux * c.dx + row.uyDy;
    if (dot1 < c.nearBelow)
        return DiscD(ux, row.uy, row.uySq, c.w1, c.out1Sq, c.in1Sq, c.insideD, d);
    if (dot1 > c.lengthSq)
        return DiscD(ux - c.dx, row.vy, row.vySq, c.w2, c.out2Sq, c.in2Sq, c.insideD, d);
    i64 cross = ux * c.dy - row.uyDx;
    if (cross < 0)
        cross = -cross;
    if (cross >= c.outMid)
        return 0;
    if (cross < c.inMid) {
        d = c.insideD;
        return 1;
    }
    i64 radius = c.w1;
    if (c.tapered) {
        i64 frac = c.DivideByL(c.DivideByL(dot1) << 16);
        radius = c.w1 + (((c.w2 - c.w1) * frac) >> 16);
    }
    d = ClampD(2 * (radius - c.DivideByL(cross)));
    return 2;
}

// Half the band and a quarter pixel for the rounding of the span arithmetic, in pixels.
inline double SpanReach(LONG lf) {
    return (std::max<LONG>(lf, 0) / 2 + 16384) / 65536.0;
}

// Pixels lo..hi covering [a, b], intersected with the given lo..hi. False when none.
// Clamped to lo..hi first, the ends fit an int, and rounding them through one costs no call
// into the maths library (the baseline instruction set has no rounding instruction).
inline bool SpanToPixels(double a, double b, int& lo, int& hi) {
    if (!(a <= b))
        return false;
    a = std::max(a, static_cast<double>(lo));
    b = std::min(b, static_cast<double>(hi));
    int first = static_cast<int>(a);
    first += first < a;
    int last = static_cast<int>(b);
    last -= last > b;
    if (first > last)
        return false;
    lo = first;
    hi = last;
    return true;
}

// Half the width of row t (from the centre) of the octagon round a disc of radius rho, its
// sides on the axes and the diagonals: it holds the disc and reaches at most 8 % beyond it, and
// costs no square root. Minus infinity when the row misses it, so that the span it gives
// (centre -/+ half width) is empty and drops out of a minimum or maximum with no branch.
[[gnu::always_inline]] inline double OctagonHalfWidth(double t, double rho) {
    t = std::fabs(t);
    const double s = std::min(rho, 1.4142135623730951 * rho - t);
    return t > rho ? -std::numeric_limits<double>::infinity() : s;
}

// Two doubles worked on together (one instruction for both where the machine has them).
typedef double Pair __attribute__((vector_size(16)));

[[gnu::always_inline]] inline Pair PairMin(Pair a, Pair b) {
    return a < b ? a : b;
}
[[gnu::always_inline]] inline Pair PairMax(Pair a, Pair b) {
    return a > b ? a : b;
}

// The columns of each row that a capsule can touch (reach: radius plus half the band plus a
// quarter pixel): the two end discs and the band between the end perpendiculars, whose
// bounds are linear in the row, set up once per segment. The discs are taken as their
// octagons: a few more pixels to look at, and no square root a row.
struct CapsuleSpan {
    double cx[2], cy[2], rho[2]; // rho -1: no disc
    // A segment short beside its width (most pieces of handwriting) is taken as one disc
    // round its middle that holds the whole capsule: one disc a row instead of two and the
    // band, for a few more pixels to look at.
    bool oneDisc;
    // The band's columns in row y, with v = y - y1: at least x1 + (lowBase + lowSlope v) *
    // lowPer and at most x1 + (upBase + upSlope v) * upPer for each bound; unused ones are
    // infinite. Rows outside bandTop..bandBottom have none.
    double x1, y1;
    double lowBase[4], lowSlope[4], lowPer[4], upBase[4], upSlope[4], upPer[4];
    double bandTop, bandBottom;
    // The rows the discs reach; no row outside them has anything to draw.
    double top, bottom;

    void Init(const Capsule& c, LONG lf);

    [[gnu::always_inline]] bool Row(int y, int& lo, int& hi) const {
        return oneDisc ? DiscRow(y, lo, hi) : BandRow(y, lo, hi);
    }
    [[gnu::always_inline]] bool DiscRow(int y, int& lo, int& hi) const {
        const double s = OctagonHalfWidth(y - cy[0], rho[0]);
        return s >= 0 && SpanToPixels(cx[0] - s, cx[0] + s, lo, hi);
    }
    // The general case: both end discs and the band, as minima and maxima of lines worked out
    // in pairs (a row has no branch to mispredict but the last).
    [[gnu::always_inline]] bool BandRow(int y, int& lo, int& hi) const {
        constexpr double kInf = std::numeric_limits<double>::infinity();
        const double v = y;
        const Pair vv = {v, v};
        const Pair centreY = {cy[0], cy[1]}, radius = {rho[0], rho[1]}, centreX = {cx[0], cx[1]};
        // OctagonHalfWidth of both discs.
        const Pair off = vv - centreY;
        const Pair t = PairMax(off, -off);
        const Pair inf = {kInf, kInf};
        const Pair s = t > radius ? -inf : PairMin(radius, 1.4142135623730951 * radius - t);
        const Pair left = centreX - s, right = centreX + s;
        double a = std::min(left[0], left[1]);
        double b = std::max(right[0], right[1]);
        const double u = v - y1;
        const Pair uu = {u, u};
        const Pair lows =
            PairMax((Pair{lowBase[0], lowBase[1]} + Pair{lowSlope[0], lowSlope[1]} * uu) *
                        Pair{lowPer[0], lowPer[1]},
                    (Pair{lowBase[2], lowBase[3]} + Pair{lowSlope[2], lowSlope[3]} * uu) *
                        Pair{lowPer[2], lowPer[3]});
        const Pair ups = PairMin((Pair{upBase[0], upBase[1]} + Pair{upSlope[0], upSlope[1]} * uu) *
                                     Pair{upPer[0], upPer[1]},
                                 (Pair{upBase[2], upBase[3]} + Pair{upSlope[2], upSlope[3]} * uu) *
                                     Pair{upPer[2], upPer[3]});
        const double ua = std::max(lows[0], lows[1]), ub = std::min(ups[0], ups[1]);
        if (ua <= ub && u >= bandTop && u <= bandBottom) {
            a = std::min(a, x1 + ua);
            b = std::max(b, x1 + ub);
        }
        return SpanToPixels(a, b, lo, hi);
    }
};

// One row of CapsuleSpan, for callers that need a single row.
bool CapsuleRowSpan(const Capsule& c, LONG lf, int y, int& lo, int& hi);
// The same for a disc of radius w around (x, y).
bool DiscRowSpan(i64 cx, i64 cy, i64 w, LONG lf, int y, int& lo, int& hi);

// How a capsule is walked: whole box rows (near-horizontal or near-vertical segments) or the
// reachable span of each row.
enum InkWalk { kWalkAuto, kWalkHorizontal, kWalkVertical, kWalkGeneral };
int ChooseWalk(i64 dx, i64 dy);

// Draws a capsule with the given walk (kWalkAuto chooses); the rasterisers' common body.
// Exposed for the tests that compare the walks. With clearOutside, the mask is cleared
// outside the clipped box first; dirty, when given, tells where it can be non-zero (so only
// that part is cleared) and is updated to the clipped box afterwards.
tagRECT DrawCapsule(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, const GWPOINT& p1,
                    const GWPOINT& p2, LONG w1, LONG w2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g,
                    BYTE b, InkBlendProc blend, int walk, bool clearOutside,
                    MaskArea* dirty = nullptr, LONG length = -1);

// raster(p1, p2), given the segment's PointLength when the caller has it (else -1): the
// stroke rasterisers take it instead of working it out again; any other is called as it is.
tagRECT DrawSegment(InkRasterProc raster, GDib* buffer, GDib* back, BYTE* mask, tagRECT clip,
                    GWPOINT& p1, GWPOINT& p2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b,
                    InkBlendProc blend, LONG length);

// DrawPencel for a caller that tracks where the mask can be non-zero: the same pixels and
// mask, without clearing the bytes that are zero already.
tagRECT DrawPencelTracked(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1,
                          GWPOINT& p2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b,
                          InkBlendProc blend, MaskArea& dirty, LONG length = -1);

} // namespace inkra::detail

namespace inkra::detail {

// A blender known only by its address, called once per pixel.
struct IndirectOp {
    static constexpr bool kReadsBack = false;
    InkBlendProc blend;
    int Apply(BYTE* dst, const BYTE* back, BYTE* mask, LONG d, LONG lf, LONG df, int m, int A,
              BYTE r, BYTE g, BYTE b) const {
        BYTE* pd = dst;
        BYTE* pb = const_cast<BYTE*>(back);
        BYTE* pm = mask;
        return blend(pd, pb, pm, d, lf, df, static_cast<BYTE>(m), static_cast<BYTE>(A), r, g, b);
    }
};

// Calls f with the inline op of a known blender (so the walk inlines it), else with an
// IndirectOp. The second argument tells whether the op only needs the zone inside.
template <class F> auto WithBlendOp(InkBlendProc blend, LONG lf, LONG df, F&& f) {
    const Ramp ramp(df, lf);
    if (blend == BlendPen)
        return f(PenOp{ramp}, true);
    if (blend == BlendMarker)
        return f(MarkerOp{ramp}, true);
    if (blend == BlendPencel)
        return f(PencelOp{ramp}, true);
    if (blend == BlendEraser)
        return f(EraserOp{ramp}, true);
    if (blend == BlendInvert)
        return f(InvertOp{ramp}, true);
    return f(IndirectOp{blend}, false);
}

} // namespace inkra::detail
