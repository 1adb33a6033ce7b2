// Bitmaps: DIB sections, device bitmaps and DIB colour tables.
#include "dib_info.h"
#include "gdi_internal.h"

#include <algorithm>
#include <cstring>

using namespace plat;

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
    (void)offset;
    if (bits)
        *bits = nullptr;
    DibLayout l;
    if (section || !ReadDibLayout(info, usage, 0, &l)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (usage == DIB_PAL_COLORS && !LookupDC(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::shared_ptr<Surface> s = MakeSurface(l.width, l.height, l.bpp, l.bottomUp);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    s->rgb565 = l.rgb565;
    s->colorCount = l.colorCount;
    std::memcpy(s->colors, l.colors, sizeof(s->colors));

    auto bm = std::make_shared<BitmapObject>();
    bm->surface = s;
    bm->dibSection = true;
    BITMAPINFOHEADER h{};
    if (info->bmiHeader.biSize == sizeof(BITMAPCOREHEADER)) {
        h.biSize = sizeof(BITMAPINFOHEADER);
        h.biWidth = l.width;
        h.biHeight = l.height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(l.bpp);
    } else {
        h = info->bmiHeader;
        h.biSize = sizeof(BITMAPINFOHEADER);
    }
    h.biSizeImage = static_cast<DWORD>(l.imageSize);
    bm->header = h;
    std::memcpy(bm->masks, l.masks, sizeof(bm->masks));
    HBITMAP handle = static_cast<HBITMAP>(AllocHandle(bm));
    if (handle && bits)
        *bits = s->bits;
    return handle;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
    if (planes != 1 || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(StockBitmap()->handle);
    int bpp = bitCount <= 1    ? 1
              : bitCount <= 2  ? 2
              : bitCount <= 4  ? 4
              : bitCount <= 8  ? 8
              : bitCount <= 16 ? 16
              : bitCount <= 24 ? 24
                               : 32;
    if (bitCount > 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Surface> s = MakeSurface(width, height, bpp, false);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    s->mono = bpp == 1;
    SetDefaultColors(*s);
    if (bits) {
        // Device bitmap rows come padded to 2 bytes, top row first.
        size_t srcStride = static_cast<size_t>(((width * bpp + 15) / 16) * 2);
        const BYTE* p = static_cast<const BYTE*>(bits);
        for (int y = 0; y < height; ++y)
            std::memcpy(s->Row(y), p + srcStride * static_cast<size_t>(y), srcStride);
    }
    return MakeBitmapHandle(s, false);
}

HBITMAP CreateCompatibleBitmap(HDC h, int width, int height) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || width < 0 || height < 0)
        return nullptr;
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(StockBitmap()->handle);
    // A memory context makes bitmaps like the one it holds (monochrome for the stock one).
    const Surface* like = dc->surface.get();
    int bpp = like ? like->bpp : 24;
    std::shared_ptr<Surface> s = MakeSurface(width, height, bpp, false);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (like) {
        s->mono = like->mono;
        s->rgb565 = like->rgb565;
        s->colorCount = like->colorCount;
        std::memcpy(s->colors, like->colors, sizeof(s->colors));
    }
    return MakeBitmapHandle(s, false);
}

namespace {

Surface* SelectedDib(HDC h, std::shared_ptr<DCObj>& dc) {
    dc = LookupDC(h);
    if (!dc || dc->kind != DCKind::Memory || !dc->attr.bitmap || !dc->attr.bitmap->dibSection)
        return nullptr;
    Surface* s = dc->surface.get();
    return s && s->bpp <= 8 ? s : nullptr;
}

} // namespace

UINT GetDIBColorTable(HDC h, UINT start, UINT count, RGBQUAD* colors) {
    std::shared_ptr<DCObj> dc;
    Surface* s = SelectedDib(h, dc);
    if (!s || !colors || start >= static_cast<UINT>(s->colorCount))
        return 0;
    UINT n = std::min<UINT>(count, static_cast<UINT>(s->colorCount) - start);
    std::memcpy(colors, s->colors + start, n * sizeof(RGBQUAD));
    return n;
}

UINT SetDIBColorTable(HDC h, UINT start, UINT count, const RGBQUAD* colors) {
    std::shared_ptr<DCObj> dc;
    Surface* s = SelectedDib(h, dc);
    if (!s || !colors || start >= static_cast<UINT>(s->colorCount))
        return 0;
    UINT n = std::min<UINT>(count, static_cast<UINT>(s->colorCount) - start);
    std::memcpy(s->colors + start, colors, n * sizeof(RGBQUAD));
    for (UINT i = 0; i < n; ++i)
        s->colors[start + i].rgbReserved = 0;
    return n;
}
