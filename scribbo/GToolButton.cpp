#include "scribbo/GToolButton.h"

#include "fundo/FixedPoint.h"
#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"

#include <algorithm>

namespace {

// The first command of the toolbar images: the image of a command is its id minus this.
constexpr int kFirstImageCommand = 1000;

// colour over the button face at the given opacity, so a marker's sample looks as light as
// its ink.
COLORREF OverFace(COLORREF color, int alpha) {
    const COLORREF face = GetGLibColor(3);
    const int a = std::clamp(alpha, 0, 255);
    auto mix = [a](int top, int under) { return (top * a + under * (255 - a)) / 255; };
    return RGB(mix(GetRValue(color), GetRValue(face)), mix(GetGValue(color), GetGValue(face)),
               mix(GetBValue(color), GetBValue(face)));
}

} // namespace

GToolButton::GToolButton() = default;

GToolButton::GToolButton(int id) : GVButton(id, id - kFirstImageCommand) {}

void GToolButton::DrawImage(HDC hdc) {
    if (!IsToolItem()) {
        GVButton::DrawImage(hdc);
        return;
    }
    // A pen preset keeps its foot free for the stroke sample: the picture sits at the top.
    if (!GetFlag(eVBVisible) || IsSeparator())
        return;
    int index = -1, dimmed = 0;
    const GImageList* list = PickIcons(&index, &dimmed);
    if (!list || index < 0 || index >= list->GetItemSize())
        return;
    const int cw = list->GetItemWidth();
    const int x = m_rcButton.left + m_nMargin + (m_rcButton.right - m_rcButton.left - cw) / 2;
    list->Draw(hdc, x, m_rcButton.top + ApplyHires(1), index, dimmed ? 128 : 255, 1);
    m_rcContent.left = x + cw;
}

RECT GToolButton::SampleRect() const {
    const RECT& rc = m_rcButton;
    // Full width in pixels at 100 %: twice the half width, at least one pixel, at most four.
    const int pixels =
        std::clamp(static_cast<int>((2LL * m_nWidth + FIXED_ONE / 2) / FIXED_ONE), 1, 4);
    const int thick = ApplyHires(pixels);
    const int inset = ApplyHires(3);
    const int bottom = rc.bottom - ApplyHires(2);
    return RECT{rc.left + inset, bottom - thick, rc.right - inset, bottom};
}

void GToolButton::DrawLable(HDC hdc, int format) {
    GVButton::DrawLable(hdc, format);
    if (!IsToolItem() || !GetFlag(eVBVisible) || IsSeparator())
        return;
    RECT sample = SampleRect();
    if (sample.right <= sample.left || sample.top < m_rcButton.top)
        return;
    FillSolidRect(hdc, &sample, OverFace(m_crColor, GetFlag(eVBEnabled) ? m_nAlpha : 96));
}
