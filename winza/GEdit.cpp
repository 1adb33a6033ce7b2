#include "winza/GEdit.h"

#include "winza/Hires.h"

namespace {

// Pixels between the border and the text on either side.
constexpr int kTextMargin = 3;

} // namespace

GEdit::~GEdit() {
    // Gone before the hook could reach a dead object through the window's user data.
    Destroy();
}

LPCWSTR GEdit::GetClassNameW() {
    return WC_EDIT;
}

int GEdit::RegisterClassW() {
    return 0;
}

int GEdit::Create(DWORD style, const RECT& rect, Winza* parent, UINT id) {
    if (!parent || !parent->GetSafeHwnd() || m_hWnd)
        return 0;
    // A new window has its own procedure and id to save.
    m_pOldProc = nullptr;
    m_nID = -1;
    if (!Winza::Create(parent->GetSafeHwnd(), nullptr, style | WS_CHILD, rect.left, rect.top,
                       rect.right - rect.left, rect.bottom - rect.top,
                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), 0))
        return 0;
    // Text and caret keep off the border, as in any edit box.
    SetMargins(ApplyHires(kTextMargin), ApplyHires(kTextMargin));
    RefreshClientRect();
    return 1;
}

int GEdit::SetNumberOnly(int on) {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    if (!m_pOldProc) {
        auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWL_WNDPROC));
        // Saving the hook itself would make it call itself for ever.
        if (current != HookProc) {
            m_pOldProc = current;
            m_nID = static_cast<int>(::GetWindowLongPtrW(m_hWnd, GWL_ID));
        }
    }
    m_bNumberOnly = on;
    // The user data holds the object itself, so FromHandle finds it as for any toolkit window.
    ::SetWindowLongPtrW(m_hWnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc));
    return 1;
}

LRESULT CALLBACK GEdit::HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* edit = reinterpret_cast<GEdit*>(::GetWindowLongPtrW(hwnd, GWL_USERDATA));
    if (!edit)
        return 0;
    const WNDPROC saved = edit->m_pOldProc;
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        const WORD code = wParam == VK_RETURN ? kNotifyReturn : kNotifyEscape;
        ::SendMessageW(::GetParent(hwnd), WM_COMMAND,
                       MAKEWPARAM(static_cast<WORD>(edit->m_nID), code), 0);
        // The parent may have closed the field (and its object) in answer.
        if (!::IsWindow(hwnd))
            return 0;
    }
    if (msg == WM_CHAR && edit->m_bNumberOnly && wParam != VK_BACK &&
        (wParam < '0' || wParam > '9'))
        return 0;
    if (!saved)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return ::CallWindowProcW(saved, hwnd, msg, wParam, lParam);
}

LRESULT GEdit::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

int GEdit::CanUndo() {
    return Send(EM_CANUNDO) ? 1 : 0;
}

int GEdit::GetLineCount() {
    return static_cast<int>(Send(EM_GETLINECOUNT));
}

int GEdit::GetModify() {
    return Send(EM_GETMODIFY) ? 1 : 0;
}

void GEdit::SetModify(int modified) {
    Send(EM_SETMODIFY, modified ? TRUE : FALSE);
}

void GEdit::GetRect(RECT* rect) {
    if (rect)
        Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(rect));
}

void GEdit::GetSel(int& start, int& end) {
    DWORD s = 0, e = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

DWORD GEdit::GetSel() {
    return static_cast<DWORD>(Send(EM_GETSEL));
}

int GEdit::GetLine(int line, LPWSTR buffer, int max) {
    if (!buffer || max <= 0 || !m_hWnd)
        return 0;
    // The message reads the buffer's size from its first character.
    buffer[0] = static_cast<WCHAR>(max > 0xFFFF ? 0xFFFF : max);
    int n = static_cast<int>(
        Send(EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer)));
    if (n < 0 || n > max)
        n = 0;
    if (n == 0)
        buffer[0] = 0;
    else if (n < max)
        buffer[n] = 0;
    return n;
}

void GEdit::EmptyUndoBuffer() {
    Send(EM_EMPTYUNDOBUFFER);
}

int GEdit::FmtLines(int addEol) {
    return Send(EM_FMTLINES, addEol ? TRUE : FALSE) ? 1 : 0;
}

void GEdit::LimitText(int max) {
    Send(EM_LIMITTEXT, static_cast<WPARAM>(max));
}

void GEdit::SetLimitText(UINT max) {
    Send(EM_SETLIMITTEXT, max);
}

UINT GEdit::GetLimitText() {
    return static_cast<UINT>(Send(EM_GETLIMITTEXT));
}

int GEdit::LineFromChar(int index) {
    return static_cast<int>(Send(EM_LINEFROMCHAR, static_cast<WPARAM>(index)));
}

int GEdit::LineIndex(int line) {
    return static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(line)));
}

int GEdit::LineLength(int line) {
    return static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(line)));
}

void GEdit::LineScroll(int lines, int chars) {
    Send(EM_LINESCROLL, static_cast<WPARAM>(chars), lines);
}

void GEdit::ReplaceSel(LPCWSTR text, int canUndo) {
    Send(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text ? text : u""));
}

void GEdit::SetPasswordChar(WCHAR ch) {
    Send(EM_SETPASSWORDCHAR, ch);
}

WCHAR GEdit::GetPasswordChar() {
    return static_cast<WCHAR>(Send(EM_GETPASSWORDCHAR));
}

void GEdit::SetRect(const RECT* rect) {
    Send(EM_SETRECT, 0, reinterpret_cast<LPARAM>(rect));
}

void GEdit::SetRectNP(const RECT* rect) {
    Send(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(rect));
}

void GEdit::SetSel(DWORD packed, int noScroll) {
    SetSel(static_cast<int>(static_cast<short>(LOWORD(packed))),
           static_cast<int>(static_cast<short>(HIWORD(packed))), noScroll);
}

void GEdit::SetSel(int start, int end, int noScroll) {
    Send(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll)
        Send(EM_SCROLLCARET);
}

int GEdit::SetTabStops() {
    return Send(EM_SETTABSTOPS) ? 1 : 0;
}

int GEdit::SetTabStops(const int& each) {
    return Send(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&each)) ? 1 : 0;
}

int GEdit::SetTabStops(int count, int* stops) {
    return Send(EM_SETTABSTOPS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(stops)) ? 1
                                                                                             : 0;
}

int GEdit::Undo() {
    return Send(EM_UNDO) ? 1 : 0;
}

void GEdit::Clear() {
    Send(WM_CLEAR);
}

void GEdit::Copy() {
    Send(WM_COPY);
}

void GEdit::Cut() {
    Send(WM_CUT);
}

void GEdit::Paste() {
    Send(WM_PASTE);
}

int GEdit::SetReadOnly(int readOnly) {
    return Send(EM_SETREADONLY, readOnly ? TRUE : FALSE) ? 1 : 0;
}

int GEdit::GetFirstVisibleLine() {
    return static_cast<int>(Send(EM_GETFIRSTVISIBLELINE));
}

void GEdit::SetMargins(UINT left, UINT right) {
    Send(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
         MAKELONG(static_cast<WORD>(left), static_cast<WORD>(right)));
}

DWORD GEdit::GetMargins() {
    return static_cast<DWORD>(Send(EM_GETMARGINS));
}

POINT GEdit::PosFromChar(UINT index) {
    const auto packed = static_cast<DWORD>(Send(EM_POSFROMCHAR, index));
    return POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}

int GEdit::CharFromPos(POINT point) {
    const auto packed = static_cast<DWORD>(Send(
        EM_CHARFROMPOS, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y))));
    return static_cast<int>(LOWORD(packed));
}
