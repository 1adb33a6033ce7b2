// The framed bar window that tool bars and the menu bar derive from: a child window with an
// owner that receives its commands, laid out horizontally or vertically.
#pragma once

#include "winza/GAnimateWnd.h"

enum eGBarType { eGBarHorizontal = 0, eGBarVertical = 1 };

class GBar : public GAnimateWnd {
public:
    GBar();
    LPCWSTR GetClassNameW() override { return u"GBar"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The client rectangle framed in colours 4 and 5 with the frame flags, filled with the
    // background colour.
    void Draw(HDC hdc, RECT clip) override;

    // A visible child of parent with the class name as its title.
    virtual int CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type);
    // Moves without repainting, then repaints when asked.
    virtual void MoveBar(RECT rect, int redraw);

    Winza* GetOwner() const { return m_pOwner; }
    void SetOwner(Winza* owner) { m_pOwner = owner; }
    eGBarType GetBarType() const { return m_eBarType; }
    void SetFrameFlag(int flags) { m_nFrameFlag = flags; }
    int GetFrameFlag() const { return m_nFrameFlag; }
    void SetBarBackColor(COLORREF color) { m_crBack = color; }
    COLORREF GetBarBackColor() const { return m_crBack; }

protected:
    Winza* m_pOwner = nullptr;
    eGBarType m_eBarType = eGBarHorizontal;
    int m_nFrameFlag = 31;
    COLORREF m_crBack;
};
