// Fonts and ink measurements for the text tests.
#pragma once

#include "gdi_test_support.h"

// The bounding box of the pixels of a 24-bit test bitmap that differ from a background
// colour; empty (all zero) when there are none.
inline RECT InkBox(const TestDib& dib, int width, int height, COLORREF background) {
    RECT box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (dib.At(x, y) != background) {
                box.left = x < box.left ? x : box.left;
                box.top = y < box.top ? y : box.top;
                box.right = x + 1 > box.right ? x + 1 : box.right;
                box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
            }
    if (box.right == 0)
        return RECT{0, 0, 0, 0};
    return box;
}

inline int CountColor(const TestDib& dib, const RECT& area, COLORREF c) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += dib.At(x, y) == c;
    return n;
}

// A font selected into a context for the life of the object.
class TestFont {
public:
    TestFont(HDC dc, int height, const WCHAR* face = u"Tahoma", int weight = FW_NORMAL,
             DWORD quality = CLEARTYPE_QUALITY)
        : m_dc(dc) {
        m_font =
            CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, quality, 0, face);
        m_old = SelectObject(dc, m_font);
    }
    ~TestFont() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
    }
    TestFont(const TestFont&) = delete;
    TestFont& operator=(const TestFont&) = delete;
    HFONT font() const { return m_font; }

private:
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_old;
};
