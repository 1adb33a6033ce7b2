#include "GButton.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"

#include "fundo/GDib.h"

GButton::GButton() {
    m_bAnimate = 0;
    m_bDoubleBuffer = 0;
}

GButton::~GButton() {
    FreeImage();
}

void GButton::FreeImage() {
    if (m_bOwnImage)
        delete m_pImage;
    m_pImage = nullptr;
    m_bOwnImage = 0;
}

int GButton::Create(HWND parent, Winza* owner, RECT rect, int id) {
    m_pOwner = owner;
    m_nID = id;
    return GAnimateWnd::Create(parent, GetClassNameW(), WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top);
}

int GButton::SetButtonImage(GDib* image, int copy) {
    GDib* next = image;
    if (copy && image) {
        next = new GDib;
        if (!next->CopyDib(image)) {
            delete next;
            next = nullptr;
        }
    }
    if (next != m_pImage)
        FreeImage();
    m_pImage = next;
    m_bOwnImage = copy && next;
    return 1;
}

void GButton::SetEnable(int on) {
    m_bEnable = on;
    Invalidate(0);
}

void GButton::SetCheck(int on) {
    m_bCheck = on;
    Invalidate(0);
}

void GButton::Draw(HDC hdc, RECT) {
    FillSolidRect(hdc, &m_rcClient, GetGLibColor(eColorBarBack));
}

// Plain ones only tell whether the pen is inside; derived classes give them behaviour.
LRESULT GButton::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return PenInClientProc(hwnd, msg, wParam, lParam);
}
