#include "winza/GAnimateWnd.h"

#include <platform/gdiguard.h>

#include <algorithm>

namespace {

int RectWidth(const RECT& r) {
    return r.right - r.left;
}

int RectHeight(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace

GAnimateWnd::GAnimateWnd() {
    m_bDoubleBuffer = 1;
}

GAnimateWnd::~GAnimateWnd() {
    // Destroyed here, while the object is still a GAnimateWnd, so its own WM_DESTROY handling
    // frees the buffers; the base destructor would only see a Winza.
    if (m_hWnd && ::IsWindow(m_hWnd))
        Destroy();
    m_gdcContent.DeleteGDC();
    FreeBackGDC();
}

LPCWSTR GAnimateWnd::GetClassNameW() {
    return u"GAnimateWnd";
}

void GAnimateWnd::FreeBackGDC() {
    if (m_bOwnBackGDC)
        delete m_pBackGDC;
    m_pBackGDC = nullptr;
    m_bOwnBackGDC = 0;
}

int GAnimateWnd::Create(HWND parent, LPCWSTR title, DWORD style, int x, int y, int cx, int cy,
                        HMENU menu, DWORD exStyle, Winza* under) {
    if (m_hWnd)
        return 0;
    FreeBackGDC();
    if (m_bAnimate) {
        if (under) {
            m_pBackGDC = under->GetGDC();
        } else {
            RECT r{x, y, x + cx, y + cy};
            // A child's position is in its parent's client area; a pop-up's is on the screen.
            if (parent && (style & WS_CHILD)) {
                POINT a{r.left, r.top};
                POINT b{r.right, r.bottom};
                ::ClientToScreen(parent, &a);
                ::ClientToScreen(parent, &b);
                r = RECT{a.x, a.y, b.x, b.y};
            }
            GDC* snapshot = new GDC;
            // An empty rectangle makes no bitmap yet; the first size message does.
            if (snapshot->CreateCompatibleGDC(nullptr, r))
                snapshot->UpdateGDC(r);
            m_pBackGDC = snapshot;
            m_bOwnBackGDC = 1;
        }
    }
    const int made = Winza::Create(parent, title, style, x, y, cx, cy, menu, exStyle);
    if (!made)
        FreeBackGDC();
    return made;
}

int GAnimateWnd::Create(HWND parent, LPCWSTR title, DWORD style, int x, int y, int cx, int cy,
                        HMENU menu, GDib* picture, RECT pictureRect, DWORD exStyle) {
    if (!picture || m_hWnd)
        return 0;
    FreeBackGDC();
    m_bAnimate = 1;
    m_pBackDib = picture;
    m_rcPicture = pictureRect;
    return Winza::Create(parent, title, style, x, y, cx, cy, menu, exStyle);
}

void GAnimateWnd::SetAlpha(int alpha, int redraw) {
    if (!m_bAnimate)
        return;
    m_nAlpha = std::clamp(alpha, 0, 255);
    if (redraw)
        Invalidate(1);
}

void GAnimateWnd::SetTransColor(COLORREF color) {
    m_crTrans = color;
    m_gdcContent.SetTransColor(color);
}

void GAnimateWnd::SetBackColor(COLORREF color, int redraw) {
    m_crBack = color;
    if (redraw)
        Invalidate(1);
}

void GAnimateWnd::SetLineColor(COLORREF color, int redraw) {
    m_crLine = color;
    if (redraw)
        Invalidate(1);
}

void GAnimateWnd::Draw(HDC, RECT) {}

RECT GAnimateWnd::WindowScreenRect() const {
    RECT r{0, 0, 0, 0};
    if (m_hWnd && !::GetWindowRect(m_hWnd, &r))
        r = RECT{0, 0, 0, 0};
    return r;
}

LRESULT GAnimateWnd::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_SIZE:
            return OnSize(hwnd, msg, wParam, lParam);
        case WM_PAINT:
            return OnPaint(hwnd, msg, wParam, lParam);
        case WM_ERASEBKGND:
            return 0;
        case WM_SHOWWINDOW:
            return OnShowWindow(hwnd, msg, wParam, lParam);
        default:
            return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT GAnimateWnd::OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT r = Winza::OnDestroy(hwnd, msg, wParam, lParam);
    m_gdcContent.DeleteGDC();
    FreeBackGDC();
    return r;
}

LRESULT GAnimateWnd::OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT r = Winza::OnSize(hwnd, msg, wParam, lParam);
    if (!m_bAnimate || ::IsRectEmpty(&m_rcClient))
        return r;
    if (!m_gdcContent.GetSafeHdc())
        m_gdcContent.CreateCompatibleGDC(this, m_rcClient);
    if (m_gdcContent.ResizeGDC(m_rcClient))
        m_gdcContent.SetTransColor(m_crTrans);
    // A back buffer made while painting follows the size even without double buffering.
    if (!m_bDoubleBuffer && m_gdc.GetSafeHdc())
        m_gdc.ResizeGDC(m_rcClient);
    if (m_bOwnBackGDC && m_pBackGDC)
        m_pBackGDC->ResizeGDC(WindowScreenRect());
    return r;
}

LRESULT GAnimateWnd::OnShowWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT r = Winza::WndProc(hwnd, msg, wParam, lParam);
    // WM_SHOWWINDOW comes before the window appears: the screen still shows what lies beneath.
    if (wParam && m_pBackGDC && !m_pBackGDC->GetWinza()) {
        const RECT rect = WindowScreenRect();
        if (m_bOwnBackGDC)
            m_pBackGDC->ResizeGDC(rect);
        else
            m_pBackGDC->UpdateGDC(rect);
    }
    return r;
}

void GAnimateWnd::DrawBackground(RECT clip) {
    if (m_pBackGDC) {
        // Zero source coordinates take the source pixel at the same place on the screen.
        m_gdc.BitBlt(m_pBackGDC, clip.left, clip.top, RectWidth(clip), RectHeight(clip));
        return;
    }
    if (m_pBackDib)
        DrawPictureBackground(clip);
}

void GAnimateWnd::DrawPictureBackground(RECT clip) {
    GDib* back = m_gdc.GetGDib();
    if (!back || !m_pBackDib)
        return;
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    const RECT window = WindowScreenRect();
    RECT clipScreen = clip;
    ::OffsetRect(&clipScreen, origin.x, origin.y);
    // What may show: the visible part, within the picture's place and its real size.
    const RECT extent{m_rcPicture.left, m_rcPicture.top,
                      m_rcPicture.left + std::min(RectWidth(m_rcPicture), m_pBackDib->Width()),
                      m_rcPicture.top + std::min(RectHeight(m_rcPicture), m_pBackDib->Height())};
    RECT shown;
    if (!::IntersectRect(&shown, &m_rcVisible, &extent))
        return;
    RECT part;
    if (::IntersectRect(&part, &shown, &clipScreen))
        m_pBackDib->DrawDib(back, part.left - origin.x, part.top - origin.y, RectWidth(part),
                            RectHeight(part), part.left - m_rcPicture.left,
                            part.top - m_rcPicture.top, RectWidth(part), RectHeight(part), 1, 255,
                            0);
    // Where the picture ends inside the window, a one-pixel edge just outside its top and
    // left sides marks the border without covering any of its pixels.
    RECT edge;
    if (shown.top > window.top && shown.top <= window.bottom) {
        const RECT top{shown.left - 1, shown.top - 1, shown.right, shown.top};
        if (::IntersectRect(&edge, &top, &clipScreen))
            back->FillRect(edge.left - origin.x, edge.top - origin.y, RectWidth(edge),
                           RectHeight(edge), m_crLine);
    }
    if (shown.left > window.left && shown.left <= window.right) {
        const RECT left{shown.left - 1, shown.top - 1, shown.left, shown.bottom};
        if (::IntersectRect(&edge, &left, &clipScreen))
            back->FillRect(edge.left - origin.x, edge.top - origin.y, RectWidth(edge),
                           RectHeight(edge), m_crLine);
    }
}

LRESULT GAnimateWnd::OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    gdi::PaintDC paintDC(hwnd);
    if (!paintDC)
        return 0;
    RECT clip{0, 0, 0, 0};
    ::GetClipBox(paintDC, &clip);
    const int cx = RectWidth(clip);
    const int cy = RectHeight(clip);
    if (cx > 0 && cy > 0) {
        if (m_bAnimate && m_gdcContent.GetSafeHdc()) {
            // Pixels that Draw leaves in the key colour let the background show through.
            if (GDib* content = m_gdcContent.GetGDib())
                content->FillRect(clip.left, clip.top, cx, cy, m_crTrans);
            {
                gdi::Select font(m_gdcContent.GetSafeHdc(), m_hFont);
                Draw(m_gdcContent.GetSafeHdc(), clip);
            }
            if (!m_gdc.GetSafeHdc() && !::IsRectEmpty(&m_rcClient))
                m_gdc.CreateCompatibleGDC(this, m_rcClient);
            GDib* back = m_gdc.GetGDib();
            if (back)
                back->FillRect(clip.left, clip.top, cx, cy, m_crBack);
            if ((m_nAlpha < 255 || m_bTrans) && back) {
                DrawBackground(clip);
                m_gdc.BitBlt(&m_gdcContent, clip.left, clip.top, cx, cy, clip.left, clip.top, 0, 0,
                             1, m_nAlpha, m_bTrans);
                m_gdc.BitBlt(paintDC, clip.left, clip.top, cx, cy);
            } else {
                m_gdcContent.BitBlt(paintDC, clip.left, clip.top, cx, cy);
            }
        } else {
            PaintClip(paintDC, paintDC, clip);
        }
    }
    return 0;
}

int GAnimateWnd::InClient(LPARAM lParam) const {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&m_rcClient, pt) ? 1 : 0;
}

LRESULT GAnimateWnd::PenInClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            return InClient(lParam);
        default:
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    }
}
