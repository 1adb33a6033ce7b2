#include "fundo/Matrix.h"

namespace {

using fundo::detail::Wrap32;

constexpr LONG Abs(LONG v) {
    return v < 0 ? Wrap32(-std::int64_t{v}) : v;
}

// (a b) >> 16 + (c d) >> 16, each product shifted on its own.
constexpr LONG Sum2(LONG a, LONG b, LONG c, LONG d) {
    return Wrap32(std::int64_t{FixedMul(a, b)} + FixedMul(c, d));
}

void SetLinear(MATRIX* m, LONG m11, LONG m12, LONG m21, LONG m22) {
    m->m11 = m11;
    m->m12 = m12;
    m->m21 = m21;
    m->m22 = m22;
}

void TransformFixedCorners(const MATRIX* m, const tagRECT* in, tagRECT* out) {
    tagRECT bounds;
    RectSetEmpty(&bounds);
    for (int corner = 0; corner < 4; ++corner) {
        tagPOINT p;
        RectGetPoint(in, corner, &p);
        MatrixTransformPoint(m, &p, &p);
        RectUnionPoint(p, &bounds);
    }
    *out = bounds;
}

} // namespace

void MatrixIdentity(MATRIX* m) {
    *m = MATRIX{FIXED_ONE, 0, 0, FIXED_ONE, 0, 0, 0, 0};
}

void MatrixSetCenter(LONG cx, LONG cy, MATRIX* m) {
    m->cx = cx;
    m->cy = cy;
}

void MatrixTranslate(LONG tx, LONG ty, MATRIX* m) {
    m->dx = Wrap32(std::int64_t{m->dx} + tx);
    m->dy = Wrap32(std::int64_t{m->dy} + ty);
}

void MatrixScale(LONG sx, LONG sy, MATRIX* m) {
    const MATRIX s{sx, 0, 0, sy, 0, 0, 0, 0};
    MatrixConcat(&s, m, m);
}

void MatrixRotate(LONG angle, MATRIX* m) {
    const LONG co = _FPCos(angle, 16, 16);
    const LONG si = _FPSin(angle, 16, 16);
    const MATRIX r{co, si, -si, co, 0, 0, 0, 0};
    MatrixConcat(&r, m, m);
}

void MatrixConcat(const MATRIX* a, const MATRIX* b, MATRIX* out) {
    // Everything is read before out is written: out may be a or b.
    MATRIX r;
    if (a->m12 == 0 && a->m21 == 0 && b->m12 == 0 && b->m21 == 0) {
        r.m11 = FixedMul(b->m11, a->m11);
        r.m12 = 0;
        r.m21 = 0;
        r.m22 = FixedMul(b->m22, a->m22);
        r.dx = Wrap32(std::int64_t{FixedMul(a->dx, b->m11)} + b->dx);
        r.dy = Wrap32(std::int64_t{FixedMul(a->dy, b->m22)} + b->dy);
    } else {
        r.m11 = Sum2(b->m11, a->m11, a->m12, b->m21);
        r.m12 = Sum2(b->m22, a->m12, a->m11, b->m12);
        r.m21 = Sum2(a->m22, b->m21, a->m21, b->m11);
        r.m22 = Sum2(b->m22, a->m22, a->m21, b->m12);
        r.dx = Wrap32(std::int64_t{FixedMul(a->dx, b->m11)} + b->dx + FixedMul(a->dy, b->m21));
        r.dy = Wrap32(std::int64_t{FixedMul(a->dy, b->m22)} + b->dy + FixedMul(b->m12, a->dx));
    }
    r.cx = b->cx;
    r.cy = b->cy;
    *out = r;
}

void MatrixInvert(const MATRIX* m, MATRIX* out) {
    const MATRIX src = *m; // out may be m
    MATRIX r = *out;       // the centre of out is kept
    auto identity = [&r, out] {
        SetLinear(&r, FIXED_ONE, 0, 0, FIXED_ONE);
        r.dx = r.dy = 0;
        *out = r;
    };
    std::uint32_t g =
        static_cast<std::uint32_t>(Abs(src.m11)) | static_cast<std::uint32_t>(Abs(src.m12)) |
        static_cast<std::uint32_t>(Abs(src.m21)) | static_cast<std::uint32_t>(Abs(src.m22));
    // Nothing to invert: checked before the diagonal case, so a zero matrix gives the
    // identity rather than zeros.
    if (g == 0) {
        identity();
        return;
    }
    if (src.m12 == 0 && src.m21 == 0) {
        const std::int64_t one32 = std::int64_t{1} << 32;
        SetLinear(&r, src.m11 == 0 ? 0 : Wrap32(one32 / src.m11), 0, 0,
                  src.m22 == 0 ? 0 : Wrap32(one32 / src.m22));
        r.dx = Wrap32(-std::int64_t{FixedMul(src.dx, r.m11)});
        r.dy = Wrap32(-std::int64_t{FixedMul(src.dy, r.m22)});
        *out = r;
        return;
    }
    // Bring the largest coefficient near bit 29 so the determinant keeps its precision.
    int s = 0;
    while (g < 0x1000000u) {
        g <<= 6;
        s += 6;
    }
    while (g < 0x20000000u) {
        g <<= 1;
        s += 1;
    }
    int h = 2 * (16 - s);
    std::int64_t det;
    if (h > 0) {
        det = ((std::int64_t{src.m11} * src.m22) >> h) - ((std::int64_t{src.m21} * src.m12) >> h);
    } else {
        h = 0;
        det = Wrap32(std::int64_t{src.m22} * src.m11 - std::int64_t{src.m21} * src.m12);
    }
    if (det == 0) {
        identity();
        return;
    }
    const int e = 16 - h;
    auto scale = [e](LONG v) -> std::int64_t {
        return e >= 0 ? std::int64_t{v} * (std::int64_t{1} << e) : std::int64_t{v} >> -e;
    };
    SetLinear(&r, Wrap32(scale(src.m22) * 65536 / det), Wrap32(-(scale(src.m12) * 65536) / det),
              Wrap32(-(scale(src.m21) * 65536) / det), Wrap32(scale(src.m11) * 65536 / det));
    tagPOINT t{src.dx, src.dy};
    MatrixDeltaTransformPoint(&r, &t, &t);
    r.dx = Wrap32(-std::int64_t{t.x});
    r.dy = Wrap32(-std::int64_t{t.y});
    *out = r;
}

int MatrixEqual(const MATRIX* a, const MATRIX* b, LONG tolerance) {
    const LONG fieldsA[6] = {a->m11, a->m12, a->m21, a->m22, a->dx, a->dy};
    const LONG fieldsB[6] = {b->m11, b->m12, b->m21, b->m22, b->dx, b->dy};
    for (int i = 0; i < 6; ++i) {
        std::int64_t d = std::int64_t{fieldsA[i]} - fieldsB[i];
        if ((d < 0 ? -d : d) > tolerance)
            return 0;
    }
    return 1;
}

int MatrixIsIdentity(const MATRIX* m) {
    return m->m11 == FIXED_ONE && m->m22 == FIXED_ONE && m->m12 == 0 && m->m21 == 0 && m->dx == 0 &&
           m->dy == 0;
}

int MatrixIsScaleOnly(const MATRIX* m) {
    return Abs(m->m12) <= 16 && Abs(m->m21) <= 16 && m->m11 >= 1 && m->m22 >= 1;
}

void MatrixTransformRect(const MATRIX* m, const tagRECT* in, tagRECT* out) {
    if (RectIsEmpty(in)) {
        RectSetEmpty(out);
        return;
    }
    tagRECT fixed = *in;
    RectIntToFixed(fixed);
    TransformFixedCorners(m, &fixed, out);
    RectFixedToInt(*out);
}

void MatrixTransformFixedRect(const MATRIX* m, const tagRECT* in, tagRECT* out) {
    if (RectIsEmpty(in)) {
        RectSetEmpty(out);
        return;
    }
    TransformFixedCorners(m, in, out);
}

namespace {

// Scale of one axis of MatrixMap: extents below 2 count as 1.
LONG MapScale(LONG fromLow, LONG fromHigh, LONG toLow, LONG toHigh) {
    std::int64_t extent = std::int64_t{fromHigh} - fromLow;
    if (extent < 2)
        extent = 1;
    return Wrap32(((std::int64_t{toHigh} - toLow) << 16) / extent);
}

} // namespace

void MatrixMap(const tagRECT* from, const tagRECT* to, MATRIX* out) {
    const LONG sx = MapScale(from->left, from->right, to->left, to->right);
    const LONG sy = MapScale(from->top, from->bottom, to->top, to->bottom);
    *out = MATRIX{sx,
                  0,
                  0,
                  sy,
                  Wrap32(std::int64_t{to->left} - FixedMul(from->left, sx)),
                  Wrap32(std::int64_t{to->bottom} - FixedMul(from->bottom, sy)),
                  0,
                  0};
}

void MatrixMapAspect(const tagRECT* from, const tagRECT* to, MATRIX* out) {
    const LONG sx = MapScale(from->left, from->right, to->left, to->right);
    const LONG sy = MapScale(from->top, from->bottom, to->top, to->bottom);
    const LONG s = sx < sy ? sx : sy;
    auto half = [](LONG a, LONG b) { return Wrap32((std::int64_t{a} + b) >> 1); };
    *out = MATRIX{s,
                  0,
                  0,
                  s,
                  Wrap32(std::int64_t{half(to->left, to->right)} -
                         FixedMul(s, half(from->left, from->right))),
                  Wrap32(std::int64_t{half(to->top, to->bottom)} -
                         FixedMul(s, half(from->top, from->bottom))),
                  0,
                  0};
}

void GetMatrixScale(const MATRIX* m, LONG& sx, LONG& sy) {
    sx = PointLength(m->m11, m->m12);
    sy = PointLength(m->m21, m->m22);
}

void GetMatrixTranslate(const MATRIX* m, LONG& tx, LONG& ty) {
    tx = m->dx;
    ty = m->dy;
}

void MatrixDecompose(const MATRIX* m, tagPOINT* out, LONG& angle) {
    const LONG a = _FPATan2(m->m12, m->m11, 16, 16);
    *out = tagPOINT{PointLength(m->m11, m->m12), PointLength(m->m21, m->m22)};
    angle = a;
}
