// GIF image object: frames, animation and the top of the writer.
#include "picta/PictaGIF.h"

#include "PictaIO.h"

#include <cstring>

PictaGIF::PictaGIF()
    : m_pFile(nullptr), m_ReadIndex(0), m_ReadFill(0), m_PixelBudget(0), m_NoGlobalTable(0),
      m_CodeSize(0), m_InitCodeSize(0), m_BitAcc(0), m_BitCount(0), m_BlockLeft(0), m_DataEnded(0),
      m_OutRow(0), m_OutPass(0), m_OutRows(0), m_OutHeight(0), m_OutStep(8), m_Interlaced(0),
      m_pOut(nullptr), m_WriteOk(1), m_pSource(nullptr), m_CurX(0), m_CurY(0), m_CountDown(0),
      m_SourceWidth(0), m_SourceHeight(0), m_AccumCount(0), m_CurAccum(0), m_CurBits(0), m_Bits(0),
      m_InitBits(0), m_MaxCode(0), m_FreeEnt(0), m_ClearFlag(0), m_ClearCode(0), m_EofCode(0),
      m_RlPixel(-1), m_RlCount(0), m_RlTablePixel(-1), m_RlTableMax(0), m_JustCleared(0),
      m_OutCount(0), m_OutBump(0), m_OutBumpInit(0), m_OutClear(0), m_OutClearInit(0),
      m_MaxOcodes(0), m_Loops(0), m_Disposal(0) {
    std::memset(m_GraphicControl, 0, sizeof m_GraphicControl);
    std::memset(m_Prefix, 0, sizeof m_Prefix);
    std::memset(m_Suffix, 0, sizeof m_Suffix);
    std::memset(m_Stack, 0, sizeof m_Stack);
    std::memset(m_HashTab, 0, sizeof m_HashTab);
    std::memset(m_CodeTab, 0, sizeof m_CodeTab);
    std::memset(m_Accum, 0, sizeof m_Accum);
    std::memset(m_Comment, 0, sizeof m_Comment);
}

PictaGIF::~PictaGIF() {
    DeleteAllFrame();
}

void PictaGIF::DeleteAllFrame() {
    GArray& frames = m_PictaInfo.frames;
    for (int i = 0; i < frames.GetSize(); ++i)
        delete static_cast<Picta*>(frames[i]);
    frames.RemoveAll();
}

void PictaGIF::Free() {
    DeleteAllFrame();
    GDib::Free();
}

void PictaGIF::SetComment(const char* text) {
    std::memset(m_Comment, 0, sizeof m_Comment);
    if (text)
        std::strncpy(m_Comment, text, 255);
}

void PictaGIF::GetComment(char* buffer) const {
    if (!buffer)
        return;
    size_t n = strnlen(m_Comment, 255);
    std::memcpy(buffer, m_Comment, n);
    buffer[n] = 0;
}

int PictaGIF::Draw(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                   int srcHeight, int mode, int alpha, int transparent) {
    SetTransColor(m_PictaInfo.transColor);
    return DrawDib(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, alpha,
                   transparent, SRCCOPY);
}

int PictaGIF::NextFrame() {
    GArray& frames = m_PictaInfo.frames;
    int count = frames.GetSize();
    if (count < 2 || !m_hBitmap) {
        m_PictaInfo.curFrame = 0;
        return 0;
    }
    int previous = m_PictaInfo.curFrame;
    if (m_Loops <= 0) {
        if (m_PictaInfo.curFrame >= count)
            return 0;
        ++m_PictaInfo.curFrame;
    } else if (m_PictaInfo.curFrame < count) {
        ++m_PictaInfo.curFrame;
    } else {
        m_PictaInfo.curFrame = 1;
        if (m_Loops != kForever)
            --m_Loops;
    }
    int current = m_PictaInfo.curFrame;
    Picta* frame = static_cast<Picta*>(frames[current - 1]);
    // The area left by the previous frame: for frame 1 the image's own rectangle.
    const PictaFields* area = &m_PictaInfo;
    bool clear = current == 1;
    if (current != 1 && previous >= 1 && previous <= count) {
        Picta* last = static_cast<Picta*>(frames[previous - 1]);
        area = &last->Info();
        clear = last->Info().disposal == 2;
    }
    if (clear)
        FillRect(area->frameLeft, area->frameTop, area->frameWidth, area->frameHeight,
                 m_PictaInfo.transColor, 255);
    const _PICTAINFO& fi = frame->Info();
    // Only a frame with a transparent entry is keyed; others cover their whole rectangle.
    frame->SetTransColor(fi.transColor);
    frame->DrawDib(this, fi.frameLeft, fi.frameTop, fi.frameWidth, fi.frameHeight, 0, 0,
                   fi.frameWidth, fi.frameHeight, 1, 255, fi.transIndex >= 0 ? 1 : 0);
    return fi.delay;
}

int PictaGIF::Save(GFile* file, PICTAPROGRESS progress, void* user) {
    if (!file || !m_hBitmap || !m_pBits)
        return 0;
    m_pOut = file;
    m_WriteOk = 1;
    if (GetBitCount() > 8) {
        EncodeRGB();
    } else {
        EncodeHeader(Width(), Height(), 1);
        if (m_Loops)
            EncodeLoopExtension();
        EncodeExtension();
        EncodeIndexed(this);
        EncodeComment();
        PutBytes(";", 1);
    }
    if (!file->Flush())
        m_WriteOk = 0;
    m_pOut = nullptr;
    m_pSource = nullptr;
    if (progress)
        progress(100, user);
    return m_WriteOk;
}
