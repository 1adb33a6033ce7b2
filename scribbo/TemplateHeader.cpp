#include "scribbo/TemplateHeader.h"

#include <cstring>

namespace {

class Writer {
public:
    explicit Writer(BYTE* out) : m_p(out) {}
    void U8(BYTE v) { *m_p++ = v; }
    void U16(WORD v) {
        U8(BYTE(v));
        U8(BYTE(v >> 8));
    }
    void U32(DWORD v) {
        U16(WORD(v));
        U16(WORD(v >> 16));
    }
    void Bytes(const BYTE* p, size_t n) {
        std::memcpy(m_p, p, n);
        m_p += n;
    }

private:
    BYTE* m_p;
};

class Reader {
public:
    explicit Reader(const BYTE* in) : m_p(in) {}
    BYTE U8() { return *m_p++; }
    WORD U16() {
        const WORD lo = U8();
        return WORD(lo | (U8() << 8));
    }
    DWORD U32() {
        const DWORD lo = U16();
        return lo | (DWORD(U16()) << 16);
    }
    void Bytes(BYTE* p, size_t n) {
        std::memcpy(p, m_p, n);
        m_p += n;
    }

private:
    const BYTE* m_p;
};

} // namespace

void InitTemplateHeader(TemplateHeader* h, int hires) {
    std::memset(h, 0, sizeof *h);
    const int k = hires ? 2 : 1;
    h->PageWidth = 800;
    h->PageHeight = 600;
    h->BackColor = 0xC0FFFF;
    h->BackImageAlpha = 128;
    h->Flags = eTFTitleLine | eTFTitleColumn | eTFLines;
    h->TitleHorLineColor = 0x3333FF;
    h->HorLineColor = 0xCC9966;
    h->TitleVerLineColor = 0x5252FF;
    h->VerLineColor = 0xFFEECE;
    h->LineAlpha = 255;
    h->TitleBandHeight = BYTE(80 * k);
    h->TitleColumnWidth = BYTE(120 * k);
    h->LineSpace = BYTE(28 * k);
    h->ColumnSpace = BYTE(28 * k);
    h->TitleHorLineWidth = BYTE(2 * k);
    h->HorLineWidth = BYTE(1 * k);
    h->TitleVerLineWidth = BYTE(1 * k);
    h->VerLineWidth = BYTE(1 * k);
}

void TemplateHeaderToBytes(const TemplateHeader& h, BYTE out[kTemplateHeaderBytes]) {
    Writer w(out);
    w.U16(h.PageWidth);
    w.U16(h.PageHeight);
    w.U32(h.BackColor);
    w.U8(h.HasBackImage);
    w.Bytes(h.Reserved1, sizeof h.Reserved1);
    w.U32(h.BackImageFormat);
    w.U32(h.BackImageSize);
    w.U8(h.BackImageAlpha);
    w.Bytes(h.Reserved2, sizeof h.Reserved2);
    w.U32(h.Flags);
    w.U32(h.TitleHorLineColor);
    w.U32(h.HorLineColor);
    w.U32(h.TitleVerLineColor);
    w.U32(h.VerLineColor);
    w.U8(h.LineAlpha);
    w.U8(h.TitleBandHeight);
    w.U8(h.TitleColumnWidth);
    w.U8(h.LineSpace);
    w.U8(h.ColumnSpace);
    w.U8(h.TitleHorLineWidth);
    w.U8(h.HorLineWidth);
    w.U8(h.TitleVerLineWidth);
    w.U8(h.VerLineWidth);
    w.Bytes(h.Reserved3, sizeof h.Reserved3);
}

void TemplateHeaderFromBytes(const BYTE in[kTemplateHeaderBytes], TemplateHeader* h) {
    Reader r(in);
    h->PageWidth = r.U16();
    h->PageHeight = r.U16();
    h->BackColor = r.U32();
    h->HasBackImage = r.U8();
    r.Bytes(h->Reserved1, sizeof h->Reserved1);
    h->BackImageFormat = r.U32();
    h->BackImageSize = r.U32();
    h->BackImageAlpha = r.U8();
    r.Bytes(h->Reserved2, sizeof h->Reserved2);
    h->Flags = r.U32();
    h->TitleHorLineColor = r.U32();
    h->HorLineColor = r.U32();
    h->TitleVerLineColor = r.U32();
    h->VerLineColor = r.U32();
    h->LineAlpha = r.U8();
    h->TitleBandHeight = r.U8();
    h->TitleColumnWidth = r.U8();
    h->LineSpace = r.U8();
    h->ColumnSpace = r.U8();
    h->TitleHorLineWidth = r.U8();
    h->HorLineWidth = r.U8();
    h->TitleVerLineWidth = r.U8();
    h->VerLineWidth = r.U8();
    r.Bytes(h->Reserved3, sizeof h->Reserved3);
}
