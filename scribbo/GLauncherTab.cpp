#include "scribbo/GLauncherTab.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

#include <algorithm>

GLauncherTab::GLauncherTab(LPCWSTR title, UINT_PTR timer, DWORD* lock)
    : m_szTitle(title), m_nTimer(timer), m_pLock(lock) {
    m_nAlpha = kMinAlpha;
}

int GLauncherTab::Create(Winza* owner, GDib* picture, RECT pictureRect, RECT visiblePart,
                         RECT rect) {
    if (!owner || !owner->GetSafeHwnd() || !picture)
        return 0;
    m_rcVisible = visiblePart;
    SetTransColor(kKeyColor);
    return GAnimateWnd::Create(owner->GetSafeHwnd(), m_szTitle, WS_CHILD | WS_VISIBLE, rect.left,
                               rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                               picture, pictureRect);
}

void GLauncherTab::SetBackground(GDib* picture, RECT pictureRect, RECT visiblePart, RECT rect) {
    m_pBackDib = picture;
    m_rcPicture = pictureRect;
    m_rcVisible = visiblePart;
    SetTransColor(kKeyColor);
    if (!m_hWnd)
        return;
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    // The picture changed even when the place did not.
    Invalidate(1);
}

void GLauncherTab::SetControlledAt(int index, GAnimateWnd* window) {
    if (index < 0 || index >= kMaxControlled)
        return;
    GAnimateWnd*& slot = m_pControlled[index];
    if (!window) {
        if (slot && slot->GetSafeHwnd())
            slot->ShowWindow(SW_HIDE);
        slot = nullptr;
        return;
    }
    slot = window;
    if (m_bShown && window->GetSafeHwnd()) {
        window->SetAlpha(m_nLevel, 1);
        window->ShowWindow(SW_SHOW);
    }
}

GAnimateWnd* GLauncherTab::GetControlledAt(int index) const {
    return index >= 0 && index < kMaxControlled ? m_pControlled[index] : nullptr;
}

void GLauncherTab::SetControlledAlpha(int alpha) {
    for (GAnimateWnd* w : m_pControlled)
        if (w && w->GetSafeHwnd())
            w->SetAlpha(alpha, 1);
}

void GLauncherTab::ShowControlledWindows(int command) {
    for (GAnimateWnd* w : m_pControlled)
        if (w && w->GetSafeHwnd())
            w->ShowWindow(command);
}

void GLauncherTab::StopFade() {
    if (m_hWnd)
        ::KillTimer(m_hWnd, m_nTimer);
}

void GLauncherTab::ShowControlled(int animate, int command) {
    StopFade();
    const int show = command == SW_SHOW;
    if (!show && IsLocked())
        return;
    if (animate) {
        if (show) {
            m_bShown = 1;
            m_nStep = kFadeStep;
            SetAlpha(std::max(m_nLevel, m_nMinAlpha), 1);
            SetControlledAlpha(m_nLevel);
            ShowControlledWindows(SW_SHOW);
        } else {
            m_nStep = -kFadeStep;
        }
        if (m_hWnd)
            ::SetTimer(m_hWnd, m_nTimer, kFadeMs, nullptr);
        return;
    }
    if (show) {
        m_nLevel = 255;
        m_bShown = 1;
        SetAlpha(255, 1);
        SetControlledAlpha(255);
        ShowControlledWindows(SW_SHOW);
    } else {
        m_nLevel = 0;
        m_bShown = 0;
        SetAlpha(m_nMinAlpha, 1);
        ShowControlledWindows(command);
    }
}

void GLauncherTab::OnFadeTick() {
    m_nLevel += m_nStep;
    if (m_nLevel < 0) {
        StopFade();
        m_nLevel = 0;
        ShowControlledWindows(SW_HIDE);
        SetAlpha(m_nMinAlpha, 1);
        m_bShown = 0;
    } else if (m_nLevel < 255) {
        SetAlpha(std::max(m_nLevel, m_nMinAlpha), 1);
        SetControlledAlpha(m_nLevel);
        // Each tick moves further than the last, so a fade speeds up as it goes.
        m_nStep += m_nStep > 0 ? 1 : -1;
    } else {
        StopFade();
        m_nLevel = 255;
        SetAlpha(255, 1);
        SetControlledAlpha(255);
    }
}

void GLauncherTab::ToggleLock() {
    *m_pLock = !*m_pLock;
    if (!*m_pLock) {
        m_nStep = kFadeStep;
        // Never below the minimum: a lock read from the settings may have shown nothing yet.
        SetAlpha(std::max(m_nLevel, m_nMinAlpha), 1);
    } else {
        m_nLevel = 255;
        m_bShown = 1;
        SetAlpha(255, 1);
        SetControlledAlpha(255);
        ShowControlledWindows(SW_SHOW);
        m_nStep = kFadeStep;
    }
    // The locked box comes or goes.
    Invalidate(1);
    NotifyParent(2);
}

LRESULT GLauncherTab::OnPenDown(HWND hwnd, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    NotifyParent(0);
    StopFade();
    m_bPenDown = 0;
    OnPress(pt);
    m_bInGesture = 1;
    const int held = RecognizeGesture(pt, 4);
    // The hold pumps messages: the window may be gone, and the release may have come.
    if (!::IsWindow(hwnd))
        return 0;
    m_bPenDown = m_bInGesture;
    m_bInGesture = 0;
    if (held)
        ToggleLock();
    return 0;
}

LRESULT GLauncherTab::OnPenUp(LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int tap = m_bInGesture;
    // A release whose press began elsewhere.
    if (!tap && !m_bPenDown)
        return 0;
    m_bInGesture = 0;
    m_bPenDown = 0;
    if (OnRelease(pt))
        return 0;
    if (tap)
        ShowControlled(1, m_nLevel == 255 ? SW_HIDE : SW_SHOW);
    if (!IsLocked() && m_bShown) {
        if (m_nStep < 0)
            ShowControlledWindows(SW_HIDE);
        else if (m_nStep > 0)
            NotifyParent(1);
    }
    return 0;
}

LRESULT GLauncherTab::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            return OnPenDown(hwnd, lParam);
        case WM_LBUTTONUP:
            return OnPenUp(lParam);
        case WM_TIMER:
            if (wParam == m_nTimer) {
                OnFadeTick();
                return 0;
            }
            break;
        default:
            break;
    }
    return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
}

void GLauncherTab::DrawFrame(HDC hdc, RECT rc, COLORREF fill, int edges) const {
    const int width = ApplyHires(1);
    FrameRect(hdc, &rc, GetGLibColor(26), GetGLibColor(27), fill, width, edges | eFrameFill);
    if (!IsLocked())
        return;
    ::InflateRect(&rc, -width, -width);
    FrameRect(hdc, &rc, GetGLibColor(1), GetGLibColor(2), GetGLibColor(24), width, eFrameAll);
}
