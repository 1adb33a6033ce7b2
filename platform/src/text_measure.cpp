// GetTextExtentPoint32W, GetTextExtentExPointW and GetTextMetricsW.
#include "text_layout.h"

#include "gdi_dc.h"

using namespace plat;
using namespace plat::text;

BOOL GetTextExtentExPointW(HDC h, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx,
                           LPSIZE size) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || count < 0 || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<SizedFont> font = SelectedFont(*dc);
    std::vector<char32_t> chars;
    std::vector<int> starts;
    DecodeUtf16(text, static_cast<size_t>(count), chars, &starts);
    GlyphRun run;
    Shape(*font, chars.data(), chars.size(), run);
    int fitUnits = 0, extent = 0;
    bool fitting = true;
    for (size_t i = 0; i < chars.size(); ++i) {
        extent += run.advances[i];
        int end = i + 1 < chars.size() ? starts[i + 1] : count;
        if (fitting && extent > maxExtent)
            fitting = false;
        if (fitting)
            fitUnits = end;
        if (dx && (!fit || fitting))
            for (int u = starts[i]; u < end; ++u)
                dx[u] = extent;
    }
    if (fit)
        *fit = fitUnits;
    if (size) {
        size->cx = run.width;
        size->cy = font->Metrics().height;
    }
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC h, LPCWSTR text, int count, LPSIZE size) {
    if (!size)
        return FALSE;
    return GetTextExtentExPointW(h, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextMetricsW(HDC h, LPTEXTMETRICW tm) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !tm)
        return FALSE;
    std::shared_ptr<SizedFont> font = SelectedFont(*dc);
    const FontMetrics& m = font->Metrics();
    const FontKey& k = font->Key();
    Decoration d = DecorationOf(*dc);
    *tm = TEXTMETRICW{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = k.weight;
    tm->tmOverhang = 0;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = k.italic ? 1 : 0;
    tm->tmUnderlined = d.underline ? 1 : 0;
    tm->tmStruckOut = d.strikeOut ? 1 : 0;
    // Set bits mean variable pitch, as in Win32.
    tm->tmPitchAndFamily =
        static_cast<BYTE>((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE);
    if (auto* tf = dynamic_cast<TextFont*>(dc->attr.font.get()))
        tm->tmCharSet = tf->logfont.lfCharSet;
    return TRUE;
}
