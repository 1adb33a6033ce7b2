// A small PNG reader for the export tests: 8-bit RGB or RGBA, not interlaced, as the platform
// writes them. The image data is inflated through the core library's zlib binding.
#pragma once

#include "PictaTestUtil.h"

#include <fundo/GZLib.h>

#include <cstdlib>

struct PngPicture {
    int width = 0;
    int height = 0;
    int channels = 0; // 3 or 4
    Bytes pixels;     // rows from the top, channels bytes a pixel
    bool ok = false;

    // Red, green, blue and alpha (255 without an alpha channel) of pixel (x, y).
    std::vector<int> At(int x, int y) const {
        const BYTE* p = pixels.data() + (static_cast<size_t>(y) * width + x) * channels;
        return {p[0], p[1], p[2], channels == 4 ? p[3] : 255};
    }
};

inline uint32_t Be32At(const Bytes& b, size_t at) {
    return (static_cast<uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

inline PngPicture ReadPngFile(const std::string& path) {
    PngPicture png;
    Bytes b = ReadHostFile(path);
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() < 8 || std::memcmp(b.data(), kSignature, 8) != 0)
        return png;
    Bytes packed;
    size_t at = 8;
    while (at + 12 <= b.size()) {
        uint32_t length = Be32At(b, at);
        std::string type(b.begin() + at + 4, b.begin() + at + 8);
        if (at + 12 + length > b.size())
            return png;
        const BYTE* data = b.data() + at + 8;
        if (type == "IHDR") {
            png.width = static_cast<int>(Be32At(b, at + 8));
            png.height = static_cast<int>(Be32At(b, at + 12));
            if (data[8] != 8 || data[12] != 0 || (data[9] != 2 && data[9] != 6))
                return png;
            png.channels = data[9] == 6 ? 4 : 3;
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    size_t line = static_cast<size_t>(png.width) * png.channels;
    unsigned long size = static_cast<unsigned long>((line + 1) * png.height);
    Bytes filtered(size);
    if (!InitGZLib() || !GZUncompress() ||
        GZUncompress()(filtered.data(), &size, packed.data(), packed.size()) != 0 ||
        size != filtered.size())
        return png;
    // Undo each row's filter (none, sub, up, average, Paeth).
    png.pixels.assign(line * png.height, 0);
    const int bpp = png.channels;
    for (int y = 0; y < png.height; ++y) {
        const BYTE* in = filtered.data() + y * (line + 1);
        BYTE* out = png.pixels.data() + y * line;
        const BYTE* up = y > 0 ? out - line : nullptr;
        for (size_t i = 0; i < line; ++i) {
            int a = i >= static_cast<size_t>(bpp) ? out[i - bpp] : 0;
            int u = up ? up[i] : 0;
            int c = up && i >= static_cast<size_t>(bpp) ? up[i - bpp] : 0;
            int predictor = 0;
            switch (in[0]) {
                case 1:
                    predictor = a;
                    break;
                case 2:
                    predictor = u;
                    break;
                case 3:
                    predictor = (a + u) / 2;
                    break;
                case 4: {
                    int p = a + u - c, pa = std::abs(p - a), pb = std::abs(p - u),
                        pc = std::abs(p - c);
                    predictor = pa <= pb && pa <= pc ? a : pb <= pc ? u : c;
                    break;
                }
                default:
                    break;
            }
            out[i] = static_cast<BYTE>(in[1 + i] + predictor);
        }
    }
    png.ok = true;
    return png;
}
