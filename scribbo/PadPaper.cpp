// The paper under the ink: colour, background picture, ruled lines and the current page's
// background text, drawn through the view matrix into the paper buffer.
#include "scribbo/GPadDrawMan.h"

#include "fundo/PathUtil.h"
#include "inkra/InkBrush.h"
#include "picta/GImage.h"
#include "scribbo/Settings.h"

#include <platform/gdiguard.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Lines are drawn with line factor 1.0 and its divide factor 2/5.
constexpr LONG kRuleLineFactor = FIXED_ONE;
constexpr LONG kRuleDivideFactor = (2 * FIXED_ONE) / 5;

GImage g_DefaultImage;
bool g_DefaultTried = false;

// A path without a backslash lies in the program folder.
void ResolvePath(LPCWSTR path, WCHAR out[260]) {
    std::memset(out, 0, 260 * sizeof(WCHAR));
    if (!path)
        return;
    if (wcschr(path, u'\\')) {
        wcsncpy(out, path, 259);
        return;
    }
    GetProgramFolder(out);
    wcsncat(out, u"\\", 259 - wcslen(out));
    wcsncat(out, path, 259 - wcslen(out));
}

} // namespace

void GPadDrawMan::ResolvePicturePath(LPCWSTR path, WCHAR out[kMemoPathChars]) {
    ResolvePath(path, out);
}

void GPadDrawMan::ApplyTemplate() {
    m_Template = g_Settings.DefaultTemplate;
    FreeBackImage();
    std::memset(m_szBackImagePath, 0, sizeof(m_szBackImagePath));
    if (g_Settings.DefaultBackImagePath[0]) {
        wcsncpy(m_szBackImagePath, g_Settings.DefaultBackImagePath, kMemoPathChars - 1);
        // One attempt per process: a missing default picture is not searched for each memo.
        if (!g_DefaultImage.GetGDib() && !g_DefaultTried) {
            g_DefaultTried = true;
            WCHAR path[260];
            ResolvePath(g_Settings.DefaultBackImagePath, path);
            g_DefaultImage.Load(path);
        }
    }
    if ((m_Template.Flags & eTFPicture) && g_DefaultImage.GetGDib()) {
        m_pBackImage = &g_DefaultImage;
        m_bOwnsBackImage = 0;
    }
    m_crBack = m_Template.BackColor;
}

int GPadDrawMan::SetBackImage(LPCWSTR path) {
    WCHAR full[260];
    ResolvePath(path, full);
    FreeBackImage();
    auto image = std::make_unique<GImage>();
    if (!full[0] || !image->Load(full)) {
        std::memset(m_szBackImagePath, 0, sizeof(m_szBackImagePath));
        m_Template.HasBackImage = 0;
        m_Template.Flags &= ~DWORD(eTFPicture);
        return 0;
    }
    wcsncpy(m_szBackImagePath, full, kMemoPathChars - 1);
    m_Template.HasBackImage = 1;
    m_Template.BackImageSize = image->GetFileSize();
    m_Template.BackImageFormat = DWORD(image->GetImageFormat());
    m_Template.Flags |= eTFPicture;
    m_pBackImage = image.release();
    m_bOwnsBackImage = 1;
    m_bHeaderChanged = 1;
    return 1;
}

void GPadDrawMan::SetStoredPicture(LPCWSTR path, const BYTE* data, DWORD size) {
    FreeBackImage();
    std::memset(m_szBackImagePath, 0, sizeof(m_szBackImagePath));
    if (path)
        wcsncpy(m_szBackImagePath, path, kMemoPathChars - 1);
    m_Embedded.assign(data, data + (data ? size : 0));
    std::memcpy(m_szEmbeddedPath, m_szBackImagePath, sizeof(m_szEmbeddedPath));
    m_bHeaderChanged = 1;
}

void GPadDrawMan::ShowBackImage(GImage* image) {
    if (image == m_pBackImage)
        return;
    FreeBackImage();
    m_pBackImage = image;
}

void GPadDrawMan::DrawPaper() {
    if (!m_Paper.GetSafeHandle())
        return;
    m_Paper.SetBackColor(m_Template.BackColor, 255);
    if ((m_Template.Flags & eTFPicture) && m_pBackImage && m_pBackImage->Width() > 0 &&
        m_pBackImage->Height() > 0)
        DrawPicture();
    DrawLines();
    DrawBackText();
    if (m_BackBlock.GetSafeHandle())
        m_Paper.DrawDib(&m_BackBlock, 0, 0, m_Paper.Width(), m_Paper.Height(), 0, 0,
                        m_Paper.Width(), m_Paper.Height(), 0, 255, 0);
}

void GPadDrawMan::DrawPicture() {
    if (m_Template.BackImageAlpha == 0)
        return;
    const double iw = m_pBackImage->Width(), ih = m_pBackImage->Height();
    const double pw = m_Template.PageWidth, ph = m_Template.PageHeight;
    double w = pw, h = ph, x = 0, y = 0;
    if (m_Template.Flags & eTFKeepAspect) {
        const double s = std::min(pw / iw, ph / ih);
        w = iw * s;
        h = ih * s;
        x = (pw - w) / 2;
        y = (ph - h) / 2;
    }
    const tagRECT page{LONG(x), LONG(y), LONG(x + w), LONG(y + h)};
    tagRECT to;
    MatrixTransformRect(&m_mView, &page, &to);
    if (to.right <= to.left || to.bottom <= to.top)
        return;
    const int mode = (m_Template.Flags & eTFDrawMode2) ? 2 : 1;
    m_pBackImage->Draw(&m_Paper, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0,
                       int(iw), int(ih), mode, m_Template.BackImageAlpha, 0);
}

void GPadDrawMan::DrawRule(LONG x1, LONG y1, LONG x2, LONG y2, COLORREF colour, BYTE halfPixels) {
    if (!m_pPaperMask || halfPixels == 0)
        return;
    GWPOINT p1{x1, y1, 0, m_Template.LineAlpha, {}};
    GWPOINT p2{x2, y2, 0, m_Template.LineAlpha, {}};
    MatrixTransformPoint(&m_mView, &p1, &p1);
    MatrixTransformPoint(&m_mView, &p2, &p2);
    // halfPixels x 0.5 pixel drawn, so the distance from the centre line is a quarter of it.
    const LONG radius = LONG((std::int64_t{halfPixels} * m_mView.m11) / 4);
    p1.width = p2.width = radius < 1 ? 1 : radius;
    const tagRECT clip{0, 0, m_Paper.Width(), m_Paper.Height()};
    // The pen ignores opacity; translucent rules go through the marker.
    const InkBlendProc blend = m_Template.LineAlpha == 255 ? BlendPen : BlendMarker;
    tagRECT drawn = DrawFixWidth(&m_Paper, nullptr, m_pPaperMask, clip, p1, p2, kRuleLineFactor,
                                 kRuleDivideFactor, m_Template.LineAlpha, GetRValue(colour),
                                 GetGValue(colour), GetBValue(colour), blend);
    // Each line has coverage of its own: clear what this one touched.
    drawn.left = std::max(drawn.left, clip.left);
    drawn.top = std::max(drawn.top, clip.top);
    drawn.right = std::min(drawn.right, clip.right);
    drawn.bottom = std::min(drawn.bottom, clip.bottom);
    for (LONG row = drawn.top; row < drawn.bottom && drawn.left < drawn.right; ++row)
        std::memset(m_pPaperMask + size_t(row) * clip.right + drawn.left, 0,
                    size_t(drawn.right - drawn.left));
}

void GPadDrawMan::DrawLines() {
    const TemplateHeader& t = m_Template;
    const LONG pw = IntToFixed(std::min<LONG>(t.PageWidth, kMaxPagePixels));
    const LONG ph = IntToFixed(std::min<LONG>(t.PageHeight, kMaxPagePixels));
    const bool title = (t.Flags & eTFTitleLine) != 0;
    const LONG top = title ? IntToFixed(t.TitleBandHeight) : 0;
    const LONG first = title ? top + t.TitleHorLineWidth * (FIXED_ONE / 2) : 0;
    if (title)
        DrawRule(0, top, pw, top, t.TitleHorLineColor, t.TitleHorLineWidth);
    // A spacing of 0 (a damaged file) would never end.
    if ((t.Flags & eTFLines) && t.LineSpace > 0) {
        LONG y = top + IntToFixed(t.LineSpace);
        DrawRule(0, y, pw, y, t.HorLineColor, t.HorLineWidth);
        // The sum is taken in 64 bits: near the largest page it would overflow.
        while (std::int64_t{IntToFixed(FixedToInt(y))} + IntToFixed(t.LineSpace) < ph) {
            y += IntToFixed(t.LineSpace);
            DrawRule(0, y, pw, y, t.HorLineColor, t.HorLineWidth);
        }
    }
    const bool column = (t.Flags & eTFTitleColumn) != 0;
    if (column)
        DrawRule(IntToFixed(t.TitleColumnWidth), first, IntToFixed(t.TitleColumnWidth), ph,
                 t.TitleVerLineColor, t.TitleVerLineWidth);
    if ((t.Flags & eTFColumns) && t.ColumnSpace > 0) {
        LONG x = (column ? IntToFixed(t.TitleColumnWidth) : 0) + IntToFixed(t.ColumnSpace);
        DrawRule(x, first, x, ph, t.VerLineColor, t.VerLineWidth);
        while (std::int64_t{IntToFixed(FixedToInt(x))} + IntToFixed(t.ColumnSpace) < pw) {
            x += IntToFixed(t.ColumnSpace);
            DrawRule(x, first, x, ph, t.VerLineColor, t.VerLineWidth);
        }
    }
}

void GPadDrawMan::DrawBackText() {
    if (!m_pCurPage || !m_hPaperDC || m_pCurPage->GetBackTextObjectNum() == 0)
        return;
    LOGFONTW lf{};
    lf.lfHeight = LONG((std::int64_t{m_nTextSize} * m_mView.m11 + 0x8000) >> 16);
    lf.lfWeight = 400;
    wcsncpy(lf.lfFaceName, kBackTextFont, LF_FACESIZE - 1);
    gdi::Font font(CreateFontIndirectW(&lf));
    gdi::Select sel(m_hPaperDC, font);
    m_pCurPage->DrawTextBackgound(m_hPaperDC, &m_mView, &m_mInverse);
}
