// GIF reading: blocks, extensions, the LZW decoder and row placement.
#include "picta/PictaGIF.h"

#include "PictaIO.h"

#include <cstring>
#include <vector>

namespace {

// Each LZW code yields at most 4096 pixels, so a frame larger than this many pixels per byte
// of stream cannot be filled by it: such claims are refused before anything is allocated.
constexpr long long kPixelsPerByte = 4096;

} // namespace

int PictaGIF::get_byte() {
    if (m_ReadIndex >= m_ReadFill) {
        m_ReadIndex = 0;
        m_ReadFill = picta::FileRead(m_pFile, m_ReadBuf, static_cast<int>(sizeof m_ReadBuf));
        if (m_ReadFill <= 0) {
            m_ReadFill = 0;
            return -1;
        }
    }
    return m_ReadBuf[m_ReadIndex++];
}

int PictaGIF::ReadBytes(BYTE* to, int count) {
    for (int i = 0; i < count; ++i) {
        int b = get_byte();
        if (b < 0)
            return 0;
        to[i] = static_cast<BYTE>(b);
    }
    return 1;
}

int PictaGIF::SkipSubBlocks() {
    for (;;) {
        int n = get_byte();
        if (n < 0)
            return 0;
        if (n == 0)
            return 1;
        for (int i = 0; i < n; ++i)
            if (get_byte() < 0)
                return 0;
    }
}

int PictaGIF::DecodeExtension(_PICTAINFO& pending) {
    int label = get_byte();
    if (label < 0)
        return 0;
    if (label == 0xF9) {
        // The four control bytes are read whatever size the block declares.
        if (get_byte() < 0 || !ReadBytes(m_GraphicControl, 4))
            return 0;
        if (m_GraphicControl[0] & 1)
            pending.transIndex = m_GraphicControl[3];
        pending.disposal = (m_GraphicControl[0] >> 2) & 7;
        pending.delay = static_cast<WORD>(m_GraphicControl[1] | (m_GraphicControl[2] << 8));
    } else if (label == 0xFE) {
        int n = get_byte();
        if (n < 0)
            return 0;
        BYTE text[255];
        if (!ReadBytes(text, n))
            return 0;
        std::memcpy(m_Comment, text, static_cast<size_t>(n));
        m_Comment[n] = 0;
        if (n == 0)
            return 1;
    } else if (label == 0xFF) {
        if (get_byte() != 11)
            return 0;
        BYTE id[11];
        if (!ReadBytes(id, 11))
            return 0;
        int n = get_byte();
        if (n < 0)
            return 0;
        BYTE data[255];
        if (!ReadBytes(data, n))
            return 0;
        if (n > 2) {
            int loops = data[1] | (data[2] << 8);
            m_Loops = loops == 0 ? kForever : loops;
        }
        if (n == 0)
            return 1;
    }
    return SkipSubBlocks();
}

void PictaGIF::init_exp(int codeSize) {
    m_InitCodeSize = codeSize;
    m_CodeSize = codeSize + 1;
    m_BitAcc = 0;
    m_BitCount = 0;
    m_BlockLeft = 0;
    m_DataEnded = 0;
}

int PictaGIF::get_next_code() {
    while (m_BitCount < m_CodeSize) {
        if (m_BlockLeft == 0) {
            if (m_DataEnded)
                return -1;
            int n = get_byte();
            if (n <= 0) {
                m_DataEnded = 1;
                return -1;
            }
            m_BlockLeft = n;
        }
        int b = get_byte();
        if (b < 0) {
            m_DataEnded = 1;
            m_BlockLeft = 0;
            return -1;
        }
        --m_BlockLeft;
        m_BitAcc |= static_cast<unsigned>(b) << m_BitCount;
        m_BitCount += 8;
    }
    int code = static_cast<int>(m_BitAcc & ((1u << m_CodeSize) - 1));
    m_BitAcc >>= m_CodeSize;
    m_BitCount -= m_CodeSize;
    return code;
}

void PictaGIF::out_line(Picta* frame, const BYTE* pixels, int count) {
    if (m_OutRows >= m_OutHeight)
        return;
    int y = m_OutRow;
    BYTE* row =
        frame->GetBits() + static_cast<std::ptrdiff_t>(m_OutHeight - 1 - y) * frame->GetLineSize();
    int bc = frame->GetBitCount();
    if (bc == 8) {
        std::memcpy(row, pixels, static_cast<size_t>(count));
    } else if (bc == 4) {
        for (int x = 0; x < count; ++x) {
            BYTE v = pixels[x] & 15;
            if (x & 1)
                row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0xF0) | v);
            else
                row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0x0F) | (v << 4));
        }
    } else {
        for (int x = 0; x < count; ++x) {
            BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
            if (pixels[x] & 1)
                row[x >> 3] |= bit;
            else
                row[x >> 3] &= static_cast<BYTE>(~bit);
        }
    }
    ++m_OutRows;
    if (!m_Interlaced) {
        ++m_OutRow;
        return;
    }
    // Four passes from rows 0, 4, 2, 1 with steps 8, 8, 4, 2; passes past the end are skipped.
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    m_OutRow += m_OutStep;
    while (m_OutRow >= m_OutHeight && m_OutPass < 3) {
        ++m_OutPass;
        m_OutRow = kStart[m_OutPass];
        m_OutStep = kStep[m_OutPass];
    }
}

int PictaGIF::decoder(Picta* frame, int interlaced) {
    int size = get_byte();
    if (size < 0)
        return 0;
    if (size < 2 || size > 9) {
        // The frame is given up, but its data must not be taken for blocks.
        SkipSubBlocks();
        return 0;
    }
    int width = frame->Width();
    m_OutHeight = frame->Height();
    m_OutRow = 0;
    m_OutRows = 0;
    m_OutPass = 0;
    m_OutStep = 8;
    m_Interlaced = interlaced;
    m_Line.assign(static_cast<size_t>(width), 0);
    init_exp(size);

    const int clear = 1 << size;
    const int end = clear + 1;
    int next = clear + 2;
    int previous = -1;
    int first = 0;
    int column = 0;
    BYTE* line = m_Line.data();

    auto emit = [&](int pixel) {
        line[column++] = static_cast<BYTE>(pixel);
        if (column == width) {
            out_line(frame, line, width);
            column = 0;
        }
    };

    while (m_OutRows < m_OutHeight) {
        int code = get_next_code();
        if (code < 0 || code == end)
            break;
        if (code == clear) {
            m_CodeSize = size + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // First code after a clear: a literal; anything beyond the table reads as 0.
            if (code >= next)
                code = 0;
            first = code < clear ? code : m_Suffix[code];
            int sp = 0;
            int c = code;
            while (c >= clear && sp < 4096) {
                m_Stack[sp++] = m_Suffix[c];
                c = m_Prefix[c];
            }
            m_Stack[sp++] = static_cast<BYTE>(c);
            first = c;
            while (sp > 0 && m_OutRows < m_OutHeight)
                emit(m_Stack[--sp]);
            previous = code;
            continue;
        }
        int incoming = code;
        int sp = 0;
        if (code >= next) {
            // Whatever was asked for, what it decodes to is the entry added below.
            incoming = next < 4096 ? next : previous;
            // Not yet in the table: the previous string and its own first byte.
            m_Stack[sp++] = static_cast<BYTE>(first);
            code = previous;
        }
        while (code >= clear && sp < 4096) {
            m_Stack[sp++] = m_Suffix[code];
            code = m_Prefix[code];
        }
        m_Stack[sp++] = static_cast<BYTE>(code);
        first = code;
        if (next < 4096) {
            m_Prefix[next] = static_cast<WORD>(previous);
            m_Suffix[next] = static_cast<BYTE>(first);
            ++next;
            if (next == (1 << m_CodeSize) && m_CodeSize < 12)
                ++m_CodeSize;
        }
        previous = incoming;
        while (sp > 0 && m_OutRows < m_OutHeight)
            emit(m_Stack[--sp]);
    }
    if (column > 0 && m_OutRows < m_OutHeight)
        out_line(frame, line, column);
    // Leave the stream right after the image data.
    if (!m_DataEnded) {
        while (m_BlockLeft > 0) {
            if (get_byte() < 0)
                return 1;
            --m_BlockLeft;
        }
        SkipSubBlocks();
    }
    return 1;
}

int PictaGIF::ReadFrame(const BYTE* d, const RGB3* globalTable, int globalCount,
                        _PICTAINFO& pending, int screenWidth, int screenHeight) {
    int left = picta::Get16(d);
    int top = picta::Get16(d + 2);
    int width = picta::Get16(d + 4);
    int height = picta::Get16(d + 6);
    int packed = d[8];
    RGB3 local[256];
    int localCount = 0;
    if (packed & 0x80) {
        localCount = 1 << ((packed & 7) + 1);
        if (!ReadBytes(reinterpret_cast<BYTE*>(local), 3 * localCount))
            return 0;
    }
    long long pixels = static_cast<long long>(width) * height;
    bool fits = width > 0 && height > 0 && left + width <= screenWidth &&
                top + height <= screenHeight && pixels <= m_PixelBudget &&
                picta::BitmapFits(width, height, 8);
    if (!fits) {
        // Not decoded: step over its data so the next block is found where it starts.
        if (get_byte() < 0)
            return 0;
        return SkipSubBlocks();
    }
    m_PixelBudget -= pixels;
    if (m_PictaInfo.frameCount == 0 && width != screenWidth && height != screenHeight)
        ++m_NoGlobalTable;
    const RGB3* table = localCount ? local : globalTable;
    int count = localCount ? localCount : globalCount;

    Picta* frame = new Picta;
    if (m_PictaInfo.frames.Add(frame) < 0) {
        delete frame;
        return 0;
    }
    ++m_PictaInfo.frameCount;
    CopyPictaInfo(frame->Info(), pending);
    frame->Info().frameLeft = left;
    frame->Info().frameTop = top;
    frame->Info().frameWidth = width;
    frame->Info().frameHeight = height;
    int bits = count < 3 ? 1 : count < 17 ? 4 : 8;
    if (!frame->Create(width, height, bits))
        return 0;
    frame->SetLoaded(1);
    // Built aside and installed in one go, so that the frame's section gets the same table.
    RGBQUAD colors[256];
    std::memcpy(colors, frame->GetPaletteData(), sizeof colors);
    int tableSize = 1 << bits;
    for (int i = 0; i < count && i < tableSize; ++i)
        colors[i] = RGBQUAD{table[i].blue, table[i].green, table[i].red, 0};
    int trans = pending.transIndex;
    if (trans >= 0) {
        for (int i = count; i < 256; ++i)
            colors[i] = RGBQUAD{255, 255, 255, 0};
        if (trans < count) {
            // A colour no other entry has in any channel, so colour keying hits only it.
            bool usedR[256] = {}, usedG[256] = {}, usedB[256] = {};
            for (int i = 0; i < 256; ++i) {
                usedR[colors[i].rgbRed] = true;
                usedG[colors[i].rgbGreen] = true;
                usedB[colors[i].rgbBlue] = true;
            }
            int r = 0, g = 0, b = 0;
            while (r < 256 && usedR[r])
                ++r;
            while (g < 256 && usedG[g])
                ++g;
            while (b < 256 && usedB[b])
                ++b;
            if (r < 256 && g < 256 && b < 256 && trans < tableSize) {
                RGBQUAD key{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
                colors[trans] = key;
                frame->Info().transColor = key;
                frame->SetTransColor(key);
            }
        }
    }
    frame->SetPalette(colors, 256);
    if (m_PictaInfo.frameCount == 1) {
        // What the file says of its depth: the first picture's colour table.
        m_nFileBits = 0;
        while (count > (1 << m_nFileBits))
            ++m_nFileBits;
        m_PictaInfo.transIndex = frame->Info().transIndex;
        m_PictaInfo.transColor = frame->Info().transColor;
        m_PictaInfo.disposal = frame->Info().disposal;
        m_PictaInfo.delay = frame->Info().delay;
        m_PictaInfo.frameLeft = left;
        m_PictaInfo.frameTop = top;
        m_PictaInfo.frameWidth = width;
        m_PictaInfo.frameHeight = height;
    }
    // Damaged data ends this frame early; the scan goes on.
    decoder(frame, packed & 0x40);
    return 1;
}

int PictaGIF::CreateCanvas(int width, int height) {
    // Made aside and swapped in: Create would free the frames through the virtual Free.
    GDib canvas;
    if (!picta::BitmapFits(width, height, 24) || !canvas.Create(width, height, 24)) {
        DeleteAllFrame();
        return 0;
    }
    SwapDib(&canvas);
    return 1;
}

int PictaGIF::PreLoad(GFile* file, int& width, int& height) {
    if (!file || file->Size() <= 0)
        return 0;
    BYTE head[13];
    int got = picta::FileRead(file, head, 13);
    file->Seek(0, 0);
    if (got < 10 || std::memcmp(head, "GIF8", 4) != 0)
        return 0;
    width = picta::Get16(head + 6);
    height = picta::Get16(head + 8);
    return picta::EstimateBytes(width, height, 24);
}

int PictaGIF::Load(GFile* file, PICTAPROGRESS, void*) {
    m_bLoaded = 0;
    m_nFileBits = 0;
    Free();
    long long size = file ? file->Size() : 0;
    if (size <= 0)
        return 0;
    m_pFile = file;
    m_Loops = 0;
    std::memset(m_Comment, 0, sizeof m_Comment);
    m_ReadIndex = 0;
    m_ReadFill = 0;
    // All frames together, and the canvas, stay within what the stream can describe and
    // within one bitmap's worth of memory.
    m_PixelBudget = size * kPixelsPerByte;
    if (m_PixelBudget > picta::kMaxBitmapBytes)
        m_PixelBudget = picta::kMaxBitmapBytes;
    BYTE screen[13];
    if (!ReadBytes(screen, 13) || std::memcmp(screen, "GIF8", 4) != 0)
        return 0;
    int screenWidth = picta::Get16(screen + 6);
    int screenHeight = picta::Get16(screen + 8);
    RGB3 global[256];
    int globalCount = 0;
    m_NoGlobalTable = 0;
    if (screen[10] & 0x80) {
        globalCount = 1 << ((screen[10] & 7) + 1);
        if (!ReadBytes(reinterpret_cast<BYTE*>(global), 3 * globalCount))
            globalCount = 0;
    } else {
        m_NoGlobalTable = 1;
    }
    m_PictaInfo.format = eImageGIF;
    m_PictaInfo.frameCount = 0;
    m_PictaInfo.curFrame = 0;
    _PICTAINFO pending;
    CopyPictaInfo(pending, m_PictaInfo);
    pending.transIndex = -1;

    for (;;) {
        int b = get_byte();
        if (b < 0 || b == ';')
            break;
        if (b == '!') {
            if (!DecodeExtension(pending))
                break;
        } else if (b == ',') {
            BYTE d[9];
            if (!ReadBytes(d, 9))
                break;
            if (!ReadFrame(d, global, globalCount, pending, screenWidth, screenHeight))
                break;
            CopyPictaInfo(pending, m_PictaInfo);
            pending.transIndex = -1;
            pending.delay = 0;
            pending.disposal = 0;
        }
    }
    m_pFile = nullptr;
    m_Line.clear();
    m_Line.shrink_to_fit();

    // A frame whose bitmap could not be made is dropped.
    GArray& frames = m_PictaInfo.frames;
    for (int i = frames.GetSize() - 1; i >= 0; --i) {
        Picta* f = static_cast<Picta*>(frames[i]);
        if (!f->GetBits()) {
            delete f;
            frames.RemoveAt(i);
        }
    }
    m_PictaInfo.frameCount = frames.GetSize();
    // A file without a single picture is not an image.
    if (m_PictaInfo.frameCount == 0)
        return 0;

    Picta* first = static_cast<Picta*>(frames[0]);
    int fw = first->Width();
    int fh = first->Height();
    if (m_PictaInfo.frameCount == 1) {
        int W, H;
        picta::FitOutputSize(fw, fh, m_PictaInfo.outputWidth, m_PictaInfo.outputHeight, W, H);
        if (!CreateCanvas(W, H))
            return 0;
        m_PictaInfo.transIndex = first->Info().transIndex;
        m_PictaInfo.transColor = first->Info().transColor;
        m_TransColor = m_PictaInfo.transColor;
        first->DrawDib(this, 0, 0, W, H, 0, 0, fw, fh, 1, 255, 0);
        DeleteAllFrame();
        m_PictaInfo.frameCount = 1;
    } else {
        // The canvas is the logical screen: frames are placed in its coordinates.
        long long screen = static_cast<long long>(screenWidth) * screenHeight;
        if (screen > size * kPixelsPerByte || !CreateCanvas(screenWidth, screenHeight)) {
            DeleteAllFrame();
            return 0;
        }
        m_TransColor = m_PictaInfo.transColor;
        if (IsMosaic() && !ComposeMosaic())
            return 0;
    }
    m_bLoaded = 1;
    return 1;
}

int PictaGIF::IsMosaic() const {
    const GArray& frames = m_PictaInfo.frames;
    int count = frames.GetSize();
    for (int i = 0; i < count; ++i)
        if (static_cast<const Picta*>(frames[i])->Info().delay != 0)
            return 0;
    // Every frame lies inside the canvas (ReadFrame sees to that), so one mark per pixel
    // finds an overlap in time bounded by the pixels decoded.
    int width = Width();
    std::vector<BYTE> covered(static_cast<size_t>(width) * Height(), 0);
    for (int i = 0; i < count; ++i) {
        const PictaFields& f = static_cast<const Picta*>(frames[i])->Info();
        for (int y = f.frameTop; y < f.frameTop + f.frameHeight; ++y) {
            BYTE* mark = covered.data() + static_cast<size_t>(y) * width + f.frameLeft;
            for (int x = 0; x < f.frameWidth; ++x) {
                if (mark[x])
                    return 0;
                mark[x] = 1;
            }
        }
    }
    return 1;
}

int PictaGIF::ComposeMosaic() {
    int width = Width();
    int height = Height();
    if (m_PictaInfo.transIndex >= 0)
        SetBackColor(m_PictaInfo.transColor, 255);
    GArray& frames = m_PictaInfo.frames;
    for (int i = 0; i < frames.GetSize(); ++i) {
        Picta* frame = static_cast<Picta*>(frames[i]);
        const _PICTAINFO& fi = frame->Info();
        frame->SetTransColor(fi.transColor);
        frame->DrawDib(this, fi.frameLeft, fi.frameTop, fi.frameWidth, fi.frameHeight, 0, 0,
                       fi.frameWidth, fi.frameHeight, 1, 255, fi.transIndex >= 0 ? 1 : 0);
    }
    DeleteAllFrame();
    m_PictaInfo.frameCount = 1;
    m_PictaInfo.curFrame = 0;
    m_PictaInfo.frameLeft = 0;
    m_PictaInfo.frameTop = 0;
    m_PictaInfo.frameWidth = width;
    m_PictaInfo.frameHeight = height;
    // Now one picture, it takes the requested output size as a single frame does.
    int W, H;
    picta::FitOutputSize(width, height, m_PictaInfo.outputWidth, m_PictaInfo.outputHeight, W, H);
    if (W == width && H == height)
        return 1;
    GDib whole;
    if (!picta::BitmapFits(W, H, 24) || !whole.Create(W, H, 24)) {
        Free();
        return 0;
    }
    SwapDib(&whole);
    whole.DrawDib(this, 0, 0, W, H, 0, 0, width, height, 1, 255, 0);
    return 1;
}
