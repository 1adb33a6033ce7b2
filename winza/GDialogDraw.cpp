// Painting of GDialog: body, frame (from a bitmap or plain), title strip and buttons.
#include "winza/DrawHelpers.h"
#include "winza/GDialog.h"
#include "winza/GVButton.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

#include "fundo/GDib.h"

#include <algorithm>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTitleFill = 0x993333;
constexpr COLORREF kTitleText = 0xFFFEFF;

// A piece of the bitmap stretched onto the target, the key colour transparent.
void Piece(HDC hdc, const GDib* dib, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
    if (w > 0 && h > 0 && sw > 0 && sh > 0)
        dib->DrawDib(hdc, x, y, w, h, sx, sy, sw, sh, 1, 255, 1, SRCCOPY);
}

} // namespace

void GDialog::Draw(HDC hdc, RECT clip) {
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    {
        gdi::Select font(hdc, m_hFont);
        RECT measure{0, 0, 100000, 100000};
        ::DrawTextW(hdc, u"가나다 Test", -1, &measure, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
        m_nLineHeight = measure.bottom - measure.top;
        const RECT rc = m_rcClient;
        DrawFrame(hdc, rc);
        {
            gdi::Select title(hdc, m_hTitleFont);
            DrawTitle(hdc, rc);
        }
        DrawButton(hdc, clip);
    }
    ::SetBkMode(hdc, oldMode);
}

void GDialog::DrawFrame(HDC hdc, RECT rect) {
    const GDib* f = m_pDlgFrame;
    const int e = ApplyHires(10);
    const int top = m_bTitle ? m_nTitleHeight : 0;
    if (!f || f->Width() < 2 * e + 1 || f->Height() <= top + e) {
        FrameRect(hdc, &rect, kBlack, kBlack, kWhite, 1, eFrameAll);
        return;
    }
    // The bitmap: the title strip on top, then the left and right edges, the body between
    // them and the bottom edge with its corners.
    const int fw = f->Width(), fh = f->Height();
    const int sTop = std::min(top, fh - e - 1);
    const int x = rect.left, y = rect.top + top;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top - top;
    if (w <= 0 || h <= 0)
        return;
    const int sMidH = fh - sTop - e;
    Piece(hdc, f, x, y, e, h - e, 0, sTop, e, sMidH);
    Piece(hdc, f, x + w - e, y, e, h - e, fw - e, sTop, e, sMidH);
    Piece(hdc, f, x + e, y, w - 2 * e, h - e, e, sTop, fw - 2 * e, sMidH);
    Piece(hdc, f, x, y + h - e, e, e, 0, fh - e, e, e);
    Piece(hdc, f, x + e, y + h - e, w - 2 * e, e, e, fh - e, fw - 2 * e, e);
    Piece(hdc, f, x + w - e, y + h - e, e, e, fw - e, fh - e, e, e);
}

void GDialog::DrawTitle(HDC hdc, RECT rect) {
    const int w = rect.right - rect.left;
    if (!m_bTitle) {
        FillSolidRect(hdc, rect.left, rect.top, w, ApplyHires(1), kBlack);
        return;
    }
    const RECT strip{rect.left, rect.top, rect.right, rect.top + m_nTitleHeight};
    const GDib* f = m_pDlgFrame;
    const int e = ApplyHires(10);
    COLORREF text = kTitleText;
    if (f && f->Width() > 2 * e && f->Height() > 0) {
        const int sh = std::min(m_nTitleHeight, f->Height());
        Piece(hdc, f, strip.left, strip.top, e, m_nTitleHeight, 0, 0, e, sh);
        Piece(hdc, f, strip.left + e, strip.top, w - 2 * e, m_nTitleHeight, e, 0,
              f->Width() - 2 * e, sh);
        Piece(hdc, f, strip.right - e, strip.top, e, m_nTitleHeight, f->Width() - e, 0, e, sh);
        text = kBlack;
    } else {
        FillSolidRect(hdc, &strip, kTitleFill);
    }
    if (!m_pTitle)
        return;
    RECT measure{0, 0, 100000, 100000};
    ::DrawTextW(hdc, m_pTitle, -1, &measure, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    const int th = measure.bottom - measure.top;
    RECT at = strip;
    at.left += ApplyHires(10);
    at.right -= ApplyHires(4);
    at.top = strip.top + (m_nTitleHeight - th) / 2 - (IsHires() ? 1 : 2);
    at.bottom = at.top + th;
    const COLORREF old = ::SetTextColor(hdc, text);
    ::DrawTextW(hdc, m_pTitle, -1, &at, DT_LEFT | DT_SINGLELINE);
    ::SetTextColor(hdc, old);
}

void GDialog::DrawButton(HDC hdc, RECT clip) {
    for (int i = 0; i < GetButtonCount(); ++i)
        if (GVButton* b = GetButtonAt(i))
            b->Draw(hdc, clip);
}
