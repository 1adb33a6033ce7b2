// BMP pixel forms other than plain rows: run-length coded indices (RLE8, RLE4) and bit-field
// pixels, unpacked into the bitmap the header asked for.
#include "picta/PictaBMP.h"

#include "PictaIO.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Writes index v at (x, y) of a bottom-up buffer (y counted from the bottom), if inside.
inline void PutIndex(BYTE* out, int stride, int bits, int width, int x, int y, int v) {
    if (x < 0 || x >= width)
        return;
    BYTE* row = out + static_cast<std::ptrdiff_t>(y) * stride;
    if (bits == 8) {
        row[x] = static_cast<BYTE>(v);
    } else if (x & 1) {
        row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0xF0) | (v & 15));
    } else {
        row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0x0F) | ((v & 15) << 4));
    }
}

// Decodes run-length rows (bits 8 or 4) into a bottom-up buffer. Pixels the data never
// reaches keep what the buffer holds (index 0 in a fresh bitmap); pixels past the right edge
// are dropped; damaged or cut data ends the decoding with what was placed so far.
void DecodeRle(const BYTE* data, size_t size, int bits, int width, int height, BYTE* out,
               int stride) {
    size_t i = 0;
    int x = 0;
    int y = 0;
    while (i + 1 < size && y < height) {
        int n = data[i];
        int v = data[i + 1];
        i += 2;
        if (n > 0) {
            // A run: one index, or for 4 bits two indices taking turns.
            int stop = std::min(x + n, width);
            for (int k = 0; x + k < stop; ++k)
                PutIndex(out, stride, bits, width, x + k, y,
                         bits == 8 ? v
                         : (k & 1) ? (v & 15)
                                   : (v >> 4));
            x = std::min(x + n, width);
            continue;
        }
        if (v == 0) { // end of line
            x = 0;
            ++y;
        } else if (v == 1) { // end of bitmap
            return;
        } else if (v == 2) { // jump right and up
            if (i + 1 >= size)
                return;
            x = std::min(x + data[i], width);
            y += data[i + 1];
            i += 2;
        } else { // v indices as they are, padded to a 16-bit boundary
            size_t bytes = bits == 8 ? static_cast<size_t>(v) : static_cast<size_t>(v + 1) / 2;
            size_t have = std::min(bytes, size - i);
            for (int k = 0; k < v && x + k < width; ++k) {
                size_t at = bits == 8 ? static_cast<size_t>(k) : static_cast<size_t>(k) / 2;
                if (at >= have)
                    break;
                int index = bits == 8 ? data[i + at]
                            : (k & 1) ? (data[i + at] & 15)
                                      : (data[i + at] >> 4);
                PutIndex(out, stride, bits, width, x + k, y, index);
            }
            if (have < bytes)
                return;
            x = std::min(x + v, width);
            i += bytes + (bytes & 1);
        }
    }
}

struct Channel {
    DWORD mask;
    int shift;
    DWORD top; // the channel's largest value
};

Channel MakeChannel(DWORD mask) {
    Channel c{mask, 0, 0};
    while (!((mask >> c.shift) & 1))
        ++c.shift;
    c.top = mask >> c.shift;
    return c;
}

// A channel's value scaled to 0-255, rounded to nearest.
inline BYTE Expand(DWORD pixel, const Channel& c) {
    unsigned long long v = (pixel & c.mask) >> c.shift;
    return static_cast<BYTE>((v * 255 + c.top / 2) / c.top);
}

} // namespace

int PictaBMP::LoadRle(GFile* file, const Header& h, long long available, PICTAPROGRESS progress,
                      void* user) {
    int w = h.info.biWidth;
    int bits = h.rle;
    // Even index by index with every row ended, the data needs no more than this.
    long long most = (static_cast<long long>(LineSize(w, 8)) + 4) * h.height * 2 + 4096;
    std::vector<BYTE> data;
    data.resize(static_cast<size_t>(std::min(available, most)));
    int got = picta::FileRead(file, data.data(), static_cast<int>(data.size()));
    if (got <= 0) {
        Free();
        return Refuse("the pixel data is missing");
    }
    if (m_Info.header.biWidth == w && m_Info.header.biHeight == h.height) {
        DecodeRle(data.data(), static_cast<size_t>(got), bits, w, h.height, m_pBits, Stride());
        if (progress)
            progress(100, user);
        m_bLoaded = 1;
        return 1;
    }
    // Scaled: the whole picture is decoded first, then sampled row by row.
    int stride = LineSize(w, bits);
    std::vector<BYTE> full(static_cast<size_t>(stride) * h.height, 0);
    DecodeRle(data.data(), static_cast<size_t>(got), bits, w, h.height, full.data(), stride);
    data.clear();
    data.shrink_to_fit();
    const BYTE* next = full.data();
    return ReadScaled(
        [&next, stride](BYTE* row) {
            std::memcpy(row, next, static_cast<size_t>(stride));
            next += stride;
        },
        bits, h, progress, user);
}

int PictaBMP::LoadFields(GFile* file, const Header& h, PICTAPROGRESS progress, void* user) {
    int w = h.info.biWidth;
    int bc = h.info.biBitCount;
    int inBytes = LineSize(w, bc);
    const Channel red = MakeChannel(h.masks[0]);
    const Channel green = MakeChannel(h.masks[1]);
    const Channel blue = MakeChannel(h.masks[2]);
    std::vector<BYTE> raw(static_cast<size_t>(inBytes));
    // One file row to one 24-bit row; a cut file leaves its missing pixels black.
    auto unpack = [&](BYTE* out) {
        std::memset(raw.data(), 0, raw.size());
        picta::FileRead(file, raw.data(), inBytes);
        for (int x = 0; x < w; ++x) {
            const BYTE* p = raw.data() + x * (bc / 8);
            DWORD pixel = bc == 16 ? picta::Get16(p) : picta::Get32(p);
            out[3 * x] = Expand(pixel, blue);
            out[3 * x + 1] = Expand(pixel, green);
            out[3 * x + 2] = Expand(pixel, red);
        }
    };
    if (m_Info.header.biWidth == w && m_Info.header.biHeight == h.height) {
        for (int r = 0; r < h.height; ++r)
            unpack(StoredRow(h.topDown ? h.height - 1 - r : r));
        if (progress)
            progress(100, user);
        m_bLoaded = 1;
        return 1;
    }
    return ReadScaled(unpack, 24, h, progress, user);
}
