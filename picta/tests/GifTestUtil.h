// GIF streams assembled block by block.
#pragma once

#include "PictaTestUtil.h"

#include <fundo/GDib.h>

#include <cstring>

struct GifBuilder {
    Bytes b;

    // table.size() must be 0 or a power of two from 2 to 256.
    GifBuilder& Header(const char* signature, int width, int height,
                       const std::vector<RGB3>& table) {
        PutText(b, signature);
        PutLe16(b, width);
        PutLe16(b, height);
        Put8(b, table.empty() ? 0 : 0x80 | SizeField(table.size()));
        Put8(b, 0);
        Put8(b, 0);
        PutTable(table);
        return *this;
    }
    GifBuilder& Control(int disposal, int delay, int transparent) {
        Append(b, {0x21, 0xF9, 4});
        Put8(b, (disposal << 2) | (transparent >= 0 ? 1 : 0));
        PutLe16(b, delay);
        Put8(b, transparent >= 0 ? transparent : 0);
        Put8(b, 0);
        return *this;
    }
    GifBuilder& Loop(int count) {
        Append(b, {0x21, 0xFF, 11});
        PutText(b, "NETSCAPE2.0");
        Append(b, {3, 1});
        PutLe16(b, count);
        Put8(b, 0);
        return *this;
    }
    GifBuilder& Comment(const char* text) {
        Append(b, {0x21, 0xFE});
        Put8(b, static_cast<int>(strlen(text)));
        PutText(b, text);
        Put8(b, 0);
        return *this;
    }
    GifBuilder& Image(int left, int top, int width, int height, bool interlaced,
                      const std::vector<RGB3>& local, int minCodeSize, const Bytes& data) {
        Put8(b, 0x2C);
        PutLe16(b, left);
        PutLe16(b, top);
        PutLe16(b, width);
        PutLe16(b, height);
        Put8(b, (local.empty() ? 0 : 0x80 | SizeField(local.size())) | (interlaced ? 0x40 : 0));
        PutTable(local);
        Put8(b, minCodeSize);
        Append(b, data);
        return *this;
    }
    GifBuilder& Trailer() {
        Put8(b, 0x3B);
        return *this;
    }

private:
    static int SizeField(size_t n) {
        int f = 0;
        while ((2u << f) < n)
            ++f;
        return f;
    }
    void PutTable(const std::vector<RGB3>& table) {
        for (const RGB3& c : table) {
            Put8(b, c.red);
            Put8(b, c.green);
            Put8(b, c.blue);
        }
    }
};

// n colours, entry i = (i * 10, 100 + i, 200 - i).
inline std::vector<RGB3> Ramp(int n) {
    std::vector<RGB3> t;
    for (int i = 0; i < n; ++i)
        t.push_back(RGB3{static_cast<BYTE>(i * 10), static_cast<BYTE>(100 + i),
                         static_cast<BYTE>(200 - i)});
    return t;
}
