// Memo files put together byte by byte from the format's tables: stroke and page records,
// stored compressed blocks and the drawing part, so readers are not tested by our writer.
#pragma once

#include "scribbo_test_support.h"

#include "fundo/FixedPoint.h"

#include <initializer_list>
#include <string_view>
#include <vector>

namespace apptest {

inline void Put16(Bytes& b, WORD v) {
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

inline void PutString(Bytes& b, std::u16string_view s) {
    Put32(b, DWORD(s.size()));
    PutText(b, s);
}

inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

// A pen stroke in the current form: the 64-byte header, then compact points (pixels).
inline Bytes StrokeRecord(std::initializer_list<POINT> points) {
    Bytes b{3, 0, 0, 0, 0x10, 0x20, 0x30, 0};
    Put32(b, FIXED_ONE);
    Put16(b, WORD(points.size()));
    b.push_back(255); // alpha
    b.push_back(0);
    for (int i = 0; i < 4; ++i)
        Put32(b, 0); // bounds
    const DWORD identity[8] = {FIXED_ONE, 0, 0, FIXED_ONE, 0, 0, 0, 0};
    for (DWORD v : identity)
        Put32(b, v);
    for (POINT p : points) {
        Put32(b, DWORD(p.x << 16));
        Put32(b, DWORD(p.y << 16));
    }
    return b;
}

// One page record of version 2.2 with the given object records and no background objects.
inline Bytes PageRecord(const std::vector<Bytes>& objects) {
    Bytes b;
    Put32(b, DWORD(objects.size()));
    for (const Bytes& o : objects)
        Append(b, o);
    Put32(b, 0);
    return b;
}

// A stored (not deflated) compressed block.
inline Bytes Block(const Bytes& plain) {
    Bytes b;
    Put32(b, DWORD(plain.size()));
    Put32(b, DWORD(plain.size()));
    Append(b, plain);
    return b;
}

inline Bytes Body(COLORREF colour, const std::vector<Bytes>& pages) {
    Bytes b;
    Put32(b, colour);
    Put32(b, DWORD(pages.size()));
    for (const Bytes& p : pages)
        Append(b, Block(p));
    return b;
}

} // namespace apptest
