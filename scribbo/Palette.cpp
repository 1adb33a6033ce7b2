#include "scribbo/Palette.h"

#include <platform/gdiguard.h>

COLORREF PaletteColors[kPaletteRows][kPaletteColumns];

namespace {

BYTE Lift(BYTE v) {
    return v < 240 ? BYTE(v + 16) : BYTE(255);
}

} // namespace

int LoadPaletteColors(HINSTANCE instance) {
    gdi::Bitmap bitmap(LoadBitmapW(instance, MAKEINTRESOURCEW(kPaletteResource)));
    if (!bitmap)
        return 0;
    DIBSECTION ds{};
    int ok = GetObjectW(bitmap, sizeof ds, &ds) == int(sizeof ds) && ds.dsBm.bmBits &&
             ds.dsBmih.biBitCount == 24 && ds.dsBmih.biWidth == kPaletteColumns &&
             (ds.dsBmih.biHeight == kPaletteRows || ds.dsBmih.biHeight == -kPaletteRows);
    if (ok) {
        const BYTE* bits = static_cast<const BYTE*>(ds.dsBm.bmBits);
        const int stride = (kPaletteColumns * 3 + 3) & ~3;
        const bool bottomUp = ds.dsBmih.biHeight > 0;
        for (int i = 0; i < kPaletteRows; ++i) {
            const BYTE* row = bits + (bottomUp ? kPaletteRows - 1 - i : i) * stride;
            for (int j = 0; j < kPaletteColumns; ++j) {
                const BYTE* px = row + 3 * j; // blue, green, red
                PaletteColors[i][j] = RGB(Lift(px[2]), Lift(px[1]), Lift(px[0]));
            }
        }
    }
    return ok;
}
