// 2D affine transform in 16.16. A point maps as
//   x' = cx + m11 (x - cx) + m21 (y - cy) + dx,   y' = cy + m22 (y - cy) + m12 (x - cx) + dy
// with each product shifted right by 16. In/out arguments of one type may be the same object.
#pragma once

#include "fundo/GeoRect.h"

struct MATRIX {
    LONG m11; // x contribution to x'
    LONG m12; // x contribution to y'
    LONG m21; // y contribution to x'
    LONG m22; // y contribution to y'
    LONG dx;  // translation, in the coordinates' unit
    LONG dy;
    LONG cx; // centre about which the linear part acts
    LONG cy;
};
static_assert(sizeof(MATRIX) == 32, "MATRIX is eight 32-bit fields");

void MatrixIdentity(MATRIX* m);
void MatrixSetCenter(LONG cx, LONG cy, MATRIX* m);
// The move happens after the existing transform.
void MatrixTranslate(LONG tx, LONG ty, MATRIX* m);
// m = scale followed by m.
void MatrixScale(LONG sx, LONG sy, MATRIX* m);
// m = rotation (16.16 degrees) followed by m.
void MatrixRotate(LONG angle, MATRIX* m);
// out = a followed by b; the centre is b's.
void MatrixConcat(const MATRIX* a, const MATRIX* b, MATRIX* out);
// Inverse of the linear part and translation; out's centre is left as it is. A singular
// matrix gives the identity.
void MatrixInvert(const MATRIX* m, MATRIX* out);
// Compares the first six fields; the centre is not compared.
int MatrixEqual(const MATRIX* a, const MATRIX* b, LONG tolerance);
int MatrixIsIdentity(const MATRIX* m);
int MatrixIsScaleOnly(const MATRIX* m);

namespace fundo::detail {

// (coef (v - c)) >> 16; a zero coefficient is skipped (same result, less work).
inline std::int64_t Term(LONG coef, LONG v, LONG c) {
    if (coef == 0)
        return 0;
    return (std::int64_t{coef} * Wrap32(std::int64_t{v} - c)) >> 16;
}

} // namespace fundo::detail

inline void MatrixTransformPoint(const MATRIX* m, const tagPOINT* in, tagPOINT* out) {
    using namespace fundo::detail;
    const LONG x = in->x, y = in->y;
    out->x = Wrap32(std::int64_t{m->cx} + Term(m->m11, x, m->cx) + Term(m->m21, y, m->cy) + m->dx);
    out->y = Wrap32(std::int64_t{m->cy} + Term(m->m22, y, m->cy) + Term(m->m12, x, m->cx) + m->dy);
}

// Maps a stroke point: the width travels as the vector (w, w) through the linear part and
// comes back as its length over sqrt 2, never below 1. Alpha and padding are copied.
inline void MatrixTransformPoint(const MATRIX* m, const GWPOINT* in, GWPOINT* out) {
    using namespace fundo::detail;
    const LONG x = in->x, y = in->y, w = in->width;
    const LONG wx = Wrap32(std::int64_t{FixedMul(m->m11, w)} + FixedMul(m->m21, w));
    const LONG wy = Wrap32(std::int64_t{FixedMul(m->m22, w)} + FixedMul(m->m12, w));
    LONG width = Wrap32((std::int64_t{PointLength(wx, wy)} * 46341) >> 16);
    GWPOINT result = *in;
    result.x =
        Wrap32(std::int64_t{m->cx} + Term(m->m11, x, m->cx) + Term(m->m21, y, m->cy) + m->dx);
    result.y =
        Wrap32(std::int64_t{m->cy} + Term(m->m22, y, m->cy) + Term(m->m12, x, m->cx) + m->dy);
    result.width = width < 1 ? 1 : width;
    *out = result;
}

// Linear part only: x' = m11 x + m21 y, y' = m22 y + m12 x.
inline void MatrixDeltaTransformPoint(const MATRIX* m, const tagPOINT* in, tagPOINT* out) {
    using fundo::detail::Wrap32;
    const LONG x = in->x, y = in->y;
    out->x = Wrap32(std::int64_t{FixedMul(m->m11, x)} + FixedMul(m->m21, y));
    out->y = Wrap32(std::int64_t{FixedMul(m->m22, y)} + FixedMul(m->m12, x));
}

// Bounding rectangle of the mapped corners; integer coordinates in and out (the corners
// are mapped in 16.16). Empty stays empty.
void MatrixTransformRect(const MATRIX* m, const tagRECT* in, tagRECT* out);
// The same on 16.16 coordinates.
void MatrixTransformFixedRect(const MATRIX* m, const tagRECT* in, tagRECT* out);
// Scale-and-move matrix taking from onto to; MatrixMapAspect keeps one uniform scale and
// centres.
void MatrixMap(const tagRECT* from, const tagRECT* to, MATRIX* out);
void MatrixMapAspect(const tagRECT* from, const tagRECT* to, MATRIX* out);
void GetMatrixScale(const MATRIX* m, LONG& sx, LONG& sy);
void GetMatrixTranslate(const MATRIX* m, LONG& tx, LONG& ty);
// out = (|(m11, m12)|, |(m21, m22)|); angle = direction of (m11, m12) in 16.16 degrees.
void MatrixDecompose(const MATRIX* m, tagPOINT* out, LONG& angle);
