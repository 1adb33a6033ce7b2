// LoadBitmapW and LoadImageW: BMP bytes (with or without the 14-byte file header) into a DIB
// section of the file's own depth. Every offset and size is checked against the bytes given.
#include "bitblt_engine.h"
#include "dib_info.h"
#include "gdi_internal.h"

#include <platform/device.h>
#include <platform/gdiguard.h>
#include <platform/safefile.h>
#include <platform/winbase.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace plat {
namespace {

constexpr size_t kMaxFile = size_t{1} << 28;

DWORD Le32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

} // namespace

HBITMAP BitmapFromBmpBytes(const BYTE* data, size_t size) {
    if (!data || size < sizeof(BITMAPCOREHEADER))
        return nullptr;
    size_t infoAt = 0;
    size_t bitsAt = 0;
    const bool fileHeader = size >= 14 && data[0] == 'B' && data[1] == 'M';
    if (fileHeader) {
        infoAt = 14;
        bitsAt = Le32(data + 10);
    }
    if (size - infoAt < 4)
        return nullptr;
    const DWORD hsize = Le32(data + infoAt);
    if (hsize != sizeof(BITMAPCOREHEADER) && (hsize < sizeof(BITMAPINFOHEADER) || hsize > 4096))
        return nullptr;
    // Header, masks and colour table, copied to aligned memory.
    const size_t avail = std::min(size - infoAt, static_cast<size_t>(hsize) + 12 + 256 * 4);
    std::vector<DWORD> aligned((avail + 3) / 4 + 1, 0);
    std::memcpy(aligned.data(), data + infoAt, avail);
    auto* info = reinterpret_cast<BITMAPINFO*>(aligned.data());
    DibLayout l;
    if (!ReadDibLayout(info, DIB_RGB_COLORS, avail, &l))
        return nullptr;
    const size_t headerBytes = DibHeaderBytes(info->bmiHeader);
    if (!fileHeader || bitsAt == 0)
        bitsAt = infoAt + headerBytes;
    if (bitsAt < infoAt + hsize || bitsAt > size || size - bitsAt < l.imageSize)
        return nullptr;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bm)
        return nullptr;
    std::memcpy(bits, data + bitsAt, l.imageSize);
    return bm;
}

namespace {

HBITMAP FromResource(HINSTANCE instance, LPCWSTR name) {
    HRSRC res = FindResourceW(instance, name, RT_BITMAP);
    if (!res)
        return nullptr;
    HGLOBAL mem = LoadResource(instance, res);
    const void* p = mem ? LockResource(mem) : nullptr;
    if (!p)
        return nullptr;
    return BitmapFromBmpBytes(static_cast<const BYTE*>(p), SizeofResource(instance, res));
}

HBITMAP FromFile(LPCWSTR devicePath) {
    std::string host;
    if (!devicePath || !DeviceToHostPath(devicePath, &host)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    // Only a regular file is read; a FIFO or device is refused at once.
    std::vector<BYTE> bytes;
    const int err = ReadHostFile(host, kMaxFile, &bytes);
    if (err) {
        SetLastError(err == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (bytes.empty())
        return nullptr;
    return BitmapFromBmpBytes(bytes.data(), bytes.size());
}

// A copy of a bitmap at another size, same depth and colour table, nearest sampling.
HBITMAP Resized(HBITMAP bm, int cx, int cy) {
    std::shared_ptr<BitmapObject> src = Lookup<BitmapObject>(bm, GdiType::Bitmap);
    if (!src)
        return nullptr;
    const Surface& s = *src->surface;
    if ((cx == 0 || cx == s.width) && (cy == 0 || cy == s.height))
        return bm;
    std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(buf.data());
    info->bmiHeader = src->header;
    info->bmiHeader.biWidth = cx ? cx : s.width;
    info->bmiHeader.biHeight = cy ? cy : s.height;
    info->bmiHeader.biSizeImage = 0;
    info->bmiHeader.biClrUsed = s.bpp <= 8 ? static_cast<DWORD>(s.colorCount) : 0;
    if (s.bpp <= 8)
        std::memcpy(info->bmiColors, s.colors, sizeof(RGBQUAD) * s.colorCount);
    else if (src->header.biCompression == BI_BITFIELDS)
        std::memcpy(info->bmiColors, src->masks, sizeof(src->masks));
    // The original is let go whatever happens; the copy replaces it.
    gdi::Bitmap original(bm);
    HBITMAP out = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    gdi::MemoryDC dc = gdi::MemoryDC::Adopt(
        out ? CreateSurfaceDC(nullptr, DCKind::Memory, POINT{0, 0}, nullptr) : nullptr);
    if (dc) {
        gdi::Select sel(dc, out);
        std::shared_ptr<DCObj> d = LookupDC(dc);
        BlitRequest r;
        r.width = info->bmiHeader.biWidth;
        r.height = info->bmiHeader.biHeight;
        r.src = &s;
        r.srcWidth = s.width;
        r.srcHeight = s.height;
        ExecuteBlit(*d, r);
    }
    return out;
}

} // namespace
} // namespace plat

using namespace plat;

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return FromResource(instance, name);
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_BITMAP || cx < 0 || cy < 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    HBITMAP bm = (flags & LR_LOADFROMFILE) ? FromFile(name) : FromResource(instance, name);
    if (!bm)
        return nullptr;
    return Resized(bm, cx, cy);
}
