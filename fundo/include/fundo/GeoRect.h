// Rectangle helpers over the platform's tagRECT, for integer and 16.16 coordinates alike.
// A rectangle whose left is 0x80000000 is empty; every function here tests left alone.
// Handles 0-8 (RectGetPoint): 0 (left, bottom), 1 (right, bottom), 2 (right, top),
// 3 (left, top), 4 (middle x, bottom), 5 (right, middle y), 6 (middle x, top),
// 7 (left, middle y), anything else the centre; the y axis points down.
#pragma once

#include "fundo/GeoPoint.h"

#include <cstdint>

inline constexpr LONG RECT_EMPTY = INT32_MIN; // 0x80000000

constexpr bool RectIsEmpty(const tagRECT* r) {
    return r->left == RECT_EMPTY;
}

constexpr void RectSetEmpty(tagRECT* r) {
    r->left = r->top = r->right = r->bottom = RECT_EMPTY;
}

// Orders the edges: left = min(l, r), top = min(t, b).
void RectSet(LONG l, LONG t, LONG r, LONG b, tagRECT* out);
void RectSetPoint(const tagPOINT& p, tagRECT* out);
void RectSetPoint2(const tagPOINT& p1, const tagPOINT& p2, tagRECT* out);
// Plus and minus 2^22, the right and bottom one less.
void RectSetHuge(tagRECT* r);
// (0, 0) for an empty rectangle.
void RectCenter(const tagRECT* r, tagPOINT* out);
void RectOffset(LONG dx, LONG dy, tagRECT* r);
// A positive d shrinks; the result is validated, so shrinking past the middle empties it.
void RectInflate(LONG d, tagRECT* r);
// n >= 0 shifts left; n < 0 shifts right by -n with rounding.
void RectShift(const tagRECT* in, int n, tagRECT* out);
void RectValidate(tagRECT* r);
int RectOppositePoint(int index);
void RectGetPoint(const tagRECT* r, int index, tagPOINT* out);
void RectUnion(const tagRECT* a, const tagRECT* b, tagRECT* out);
void RectUnionPoint(const tagPOINT& p, tagRECT* r);
void RectIntersect(const tagRECT* a, const tagRECT* b, tagRECT* out);
// Edges inclusive: rectangles sharing an edge intersect.
int RectTestIntersect(const tagRECT* a, const tagRECT* b);
int RectPointIn(const tagRECT* r, const tagPOINT& p);
int RectEqual(const tagRECT* a, const tagRECT* b, LONG tolerance);
// The diagonal; 0 for an empty rectangle.
LONG RectSize(const tagRECT* r);
void RectSizePoint(const tagRECT* r, tagPOINT* out);
// Distance from p to the nearest point of r; 0 inside; 0x7FFFFFFF for an empty r.
LONG RectNearDistance(const tagRECT* r, const tagPOINT& p);
// Length of the horizontal and vertical gaps; 0x7FFFFFFF when either is empty.
LONG RectDistance(const tagRECT* a, const tagRECT* b);
// Both keep an empty rectangle empty; RectFixedToInt narrows each field to 16 bits.
void RectIntToFixed(tagRECT& r);
void RectFixedToInt(tagRECT& r);
