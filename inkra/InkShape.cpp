#include "inkra/InkShape.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace inkra::detail {

namespace {

constexpr int kMaxPixel = static_cast<int>(kMaxCoord >> 16) - 1;

LONG ClampLong(i64 v) {
    return static_cast<LONG>(std::clamp<i64>(v, INT32_MIN, INT32_MAX));
}

// Settles "outside" for dist >= co and "inside" for dist < ci (both 16.16) with a squared
// exact length; the slack covers the table error of PointLength (under 4e-5 of the length
// plus a few units), so the settled zone is the one PointLength would give.
i64 OutsideSquare(i64 co) {
    if (co <= 0)
        return 0;
    i64 t = co + 17 + (co >> 14);
    return t * t;
}

i64 InsideSquare(i64 ci) {
    i64 t = ci - 17 - (ci >> 14);
    return t > 0 ? t * t : 0;
}

// dist >= Outside(w) means d = 2 (w - dist) < -lf.
i64 OutsideDist(i64 w, LONG lf) {
    return ((2 * w + lf) >> 1) + 1;
}

// dist < InsideDist(w) means d > lf.
i64 InsideDist(i64 w, LONG lf) {
    i64 s = 2 * w - lf;
    return s > 0 ? (s + 1) >> 1 : 0;
}

double HalfBand(LONG lf) {
    // Half the band, and a quarter pixel for the rounding of the span arithmetic.
    return (std::max<LONG>(lf, 0) / 2 + 16384) / 65536.0;
}

struct Interval {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void Cover(double a, double b) {
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
};

void CoverDisc(Interval& span, double cx, double cy, double w, double h, double y) {
    double rho = w + h;
    if (rho <= 0)
        return;
    double t = y - cy;
    double q = rho * rho - t * t;
    if (q < 0)
        return;
    double s = std::sqrt(q);
    span.Cover(cx - s, cx + s);
}

bool ToPixels(const Interval& span, int& lo, int& hi) {
    if (!(span.lo <= span.hi))
        return false;
    double a = std::max(std::ceil(span.lo), static_cast<double>(lo));
    double b = std::min(std::floor(span.hi), static_cast<double>(hi));
    if (a > b)
        return false;
    lo = static_cast<int>(a);
    hi = static_cast<int>(b);
    return true;
}

} // namespace

bool PrepareTarget(GDib* buffer, GDib* back, BYTE* mask, const tagRECT& clip, bool readsBack,
                   i64 left, i64 top, i64 right, i64 bottom, Target& out) {
    if (buffer == nullptr || mask == nullptr || buffer->GetSafeHandle() == nullptr ||
        buffer->GetBits() == nullptr || buffer->GetBitCount() != 24)
        return false;
    if (back != nullptr && back->GetSafeHandle() == nullptr)
        return false;
    out.bits = buffer->GetBits();
    out.stride = buffer->GetLineSize();
    out.width = buffer->Width();
    out.height = buffer->Height();
    out.mask = mask;
    out.back = nullptr;
    out.backStride = 0;
    if (readsBack) {
        // The eraser reads the same pixel of the back block: it must match the buffer.
        if (back == nullptr || back->GetBits() == nullptr || back->GetBitCount() != 24 ||
            back->Width() != out.width || back->Height() != out.height)
            return false;
        out.back = back->GetBits();
        out.backStride = back->GetLineSize();
    }
    i64 x0 = std::max<i64>({left, clip.left, 0});
    i64 y0 = std::max<i64>({top, clip.top, 0});
    i64 x1 = std::min<i64>({right, i64{clip.right} - 1, out.width - 1, kMaxPixel});
    i64 y1 = std::min<i64>({bottom, i64{clip.bottom} - 1, out.height - 1, kMaxPixel});
    if (x0 > x1 || y0 > y1) {
        out.x0 = out.y0 = 1;
        out.x1 = out.y1 = 0;
    } else {
        out.x0 = static_cast<int>(x0);
        out.y0 = static_cast<int>(y0);
        out.x1 = static_cast<int>(x1);
        out.y1 = static_cast<int>(y1);
    }
    return true;
}

tagRECT BoxResult(i64 left, i64 top, i64 right, i64 bottom) {
    tagRECT r;
    r.left = ClampLong(left);
    r.left -= r.left % 2;
    r.top = ClampLong(top);
    r.right = ClampLong(right + 1);
    r.bottom = ClampLong(bottom + 1);
    return r;
}

void InitCapsule(Capsule& c, const GWPOINT& p1, const GWPOINT& p2, LONG w1, LONG w2, LONG lf,
                 bool fastInside) {
    c.x1 = p1.x;
    c.y1 = p1.y;
    c.dx = i64{p2.x} - p1.x;
    c.dy = i64{p2.y} - p1.y;
    c.L = PointLength(static_cast<LONG>(c.dx), static_cast<LONG>(c.dy));
    c.w1 = w1;
    c.w2 = w2;
    if (c.L == 0)
        c.w1 = c.w2 = std::max(w1, w2);
    c.tapered = c.w1 != c.w2;
    const i64 wmax = std::max(c.w1, c.w2), wmin = std::min(c.w1, c.w2);
    c.out1Sq = OutsideSquare(OutsideDist(c.w1, lf));
    c.out2Sq = OutsideSquare(OutsideDist(c.w2, lf));
    c.outMid = OutsideDist(wmax, lf) * c.L;
    if (fastInside) {
        c.in1Sq = InsideSquare(InsideDist(c.w1, lf));
        c.in2Sq = InsideSquare(InsideDist(c.w2, lf));
        c.inMid = InsideDist(wmin, lf) * c.L;
    } else {
        c.in1Sq = c.in2Sq = c.inMid = 0;
    }
    c.insideD = lf < (1 << 30) ? std::max<LONG>(lf, 0) + 1 : lf;
}

bool CapsuleRowSpan(const Capsule& c, LONG lf, int y, int& lo, int& hi) {
    const double h = HalfBand(lf);
    const double x1 = c.x1 / 65536.0, y1 = c.y1 / 65536.0;
    const double dx = c.dx / 65536.0, dy = c.dy / 65536.0;
    const double w1 = c.w1 / 65536.0, w2 = c.w2 / 65536.0;
    Interval span;
    CoverDisc(span, x1, y1, w1, h, y);
    CoverDisc(span, x1 + dx, y1 + dy, w2, h, y);
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len > 0) {
        // The band between the end perpendiculars, as linear bounds on u = x - x1.
        const double ex = dx / len, ey = dy / len, v = y - y1, k = (w2 - w1) / len;
        double a = -std::numeric_limits<double>::infinity();
        double b = std::numeric_limits<double>::infinity();
        auto atMost = [&](double coef, double bound) { // coef u <= bound
            if (coef > 1e-12)
                b = std::min(b, bound / coef);
            else if (coef < -1e-12)
                a = std::max(a, bound / coef);
            else if (bound < 0)
                b = -std::numeric_limits<double>::infinity();
        };
        atMost(-ex, v * ey);         // projection >= 0
        atMost(ex, len - v * ey);    // projection <= length
        for (double s : {1.0, -1.0}) // |perpendicular| <= radius at the projection + h
            atMost(s * ey - k * ex, w1 + h + s * v * ex + k * v * ey);
        if (a <= b)
            span.Cover(x1 + a, x1 + b);
    }
    return ToPixels(span, lo, hi);
}

bool DiscRowSpan(i64 cx, i64 cy, i64 w, LONG lf, int y, int& lo, int& hi) {
    Interval span;
    CoverDisc(span, cx / 65536.0, cy / 65536.0, w / 65536.0, HalfBand(lf), y);
    return ToPixels(span, lo, hi);
}

int ChooseWalk(i64 dx, i64 dy) {
    const i64 ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    if (ay == 0 || (ax != 0 && (ay << 16) / ax < 131))
        return kWalkHorizontal;
    if (ax == 0 || (ax << 16) / ay < 131)
        return kWalkVertical;
    return kWalkGeneral;
}

} // namespace inkra::detail
