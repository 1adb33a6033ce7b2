// ExtTextOutW, TextOutW and the text alignment they follow.
#include "text_layout.h"

#include "gdi_dc.h"

using namespace plat;
using namespace plat::text;

UINT SetTextAlign(HDC h, UINT align) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return GDI_TA_ERROR;
    UINT old = dc->attr.textAlign;
    dc->attr.textAlign = align & (TA_UPDATECP | TA_CENTER | TA_BASELINE);
    return old;
}

UINT GetTextAlign(HDC h) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    return dc ? dc->attr.textAlign : GDI_TA_ERROR;
}

BOOL ExtTextOutW(HDC h, int x, int y, UINT options, const RECT* rc, LPCWSTR text, UINT count,
                 const int* dx) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || (count > 0 && !text) || count > 0x7FFFFFFF)
        return FALSE;
    if (!dc->surface)
        return TRUE;
    std::shared_ptr<SizedFont> font = SelectedFont(*dc);
    const FontMetrics& m = font->Metrics();
    std::vector<char32_t> chars;
    std::vector<int> starts;
    DecodeUtf16(text, count, chars, &starts);
    GlyphRun run;
    Shape(*font, chars.data(), chars.size(), run);
    if (dx) {
        // One advance per unit: a pair's two values make the character's advance.
        run.width = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            size_t end = i + 1 < chars.size() ? static_cast<size_t>(starts[i + 1]) : count;
            int a = 0;
            for (size_t u = static_cast<size_t>(starts[i]); u < end; ++u)
                a += dx[u];
            run.advances[i] = a;
            run.width += a;
        }
    }

    const UINT align = dc->attr.textAlign;
    if (align & TA_UPDATECP) {
        x = dc->attr.pos.x;
        y = dc->attr.pos.y;
    }
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - run.width / 2;
    else if (align & TA_RIGHT)
        left = x - run.width;
    int baseline = y + m.ascent;
    if ((align & TA_BASELINE) == TA_BASELINE)
        baseline = y;
    else if (align & TA_BOTTOM)
        baseline = y - m.descent;
    // A centred run leaves the current position where it was.
    if ((align & TA_UPDATECP) && (align & TA_CENTER) != TA_CENTER)
        dc->attr.pos.x = (align & TA_RIGHT) ? x - run.width : x + run.width;

    const RECT* clip = (options & ETO_CLIPPED) && rc ? rc : nullptr;
    if ((options & ETO_OPAQUE) && rc)
        PaintRect(*dc, *rc, dc->attr.bkColor, nullptr);
    else if (dc->attr.bkMode == OPAQUE && !chars.empty())
        PaintRect(*dc, RECT{left, baseline - m.ascent, left + run.width, baseline + m.descent},
                  dc->attr.bkColor, clip);
    const COLORREF color = dc->attr.textColor;
    PaintGlyphs(*dc, left, baseline, run.glyphs.data(), run.advances.data(), chars.size(), color,
                clip);
    PaintDecoration(*dc, DecorationOf(*dc), m, left, baseline, run.width, color, clip);
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (count < 0)
        return FALSE;
    return ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}
