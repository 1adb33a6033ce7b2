// A surface is a block of pixels in one of the DIB layouts: 1, 2, 4, 8, 16 (5-5-5 or 5-6-5),
// 24 or 32 bits per pixel, rows padded to 4 bytes, stored bottom-up or top-down, with a colour
// table for 8 bits and fewer. DIB sections and device bitmaps own one; the screen is a 24-bit
// top-down one whose changes are accumulated for the display backend; SetDIBitsToDevice
// borrows the caller's buffer for the length of the call.
#pragma once

#include <platform/wingdi.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>

namespace plat {

// Union of the rectangles written since the last Take. The listener runs (outside the lock,
// on the drawing thread) when the first change after a Take arrives.
class DirtyTracker {
public:
    void Add(const RECT& rc);
    // What changed becomes exactly rc: a new screen is all changed, and areas of the old one
    // may lie outside it.
    void Reset(const RECT& rc);
    bool Take(RECT* rc);
    void SetListener(std::function<void()> listener);

private:
    std::mutex m_mutex;
    RECT m_box{0, 0, 0, 0};
    std::function<void()> m_listener;
};

// Pixel storage arrives as fresh zero pages, so a new bitmap costs no clearing pass. A block
// of a megabyte or more (a page drawn whole) gets a mapping of its own in huge pages when the
// system offers them: drawing on it then takes a fault or two instead of one per 4 KB page.
// mapped is that mapping's length; 0 for a block from calloc.
struct FreeBytes {
    size_t mapped = 0;
    void operator()(BYTE* p) const;
};

struct Surface {
    int width = 0;
    int height = 0;
    int bpp = 0;
    int stride = 0; // bytes per stored row
    BYTE* bits = nullptr;
    bool bottomUp = true;
    bool rgb565 = false; // 16 bits only
    // A monochrome device bitmap: blits to colour use the text and background colours of the
    // destination, blits from colour compare with the source's background colour.
    bool mono = false;
    int colorCount = 0; // entries of colors in use (8 bits and fewer)
    RGBQUAD colors[256] = {};
    std::unique_ptr<BYTE[], FreeBytes> storage; // empty when the pixels are borrowed
    DirtyTracker* dirty = nullptr;

    // Row y counted from the top of the image.
    BYTE* Row(int y) const {
        return bits + static_cast<std::ptrdiff_t>(bottomUp ? height - 1 - y : y) * stride;
    }
    RECT Bounds() const { return RECT{0, 0, width, height}; }
    bool Paletted() const { return bpp <= 8; }
    void MarkDirty(const RECT& rc) const {
        if (dirty)
            dirty->Add(rc);
    }
};

inline int StrideFor(int width, int bpp) {
    return ((width * bpp + 31) & ~31) / 8;
}

// A zero-filled owned surface, or null for a bad size or depth or when memory runs out. Sizes
// are capped so that a stride times a height always fits comfortably in memory and in int.
std::shared_ptr<Surface> MakeSurface(int width, int height, int bpp, bool bottomUp);
// Installs the default colour table of a depth: black and white for 1 bit, the 16 VGA
// colours for 4 bits, for 8 bits a 6x6x6 cube and a grey ramp.
void SetDefaultColors(Surface& s);
// A full copy with its own buffer (same layout and colour table).
std::shared_ptr<Surface> CloneSurface(const Surface& s);

// Raw pixel values in a surface row.
inline DWORD GetRaw(const BYTE* row, int x, int bpp) {
    switch (bpp) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 2:
            return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        case 4:
            return (x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4);
        case 8:
            return row[x];
        case 16:
            return row[2 * x] | (row[2 * x + 1] << 8);
        case 24:
            return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
        default:
            return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                   (static_cast<DWORD>(row[4 * x + 3]) << 24);
    }
}
inline void PutRaw(BYTE* row, int x, int bpp, DWORD v) {
    switch (bpp) {
        case 1: {
            BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
            row[x >> 3] = static_cast<BYTE>((v & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
            break;
        }
        case 2: {
            int shift = 6 - 2 * (x & 3);
            row[x >> 2] = static_cast<BYTE>((row[x >> 2] & ~(3 << shift)) | ((v & 3) << shift));
            break;
        }
        case 4:
            if (x & 1)
                row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0xF0) | (v & 15));
            else
                row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0x0F) | ((v & 15) << 4));
            break;
        case 8:
            row[x] = static_cast<BYTE>(v);
            break;
        case 16:
            row[2 * x] = static_cast<BYTE>(v);
            row[2 * x + 1] = static_cast<BYTE>(v >> 8);
            break;
        case 24:
            row[3 * x] = static_cast<BYTE>(v);
            row[3 * x + 1] = static_cast<BYTE>(v >> 8);
            row[3 * x + 2] = static_cast<BYTE>(v >> 16);
            break;
        default:
            row[4 * x] = static_cast<BYTE>(v);
            row[4 * x + 1] = static_cast<BYTE>(v >> 8);
            row[4 * x + 2] = static_cast<BYTE>(v >> 16);
            row[4 * x + 3] = static_cast<BYTE>(v >> 24);
            break;
    }
}

// Colour of a raw value through the surface's own format (colour table for paletted ones;
// indices past the table read black). The monochrome rule is the blitter's business.
COLORREF RawToColor(const Surface& s, DWORD raw);
// Raw value closest to a colour: packed for direct colour, nearest table entry otherwise.
DWORD ColorToRaw(const Surface& s, COLORREF c);
// First entry of smallest squared distance; an exact match wins at once.
int NearestIndex(const RGBQUAD* table, int count, COLORREF c);
// Raw values of one surface mean the same in the other (so pixels copy as bits).
bool SameFormat(const Surface& a, const Surface& b);

} // namespace plat
