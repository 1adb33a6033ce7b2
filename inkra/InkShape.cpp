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
                 bool fastInside, LONG length) {
    c.x1 = p1.x;
    c.y1 = p1.y;
    c.dx = i64{p2.x} - p1.x;
    c.dy = i64{p2.y} - p1.y;
    c.lengthSq = c.dx * c.dx + c.dy * c.dy;
    c.L = length >= 0 ? length : PointLength(static_cast<LONG>(c.dx), static_cast<LONG>(c.dy));
    c.inverseL = c.L > 0 ? 1.0 / static_cast<double>(c.L) : 0.0;
    c.nearBelow = c.L == 0 ? std::numeric_limits<i64>::max() : 0;
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

void CapsuleSpan::Init(const Capsule& c, LONG lf) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double h = SpanReach(lf);
    x1 = c.x1 / 65536.0;
    y1 = c.y1 / 65536.0;
    const double dx = c.dx / 65536.0, dy = c.dy / 65536.0;
    const double w1 = c.w1 / 65536.0, w2 = c.w2 / 65536.0;
    cx[0] = x1;
    cy[0] = y1;
    cx[1] = x1 + dx;
    cy[1] = y1 + dy;
    top = kInf;
    bottom = -kInf;
    for (int i = 0; i < 2; ++i) {
        const double r = (i == 0 ? w1 : w2) + h;
        rho[i] = r > 0 ? r : -1;
        if (r > 0) {
            top = std::min(top, cy[i] - r);
            bottom = std::max(bottom, cy[i] + r);
        }
    }
    for (int i = 0; i < 4; ++i) {
        lowBase[i] = -kInf;
        upBase[i] = kInf;
        lowSlope[i] = upSlope[i] = 0;
        lowPer[i] = upPer[i] = 1;
    }
    bandTop = kInf;
    bandBottom = -kInf;
    oneDisc = false;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0))
        return;
    const double r = std::max(w1, w2) + h;
    if (r > 0 && len * 4 <= r) {
        // Every point within the radius of the segment is within r + len / 2 of its middle.
        oneDisc = true;
        cx[0] = x1 + dx / 2;
        cy[0] = y1 + dy / 2;
        rho[0] = r + len / 2;
        top = cy[0] - rho[0];
        bottom = cy[0] + rho[0];
        return;
    }
    const double ex = dx / len, ey = dy / len, k = (w2 - w1) / len;
    // With u = x - x1 and v = y - y1: projection at least 0 and at most the length;
    // |perpendicular| at most the radius at the projection plus h, on either side. Each is
    // coef u <= base + slope v: a bound on u in the row, or on v alone when coef is 0.
    const double coef[4] = {-ex, ex, ey - k * ex, -ey - k * ex};
    const double base[4] = {0, len, w1 + h, w1 + h};
    const double slope[4] = {ey, -ey, ex + k * ey, -ex + k * ey};
    bandTop = -kInf;
    bandBottom = kInf;
    for (int i = 0; i < 4; ++i) {
        if (coef[i] > 1e-12 || coef[i] < -1e-12) {
            const bool upper = coef[i] > 0;
            (upper ? upBase : lowBase)[i] = base[i];
            (upper ? upSlope : lowSlope)[i] = slope[i];
            (upper ? upPer : lowPer)[i] = 1 / coef[i];
        } else if (slope[i] > 0) {
            bandTop = std::max(bandTop, -base[i] / slope[i]);
        } else if (slope[i] < 0) {
            bandBottom = std::min(bandBottom, -base[i] / slope[i]);
        } else if (base[i] < 0) {
            bandTop = kInf;
        }
    }
    // Rounding here must never lose a row the band reaches: a row too many only looks at a
    // few more pixels.
    bandTop -= 1e-6 + std::fabs(bandTop) * 1e-12;
    bandBottom += 1e-6 + std::fabs(bandBottom) * 1e-12;
}

bool CapsuleRowSpan(const Capsule& c, LONG lf, int y, int& lo, int& hi) {
    CapsuleSpan span;
    span.Init(c, lf);
    return span.Row(y, lo, hi);
}

bool DiscRowSpan(i64 cx, i64 cy, i64 w, LONG lf, int y, int& lo, int& hi) {
    const double rho = w / 65536.0 + SpanReach(lf);
    const double t = y - cy / 65536.0;
    const double q = rho * rho - t * t;
    if (rho <= 0 || q < 0)
        return false;
    const double s = std::sqrt(q), centre = cx / 65536.0;
    return SpanToPixels(centre - s, centre + s, lo, hi);
}

int ChooseWalk(i64 dx, i64 dy) {
    // A slope below 131 / 65536, by products: (ay << 16) / ax < 131 exactly when
    // (ay << 16) < 131 ax.
    const i64 ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    if (ay == 0 || (ax != 0 && (ay << 16) < 131 * ax))
        return kWalkHorizontal;
    if (ax == 0 || (ax << 16) < 131 * ay)
        return kWalkVertical;
    return kWalkGeneral;
}

} // namespace inkra::detail
