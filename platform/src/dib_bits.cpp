// GetDIBits: a bitmap's pixels in a DIB layout the caller describes.
#include "bitblt_engine.h"
#include "dib_info.h"

#include <algorithm>
#include <cstring>

using namespace plat;

// With biBitCount 0 the header is filled in from the bitmap. Otherwise the caller's layout is
// used (any depth; 8 bits and fewer get the bitmap's colour table when the depth matches, the
// default table of that depth when not), the colour table is written to info, and, when bits
// is given, scans start .. start + lines - 1 (counted from the bottom for a bottom-up layout)
// are converted into it. Answers the number of scans, 0 on failure.
int GetDIBits(HDC h, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
              UINT usage) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    std::shared_ptr<BitmapObject> bm = Lookup<BitmapObject>(bitmap, GdiType::Bitmap);
    if (!dc || !bm || !info || usage != DIB_RGB_COLORS ||
        info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    const Surface& s = *bm->surface;
    BITMAPINFOHEADER& hdr = info->bmiHeader;
    if (hdr.biBitCount == 0) {
        hdr.biWidth = s.width;
        hdr.biHeight = s.height;
        hdr.biPlanes = 1;
        hdr.biBitCount = static_cast<WORD>(s.bpp);
        hdr.biCompression = BI_RGB;
        hdr.biSizeImage = static_cast<DWORD>(s.stride * s.height);
        hdr.biClrUsed = 0;
        return s.height;
    }
    if (hdr.biWidth != s.width || (hdr.biHeight != s.height && hdr.biHeight != -s.height))
        return 0;
    Surface layout;
    {
        DibLayout l;
        DWORD clrUsed = hdr.biClrUsed;
        hdr.biClrUsed = 0; // the table is ours to fill
        bool ok = ReadDibLayout(info, DIB_RGB_COLORS, 0, &l);
        hdr.biClrUsed = clrUsed;
        if (!ok)
            return 0;
        BorrowSurface(l, bits, &layout);
    }
    if (layout.bpp <= 8) {
        if (layout.bpp == s.bpp) {
            layout.colorCount = s.colorCount;
            std::memcpy(layout.colors, s.colors, sizeof(layout.colors));
        } else {
            SetDefaultColors(layout);
        }
        std::memcpy(info->bmiColors, layout.colors,
                    sizeof(RGBQUAD) * static_cast<size_t>(1 << layout.bpp));
        hdr.biClrUsed = 0;
    }
    hdr.biSizeImage = static_cast<DWORD>(layout.stride * layout.height);
    if (!bits)
        return s.height;
    if (start >= static_cast<UINT>(s.height))
        return 0;
    const int n = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(s.height) - start));
    RowConverter conv(s, layout, MonoColors{}, RGB(255, 255, 255));
    std::vector<int> xs(static_cast<size_t>(s.width));
    for (int x = 0; x < s.width; ++x)
        xs[static_cast<size_t>(x)] = x;
    BYTE* out = static_cast<BYTE*>(bits);
    for (int k = 0; k < n; ++k) {
        const int scan = static_cast<int>(start) + k;
        const int row = layout.bottomUp ? s.height - 1 - scan : scan;
        BYTE* dst = out + static_cast<size_t>(k) * layout.stride;
        std::memset(dst, 0, static_cast<size_t>(layout.stride));
        conv.Convert(s.Row(row), xs.data(), dst, 0, s.width);
    }
    return n;
}
