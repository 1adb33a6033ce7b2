// The concrete GDI object records behind the handles.
#pragma once

#include "gdi_object.h"
#include "gdi_surface.h"
#include "region.h"

namespace plat {

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(GdiType::Bitmap) {}
    std::shared_ptr<Surface> surface;
    bool dibSection = false;
    BITMAPINFOHEADER header{}; // as the DIB section was created (dsBmih)
    DWORD masks[3] = {};       // dsBitfields
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(GdiType::Brush) {}
    UINT style = BS_SOLID; // BS_SOLID, BS_NULL or BS_PATTERN
    COLORREF color = 0;
    std::shared_ptr<Surface> pattern; // a private copy of the pattern bitmap
    HBITMAP patternBitmap = nullptr;  // the caller's bitmap, reported by GetObject
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(GdiType::Pen) {}
    UINT style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

// Fonts belong to the text layer, which derives its own record from this one and gives the
// stock fonts (stockIndex SYSTEM_FONT and friends) their faces.
struct FontObject : GdiObject {
    FontObject() : GdiObject(GdiType::Font) {}
    int stockIndex = -1;
    // GetObject's answer: bytes written into buffer (or needed, with a null buffer).
    virtual int GetObjectData(int size, void* buffer) const {
        (void)size;
        (void)buffer;
        return 0;
    }
};

struct RegionObject : GdiObject {
    RegionObject() : GdiObject(GdiType::Region) {}
    Region rgn;
};

struct IconObject : GdiObject {
    IconObject() : GdiObject(GdiType::Icon) {}
    BOOL isIcon = TRUE;
    DWORD hotX = 0;
    DWORD hotY = 0;
    std::shared_ptr<Surface> mask;  // 1 bit; twice the height when there is no colour image
    std::shared_ptr<Surface> color; // may be null (monochrome icon)
    int width = 0;
    int height = 0;
};

// A new handle over a surface as a device bitmap or a DIB section.
HBITMAP MakeBitmapHandle(std::shared_ptr<Surface> surface, bool dibSection);

// Stock objects by GetStockObject index (null for indices without one), and the 1 x 1
// monochrome bitmap every memory context starts with.
std::shared_ptr<GdiObject> StockObject(int index);
std::shared_ptr<BitmapObject> StockBitmap();

} // namespace plat
