#include "fundo/GeoPoint.h"

void PointNormalize(tagPOINT& v, LONG length) {
    LONG current = PointLength(v);
    if (current <= 0)
        return;
    LONG q = FixedDiv(length, current);
    v.x = FixedMul(v.x, q);
    v.y = FixedMul(v.y, q);
}

int LineIntersection(const tagPOINT& p0, const tagPOINT& p1, const tagPOINT& p2, const tagPOINT& p3,
                     tagPOINT& out) {
    using fundo::detail::Wrap32;
    const LONG d1x = Wrap32(std::int64_t{p1.x} - p0.x), d1y = Wrap32(std::int64_t{p1.y} - p0.y);
    const LONG d2x = Wrap32(std::int64_t{p3.x} - p2.x), d2y = Wrap32(std::int64_t{p3.y} - p2.y);
    const LONG ex = Wrap32(std::int64_t{p0.x} - p2.x), ey = Wrap32(std::int64_t{p0.y} - p2.y);
    const LONG den = Wrap32(std::int64_t{FixedMul(d1x, d2y)} - FixedMul(d2x, d1y));
    LONG t = 0;
    LONG u = 0;
    if (den != 0) {
        t = FixedDiv(Wrap32(std::int64_t{FixedMul(ey, d2x)} - FixedMul(d2y, ex)), den);
        u = FixedDiv(Wrap32(std::int64_t{FixedMul(d1x, ey)} - FixedMul(d1y, ex)), den);
    }
    // Read every input before writing: out may be one of them.
    tagPOINT result;
    if (t >= 1 && t <= 0xFFFF && u >= 1 && u <= 0xFFFF) {
        result.x = Wrap32(std::int64_t{p0.x} + FixedMul(t, d1x));
        result.y = Wrap32(std::int64_t{p0.y} + FixedMul(t, d1y));
    } else {
        result.x = Wrap32((std::int64_t{p0.x} + p2.x) >> 1);
        result.y = Wrap32((std::int64_t{p0.y} + p2.y) >> 1);
    }
    out = result;
    return 1;
}
