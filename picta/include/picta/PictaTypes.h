// Records and limits shared by the image codecs.
#pragma once

#include <fundo/GArray.h>
#include <windows.h>

enum eImageFormat { eImageNone = 0, eImageBMP = 1, eImageGIF = 2, eImageJPEG = 3 };

enum eTransformCode {
    eTransformNone = 0,
    eTransformMirror = 1,
    eTransformFlip = 2,
    eTransformTranspose = 3,
    eTransformTransverse = 4,
    eTransformRotate90 = 5,
    eTransformRotate180 = 6,
    eTransformRotate270 = 7,
};

// Called with growing percentages; returning 0 cancels a load.
typedef int (*PICTAPROGRESS)(int percent, void* user);

// Per-image and per-frame metadata: the plain fields, then the frames.
struct PictaFields {
    DWORD format;
    int transIndex;
    RGBQUAD transColor;
    BYTE quality;
    int xDPI;
    int yDPI;
    int offsetX;
    int offsetY;
    int reserved[2];
    int outputWidth;
    int outputHeight;
    int curFrame;
    int frameCount;
    int compression;
    WORD delay;
    int disposal;
    int frameLeft;
    int frameTop;
    int frameWidth;
    int frameHeight;
};

struct _PICTAINFO : PictaFields {
    // One Picta* per GIF frame, owned by the image.
    GArray frames;
};

// Copies every field but the frames array, whose elements belong to one owner only.
void CopyPictaInfo(_PICTAINFO& to, const _PICTAINFO& from);

namespace picta {

// Hostile files must not make us allocate without bound: no side beyond this, and no pixel
// buffer beyond kMaxBitmapBytes.
constexpr int kMaxSide = 32768;
constexpr long long kMaxBitmapBytes = 256LL << 20;

// True when a bitmap of that size and depth stays inside the limits.
bool BitmapFits(long long width, long long height, int bitCount);

// ((bitCount * width + 31) / 32) * 4 * height, held at the largest int.
int EstimateBytes(long long width, long long height, int bitCount);

// The decoded size for a w x h source and a requested W x H (below 1 = not requested): one
// side of the box is filled, the other follows the aspect ratio. Never below 1.
void FitOutputSize(int w, int h, int requestW, int requestH, int& outW, int& outH);

// Little-endian fields in byte buffers.
inline WORD Get16(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}
inline DWORD Get32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}
inline void Put16(BYTE* p, unsigned v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
inline void Put32(BYTE* p, DWORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    p[2] = static_cast<BYTE>(v >> 16);
    p[3] = static_cast<BYTE>(v >> 24);
}

} // namespace picta
