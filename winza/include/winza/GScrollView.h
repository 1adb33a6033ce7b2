// The scrolled view that the list and the tree share: a vertical and a horizontal GScrollBar
// laid out together along the right and bottom edges, a bar shortened where both show.
#pragma once

#include "winza/GAnimateWnd.h"
#include "winza/GScrollBar.h"
#include "winza/Hires.h"

class GScrollView : public GAnimateWnd {
public:
    // Moves a visible bar (0 horizontal, 1 vertical) by delta and repaints.
    void OffsetScroll(int delta, int bar);
    int IsShowScrollBarV() const { return m_bShowV; }
    int IsShowScrollBarH() const { return m_bShowH; }
    GScrollBar* GetScrollBarV() { return &m_sbVert; }
    GScrollBar* GetScrollBarH() { return &m_sbHorz; }

protected:
    int ScrollThickness() const { return ApplyHires(14); }
    // Both bars made hidden when the window is created, and destroyed with it.
    void CreateScrollBars();
    void DestroyScrollBars();
    // Nothing to scroll: both bars lose their range and hide.
    void HideScrollBars();
    // A needed bar (0 horizontal, 1 vertical) goes along its edge, short of the other bar when
    // that one is needed too, and takes the range, page and line step at its position.
    void PlaceScrollBar(int bar, bool needed, bool otherNeeded, int range, int page, int line);
    // Scrolls vertically the least that brings the rows from top to bottom (view coordinates)
    // into a view height high.
    void KeepInView(int top, int bottom, int height);
    // The last step of a layout: each bar shows or hides as needed.
    void ShowScrollBars(bool needV, bool needH);

    GScrollBar m_sbVert;
    GScrollBar m_sbHorz;
    int m_bShowV = 0;
    int m_bShowH = 0;
};
