// The title view's messages: the pen, the keys, the context menu and the unlock prompt.
#include "scribbo/GTitleView.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "FolderPassword.h"
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/LanguageText.h"

#include "fundo/WaitCursor.h"
#include "winza/GMenu.h"
#include "winza/GRecognizeCursor.h"
#include "winza/Hires.h"

#include <cstdlib>

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{short(LOWORD(lParam)), short(HIWORD(lParam))};
}

// Enter held this long counts as a hold, as the pen's gesture does.
constexpr DWORD kEnterHoldMs =
    GRecognizeCursor::kWaitMs + GRecognizeCursor::kDotCount * GRecognizeCursor::kStepMs;

} // namespace

LRESULT GTitleView::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_SIZE: {
            const LRESULT r = Winza::WndProc(hwnd, msg, wParam, lParam);
            StopPreview();
            Recalc(1);
            return r;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_CONTEXTMENU:
            return OnContextMenu(lParam);
        case WM_KEYDOWN:
            return OnKeyDown(wParam);
        case WM_KEYUP:
            return OnKeyUp(wParam);
        case WM_TIMER:
            if (wParam == kUnlockTimer) {
                ::KillTimer(hwnd, kUnlockTimer);
                OnUnlockTimer();
                return 0;
            }
            return Winza::WndProc(hwnd, msg, wParam, lParam);
        case WM_VSCROLL:
            Invalidate(0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A second tap soon after the first is a tap all the same.
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_RBUTTONDOWN: {
            StopPreview();
            const POINT pt = PointOf(lParam);
            const int index = HitTest(pt);
            if (index < 0)
                return 0;
            if (!IsSelected(index))
                SelectOnly(index);
            POINT screen = pt;
            ClientToScreen(&screen);
            ::PostMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(screen.x, screen.y));
            return 0;
        }
        case WM_MOUSEWHEEL:
            ScrollByWheel(short(HIWORD(wParam)));
            return 0;
        case UM_FOLDERCHANGED:
            OnFolderChanged();
            return 0;
        case UM_COPYMEMOS:
        case UM_MOVEMEMOS:
            CopyOrMoveSelected(reinterpret_cast<LPCWSTR>(lParam), msg == UM_MOVEMEMOS);
            return 0;
        case UM_DATELISTCHANGED:
            OnDateChanged();
            return 0;
        case UM_PREVIEWREADY:
            if (wParam == kPreviewsDone)
                EndWaitCursor();
            else
                RedrawEntry(int(wParam));
            return 0;
        case UM_MEMOSAVED:
            OnMemoSaved(int(wParam), reinterpret_cast<LPCWSTR>(lParam));
            return 0;
        case UM_MEMOEMPTY:
            OnMemoEmpty(reinterpret_cast<LPCWSTR>(lParam));
            return 0;
        default:
            return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT GTitleView::OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Winza::OnCreate(hwnd, msg, wParam, lParam);
    m_scroll.Create(this, 1, ScaleToButton(IsHires() ? 26 : 13), nullptr, 15);
    ::ShowWindow(m_scroll, SW_HIDE);
    m_bScrollShown = 0;
    Recalc(0);
    return 0;
}

LRESULT GTitleView::OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    StopPreview();
    ::KillTimer(hwnd, kUnlockTimer);
    m_entries.clear();
    m_selection.clear();
    return Winza::OnDestroy(hwnd, msg, wParam, lParam);
}

// ---- Pen --------------------------------------------------------------------------------------

LRESULT GTitleView::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    const int index = HitTest(pt);
    if (index < 0) {
        m_selection.clear();
        m_nAnchor = -1;
        Invalidate(0);
        return 0;
    }
    const RECT mark = GetMarkRect(index);
    if (::PtInRect(&mark, pt)) {
        ToggleMark(index);
        return 0;
    }
    StopPreview();
    m_nAnchor = index;
    if (!IsSelected(index))
        SelectOnly(index);
    ::SetFocus(hwnd);
    ::SetCapture(hwnd);
    m_bPenDown = 1;
    // The list shows the new selection before the hold is timed.
    ::UpdateWindow(hwnd);
    if (RecognizeGesture(pt, 4)) {
        m_bPenDown = 0;
        if (::GetCapture() == hwnd)
            ::ReleaseCapture();
        POINT screen = pt;
        ClientToScreen(&screen);
        ::PostMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(screen.x, screen.y));
    }
    return 0;
}

LRESULT GTitleView::OnMouseMove(HWND, UINT, WPARAM, LPARAM lParam) {
    if (!m_bPenDown)
        return 0;
    // Dragging selects the range from the anchor.
    const int index = HitTest(PointOf(lParam));
    if (index >= 0 && m_nAnchor >= 0 &&
        !(m_selection.size() == size_t(std::abs(index - m_nAnchor) + 1) && IsSelected(index)))
        SetRangeSelection(m_nAnchor, index);
    return 0;
}

LRESULT GTitleView::OnLbuttonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (!m_bPenDown)
        return 0;
    m_bPenDown = 0;
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    const int index = HitTest(PointOf(lParam));
    if (m_selection.size() == 1 && index == m_nAnchor) {
        OpenEntry(index);
        return 0;
    }
    if (index >= 0)
        SetRangeSelection(m_nAnchor, index);
    return 0;
}

// ---- Keys -------------------------------------------------------------------------------------

LRESULT GTitleView::OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_RETURN:
            if (!m_bEnterPressed) {
                m_bEnterPressed = 1;
                m_bEnterHeld = 0;
                m_dwEnterDown = ::GetTickCount();
            } else if (!m_bEnterHeld && ::GetTickCount() - m_dwEnterDown >= kEnterHoldMs &&
                       !m_selection.empty()) {
                m_bEnterHeld = 1;
                const RECT r = GetItemRect(m_nAnchor >= 0 ? m_nAnchor : m_selection[0]);
                POINT screen{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                ClientToScreen(&screen);
                ::PostMessageW(m_hWnd, WM_CONTEXTMENU, WPARAM(m_hWnd),
                               MAKELPARAM(screen.x, screen.y));
            }
            return 0;
        case VK_UP:
            MoveSelection(-GetColumns());
            return 0;
        case VK_DOWN:
            MoveSelection(GetColumns());
            return 0;
        case VK_LEFT:
            MoveSelection(-1);
            return 0;
        case VK_RIGHT:
            MoveSelection(1);
            return 0;
        default:
            return 0;
    }
}

LRESULT GTitleView::OnKeyUp(WPARAM key) {
    if (key != VK_RETURN)
        return 0;
    const int held = m_bEnterHeld;
    const int pressed = m_bEnterPressed;
    m_bEnterPressed = 0;
    m_bEnterHeld = 0;
    if (pressed && !held && m_selection.size() == 1)
        OpenEntry(m_selection[0]);
    return 0;
}

// ---- Context menu -----------------------------------------------------------------------------

LRESULT GTitleView::OnContextMenu(LPARAM lParam) {
    if (m_selection.empty())
        return 0;
    StopPreview();
    GMenu menu;
    if (!menu.CreateMenu(m_hWnd, this))
        return 0;
    static const int ids[] = {ID_TITLE_DELETE, ID_TITLE_DUPLICATE, ID_TITLE_COPY, ID_TITLE_MOVE};
    for (int i = 0; i < 4; ++i)
        menu.AppendMenuW(ids[i], GetLangText(45 + i));
    const POINT at = PointOf(lParam);
    const int id = menu.TrackPopupGMenu(0, at.x, at.y, 0);
    menu.DestroyMenu();
    switch (id) {
        case ID_TITLE_DELETE:
            DeleteSelected(1);
            break;
        case ID_TITLE_DUPLICATE:
            DuplicateSelected();
            break;
        case ID_TITLE_COPY:
        case ID_TITLE_MOVE:
            if (m_pFolderBar)
                m_pFolderBar->StartPick(id == ID_TITLE_COPY ? 3 : 4);
            break;
        default:
            Invalidate(0);
            break;
    }
    return 0;
}

// ---- Unlock prompt ----------------------------------------------------------------------------

void GTitleView::OnUnlockTimer() {
    if (!m_bLocked || m_nNaviMode != eNaviFolder)
        return;
    RECT strip{0, 0, Width(), ApplyHires(25)};
    ClientToScreen(&strip);
    const HWND self = m_hWnd;
    if (!AskFolderPassword(self, strip, [self](int text) { ShowUnlockNotice(self, text); }))
        return;
    if (m_pFolderBar)
        m_pFolderBar->Unlock();
    m_bLocked = 0;
    ListFolder(m_szFolder);
}
