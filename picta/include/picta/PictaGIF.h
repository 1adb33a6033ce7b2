// GIF87a/GIF89a reader (transparency, interlace, comments, looping, frames) and GIF89a writer
// with plain, LZW or LZW-compatible run-length coding of the pixels.
#pragma once

#include "picta/Picta.h"

#include <vector>

class PictaGIF : public Picta {
public:
    PictaGIF();
    ~PictaGIF() override;

    void Free() override;
    int PreLoad(GFile* file, int& width, int& height) override;
    int Load(GFile* file, PICTAPROGRESS progress, void* user) override;
    int Save(GFile* file, PICTAPROGRESS progress, void* user) override;
    int Draw(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
             int srcHeight, int mode, int alpha, int transparent) override;

    // Draws the next frame into the canvas; its delay, or 0 when the animation is over.
    int NextFrame();
    int GetTotalFrame() const { return m_PictaInfo.frameCount; }
    int GetCurFrame() const { return m_PictaInfo.curFrame; }
    // The decoded frames of an animation (null outside 0 .. count - 1).
    Picta* GetFrame(int index) const { return static_cast<Picta*>(m_PictaInfo.frames[index]); }
    // -1 plays forever.
    void SetLoops(int loops) { m_Loops = loops == -1 ? kForever : loops; }
    int GetLoops() const { return m_Loops; }
    void SetDisposalMethod(int disposal) { m_Disposal = disposal; }
    int GetDisposalMethod() const { return m_Disposal; }
    // At most 255 bytes in, at most 255 out (plus the terminator).
    void SetComment(const char* text);
    void GetComment(char* buffer) const;
    void DeleteAllFrame();

    static constexpr int kForever = 2147483647;

protected:
    // Reading.
    int DecodeExtension(_PICTAINFO& pending);
    int get_byte();
    int get_next_code();
    void init_exp(int codeSize);
    int decoder(Picta* frame, int interlaced);
    void out_line(Picta* frame, const BYTE* pixels, int count);
    int ReadBytes(BYTE* to, int count);
    int SkipSubBlocks();
    int CreateCanvas(int width, int height);
    // Frames that never wait and never overlap are tiles of one still picture: how deep
    // pictures are written. ComposeMosaic draws them all and keeps the picture alone.
    int IsMosaic() const;
    int ComposeMosaic();
    int ReadFrame(const BYTE* descriptor, const RGB3* globalTable, int globalCount,
                  _PICTAINFO& pending, int screenWidth, int screenHeight);

    // Writing.
    void EncodeHeader(int width, int height, int paletted);
    void EncodeExtension();
    void EncodeLoopExtension();
    void EncodeBody(int localTable);
    void EncodeComment();
    void EncodeRGB();
    void EncodeIndexed(const GDib* image);
    int GifNextPixel();
    void Putword(int value);
    void PutBytes(const void* data, int count);
    void compressNONE(int initBits);
    void compressLZW(int initBits);
    void output(int code);
    void StartCodes(int initBits);
    void PutCode(int code, int bits);
    void FlushCodes();
    void cl_hash();
    void char_out(int c);
    void flush_char();
    void compressRLE(int initBits);

private:
    // Run-length helpers.
    void RleOutputPlain(int code);
    void RleDidClear();
    void RleFlush();
    void RleFlushRun(int pixel, int count);
    static long long rle_isqrt(long long x);
    static int rle_compute_triangle_count(int count, int nrepcodes);

    // Reader state.
    GFile* m_pFile;
    BYTE m_ReadBuf[16384];
    int m_ReadIndex;
    int m_ReadFill;
    long long m_PixelBudget;
    BYTE m_GraphicControl[4];
    int m_NoGlobalTable;
    // LZW decoder.
    WORD m_Prefix[4096];
    BYTE m_Suffix[4096];
    BYTE m_Stack[4097];
    int m_CodeSize;
    int m_InitCodeSize;
    unsigned m_BitAcc;
    int m_BitCount;
    int m_BlockLeft;
    int m_DataEnded;
    // Rows of the frame being decoded.
    std::vector<BYTE> m_Line;
    int m_OutRow;
    int m_OutPass;
    int m_OutRows;
    int m_OutHeight;
    int m_OutStep;
    int m_Interlaced;

    // Writer state.
    GFile* m_pOut;
    int m_WriteOk;
    const GDib* m_pSource;
    int m_CurX;
    int m_CurY;
    long long m_CountDown;
    int m_SourceWidth;
    int m_SourceHeight;
    int m_HashTab[5003];
    WORD m_CodeTab[5003];
    BYTE m_Accum[256];
    int m_AccumCount;
    unsigned long m_CurAccum;
    int m_CurBits;
    int m_Bits;
    int m_InitBits;
    int m_MaxCode;
    int m_FreeEnt;
    int m_ClearFlag;
    int m_ClearCode;
    int m_EofCode;
    // Run-length coder.
    int m_RlPixel;
    int m_RlCount;
    int m_RlTablePixel;
    int m_RlTableMax;
    int m_JustCleared;
    int m_OutCount;
    int m_OutBump;
    int m_OutBumpInit;
    int m_OutClear;
    int m_OutClearInit;
    int m_MaxOcodes;

    char m_Comment[256];
    int m_Loops;
    int m_Disposal;
};
