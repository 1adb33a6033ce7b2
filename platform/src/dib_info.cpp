#include "dib_info.h"

#include <cstring>

namespace plat {
namespace {

// The 20 colours of the default palette (DIB_PAL_COLORS indices refer to it).
const BYTE kSystemColors[20][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

} // namespace

size_t DibHeaderBytes(const BITMAPINFOHEADER& h) {
    if (h.biSize == sizeof(BITMAPCOREHEADER)) {
        const auto& c = reinterpret_cast<const BITMAPCOREHEADER&>(h);
        return sizeof(BITMAPCOREHEADER) + (c.bcBitCount <= 8 ? 3u << c.bcBitCount : 0u);
    }
    size_t n = h.biSize;
    if (h.biBitCount <= 8) {
        DWORD count = h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount);
        if (count > (1u << h.biBitCount))
            count = 1u << h.biBitCount;
        n += 4 * static_cast<size_t>(count);
    } else if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) {
        n += 12;
    }
    return n;
}

bool ReadDibLayout(const BITMAPINFO* info, UINT usage, size_t infoSize, DibLayout* out) {
    if (!info || !out || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS))
        return false;
    DWORD hsize = info->bmiHeader.biSize;
    if (infoSize && infoSize < 4)
        return false;
    DibLayout l;
    const BYTE* base = reinterpret_cast<const BYTE*>(info);
    bool core = hsize == sizeof(BITMAPCOREHEADER);
    DWORD compression = BI_RGB;
    DWORD clrUsed = 0;
    if (core) {
        if (infoSize && infoSize < sizeof(BITMAPCOREHEADER))
            return false;
        BITMAPCOREHEADER c;
        std::memcpy(&c, base, sizeof(c));
        l.width = c.bcWidth;
        l.height = c.bcHeight;
        l.bpp = c.bcBitCount;
        if (c.bcPlanes != 1)
            return false;
    } else {
        if (hsize < sizeof(BITMAPINFOHEADER) || hsize > 4096 || (infoSize && infoSize < hsize))
            return false;
        const BITMAPINFOHEADER& h = info->bmiHeader;
        if (h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
            return false;
        l.width = h.biWidth;
        l.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
        l.bottomUp = h.biHeight > 0;
        l.bpp = h.biBitCount;
        compression = h.biCompression;
        clrUsed = h.biClrUsed;
    }
    if (l.bpp != 1 && l.bpp != 2 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 &&
        l.bpp != 32)
        return false;
    if (l.width <= 0 || l.height <= 0 || l.width > 65535 || l.height > 65535)
        return false;
    size_t pos = hsize;
    if (compression == BI_BITFIELDS) {
        if (l.bpp != 16 && l.bpp != 32)
            return false;
        size_t at = hsize == sizeof(BITMAPINFOHEADER) ? hsize : sizeof(BITMAPINFOHEADER);
        if (infoSize && infoSize < at + 12)
            return false;
        std::memcpy(l.masks, base + at, 12);
        if (hsize == sizeof(BITMAPINFOHEADER))
            pos += 12;
        if (l.bpp == 16 && l.masks[0] == 0xF800 && l.masks[1] == 0x07E0 && l.masks[2] == 0x001F)
            l.rgb565 = true;
        else if (l.bpp == 16 &&
                 !(l.masks[0] == 0x7C00 && l.masks[1] == 0x03E0 && l.masks[2] == 0x1F))
            return false;
        else if (l.bpp == 32 &&
                 !(l.masks[0] == 0xFF0000 && l.masks[1] == 0xFF00 && l.masks[2] == 0xFF))
            return false;
    } else if (compression != BI_RGB) {
        return false;
    }
    if (l.bpp <= 8) {
        int max = 1 << l.bpp;
        int count =
            clrUsed ? static_cast<int>(clrUsed > static_cast<DWORD>(max) ? max : clrUsed) : max;
        size_t entry = usage == DIB_PAL_COLORS ? 2 : (core ? 3 : 4);
        if (infoSize && infoSize < pos + entry * static_cast<size_t>(count))
            return false;
        for (int i = 0; i < count; ++i) {
            const BYTE* e = base + pos + entry * static_cast<size_t>(i);
            if (usage == DIB_PAL_COLORS) {
                WORD index = static_cast<WORD>(e[0] | (e[1] << 8));
                if (index < 20)
                    l.colors[i] = RGBQUAD{kSystemColors[index][2], kSystemColors[index][1],
                                          kSystemColors[index][0], 0};
            } else {
                l.colors[i] = RGBQUAD{e[0], e[1], e[2], 0};
            }
        }
        l.colorCount = max;
    }
    l.stride = StrideFor(l.width, l.bpp);
    l.imageSize = static_cast<size_t>(l.stride) * static_cast<size_t>(l.height);
    if (l.imageSize > (size_t{1} << 28))
        return false;
    *out = l;
    return true;
}

void BorrowSurface(const DibLayout& l, const void* bits, Surface* s) {
    s->width = l.width;
    s->height = l.height;
    s->bpp = l.bpp;
    s->stride = l.stride;
    s->bits = static_cast<BYTE*>(const_cast<void*>(bits));
    s->bottomUp = l.bottomUp;
    s->rgb565 = l.rgb565;
    s->mono = false;
    s->colorCount = l.colorCount;
    std::memcpy(s->colors, l.colors, sizeof(s->colors));
    s->storage.reset();
    s->dirty = nullptr;
}

} // namespace plat
