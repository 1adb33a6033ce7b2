#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>

// Three bytes red, green, blue, as the codecs hand over palettes.
struct RGB3 {
    BYTE red;
    BYTE green;
    BYTE blue;
};
static_assert(sizeof(RGB3) == 3);

// The system's in-memory raster: a bottom-up DIB section whose pixels are also read and
// written directly. Row y of the picture (y = 0 at the top) starts at
// GetBits() + (Height() - 1 - y) * GetLineSize(); 24-bit pixels are blue, green, red.
//
// Copies share the section; the last owner to let go deletes it.
class GDib {
public:
    GDib();
    GDib(const GDib& other);
    GDib& operator=(const GDib& other);
    virtual ~GDib();
    virtual void Free();

    // Creation and conversion.
    int Create(int width, int height, int bitCount);
    int CopyDib(const GDib* source);
    int SwapDib(GDib* other);
    int ConvertBitCount(int bitCount);
    int FromDDB(HBITMAP bitmap, int bitCount);

    // Palette.
    RGBQUAD GetPaletteColor(int index) const;
    int GetPaletteColor(int index, BYTE& red, BYTE& green, BYTE& blue) const;
    void SetPaletteColor(int index, BYTE red, BYTE green, BYTE blue);
    void SetPaletteColor(int index, RGBQUAD color);
    void SetPalette(int count, const BYTE* red, const BYTE* green = nullptr,
                    const BYTE* blue = nullptr);
    void SetPalette(const RGB3* colors, int count);
    void SetPalette(const RGBQUAD* colors, int count);
    void SetGrayPalette();
    int IsGrayScale() const;
    int GetColorIndex(RGBQUAD color) const;
    int GetNearestIndex(RGBQUAD color) const;
    void RGBtoBGR(BYTE* line, int length) const;

    // Pixels. x and y are top-down, except that SetPixel on 16-, 24- and 32-bit images
    // addresses stored row y (counted from the start of the buffer).
    int IsInside(int x, int y) const;
    BYTE GetPixelIndex(int x, int y) const;
    void SetPixelIndex(int x, int y, BYTE index);
    RGBQUAD GetPixel(int x, int y) const;
    COLORREF GetPixelColor(int x, int y) const;
    void SetPixel(int x, int y, RGBQUAD color, BYTE alpha = 255);
    void SetPixelColor(int x, int y, COLORREF color, BYTE alpha = 255);
    void SetBackColor(RGBQUAD color, BYTE alpha = 255);
    void SetBackColor(COLORREF color, BYTE alpha = 255);
    void FillRect(int x, int y, int width, int height, RGBQUAD color, BYTE alpha = 255);
    void FillRect(int x, int y, int width, int height, COLORREF color, BYTE alpha = 255);
    void SetTransColor(COLORREF color);
    void SetTransColor(RGBQUAD color);
    RGBQUAD GetTransColor() const { return m_TransColor; }

    // Transforms; the bit count and colour table are kept.
    void RotateLeft();
    void RotateRight();
    void Rotate180();
    void Flip();
    void Mirror();
    int Offset(int dx, int dy);

    // Drawing (mode 1 stretch, 2 smooth stretch, 3 tile; alpha 1-255).
    int DrawDib(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                int srcHeight, int mode, int alpha, int transparent, DWORD rop) const;
    int DrawDib(GDib* target, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                int srcHeight, int mode, int alpha, int transparent) const;
    int BitBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY) const;
    int TransBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                 COLORREF transColor);
    int AlphaBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int alpha) const;
    int AlphaTransBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int alpha,
                      COLORREF transColor);
    int StretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                   int srcHeight, int mode) const;
    int TransStretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                        int srcWidth, int srcHeight, COLORREF transColor, int mode);
    int AlphaStretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                        int srcWidth, int srcHeight, int alpha, int mode) const;
    int AlphaTransStretchBlt(HDC hdc, int x, int y, int width, int height, int srcX, int srcY,
                             int srcWidth, int srcHeight, int alpha, COLORREF transColor, int mode);

    // Accessors: 0 or null on an invalid bitmap.
    HBITMAP GetSafeHandle() const { return m_hBitmap; }
    BITMAPINFOHEADER* GetInfoHeader() const;
    BITMAPINFO* GetInfo() const;
    int Width() const { return m_hBitmap ? m_Info.header.biWidth : 0; }
    int Height() const { return m_hBitmap ? m_Info.header.biHeight : 0; }
    int GetBitCount() const { return m_hBitmap ? m_Info.header.biBitCount : 0; }
    BYTE* GetBits() const { return m_hBitmap ? m_pBits : nullptr; }
    void SetBits(BYTE* bits) { m_pBits = bits; }
    void SetHandle(HBITMAP handle);
    RGBQUAD* GetPaletteData() const;
    int GetColorNum() const { return m_hBitmap ? static_cast<int>(m_Info.header.biClrUsed) : 0; }
    int GetUsedColors() const { return GetColorNum(); }
    void SetUsedColors(int count);
    int IsIndexed() const { return m_hBitmap && m_Info.header.biClrUsed != 0; }
    int GetHeaderSize() const;
    int GetSize() const;
    int GetLineSize() const;

    // Bytes per row for a width and bit count: rows are padded to 4 bytes.
    static int LineSize(int width, int bitCount) {
        return static_cast<int>(((static_cast<long long>(width) * bitCount + 31) & ~31LL) / 8);
    }
    // Requested bit count to a supported one (1, 2, 4, 8, 16, 24, 32; above 32 gives 24).
    static int NormalizeBitCount(int bitCount);
    // 5-bit field to 8 bits, for 16-bit pixels.
    static const BYTE kExpand5[32];
    // Size of the staging line used by fills and flips.
    static constexpr int kScratchSize = 8192;

protected:
    // Header and colour table back to back: together they are the BITMAPINFO given to GDI.
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    };
    static_assert(offsetof(Info, colors) == sizeof(BITMAPINFOHEADER));
    struct Share {
        std::atomic<int> owners;
    };

    // Header for a fresh bottom-up uncompressed bitmap (colour table untouched).
    void FillHeader(int width, int height, int bitCount);
    // Makes a section from m_Info as it stands; 0 (after Free) on failure.
    int CreateSection(UINT usage);
    // Installs the default colour table of the current depth.
    void SetDefaultPalette();
    // GDI keeps its own copy of a section's colour table, made when the section was; every
    // change to ours is handed on, so that anything reading the section through GDI (memory
    // contexts, GetDIBits, PNG export) sees our colours. A section selected into another
    // context at the time cannot be reached and keeps its old table.
    void UpdateSectionColors();
    // Colour-table entries that may be read: biClrUsed capped at the table's size.
    int PaletteCount() const;
    // Row bytes from the header, whether or not a section is attached.
    int Stride() const { return LineSize(m_Info.header.biWidth, m_Info.header.biBitCount); }
    // Start of stored row i (counted from the start of the buffer).
    BYTE* StoredRow(int i) const { return m_pBits + static_cast<std::ptrdiff_t>(i) * Stride(); }
    // Start of picture row y (top-down).
    BYTE* Row(int y) const { return StoredRow(m_Info.header.biHeight - 1 - y); }

    Info m_Info;
    BYTE* m_pBits;
    HBITMAP m_hBitmap;
    RGBQUAD m_TransColor;

private:
    // Drops this object's claim on the section, deleting it when no other copy holds it.
    void ReleaseSection();
    void Adopt(const GDib& other);
    void FillPalettedSpan(int x, int y, int width, int height, RGBQUAD color);
    void FillDirectSpan(int x, int y, int width, int height, RGBQUAD color, BYTE alpha);
    int Rotate(bool left);

    // Set once a copy exists; counts the objects holding m_hBitmap.
    mutable Share* m_pShare;
};

// COLORREF (0x00BBGGRR) to RGBQUAD with reserved 0, and back.
inline RGBQUAD ColorToQuad(COLORREF color) {
    RGBQUAD q;
    q.rgbBlue = GetBValue(color);
    q.rgbGreen = GetGValue(color);
    q.rgbRed = GetRValue(color);
    q.rgbReserved = 0;
    return q;
}
inline COLORREF QuadToColor(RGBQUAD q) {
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}
