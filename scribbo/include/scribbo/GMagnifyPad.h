// The magnify pad: a strip at the bottom of the pad view that shows one writing line of the
// memo's page enlarged, so that the line fills the strip's height. The strip draws into the
// memo's own page object (shared through the page's attachment count, never copied), so what
// is written large here is on the page at normal size as soon as the stylus lifts. The strip
// walks along the line as the user writes and wraps to the next line.
//
// Use from the pad view:
//   pad.CreatePad(view, rect, WS_CHILD);           // window "MagnifyWnd", class "GMagnifyPad"
//   pad.AttachPage(memo.GetCurPage(), &memo);       // page plus the memo's paper and pen
//   pad.SetZoom(GMagnifyPad::ZoomForStrip(h, memo.GetTemplate()->LineSpace));
//   pad.SetPosition(x, y);                          // page units, 16.16
//   frame = pad.GetViewRect();                      // page units, 16.16: the magnifier frame
//   pad.AttachPage(nullptr, nullptr);               // before the memo is left or destroyed
// Messages to the parent:
//   UM_OBJECTCHANGED  wParam = const tagRECT* of the stroke's page rectangle (page pixels,
//                     valid during the call), lParam = the stroke's GDObject* when the stroke
//                     is one object on the page, else 0
//   UM_MAGNIFYMOVED   the strip moved; the frame follows GetViewRect()
//   UM_MAGNIFYTALLER  button 1 was tapped: make the strip 10 pixels higher
//   UM_MAGNIFYSHORTER button 2 was tapped: make the strip 10 pixels lower
#pragma once

#include "scribbo/GPadDrawMan.h"
#include "winza/Winza.h"

#include <windows.h>

// Buttons of the strip's right column, top to bottom.
enum eMagnifyButton {
    eMagTaller = 0,
    eMagShorter = 1,
    eMagAdvance = 2,
    eMagNewLine = 3,
    eMagButtonCount = 4
};

// Waits after a stroke that crossed the margin before the strip advances.
inline constexpr UINT_PTR kMagnifyAdvanceTimer = 104;
inline constexpr UINT kMagnifyAdvanceDelay = 500;
// The dotted margin line.
inline constexpr COLORREF kMagnifyMarginColor = 0x6666FF;

class GMagnifyPad : public Winza {
public:
    GMagnifyPad() = default;
    ~GMagnifyPad() override;

    LPCWSTR GetClassNameW() override { return u"GMagnifyPad"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // Makes the strip window over rect of parent; 1 on success.
    int CreatePad(HWND parent, RECT rect, DWORD style);

    // The zoom with which one writing line of lineSpace page pixels fills a strip of
    // stripHeight pixels; 100 for a spacing of 0.
    static int ZoomForStrip(int stripHeight, int lineSpace);

    // Shows page (the memo's page, shared: it lives until both the memo and the strip let it
    // go) with memo's paper and pen; null detaches. The memo must stay alive while attached.
    void AttachPage(InkraPage* page, GPadDrawMan* memo);
    InkraPage* GetPage() const { return m_Man.GetCurPage(); }
    // Copies the memo's paper (template, picture, text size) again, e.g. after it changed.
    void TakePaper(GPadDrawMan* memo);

    // Zoom in percent (the page point at the strip's top-left stays there); returns the view
    // rectangle in page units (16.16).
    tagRECT SetZoom(int percent);
    int GetZoom() const { return m_nZoom; }
    // Places the view's top-left at page point (x, y), 16.16, within the page.
    void SetPosition(LONG x, LONG y);
    // The part of the page the writing area shows, in page units (16.16).
    tagRECT GetViewRect() const;
    // The view's top-left in strip pixels of the zoomed page.
    POINT GetOffset() const { return POINT{m_nXOffset, m_nYOffset}; }

    // Moves along the writing lines; each repaints and tells the parent (UM_MAGNIFYMOVED).
    // Advance: right by the writing width less ApplyHires(30); at the right end, a new line.
    void Advance();
    // The next writing line from the left (or the title column); nothing below the page.
    void NewLine();
    void MoveToRightEnd();
    void MoveToPageBottom();

    // Geometry of the client area.
    int GetButtonColumnWidth() const { return m_nColumnWidth; }
    // Width of the writing area left of the button column.
    int GetWritingWidth() const;
    int GetMarginX() const { return m_nMargin; }
    RECT GetButtonRect(int button) const;
    int GetAdvanceStep() const;
    int IsAdvancePending() const { return m_bAdvancePending; }

    GPadDrawMan* GetDrawMan() { return &m_Man; }

private:
    void Layout();
    void OnStylusDown(POINT pt);
    void OnStylusMove(POINT pt);
    void OnStylusUp(POINT pt);
    void OnButtonUp(POINT pt);
    int HitButton(POINT pt) const;
    // Zoomed page size in strip pixels.
    SIZE PageExtent() const;
    // Scrolls the draw manager to (x, y) strip pixels (clamped to the page) and reads back
    // where it went.
    void ScrollView(int x, int y);
    void MovedTo(int x, int y);
    // The page draws through the memo's buffers again.
    void HandBack();
    void CopyPen();
    // Copies a buffer rectangle to the window, clipped to the writing area.
    void ShowRect(tagRECT rc);
    void DrawMargin(HDC hdc);
    void DrawButton(HDC hdc, int button);
    void RepaintButton(int button);
    void Repaint();

    GPadDrawMan m_Man;
    int m_nZoom = 100;
    int m_bAdvancePending = 0;
    int m_bWrapPending = 0;
    int m_nXOffset = 0;
    int m_nYOffset = 0;
    int m_nColumnWidth = 0;
    int m_nMargin = 0;
    RECT m_rcButton[eMagButtonCount] = {};
    int m_bPressed[eMagButtonCount] = {};
    int m_bHighlight[eMagButtonCount] = {};
    // The memo whose page is shown (not owned).
    GPadDrawMan* m_pMemo = nullptr;
    // The stroke in progress: its first object and the union of what it drew.
    GDObject* m_pStrokeObject = nullptr;
    tagRECT m_rcStroke{0, 0, 0, 0};
};
