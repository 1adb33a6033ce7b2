#include "scribbo/GColorButton.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

namespace {

constexpr COLORREF kGrey = 0x989898;
// The button's own mark; it tells the colour buttons from the dialog's other buttons.
constexpr DWORD kColorButtonFlag = 0x800;

BYTE Dimmed(BYTE v) {
    return BYTE(v / 2 + 0x66);
}

} // namespace

GColorButton::GColorButton(int id) : GVButton(id) {
    m_dwFlag |= kColorButtonFlag;
}

void GColorButton::DrawFrame(HDC hdc) {
    m_rcContent = m_rcButton;
    COLORREF light, dark, fill;
    if (m_dwFlag & eVBPushed) {
        light = GetGLibColor(14);
        dark = GetGLibColor(15);
        fill = GetGLibColor(13);
    } else if (m_dwFlag & eVBChecked) {
        light = GetGLibColor(17);
        dark = GetGLibColor(18);
        fill = GetGLibColor((m_dwFlag & eVBHover) ? 10 : 16);
    } else if (m_bCustomFrame) {
        light = m_crFrameLight;
        dark = m_crFrameDark;
        fill = m_crFrameFill;
    } else {
        light = dark = fill = GetGLibColor(3);
    }
    FrameRect(hdc, &m_rcButton, light, dark, fill, ApplyHires(1), eFrameAll);
    if (m_dwFlag & eVBDropDown) {
        const int boxH = ApplyHires(4);
        RECT box;
        box.right = m_rcButton.right - ApplyHires(2);
        box.left = box.right - ApplyHires(7);
        box.top = m_rcButton.top + (m_rcButton.bottom - m_rcButton.top - boxH) / 2;
        box.bottom = box.top + boxH;
        DrawArrow(hdc, eArrowDown, &box, (m_dwFlag & eVBEnabled) ? RGB(0, 0, 0) : kGrey);
    }
}

void GColorButton::DrawImage(HDC hdc) {
    if (!(m_dwFlag & eVBVisible))
        return;
    RECT swatch = m_rcButton;
    ::InflateRect(&swatch, -ApplyHires(3), -ApplyHires(3));
    swatch.right = m_rcButton.right - ApplyHires(10);
    if (swatch.right <= swatch.left || swatch.bottom <= swatch.top)
        return;
    COLORREF colour = m_crColor;
    if (!(m_dwFlag & eVBEnabled))
        colour =
            RGB(Dimmed(GetRValue(colour)), Dimmed(GetGValue(colour)), Dimmed(GetBValue(colour)));
    FrameRect(hdc, &swatch, kGrey, kGrey, colour, 1, eFrameAll);
}
