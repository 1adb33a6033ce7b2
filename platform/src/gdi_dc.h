// The device context record. A context draws into one surface: a memory context into the
// bitmap selected into it, the screen and window contexts into the screen surface. Device
// coordinates of the context map to surface pixels by adding the origin (a window context
// maps its client 0,0 to the window's place on the screen). What may be drawn is the system
// region (the visible region the window manager sets, in surface pixels; the whole surface
// when unset) intersected with the application's clip region (device coordinates) and the
// surface itself. A context is used by one thread at a time, as in Win32.
#pragma once

#include "gdi_types.h"

#include <vector>

namespace plat {

enum class DCKind : BYTE { Memory, Screen, Window };

// Everything SaveDC keeps.
struct DCAttributes {
    Selected<BitmapObject> bitmap; // memory contexts only
    Selected<BrushObject> brush;
    Selected<PenObject> pen;
    Selected<FontObject> font;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    UINT textAlign = 0; // for the text layer
    POINT pos{0, 0};
    POINT brushOrg{0, 0};
    bool hasClip = false;
    Region clip; // application clip, device coordinates
};

struct DCObj : GdiObject {
    DCObj() : GdiObject(GdiType::DC) {}

    DCKind kind = DCKind::Memory;
    std::shared_ptr<Surface> surface;
    POINT origin{0, 0};
    bool hasSystemRegion = false;
    Region systemRegion; // surface pixels
    DCAttributes attr;
    std::vector<DCAttributes> saved;

    // What may be drawn, in surface pixels; kept current by UpdateClip.
    Region effectiveClip;

    void UpdateClip();
    // The whole device in device coordinates: the surface moved by -origin.
    RECT DeviceBounds() const;
    // Device (logical) to surface coordinates.
    RECT ToSurface(const RECT& rc) const {
        return RECT{rc.left + origin.x, rc.top + origin.y, rc.right + origin.x,
                    rc.bottom + origin.y};
    }
};

std::shared_ptr<DCObj> LookupDC(HDC dc);
// Puts the default objects and attributes back (memory contexts get the stock bitmap).
void ResetAttributes(DCObj& dc);

} // namespace plat
