// Points: the platform's tagPOINT in integer or 16.16 units, and the stroke point GWPOINT.
#pragma once

#include "fundo/FixedPoint.h"

// One sampled stroke point. The memo file stores it whole for some stroke types, so the
// record stays exactly 16 bytes.
struct GWPOINT {
    LONG x;     // 16.16
    LONG y;     // 16.16
    LONG width; // 16.16, from the centre line to the edge (half the drawn width)
    BYTE alpha; // opacity 0-255
    BYTE pad[3];
};
static_assert(sizeof(GWPOINT) == 16, "GWPOINT is stored whole in memo files");

constexpr LONG PointLength(const tagPOINT& p) {
    return PointLength(p.x, p.y);
}

// A cheap upper estimate: max(|x|, |y|) + min(|x|, |y|) / 2.
constexpr LONG PointFastLength(const tagPOINT& p) {
    std::int64_t ax = p.x < 0 ? -static_cast<std::int64_t>(p.x) : p.x;
    std::int64_t ay = p.y < 0 ? -static_cast<std::int64_t>(p.y) : p.y;
    return ax > ay ? fundo::detail::Wrap32(ax + ay / 2) : fundo::detail::Wrap32(ay + ax / 2);
}

constexpr LONG PointDistance(const tagPOINT& a, const tagPOINT& b) {
    return PointLength(fundo::detail::Wrap32(std::int64_t{a.x} - b.x),
                       fundo::detail::Wrap32(std::int64_t{a.y} - b.y));
}

constexpr LONG PointFastDistance(const tagPOINT& a, const tagPOINT& b) {
    return PointFastLength(tagPOINT{fundo::detail::Wrap32(std::int64_t{a.x} - b.x),
                                    fundo::detail::Wrap32(std::int64_t{a.y} - b.y)});
}

// Scales v in place to the given length; a zero vector is left alone.
void PointNormalize(tagPOINT& v, LONG length);

// Crossing of the segments p0-p1 and p2-p3 (16.16). Writes the crossing when it lies
// strictly inside both segments, else the midpoint of p0 and p2. Always returns 1.
int LineIntersection(const tagPOINT& p0, const tagPOINT& p1, const tagPOINT& p2, const tagPOINT& p3,
                     tagPOINT& out);

constexpr void PointIntToFixed(tagPOINT& p) {
    p.x = IntToFixed(p.x);
    p.y = IntToFixed(p.y);
}

constexpr void PointFixedToInt(tagPOINT& p) {
    p.x = FixedToInt(p.x);
    p.y = FixedToInt(p.y);
}
