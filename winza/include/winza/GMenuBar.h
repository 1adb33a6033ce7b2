// A menu bar that holds no menus yet: the class exists so that windows can own one, and every
// operation succeeds without doing anything.
#pragma once

#include "fundo/GArray.h"
#include "winza/GBar.h"

class GMenuBar : public GBar {
public:
    GMenuBar() = default;
    LPCWSTR GetClassNameW() override { return u"GMenuBar"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Paints nothing.
    void Draw(HDC hdc, RECT clip) override;

    int CreateMenuBar() { return 1; }
    int LoadMenuW(HINSTANCE instance, LPCWSTR name);
    int LoadMenuW(HINSTANCE instance, UINT id);
    void RemoveAllButton() {}
    int GetButtonCount() const { return m_buttons.GetSize(); }

private:
    GArray m_buttons;
};
