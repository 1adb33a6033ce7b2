// BMP files assembled from the format's tables for the reader and export tests.
#pragma once

#include "PictaTestUtil.h"

// File header, 40-byte info header, masks (bit-field forms) and colour table, then the pixel
// data exactly as given.
inline Bytes BmpFile(int width, int height, int bits, int compression,
                     const std::vector<RGBQUAD>& palette, const Bytes& data,
                     const std::vector<uint32_t>& masks = {}) {
    Bytes info;
    PutLe32(info, 40);
    PutLe32(info, width);
    PutLe32(info, height);
    PutLe16(info, 1);
    PutLe16(info, bits);
    PutLe32(info, compression);
    PutLe32(info, static_cast<int64_t>(data.size()));
    PutLe32(info, 2835);
    PutLe32(info, 2835);
    PutLe32(info, static_cast<int64_t>(palette.size()));
    PutLe32(info, 0);
    for (uint32_t m : masks)
        PutLe32(info, m);
    for (const RGBQUAD& c : palette)
        Append(info, {c.rgbBlue, c.rgbGreen, c.rgbRed, 0});
    Bytes out;
    PutText(out, "BM");
    PutLe32(out, static_cast<int64_t>(14 + info.size() + data.size()));
    PutLe32(out, 0);
    PutLe32(out, static_cast<int64_t>(14 + info.size()));
    Append(out, info);
    Append(out, data);
    return out;
}

// Rows of palette indices (the top row first) packed at 1, 4 or 8 bits, stored bottom-up and
// padded to 4 bytes.
inline Bytes PackedRows(int bits, const std::vector<std::vector<int>>& rows) {
    Bytes out;
    for (size_t r = rows.size(); r-- > 0;) {
        const std::vector<int>& row = rows[r];
        size_t stride = ((row.size() * bits + 31) / 32) * 4;
        Bytes packed(stride, 0);
        for (size_t x = 0; x < row.size(); ++x) {
            size_t bit = x * bits;
            packed[bit / 8] |= static_cast<BYTE>(row[x] << (8 - bits - bit % 8));
        }
        Append(out, packed);
    }
    return out;
}

inline RGBQUAD Rgb(int r, int g, int b) {
    return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
}
