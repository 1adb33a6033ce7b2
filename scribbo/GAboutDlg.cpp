#include "scribbo/GAboutDlg.h"

#include "scribbo/App.h"
#include "scribbo/LanguageText.h"
#include "winza/DrawHelpers.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"
#include "winza/Hires.h"

#include <algorithm>
namespace {

constexpr COLORREF kTitleBack = RGB(0x33, 0x33, 0x99);
constexpr COLORREF kBorder = RGB(0x33, 0x33, 0x66);
constexpr WCHAR kProgramName[] = u"Scribbo";
constexpr WCHAR kVersion[] = u"Version 1.0";
constexpr WCHAR kFormat[] = u"Memo file 2.2";

} // namespace

GAboutDlg::GAboutDlg() {
    m_hFont = AppFonts()->GetFont(eFontNormal14);
    SetTitle(1, kProgramName, ApplyHires(26));
    const int texts[2] = {22, -1};
    for (int id = 1; id <= 2; ++id) {
        GVButton* b = AddVButton(id, -1, 0);
        b->SetLabel(texts[id - 1] >= 0 ? GetLangText(texts[id - 1]) : GetGLibText(2),
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE, ApplyHires(2));
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    }
}

void GAboutDlg::RecalcDialog(HWND) {
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int sh = ::GetSystemMetrics(SM_CYSCREEN);
    const int w = std::min(ApplyHires(200), sw);
    const int h = std::min(ApplyHires(150), sh);
    m_rcDialog = RECT{(sw - w) / 2, (sh - h) / 2, (sw - w) / 2 + w, (sh - h) / 2 + h};
    const int buttonW = ApplyHires(64);
    const int gap = ApplyHires(12);
    const int bottom = h - ApplyHires(10);
    const int top = bottom - GetButtonHeight();
    const int left = (w - 2 * buttonW - gap) / 2;
    if (GVButton* ok = FindVButton(1))
        ok->SetRect(RECT{left, top, left + buttonW, bottom});
    if (GVButton* cancel = FindVButton(2))
        cancel->SetRect(RECT{left + buttonW + gap, top, left + 2 * buttonW + gap, bottom});
    if (!m_hWnd)
        return;
    ::MoveWindow(m_hWnd, m_rcDialog.left, m_rcDialog.top, w, h, FALSE);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void GAboutDlg::DrawFrame(HDC hdc, RECT rect) {
    FrameRect(hdc, &rect, kBorder, kBorder, RGB(255, 255, 255), ApplyHires(1), eFrameAll);
}

void GAboutDlg::DrawTitle(HDC hdc, RECT rect) {
    RECT strip{rect.left, rect.top, rect.right, rect.top + m_nTitleHeight};
    FillSolidRect(hdc, &strip, kTitleBack);
    strip.left += ApplyHires(10);
    const COLORREF old = ::SetTextColor(hdc, RGB(255, 255, 255));
    ::DrawTextW(hdc, kProgramName, -1, &strip, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(hdc, old);
}

void GAboutDlg::DrawButton(HDC hdc, RECT clip) {
    // Name, version and file format, centred between the title and the buttons.
    const int line = ApplyHires(20);
    const int top = m_nTitleHeight + ApplyHires(12);
    const LPCWSTR lines[3] = {GetLangText(0)[0] ? GetLangText(0) : kProgramName, kVersion, kFormat};
    const COLORREF old = ::SetTextColor(hdc, RGB(0, 0, 0));
    for (int i = 0; i < 3; ++i) {
        RECT rc{0, top + i * line, Width(), top + (i + 1) * line};
        ::DrawTextW(hdc, lines[i], -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    ::SetTextColor(hdc, old);
    GDialog::DrawButton(hdc, clip);
}
