// SetDIBitsToDevice and StretchDIBits: blits from a caller's DIB in memory. Bottom-up DIBs
// count source rows from the bottom (y = 0 is the last image row), as in Win32.
#include "bitblt_engine.h"
#include "dib_info.h"

#include <algorithm>
#include <cstdlib>

using namespace plat;

int SetDIBitsToDevice(HDC h, int x, int y, DWORD width, DWORD height, int srcX, int srcY,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    DibLayout l;
    if (!dc || !bits || !ReadDibLayout(info, usage, 0, &l))
        return 0;
    if (startScan >= static_cast<UINT>(l.height) || scanLines == 0 || width > 65535 ||
        height > 65535)
        return 0;
    const int H = l.height;
    const int lines = static_cast<int>(std::min<UINT>(scanLines, static_cast<UINT>(H) - startScan));
    const int w = static_cast<int>(width), hh = static_cast<int>(height);
    // The buffer holds scans startScan .. startScan + lines - 1 only: a band of the image.
    DibLayout band = l;
    band.height = lines;
    Surface s;
    BorrowSurface(band, bits, &s);
    BlitRequest r;
    r.x = x;
    r.y = y;
    r.width = w;
    r.height = hh;
    r.src = &s;
    r.srcX = srcX;
    r.srcWidth = w;
    r.srcHeight = hh;
    r.rop = SRCCOPY;
    if (l.bottomUp)
        r.srcY = static_cast<int>(startScan) + lines - srcY - hh;
    else
        r.srcY = srcY - static_cast<int>(startScan);
    if (!ExecuteBlit(*dc, r))
        return 0;
    return lines;
}

int StretchDIBits(HDC h, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    DibLayout l;
    if (!dc || !bits || !ReadDibLayout(info, usage, 0, &l))
        return 0;
    Surface s;
    BorrowSurface(l, bits, &s);
    BlitRequest r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    r.src = &s;
    r.srcX = srcX;
    r.srcWidth = srcWidth;
    r.srcHeight = srcHeight;
    r.rop = rop;
    r.srcY = l.bottomUp ? l.height - srcY - srcHeight : srcY;
    if (!ExecuteBlit(*dc, r))
        return 0;
    return std::abs(srcHeight);
}
