#include "scribbo/GCustomMessageBox.h"

#include "scribbo/App.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/WinzaUtil.h"

#include <algorithm>

namespace {

constexpr int kFadeStartAlpha = 32;
constexpr int kFadeOutStep = -32;
// The fade step grows (coming in) or shrinks (going out) by this much each tick.
constexpr int kFadeStepChange = 2;

} // namespace

GCustomMessageBox::GCustomMessageBox() {
    m_nTitleHeight = ApplyHires(26);
}

GCustomMessageBox::~GCustomMessageBox() = default;

void GCustomMessageBox::RecalcDialog(HWND parent) {
    GMessageBox::RecalcDialog(parent);
    if (m_nPosition != eBoxTop && m_nPosition != eBoxBottom)
        return;
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    RECT around{0, 0, ::GetSystemMetrics(SM_CXSCREEN), screenH};
    if (parent && ::IsWindow(parent))
        ::GetWindowRect(parent, &around);
    const int h = m_rcDialog.bottom - m_rcDialog.top;
    int y = m_nPosition == eBoxTop ? around.top : around.bottom - h;
    y = std::max(0, std::min(y, screenH - h));
    m_rcDialog.top = y;
    m_rcDialog.bottom = y + h;
    if (m_hWnd)
        ::MoveWindow(m_hWnd, m_rcDialog.left, m_rcDialog.top, m_rcDialog.right - m_rcDialog.left, h,
                     FALSE);
}

void GCustomMessageBox::StartFadeOut() {
    m_bFadingOut = 1;
    m_nAlphaStep = kFadeOutStep;
    ::KillTimer(m_hWnd, kCustomBoxTimeoutTimer);
    ::SetTimer(m_hWnd, kCustomBoxFadeTimer, kCustomBoxFadeMs, nullptr);
}

void GCustomMessageBox::OnFadeTick(HWND hwnd) {
    m_nCurAlpha += m_nAlphaStep;
    if (!m_bFadingOut) {
        m_nAlphaStep += kFadeStepChange;
        if (m_nCurAlpha >= m_nPeakAlpha) {
            m_nCurAlpha = m_nPeakAlpha;
            ::KillTimer(hwnd, kCustomBoxFadeTimer);
        }
    } else {
        // The steps of a fade-out add up to more than 255, so it always reaches 0.
        m_nAlphaStep = std::min(m_nAlphaStep + kFadeStepChange, -kFadeStepChange);
        if (m_nCurAlpha <= 0) {
            m_nCurAlpha = 0;
            ::KillTimer(hwnd, kCustomBoxFadeTimer);
            m_bDone = 1;
        }
    }
    SetAlpha(m_nCurAlpha, 1);
}

LRESULT GCustomMessageBox::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kCustomBoxTimeoutTimer) {
                ::KillTimer(hwnd, kCustomBoxTimeoutTimer);
                const int answer = GetReturnValue();
                m_nResult = answer ? answer : 2;
                return m_nResult;
            }
            if (wParam == kCustomBoxFadeTimer) {
                OnFadeTick(hwnd);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            // Answered: the box is on its way out and takes nothing more.
            if (m_bFadingOut)
                return 0;
            break;
        default:
            break;
    }
    return GMessageBox::WndProc(hwnd, msg, wParam, lParam);
}

int GCustomMessageBox::RunLoop() {
    // Waits for messages instead of polling: the timers wake the loop for the fade steps and
    // the time-out, so an open box costs no processor time.
    MSG msg;
    while (!m_bDone) {
        if (!m_hWnd) {
            // Destroyed from outside: taken as cancelled.
            if (!m_nResult)
                m_nResult = 2;
            break;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the outer loop must see the quit too.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            if (!IsEndResult(m_nResult))
                m_nResult = 2;
            break;
        }
        if (msg.hwnd && msg.hwnd == m_hWnd) {
            WndProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            if (!m_bFadingOut && IsEndResult(m_nResult)) {
                if (m_bFade)
                    StartFadeOut();
                else
                    m_bDone = 1;
            }
            continue;
        }
        if (msg.message == WM_PAINT || (msg.hwnd && ::IsChild(m_hWnd, msg.hwnd))) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        // Input and everything else meant for other windows is dropped.
    }
    return m_nResult;
}

int GCustomMessageBox::DoMessageBox(HWND parent, LPCWSTR text, LPCWSTR caption, int style,
                                    int timeout, int position, int peakAlpha, int fade) {
    if (!text || !text[0])
        return -1;
    if (m_hWnd)
        return 0;
    GFontManager* fonts = AppFonts();
    if (HFONT body = fonts->GetFont(eFontNormal14))
        m_hFont = body;
    if (HFONT title = fonts->GetFont(eFontBold14))
        m_hTitleFont = title;
    SetTitle(1, caption, m_nTitleHeight);
    SetMessage(text);
    m_nButtonSet = style;
    m_nStyle = style;
    m_nTimeoutMs = timeout;
    // The toolkit's box restarts the time-out after a release that does not answer it.
    m_nTimeout = timeout > 0 ? timeout : 0;
    m_nPosition = position;
    // An opacity outside 1-255 would leave the box unseen: such a box is opaque.
    m_nPeakAlpha = peakAlpha >= 1 && peakAlpha <= 255 ? peakAlpha : 255;
    m_bFade = fade != 0;
    m_nCurAlpha = m_bFade ? std::min(kFadeStartAlpha, m_nPeakAlpha) : m_nPeakAlpha;
    m_nAlphaStep = 5;
    m_bFadingOut = 0;
    m_bDone = 0;
    m_nResult = 0;
    m_bPenDown = 0;

    const HWND previousFocus = ::GetFocus();
    if (!GAnimateWnd::Create(parent, u"Scribbo", WS_POPUP, 0, 0, 0, 0, nullptr, 0))
        return 0;
    SetAlpha(m_nCurAlpha, 0);
    RecalcDialog(parent);
    ::GetWindowRect(m_hWnd, &m_rcWindow);
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    Invalidate(0);
    // Shown without activation; the keys must still come here.
    Reactivate();
    m_bKeyValid = GetValidKeyState();
    if (timeout > 0)
        ::SetTimer(m_hWnd, kCustomBoxTimeoutTimer, static_cast<UINT>(timeout), nullptr);
    if (m_bFade)
        ::SetTimer(m_hWnd, kCustomBoxFadeTimer, kCustomBoxFadeMs, nullptr);

    const int result = RunLoop();
    if (m_hWnd) {
        ::KillTimer(m_hWnd, kCustomBoxTimeoutTimer);
        ::KillTimer(m_hWnd, kCustomBoxFadeTimer);
    }
    EndModal();
    if (previousFocus && ::IsWindow(previousFocus))
        ::SetFocus(previousFocus);
    if (parent && ::IsWindow(parent)) {
        RECT covered = m_rcWindow;
        ::ScreenToClient(parent, reinterpret_cast<POINT*>(&covered.left));
        ::ScreenToClient(parent, reinterpret_cast<POINT*>(&covered.right));
        ::InvalidateRect(parent, &covered, FALSE);
    }
    return result;
}

int AppMessageBox(HWND parent, LPCWSTR text, LPCWSTR caption, int style, int timeout, int position,
                  int peakAlpha, int fade) {
    if (!text || !text[0])
        return -1;
    GCustomMessageBox box;
    return box.DoMessageBox(parent, text, caption, style, timeout, position, peakAlpha, fade);
}
