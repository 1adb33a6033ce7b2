// The codec base: a GDib with image metadata, so a decoded image is directly drawable.
#pragma once

#include "picta/PictaTypes.h"

#include <fundo/GDib.h>

class GFile;

class Picta : public GDib {
public:
    Picta();
    ~Picta() override;

    // Header only: stores the size and returns an estimate of the pixel bytes.
    virtual int PreLoad(GFile* file, int& width, int& height);
    virtual int Load(GFile* file, PICTAPROGRESS progress, void* user);
    virtual int Save(GFile* file, PICTAPROGRESS progress, void* user);
    // Writes the current pixels to the target; only the JPEG codec uses source and code.
    virtual int SaveRotation(GFile* target, GFile* source, int code);
    virtual int Draw(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                     int srcHeight, int mode, int alpha, int transparent);
    virtual void SetOutputWidth(int width);
    virtual void SetOutputHeight(int height);
    virtual void SetOutputPercent(int percent);

    HBITMAP GetSafeHandle() const { return m_bLoaded ? m_hBitmap : nullptr; }
    int IsLoaded() const { return m_bLoaded; }
    // Bits per pixel as the file stores them, which a decoded bitmap may not keep (a GIF
    // becomes a 24-bit picture, a 5-6-5 BMP a 24-bit one).
    int GetFileBitCount() const { return m_nFileBits ? m_nFileBits : GetBitCount(); }
    void SetLoaded(int loaded) { m_bLoaded = loaded; }

    _PICTAINFO& Info() { return m_PictaInfo; }
    const _PICTAINFO& Info() const { return m_PictaInfo; }
    int GetOffsetX() const { return m_PictaInfo.offsetX; }
    int GetOffsetY() const { return m_PictaInfo.offsetY; }
    void SetOffsetX(int x) { m_PictaInfo.offsetX = x; }
    void SetOffsetY(int y) { m_PictaInfo.offsetY = y; }
    void SetOffset(int x, int y) {
        m_PictaInfo.offsetX = x;
        m_PictaInfo.offsetY = y;
    }
    int GetXDPI() const { return m_PictaInfo.xDPI; }
    int GetYDPI() const { return m_PictaInfo.yDPI; }
    void SetXDPI(int dpi);
    void SetYDPI(int dpi);
    int GetOutputWidth() const { return m_PictaInfo.outputWidth; }
    int GetOutputHeight() const { return m_PictaInfo.outputHeight; }

    // Shares another bitmap's section, header, colour table and metadata (for the writers).
    void Borrow(const GDib& image, const _PICTAINFO* info);
    // Lets go of a borrowed section without touching it.
    void Detach();

protected:
    _PICTAINFO m_PictaInfo;
    int m_bLoaded;
    int m_nFileBits; // 0: as the bitmap
};
