// The DrawDib family: a GDib drawn onto a device context or composed into a 24-bit GDib.
#include "GDibCompose.h"
#include "GDibInternal.h"

namespace {

// Source rectangle after the shared clipping rules; false when it is empty.
bool ClipSource(int width, int height, int& sx, int& sy, int& sw, int& sh) {
    if (sx < 0)
        sx = 0;
    if (sy < 0)
        sy = 0;
    if (sw <= 0 || static_cast<long long>(sx) + sw > width)
        sw = width - sx;
    if (sh <= 0 || static_cast<long long>(sy) + sh > height)
        sh = height - sy;
    return sw > 0 && sh > 0;
}

} // namespace

int GDib::DrawDib(GDib* target, int x, int y, int width, int height, int srcX, int srcY,
                  int srcWidth, int srcHeight, int mode, int alpha, int transparent) const {
    if (!m_hBitmap || !m_pBits || alpha < 1)
        return 0;
    int sourceWidth = m_Info.header.biWidth;
    int sourceHeight = m_Info.header.biHeight;
    if (srcX > sourceWidth || srcY > sourceHeight)
        return 0;
    if (!target || !target->m_hBitmap || !target->m_pBits || target->m_Info.header.biBitCount != 24)
        return 0;
    if (!ClipSource(sourceWidth, sourceHeight, srcX, srcY, srcWidth, srcHeight))
        return 0;
    int targetWidth = target->m_Info.header.biWidth;
    int targetHeight = target->m_Info.header.biHeight;
    // A zero size copies without scaling, as much as fits.
    if (width == 0) {
        long long room = static_cast<long long>(targetWidth) - x;
        width = static_cast<int>(room < srcWidth ? room : srcWidth);
        srcWidth = width;
    }
    if (height == 0) {
        long long room = static_cast<long long>(targetHeight) - y;
        height = static_cast<int>(room < srcHeight ? room : srcHeight);
        srcHeight = height;
    }
    if (width <= 0 || height <= 0)
        return 0;
    // A negative corner moves to 0 without shifting the source; the far edges are cut.
    if (x < 0)
        x = 0;
    if (y < 0)
        y = 0;
    int cutWidth = width < targetWidth - x ? width : targetWidth - x;
    int cutHeight = height < targetHeight - y ? height : targetHeight - y;
    if (cutWidth <= 0 || cutHeight <= 0)
        return 0;

    gdib::ComposeJob job;
    job.srcBits = m_pBits;
    job.srcStride = Stride();
    job.srcHeight = sourceHeight;
    job.srcBitCount = m_Info.header.biBitCount;
    job.palette = m_Info.colors;
    job.sx = srcX;
    job.sy = srcY;
    job.sw = srcWidth;
    job.sh = srcHeight;
    job.dstBits = target->m_pBits;
    job.dstStride = target->Stride();
    job.dstHeight = targetHeight;
    job.dx = x;
    job.dy = y;
    job.dw = width;
    job.dh = height;
    job.cw = cutWidth;
    job.ch = cutHeight;
    job.mode = mode;
    job.alpha = alpha > 255 ? 255 : alpha;
    job.keyed = transparent != 0;
    job.key = m_TransColor;
    job.keyIndex = job.srcBitCount <= 8 ? GetColorIndex(m_TransColor) : -1;
    gdib::Compose(job);
    return 1;
}

int GDib::DrawDib(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, int mode, int alpha, int transparent, DWORD rop) const {
    if (!m_hBitmap || !m_pBits || alpha < 1)
        return 0;
    int sourceWidth = m_Info.header.biWidth;
    int sourceHeight = m_Info.header.biHeight;
    if (srcX > sourceWidth || srcY > sourceHeight)
        return 0;
    if (!ClipSource(sourceWidth, sourceHeight, srcX, srcY, srcWidth, srcHeight))
        return 0;
    if (width == 0)
        width = srcWidth;
    if (height == 0)
        height = srcHeight;
    if (width <= 0 || height <= 0)
        return 0;
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(&m_Info);
    bool opaque = alpha >= 255 && !transparent;
    if (opaque && width == srcWidth && height == srcHeight && rop == SRCCOPY) {
        // DIB rows are counted from the bottom.
        SetDIBitsToDevice(hdc, x, y, width, height, srcX, sourceHeight - height - srcY, 0,
                          sourceHeight, m_pBits, info, DIB_RGB_COLORS);
        return 1;
    }
    if (opaque && (mode == 1 || (width == srcWidth && height == srcHeight))) {
        StretchDIBits(hdc, x, y, width, height, srcX, sourceHeight - srcY - srcHeight, srcWidth,
                      srcHeight, m_pBits, info, DIB_RGB_COLORS, rop);
        return 1;
    }
    // Everything else is composed in a 24-bit bitmap of the target size first.
    GDib staging;
    if (!staging.Create(width, height, 24))
        return 0;
    gdib::MemoryDC memory(staging.m_hBitmap, hdc);
    if (!memory.Get())
        return 0;
    if (!opaque) {
        // Blending and keyed pixels must see what is already on the device.
        ::BitBlt(memory.Get(), 0, 0, width, height, hdc, x, y, SRCCOPY);
    }
    int composeMode = mode == 1 || mode == 2 ? mode : 3;
    DrawDib(&staging, 0, 0, width, height, srcX, srcY, srcWidth, srcHeight, composeMode, alpha,
            transparent);
    ::BitBlt(hdc, x, y, width, height, memory.Get(), 0, 0, rop);
    return 1;
}

int GDib::BitBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY) const {
    return DrawDib(hdc, x, y, width, height, srcX, srcY, 0, 0, 1, 255, 0, SRCCOPY);
}

int GDib::TransBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                   COLORREF transColor) {
    SetTransColor(transColor);
    return DrawDib(hdc, x, y, width, height, srcX, srcY, 0, 0, 1, 255, 1, SRCCOPY);
}

int GDib::AlphaBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                   int alpha) const {
    return DrawDib(hdc, x, y, width, height, srcX, srcY, 0, 0, 1, alpha, 0, SRCCOPY);
}

int GDib::AlphaTransBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int alpha,
                        COLORREF transColor) {
    SetTransColor(transColor);
    return DrawDib(hdc, x, y, width, height, srcX, srcY, 0, 0, 1, alpha, 1, SRCCOPY);
}

int GDib::StretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                     int srcHeight, int mode) const {
    return DrawDib(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, 255, 0,
                   SRCCOPY);
}

int GDib::TransStretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                          int srcWidth, int srcHeight, COLORREF transColor, int mode) {
    SetTransColor(transColor);
    return DrawDib(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, 255, 1,
                   SRCCOPY);
}

int GDib::AlphaStretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                          int srcWidth, int srcHeight, int alpha, int mode) const {
    return DrawDib(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, alpha, 0,
                   SRCCOPY);
}

int GDib::AlphaTransStretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                               int srcWidth, int srcHeight, int alpha, COLORREF transColor,
                               int mode) {
    SetTransColor(transColor);
    return DrawDib(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, alpha, 1,
                   SRCCOPY);
}
