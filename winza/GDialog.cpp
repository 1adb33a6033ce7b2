// The dialog's buttons, its modal loop, layout and input; painting is in GDialogDraw.cpp.
#include "winza/GDialog.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"
#include "winza/GVSpinButton.h"
#include "winza/WinzaUtil.h"

#include <cstring>

namespace {

// Posted to itself when the focus went outside, to take it back after the focus change.
constexpr UINT kMsgReactivate = WM_USER + 0x3A1;

// The dialog's own windows take input while it runs: its children and the pop-ups it owns (a
// preview, a drop-down), with theirs. GetParent climbs from a child to its parent and from a
// pop-up to its owner.
bool IsPartOfDialog(HWND dialog, HWND hwnd) {
    for (HWND w = hwnd; w; w = ::GetParent(w))
        if (w == dialog)
            return true;
    return false;
}

} // namespace

GDialog::GDialog()
    : m_pButtons(&m_arButtons), m_nButtonHeight(ApplyHires(28)), m_nTitleHeight(ApplyHires(26)),
      m_hTitleFont(GetGlobalFontBold()), m_pDlgFrame(GetGlobalDlgFrame()),
      m_pBtnFrame(GetGlobalBtnFrame()) {
    m_hFont = GetGlobalFontDef();
}

GDialog::~GDialog() {
    if (m_hWnd)
        Destroy();
    DeleteButtons();
    delete[] m_pTitle;
}

void GDialog::DeleteButtons() {
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        delete static_cast<GVButton*>(m_arButtons.GetAt(i));
    m_arButtons.RemoveAll();
    m_nFocus = -1;
}

int GDialog::OnOK() {
    m_nResult = 1;
    return 1;
}

int GDialog::OnCancel() {
    m_nResult = 2;
    return 2;
}

void GDialog::SetTitle(int show, LPCWSTR text, int height) {
    m_bTitle = show;
    m_nTitleHeight = height;
    delete[] m_pTitle;
    m_pTitle = nullptr;
    if (show && text && text[0]) {
        const size_t n = std::char_traits<char16_t>::length(text);
        m_pTitle = new WCHAR[n + 1];
        std::memcpy(m_pTitle, text, (n + 1) * sizeof(WCHAR));
    }
}

void GDialog::SetDibDlgFrame(GDib* frame, int redraw) {
    m_pDlgFrame = frame;
    if (redraw)
        Invalidate(0);
}

void GDialog::SetDibBtnFrame(GDib* frame, int redraw) {
    m_pBtnFrame = frame;
    for (int i = 0; i < GetButtonCount(); ++i)
        if (GVButton* b = GetButtonAt(i))
            b->SetFrameImage(frame);
    if (redraw)
        Invalidate(0);
}

GVButton* GDialog::GetButtonAt(int index) const {
    return m_pButtons ? static_cast<GVButton*>(m_pButtons->GetAt(index)) : nullptr;
}

int GDialog::IndexOf(int id) const {
    for (int i = 0; i < GetButtonCount(); ++i)
        if (GVButton* b = GetButtonAt(i); b && b->GetID() == id)
            return i;
    return -1;
}

GVButton* GDialog::FindVButton(int id) {
    return GetButtonAt(IndexOf(id));
}

GVButton* GDialog::AddVButton(int id, int image, int type) {
    if (!m_pButtons)
        return nullptr;
    if (GVButton* existing = FindVButton(id))
        return existing;
    GVButton* b = type == kDialogSpinButton ? new GVSpinButton(id, image) : new GVButton(id, image);
    b->SetFrameImage(m_pBtnFrame);
    if (m_pButtons->Add(b) < 0) {
        delete b;
        return nullptr;
    }
    return b;
}

void GDialog::RemoveVButton(GVButton* button) {
    if (!m_pButtons || !button)
        return;
    for (int i = 0; i < m_pButtons->GetSize(); ++i) {
        if (m_pButtons->GetAt(i) != button)
            continue;
        m_pButtons->RemoveAt(i);
        if (m_nFocus == i)
            m_nFocus = -1;
        else if (m_nFocus > i)
            --m_nFocus;
        delete button;
        return;
    }
}

int GDialog::GetReturnValue() {
    GVButton* b = GetButtonAt(m_nFocus);
    return b ? b->GetID() : 0;
}

void GDialog::RadioRun(int index, int* first, int* last) const {
    *first = *last = index;
    while (*first > 0 && GetButtonAt(*first - 1)->GetFlag(eVBRadio))
        --*first;
    while (*last + 1 < GetButtonCount() && GetButtonAt(*last + 1)->GetFlag(eVBRadio))
        ++*last;
}

int GDialog::GetRadioSelect(int id) {
    const int index = IndexOf(id);
    GVButton* self = GetButtonAt(index);
    if (!self || !self->GetFlag(eVBRadio))
        return -1;
    if (self->GetFlag(eVBChecked))
        return id;
    int first = 0, last = 0;
    RadioRun(index, &first, &last);
    for (int i = index - 1; i >= first; --i)
        if (GetButtonAt(i)->GetFlag(eVBChecked))
            return GetButtonAt(i)->GetID();
    for (int i = index + 1; i <= last; ++i)
        if (GetButtonAt(i)->GetFlag(eVBChecked))
            return GetButtonAt(i)->GetID();
    return -1;
}

int GDialog::SetRadioSelect(int id, int redraw) {
    int index = -1;
    for (int i = 0; i < GetButtonCount(); ++i)
        if (GVButton* b = GetButtonAt(i); b->GetID() == id && b->GetFlag(eVBRadio)) {
            index = i;
            break;
        }
    if (index < 0)
        return 0;
    int first = 0, last = 0;
    RadioRun(index, &first, &last);
    RECT area = GetButtonAt(index)->GetRect();
    for (int i = first; i <= last; ++i) {
        GVButton* b = GetButtonAt(i);
        b->SetFlag(i == index, eVBChecked, nullptr, 0);
        const RECT rc = b->GetRect();
        ::UnionRect(&area, &area, &rc);
    }
    if (redraw)
        InvalidateRect(&area, 0);
    return 1;
}

void GDialog::SetFocusIndex(int index, int redraw) {
    for (int i = 0; i < GetButtonCount(); ++i)
        GetButtonAt(i)->SetFlag(i == index, eVBFocus, nullptr, 0);
    m_nFocus = GetButtonAt(index) ? index : -1;
    if (redraw)
        Invalidate(0);
}

void GDialog::InvalidateButton(const GVButton* button) {
    if (!button)
        return;
    const RECT rc = button->GetRect();
    InvalidateRect(&rc, 0);
}

// ---- Modal loop and layout ----------------------------------------------------------------

void GDialog::RecalcDialog(HWND) {
    const int extra = ApplyHires(1);
    RECT rc{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) + extra};
    // A task bar put away for a full-screen window leaves the whole screen to the dialog, so
    // nothing of that window shows around it.
    HWND bar = ::FindWindowW(u"HHTaskbar", nullptr);
    if (bar && ::IsWindowVisible(bar)) {
        RECT tb;
        if (::GetWindowRect(bar, &tb) && tb.bottom - tb.top > 0) {
            rc.top = tb.bottom - extra;
            rc.bottom -= tb.bottom - tb.top;
        }
    }
    m_rcDialog = rc;
    RecalcControl();
    if (!m_hWnd)
        return;
    ::MoveWindow(m_hWnd, m_rcDialog.left, m_rcDialog.top, m_rcDialog.right - m_rcDialog.left,
                 m_rcDialog.bottom - m_rcDialog.top, FALSE);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void GDialog::RecalcControl() {}

void GDialog::Reactivate() {
    if (!m_hWnd || !::IsWindowVisible(m_hWnd) || m_bActivating)
        return;
    m_bActivating = 1;
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    m_bActivating = 0;
}

void GDialog::EndModal() {
    if (!m_hWnd)
        return;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    ::ShowWindow(m_hWnd, SW_HIDE);
    Destroy();
}

int GDialog::DoModal(HWND parent, int) {
    if (m_hWnd)
        return 0;
    m_nResult = 0;
    m_bPenDown = 0;
    const HWND previousFocus = ::GetFocus();
    if (!Create(parent, u"GDialog", WS_POPUP, 0, 0, 0, 0, nullptr, 0))
        return 0;
    RecalcDialog(parent);
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    Invalidate(0);
    // Shown without activation; the keys must still come here.
    Reactivate();
    m_bKeyValid = GetValidKeyState();
    m_bEscapeDown = 0;

    MSG msg;
    while (!IsEndResult(m_nResult)) {
        if (!m_hWnd) {
            // Destroyed from outside: treated as cancelled.
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
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) &&
            msg.hwnd && !IsPartOfDialog(m_hWnd, msg.hwnd) &&
            !IsPartOfDialog(m_hWnd, ::GetFocus())) {
            // The focus went astray (to a window outside, or to none): the keys are the
            // dialog's, and so is the focus again.
            Reactivate();
            if (const HWND focus = ::GetFocus(); focus && IsPartOfDialog(m_hWnd, focus))
                msg.hwnd = focus;
        }
        if (msg.hwnd && msg.hwnd == m_hWnd) {
            // Straight to the dialog, untranslated. The handlers that end it (a click on OK or
            // Cancel, Escape, a time-out) store the result the loop then sees.
            WndProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            continue;
        }
        if (msg.message == WM_PAINT || (msg.hwnd && IsPartOfDialog(m_hWnd, msg.hwnd))) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        // Input and everything else meant for other windows is dropped.
    }
    const int result = m_nResult;
    EndModal();
    if (previousFocus && ::IsWindow(previousFocus))
        ::SetFocus(previousFocus);
    return result;
}

// ---- Input ----------------------------------------------------------------------------------

LRESULT GDialog::OnPenDown(HWND hwnd, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_bPenDown = 1;
    // The release must come back here even when the pen leaves the dialog.
    ::SetCapture(hwnd);
    int tracking = -1;
    for (int i = 0; i < GetButtonCount(); ++i) {
        GVButton* b = GetButtonAt(i);
        const int before = b->GetFlag(eVBTracking);
        b->OnLbuttonDown(hwnd, nullptr, pt);
        if (!before && b->GetFlag(eVBTracking))
            tracking = i;
    }
    // A tap beside every button leaves the keyboard focus where it was.
    if (tracking >= 0)
        SetFocusIndex(tracking, 0);
    Invalidate(0);
    return 0;
}

LRESULT GDialog::OnPenUp(HWND hwnd, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_bPenDown = 0;
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    for (int i = 0; i < GetButtonCount(); ++i)
        GetButtonAt(i)->OnLbuttonUp(hwnd, nullptr, pt);
    Invalidate(0);
    return m_nResult;
}

LRESULT GDialog::OnPenMove(HWND hwnd, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    int changed = 0;
    for (int i = 0; i < GetButtonCount(); ++i) {
        GVButton* b = GetButtonAt(i);
        const DWORD before = b->GetFlags();
        b->OnMouseMove(hwnd, nullptr, pt, m_bPenDown);
        changed |= before != b->GetFlags();
    }
    // Only a change of look is worth a repaint; moves come often.
    if (changed)
        Invalidate(0);
    return 0;
}

void GDialog::MoveFocus(int step) {
    const int n = GetButtonCount();
    if (n == 0)
        return;
    int index = m_nFocus;
    if (GVButton* old = GetButtonAt(m_nFocus)) {
        old->SetFlag(0, eVBPushed | eVBTracking | eVBFocus, nullptr, 0);
        InvalidateButton(old);
    }
    // Buttons that cannot be clicked are passed over.
    for (int tries = 0; tries < n; ++tries) {
        index = index < 0 ? (step > 0 ? 0 : n - 1) : (index + step + n) % n;
        if (GetButtonAt(index)->IsActive())
            break;
    }
    if (!GetButtonAt(index)->IsActive()) {
        m_nFocus = -1;
        return;
    }
    m_nFocus = index;
    GetButtonAt(index)->SetFlag(1, eVBFocus, nullptr, 0);
    Invalidate(0);
}

LRESULT GDialog::OnKeyDown(HWND, WPARAM key) {
    if (!m_bKeyValid)
        return 0;
    switch (key) {
        case VK_RETURN:
        case VK_SPACE:
            if (GVButton* b = GetButtonAt(m_nFocus); b && b->IsActive()) {
                b->SetFlag(1, eVBPushed | eVBTracking, nullptr, 0);
                InvalidateButton(b);
            }
            break;
        case VK_LEFT:
        case VK_UP:
            MoveFocus(-1);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            MoveFocus(1);
            break;
        case VK_ESCAPE:
            m_bEscapeDown = 1;
            break;
        default:
            break;
    }
    return 0;
}

LRESULT GDialog::OnKeyUp(HWND hwnd, WPARAM key) {
    if (!m_bKeyValid) {
        // The key that was down when the dialog opened is released: nothing else happens.
        m_bKeyValid = 1;
        return 0;
    }
    switch (key) {
        case VK_RETURN:
        case VK_SPACE: {
            GVButton* b = GetButtonAt(m_nFocus);
            if (!b)
                return 0;
            const int clicked = b->GetFlag(eVBTracking) && b->IsActive();
            b->SetFlag(0, eVBPushed | eVBTracking | eVBFocus, nullptr, 0);
            b->SetFlag(1, eVBFocus, nullptr, 0);
            InvalidateButton(b);
            // The same click a tap gives.
            if (clicked)
                ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(b->GetID(), eVBCodeClick),
                               reinterpret_cast<LPARAM>(b));
            return m_nResult;
        }
        case VK_ESCAPE:
            if (!m_bEscapeDown)
                return 0;
            m_bEscapeDown = 0;
            return OnCancel();
        default:
            return 0;
    }
}

LRESULT GDialog::OnButtonCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (id == 1)
        return OnOK();
    if (id == 2)
        return OnCancel();
    // Radio and check-box looks change state on their own click.
    GVButton* b = reinterpret_cast<GVButton*>(lParam);
    if (b && FindVButton(b->GetID()) == b) {
        if (b->GetFlag(eVBRadio))
            SetRadioSelect(b->GetID(), 1);
        else if (b->GetFlag(eVBCheckBox))
            b->SetFlag(!b->GetFlag(eVBChecked), eVBChecked, nullptr, 0);
    }
    return GAnimateWnd::WndProc(hwnd, WM_COMMAND, wParam, lParam);
}

LRESULT GDialog::OnWindowPosChanged(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos && !(pos->flags & SWP_NOACTIVATE) && ::IsWindowVisible(hwnd)) {
        Invalidate(0);
        Reactivate();
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT GDialog::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KILLFOCUS: {
            // A tap on a window outside activates it before the loop drops the tap; the keys
            // must keep coming here.
            const HWND to = reinterpret_cast<HWND>(wParam);
            if (to != hwnd && !(to && ::IsChild(hwnd, to)))
                ::PostMessageW(hwnd, kMsgReactivate, 0, 0);
            return 0;
        }
        case kMsgReactivate:
            if (::GetFocus() != hwnd && !::IsChild(hwnd, ::GetFocus()))
                Reactivate();
            return 0;
        case WM_WINDOWPOSCHANGED:
            return OnWindowPosChanged(hwnd, msg, wParam, lParam);
        case WM_KEYDOWN:
            return OnKeyDown(hwnd, wParam);
        case WM_KEYUP:
            return OnKeyUp(hwnd, wParam);
        case WM_COMMAND:
            if (HIWORD(wParam) == eVBCodeClick)
                return OnButtonCommand(hwnd, wParam, lParam);
            break;
        case WM_TIMER:
            for (int i = 0; i < GetButtonCount(); ++i)
                GetButtonAt(i)->OnTimer(hwnd, static_cast<int>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            return OnPenDown(hwnd, lParam);
        case WM_LBUTTONUP:
            return OnPenUp(hwnd, lParam);
        case WM_MOUSEMOVE:
            return OnPenMove(hwnd, lParam);
        default:
            break;
    }
    return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
}
