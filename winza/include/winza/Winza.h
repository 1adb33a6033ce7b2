// The window base class. Every window of the system is a Winza: the object owns one platform
// window whose messages reach the object's virtual WndProc, holds a device context for the
// window's whole life, and can paint through an off-screen back buffer.
#pragma once

#include "winza/GDC.h"

#include <windows.h>

class Winza {
public:
    Winza() = default;
    // Not copyable: a copy would hold the same window and back buffer, and destroying either
    // would pull them from under the other.
    Winza(const Winza&) = delete;
    Winza& operator=(const Winza&) = delete;

    // The eleven virtual operations, in slot order; derived classes keep this prefix.
    virtual LPCWSTR GetClassNameW();
    virtual int RegisterClassW();
    virtual ~Winza();
    virtual int PreTranslateMessage(MSG* msg);
    virtual void Invalidate(int erase);
    virtual void InvalidateRect(const RECT* rect, int erase);
    virtual void ShowWindow(int cmd);
    virtual LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void Draw(HDC hdc, RECT clip);
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void MeasureItem(MEASUREITEMSTRUCT* item);

    // 1 when the window was made; 0 when one exists already, the class cannot be registered
    // or the platform refuses the window.
    int Create(HWND parent, LPCWSTR title, DWORD style, int x, int y, int cx, int cy,
               HMENU menu = nullptr, DWORD exStyle = 0);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    HDC GetDC() const { return m_hDC; }
    RECT GetClientRect() const { return m_rcClient; }
    int Width() const { return m_rcClient.right - m_rcClient.left; }
    int Height() const { return m_rcClient.bottom - m_rcClient.top; }
    void SetFont(HFONT font) { m_hFont = font; }
    HFONT GetFont() const { return m_hFont; }
    HWND GetParent() const;
    int IsWindowVisible() const;
    void Close();
    void Destroy();
    // The back buffer, or null for a window painted directly.
    GDC* GetGDC() { return m_bDoubleBuffer ? &m_gdc : nullptr; }
    // Copies the rectangle of the back buffer to the held context.
    void UpdateBuffer(RECT rect);

    int ClientToScreen(POINT* point) const;
    int ClientToScreen(int* x, int* y) const;
    int ClientToScreen(RECT* rect) const;
    int ScreenToClient(POINT* point) const;
    int ScreenToClient(int* x, int* y) const;
    int ScreenToClient(RECT* rect) const;

    // The tap-and-hold gesture for a press at point (client coordinates) of this window: 1 when
    // the hold was recognised.
    int RecognizeGesture(POINT point, int tolerance);

    // The object that lives in a toolkit window's user-data slot, or null.
    static Winza* FromHandle(HWND hwnd);
    // The one window procedure of every toolkit class.
    static LRESULT CALLBACK WinzaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Derived windows and the application set these before the window is created.
    void SetDoubleBuffer(int on) { m_bDoubleBuffer = on; }
    int IsDoubleBuffer() const { return m_bDoubleBuffer; }
    void SetGesture(int on) { m_bGesture = on; }
    int IsGesture() const { return m_bGesture; }

protected:
    // Registers the class under GetClassNameW() unless it exists; a null proc is WinzaProc.
    int RegisterClassW(UINT style, HICON icon, HCURSOR cursor, HBRUSH background, WNDPROC proc);

    LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDblClk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWhell(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Reads the client rectangle of the live window into m_rcClient.
    void RefreshClientRect();
    // Draws the clip area with the window's font selected: when double buffered, into the back
    // buffer (made on first use) and then copied onto target; otherwise straight onto direct.
    void PaintClip(HDC target, HDC direct, RECT clip);

    HWND m_hWnd = nullptr;
    HDC m_hDC = nullptr;
    RECT m_rcClient{0, 0, 0, 0};
    HFONT m_hFont = nullptr;
    int m_bDoubleBuffer = 0;
    GDC m_gdc;
    int m_bGesture = 0;
};
