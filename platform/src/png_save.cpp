// Saving a surface as a PNG file (8-bit RGB, or RGBA when a colour stands for transparency),
// written beside the target and renamed over it.
#include "gdi_internal.h"

#include <platform/safefile.h>

#include <png.h>

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

// Only trivially destructible locals live between setjmp and the calls that may jump.
bool WritePng(SafeReplace* out, int width, int height, int channels, const BYTE* pixels) {
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
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, pixels + static_cast<size_t>(y) * width * channels);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool Save(const Surface& s, const std::string& path, const COLORREF* transparent) {
    if (path.empty() || s.width <= 0 || s.height <= 0)
        return false;
    const int channels = transparent ? 4 : 3;
    std::vector<BYTE> pixels(static_cast<size_t>(s.width) * s.height * channels);
    BYTE* out = pixels.data();
    for (int y = 0; y < s.height; ++y) {
        const BYTE* row = s.Row(y);
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
    SafeReplace file;
    return file.Open(path) == 0 && WritePng(&file, s.width, s.height, channels, pixels.data()) &&
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
