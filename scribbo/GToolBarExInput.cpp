// The pen on the application's tool bar: taps click items; a drag over a level below the top
// is a stroke preview or a return to the level above; a sideways drag from the selected pen
// preset changes its width.
#include "scribbo/GToolBarEx.h"

#include "fundo/FixedPoint.h"
#include "fundo/GeoRect.h"
#include "inkra/InkraMan.h"
#include "scribbo/App.h"
#include "winza/GLib.h"

#include <algorithm>
#include <cmath>

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

GToolButton* GToolBarEx::HitItem(POINT pt) const {
    for (int i = 0; i < m_arButtons.GetSize(); ++i) {
        auto* item = static_cast<GToolButton*>(m_arButtons.GetAt(i));
        const RECT rc = item->GetRect();
        if (item->IsActive() && pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top &&
            pt.y < rc.bottom)
            return item;
    }
    return nullptr;
}

LRESULT GToolBarEx::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            return OnPenDown(hwnd, lParam);
        case WM_MOUSEMOVE:
            return OnPenMove(hwnd, wParam, lParam);
        case WM_LBUTTONUP:
            return OnPenUp(hwnd, lParam);
        case WM_TIMER:
            if (wParam == kToolBarPreviewTimer) {
                EndPreview();
                return 0;
            }
            break;
        default:
            break;
    }
    return GToolBar::WndProc(hwnd, msg, wParam, lParam);
}

LRESULT GToolBarEx::OnPenDown(HWND hwnd, LPARAM lParam) {
    if (!InClient(lParam))
        return 0;
    // A preview still on show ends before the next press.
    if (m_bPreviewPending)
        EndPreview();
    const POINT pt = PointOf(lParam);
    m_bPenDown = 1;
    m_nGesture = eTBGestureNone;
    m_ptDown = pt;
    m_pPressed = HitItem(pt);
    ::SetCapture(hwnd);
    if (HWND parent = ::GetParent(hwnd))
        ::SendMessageW(parent, UM_TOOLBARPEN, reinterpret_cast<WPARAM>(hwnd), 0);
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        static_cast<GVButton*>(m_arButtons.GetAt(i))->OnLbuttonDown(hwnd, m_hDC, pt);
    return 0;
}

int GToolBarEx::ChooseGesture(POINT pt) const {
    const double dx = pt.x - m_ptDown.x;
    const double dy = pt.y - m_ptDown.y;
    if (std::max(std::fabs(dx), std::fabs(dy)) <= m_fGestureStart * ApplyHires(1))
        return eTBGestureNone;
    if (m_pSelected && m_pPressed == m_pSelected && IsShown(m_pSelected) &&
        std::fabs(dx) >= std::fabs(dy))
        return eTBGestureWidth;
    // On the top level a drag is only a press sliding over the items.
    if (!m_posLevel)
        return eTBGestureNone;
    if (std::fabs(dy) > std::fabs(dx))
        return eTBGestureLevelUp;
    return m_pPreview ? eTBGesturePreview : eTBGestureLevelUp;
}

void GToolBarEx::StartGesture(int gesture) {
    // The press becomes the gesture: no item may take it as a click.
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        static_cast<GVButton*>(m_arButtons.GetAt(i))->SetFlag(0, eVBPressState, m_hDC, 1);
    m_nGesture = gesture;
    if (gesture == eTBGestureWidth)
        m_fWidthAtDown = static_cast<double>(m_pSelected->GetPenWidth()) / FIXED_ONE;
    else if (gesture == eTBGesturePreview && !StartPreview())
        m_nGesture = eTBGestureLevelUp;
}

LRESULT GToolBarEx::OnPenMove(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!m_bPenDown)
        return GToolBar::WndProc(hwnd, WM_MOUSEMOVE, wParam, lParam);
    const POINT pt = PointOf(lParam);
    if (m_nGesture == eTBGestureNone) {
        const int gesture = ChooseGesture(pt);
        if (gesture == eTBGestureNone)
            return GToolBar::WndProc(hwnd, WM_MOUSEMOVE, wParam, lParam);
        StartGesture(gesture);
    }
    if (m_nGesture == eTBGestureWidth)
        ChangeWidth(pt);
    else if (m_nGesture == eTBGesturePreview)
        PreviewTo(hwnd, pt);
    return 0;
}

void GToolBarEx::ChangeWidth(POINT pt) {
    const int kind = m_pSelected->GetPenKind();
    const double travel = m_fWidthTravel * ApplyHires(1);
    const LONG width = SnapWidth(m_fWidthAtDown + (pt.x - m_ptDown.x) / travel, kind);
    if (width == m_pSelected->GetPenWidth())
        return;
    for (int i = 0; i < m_arButtons.GetSize(); ++i) {
        auto* item = static_cast<GToolButton*>(m_arButtons.GetAt(i));
        if (item->IsToolItem() && item->GetPenKind() == kind)
            item->SetPenWidth(width);
    }
    Invalidate(0);
    // The owner, and the windows it hands messages on to, apply the width at once.
    ForwardCommand(MAKEWPARAM(m_pSelected->GetID(), eVBCodeClick));
}

int GToolBarEx::StartPreview() {
    InkraMan* man = m_pPreview;
    // A stroke-delete preview would delete; it has nothing to show anyway.
    if (!man || !man->GetMemDC() || !man->GetCurPage() || man->IsTracking() ||
        man->GetDOStrokeType() == eDODelStroke)
        return 0;
    m_nPreviewObjects = man->GetCurPage()->GetTotalGDObjectNum();
    // The stroke is drawn over the bar as it looks now.
    const int w = std::min(Width(), man->Width());
    const int h = std::min(Height(), man->Height());
    ::BitBlt(man->GetMemDC(), 0, 0, w, h, m_hDC, 0, 0, SRCCOPY);
    ShowPreviewRect(man->LButtonDown(m_ptDown.x, m_ptDown.y, 255));
    return 1;
}

void GToolBarEx::PreviewTo(HWND hwnd, POINT pt) {
    tagRECT changed;
    RectSetEmpty(&changed);
    UINT count = 0;
    const UINT room = static_cast<UINT>(std::clamp(m_nTrackPoints, 0, 100));
    // Every sample since the last move, not only where the move message ended.
    if (!::GetMouseMovePoints(m_ptTrack, room, &count) || count == 0) {
        m_ptTrack[0] = POINT{pt.x, pt.y};
        ::ClientToScreen(hwnd, &m_ptTrack[0]);
        m_ptTrack[0].x *= static_cast<LONG>(m_fSampleScale);
        m_ptTrack[0].y *= static_cast<LONG>(m_fSampleScale);
        count = 1;
    }
    for (UINT i = 0; i < count; ++i) {
        POINT p{static_cast<LONG>(std::floor(m_ptTrack[i].x / m_fSampleScale)),
                static_cast<LONG>(std::floor(m_ptTrack[i].y / m_fSampleScale))};
        ::ScreenToClient(hwnd, &p);
        const tagRECT rc =
            m_pPreview->MouseMove(std::max<LONG>(0, p.x), std::max<LONG>(0, p.y), 255);
        RectUnion(&changed, &rc, &changed);
    }
    ShowPreviewRect(changed);
}

void GToolBarEx::ShowPreviewRect(tagRECT rc) {
    if (RectIsEmpty(&rc) || !m_pPreview)
        return;
    rc.left = std::max<LONG>(0, rc.left);
    rc.top = std::max<LONG>(0, rc.top);
    rc.right = std::min<LONG>({rc.right, Width(), m_pPreview->Width()});
    rc.bottom = std::min<LONG>({rc.bottom, Height(), m_pPreview->Height()});
    if (rc.right > rc.left && rc.bottom > rc.top)
        m_pPreview->DrawBuffer(m_hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void GToolBarEx::EndPreview() {
    if (m_hWnd)
        ::KillTimer(m_hWnd, kToolBarPreviewTimer);
    m_bPreviewPending = 0;
    if (InkraMan* man = m_pPreview) {
        // The preview's strokes leave the manager's page as they came.
        if (InkraPage* page = man->GetCurPage())
            while (page->GetTotalGDObjectNum() > m_nPreviewObjects)
                man->DeleteGDObject(page->GetGDObject(page->GetTotalGDObjectNum() - 1));
        tagRECT all{0, 0, man->Width(), man->Height()};
        man->UpdateBuffer(all);
    }
    // Back to the bar's own picture, one level up.
    if (!LevelUp(1))
        Invalidate(0);
    NotifyLevelUp();
}

void GToolBarEx::NotifyLevelUp() {
    if (HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr)
        ::SendMessageW(owner, UM_TOOLBARLEVELUP, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void GToolBarEx::TakeClick(WPARAM click) {
    const int id = LOWORD(click);
    GToolButton* item = m_pPressed && m_pPressed->GetID() == id ? m_pPressed : nullptr;
    if (!item || !IsShown(item))
        return;
    if (item->IsToolItem())
        SetSelectedItem(item, 1);
    if (HasChildren(item))
        ShowLevel(item->GetPosition());
}

LRESULT GToolBarEx::OnPenUp(HWND hwnd, LPARAM lParam) {
    if (!m_bPenDown)
        return GToolBar::WndProc(hwnd, WM_LBUTTONUP, 0, lParam);
    const POINT pt = PointOf(lParam);
    const int gesture = m_nGesture;
    m_nGesture = eTBGestureNone;
    m_bPenDown = 0;
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    if (HWND parent = ::GetParent(hwnd))
        ::SendMessageW(parent, UM_TOOLBARPEN, reinterpret_cast<WPARAM>(hwnd), 1);
    if (gesture == eTBGesturePreview) {
        ShowPreviewRect(
            m_pPreview->LButtonUp(std::max<LONG>(0, pt.x), std::max<LONG>(0, pt.y), 255));
        m_bPreviewPending = 1;
        ::SetTimer(hwnd, kToolBarPreviewTimer, kToolBarPreviewMs, nullptr);
        return 0;
    }
    if (gesture == eTBGestureLevelUp) {
        LevelUp(1);
        NotifyLevelUp();
        return 0;
    }
    if (gesture != eTBGestureNone)
        return 0;
    m_bReleasing = 1;
    m_pendingClick = 0;
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        static_cast<GVButton*>(m_arButtons.GetAt(i))->OnLbuttonUp(hwnd, m_hDC, pt);
    m_bReleasing = 0;
    if (const WPARAM click = m_pendingClick) {
        m_pendingClick = 0;
        TakeClick(click);
        // Last: the owner may delete the bar in answer.
        ForwardCommand(click);
    }
    return 0;
}
