// What the rest of the platform builds on the graphics layer with: the window system makes
// window contexts over the screen and keeps their visible regions current, the text layer
// draws glyphs through a context's clip.
//
//   Surface (gdi_surface.h)   pixels in a DIB layout; the screen is a 24-bit top-down one.
//   Region (region.h)         banded rectangle lists with the set operations.
//   DCObj (gdi_dc.h)          target surface, origin, system region, attributes, clip.
//   GdiObject (gdi_object.h)  the handle table shared by all GDI objects.
//
// Coordinates: device coordinates of a context + its origin = surface pixels. System regions
// are given in surface pixels, application clip regions in device coordinates.
#pragma once

#include "gdi_dc.h"

namespace plat {

// ---- For the window system -------------------------------------------------------------------

// The screen surface (made at the default size on first use).
std::shared_ptr<Surface> ScreenSurfaceRef();
// A new context over a surface. origin: the surface pixel of device 0,0. visible: the system
// region in surface pixels, or null for the whole surface. Window contexts use DCKind::Window
// (no bitmap can be selected into them); GetDC(NULL) is GetScreenDC.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, DCKind kind, POINT origin,
                    const Region* visible);
// Moves a context (window moved) and/or replaces its system region (windows above changed).
bool SetDCSystemRegion(HDC dc, POINT origin, const Region* visible);
// The state a fresh GetDC gives: default objects, colours, modes, no clip, position 0,0.
bool ResetDCAttributes(HDC dc);

// Regions behind handles (update regions, InvalidateRgn, GetUpdateRgn).
HRGN CreateRegionHandle(const Region& rgn);
bool GetRegion(HRGN h, Region* out);
bool SetRegion(HRGN h, const Region& rgn);

// ---- Readers of outside bytes ---------------------------------------------------------------

// A BMP (with or without its 14-byte file header) as a DIB section of its own depth; null for
// anything malformed, truncated, compressed or out of bounds.
HBITMAP BitmapFromBmpBytes(const BYTE* data, size_t size);

// ---- For the text layer ----------------------------------------------------------------------

// Calls f(RECT) for each part of a surface rectangle the context may draw into.
template <class F> void ForEachClipRect(const DCObj& dc, const RECT& surfaceRect, F&& f) {
    for (const RECT& c : dc.effectiveClip.Rects()) {
        if (c.top >= surfaceRect.bottom)
            break;
        RECT r{c.left > surfaceRect.left ? c.left : surfaceRect.left,
               c.top > surfaceRect.top ? c.top : surfaceRect.top,
               c.right < surfaceRect.right ? c.right : surfaceRect.right,
               c.bottom < surfaceRect.bottom ? c.bottom : surfaceRect.bottom};
        if (r.left < r.right && r.top < r.bottom)
            f(r);
    }
}
// Fills a device rectangle with a colour through the clip (opaque text backgrounds).
void FillSolid(DCObj& dc, const RECT& deviceRect, COLORREF color);
// Blends a colour through an 8-bit coverage mask (255 = full colour) whose top-left pixel
// goes to device x, y: antialiased glyphs. Paletted targets take the colour where coverage
// is at least 128.
void BlendCoverage(DCObj& dc, int x, int y, int width, int height, const BYTE* coverage, int pitch,
                   COLORREF color);

} // namespace plat
