// The user32 rectangle helpers. A rectangle is empty when right <= left or bottom <= top.
#include <platform/wingdi.h>

#include <algorithm>

BOOL SetRect(LPRECT rc, int left, int top, int right, int bottom) {
    if (!rc)
        return FALSE;
    *rc = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rc) {
    return SetRect(rc, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT dst, const RECT* src) {
    if (!dst || !src)
        return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rc) {
    return !rc || rc->right <= rc->left || rc->bottom <= rc->top;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b)
        return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rc, POINT pt) {
    return rc && pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom;
}

BOOL OffsetRect(LPRECT rc, int dx, int dy) {
    if (!rc)
        return FALSE;
    rc->left += dx;
    rc->right += dx;
    rc->top += dy;
    rc->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT rc, int dx, int dy) {
    if (!rc)
        return FALSE;
    rc->left -= dx;
    rc->right += dx;
    rc->top -= dy;
    rc->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
        SetRectEmpty(dst);
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b)
        return FALSE;
    const bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        SetRectEmpty(dst);
        return FALSE;
    }
    if (ea || eb) {
        *dst = ea ? *b : *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b)
        return FALSE;
    RECT r = *a;
    RECT cut;
    if (IntersectRect(&cut, a, b)) {
        if (cut.left == a->left && cut.right == a->right) {
            if (cut.top == a->top)
                r.top = cut.bottom;
            else if (cut.bottom == a->bottom)
                r.bottom = cut.top;
        } else if (cut.top == a->top && cut.bottom == a->bottom) {
            if (cut.left == a->left)
                r.left = cut.right;
            else if (cut.right == a->right)
                r.right = cut.left;
        }
    }
    if (IsRectEmpty(&r)) {
        SetRectEmpty(dst);
        return FALSE;
    }
    *dst = r;
    return TRUE;
}
