#include "winza/GScrollView.h"

void GScrollView::OffsetScroll(int delta, int bar) {
    GScrollBar& sb = bar ? m_sbVert : m_sbHorz;
    if (!(bar ? m_bShowV : m_bShowH))
        return;
    sb.SetScrollPos(sb.GetScrollPos() + delta);
    Invalidate(0);
}

void GScrollView::CreateScrollBars() {
    const int thick = ScrollThickness();
    m_sbVert.Create(this, 1, thick, nullptr, 15);
    m_sbHorz.Create(this, 0, thick, nullptr, 15);
    m_sbVert.ShowWindow(SW_HIDE);
    m_sbHorz.ShowWindow(SW_HIDE);
    m_bShowV = m_bShowH = 0;
}

void GScrollView::DestroyScrollBars() {
    m_sbVert.Destroy();
    m_sbHorz.Destroy();
    m_bShowV = m_bShowH = 0;
}

void GScrollView::HideScrollBars() {
    m_sbVert.SetScrollInfo(0, 0, 0, 0);
    m_sbHorz.SetScrollInfo(0, 0, 0, 0);
    m_sbVert.ShowWindow(SW_HIDE);
    m_sbHorz.ShowWindow(SW_HIDE);
    m_bShowV = m_bShowH = 0;
}

void GScrollView::PlaceScrollBar(int bar, bool needed, bool otherNeeded, int range, int page,
                                 int line) {
    if (!needed)
        return;
    GScrollBar& sb = bar ? m_sbVert : m_sbHorz;
    const int thick = ScrollThickness();
    sb.MoveWindow(this, thick, nullptr, otherNeeded ? thick : 0);
    sb.SetScrollInfo(range, page, line, sb.GetScrollPos());
}

void GScrollView::KeepInView(int top, int bottom, int height) {
    if (top < 0)
        m_sbVert.SetScrollPos(m_sbVert.GetScrollPos() + top);
    else if (bottom > height)
        m_sbVert.SetScrollPos(m_sbVert.GetScrollPos() + bottom - height);
}

void GScrollView::ShowScrollBars(bool needV, bool needH) {
    m_sbVert.ShowIfNeeded(needV, m_bShowV);
    m_sbHorz.ShowIfNeeded(needH, m_bShowH);
    m_bShowV = needV;
    m_bShowH = needH;
}
