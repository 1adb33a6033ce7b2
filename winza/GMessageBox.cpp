#include "winza/GMessageBox.h"
#include "winza/GItem.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"

#include <platform/gdiguard.h>

#include <algorithm>

namespace {

// Space kept beside a row of buttons.
constexpr int kRowMargin = 6;

struct ButtonDef {
    int id;
    int text;
};

struct ButtonRow {
    int count;
    ButtonDef buttons[3];
    int width;
    int step;
    int minWidth;
    // The row from the first button's left edge to the last one's right edge.
    int Span() const { return count ? (count - 1) * step + width : 0; }
};

ButtonRow RowOf(int set) {
    switch (set) {
        case eMBOk:
            return {1, {{eMBIdOk, 1}}, 72, 0, 120};
        case eMBOkCancel:
            return {2, {{eMBIdOk, 1}, {eMBIdCancel, 2}}, 64, 84, 160};
        case eMBAbortRetryIgnore:
            return {3, {{eMBIdAbort, 5}, {eMBIdRetry, 6}, {eMBIdIgnore, 7}}, 60, 80, 200};
        case eMBYesNoCancel:
            return {3, {{eMBIdYes, 3}, {eMBIdNo, 4}, {eMBIdCancel, 2}}, 60, 80, 200};
        case eMBYesNo:
            return {2, {{eMBIdYes, 3}, {eMBIdNo, 4}}, 64, 84, 160};
        case eMBRetryCancel:
            return {2, {{eMBIdRetry, 6}, {eMBIdCancel, 2}}, 64, 84, 160};
        default:
            return {0, {}, 0, 0, 64};
    }
}

// The abort label has no built-in text; without a language file it reads in the built-in
// language as the others do.
LPCWSTR ButtonText(int index) {
    LPCWSTR text = GetGLibText(index);
    if (index == 5 && (!text || !text[0]))
        return u"중단";
    return text;
}

SIZE Measure(HDC hdc, HFONT font, LPCWSTR text, UINT format, int width) {
    if (!text || !text[0])
        return SIZE{0, 0};
    gdi::Select sel(hdc, font);
    RECT rc{0, 0, width, 100000};
    ::DrawTextW(hdc, text, -1, &rc, format | DT_CALCRECT);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace

GMessageBox::GMessageBox() = default;

GMessageBox::~GMessageBox() {
    delete[] m_pMessage;
}

void GMessageBox::SetMessage(LPCWSTR message) {
    WCHAR* copy = CopyWinzaLabel(message);
    delete[] m_pMessage;
    m_pMessage = copy;
}

int GMessageBox::PopupWindow(HWND parent, LPCWSTR message, LPCWSTR title, int buttons, HFONT font,
                             HFONT titleFont, int timeout, int modalArg) {
    if (font)
        m_hFont = font;
    if (titleFont)
        m_hTitleFont = titleFont;
    SetTitle(1, title, m_nTitleHeight);
    SetMessage(message);
    m_nButtonSet = buttons;
    m_nTimeout = timeout;
    return DoModal(parent, modalArg);
}

int GMessageBox::IsEndResult(int result) const {
    if (result == 1 || result == 2)
        return 1;
    const ButtonRow row = RowOf(m_nButtonSet);
    for (int i = 0; i < row.count; ++i)
        if (row.buttons[i].id == result)
            return 1;
    return 0;
}

void GMessageBox::RecalcDialog(HWND parent) {
    const int s = ApplyHires(1);
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    const ButtonRow row = RowOf(m_nButtonSet);
    HDC hdc = m_hDC ? m_hDC : GetGlobalScreenDC();

    const SIZE title = Measure(hdc, m_hTitleFont, m_pTitle, DT_LEFT | DT_SINGLELINE, 100000);
    SIZE message = Measure(hdc, m_hFont, m_pMessage, DT_CENTER, 100000);
    const int textW = std::min(screenW, static_cast<int>(std::max(title.cx, message.cx)));
    // Three buttons (two steps of 80 and one of 60) need 220 pixels: the box is kept wide
    // enough for its row and a margin on either side, or the last button would be cut.
    const int rowW = row.count ? (row.Span() + 2 * kRowMargin) * s : 0;
    const int boxW =
        std::min(screenW, std::max({row.minWidth * s, rowW, static_cast<int>(textW + 40 * s)}));
    // A message wider than the box is broken into lines that fit it.
    if (message.cx > boxW - 8 * s)
        message = Measure(hdc, m_hFont, m_pMessage, DT_CENTER | DT_WORDBREAK, boxW - 8 * s);
    const int messageH = m_pMessage ? static_cast<int>(message.cy) : 30 * s;
    const int titleH = m_bTitle ? m_nTitleHeight : 0;
    const int boxH = std::min(screenH, messageH + titleH + m_nButtonHeight + 48 * s);

    AddButtons(boxW, boxH);
    const int buttonTop = boxH - m_nButtonHeight - 16 * s;
    const int areaTop = titleH;
    const int shown = std::min(messageH, std::max(0, buttonTop - areaTop));
    m_rcMessage = RECT{0, areaTop + (buttonTop - areaTop - shown) / 2, boxW, 0};
    m_rcMessage.bottom = m_rcMessage.top + shown;

    // Centred on the parent, or on the screen; kept on the screen.
    RECT around{0, 0, screenW, screenH};
    if (parent && ::IsWindow(parent))
        ::GetWindowRect(parent, &around);
    int x = around.left + (around.right - around.left - boxW) / 2;
    int y = around.top + (around.bottom - around.top - boxH) / 2;
    x = std::max(0, std::min(x, screenW - boxW));
    y = std::max(0, std::min(y, screenH - boxH));
    m_rcDialog = RECT{x, y, x + boxW, y + boxH};
    RecalcControl();
    if (!m_hWnd)
        return;
    ::MoveWindow(m_hWnd, m_rcDialog.left, m_rcDialog.top, m_rcDialog.right - m_rcDialog.left,
                 m_rcDialog.bottom - m_rcDialog.top, FALSE);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void GMessageBox::AddButtons(int boxW, int boxH) {
    const int s = ApplyHires(1);
    const ButtonRow row = RowOf(m_nButtonSet);
    DeleteButtons();
    int x = (boxW - row.Span() * s) / 2;
    const int top = boxH - m_nButtonHeight - 16 * s;
    for (int i = 0; i < row.count; ++i) {
        GVButton* b = AddVButton(row.buttons[i].id, -1, 0);
        if (!b)
            continue;
        b->Create(RECT{x, top, x + row.width * s, top + m_nButtonHeight}, row.buttons[i].id);
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        b->SetLabel(ButtonText(row.buttons[i].text), DT_CENTER | DT_SINGLELINE, 4 * s);
        x += row.step * s;
    }
    // The first button answers a time-out and the Return key until another is chosen.
    SetFocusIndex(row.count ? 0 : -1, 0);
}

void GMessageBox::DrawMessage(HDC hdc) {
    if (!m_pMessage)
        return;
    RECT rc = m_rcMessage;
    rc.left += ApplyHires(4);
    rc.right -= ApplyHires(4);
    const COLORREF old = ::SetTextColor(hdc, RGB(0, 0, 0));
    ::DrawTextW(hdc, m_pMessage, -1, &rc, DT_CENTER | DT_WORDBREAK);
    ::SetTextColor(hdc, old);
}

void GMessageBox::DrawButton(HDC hdc, RECT clip) {
    DrawMessage(hdc);
    GDialog::DrawButton(hdc, clip);
}

void GMessageBox::RestartTimer() {
    if (m_hWnd && m_nTimeout > 0)
        ::SetTimer(m_hWnd, kMessageBoxTimer, static_cast<UINT>(m_nTimeout), nullptr);
}

void GMessageBox::StopTimer() {
    if (m_hWnd)
        ::KillTimer(m_hWnd, kMessageBoxTimer);
}

LRESULT GMessageBox::OnButtonCommand(HWND, WPARAM wParam, LPARAM) {
    m_nResult = LOWORD(wParam);
    return m_nResult;
}

LRESULT GMessageBox::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            const LRESULT r = GDialog::WndProc(hwnd, msg, wParam, lParam);
            if (m_nTimeout > 0)
                ::SetTimer(hwnd, kMessageBoxTimer, static_cast<UINT>(m_nTimeout), nullptr);
            return r;
        }
        case WM_TIMER:
            if (wParam == kMessageBoxTimer) {
                StopTimer();
                const int answer = GetReturnValue();
                // A box without buttons simply goes away.
                m_nResult = answer ? answer : 2;
                return m_nResult;
            }
            break;
        case WM_KEYDOWN:
            StopTimer();
            break;
        case WM_KEYUP:
        case WM_LBUTTONUP: {
            const LRESULT r = GDialog::WndProc(hwnd, msg, wParam, lParam);
            if (!IsEndResult(m_nResult))
                RestartTimer();
            return r;
        }
        default:
            break;
    }
    return GDialog::WndProc(hwnd, msg, wParam, lParam);
}
