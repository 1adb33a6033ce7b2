// Object-level calls shared by every kind: DeleteObject, GetObjectType, GetObject.
#include "gdi_dc.h"

#include <cstring>

namespace plat {

HBITMAP MakeBitmapHandle(std::shared_ptr<Surface> surface, bool dibSection) {
    if (!surface)
        return nullptr;
    auto bm = std::make_shared<BitmapObject>();
    bm->surface = std::move(surface);
    bm->dibSection = dibSection;
    return static_cast<HBITMAP>(AllocHandle(bm));
}

namespace {

int BitmapInfo(const BitmapObject& bm, int size, void* buffer) {
    const Surface& s = *bm.surface;
    BITMAP b{};
    b.bmType = 0;
    b.bmWidth = s.width;
    b.bmHeight = s.height;
    b.bmWidthBytes = bm.dibSection ? s.stride : ((s.width * s.bpp + 15) / 16) * 2;
    b.bmPlanes = 1;
    b.bmBitsPixel = static_cast<WORD>(s.bpp);
    b.bmBits = bm.dibSection ? s.bits : nullptr;
    if (!buffer)
        return sizeof(BITMAP);
    if (bm.dibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds{};
        ds.dsBm = b;
        ds.dsBmih = bm.header;
        std::memcpy(ds.dsBitfields, bm.masks, sizeof(ds.dsBitfields));
        std::memcpy(buffer, &ds, sizeof(ds));
        return sizeof(DIBSECTION);
    }
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    std::memcpy(buffer, &b, sizeof(b));
    return sizeof(BITMAP);
}

template <class T> int CopyOut(const T& value, int size, void* buffer) {
    if (!buffer)
        return sizeof(T);
    if (size < static_cast<int>(sizeof(T)))
        return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return sizeof(T);
}

} // namespace
} // namespace plat

using namespace plat;

BOOL DeleteObject(HGDIOBJ h) {
    std::shared_ptr<GdiObject> obj = LookupObject(h);
    if (!obj || obj->type == GdiType::DC || obj->type == GdiType::Icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return RequestDelete(*obj) != 0;
}

DWORD GetObjectType(HGDIOBJ h) {
    std::shared_ptr<GdiObject> obj = LookupObject(h);
    if (!obj) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (obj->type) {
        case GdiType::Bitmap:
            return OBJ_BITMAP;
        case GdiType::Brush:
            return OBJ_BRUSH;
        case GdiType::Pen:
            return OBJ_PEN;
        case GdiType::Font:
            return OBJ_FONT;
        case GdiType::Region:
            return OBJ_REGION;
        case GdiType::DC:
            return static_cast<DCObj&>(*obj).kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
        default:
            return 0;
    }
}

int GetObjectW(HGDIOBJ h, int size, LPVOID buffer) {
    std::shared_ptr<GdiObject> obj = LookupObject(h);
    if (!obj || size < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (obj->type) {
        case GdiType::Bitmap:
            return BitmapInfo(static_cast<BitmapObject&>(*obj), size, buffer);
        case GdiType::Brush: {
            auto& b = static_cast<BrushObject&>(*obj);
            LOGBRUSH lb{b.style, b.color, reinterpret_cast<ULONG_PTR>(b.patternBitmap)};
            return CopyOut(lb, size, buffer);
        }
        case GdiType::Pen: {
            auto& p = static_cast<PenObject&>(*obj);
            LOGPEN lp{p.style, POINT{p.width, 0}, p.color};
            return CopyOut(lp, size, buffer);
        }
        case GdiType::Font:
            return static_cast<FontObject&>(*obj).GetObjectData(size, buffer);
        default:
            return 0;
    }
}

BOOL GdiFlush() {
    return TRUE;
}
