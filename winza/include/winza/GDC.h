// An off-screen drawing surface: a 24-bit GDib selected into a memory context. A window-based
// surface uses its window's client coordinates; a screen-based one stands for a rectangle of
// the screen (a snapshot of what lies under a window).
#pragma once

#include "fundo/GDib.h"

#include <windows.h>

#include <algorithm>

class Winza;

class GDC {
public:
    GDC() = default;
    GDC(const GDC&) = delete;
    GDC& operator=(const GDC&) = delete;
    ~GDC();

    // A fresh surface of the rectangle's size, filled magenta (also its transparent colour).
    // owner null makes a screen-based surface whose pixel (0,0) is the rectangle's top-left.
    int CreateCompatibleGDC(Winza* owner, RECT rect);
    // Keeps the bitmap when the size stays; an empty rectangle or a failed bitmap deletes the
    // surface and gives 0.
    int ResizeGDC(RECT rect);
    // Screen-based only: moves the origin to the rectangle and copies that part of the screen.
    void UpdateGDC(RECT rect);
    int DeleteGDC();

    HDC GetSafeHdc() const { return m_hMemDC; }
    GDib* GetGDib() const { return m_pDib; }
    Winza* GetWinza() const { return m_pOwner; }
    int Width() const { return m_pDib ? m_pDib->Width() : 0; }
    int Height() const { return m_pDib ? m_pDib->Height() : 0; }
    POINT GetOrigin() const { return POINT{m_nOriginX, m_nOriginY}; }
    // Selects the font into the memory context; the font it replaces.
    HFONT SetFont(HFONT font);
    void SetTransColor(COLORREF color);

    // Window coordinates are the owner's client coordinates, or screen coordinates for a
    // screen-based surface (whose pixels are offset by its origin).
    //
    // Copies from another surface into this one. (x, y) is in this surface's window
    // coordinates, (srcX, srcY) in the source's. A zero srcX or srcY means the source point that
    // lies at the same place on the screen as (x, y); a zero srcCx or srcCy means cx or cy. The
    // last three values go to GDib::DrawDib unchanged: mode, opacity and the transparent-colour
    // switch.
    int BitBlt(const GDC* source, int x, int y, int cx, int cy, int srcX = 0, int srcY = 0,
               int srcCx = 0, int srcCy = 0, int mode = 1, int alpha = 255,
               int transparent = 0) const;
    // Copies this surface onto a device context at (x, y). (srcX, srcY) is in this surface's
    // window coordinates; zero stands for x or y, as the sizes do for cx and cy.
    int BitBlt(HDC target, int x, int y, int cx, int cy, int srcX = 0, int srcY = 0, int srcCx = 0,
               int srcCy = 0, int mode = 1, int alpha = 255, int transparent = 0) const;

    // A point in this surface's window coordinates to the screen, and back; and to a pixel
    // of the bitmap.
    POINT ToScreen(POINT p) const;
    POINT FromScreen(POINT p) const;
    POINT ToPixel(POINT p) const;

private:
    // Memory context compatible with the owner's held context, or with the screen's.
    int MakeMemoryDC();
    int MakeBitmap(int width, int height);
    void UnselectBitmap();

    Winza* m_pOwner = nullptr;
    int m_nOriginX = 0;
    int m_nOriginY = 0;
    HDC m_hMemDC = nullptr;
    GDib* m_pDib = nullptr;
    HGDIOBJ m_hOldObj = nullptr;
};
