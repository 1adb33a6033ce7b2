// A DIB section selected into its own memory context, for pixel tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

class TestDib {
public:
    TestDib(int width, int height, int bpp = 24, std::vector<RGBQUAD> colors = {},
            bool topDown = false)
        : m_width(width), m_height(height), m_bpp(bpp), m_topDown(topDown) {
        std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(buf.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = topDown ? -height : height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = static_cast<WORD>(bpp);
        info->bmiHeader.biClrUsed = static_cast<DWORD>(colors.size());
        if (!colors.empty())
            std::memcpy(info->bmiColors, colors.data(), colors.size() * sizeof(RGBQUAD));
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<BYTE*>(bits);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        m_stride = ((width * bpp + 31) & ~31) / 8;
    }
    ~TestDib() {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    TestDib(const TestDib&) = delete;
    TestDib& operator=(const TestDib&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    BYTE* bits() const { return m_bits; }
    int stride() const { return m_stride; }
    // Row y of the image, counted from the top.
    BYTE* Row(int y) const {
        return m_bits + static_cast<size_t>(m_topDown ? y : m_height - 1 - y) * m_stride;
    }
    // 24-bit pixels as COLORREF, read straight from memory.
    COLORREF At(int x, int y) const {
        const BYTE* p = Row(y) + x * (m_bpp / 8);
        return RGB(p[2], p[1], p[0]);
    }
    void Put(int x, int y, COLORREF c) const {
        BYTE* p = Row(y) + x * (m_bpp / 8);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
    }
    void Fill(COLORREF c) const {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                Put(x, y, c);
    }

private:
    int m_width, m_height, m_bpp;
    bool m_topDown;
    int m_stride = 0;
    HBITMAP m_bitmap = nullptr;
    BYTE* m_bits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};
