#include "winza/DrawHelpers.h"

#include "winza/Hires.h"

#include <platform/gdiguard.h>

#include <algorithm>

void FillSolidRect(HDC hdc, const RECT* rect, COLORREF color) {
    if (!hdc || !rect || rect->right <= rect->left || rect->bottom <= rect->top)
        return;
    gdi::Brush brush(::CreateSolidBrush(color));
    if (brush)
        ::FillRect(hdc, rect, brush);
}

void FillSolidRect(HDC hdc, int x, int y, int cx, int cy, COLORREF color) {
    const RECT rc{x, y, x + cx, y + cy};
    FillSolidRect(hdc, &rc, color);
}

void FrameRect(HDC hdc, const RECT* rect, COLORREF lightEdge, COLORREF darkEdge, COLORREF fill,
               int width, int flags) {
    if (!hdc || !rect)
        return;
    const RECT& r = *rect;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (flags & eFrameFill)
        FillSolidRect(hdc, rect, fill);
    int gap = 0;
    if (flags & eFrameDot1)
        gap = 1;
    else if (flags & eFrameDot2)
        gap = 2;
    else if (flags & eFrameDot4)
        gap = 4;
    if (gap) {
        if (flags & eFrameLeft)
            DrawDotVLine(hdc, r.left, r.top, 1, h, lightEdge, gap);
        if (flags & eFrameTop)
            DrawDotHLine(hdc, r.left, r.top, w, 1, lightEdge, gap);
        if (flags & eFrameRight)
            DrawDotVLine(hdc, r.right - 1, r.top, 1, h, darkEdge, gap);
        if (flags & eFrameBottom)
            DrawDotHLine(hdc, r.left, r.bottom - 1, w, 1, darkEdge, gap);
        return;
    }
    if (width <= 0)
        return;
    if (flags & eFrameLeft)
        FillSolidRect(hdc, r.left, r.top, width, h, lightEdge);
    if (flags & eFrameTop)
        FillSolidRect(hdc, r.left, r.top, w, width, lightEdge);
    if (flags & eFrameRight)
        FillSolidRect(hdc, r.right - width, r.top, width, h, darkEdge);
    if (flags & eFrameBottom)
        FillSolidRect(hdc, r.left, r.bottom - width, w, width, darkEdge);
}

namespace {

// Dash length and period along a dashed line; false when they make no dashes.
bool DashShape(int thickness, int gap, int* dash, int* period) {
    *dash = thickness + gap - 1;
    *period = 2 * (thickness + gap) - 2;
    return thickness > 0 && *dash > 0 && *period > 0;
}

} // namespace

void DrawDotHLine(HDC hdc, int x, int y, int length, int thickness, COLORREF color, int gap) {
    int dash, period;
    if (!hdc || length <= 0 || !DashShape(thickness, gap, &dash, &period))
        return;
    gdi::Brush brush(::CreateSolidBrush(color));
    const int end = x + length;
    for (int px = x; px < end; px += period) {
        const RECT rc{px, y, std::min(px + dash, end), y + thickness};
        ::FillRect(hdc, &rc, brush);
    }
}

void DrawDotVLine(HDC hdc, int x, int y, int thickness, int length, COLORREF color, int gap) {
    int dash, period;
    if (!hdc || length <= 0 || !DashShape(thickness, gap, &dash, &period))
        return;
    gdi::Brush brush(::CreateSolidBrush(color));
    const int end = y + length;
    for (int py = y; py < end; py += period) {
        const RECT rc{x, py, x + thickness, std::min(py + dash, end)};
        ::FillRect(hdc, &rc, brush);
    }
}

void DrawArrow(HDC hdc, int direction, const RECT* rect, COLORREF color) {
    if (!hdc || !rect || direction < eArrowLeft || direction > eArrowDown)
        return;
    const RECT& r = *rect;
    gdi::Brush brush(::CreateSolidBrush(color));
    if (direction == eArrowLeft || direction == eArrowRight) {
        const int mid = r.top + (r.bottom - r.top) / 2;
        for (int i = 0; i < r.right - r.left; ++i) {
            const int x = direction == eArrowLeft ? r.left + i : r.right - 1 - i;
            const RECT line{x, mid - i, x + 1, mid + i + 1};
            ::FillRect(hdc, &line, brush);
        }
    } else {
        const int mid = r.left + (r.right - r.left) / 2;
        for (int i = 0; i < r.bottom - r.top; ++i) {
            const int y = direction == eArrowUp ? r.top + i : r.bottom - 1 - i;
            const RECT line{mid - i, y, mid + i + 1, y + 1};
            ::FillRect(hdc, &line, brush);
        }
    }
}

void DrawFolder(HDC hdc, const RECT* rect, COLORREF color, int open) {
    if (!hdc || !rect)
        return;
    const int s = ApplyHires(1);
    const int ox = rect->left;
    const int oy = rect->top;
    // One unit of the 16 x 16 design.
    auto box = [&](int x, int y, int cx, int cy, COLORREF c) {
        FillSolidRect(hdc, ox + x * s, oy + y * s, cx * s, cy * s, c);
    };
    const COLORREF grey = RGB(128, 128, 128);
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    // Tab and back of the folder.
    box(1, 2, 6, 1, grey);
    box(1, 3, 1, 11, grey);
    box(7, 3, 1, 1, grey);
    box(8, 4, 6, 1, grey);
    box(2, 3, 5, 1, white);
    box(2, 4, 6, 1, color);
    if (!open) {
        box(2, 5, 12, 1, white);
        box(2, 6, 12, 8, color);
        box(2, 5, 1, 9, white);
        box(14, 4, 1, 11, black);
        box(1, 14, 14, 1, black);
        box(13, 5, 1, 9, grey);
        box(2, 13, 11, 1, grey);
        return;
    }
    // Open: the back shows, the front flap leans out to the right.
    box(2, 5, 11, 2, color);
    box(13, 5, 1, 2, grey);
    box(3, 7, 13, 1, grey);
    box(4, 8, 11, 1, white);
    box(3, 8, 1, 1, grey);
    box(3, 8, 12, 5, color);
    box(4, 8, 11, 1, white);
    box(15, 8, 1, 6, black);
    box(2, 9, 1, 5, grey);
    box(1, 14, 14, 1, black);
    box(2, 13, 12, 1, grey);
}

void MakeColor(COLORREF base, COLORREF& light, COLORREF& dark) {
    BYTE l[3];
    BYTE d[3];
    const BYTE c[3] = {GetRValue(base), GetGValue(base), GetBValue(base)};
    for (int i = 0; i < 3; ++i) {
        l[i] = c[i] >= 205 ? 255 : static_cast<BYTE>(c[i] + 51);
        d[i] = c[i] <= 50 ? 0 : static_cast<BYTE>(c[i] - 51);
    }
    light = RGB(l[0], l[1], l[2]);
    dark = RGB(d[0], d[1], d[2]);
}
