// The facade through which the system loads, draws, transforms and saves raster images.
#pragma once

#include "picta/Picta.h"

class GFile;

class GImage {
public:
    GImage();
    ~GImage();
    GImage(const GImage&) = delete;
    GImage& operator=(const GImage&) = delete;

    // A plain 24-bit image of that size.
    int Create(int width, int height);

    int Load(LPCWSTR path, PICTAPROGRESS progress = nullptr, void* user = nullptr);
    int Load(const BYTE* data, DWORD length, int format, PICTAPROGRESS progress = nullptr,
             void* user = nullptr);
    int Load(UINT id, LPCWSTR type, HINSTANCE instance, int format,
             PICTAPROGRESS progress = nullptr, void* user = nullptr);
    // The stream form the others end in.
    int Load(GFile* file, int format, PICTAPROGRESS progress = nullptr, void* user = nullptr);

    // Header only: the size goes to the references, the current image stays.
    int PreLoad(LPCWSTR path, int& width, int& height);
    int PreLoad(const BYTE* data, DWORD length, int format, int& width, int& height);
    int PreLoad(UINT id, LPCWSTR type, HINSTANCE instance, int format, int& width, int& height);
    int PreLoad(GFile* file, int format, int& width, int& height);

    // The written file's size, 0 on failure. The old file is replaced only by a complete one.
    DWORD Save(LPCWSTR path, int format, PICTAPROGRESS progress = nullptr, void* user = nullptr);
    // Into a block allocated here (release with free()); a block passed in is released first.
    DWORD Save(BYTE*& block, int format, PICTAPROGRESS progress = nullptr, void* user = nullptr);
    // The stream form: 1 on success.
    int Save(GFile* file, int format, PICTAPROGRESS progress = nullptr, void* user = nullptr);
    // Writes the accumulated orientation change: BMP from the pixels, JPEG losslessly from the
    // source file.
    int SaveRotation(LPCWSTR targetPath, LPCWSTR sourcePath);

    void Free();

    int Width() const { return m_pImage ? m_pImage->Width() : 0; }
    int Height() const { return m_pImage ? m_pImage->Height() : 0; }
    HBITMAP GetSafeHandle() const { return m_pImage ? m_pImage->GetSafeHandle() : nullptr; }
    GDib* GetGDib() const { return m_pImage; }
    Picta* GetPicta() const { return m_pImage; }
    DWORD GetFileSize() const { return m_FileSize; }
    int GetImageFormat() const { return m_Format; }
    int GetTransform() const { return m_Transform; }

    void SetOutputWidth(int width) { m_OutputWidth = width; }
    void SetOutputHeight(int height) { m_OutputHeight = height; }
    void SetOutputPercent(int percent) { m_OutputPercent = percent; }
    void SetTransColor(COLORREF color);
    void SetTransColor(RGBQUAD color);

    int Draw(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
             int srcHeight, int mode, int alpha, int transparent);
    int Draw(GImage* target, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
             int srcHeight, int mode, int alpha, int transparent);
    int Draw(GDib* target, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
             int srcHeight, int mode, int alpha, int transparent);

    void SetBackColor(COLORREF color, int alpha);
    void FillRect(int x, int y, int width, int height, COLORREF color, int alpha);
    void FillRect(const RECT& rect, COLORREF color, int alpha);

    void RotateLeft();
    void RotateRight();
    void Rotate180();
    void Flip();
    void Mirror();

    // Loaded GIF animations only.
    int NextFrame();
    void SetLoops(int loops);

    // eImageFormat from the text after the last dot: bmp/BMP, gif/GIF, jpg/JPG; else 0.
    static int FormatFromPath(LPCWSTR path);
    // The orientation change equal to applying current first and then next.
    static int FoldTransform(int current, int next);
    // A fresh codec object for a format, or null.
    static Picta* CreateCodec(int format);

private:
    void Transformed(int code);

    Picta* m_pImage;
    int m_Format;
    int m_Transform;
    int m_OutputWidth;
    int m_OutputHeight;
    int m_OutputPercent;
    DWORD m_FileSize;
};
