// GIF writing: header and blocks, the tile mosaic for deep images, and the three pixel coders.
#include "picta/PictaGIF.h"

#include "PictaIO.h"

#include <cstring>

namespace {

constexpr int kHashSize = 5003;
constexpr int kHashShift = 4;
constexpr int kMaxBits = 12;
constexpr int kTileWidth = 17;
constexpr int kTileHeight = 15;

} // namespace

void PictaGIF::PutBytes(const void* data, int count) {
    if (count > 0 && picta::FileWrite(m_pOut, data, count) != count)
        m_WriteOk = 0;
}

void PictaGIF::Putword(int value) {
    BYTE b[2] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF)};
    PutBytes(b, 2);
}

void PictaGIF::EncodeHeader(int width, int height, int paletted) {
    PutBytes("GIF89a", 6);
    Putword(width);
    Putword(height);
    int b = GetBitCount();
    BYTE head[3] = {0x11, 0, 0};
    if (paletted)
        head[0] = static_cast<BYTE>((0x80 | ((b - 1) << 5) | (b - 1)) & 0xFF);
    PutBytes(head, 3);
    if (!paletted)
        return;
    // The table holds exactly the 2^b entries the packed byte announces.
    int entries = 1 << b;
    int used = GetColorNum();
    BYTE table[256 * 3];
    std::memset(table, 0, sizeof table);
    for (int i = 0; i < entries && i < used; ++i) {
        table[3 * i] = m_Info.colors[i].rgbRed;
        table[3 * i + 1] = m_Info.colors[i].rgbGreen;
        table[3 * i + 2] = m_Info.colors[i].rgbBlue;
    }
    PutBytes(table, 3 * entries);
}

void PictaGIF::EncodeExtension() {
    // Delay 0: what is written is one still picture, the tiles of a deep one included, which
    // a viewer shows at once rather than one tile a second.
    BYTE b[8] = {0x21, 0xF9, 0x04, 0, 0, 0, 0, 0};
    b[3] = static_cast<BYTE>(((m_Disposal << 2) & 0x1F) | (m_PictaInfo.transIndex != -1 ? 1 : 0));
    b[6] = static_cast<BYTE>(m_PictaInfo.transIndex);
    PutBytes(b, 8);
}

void PictaGIF::EncodeLoopExtension() {
    BYTE b[19] = {0x21, 0xFF, 0x0B, 'N', 'E',  'T',  'S', 'C', 'A', 'P',
                  'E',  '2',  '.',  '0', 0x03, 0x01, 0,   0,   0};
    int loops = m_Loops == kForever ? 0 : m_Loops;
    b[16] = static_cast<BYTE>(loops & 0xFF);
    b[17] = static_cast<BYTE>((loops >> 8) & 0xFF);
    PutBytes(b, 19);
}

void PictaGIF::EncodeComment() {
    int n = static_cast<int>(strnlen(m_Comment, 255));
    if (n == 0)
        return;
    BYTE head[3] = {0x21, 0xFE, static_cast<BYTE>(n)};
    PutBytes(head, 3);
    PutBytes(m_Comment, n);
    BYTE end = 0;
    PutBytes(&end, 1);
}

void PictaGIF::EncodeBody(int localTable) {
    const GDib* image = m_pSource;
    BYTE d[10];
    d[0] = 0x2C;
    picta::Put16(d + 1, static_cast<unsigned>(m_PictaInfo.offsetX));
    picta::Put16(d + 3, static_cast<unsigned>(m_PictaInfo.offsetY));
    picta::Put16(d + 5, static_cast<unsigned>(image->Width()));
    picta::Put16(d + 7, static_cast<unsigned>(image->Height()));
    d[9] = localTable ? 0x80 | 7 : 0;
    PutBytes(d, 10);
    if (localTable) {
        BYTE table[256 * 3];
        const RGBQUAD* colors = image->GetPaletteData();
        for (int i = 0; i < 256; ++i) {
            table[3 * i] = colors[i].rgbRed;
            table[3 * i + 1] = colors[i].rgbGreen;
            table[3 * i + 2] = colors[i].rgbBlue;
        }
        PutBytes(table, 768);
    }
    int minCode = image->GetBitCount() < 2 ? 2 : image->GetBitCount();
    BYTE size = static_cast<BYTE>(minCode);
    PutBytes(&size, 1);
    m_CurX = 0;
    m_CurY = 0;
    m_SourceWidth = image->Width();
    m_SourceHeight = image->Height();
    m_CountDown = static_cast<long long>(m_SourceWidth) * m_SourceHeight;
    if (m_PictaInfo.compression == 1)
        compressNONE(minCode + 1);
    else if (m_PictaInfo.compression == 2)
        compressLZW(minCode + 1);
    else
        compressRLE(minCode + 1);
    BYTE end = 0;
    PutBytes(&end, 1);
}

void PictaGIF::EncodeIndexed(const GDib* image) {
    m_pSource = image;
    EncodeBody(image != this);
}

int PictaGIF::GifNextPixel() {
    if (m_CountDown <= 0)
        return -1;
    --m_CountDown;
    const GDib* image = m_pSource;
    int bc = image->GetBitCount();
    const BYTE* row = image->GetBits() + static_cast<std::ptrdiff_t>(m_SourceHeight - 1 - m_CurY) *
                                             image->GetLineSize();
    int x = m_CurX;
    int index;
    if (bc == 8) {
        index = row[x];
    } else {
        int bit = x * bc;
        index = (row[bit >> 3] >> (8 - bc - (bit & 7))) & ((1 << bc) - 1);
    }
    if (++m_CurX == m_SourceWidth) {
        m_CurX = 0;
        ++m_CurY;
    }
    return index;
}

void PictaGIF::EncodeRGB() {
    int width = Width();
    int height = Height();
    EncodeHeader(width, height, 0);
    if (m_Loops)
        EncodeLoopExtension();
    GDib tile;
    int transparent = m_PictaInfo.transIndex >= 0;
    for (int ty = 0; ty < height; ty += kTileHeight) {
        int th = height - ty < kTileHeight ? height - ty : kTileHeight;
        for (int tx = 0; tx < width; tx += kTileWidth) {
            int tw = width - tx < kTileWidth ? width - tx : kTileWidth;
            if (tile.Width() != tw || tile.Height() != th) {
                if (!tile.Create(tw, th, 8)) {
                    m_WriteOk = 0;
                    return;
                }
            }
            // The table is filled aside and installed once per tile.
            RGBQUAD table[256];
            std::memcpy(table, tile.GetPaletteData(), sizeof table);
            if (transparent) {
                m_PictaInfo.transIndex = 0;
                table[0] = m_PictaInfo.transColor;
                table[0].rgbReserved = 0;
            }
            for (int i = 0; i < th; ++i)
                for (int j = 0; j < tw; ++j) {
                    RGBQUAD c = GetPixel(tx + j, ty + i);
                    c.rgbReserved = 0;
                    table[1 + kTileWidth * i + j] = c;
                }
            tile.SetPalette(table, 256);
            for (int i = 0; i < th; ++i)
                for (int j = 0; j < tw; ++j)
                    tile.SetPixelIndex(
                        j, i, static_cast<BYTE>(tile.GetNearestIndex(GetPixel(tx + j, ty + i))));
            m_PictaInfo.offsetX = tx;
            m_PictaInfo.offsetY = ty;
            EncodeExtension();
            EncodeIndexed(&tile);
        }
    }
    EncodeComment();
    PutBytes(";", 1);
}

// ---- Plain and LZW codes ---------------------------------------------------------------------

void PictaGIF::char_out(int c) {
    m_Accum[m_AccumCount++] = static_cast<BYTE>(c);
    if (m_AccumCount >= 254)
        flush_char();
}

void PictaGIF::flush_char() {
    if (m_AccumCount > 0) {
        BYTE n = static_cast<BYTE>(m_AccumCount);
        PutBytes(&n, 1);
        PutBytes(m_Accum, m_AccumCount);
        m_AccumCount = 0;
    }
}

void PictaGIF::PutCode(int code, int bits) {
    m_CurAccum |= static_cast<unsigned long>(code) << m_CurBits;
    m_CurBits += bits;
    while (m_CurBits >= 8) {
        char_out(static_cast<int>(m_CurAccum & 0xFF));
        m_CurAccum >>= 8;
        m_CurBits -= 8;
    }
}

void PictaGIF::FlushCodes() {
    if (m_CurBits > 0)
        char_out(static_cast<int>(m_CurAccum & 0xFF));
    m_CurAccum = 0;
    m_CurBits = 0;
    flush_char();
}

void PictaGIF::output(int code) {
    PutCode(code, m_Bits);
    // The width follows the table the decoder is building.
    if (m_FreeEnt > m_MaxCode || m_ClearFlag) {
        if (m_ClearFlag) {
            m_Bits = m_InitBits;
            m_MaxCode = (1 << m_Bits) - 1;
            m_ClearFlag = 0;
        } else {
            ++m_Bits;
            m_MaxCode = m_Bits == kMaxBits ? 1 << kMaxBits : (1 << m_Bits) - 1;
        }
    }
    if (code == m_EofCode)
        FlushCodes();
}

void PictaGIF::cl_hash() {
    for (int& h : m_HashTab)
        h = -1;
}

void PictaGIF::StartCodes(int initBits) {
    m_InitBits = initBits;
    m_Bits = initBits;
    m_MaxCode = (1 << m_Bits) - 1;
    m_ClearCode = 1 << (initBits - 1);
    m_EofCode = m_ClearCode + 1;
    m_FreeEnt = m_ClearCode + 2;
    m_ClearFlag = 0;
    m_CurAccum = 0;
    m_CurBits = 0;
    m_AccumCount = 0;
}

void PictaGIF::compressNONE(int initBits) {
    StartCodes(initBits);
    output(m_ClearCode);
    int c;
    while ((c = GifNextPixel()) != -1) {
        output(c);
        if (++m_FreeEnt >= (1 << kMaxBits)) {
            m_FreeEnt = m_ClearCode + 2;
            m_ClearFlag = 1;
            output(m_ClearCode);
        }
    }
    output(m_EofCode);
}

void PictaGIF::compressLZW(int initBits) {
    StartCodes(initBits);
    cl_hash();
    output(m_ClearCode);
    int ent = GifNextPixel();
    if (ent < 0) {
        output(m_EofCode);
        return;
    }
    int c;
    while ((c = GifNextPixel()) != -1) {
        int key = (c << kMaxBits) + ent;
        int i = (c << kHashShift) ^ ent;
        if (m_HashTab[i] == key) {
            ent = m_CodeTab[i];
            continue;
        }
        if (m_HashTab[i] >= 0) {
            int displacement = i == 0 ? 1 : kHashSize - i;
            bool found = false;
            for (;;) {
                i -= displacement;
                if (i < 0)
                    i += kHashSize;
                if (m_HashTab[i] == key) {
                    found = true;
                    break;
                }
                if (m_HashTab[i] < 0)
                    break;
            }
            if (found) {
                ent = m_CodeTab[i];
                continue;
            }
        }
        output(ent);
        ent = c;
        if (m_FreeEnt < (1 << kMaxBits)) {
            m_CodeTab[i] = static_cast<WORD>(m_FreeEnt++);
            m_HashTab[i] = key;
        } else {
            cl_hash();
            m_FreeEnt = m_ClearCode + 2;
            m_ClearFlag = 1;
            output(m_ClearCode);
        }
    }
    output(ent);
    output(m_EofCode);
}
