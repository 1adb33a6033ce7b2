// A windowed button base: a child window with an id, an optional picture and enabled and
// checked states. Derived buttons give it behaviour; this one only fills itself.
#pragma once

#include "winza/GAnimateWnd.h"

class GDib;

class GButton : public GAnimateWnd {
public:
    GButton();
    ~GButton() override;
    LPCWSTR GetClassNameW() override { return u"GButton"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Fills the client rectangle with colour 3.
    void Draw(HDC hdc, RECT clip) override;
    // A visible child of parent.
    virtual int Create(HWND parent, Winza* owner, RECT rect, int id);

    // Uses a copy (owned) or the picture itself; 1.
    int SetButtonImage(GDib* image, int copy);
    GDib* GetButtonImage() const { return m_pImage; }
    // Each repaints.
    void SetEnable(int on);
    void SetCheck(int on);
    int GetButtonID() const { return m_nID; }
    int GetEnable() const { return m_bEnable; }
    int GetCheck() const { return m_bCheck; }
    Winza* GetOwner() const { return m_pOwner; }

protected:
    void FreeImage();

    Winza* m_pOwner = nullptr;
    int m_nID = -1;
    GDib* m_pImage = nullptr;
    int m_bOwnImage = 0;
    int m_bEnable = 1;
    int m_bCheck = 0;
    DWORD m_dwSpare[3] = {0, 0, 0};
};
