#include "inkra/GCurve.h"

#include <cstdint>

using fundo::detail::Wrap32;

namespace {

// A step far below a pixel would make millions of pieces and a zero increment; beyond this
// count 1/n no longer exists in 16.16 anyway.
constexpr std::int64_t kMaxPieces = 0x10000;

LONG Diff(LONG a, LONG b) {
    return Wrap32(std::int64_t{a} - b);
}

LONG Mid(LONG a, LONG b) {
    return Wrap32((std::int64_t{a} + b) >> 1);
}

} // namespace

int GCurve::GCurve3::Init(LONG step, LONG x0, LONG y0, LONG x1, LONG y1, LONG x2, LONG y2) {
    const std::int64_t l1 = PointLength(Diff(x1, x0), Diff(y1, y0));
    const std::int64_t l2 = PointLength(Diff(x2, x1), Diff(y2, y1));
    const std::int64_t q = step == 0 ? 0 : ((l1 + l2) << 16) / step;
    std::int64_t pieces = (q + 0xFFFF) >> 16;
    if (pieces < 2)
        pieces = 2;
    if (pieces > kMaxPieces)
        pieces = kMaxPieces;
    const std::int64_t t = (std::int64_t{1} << 32) / (pieces << 16);
    const std::int64_t t2 = (t * t) >> 16;
    const std::int64_t ax = ((std::int64_t{x0} - 2 * std::int64_t{x1} + x2) * t2) >> 16;
    const std::int64_t ay = ((std::int64_t{y0} - 2 * std::int64_t{y1} + y2) * t2) >> 16;
    const std::int64_t dx = (((std::int64_t{x1} - x0) * 2 * t) >> 16) + ax;
    const std::int64_t dy = (((std::int64_t{y1} - y0) * 2 * t) >> 16) + ay;
    remaining = static_cast<LONG>(pieces);
    x = startX = x0;
    y = startY = y0;
    stepX = initialStepX = Wrap32(dx);
    stepY = initialStepY = Wrap32(dy);
    secondX = Wrap32(2 * ax);
    secondY = Wrap32(2 * ay);
    return remaining;
}

int GCurve::GCurve3::NextVertex(LONG* outX, LONG* outY) {
    if (remaining < 0)
        return remaining;
    x = Wrap32(std::int64_t{x} + stepX);
    y = Wrap32(std::int64_t{y} + stepY);
    stepX = Wrap32(std::int64_t{stepX} + secondX);
    stepY = Wrap32(std::int64_t{stepY} + secondY);
    *outX = x;
    *outY = y;
    return --remaining;
}

int GCurve::InitCurve(LONG step, GWPOINT p0, GWPOINT p1, GWPOINT p2) {
    end = p2;
    startWidth = p1.width;
    const LONG m01x = Mid(p0.x, p1.x), m01y = Mid(p0.y, p1.y);
    const LONG m12x = Mid(p1.x, p2.x), m12y = Mid(p1.y, p2.y);
    const std::int64_t l01 = PointLength(Diff(p1.x, p0.x), Diff(p1.y, p0.y));
    const std::int64_t l12 = PointLength(Diff(p2.x, p1.x), Diff(p2.y, p1.y));
    const std::int64_t r = l01 + l12 == 0 ? 0 : (l01 << 16) / (l01 + l12);
    // K = p1 + (1 - r)(m12 - m01): the tangent at p1 runs along p2 - p0.
    const LONG kx = Wrap32(m12x - (((std::int64_t{m12x} - m01x) * r) >> 16) - m01x + p1.x);
    const LONG ky = Wrap32(m12y - (((std::int64_t{m12y} - m01y) * r) >> 16) - m01y + p1.y);
    n = curve.Init(step, p1.x, p1.y, kx, ky, p2.x, p2.y);
    const std::int64_t span = std::int64_t{n} << 16;
    widthStep = span == 0 ? 0 : Wrap32(((std::int64_t{p2.width} - p1.width) << 16) / span);
    return n;
}

int GCurve::NextPoint(GWPOINT& out) {
    const int k = curve.NextVertex(&out.x, &out.y);
    if (k < 0) {
        out = end;
        return k;
    }
    out.width =
        Wrap32(std::int64_t{startWidth} + ((((std::int64_t{n} - k) << 16) * widthStep) >> 16));
    return k;
}
