// Library start-up and shutdown, the shared fonts and frames, and the standard icon strip.
#include "winza/GLib.h"
#include "winza/GLibInternal.h"
#include "winza/WinzaModule.h"

namespace {

constexpr int kIconResource = 101;
constexpr int kIconCell = 16;
constexpr COLORREF kMagenta = RGB(255, 0, 255);

HFONT g_fontDef = nullptr;
HFONT g_fontBold = nullptr;
GDib* g_dlgFrame = nullptr;
GDib* g_btnFrame = nullptr;
GDib* g_icons = nullptr;

void FreeIcons() {
    delete g_icons;
    g_icons = nullptr;
}

// Resource 101 as one row of cells, doubled on a high-resolution screen.
void LoadIcons() {
    FreeIcons();
    HINSTANCE module = GetWinzaInstance();
    if (!module)
        return;
    HBITMAP bitmap = ::LoadBitmapW(module, MAKEINTRESOURCEW(kIconResource));
    if (!bitmap)
        return;
    GDib strip;
    if (strip.FromDDB(bitmap, 24) && strip.Width() >= kIconCell && strip.Height() >= kIconCell) {
        const int columns = strip.Width() / kIconCell;
        const int cell = ApplyHires(kIconCell);
        GDib* icons = new GDib;
        if (icons->Create(columns * cell, cell, 24)) {
            icons->SetBackColor(kMagenta);
            strip.DrawDib(icons, 0, 0, columns * cell, cell, 0, 0, columns * kIconCell, kIconCell,
                          1, 255, 0);
            icons->SetTransColor(kMagenta);
            g_icons = icons;
        } else {
            delete icons;
        }
    }
    ::DeleteObject(bitmap);
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
    g_fontDef = font;
}

void SetGlobalFontBold(HFONT font) {
    g_fontBold = font;
}

HFONT GetGlobalFontDef() {
    return g_fontDef;
}

HFONT GetGlobalFontBold() {
    return g_fontBold;
}

void SetGlobalDlgFrame(GDib* frame) {
    g_dlgFrame = frame;
    const int x = ApplyHires(14);
    const int y = ApplyHires(32);
    if (frame && frame->GetBits() && x < frame->Width() && y < frame->Height())
        SetGLibColor(79, frame->GetPixelColor(x, y));
}

void SetGlobalBtnFrame(GDib* frame) {
    g_btnFrame = frame;
}

GDib* GetGlobalDlgFrame() {
    return g_dlgFrame;
}

GDib* GetGlobalBtnFrame() {
    return g_btnFrame;
}

GDib* GetGLibIconStrip() {
    return g_icons;
}

int GetGLibIconSize() {
    return ApplyHires(kIconCell);
}

int GetGLibIconCount() {
    return g_icons ? g_icons->Width() / GetGLibIconSize() : 0;
}
