// GDib geometric transforms: rotations, flip, mirror and offset.
#include "GDibInternal.h"

#include <cstdlib>
#include <cstring>

void GDib::Flip() {
    if (!m_hBitmap || !m_pBits)
        return;
    int height = m_Info.header.biHeight;
    size_t stride = static_cast<size_t>(Stride());
    BYTE* scratch = gdib::Scratch();
    for (int i = 0; i < height / 2; ++i) {
        BYTE* a = StoredRow(i);
        BYTE* b = StoredRow(height - 1 - i);
        // Rows longer than the scratch line are swapped in pieces.
        for (size_t done = 0; done < stride; done += kScratchSize) {
            size_t n =
                stride - done < static_cast<size_t>(kScratchSize) ? stride - done : kScratchSize;
            std::memcpy(scratch, a + done, n);
            std::memcpy(a + done, b + done, n);
            std::memcpy(b + done, scratch, n);
        }
    }
}

void GDib::Mirror() {
    if (!m_hBitmap || !m_pBits)
        return;
    int width = m_Info.header.biWidth;
    int height = m_Info.header.biHeight;
    int bits = m_Info.header.biBitCount;
    if (bits < 8) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width / 2; ++x) {
                BYTE left = GetPixelIndex(x, y);
                SetPixelIndex(x, y, GetPixelIndex(width - 1 - x, y));
                SetPixelIndex(width - 1 - x, y, left);
            }
        return;
    }
    int step = bits / 8;
    for (int i = 0; i < height; ++i) {
        BYTE* l = StoredRow(i);
        BYTE* r = l + static_cast<size_t>(width - 1) * step;
        for (; l < r; l += step, r -= step)
            for (int k = 0; k < step; ++k) {
                BYTE t = l[k];
                l[k] = r[k];
                r[k] = t;
            }
    }
}

void GDib::Rotate180() {
    Mirror();
    Flip();
}

int GDib::Offset(int dx, int dy) {
    if (!m_hBitmap || !m_pBits || (dx == 0 && dy == 0))
        return 0;
    int width = m_Info.header.biWidth;
    int height = m_Info.header.biHeight;
    if (std::abs(dx) > width || std::abs(dy) > height)
        return 0;
    int step = m_Info.header.biBitCount / 8;
    size_t from = static_cast<size_t>(dx >= 0 ? 0 : -dx) * step;
    size_t to = static_cast<size_t>(dx >= 0 ? dx : 0) * step;
    size_t span = static_cast<size_t>(width - std::abs(dx)) * step;
    // Rows are visited so that every source row is read before it is overwritten; within
    // one row (dy = 0) source and target overlap, which memmove handles.
    if (dy >= 0) {
        for (int k = 0; k < height - dy; ++k)
            std::memmove(StoredRow(k) + to, StoredRow(k + dy) + from, span);
    } else {
        for (int k = height - 1; k >= -dy; --k)
            std::memmove(StoredRow(k) + to, StoredRow(k + dy) + from, span);
    }
    return 1;
}

int GDib::Rotate(bool left) {
    if (!m_hBitmap || !m_pBits)
        return 0;
    int width = m_Info.header.biWidth;
    int height = m_Info.header.biHeight;
    int bits = m_Info.header.biBitCount;
    GDib rotated;
    rotated.m_Info = m_Info;
    rotated.m_Info.header.biWidth = height;
    rotated.m_Info.header.biHeight = width;
    rotated.m_Info.header.biSizeImage =
        static_cast<DWORD>(LineSize(height, bits)) * static_cast<DWORD>(width);
    if (!rotated.CreateSection(DIB_RGB_COLORS))
        return 0;
    if (bits <= 8) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int nx = left ? y : height - 1 - y;
                int ny = left ? width - 1 - x : x;
                rotated.SetPixelIndex(nx, ny, GetPixelIndex(x, y));
            }
    } else {
        // Walk the new image row by row so the writes stay sequential.
        int step = bits / 8;
        int copy = bits == 16 ? 2 : 3;
        for (int ny = 0; ny < width; ++ny) {
            BYTE* out = rotated.Row(ny);
            // left: new (y, width - 1 - x) = old (x, y); right: new (height - 1 - y, x).
            int x = left ? width - 1 - ny : ny;
            for (int nx = 0; nx < height; ++nx, out += step) {
                int y = left ? nx : height - 1 - nx;
                std::memcpy(out, Row(y) + static_cast<size_t>(x) * step, copy);
            }
        }
    }
    SwapDib(&rotated);
    return 1;
}

void GDib::RotateLeft() {
    Rotate(true);
}

void GDib::RotateRight() {
    Rotate(false);
}
