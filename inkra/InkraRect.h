// Rectangle rules shared by the page and the draw manager (internal to the library).
#pragma once

#include <windows.h>

namespace inkra {

// A rectangle with no area: nothing was drawn.
constexpr bool NoArea(const tagRECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The union start (100000, 100000, 0, 0) of bounds unions.
constexpr tagRECT UnionStart() {
    return tagRECT{100000, 100000, 0, 0};
}

// Bounds union: the smaller left and top, the larger right and bottom.
constexpr void UnionBounds(tagRECT& acc, const tagRECT& r) {
    if (r.left < acc.left)
        acc.left = r.left;
    if (r.top < acc.top)
        acc.top = r.top;
    if (r.right > acc.right)
        acc.right = r.right;
    if (r.bottom > acc.bottom)
        acc.bottom = r.bottom;
}

// Union of drawn rectangles: one with no area adds nothing (it is not at the origin).
constexpr void UnionDrawn(tagRECT& acc, const tagRECT& r) {
    if (NoArea(r))
        return;
    if (NoArea(acc))
        acc = r;
    else
        UnionBounds(acc, r);
}

// r limited to limit; no overlap gives (0, 0, 0, 0).
constexpr tagRECT Clamp(const tagRECT& r, const tagRECT& limit) {
    tagRECT out{r.left > limit.left ? r.left : limit.left, r.top > limit.top ? r.top : limit.top,
                r.right < limit.right ? r.right : limit.right,
                r.bottom < limit.bottom ? r.bottom : limit.bottom};
    if (NoArea(out))
        return tagRECT{0, 0, 0, 0};
    return out;
}

} // namespace inkra
