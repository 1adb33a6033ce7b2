#include "winza/GToolBar.h"
#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"
#include "winza/WinzaUtil.h"

namespace {

// A pre-translate chain longer than this is taken for a loop.
constexpr int kMaxForward = 16;

} // namespace

GToolBar::~GToolBar() {
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        delete static_cast<GVButton*>(m_arButtons.GetAt(i));
    m_arButtons.RemoveAll();
    FreeImageList();
}

void GToolBar::FreeImageList() {
    if (m_bOwnImageList)
        delete m_pImageList;
    m_pImageList = nullptr;
    m_bOwnImageList = 0;
}

int GToolBar::CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) {
    if (!GBar::CreateBar(parent, owner, rect, type))
        return 0;
    UpdateAllButton(0);
    return 1;
}

void GToolBar::MoveBar(RECT rect, int redraw) {
    if (m_hWnd)
        ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     FALSE);
    UpdateAllButton(redraw);
}

GVButton* GToolBar::GetButtonAt(int index) const {
    return static_cast<GVButton*>(m_arButtons.GetAt(index));
}

GVButton* GToolBar::GetButton(int id) const {
    for (int i = 0; i < m_arButtons.GetSize(); ++i) {
        GVButton* b = GetButtonAt(i);
        if (b && b->GetID() == id)
            return b;
    }
    return nullptr;
}

void GToolBar::PlaceButton(GVButton* b) {
    b->SetIconDefault(m_pImageList);
    if (!b->GetFlag(eVBVisible))
        return;
    const RECT& bar = m_rcClient;
    RECT rc;
    if (m_eBarType == eGBarVertical) {
        if (b->GetID() == kSeparatorId) {
            // Across a vertical bar the separator line runs horizontally.
            b->SetFlag(0, eVBSeparator, nullptr, 0);
            rc = RECT{bar.left + 2, m_nNextPos + m_nSpacing, bar.right - 2,
                      m_nNextPos + m_nSpacing + 1 + (IsHires() ? 1 : 0)};
        } else {
            const int h = m_nButtonHeight + (b->GetFlag(eVBDropDown) ? ApplyHires(11) : 0);
            const int x = bar.left + (bar.right - bar.left - m_nButtonWidth) / 2;
            rc = RECT{x, m_nNextPos, x + m_nButtonWidth, m_nNextPos + h};
        }
        b->SetRect(rc);
        m_nNextPos = rc.bottom + m_nSpacing;
    } else {
        if (b->GetID() == kSeparatorId) {
            b->SetFlag(1, eVBSeparator, nullptr, 0);
            rc = RECT{m_nNextPos + m_nSpacing, bar.top + 2,
                      m_nNextPos + m_nSpacing + 1 + (IsHires() ? 1 : 0), bar.bottom - 2};
        } else {
            const int w = m_nButtonWidth + (b->GetFlag(eVBDropDown) ? ApplyHires(11) : 0);
            const int y = bar.top + (bar.bottom - bar.top - m_nButtonHeight) / 2;
            rc = RECT{m_nNextPos, y, m_nNextPos + w, y + m_nButtonHeight};
        }
        b->SetRect(rc);
        m_nNextPos = rc.right + m_nSpacing;
    }
}

void GToolBar::UpdateAllButton(int redraw) {
    m_nNextPos = m_nFirstOffset;
    // Hidden buttons get the list too, so none keeps a list this bar has let go of.
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        if (GVButton* b = GetButtonAt(i))
            PlaceButton(b);
    if (redraw)
        Invalidate(0);
}

int GToolBar::SetButtonSize(int cx, int cy, int force) {
    if (cx > Width() || cy > Height())
        return 0;
    const int changed = cx != m_nButtonWidth || cy != m_nButtonHeight;
    m_nButtonWidth = cx;
    m_nButtonHeight = cy;
    if (changed || force)
        UpdateAllButton(1);
    return 1;
}

int GToolBar::SetButtonImage(GImageList* list, int copy) {
    GImageList* next = list;
    if (copy && list) {
        next = new GImageList;
        if (!next->CopyImageList(list)) {
            delete next;
            next = nullptr;
        }
    }
    if (next != m_pImageList)
        FreeImageList();
    m_pImageList = next;
    m_bOwnImageList = copy && next;
    if (m_pImageList && (m_nButtonWidth <= 0 || m_nButtonHeight <= 0)) {
        const int cw = m_pImageList->GetItemWidth();
        const int ch = m_pImageList->GetItemHeight();
        m_nButtonWidth = cw + cw * 7 / 16;
        m_nButtonHeight = ch + cw * 6 / 16;
    }
    UpdateAllButton(1);
    return m_pImageList && m_pImageList->GetSafeHandle() ? 1 : 0;
}

GVButton* GToolBar::AddButton(int id, int image, int visible, int enabled, int checked) {
    GVButton* b = new GVButton(id, image);
    b->SetFlag(visible, eVBVisible, nullptr, 0);
    b->SetFlag(enabled, eVBEnabled, nullptr, 0);
    b->SetFlag(checked, eVBChecked, nullptr, 0);
    if (m_arButtons.Add(b) < 0) {
        delete b;
        return nullptr;
    }
    PlaceButton(b);
    return b;
}

void GToolBar::SetEnable(int id, int on) {
    if (GVButton* b = GetButton(id))
        b->SetFlag(on, eVBEnabled, m_hDC, 1);
}

int GToolBar::GetEnable(int id) const {
    const GVButton* b = GetButton(id);
    return b ? b->GetFlag(eVBEnabled) : 0;
}

void GToolBar::SetCheck(int id, int on) {
    if (GVButton* b = GetButton(id))
        b->SetFlag(on, eVBChecked, m_hDC, 1);
}

int GToolBar::GetCheck(int id) const {
    const GVButton* b = GetButton(id);
    return b ? b->GetFlag(eVBChecked) : 0;
}

void GToolBar::ShowButton(int id, int on) {
    GVButton* b = GetButton(id);
    if (!b || b->GetFlag(eVBVisible) == (on != 0))
        return;
    // The buttons after it move, and a hidden one would leave its picture behind, so the
    // whole bar is laid out and painted again.
    b->SetFlag(on, eVBVisible, nullptr, 0);
    UpdateAllButton(1);
}

int GToolBar::IsButtonVisible(int id) const {
    const GVButton* b = GetButton(id);
    return b ? b->GetFlag(eVBVisible) : 0;
}

void GToolBar::Draw(HDC hdc, RECT clip) {
    RECT rc = m_rcClient;
    FrameRect(hdc, &rc, GetGLibColor(eColorToolBarEdge), GetGLibColor(eColorToolBarEdge),
              GetGLibColor(eColorBarBack), ApplyHires(1), m_nFrameFlag);
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        if (GVButton* b = GetButtonAt(i))
            b->Draw(hdc, clip);
}

void GToolBar::ForwardCommand(WPARAM wParam) {
    Winza* receiver = m_pOwner;
    const LPARAM from = reinterpret_cast<LPARAM>(m_hWnd);
    for (int n = 0; receiver && n < kMaxForward; ++n) {
        // The next one is known by its window before the send: a receiver may delete itself
        // in answer, and the next is then found again only if its window still stands.
        Winza* next = GetPreTranslateWindow(receiver);
        HWND nextWnd = next && next != receiver ? next->GetSafeHwnd() : nullptr;
        if (HWND target = receiver->GetSafeHwnd())
            ::SendMessageW(target, WM_COMMAND, wParam, from);
        if (!nextWnd)
            break;
        receiver = Winza::FromHandle(nextWnd);
    }
}

LRESULT GToolBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN: {
            if (!InClient(lParam))
                return 0;
            const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m_bPenDown = 1;
            // The release must come back here even when the pen leaves the bar.
            ::SetCapture(hwnd);
            for (int i = 0; i < m_arButtons.GetSize(); ++i)
                if (GVButton* b = GetButtonAt(i))
                    b->OnLbuttonDown(hwnd, m_hDC, pt);
            return 0;
        }
        case WM_LBUTTONUP: {
            const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m_bPenDown = 0;
            if (::GetCapture() == hwnd)
                ::ReleaseCapture();
            m_bReleasing = 1;
            m_pendingClick = 0;
            for (int i = 0; i < m_arButtons.GetSize(); ++i)
                if (GVButton* b = GetButtonAt(i))
                    b->OnLbuttonUp(hwnd, m_hDC, pt);
            m_bReleasing = 0;
            if (const WPARAM click = m_pendingClick) {
                m_pendingClick = 0;
                // Last: nothing of the bar is touched after this.
                ForwardCommand(click);
            }
            return 0;
        }
        case WM_MOUSEMOVE: {
            const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (InClient(lParam) || m_bPenDown) {
                for (int i = 0; i < m_arButtons.GetSize(); ++i)
                    if (GVButton* b = GetButtonAt(i))
                        b->OnMouseMove(hwnd, m_hDC, pt, m_bPenDown);
            } else {
                for (int i = 0; i < m_arButtons.GetSize(); ++i)
                    if (GVButton* b = GetButtonAt(i))
                        b->SetFlag(0, eVBHover, m_hDC, 1);
            }
            return 0;
        }
        case WM_TIMER:
            for (int i = 0; i < m_arButtons.GetSize(); ++i)
                if (GVButton* b = GetButtonAt(i))
                    b->OnTimer(hwnd, static_cast<int>(wParam));
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == eVBCodeClick) {
                if (m_bReleasing)
                    m_pendingClick = wParam;
                else
                    ForwardCommand(wParam);
                return 0;
            }
            return GBar::WndProc(hwnd, msg, wParam, lParam);
        default:
            return GBar::WndProc(hwnd, msg, wParam, lParam);
    }
}
