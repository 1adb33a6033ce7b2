// The folder list bar's layout and painting: the folder button, the tab scroll arrows and the
// tabs of the current folder and its subfolders.
#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GFolderItem.h"
#include "scribbo/GFolderListBar.h"
#include "scribbo/LanguageText.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

namespace {

// The folder button's text for the root folder.
constexpr WCHAR kRootLabel[] = u"ROOT";
// The text a subfolder tab is measured with.
constexpr int kTabMeasureText = 30;

// How many leading characters of text fit in room pixels.
int CharsThatFit(HDC hdc, LPCWSTR text, int room) {
    const int n = text ? lstrlenW(text) : 0;
    int fit = 0;
    SIZE size{0, 0};
    while (fit < n && ::GetTextExtentPoint32W(hdc, text, fit + 1, &size) && size.cx <= room)
        ++fit;
    return fit;
}

void TextIn(HDC hdc, LPCWSTR text, int chars, RECT rect, COLORREF color, UINT align) {
    if (!text || chars <= 0)
        return;
    ::SetTextColor(hdc, color);
    ::DrawTextW(hdc, text, chars, &rect, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

void GFolderListBar::MakeFont() {
    GFontManager* fonts = AppFonts();
    if (fonts)
        m_nFont = fonts->FindUserFont(ApplyHires(13), 0, 400, u"Tahoma");
}

HFONT GFolderListBar::BarFont() const {
    GFontManager* fonts = AppFonts();
    HFONT font = fonts ? fonts->GetUserFont(m_nFont) : nullptr;
    return font ? font : GetGlobalFontDef();
}

RECT GFolderListBar::GetTabRect(int index) const {
    return index >= 0 && index < GetTabCount() ? m_tabs[index].rect : RECT{0, 0, 0, 0};
}

POSITION GFolderListBar::GetTabItem(int index) const {
    return index >= 0 && index < GetTabCount() ? m_tabs[index].pos : nullptr;
}

void GFolderListBar::Layout() {
    m_tabs.clear();
    if (!m_hWnd)
        return;
    RefreshClientRect();
    const int hires = IsHires();
    const int b = hires ? 2 : 1;
    const RECT& c = m_rcClient;
    m_rcFolderBtn = RECT{c.left + 1, c.top + 1, c.left + 1 + ApplyHires(80), c.bottom - 1};
    const int arrow = ScaleToButton(hires ? 26 : 13);
    m_rcLeft =
        RECT{m_rcFolderBtn.right + b, c.top + b, m_rcFolderBtn.right + b + arrow, c.bottom - b};
    m_rcRight = RECT{c.right - arrow, c.top + b, c.right, c.bottom - b};
    m_rcTabs = RECT{m_rcLeft.right, c.top + b, m_rcRight.left, c.bottom - b};

    // Before the window holds its context, one is borrowed for measuring.
    gdi::WindowDC borrowed(m_hWnd, m_hDC ? nullptr : ::GetDC(m_hWnd));
    HDC hdc = m_hDC ? m_hDC : borrowed.get();
    gdi::Select font(hdc, BarFont());
    const int pad = ApplyHires(4);
    SIZE measure{0, 0};
    LPCWSTR sample = GetLangText(kTabMeasureText);
    if (!sample[0] || !::GetTextExtentPoint32W(hdc, sample, lstrlenW(sample), &measure))
        measure.cx = ApplyHires(50);
    const int subWidth = measure.cx + 2 * pad;
    // The folder button: icon, label, drop-down arrow.
    const int iconRoom = ApplyHires(18);
    const int arrowRoom = ApplyHires(10);
    const GFolderItem* current = ItemAt(m_posCur);
    LPCWSTR label = IsRootItem(m_posCur) ? kRootLabel : (current ? current->GetLabel() : nullptr);
    m_nLabelChars = CharsThatFit(
        hdc, label, m_rcFolderBtn.right - m_rcFolderBtn.left - iconRoom - arrowRoom - pad);
    if (m_posCur) {
        m_tabs.push_back(Tab{m_posCur, RECT{0, 0, 0, 0}, 0});
        for (POSITION p = m_tree.GetChildItem(m_posCur); p; p = m_tree.GetNextItem(p))
            m_tabs.push_back(Tab{p, RECT{0, 0, 0, 0}, 0});
    }
    // The current folder's tab stays at the left; the subfolders' tabs scroll past it.
    const int subTabs = GetTabCount() > 1 ? GetTabCount() - 1 : 0;
    if (m_nTabOffset > subTabs - 1)
        m_nTabOffset = subTabs > 0 ? subTabs - 1 : 0;
    int x = m_rcTabs.left + b;
    for (int i = 0; i < GetTabCount() && x < m_rcTabs.right; ++i) {
        if (i > 0 && i - 1 < m_nTabOffset)
            continue;
        Tab& tab = m_tabs[i];
        const int width = i == 0 ? ApplyHires(24) : subWidth;
        tab.rect = RECT{x, m_rcTabs.top, x + width, m_rcTabs.bottom};
        if (tab.rect.right > m_rcTabs.right)
            tab.rect.right = m_rcTabs.right;
        if (i > 0 && ItemAt(tab.pos))
            tab.chars = CharsThatFit(hdc, ItemAt(tab.pos)->GetLabel(), width - 2 * pad);
        x += width + b;
    }
}

int GFolderListBar::LastTabFits() const {
    if (m_tabs.empty())
        return 1;
    const Tab& last = m_tabs.back();
    return last.rect.right > last.rect.left && last.rect.right < m_rcTabs.right;
}

void GFolderListBar::EnsureTabVisible(int index) {
    if (index < 1 || index >= GetTabCount())
        return;
    if (index - 1 < m_nTabOffset)
        m_nTabOffset = index - 1;
    Layout();
    // Scroll on until the whole tab shows (or it is the first one shown).
    while (m_nTabOffset < index - 1 && (m_tabs[index].rect.right <= m_tabs[index].rect.left ||
                                        m_tabs[index].rect.right >= m_rcTabs.right)) {
        ++m_nTabOffset;
        Layout();
    }
}

int GFolderListBar::HitTab(POINT pt) const {
    for (int i = 0; i < GetTabCount(); ++i) {
        const RECT& r = m_tabs[i].rect;
        if (r.right > r.left && ::PtInRect(&r, pt))
            return i;
    }
    return -1;
}

void GFolderListBar::Draw(HDC hdc, RECT) {
    const int b = IsHires() ? 2 : 1;
    FillSolidRect(hdc, &m_rcClient, GetGLibColor(3));
    FillSolidRect(hdc, m_rcClient.left, m_rcClient.bottom - b, Width(), b, GetGLibColor(5));
    ::SetBkMode(hdc, TRANSPARENT);
    gdi::Select font(hdc, BarFont());
    DrawFolderButton(hdc);
    {
        gdi::GdiObject<HRGN> clip(
            ::CreateRectRgn(m_rcTabs.left, m_rcClient.top, m_rcTabs.right, m_rcClient.bottom));
        ::SelectClipRgn(hdc, clip);
        for (int i = 0; i < GetTabCount(); ++i)
            if (m_tabs[i].rect.right > m_tabs[i].rect.left)
                DrawTab(hdc, m_tabs[i], i);
        ::SelectClipRgn(hdc, nullptr);
    }
    DrawArrowBox(hdc, m_rcLeft, m_bLeftPressed, m_nTabOffset > 0, eArrowLeft);
    DrawArrowBox(hdc, m_rcRight, m_bRightPressed, !LastTabFits(), eArrowRight);
}

void GFolderListBar::DrawFolderButton(HDC hdc) {
    const int b = IsHires() ? 2 : 1;
    const RECT& r = m_rcFolderBtn;
    const COLORREF back = m_bDropDown ? 0xFFFFFF : GetGLibColor(3);
    FrameRect(hdc, &r, GetGLibColor(5), GetGLibColor(5), back, b, eFrameAll);
    const GFolderItem* current = ItemAt(m_posCur);
    const int h = r.bottom - r.top;
    const int icon = ApplyHires(16);
    const RECT iconRect{r.left + ApplyHires(2), r.top + (h - icon) / 2,
                        r.left + ApplyHires(2) + icon, r.top + (h - icon) / 2 + icon};
    if (current)
        DrawFolder(hdc, &iconRect, current->GetColor(), m_bDropDown);
    LPCWSTR label = IsRootItem(m_posCur) ? kRootLabel : (current ? current->GetLabel() : nullptr);
    const int arrowW = ApplyHires(10);
    const RECT text{iconRect.right + ApplyHires(2), r.top, r.right - arrowW, r.bottom};
    TextIn(hdc, label, m_nLabelChars, text, 0x000000, DT_LEFT);
    const int w = ApplyHires(3);
    const int cx = r.right - arrowW / 2 - b;
    const int cy = (r.top + r.bottom) / 2;
    const RECT arrow{cx - w, cy - w / 2, cx + w + 1, cy - w / 2 + w};
    DrawArrow(hdc, eArrowDown, &arrow, 0x000000);
}

void GFolderListBar::DrawArrowBox(HDC hdc, RECT box, int pressed, int enabled, int direction) {
    const int hires = IsHires();
    const int b = hires ? 2 : 1;
    const COLORREF back = pressed ? 0x000000 : GetGLibColor(3);
    FillSolidRect(hdc, &box, back);
    const int w = hires ? 10 : 5;
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    const RECT arrow{cx - w / 2, cy - w + 1, cx - w / 2 + w, cy + w};
    const COLORREF ink = pressed ? 0xFFFFFF : (enabled ? 0x000000 : 0xA0A0A0);
    DrawArrow(hdc, direction, &arrow, ink);
    const int x = direction == eArrowLeft ? box.right - b : box.left;
    FillSolidRect(hdc, x, box.top, b, box.bottom - box.top, GetGLibColor(5));
}

void GFolderListBar::DrawTab(HDC hdc, const Tab& tab, int index) {
    const int b = IsHires() ? 2 : 1;
    const GFolderItem* item = ItemAt(tab.pos);
    if (!item)
        return;
    const bool listed = tab.pos == ListedItem();
    // The listed tab stands taller and opens into the list below; the others sit back.
    RECT r = tab.rect;
    if (!listed)
        r.top += 2 * b;
    else
        r.bottom = m_rcClient.bottom;
    FrameRect(hdc, &r, GetGLibColor(5), GetGLibColor(5), item->GetColor(), b,
              eFrameLeft | eFrameTop | eFrameRight | eFrameFill);
    if (index == 0) {
        const int icon = ApplyHires(16);
        const RECT at{(r.left + r.right - icon) / 2, (r.top + r.bottom - icon) / 2,
                      (r.left + r.right + icon) / 2, (r.top + r.bottom + icon) / 2};
        DrawFolder(hdc, &at, item->GetColor(), 1);
        return;
    }
    const RECT text{r.left + ApplyHires(4), r.top, r.right - ApplyHires(4), r.bottom};
    TextIn(hdc, item->GetLabel(), tab.chars, text, 0x000000, DT_CENTER);
}
