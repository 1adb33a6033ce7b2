// Icons: a monochrome AND mask and a colour XOR image (or, for monochrome icons, both masks
// stacked in one bitmap of twice the height).
#include "bitblt_engine.h"
#include "gdi_internal.h"

using namespace plat;

namespace {

std::shared_ptr<IconObject> LookupIcon(HICON h) {
    std::shared_ptr<IconObject> icon = Lookup<IconObject>(h, GdiType::Icon);
    if (!icon)
        SetLastError(ERROR_INVALID_HANDLE);
    return icon;
}

// Masks are drawn black and white whatever the context's colours are.
class MaskColours {
public:
    explicit MaskColours(DCObj& dc) : m_dc(dc), m_text(dc.attr.textColor), m_bk(dc.attr.bkColor) {
        dc.attr.textColor = RGB(0, 0, 0);
        dc.attr.bkColor = RGB(255, 255, 255);
    }
    ~MaskColours() {
        m_dc.attr.textColor = m_text;
        m_dc.attr.bkColor = m_bk;
    }
    MaskColours(const MaskColours&) = delete;
    MaskColours& operator=(const MaskColours&) = delete;

private:
    DCObj& m_dc;
    COLORREF m_text, m_bk;
};

void Draw(DCObj& dc, int x, int y, int w, int h, const Surface& src, int srcY, int srcH,
          DWORD rop) {
    BlitRequest r;
    r.x = x;
    r.y = y;
    r.width = w;
    r.height = h;
    r.src = &src;
    r.srcY = srcY;
    r.srcWidth = src.width;
    r.srcHeight = srcH;
    r.rop = rop;
    ExecuteBlit(dc, r);
}

} // namespace

HICON CreateIconIndirect(const ICONINFO* info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<BitmapObject> mask = Lookup<BitmapObject>(info->hbmMask, GdiType::Bitmap);
    std::shared_ptr<BitmapObject> color = Lookup<BitmapObject>(info->hbmColor, GdiType::Bitmap);
    if (!mask || (info->hbmColor && !color)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto icon = std::make_shared<IconObject>();
    icon->isIcon = info->fIcon;
    icon->mask = CloneSurface(*mask->surface);
    icon->width = icon->mask ? icon->mask->width : 0;
    icon->height = color ? mask->surface->height : mask->surface->height / 2;
    if (color)
        icon->color = CloneSurface(*color->surface);
    if (!icon->mask || (color && !icon->color) || icon->height <= 0)
        return nullptr;
    icon->hotX = info->fIcon ? static_cast<DWORD>(icon->width / 2) : info->xHotspot;
    icon->hotY = info->fIcon ? static_cast<DWORD>(icon->height / 2) : info->yHotspot;
    return static_cast<HICON>(AllocHandle(icon));
}

BOOL GetIconInfo(HICON h, PICONINFO info) {
    std::shared_ptr<IconObject> icon = LookupIcon(h);
    if (!icon || !info)
        return FALSE;
    info->fIcon = icon->isIcon;
    info->xHotspot = icon->hotX;
    info->yHotspot = icon->hotY;
    info->hbmMask = MakeBitmapHandle(CloneSurface(*icon->mask), false);
    info->hbmColor = icon->color ? MakeBitmapHandle(CloneSurface(*icon->color), false) : nullptr;
    return info->hbmMask != nullptr;
}

BOOL DestroyIcon(HICON h) {
    if (!LookupIcon(h))
        return FALSE;
    return FreeHandle(h);
}

// DI_MASK draws the AND mask, DI_IMAGE the image; DI_NORMAL both (mask with SRCAND, image
// with SRCINVERT). A size of 0 takes the icon's own size. A flicker-free brush fills the
// destination first, as drawing through an off-screen bitmap of that colour would.
BOOL DrawIconEx(HDC h, int x, int y, HICON hicon, int width, int height, UINT step,
                HBRUSH flickerFree, UINT flags) {
    (void)step;
    std::shared_ptr<DCObj> dc = LookupDC(h);
    std::shared_ptr<IconObject> icon = LookupIcon(hicon);
    if (!dc || !icon || !dc->surface)
        return FALSE;
    if ((flags & DI_NORMAL) == 0)
        flags |= DI_NORMAL;
    int w = width ? width : icon->width, hh = height ? height : icon->height;
    if (flickerFree) {
        RECT rc{x, y, x + w, y + hh};
        FillRect(h, &rc, flickerFree);
    }
    MaskColours colours(*dc);
    const bool both = (flags & DI_NORMAL) == DI_NORMAL;
    if (flags & DI_MASK)
        Draw(*dc, x, y, w, hh, *icon->mask, 0, icon->height, both ? SRCAND : SRCCOPY);
    if (flags & DI_IMAGE) {
        if (icon->color)
            Draw(*dc, x, y, w, hh, *icon->color, 0, icon->height, both ? SRCINVERT : SRCCOPY);
        else
            Draw(*dc, x, y, w, hh, *icon->mask, icon->height, icon->height,
                 both ? SRCINVERT : SRCCOPY);
    }
    return TRUE;
}

BOOL DrawIcon(HDC h, int x, int y, HICON icon) {
    return DrawIconEx(h, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}
