// The tool bar of the main window and of the pad view. Its items live in a tree: the top
// level is what the bar shows at first, and an item may carry a group of items (the pen
// presets) that the bar shows in its place as a level of its own. A fixed corner button
// stays at the bar's end on every level. Drags over a level below the top are gestures:
// a stroke preview, going back up a level, or changing the selected pen's width.
#pragma once

#include "fundo/GTree.h"
#include "scribbo/GToolButton.h"
#include "winza/GToolBar.h"

class InkraMan;

// Shows a finished stroke preview a moment before the bar comes back.
inline constexpr int kToolBarPreviewTimer = 20;
inline constexpr UINT kToolBarPreviewMs = 200;

// What a drag over the bar has become.
enum eToolBarGesture {
    eTBGestureNone = 0,
    eTBGesturePreview = 1,
    eTBGestureLevelUp = 2,
    eTBGestureWidth = 3,
};

class GToolBarEx : public GToolBar {
public:
    GToolBarEx();
    ~GToolBarEx() override;
    LPCWSTR GetClassNameW() override { return u"GToolBarEx"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The bar, then the root of the item tree and a spacing of 2.
    int CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) override;
    // Moves without repainting, then lays the items out.
    void MoveBar(RECT rect, int redraw) override;
    // Places the corner button at the bar's end and the visible items of the shown level one
    // after another; repaints when asked.
    virtual void LayoutItems(int redraw);
    void UpdateAllButton(int redraw) override { LayoutItems(redraw); }

    // A new item as the last child of parent (null: the top level). groupWidth > 0 gives it
    // that width on the bar; a non-zero visibleFlags shows it. Null when it cannot be added.
    GToolButton* AddItem(POSITION parent, int id, int groupWidth, int visibleFlags);
    // The same for a pen preset: pen kind of the ink engine, colour, width (16.16) and opacity.
    GToolButton* AddToolItem(POSITION parent, int id, int groupWidth, int visibleFlags, int penKind,
                             COLORREF color, LONG width16_16, int alpha);
    // A top-level item with the switches of GToolBar::AddButton; the image follows the id.
    GToolButton* AddButton(int id, int image, int visible = 1, int enabled = 1, int checked = 0);
    // The button at the bar's end on every level; its image is id - 1000.
    GToolButton* SetCornerButton(int id, int minWidth = 22);
    GToolButton* GetCornerButton() { return m_Corner.GetID() >= 0 ? &m_Corner : nullptr; }
    // The item with the id among the children of parent (null: the top level), or null.
    GToolButton* FindItem(POSITION parent, int id) const;
    // Shows the children of the item at level (null: the top level).
    void ShowLevel(POSITION level);
    // The item whose children are shown; null at the top level.
    POSITION GetShownLevel() const;
    // Shows the level above the shown one; 0 at the top level.
    int LevelUp(int redraw);

    // The pen preset chosen last (or given here), or null.
    GToolButton* GetSelectedItem() const { return m_pSelected; }
    void SetSelectedItem(GToolButton* item, int redraw);
    // The draw manager that draws stroke previews onto the bar (not owned).
    void SetPreviewDrawMan(InkraMan* man) { m_pPreview = man; }
    InkraMan* GetPreviewDrawMan() const { return m_pPreview; }
    int GetGesture() const { return m_nGesture; }

    // By id over the whole tree and the corner button: the first item with the id, and the
    // switches for every item with it.
    GToolButton* GetButton(int id) const;
    void ShowButton(int id, int on);
    int IsButtonVisible(int id) const;
    void SetEnable(int id, int on);
    int GetEnable(int id) const;
    void SetCheck(int id, int on);
    int GetCheck(int id) const;

    // The smallest width a pen kind takes, in page units.
    double GetMinWidth(int penKind) const;
    // width (page units) on the width ladder, at least the kind's minimum, as 16.16.
    LONG SnapWidth(double width, int penKind) const;

protected:
    // Every item of the tree below pos (pos itself not included), depth first.
    template <class F> void ForEachItem(POSITION pos, F&& f) const;
    // The top of the item tree, made with its root item when missing.
    POSITION TopLevel();
    POSITION LevelOrTop(POSITION level) const;
    GToolButton* ItemAt(POSITION pos) const { return static_cast<GToolButton*>(m_Tree.GetAt(pos)); }
    void PlaceItem(GToolButton* item);
    void PlaceCorner();
    // The active item under the point among those shown, or null.
    GToolButton* HitItem(POINT pt) const;
    // A click handed on by an item: a preset becomes the selection, a group opens.
    void TakeClick(WPARAM click);
    int IsShown(const GToolButton* item) const;
    int HasChildren(const GToolButton* item) const;

    LRESULT OnPenDown(HWND hwnd, LPARAM lParam);
    LRESULT OnPenMove(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnPenUp(HWND hwnd, LPARAM lParam);
    // Which gesture a drag becomes once it is long enough; none while it is short.
    int ChooseGesture(POINT pt) const;
    void StartGesture(int gesture);
    void ChangeWidth(POINT pt);
    int StartPreview();
    void PreviewTo(HWND hwnd, POINT pt);
    void ShowPreviewRect(tagRECT rc);
    // Restores the bar after a preview, goes up a level and tells the owner.
    void EndPreview();
    void NotifyLevelUp();

    GToolButton m_Corner;
    GTree m_Tree{10};
    POSITION m_posLevel = nullptr;
    GToolButton* m_pSelected = nullptr;
    InkraMan* m_pPreview = nullptr;
    int m_nGesture = eTBGestureNone;
    POINT m_ptDown{0, 0};
    // Stylus samples fetched while previewing (quarter pixels, screen coordinates).
    POINT m_ptTrack[100] = {};
    // Minimum widths per pen kind of the ink engine, in page units.
    double m_fMinWidth[8] = {0.1, 1.5, 0.1, 1.5, 0.25, 0.1, 0.1, 1.5};
    // Pixels a drag travels before it is a gesture.
    double m_fGestureStart = 5.0;
    // Stylus samples come in quarter pixels.
    double m_fSampleScale = 4.0;
    // Pixels of horizontal travel per unit of pen width.
    double m_fWidthTravel = 10.0;
    // Samples fetched at most per move (the size of m_ptTrack).
    int m_nTrackPoints = 100;
    int m_nCornerMinWidth = 22;
    GToolButton* m_pPressed = nullptr;
    double m_fWidthAtDown = 0;
    int m_bPreviewPending = 0;
    // Objects the preview manager's page held before a preview; those after it are the preview.
    int m_nPreviewObjects = 0;
};
