// The stock objects: made once, on first use, and never deleted.
#include "font.h"
#include "gdi_types.h"

#include <mutex>

namespace plat {
namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct StockSet {
    std::shared_ptr<GdiObject> objects[kStockCount];
    std::shared_ptr<BitmapObject> bitmap;
};

template <class T> std::shared_ptr<T> Register(std::shared_ptr<T> obj) {
    obj->stock = true;
    AllocHandle(obj);
    return obj;
}

std::shared_ptr<GdiObject> SolidBrush(COLORREF c) {
    auto b = std::make_shared<BrushObject>();
    b->color = c;
    return Register(b);
}

std::shared_ptr<GdiObject> Pen(UINT style, COLORREF c) {
    auto p = std::make_shared<PenObject>();
    p->style = style;
    p->color = c;
    return Register(p);
}

StockSet* MakeStock() {
    auto* s = new StockSet;
    s->objects[WHITE_BRUSH] = SolidBrush(RGB(255, 255, 255));
    s->objects[LTGRAY_BRUSH] = SolidBrush(RGB(192, 192, 192));
    s->objects[GRAY_BRUSH] = SolidBrush(RGB(128, 128, 128));
    s->objects[DKGRAY_BRUSH] = SolidBrush(RGB(64, 64, 64));
    s->objects[BLACK_BRUSH] = SolidBrush(RGB(0, 0, 0));
    auto hollow = std::make_shared<BrushObject>();
    hollow->style = BS_NULL;
    s->objects[NULL_BRUSH] = Register(hollow);
    s->objects[WHITE_PEN] = Pen(PS_SOLID, RGB(255, 255, 255));
    s->objects[BLACK_PEN] = Pen(PS_SOLID, RGB(0, 0, 0));
    s->objects[NULL_PEN] = Pen(PS_NULL, RGB(0, 0, 0));
    for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                  SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
        s->objects[i] = Register(MakeStockFont(i));
    }
    auto bm = std::make_shared<BitmapObject>();
    bm->surface = MakeSurface(1, 1, 1, false);
    bm->surface->mono = true;
    SetDefaultColors(*bm->surface);
    s->bitmap = Register(bm);
    return s;
}

// Never destroyed, like the handle table.
StockSet& Stock() {
    static StockSet* set = MakeStock();
    return *set;
}

} // namespace

std::shared_ptr<GdiObject> StockObject(int index) {
    if (index < 0 || index >= kStockCount)
        return nullptr;
    return Stock().objects[index];
}

std::shared_ptr<BitmapObject> StockBitmap() {
    return Stock().bitmap;
}

} // namespace plat

HGDIOBJ GetStockObject(int index) {
    std::shared_ptr<plat::GdiObject> obj = plat::StockObject(index);
    return obj ? obj->handle : nullptr;
}
