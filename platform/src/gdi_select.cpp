// SelectObject and GetCurrentObject.
#include "gdi_internal.h"

using namespace plat;

HGDIOBJ SelectObject(HDC h, HGDIOBJ obj) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    std::shared_ptr<GdiObject> o = LookupObject(obj);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    DCAttributes& a = dc->attr;
    HGDIOBJ old = nullptr;
    switch (o->type) {
        case GdiType::Bitmap: {
            auto bm = std::static_pointer_cast<BitmapObject>(o);
            if (dc->kind != DCKind::Memory)
                return nullptr;
            if (a.bitmap.get() == bm.get())
                return bm->handle;
            // A bitmap lives in one memory context at a time (the stock one in any number).
            if (!bm->stock && SelectionCount(*bm) > 0)
                return nullptr;
            old = a.bitmap.handle();
            a.bitmap.Set(bm);
            dc->surface = bm->surface;
            dc->UpdateClip();
            return old;
        }
        case GdiType::Brush:
            old = a.brush.handle();
            a.brush.Set(std::static_pointer_cast<BrushObject>(o));
            return old;
        case GdiType::Pen:
            old = a.pen.handle();
            a.pen.Set(std::static_pointer_cast<PenObject>(o));
            return old;
        case GdiType::Font:
            old = a.font.handle();
            a.font.Set(std::static_pointer_cast<FontObject>(o));
            return old;
        case GdiType::Region: {
            int r = SelectClipRgn(h, static_cast<HRGN>(obj));
            if (r == ERROR)
                return HGDI_ERROR;
            return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(r));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC h, UINT type) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return nullptr;
    switch (type) {
        case OBJ_BITMAP:
            return dc->attr.bitmap.handle();
        case OBJ_BRUSH:
            return dc->attr.brush.handle();
        case OBJ_PEN:
            return dc->attr.pen.handle();
        case OBJ_FONT:
            return dc->attr.font.handle();
        default:
            return nullptr;
    }
}
