// Library start-up and shutdown, the shared fonts and frames, and the standard icon strip.
#include "winza/GLib.h"
#include "GLibInternal.h"
#include "winza/GLibState.h"
#include "WinzaModule.h"

#include <platform/gdiguard.h>

#include <memory>

namespace {

constexpr int kIconResource = 101;
// The same icons drawn on 32-pixel cells, for the high-resolution screen.
constexpr int kIconResourceHires = 102;
constexpr int kIconCell = 16;
constexpr COLORREF kMagenta = RGB(255, 0, 255);

void FreeIcons() {
    GLibState& s = GetGLibState();
    delete s.icons;
    s.icons = nullptr;
}

// The high-resolution strip when it has a 32-pixel cell for every icon of the normal one.
GDib* LoadHiresIcons(HINSTANCE module, int columns) {
    gdi::Bitmap bitmap(::LoadBitmapW(module, MAKEINTRESOURCEW(kIconResourceHires)));
    if (!bitmap)
        return nullptr;
    const int cell = 2 * kIconCell;
    auto icons = std::make_unique<GDib>();
    if (!icons->FromDDB(bitmap, 24) || icons->Height() != cell || icons->Width() != columns * cell)
        return nullptr;
    icons->SetTransColor(kMagenta);
    return icons.release();
}

// Resource 101 as one row of cells; on a high-resolution screen the strip drawn for it, or
// resource 101 doubled when that is missing.
void LoadIcons() {
    FreeIcons();
    HINSTANCE module = GetWinzaInstance();
    if (!module)
        return;
    gdi::Bitmap bitmap(::LoadBitmapW(module, MAKEINTRESOURCEW(kIconResource)));
    if (!bitmap)
        return;
    GDib strip;
    if (strip.FromDDB(bitmap, 24) && strip.Width() >= kIconCell && strip.Height() >= kIconCell) {
        const int columns = strip.Width() / kIconCell;
        const int cell = ApplyHires(kIconCell);
        std::unique_ptr<GDib> icons(IsHires() ? LoadHiresIcons(module, columns) : nullptr);
        if (!icons) {
            icons = std::make_unique<GDib>();
            if (icons->Create(columns * cell, cell, 24)) {
                icons->SetBackColor(kMagenta);
                strip.DrawDib(icons.get(), 0, 0, columns * cell, cell, 0, 0, columns * kIconCell,
                              kIconCell, 1, 255, 0);
                icons->SetTransColor(kMagenta);
            } else {
                icons.reset();
            }
        }
        GetGLibState().icons = icons.release();
    }
}

} // namespace

void InitGLibControl() {
    LoadGLibTexts();
    SetDefaultGLibColors();
    LoadIcons();
}

void FreeGLibControl() {
    FreeGLibTexts();
    FreeIcons();
}

void FreeGLib() {
    FreeGLibControl();
    FreeGlobalDC();
}

void SetGlobalFontDef(HFONT font) {
    GetGLibState().fontDef = font;
}

void SetGlobalFontBold(HFONT font) {
    GetGLibState().fontBold = font;
}

HFONT GetGlobalFontDef() {
    return GetGLibState().fontDef;
}

HFONT GetGlobalFontBold() {
    return GetGLibState().fontBold;
}

void SetGlobalDlgFrame(GDib* frame) {
    GetGLibState().dlgFrame = frame;
    const int x = ApplyHires(14);
    const int y = ApplyHires(32);
    if (frame && frame->GetBits() && x < frame->Width() && y < frame->Height())
        SetGLibColor(eColorDialogBody, frame->GetPixelColor(x, y));
}

void SetGlobalBtnFrame(GDib* frame) {
    GetGLibState().btnFrame = frame;
}

GDib* GetGlobalDlgFrame() {
    return GetGLibState().dlgFrame;
}

GDib* GetGlobalBtnFrame() {
    return GetGLibState().btnFrame;
}

GDib* GetGLibIconStrip() {
    return GetGLibState().icons;
}

int GetGLibIconSize() {
    return ApplyHires(kIconCell);
}

int GetGLibIconCount() {
    const GDib* icons = GetGLibState().icons;
    return icons ? icons->Width() / GetGLibIconSize() : 0;
}
