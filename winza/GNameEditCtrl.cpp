#include "winza/GNameEditCtrl.h"

#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"

GNameEditCtrl::GNameEditCtrl()
    : m_nLeftOffset(ApplyHires(2)), m_nTopOffset(ApplyHires(2)), m_nRightOffset(ApplyHires(4)),
      m_nBottomOffset(ApplyHires(2)) {
    m_szName[0] = 0;
    m_szPassword[0] = 0;
}

GNameEditCtrl::~GNameEditCtrl() {
    m_edit.Destroy();
}

void GNameEditCtrl::SetFrameOffset(int left, int top, int right, int bottom) {
    m_nLeftOffset = left;
    m_nTopOffset = top;
    m_nRightOffset = right;
    m_nBottomOffset = bottom;
}

void GNameEditCtrl::SetName(LPCWSTR name) {
    lstrcpynW(m_szName, name ? name : u"", MAX_PATH);
}

void GNameEditCtrl::SetPassword(LPCWSTR password) {
    lstrcpynW(m_szPassword, password ? password : u"", MAX_PATH);
    m_bPasswordMode = m_szPassword[0] ? 1 : 0;
}

void GNameEditCtrl::RecalcDialog(HWND) {
    m_bEndedByKey = 0;
    m_rcDialog = m_rcWindow;
    if (!m_hWnd)
        return;
    const int w = m_rcWindow.right - m_rcWindow.left;
    const int h = m_rcWindow.bottom - m_rcWindow.top;
    ::MoveWindow(m_hWnd, m_rcWindow.left, m_rcWindow.top, w, h, FALSE);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::GetClientRect(m_hWnd, &m_rcClient);

    const int e = h - m_nTopOffset - m_nBottomOffset;
    const RECT field{m_nLeftOffset, m_nTopOffset, w - 2 * e - m_nRightOffset,
                     h - m_nBottomOffset - ApplyHires(1)};
    if (!m_edit.GetSafeHwnd())
        m_edit.Create(WS_VISIBLE | WS_BORDER, field, this, kNameEditId);
    if (m_edit.GetSafeHwnd()) {
        // Installs the hook that reports Return and Escape.
        m_edit.SetNumberOnly(0);
        if (m_hFont)
            ::SendMessageW(m_edit.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), 0);
        m_edit.SetPasswordChar(m_bPasswordMode ? u'*' : 0);
        RECT format{0, 0, 0, 0};
        ::GetClientRect(m_edit.GetSafeHwnd(), &format);
        format.left += ApplyHires(1);
        format.top += ApplyHires(1);
        m_edit.SetRectNP(&format);
        if (m_szName[0]) {
            ::SetWindowTextW(m_edit.GetSafeHwnd(), m_szName);
            m_edit.SetSel(0, -1);
        } else {
            ::SetWindowTextW(m_edit.GetSafeHwnd(), u"");
        }
    }

    const int fieldWidth = field.right - field.left;
    const int x = fieldWidth + ApplyHires(4);
    const int images[2] = {3, 4};
    for (int i = 0; i < 2; ++i) {
        GVButton* b = AddVButton(i + 1, images[i], 0);
        if (!b)
            continue;
        b->Create(RECT{x + i * e, m_nTopOffset, x + (i + 1) * e, m_nTopOffset + e}, i + 1);
        b->SetIconDefault(GetGLibImageList());
        b->SetImageIndex(images[i]);
        b->SetFrameImage(nullptr);
        b->SetDefBackColor(1, GetGLibColor(eColorDialogBody));
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    }
    RecalcControl();
    if (m_edit.GetSafeHwnd())
        ::SetFocus(m_edit.GetSafeHwnd());
}

void GNameEditCtrl::DrawFrame(HDC hdc, RECT rect) {
    FillSolidRect(hdc, &rect, GetGLibColor(eColorDialogBody));
    if (m_bDrawBottomLine) {
        const int thick = ApplyHires(1);
        FillSolidRect(hdc, 0, Height() - thick, Width(), thick, GetGLibColor(eColorEdge));
    }
}

int GNameEditCtrl::OnOK() {
    m_szName[0] = 0;
    if (m_edit.GetSafeHwnd())
        ::GetWindowTextW(m_edit.GetSafeHwnd(), m_szName, MAX_PATH);
    int result = 1;
    if (m_bPasswordMode) {
        if (!m_szName[0])
            result = kNameEditEmpty;
        else if (wcscmp(m_szName, m_szPassword) != 0)
            result = kNameEditWrong;
    }
    m_nResult = result;
    return result;
}

LRESULT GNameEditCtrl::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if ((id == 1 && code == 0) || (id == kNameEditId && code == GEdit::kNotifyReturn)) {
                m_bEndedByKey = id == kNameEditId;
                return OnOK();
            }
            if ((id == 2 && code == 0) || (id == kNameEditId && code == GEdit::kNotifyEscape)) {
                m_bEndedByKey = id == kNameEditId;
                return OnCancel();
            }
            break;
        }
        case WM_SETFOCUS:
            if (m_edit.GetSafeHwnd())
                ::SetFocus(m_edit.GetSafeHwnd());
            return 0;
        case WM_DESTROY:
            m_edit.Destroy();
            break;
        default:
            break;
    }
    return GDialog::WndProc(hwnd, msg, wParam, lParam);
}
