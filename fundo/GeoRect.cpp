#include "fundo/GeoRect.h"

namespace {

using fundo::detail::Wrap32;

constexpr LONG Min(LONG a, LONG b) {
    return a < b ? a : b;
}
constexpr LONG Max(LONG a, LONG b) {
    return a > b ? a : b;
}
constexpr LONG Middle(LONG a, LONG b) {
    return static_cast<LONG>((std::int64_t{a} + b) >> 1);
}
// Gap between [a0, a1] and [b0, b1]; 0 where they overlap.
constexpr std::int64_t Gap(LONG a0, LONG a1, LONG b0, LONG b1) {
    if (b0 > a1)
        return std::int64_t{b0} - a1;
    if (a0 > b1)
        return std::int64_t{a0} - b1;
    return 0;
}

} // namespace

void RectSet(LONG l, LONG t, LONG r, LONG b, tagRECT* out) {
    *out = tagRECT{Min(l, r), Min(t, b), Max(l, r), Max(t, b)};
}

void RectSetPoint(const tagPOINT& p, tagRECT* out) {
    *out = tagRECT{p.x, p.y, p.x, p.y};
}

void RectSetPoint2(const tagPOINT& p1, const tagPOINT& p2, tagRECT* out) {
    RectSet(p1.x, p1.y, p2.x, p2.y, out);
}

void RectSetHuge(tagRECT* r) {
    *r = tagRECT{-4194304, -4194304, 4194303, 4194303};
}

void RectCenter(const tagRECT* r, tagPOINT* out) {
    if (RectIsEmpty(r)) {
        *out = tagPOINT{0, 0};
        return;
    }
    std::int64_t w = std::int64_t{r->right} - r->left;
    std::int64_t h = std::int64_t{r->bottom} - r->top;
    *out = tagPOINT{Wrap32(r->left + w / 2), Wrap32(r->top + h / 2)};
}

void RectOffset(LONG dx, LONG dy, tagRECT* r) {
    if (RectIsEmpty(r))
        return;
    r->left = Wrap32(std::int64_t{r->left} + dx);
    r->right = Wrap32(std::int64_t{r->right} + dx);
    r->top = Wrap32(std::int64_t{r->top} + dy);
    r->bottom = Wrap32(std::int64_t{r->bottom} + dy);
}

void RectInflate(LONG d, tagRECT* r) {
    if (RectIsEmpty(r))
        return;
    r->left = Wrap32(std::int64_t{r->left} + d);
    r->top = Wrap32(std::int64_t{r->top} + d);
    r->right = Wrap32(std::int64_t{r->right} - d);
    r->bottom = Wrap32(std::int64_t{r->bottom} - d);
    RectValidate(r);
}

void RectShift(const tagRECT* in, int n, tagRECT* out) {
    if (RectIsEmpty(in)) {
        *out = *in;
        return;
    }
    auto shift = [n](LONG v) -> LONG {
        if (n >= 0)
            return static_cast<LONG>(static_cast<std::uint32_t>(v) << n);
        return static_cast<LONG>((std::int64_t{v} + (std::int64_t{1} << (-n - 1))) >> -n);
    };
    *out = tagRECT{shift(in->left), shift(in->top), shift(in->right), shift(in->bottom)};
}

void RectValidate(tagRECT* r) {
    if (r->left > r->right || r->top > r->bottom)
        RectSetEmpty(r);
}

int RectOppositePoint(int index) {
    switch (index) {
        case 0:
            return 2;
        case 1:
            return 3;
        case 2:
            return 0;
        case 3:
            return 1;
        case 4:
            return 6;
        case 5:
            return 7;
        case 6:
            return 4;
        case 7:
            return 5;
        default:
            return 8;
    }
}

void RectGetPoint(const tagRECT* r, int index, tagPOINT* out) {
    const LONG mx = Middle(r->left, r->right);
    const LONG my = Middle(r->top, r->bottom);
    switch (index) {
        case 0:
            *out = tagPOINT{r->left, r->bottom};
            break;
        case 1:
            *out = tagPOINT{r->right, r->bottom};
            break;
        case 2:
            *out = tagPOINT{r->right, r->top};
            break;
        case 3:
            *out = tagPOINT{r->left, r->top};
            break;
        case 4:
            *out = tagPOINT{mx, r->bottom};
            break;
        case 5:
            *out = tagPOINT{r->right, my};
            break;
        case 6:
            *out = tagPOINT{mx, r->top};
            break;
        case 7:
            *out = tagPOINT{r->left, my};
            break;
        default:
            *out = tagPOINT{mx, my};
            break;
    }
}

void RectUnion(const tagRECT* a, const tagRECT* b, tagRECT* out) {
    if (RectIsEmpty(a)) {
        *out = *b;
        return;
    }
    if (RectIsEmpty(b)) {
        *out = *a;
        return;
    }
    *out = tagRECT{Min(a->left, b->left), Min(a->top, b->top), Max(a->right, b->right),
                   Max(a->bottom, b->bottom)};
}

void RectUnionPoint(const tagPOINT& p, tagRECT* r) {
    if (RectIsEmpty(r)) {
        RectSetPoint(p, r);
        return;
    }
    r->left = Min(r->left, p.x);
    r->top = Min(r->top, p.y);
    r->right = Max(r->right, p.x);
    r->bottom = Max(r->bottom, p.y);
}

void RectIntersect(const tagRECT* a, const tagRECT* b, tagRECT* out) {
    if (RectIsEmpty(a) || RectIsEmpty(b)) {
        RectSetEmpty(out);
        return;
    }
    *out = tagRECT{Max(a->left, b->left), Max(a->top, b->top), Min(a->right, b->right),
                   Min(a->bottom, b->bottom)};
    RectValidate(out);
}

int RectTestIntersect(const tagRECT* a, const tagRECT* b) {
    if (RectIsEmpty(a) || RectIsEmpty(b))
        return 0;
    return a->left <= b->right && b->left <= a->right && a->top <= b->bottom && b->top <= a->bottom;
}

int RectPointIn(const tagRECT* r, const tagPOINT& p) {
    if (RectIsEmpty(r))
        return 0;
    return r->left <= p.x && p.x <= r->right && r->top <= p.y && p.y <= r->bottom;
}

int RectEqual(const tagRECT* a, const tagRECT* b, LONG tolerance) {
    bool ea = RectIsEmpty(a);
    bool eb = RectIsEmpty(b);
    if (ea || eb)
        return ea && eb;
    auto near = [tolerance](LONG u, LONG v) {
        std::int64_t d = std::int64_t{u} - v;
        return (d < 0 ? -d : d) <= tolerance;
    };
    return near(a->left, b->left) && near(a->top, b->top) && near(a->right, b->right) &&
           near(a->bottom, b->bottom);
}

LONG RectSize(const tagRECT* r) {
    if (RectIsEmpty(r))
        return 0;
    return PointLength(Wrap32(std::int64_t{r->right} - r->left),
                       Wrap32(std::int64_t{r->bottom} - r->top));
}

void RectSizePoint(const tagRECT* r, tagPOINT* out) {
    if (RectIsEmpty(r)) {
        *out = tagPOINT{0, 0};
        return;
    }
    *out = tagPOINT{Wrap32(std::int64_t{r->right} - r->left),
                    Wrap32(std::int64_t{r->bottom} - r->top)};
}

LONG RectNearDistance(const tagRECT* r, const tagPOINT& p) {
    if (RectIsEmpty(r))
        return INT32_MAX;
    return PointLength(Wrap32(Gap(r->left, r->right, p.x, p.x)),
                       Wrap32(Gap(r->top, r->bottom, p.y, p.y)));
}

LONG RectDistance(const tagRECT* a, const tagRECT* b) {
    if (RectIsEmpty(a) || RectIsEmpty(b))
        return INT32_MAX;
    return PointLength(Wrap32(Gap(a->left, a->right, b->left, b->right)),
                       Wrap32(Gap(a->top, a->bottom, b->top, b->bottom)));
}

void RectIntToFixed(tagRECT& r) {
    if (RectIsEmpty(&r))
        return;
    r = tagRECT{IntToFixed(r.left), IntToFixed(r.top), IntToFixed(r.right), IntToFixed(r.bottom)};
}

void RectFixedToInt(tagRECT& r) {
    if (RectIsEmpty(&r))
        return;
    auto narrow = [](LONG v) -> LONG { return static_cast<SHORT>(FixedToInt(v)); };
    r = tagRECT{narrow(r.left), narrow(r.top), narrow(r.right), narrow(r.bottom)};
}
