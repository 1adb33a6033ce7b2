// GDib per-pixel access and fills.
#include "GDibInternal.h"

#include <cstring>

using gdib::Blend;
using gdib::Pack555;

const BYTE GDib::kExpand5[32] = {0,   15,  23,  31,  39,  47,  55,  63,  71,  79,  87,
                                 95,  95,  111, 119, 127, 135, 143, 151, 159, 167, 175,
                                 183, 191, 199, 207, 215, 223, 223, 239, 247, 255};

BYTE* gdib::Scratch() {
    alignas(16) thread_local BYTE line[GDib::kScratchSize];
    return line;
}

int GDib::IsInside(int x, int y) const {
    return m_pBits && x >= 0 && x < m_Info.header.biWidth && y >= 0 && y < m_Info.header.biHeight;
}

BYTE GDib::GetPixelIndex(int x, int y) const {
    if (!IsInside(x, y))
        return 0;
    const BYTE* row = Row(y);
    switch (m_Info.header.biBitCount) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4);
        case 8:
            return row[x];
        default:
            return 0;
    }
}

void GDib::SetPixelIndex(int x, int y, BYTE index) {
    if (!IsInside(x, y))
        return;
    BYTE* row = Row(y);
    switch (m_Info.header.biBitCount) {
        case 1: {
            BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
            if (index & 1)
                row[x >> 3] |= mask;
            else
                row[x >> 3] &= static_cast<BYTE>(~mask);
            break;
        }
        case 4: {
            BYTE& b = row[x >> 1];
            if (x & 1)
                b = static_cast<BYTE>((b & 0xF0) | (index & 15));
            else
                b = static_cast<BYTE>((b & 0x0F) | ((index & 15) << 4));
            break;
        }
        case 8:
            row[x] = index;
            break;
        default:
            break;
    }
}

RGBQUAD GDib::GetPixel(int x, int y) const {
    if (!IsInside(x, y))
        return RGBQUAD{0, 0, 0, 0};
    int bits = m_Info.header.biBitCount;
    if (bits <= 8)
        return m_Info.colors[GetPixelIndex(x, y)];
    const BYTE* p = Row(y) + x * (bits / 8);
    if (bits == 16) {
        unsigned w = p[0] | (p[1] << 8);
        return RGBQUAD{kExpand5[w & 31], kExpand5[(w >> 5) & 31], kExpand5[(w >> 10) & 31], 0};
    }
    return RGBQUAD{p[0], p[1], p[2], 0};
}

COLORREF GDib::GetPixelColor(int x, int y) const {
    return QuadToColor(GetPixel(x, y));
}

void GDib::SetPixel(int x, int y, RGBQUAD color, BYTE alpha) {
    if (!IsInside(x, y) || alpha == 0)
        return;
    int bits = m_Info.header.biBitCount;
    if (bits <= 8) {
        int index = GetNearestIndex(color);
        if (index >= 0)
            SetPixelIndex(x, y, static_cast<BYTE>(index));
        return;
    }
    // Direct colour addresses stored row y, counted from the start of the buffer.
    BYTE* p = StoredRow(y) + x * (bits / 8);
    if (bits == 16) {
        unsigned w = p[0] | (p[1] << 8);
        int r = color.rgbRed, g = color.rgbGreen, b = color.rgbBlue;
        if (alpha != 255) {
            r = Blend(r, kExpand5[(w >> 10) & 31], alpha);
            g = Blend(g, kExpand5[(w >> 5) & 31], alpha);
            b = Blend(b, kExpand5[w & 31], alpha);
        }
        WORD packed = Pack555(r, g, b);
        p[0] = static_cast<BYTE>(packed);
        p[1] = static_cast<BYTE>(packed >> 8);
        return;
    }
    if (alpha == 255) {
        p[0] = color.rgbBlue;
        p[1] = color.rgbGreen;
        p[2] = color.rgbRed;
    } else {
        p[0] = Blend(color.rgbBlue, p[0], alpha);
        p[1] = Blend(color.rgbGreen, p[1], alpha);
        p[2] = Blend(color.rgbRed, p[2], alpha);
    }
}

void GDib::SetPixelColor(int x, int y, COLORREF color, BYTE alpha) {
    SetPixel(x, y, ColorToQuad(color), alpha);
}

void GDib::SetTransColor(COLORREF color) {
    m_TransColor = ColorToQuad(color);
}

void GDib::SetTransColor(RGBQUAD color) {
    m_TransColor = color;
    m_TransColor.rgbReserved = 0;
}

// Writes value into bits [first, first + count) of a 1-bit row, leftmost pixel in the top bit.
static void FillBits(BYTE* row, int first, int count, bool value) {
    int end = first + count;
    while (first < end && (first & 7)) {
        BYTE mask = static_cast<BYTE>(0x80 >> (first & 7));
        row[first >> 3] = value ? (row[first >> 3] | mask) : (row[first >> 3] & ~mask);
        ++first;
    }
    int whole = (end - first) >> 3;
    if (whole > 0) {
        std::memset(row + (first >> 3), value ? 0xFF : 0x00, static_cast<size_t>(whole));
        first += whole * 8;
    }
    while (first < end) {
        BYTE mask = static_cast<BYTE>(0x80 >> (first & 7));
        row[first >> 3] = value ? (row[first >> 3] | mask) : (row[first >> 3] & ~mask);
        ++first;
    }
}

// Writes a 4-bit index into pixels [first, first + count) of a row, even pixels high.
static void FillNibbles(BYTE* row, int first, int count, BYTE index) {
    int end = first + count;
    if (first < end && (first & 1)) {
        row[first >> 1] = static_cast<BYTE>((row[first >> 1] & 0xF0) | index);
        ++first;
    }
    int whole = (end - first) >> 1;
    if (whole > 0) {
        std::memset(row + (first >> 1), (index << 4) | index, static_cast<size_t>(whole));
        first += whole * 2;
    }
    if (first < end)
        row[first >> 1] = static_cast<BYTE>((row[first >> 1] & 0x0F) | (index << 4));
}

void GDib::FillPalettedSpan(int x, int y, int width, int height, RGBQUAD color) {
    int index = GetNearestIndex(color);
    if (index < 0)
        return;
    int bits = m_Info.header.biBitCount;
    for (int k = 0; k < height; ++k) {
        BYTE* row = Row(y + k);
        switch (bits) {
            case 8:
                std::memset(row + x, index, static_cast<size_t>(width));
                break;
            case 4:
                FillNibbles(row, x, width, static_cast<BYTE>(index & 15));
                break;
            case 1:
                FillBits(row, x, width, (index & 1) != 0);
                break;
            default:
                return;
        }
    }
}

void GDib::FillDirectSpan(int x, int y, int width, int height, RGBQUAD color, BYTE alpha) {
    int bits = m_Info.header.biBitCount;
    if (alpha == 0 || (bits != 16 && bits != 24 && bits != 32))
        return;
    int step = bits / 8;
    if (alpha == 255) {
        // One run of the colour staged in the scratch line, copied into each row in pieces.
        BYTE* scratch = gdib::Scratch();
        int piecePixels = width < kScratchSize / step ? width : kScratchSize / step;
        std::memset(scratch, 0, static_cast<size_t>(piecePixels) * step);
        WORD word = Pack555(color.rgbRed, color.rgbGreen, color.rgbBlue);
        for (int i = 0; i < piecePixels; ++i) {
            BYTE* p = scratch + i * step;
            if (bits == 16) {
                p[0] = static_cast<BYTE>(word);
                p[1] = static_cast<BYTE>(word >> 8);
            } else {
                p[0] = color.rgbBlue;
                p[1] = color.rgbGreen;
                p[2] = color.rgbRed;
            }
        }
        size_t total = static_cast<size_t>(width) * step;
        size_t piece = static_cast<size_t>(piecePixels) * step;
        for (int k = 0; k < height; ++k) {
            BYTE* p = Row(y + k) + static_cast<size_t>(x) * step;
            for (size_t done = 0; done < total; done += piece)
                std::memcpy(p + done, scratch, total - done < piece ? total - done : piece);
        }
        return;
    }
    int a = alpha;
    int ia = 255 - alpha;
    if (bits == 16) {
        int cr = color.rgbRed * a, cg = color.rgbGreen * a, cb = color.rgbBlue * a;
        for (int k = 0; k < height; ++k) {
            BYTE* p = Row(y + k) + static_cast<size_t>(x) * 2;
            for (int i = 0; i < width; ++i, p += 2) {
                unsigned w = p[0] | (p[1] << 8);
                WORD packed = Pack555((cr + kExpand5[(w >> 10) & 31] * ia) >> 8,
                                      (cg + kExpand5[(w >> 5) & 31] * ia) >> 8,
                                      (cb + kExpand5[w & 31] * ia) >> 8);
                p[0] = static_cast<BYTE>(packed);
                p[1] = static_cast<BYTE>(packed >> 8);
            }
        }
        return;
    }
    int cb = color.rgbBlue * a, cg = color.rgbGreen * a, cr = color.rgbRed * a;
    for (int k = 0; k < height; ++k) {
        BYTE* p = Row(y + k) + static_cast<size_t>(x) * step;
        for (int i = 0; i < width; ++i, p += step) {
            p[0] = static_cast<BYTE>((cb + p[0] * ia) >> 8);
            p[1] = static_cast<BYTE>((cg + p[1] * ia) >> 8);
            p[2] = static_cast<BYTE>((cr + p[2] * ia) >> 8);
        }
    }
}

void GDib::SetBackColor(RGBQUAD color, BYTE alpha) {
    if (!m_hBitmap || !m_pBits)
        return;
    int width = m_Info.header.biWidth;
    int height = m_Info.header.biHeight;
    if (m_Info.header.biClrUsed >= 1) {
        FillPalettedSpan(0, 0, width, height, color);
        return;
    }
    FillDirectSpan(0, 0, width, height, color, alpha);
    int bits = m_Info.header.biBitCount;
    if (alpha == 255 && bits >= 16) {
        // A whole-image fill copies whole strides: the row padding ends up cleared.
        size_t used = static_cast<size_t>(width) * (bits / 8);
        size_t pad = static_cast<size_t>(Stride()) - used;
        if (pad)
            for (int i = 0; i < height; ++i)
                std::memset(StoredRow(i) + used, 0, pad);
    }
}

void GDib::SetBackColor(COLORREF color, BYTE alpha) {
    SetBackColor(ColorToQuad(color), alpha);
}

void GDib::FillRect(int x, int y, int width, int height, RGBQUAD color, BYTE alpha) {
    if (!m_hBitmap || !m_pBits || width <= 0 || height <= 0)
        return;
    int imageWidth = m_Info.header.biWidth;
    int imageHeight = m_Info.header.biHeight;
    // Negative corners move to 0 without shortening; the far edges are cut.
    x = x < 0 ? 0 : (x > imageWidth ? imageWidth : x);
    y = y < 0 ? 0 : (y > imageHeight ? imageHeight : y);
    if (width > imageWidth - x)
        width = imageWidth - x;
    if (height > imageHeight - y)
        height = imageHeight - y;
    if (width <= 0 || height <= 0)
        return;
    if (m_Info.header.biClrUsed >= 1)
        FillPalettedSpan(x, y, width, height, color);
    else
        FillDirectSpan(x, y, width, height, color, alpha);
}

void GDib::FillRect(int x, int y, int width, int height, COLORREF color, BYTE alpha) {
    FillRect(x, y, width, height, ColorToQuad(color), alpha);
}
