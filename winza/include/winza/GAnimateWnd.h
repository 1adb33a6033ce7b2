// The base of the toolkit's pop-up windows: a window that paints into its own content buffer
// and can blend it, with an opacity and a transparent key colour, over what lies beneath it
// (a snapshot of the screen, another window's back buffer, or a picture).
#pragma once

#include "winza/Winza.h"

class GAnimateWnd : public Winza {
public:
    GAnimateWnd();
    ~GAnimateWnd() override;

    LPCWSTR GetClassNameW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // When animated, the window blends over under's back buffer, or without under over a
    // snapshot of the screen beneath its rectangle (x, y in the parent's client coordinates).
    int Create(HWND parent, LPCWSTR title, DWORD style, int x, int y, int cx, int cy,
               HMENU menu = nullptr, DWORD exStyle = 0, Winza* under = nullptr);
    // Blends over picture, which lies at pictureRect (screen coordinates); 0 without a picture.
    // The part that may show is m_rcVisible, which derived windows set.
    int Create(HWND parent, LPCWSTR title, DWORD style, int x, int y, int cx, int cy, HMENU menu,
               GDib* picture, RECT pictureRect, DWORD exStyle = 0);

    // Only when animated: clamps to 0-255; redraw repaints at once.
    void SetAlpha(int alpha, int redraw);
    int GetAlpha() const { return m_nAlpha; }
    // Key colour of the content buffer: pixels of it that Draw leaves show what lies beneath.
    void SetTransColor(COLORREF color);
    COLORREF GetTransColor() const { return m_crTrans; }
    void SetTrans(int on) { m_bTrans = on; }
    int GetTrans() const { return m_bTrans; }
    void SetBackColor(COLORREF color, int redraw);
    COLORREF GetBackColor() const { return m_crBack; }
    void SetLineColor(COLORREF color, int redraw);
    COLORREF GetLineColor() const { return m_crLine; }
    // Derived windows switch blending off (bars, buttons, lists) before the window is made.
    void SetAnimate(int on) { m_bAnimate = on; }
    int IsAnimate() const { return m_bAnimate; }
    GDC* GetContentGDC() { return &m_gdcContent; }
    GDC* GetBackGDC() const { return m_pBackGDC; }

protected:
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The window's rectangle on the screen; empty without a window.
    RECT WindowScreenRect() const;
    // Puts what lies beneath into the back buffer's clip area.
    void DrawBackground(RECT clip);
    void DrawPictureBackground(RECT clip);
    void FreeBackGDC();

    // 1 when the point of a pen message lies in the client rectangle.
    int InClient(LPARAM lParam) const;
    // The pen handling of plain bars and buttons, which derived classes give behaviour: the
    // pen messages answer InClient, the others go on to WndProc.
    LRESULT PenInClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    GDC m_gdcContent;
    COLORREF m_crBack = 0xFFFFFF;
    COLORREF m_crLine = 0;
    GDC* m_pBackGDC = nullptr;
    int m_bOwnBackGDC = 0;
    GDib* m_pBackDib = nullptr;
    RECT m_rcPicture{0, 0, 0, 0};
    RECT m_rcVisible{0, 0, 0, 0};
    int m_bAnimate = 1;
    int m_nAlpha = 255;
    int m_bTrans = 1;
    // Kept so that a content buffer made or re-made later gets the same key colour.
    COLORREF m_crTrans = RGB(255, 0, 255);
};
