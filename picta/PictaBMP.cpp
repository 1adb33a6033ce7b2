#include "picta/PictaBMP.h"

#include "PictaIO.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using picta::Get16;
using picta::Get32;

namespace {

// Bit-field layouts that are plain pixels in another spelling.
bool PlainMasks(int bitCount, DWORD red, DWORD green, DWORD blue) {
    if (bitCount == 16)
        return red == 0x7C00 && green == 0x03E0 && blue == 0x001F;
    if (bitCount == 32)
        return red == 0xFF0000 && green == 0x00FF00 && blue == 0x0000FF;
    return false;
}

// Index of pixel x in a packed row of 1, 2, 4 or 8 bits.
inline int PackedIndex(const BYTE* row, int x, int bitCount) {
    int bit = x * bitCount;
    int shift = 8 - bitCount - (bit & 7);
    return (row[bit >> 3] >> shift) & ((1 << bitCount) - 1);
}

inline void SetPacked(BYTE* row, int x, int bitCount, int index) {
    int bit = x * bitCount;
    int shift = 8 - bitCount - (bit & 7);
    BYTE mask = static_cast<BYTE>(((1 << bitCount) - 1) << shift);
    row[bit >> 3] = static_cast<BYTE>((row[bit >> 3] & ~mask) | ((index << shift) & mask));
}

// Compression values beyond the three the platform names.
constexpr DWORD kJpegInside = 4;
constexpr DWORD kPngInside = 5;
constexpr DWORD kAlphaBitFields = 6;
// Run-length files may describe this many pixels whatever their size, and beyond it this
// many per byte of data (runs of 255 in two bytes, plus jumps over untouched pixels).
constexpr long long kRleFloor = 1LL << 20;
constexpr long long kRlePixelsPerByte = 1024;

} // namespace

int PictaBMP::Refuse(const char* why) {
    m_pRefusal = why;
    return 0;
}

int PictaBMP::ReadMasks(GFile* file, Header& h) {
    BITMAPINFOHEADER& bi = h.info;
    BYTE masks[12];
    if (picta::FileRead(file, masks, 12) != 12)
        return Refuse("the file ends inside the bit-field masks");
    if (bi.biBitCount != 16 && bi.biBitCount != 32)
        return Refuse("bit fields need 16 or 32 bits per pixel");
    DWORD all = 0;
    for (int i = 0; i < 3; ++i) {
        DWORD m = Get32(masks + 4 * i);
        DWORD low = m & (~m + 1);
        // Empty, overlapping, gapped or wider than a pixel: no channel can be read from it.
        if (!m || (m & all) || ((m + low) & m) || (bi.biBitCount == 16 && m > 0xFFFF))
            return Refuse("the bit-field masks are empty, overlap or have gaps");
        all |= m;
        h.masks[i] = m;
    }
    h.fields = !PlainMasks(bi.biBitCount, h.masks[0], h.masks[1], h.masks[2]);
    bi.biCompression = BI_RGB;
    return 1;
}

int PictaBMP::ReadBitmapInfo(GFile* file, Header& h) {
    BYTE raw[40];
    std::memset(raw, 0, sizeof raw);
    long long at = file->Tell();
    int got = picta::FileRead(file, raw, 40);
    if (got < 12)
        return Refuse("the file is too short for a bitmap header");
    BITMAPINFOHEADER& bi = h.info;
    std::memset(&bi, 0, sizeof bi);
    bi.biSize = Get32(raw);
    h.core = 0;
    h.rle = 0;
    h.fields = 0;
    std::memset(h.masks, 0, sizeof h.masks);
    if (bi.biSize == 12) {
        h.core = 1;
        bi.biWidth = Get16(raw + 4);
        bi.biHeight = Get16(raw + 6);
        bi.biPlanes = Get16(raw + 8);
        bi.biBitCount = Get16(raw + 10);
        // The colour table follows the 12 bytes.
        if (!file->Seek(static_cast<long>(at + 12), 0))
            return Refuse("the file is too short for a bitmap header");
    } else {
        // Later header versions begin with the same 40 bytes.
        if (bi.biSize < 40 || bi.biSize > 1024 || got < 40)
            return Refuse("not a bitmap header");
        bi.biWidth = static_cast<LONG>(Get32(raw + 4));
        bi.biHeight = static_cast<LONG>(Get32(raw + 8));
        bi.biPlanes = Get16(raw + 12);
        bi.biBitCount = Get16(raw + 14);
        bi.biCompression = Get32(raw + 16);
        bi.biSizeImage = Get32(raw + 20);
        bi.biXPelsPerMeter = static_cast<LONG>(Get32(raw + 24));
        bi.biYPelsPerMeter = static_cast<LONG>(Get32(raw + 28));
        bi.biClrUsed = Get32(raw + 32);
        bi.biClrImportant = Get32(raw + 36);
        // Masks sit after a 40-byte header or inside the longer ones; the handheld's
        // alpha-bit-field form adds an alpha mask, which is not used.
        if (bi.biCompression == BI_BITFIELDS || bi.biCompression == kAlphaBitFields) {
            int extra = bi.biCompression == kAlphaBitFields ? 16 : 12;
            if (!ReadMasks(file, h))
                return 0;
            if (bi.biSize == 40)
                at += extra;
        }
        if (!file->Seek(static_cast<long>(at + bi.biSize), 0))
            return Refuse("the file ends inside the bitmap header");
    }
    int bc = bi.biBitCount;
    if (bc != 1 && bc != 2 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
        return Refuse("the bits per pixel are not 1, 2, 4, 8, 16, 24 or 32");
    if (bi.biCompression == BI_RLE8 || bi.biCompression == BI_RLE4) {
        h.rle = bi.biCompression == BI_RLE8 ? 8 : 4;
        if (bc != h.rle)
            return Refuse(h.rle == 8 ? "run-length coding (RLE8) needs 8 bits per pixel"
                                     : "run-length coding (RLE4) needs 4 bits per pixel");
        if (bi.biHeight < 0)
            return Refuse("a top-down bitmap cannot be run-length coded");
    } else if (bi.biCompression == kJpegInside) {
        return Refuse("a JPEG picture inside a BMP file is not read");
    } else if (bi.biCompression == kPngInside) {
        return Refuse("a PNG picture inside a BMP file is not read");
    } else if (bi.biCompression != BI_RGB) {
        return Refuse("unknown compression");
    }
    if (bi.biWidth < 1 || bi.biHeight == 0 || bi.biHeight == static_cast<LONG>(0x80000000))
        return Refuse("the picture has no width or height");
    h.topDown = bi.biHeight < 0;
    h.height = bi.biHeight < 0 ? -bi.biHeight : bi.biHeight;
    if (!picta::BitmapFits(bi.biWidth, h.height, h.fields ? 24 : bc))
        return Refuse("the picture is larger than the reader takes (32768 pixels a side, "
                      "256 MB of pixels)");
    // The stored image size is recomputed: a wrong one must not steer the reads.
    bi.biSizeImage = static_cast<DWORD>(GDib::LineSize(bi.biWidth, bc)) * h.height;
    if (bc <= 8) {
        DWORD full = 1u << bc;
        if (bi.biClrUsed == 0 || bi.biClrUsed > full)
            bi.biClrUsed = full;
    } else if (bi.biClrUsed > 256) {
        return Refuse("the colour count is beyond 256");
    }
    return 1;
}

int PictaBMP::ReadHeaders(GFile* file, Header& h) {
    m_pRefusal = nullptr;
    h.start = file->Tell();
    if (h.start < 0)
        return Refuse("the stream cannot be read");
    h.dataOffset = 0;
    BYTE fh[14];
    int got = picta::FileRead(file, fh, 14);
    if (got == 14 && fh[0] == 'B' && fh[1] == 'M') {
        h.dataOffset = Get32(fh + 10);
    } else if (!file->Seek(static_cast<long>(h.start), 0)) {
        return Refuse("the stream cannot be read");
    }
    return ReadBitmapInfo(file, h);
}

int PictaBMP::PreLoad(GFile* file, int& width, int& height) {
    if (!file || file->Size() <= 0)
        return Refuse("the file is empty");
    Header h;
    if (!ReadHeaders(file, h))
        return 0;
    width = h.info.biWidth;
    height = h.info.biHeight;
    return picta::EstimateBytes(width, h.height, h.fields ? 24 : h.info.biBitCount);
}

int PictaBMP::Load(GFile* file, PICTAPROGRESS progress, void* user) {
    m_nFileBits = 0;
    if (!file || file->Size() <= 0)
        return Refuse("the file is empty");
    Header h;
    if (!ReadHeaders(file, h))
        return 0;
    m_bLoaded = 0;
    const BITMAPINFOHEADER fileInfo = h.info;
    int w = fileInfo.biWidth;
    int bc = fileInfo.biBitCount;

    // The colour table is read before the bitmap is made, so that a file cut short there
    // costs no allocation.
    int colors = static_cast<int>(fileInfo.biClrUsed);
    RGBQUAD table[256];
    std::memset(table, 0, sizeof table);
    if (bc <= 8) {
        int entry = h.core ? 3 : 4;
        BYTE raw[256 * 4];
        if (picta::FileRead(file, raw, colors * entry) != colors * entry)
            return Refuse("the file ends inside the colour table");
        for (int i = 0; i < colors; ++i) {
            const BYTE* e = raw + i * entry;
            table[i] = RGBQUAD{e[0], e[1], e[2], 0};
        }
    } else if (colors > 0 && !h.dataOffset) {
        // A table beside direct pixels is only a hint for displays: step over it.
        file->Seek(colors * (h.core ? 3 : 4), 1);
    }

    long long size = file->Size();
    if (h.dataOffset) {
        if (h.start + h.dataOffset > size ||
            !file->Seek(static_cast<long>(h.start + h.dataOffset), 0))
            return Refuse("the pixel data would start past the end of the file");
    }
    long long available = size - file->Tell();
    long long pixels = static_cast<long long>(w) * h.height;
    long long stored = static_cast<long long>(LineSize(w, bc)) * h.height;
    // A cut file may still show its first rows, but a few bytes must not claim a huge bitmap.
    // Run-length rows can say much in little, though not without bound.
    bool plausible = h.rle ? pixels <= std::max(kRleFloor, available * kRlePixelsPerByte)
                           : stored <= available * 4;
    if (available <= 0 || !plausible)
        return Refuse("the pixel data is missing or far too short for the picture's size");

    int W, H;
    picta::FitOutputSize(w, h.height, m_PictaInfo.outputWidth, m_PictaInfo.outputHeight, W, H);
    if (!Create(W, H, h.fields ? 24 : bc))
        return Refuse("no memory for the picture");
    m_Info.header.biXPelsPerMeter = fileInfo.biXPelsPerMeter;
    m_Info.header.biYPelsPerMeter = fileInfo.biYPelsPerMeter;
    m_Info.header.biClrImportant = fileInfo.biClrImportant;
    m_PictaInfo.xDPI = static_cast<int>(std::floor(fileInfo.biXPelsPerMeter * 0.0254 + 0.5));
    m_PictaInfo.yDPI = static_cast<int>(std::floor(fileInfo.biYPelsPerMeter * 0.0254 + 0.5));
    if (bc <= 8) {
        std::memcpy(m_Info.colors, table, sizeof(RGBQUAD) * static_cast<size_t>(colors));
        m_Info.header.biClrUsed = static_cast<DWORD>(colors);
        UpdateSectionColors();
    }

    if (h.rle)
        return LoadRle(file, h, available, progress, user);
    if (h.fields) {
        m_nFileBits = bc;
        return LoadFields(file, h, progress, user);
    }
    if (W == w && H == h.height) {
        picta::FileRead(file, m_pBits, static_cast<int>(stored));
        if (h.topDown)
            Flip();
        m_bLoaded = 1;
        return 1;
    }
    int inBytes = LineSize(w, bc);
    return ReadScaled(
        [file, inBytes](BYTE* row) {
            std::memset(row, 0, static_cast<size_t>(inBytes));
            picta::FileRead(file, row, inBytes);
        },
        bc, h, progress, user);
}

int PictaBMP::ReadScaled(const std::function<void(BYTE*)>& next, int bc, const Header& h,
                         PICTAPROGRESS progress, void* user) {
    int w = h.info.biWidth;
    int fileHeight = h.height;
    int W = m_Info.header.biWidth;
    int H = m_Info.header.biHeight;
    int inBytes = LineSize(w, bc);
    std::vector<BYTE> row(static_cast<size_t>(inBytes));
    int bytesPerPixel = bc / 8;
    std::vector<int> columns(static_cast<size_t>(W));
    for (int i = 0; i < W; ++i)
        columns[i] = static_cast<int>(static_cast<long long>(i) * w / W);

    // Output stored row o (from the bottom) takes file row (o * h) / H in bottom-up terms.
    int reported = -1;
    for (int r = 0; r < fileHeight; ++r) {
        next(row.data());
        int bottomUp = h.topDown ? fileHeight - 1 - r : r;
        // Rows are visited in stored order; a top-down file fills the output from the top.
        long long first = (static_cast<long long>(bottomUp) * H + fileHeight - 1) / fileHeight;
        long long end = (static_cast<long long>(bottomUp + 1) * H + fileHeight - 1) / fileHeight;
        for (int o = static_cast<int>(first); o < end && o < H; ++o) {
            BYTE* dst = StoredRow(o);
            if (bc >= 8) {
                for (int i = 0; i < W; ++i)
                    std::memcpy(dst + i * bytesPerPixel, row.data() + columns[i] * bytesPerPixel,
                                static_cast<size_t>(bytesPerPixel));
            } else {
                for (int i = 0; i < W; ++i)
                    SetPacked(dst, i, bc, PackedIndex(row.data(), columns[i], bc));
            }
        }
        int percent = (10 * (r + 1) / fileHeight) * 10;
        if (percent != reported) {
            reported = percent;
            if (progress && !progress(percent, user)) {
                Free();
                return Refuse("cancelled");
            }
        }
    }
    if (progress)
        progress(100, user);
    m_bLoaded = 1;
    return 1;
}

int PictaBMP::Save(GFile* file, PICTAPROGRESS progress, void* user) {
    if (!file || !m_hBitmap)
        return 0;
    const BITMAPINFOHEADER& bi = m_Info.header;
    DWORD colors = bi.biClrUsed > 256 ? 256 : bi.biClrUsed;
    DWORD image = static_cast<DWORD>(Stride()) * static_cast<DWORD>(bi.biHeight);
    DWORD headerSize = 40 + 4 * colors;
    BYTE head[54];
    std::memset(head, 0, sizeof head);
    head[0] = 'B';
    head[1] = 'M';
    picta::Put32(head + 2, 14 + headerSize + image);
    picta::Put32(head + 10, 14 + headerSize);
    BYTE* ih = head + 14;
    picta::Put32(ih, 40);
    picta::Put32(ih + 4, static_cast<DWORD>(bi.biWidth));
    picta::Put32(ih + 8, static_cast<DWORD>(bi.biHeight));
    picta::Put16(ih + 12, 1);
    picta::Put16(ih + 14, bi.biBitCount);
    picta::Put32(ih + 16, BI_RGB);
    picta::Put32(ih + 20, image);
    picta::Put32(ih + 24, static_cast<DWORD>(bi.biXPelsPerMeter));
    picta::Put32(ih + 28, static_cast<DWORD>(bi.biYPelsPerMeter));
    picta::Put32(ih + 32, colors);
    picta::Put32(ih + 36, bi.biClrImportant);
    // A short write is reported so that a caller never keeps a cut file.
    bool ok = picta::FileWrite(file, head, 54) == 54;
    for (DWORD i = 0; i < colors; ++i) {
        const RGBQUAD& c = m_Info.colors[i];
        BYTE e[4] = {c.rgbBlue, c.rgbGreen, c.rgbRed, 0};
        ok = picta::FileWrite(file, e, 4) == 4 && ok;
    }
    DWORD slice = image / 10;
    DWORD done = 0;
    for (int i = 1; i <= 10; ++i) {
        DWORD n = i < 10 ? slice : image - done;
        if (n)
            ok = picta::FileWrite(file, m_pBits + done, static_cast<int>(n)) ==
                     static_cast<int>(n) &&
                 ok;
        done += n;
        if (progress)
            progress(i * 10, user);
    }
    ok = file->Flush() && ok;
    return ok ? 1 : 0;
}
