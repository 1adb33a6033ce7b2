#include "picta/Picta.h"

#include <cmath>
#include <cstring>

void CopyPictaInfo(_PICTAINFO& to, const _PICTAINFO& from) {
    static_cast<PictaFields&>(to) = static_cast<const PictaFields&>(from);
}

namespace picta {

bool BitmapFits(long long width, long long height, int bitCount) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    long long row = ((width * bitCount + 31) / 32) * 4;
    return row * height <= kMaxBitmapBytes;
}

int EstimateBytes(long long width, long long height, int bitCount) {
    if (width < 0)
        width = -width;
    if (height < 0)
        height = -height;
    long long bytes = ((bitCount * width + 31) / 32) * 4 * height;
    return bytes > 0x7FFFFFFFLL ? 0x7FFFFFFF : static_cast<int>(bytes);
}

void FitOutputSize(int w, int h, int requestW, int requestH, int& outW, int& outH) {
    long long W = requestW;
    long long H = requestH;
    if (w < 1 || h < 1) {
        outW = w;
        outH = h;
        return;
    }
    if (W < 1 && H < 1) {
        W = w;
        H = h;
    } else if (W < 1) {
        W = static_cast<long long>(w) * H / h;
    } else if (H < 1) {
        H = static_cast<long long>(h) * W / w;
    } else if (w / W < h / H) {
        W = static_cast<long long>(w) * H / h;
    } else {
        H = static_cast<long long>(h) * W / w;
    }
    // A box thinner than one source pixel still gives a picture.
    outW = static_cast<int>(W < 1 ? 1 : W > kMaxSide ? kMaxSide : W);
    outH = static_cast<int>(H < 1 ? 1 : H > kMaxSide ? kMaxSide : H);
}

} // namespace picta

Picta::Picta() : m_bLoaded(0), m_nFileBits(0) {
    static_cast<PictaFields&>(m_PictaInfo) = PictaFields{};
    m_PictaInfo.transIndex = -1;
    m_PictaInfo.outputWidth = -1;
    m_PictaInfo.outputHeight = -1;
}

Picta::~Picta() = default;

int Picta::PreLoad(GFile*, int&, int&) {
    return 0;
}

int Picta::Load(GFile*, PICTAPROGRESS, void*) {
    return 1;
}

int Picta::Save(GFile*, PICTAPROGRESS, void*) {
    return 1;
}

int Picta::SaveRotation(GFile* target, GFile*, int) {
    return Save(target, nullptr, nullptr);
}

int Picta::Draw(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                int srcHeight, int mode, int alpha, int transparent) {
    return DrawDib(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, alpha,
                   transparent, SRCCOPY);
}

void Picta::SetOutputWidth(int width) {
    if (m_bLoaded && m_hBitmap && width == Width())
        return;
    m_PictaInfo.outputWidth = width;
}

void Picta::SetOutputHeight(int height) {
    if (m_bLoaded && m_hBitmap && height == Height())
        return;
    m_PictaInfo.outputHeight = height;
}

void Picta::SetOutputPercent(int percent) {
    if (m_bLoaded && m_hBitmap) {
        m_PictaInfo.outputWidth = static_cast<int>(static_cast<long long>(percent) * Width() / 100);
        m_PictaInfo.outputHeight =
            static_cast<int>(static_cast<long long>(percent) * Height() / 100);
    } else {
        m_PictaInfo.outputWidth = -1;
        m_PictaInfo.outputHeight = -1;
    }
}

static LONG DpiToMetre(int dpi) {
    return static_cast<LONG>(std::floor(dpi * 39.37007874015748 + 0.5));
}

void Picta::SetXDPI(int dpi) {
    m_PictaInfo.xDPI = dpi;
    m_Info.header.biXPelsPerMeter = DpiToMetre(dpi);
}

void Picta::SetYDPI(int dpi) {
    m_PictaInfo.yDPI = dpi;
    m_Info.header.biYPelsPerMeter = DpiToMetre(dpi);
}

void Picta::Borrow(const GDib& image, const _PICTAINFO* info) {
    // A GDib copy shares the section under a use count, so the image keeps it afterwards.
    GDib::operator=(image);
    if (info)
        CopyPictaInfo(m_PictaInfo, *info);
    m_bLoaded = m_hBitmap != nullptr;
}

void Picta::Detach() {
    GDib::Free();
    m_bLoaded = 0;
}
