// GDib lifetime, creation, conversion and accessors.
#include "fundo/GDib.h"
#include "GDibInternal.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

GDib::GDib() : m_pBits(nullptr), m_hBitmap(nullptr), m_pShare(nullptr) {
    std::memset(&m_Info, 0, sizeof m_Info);
    m_TransColor = RGBQUAD{0, 0, 0, 0};
}

GDib::GDib(const GDib& other) : GDib() {
    Adopt(other);
}

GDib& GDib::operator=(const GDib& other) {
    if (this == &other)
        return *this;
    if (m_hBitmap && m_hBitmap == other.m_hBitmap) {
        // Already holding that section: only the description is copied.
        m_Info = other.m_Info;
        m_pBits = other.m_pBits;
        m_TransColor = other.m_TransColor;
        return *this;
    }
    ReleaseSection();
    Adopt(other);
    return *this;
}

GDib::~GDib() {
    Free();
}

void GDib::Free() {
    ReleaseSection();
    std::memset(&m_Info, 0, sizeof m_Info);
}

void GDib::Adopt(const GDib& other) {
    m_Info = other.m_Info;
    m_pBits = other.m_pBits;
    m_hBitmap = other.m_hBitmap;
    m_TransColor = other.m_TransColor;
    m_pShare = nullptr;
    if (other.m_hBitmap) {
        if (!other.m_pShare)
            other.m_pShare = new Share{1};
        other.m_pShare->owners.fetch_add(1);
        m_pShare = other.m_pShare;
    }
}

void GDib::ReleaseSection() {
    if (m_hBitmap) {
        if (!m_pShare) {
            DeleteObject(m_hBitmap);
        } else if (m_pShare->owners.fetch_sub(1) == 1) {
            delete m_pShare;
            DeleteObject(m_hBitmap);
        }
    }
    m_pShare = nullptr;
    m_hBitmap = nullptr;
    m_pBits = nullptr;
}

void GDib::SetHandle(HBITMAP handle) {
    if (handle == m_hBitmap)
        return;
    // Stored without any check: the codecs adopt and detach sections this way. A claim
    // shared with copies is dropped so that the copies keep the old section alive.
    if (m_pShare && m_pShare->owners.fetch_sub(1) == 1)
        delete m_pShare;
    m_pShare = nullptr;
    m_hBitmap = handle;
}

int GDib::NormalizeBitCount(int bitCount) {
    if (bitCount <= 1)
        return 1;
    if (bitCount <= 2)
        return 2;
    if (bitCount <= 4)
        return 4;
    if (bitCount <= 8)
        return 8;
    if (bitCount <= 16)
        return 16;
    if (bitCount <= 24)
        return 24;
    if (bitCount <= 32)
        return 32;
    return 24;
}

void GDib::FillHeader(int width, int height, int bitCount) {
    BITMAPINFOHEADER& h = m_Info.header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(LineSize(width, bitCount)) * static_cast<DWORD>(height);
    h.biXPelsPerMeter = 0;
    h.biYPelsPerMeter = 0;
    h.biClrUsed = bitCount <= 8 ? 1u << bitCount : 0;
    h.biClrImportant = 0;
}

// Sizes whose pixel buffer fits the 32-bit size fields.
static bool SizeFits(int width, int height, int bitCount) {
    if (width <= 0 || height <= 0 || width > INT_MAX / 32)
        return false;
    return static_cast<long long>(GDib::LineSize(width, bitCount)) * height <= INT_MAX;
}

int GDib::CreateSection(UINT usage) {
    void* bits = nullptr;
    gdib::ScreenDC screen;
    HBITMAP section = CreateDIBSection(screen.Get(), reinterpret_cast<BITMAPINFO*>(&m_Info), usage,
                                       &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        Free();
        return 0;
    }
    m_hBitmap = section;
    m_pBits = static_cast<BYTE*>(bits);
    m_pShare = nullptr;
    return 1;
}

int GDib::Create(int width, int height, int bitCount) {
    Free();
    bitCount = NormalizeBitCount(bitCount);
    if (!SizeFits(width, height, bitCount))
        return 0;
    FillHeader(width, height, bitCount);
    // The table goes in before the section is made so that the section's own copy agrees.
    SetDefaultPalette();
    return CreateSection(DIB_RGB_COLORS);
}

int GDib::CopyDib(const GDib* source) {
    if (!source || !source->m_hBitmap || !source->m_pBits)
        return 0;
    if (source == this)
        return 1;
    const BITMAPINFOHEADER& sh = source->m_Info.header;
    if (!SizeFits(sh.biWidth, sh.biHeight, sh.biBitCount))
        return 0;
    // The bit count must agree too, or the section's real format would differ from the header.
    bool reuse = m_hBitmap && m_pBits && Width() == source->Width() &&
                 Height() == source->Height() && GetSize() == source->GetSize() &&
                 GetBitCount() == source->GetBitCount();
    if (!reuse) {
        Free();
        m_Info = source->m_Info;
        if (!CreateSection(DIB_RGB_COLORS))
            return 0;
    }
    m_Info = source->m_Info;
    if (reuse)
        UpdateSectionColors();
    std::memcpy(m_pBits, source->m_pBits, static_cast<size_t>(source->Stride()) * sh.biHeight);
    m_TransColor = source->m_TransColor;
    m_TransColor.rgbReserved = 0;
    return 1;
}

int GDib::SwapDib(GDib* other) {
    if (!other)
        return 0;
    std::swap(m_Info, other->m_Info);
    std::swap(m_pBits, other->m_pBits);
    std::swap(m_hBitmap, other->m_hBitmap);
    std::swap(m_pShare, other->m_pShare);
    return 1;
}

int GDib::ConvertBitCount(int bitCount) {
    if (!m_hBitmap)
        return 0;
    if (NormalizeBitCount(bitCount) == m_Info.header.biBitCount)
        return 1;
    return FromDDB(m_hBitmap, bitCount);
}

int GDib::FromDDB(HBITMAP bitmap, int bitCount) {
    if (!bitmap)
        return 0;
    // Converting our own section: keep it alive until its pixels are copied.
    GDib previous;
    if (bitmap == m_hBitmap)
        SwapDib(&previous);
    else
        Free();

    BITMAP bm;
    std::memset(&bm, 0, sizeof bm);
    if (!GetObject(bitmap, sizeof bm, &bm))
        return 0;
    int sourceBits = bm.bmPlanes * bm.bmBitsPixel;
    int depth = NormalizeBitCount(bitCount ? bitCount : sourceBits);
    int width = bm.bmWidth;
    int height = std::abs(bm.bmHeight);
    if (!SizeFits(width, height, depth))
        return 0;
    FillHeader(width, height, depth);
    // Writes through GetPaletteData bypass UpdateSectionColors; the copy must still see them.
    if (previous.m_hBitmap)
        previous.UpdateSectionColors();

    gdib::MemoryDC source(bitmap);
    if (!source.Get()) {
        Free();
        return 0;
    }
    if (depth <= 8) {
        // The target's table is the source's own when it has one, else our default; the
        // section is made from it so that the copy below maps colours onto that table.
        UINT got = gdib::ReadColorTable(source.Get(), m_Info.colors, 1u << depth);
        if (got == 0)
            SetDefaultPalette();
    }
    if (!CreateSection(DIB_RGB_COLORS))
        return 0;
    gdib::MemoryDC target(m_hBitmap);
    if (!target.Get() ||
        !::BitBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY)) {
        target.Release();
        Free();
        return 0;
    }
    return 1;
}

BITMAPINFOHEADER* GDib::GetInfoHeader() const {
    return m_hBitmap ? const_cast<BITMAPINFOHEADER*>(&m_Info.header) : nullptr;
}

BITMAPINFO* GDib::GetInfo() const {
    return m_hBitmap ? reinterpret_cast<BITMAPINFO*>(const_cast<Info*>(&m_Info)) : nullptr;
}

RGBQUAD* GDib::GetPaletteData() const {
    if (!m_hBitmap || m_Info.header.biClrUsed < 1)
        return nullptr;
    return const_cast<RGBQUAD*>(m_Info.colors);
}

void GDib::SetUsedColors(int count) {
    // Capped at the table's size: GDI reads that many entries after the header.
    if (m_hBitmap)
        m_Info.header.biClrUsed = static_cast<DWORD>(count < 0 ? 0 : count > 256 ? 256 : count);
}

int GDib::GetHeaderSize() const {
    if (!m_hBitmap)
        return 0;
    return static_cast<int>(m_Info.header.biSize + 4 * m_Info.header.biClrUsed);
}

int GDib::GetSize() const {
    if (!m_hBitmap)
        return 0;
    return GetHeaderSize() + static_cast<int>(m_Info.header.biSizeImage);
}

int GDib::GetLineSize() const {
    return m_hBitmap ? Stride() : 0;
}

int GDib::PaletteCount() const {
    DWORD n = m_Info.header.biClrUsed;
    return n > 256 ? 256 : static_cast<int>(n);
}
