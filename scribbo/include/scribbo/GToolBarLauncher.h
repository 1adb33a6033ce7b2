// The tab at the pad's right edge that stands in for its top tool bar and shows the page
// number over the page count. A tap fades the bar in or out, a hold locks it visible
// (LockToolbar) or unlocks it; the parent gets UM_TOOLBARPEN with wParam = the bar's window
// and the lParam values of GScrollBarLauncher. Dragging the pen more than 10 pixels away from
// the tab lays a guide band across the pad; the release then sends the parent WM_COMMAND
// kCloseCommand with lParam = the parent's window.
#pragma once

#include "scribbo/GLauncherTab.h"

class GPadDrawMan;

// Drag directions from the tool bar tab.
enum eLauncherDrag {
    eDragNone = 0,
    eDragUp = 1,
    eDragDown = 2,
    eDragLeft = 3,
    eDragRight = 4,
};

class GToolBarLauncher : public GLauncherTab {
public:
    static constexpr UINT_PTR kFadeTimer = 102;
    static constexpr int kCloseCommand = 1019;
    // A drag starts only beyond this distance from the press.
    static constexpr int kDragDistance = 10;

    GToolBarLauncher();

    LPCWSTR GetClassNameW() override { return u"GToolBarLauncher"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // The tool bar; null lets go of (and hides) the one held before.
    void SetControlled(GAnimateWnd* window) { SetControlledAt(0, window); }
    GAnimateWnd* GetControlled() const { return GetControlledAt(0); }
    // The numbers the tab shows, as given (the pad passes its page index + 1); repaints.
    void SetPage(int current, int count);
    int GetCurPage() const { return m_nCurPage; }
    int GetPageCount() const { return m_nPageCount; }
    // The memo whose buffer lies at origin in the parent's client area: a guide band is
    // wiped by copying that buffer back. Without one the parent repaints the band itself.
    void SetDocument(GPadDrawMan* doc, POINT origin);

    int GetDirection() const { return m_nDirection; }
    // In the parent's client coordinates; empty while no drag runs.
    RECT GetGuideRect() const { return m_rcGuide; }

protected:
    void NotifyParent(LPARAM what) override;
    void OnPress(POINT pt) override;
    int OnRelease(POINT pt) override;

private:
    // Starts a drag once pt is far enough from the press; draw puts the band on the pad.
    void TrackDrag(POINT pt, int draw);
    void LayoutGuide();
    void DrawGuide();
    void RemoveGuide();
    void DrawNumber(HDC hdc, int value, int top, int bottom, int textHeight);

    GPadDrawMan* m_pDoc = nullptr;
    POINT m_ptOrigin{0, 0};
    // Screen coordinates.
    POINT m_ptPress{0, 0};
    POINT m_ptCurrent{0, 0};
    int m_nDirection = eDragNone;
    RECT m_rcGuide{0, 0, 0, 0};
    int m_nCurPage = 1;
    int m_nPageCount = 1;
};
