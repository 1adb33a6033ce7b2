// A bar that owns and lays out a row (or column) of windowless buttons with icons from one
// image list, and hands their clicks on to its owner.
#pragma once

#include "fundo/GArray.h"
#include "winza/GBar.h"

class GImageList;
class GVButton;

class GToolBar : public GBar {
public:
    GToolBar() = default;
    ~GToolBar() override;
    LPCWSTR GetClassNameW() override { return u"GToolBar"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    int CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) override;
    // Moves the window, then lays the buttons out again.
    void MoveBar(RECT rect, int redraw) override;
    // Lays every button out from the first offset; repaints when asked.
    virtual void UpdateAllButton(int redraw);

    // 0 when the size exceeds the bar's client area (nothing changes).
    int SetButtonSize(int cx, int cy, int force);
    int GetButtonWidth() const { return m_nButtonWidth; }
    int GetButtonHeight() const { return m_nButtonHeight; }
    // Uses a copy (owned) or the list itself; without a button size, the size follows from the
    // cells. 0 when the list ends up without a bitmap.
    int SetButtonImage(GImageList* list, int copy);
    GImageList* GetButtonImage() const { return m_pImageList; }
    // A GVButton(id, image) with the three switches as its visible, enabled and checked flags,
    // placed after the last one. The id 0xFFFF adds a separator.
    GVButton* AddButton(int id, int image, int visible = 1, int enabled = 1, int checked = 0);
    // The first button with the id, or null.
    GVButton* GetButton(int id) const;
    int GetButtonCount() const { return m_arButtons.GetSize(); }
    GVButton* GetButtonAt(int index) const;
    void SetEnable(int id, int on);
    int GetEnable(int id) const;
    void SetCheck(int id, int on);
    int GetCheck(int id) const;
    void ShowButton(int id, int on);
    int IsButtonVisible(int id) const;
    void SetFirstOffset(int offset) { m_nFirstOffset = offset; }
    void SetSpacing(int spacing) { m_nSpacing = spacing; }

protected:
    void PlaceButton(GVButton* button);
    void FreeImageList();
    // Sends a click on to the owner and up its pre-translate chain.
    void ForwardCommand(WPARAM wParam);

    int m_nButtonWidth = 0;
    int m_nButtonHeight = 0;
    int m_nFirstOffset = 2;
    int m_nSpacing = 0;
    int m_nNextPos = 2;
    GArray m_arButtons;
    GImageList* m_pImageList = nullptr;
    int m_bOwnImageList = 0;
    int m_bPenDown = 0;
    // A click that comes while the buttons take a release waits until they are done: the
    // owner may delete the bar in answer.
    int m_bReleasing = 0;
    WPARAM m_pendingClick = 0;
};
