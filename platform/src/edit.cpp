// The system's single-line edit control, window class "EDIT": text with a caret and a
// selection, typed and stylus editing, password display, the clipboard and the EM_ messages.
// Keys reach it as WM_KEYDOWN and WM_CHAR through its window procedure, so a program that
// replaces the procedure sees every key first.
#include "user_internal.h"

#include <platform/display.h>
#include <platform/gdiguard.h>
#include <platform/winbase.h>
#include <platform/winedit.h>
#include <platform/wintext.h>

#include <algorithm>
#include <vector>

namespace plat {
namespace {

constexpr int kDefaultLimit = 30000;
constexpr int kMaxLimit = 0x7FFFFFFE;

struct EditState {
    std::u16string text;
    int anchor = 0; // the fixed end of the selection
    int caret = 0;  // the moving end, where the caret is
    int limit = kDefaultLimit;
    WCHAR password = 0;
    bool modified = false;
    HFONT font = nullptr;
    RECT format{}; // text area in client coordinates
    bool formatSet = false;
    int leftMargin = 0;
    int rightMargin = 0;
    int scroll = 0; // pixels of text scrolled off to the left
    bool focused = false;
    bool dragging = false;
    bool canUndo = false;
    std::u16string undoText;
    int undoAnchor = 0, undoCaret = 0;
};

EditState* StateOf(HWND hwnd) {
    return reinterpret_cast<EditState*>(GetWindowLongPtrW(hwnd, 0));
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}

int SelStart(const EditState& e) {
    return std::min(e.anchor, e.caret);
}
int SelEnd(const EditState& e) {
    return std::max(e.anchor, e.caret);
}

bool IsLow(WCHAR c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsHigh(WCHAR c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// A position never splits a surrogate pair.
int Snap(const EditState& e, int pos) {
    pos = std::clamp(pos, 0, static_cast<int>(e.text.size()));
    if (pos > 0 && pos < static_cast<int>(e.text.size()) && IsLow(e.text[pos]) &&
        IsHigh(e.text[pos - 1]))
        --pos;
    return pos;
}

int NextPos(const EditState& e, int pos) {
    int n = static_cast<int>(e.text.size());
    if (pos >= n)
        return n;
    ++pos;
    if (pos < n && IsLow(e.text[pos]) && IsHigh(e.text[pos - 1]))
        ++pos;
    return pos;
}

int PrevPos(const EditState& e, int pos) {
    if (pos <= 0)
        return 0;
    --pos;
    if (pos > 0 && IsLow(e.text[pos]) && IsHigh(e.text[pos - 1]))
        --pos;
    return pos;
}

bool IsWordChar(WCHAR c) {
    return !(c == ' ' || c == '\t' || c == '.' || c == ',' || c == ';' || c == ':' || c == '\\' ||
             c == '/' || c == '-');
}

int WordLeft(const EditState& e, int pos) {
    while (pos > 0 && !IsWordChar(e.text[pos - 1]))
        --pos;
    while (pos > 0 && IsWordChar(e.text[pos - 1]))
        --pos;
    return pos;
}

int WordRight(const EditState& e, int pos) {
    int n = static_cast<int>(e.text.size());
    while (pos < n && IsWordChar(e.text[pos]))
        ++pos;
    while (pos < n && !IsWordChar(e.text[pos]))
        ++pos;
    return pos;
}

// What is drawn: the text, or one password character per character.
std::u16string Shown(const EditState& e) {
    if (!e.password)
        return e.text;
    return std::u16string(e.text.size(), e.password);
}

RECT FormatRect(HWND hwnd, const EditState& e) {
    if (e.formatSet)
        return e.format;
    RECT rc;
    GetClientRect(hwnd, &rc);
    rc.left += e.leftMargin;
    rc.right -= e.rightMargin;
    if (rc.right < rc.left)
        rc.right = rc.left;
    return rc;
}

// A context on the window with the control's font selected; released on leaving.
class EditDC {
public:
    EditDC(HWND hwnd, const EditState& e)
        : m_dc(hwnd), m_font(m_dc, e.font ? e.font : GetStockObject(SYSTEM_FONT)) {}
    HDC dc() const { return m_dc; }

private:
    gdi::WindowDC m_dc;
    gdi::Select m_font;
};

// Pixel offset of every position 0..n from the start of the text.
std::vector<int> Offsets(HDC dc, const std::u16string& shown) {
    std::vector<int> x(shown.size() + 1, 0);
    if (shown.empty())
        return x;
    std::vector<int> dx(shown.size(), 0);
    GetTextExtentExPointW(dc, shown.c_str(), static_cast<int>(shown.size()), 0, nullptr, dx.data(),
                          nullptr);
    for (size_t i = 0; i < shown.size(); ++i)
        x[i + 1] = dx[i];
    return x;
}

int LineHeight(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight > 0 ? static_cast<int>(tm.tmHeight) : 1;
}

// Where the text starts in client coordinates: alignment when it fits, else the scroll.
int TextOrigin(DWORD style, const RECT& fmt, const EditState& e, int textWidth) {
    int width = fmt.right - fmt.left;
    if (textWidth <= width && e.scroll == 0) {
        if (style & ES_RIGHT)
            return fmt.right - textWidth - 1;
        if (style & ES_CENTER)
            return fmt.left + (width - textWidth) / 2;
    }
    return fmt.left - e.scroll;
}

struct Layout {
    std::vector<int> x;
    int origin = 0;
    int height = 1;
    RECT fmt{};
};

Layout Measure(HWND hwnd, const EditState& e) {
    EditDC dc(hwnd, e);
    Layout l;
    l.x = Offsets(dc.dc(), Shown(e));
    l.height = LineHeight(dc.dc());
    l.fmt = FormatRect(hwnd, e);
    l.origin = TextOrigin(StyleOf(hwnd), l.fmt, e, l.x.back());
    return l;
}

int CharFromX(const Layout& l, int x) {
    int rel = x - l.origin;
    int n = static_cast<int>(l.x.size()) - 1;
    for (int i = 0; i < n; ++i)
        if (rel < (l.x[i] + l.x[i + 1] + 1) / 2)
            return i;
    return n;
}

void Notify(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageW(parent, WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(GetWindowLongPtrW(hwnd, GWL_ID)), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

// Keeps the caret in sight, places the system caret and asks for a repaint.
void Refresh(HWND hwnd, EditState& e) {
    Layout l = Measure(hwnd, e);
    int width = l.fmt.right - l.fmt.left;
    int caretX = l.x[e.caret];
    int total = l.x.back();
    if (caretX - e.scroll > width - 1)
        e.scroll = caretX - width + 1 + width / 4;
    if (caretX < e.scroll)
        e.scroll = std::max(0, caretX - width / 4);
    // No empty space left of the text end while text is scrolled away.
    if (e.scroll > 0 && total - e.scroll < width - 1)
        e.scroll = std::max(0, total - width + 1);
    e.scroll = std::clamp(e.scroll, 0, std::max(0, total));
    l.origin = TextOrigin(StyleOf(hwnd), l.fmt, e, total);
    // After a letter the caret keeps a pixel of room, so it never reads as part of it.
    if (e.focused)
        SetCaretPos(l.origin + caretX + (e.caret > 0 ? 1 : 0), l.fmt.top);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SaveUndo(EditState& e) {
    e.undoText = e.text;
    e.undoAnchor = e.anchor;
    e.undoCaret = e.caret;
    e.canUndo = true;
}

bool FitsWidth(HWND hwnd, const EditState& e, const std::u16string& candidate) {
    if (StyleOf(hwnd) & ES_AUTOHSCROLL)
        return true;
    std::u16string shown = e.password ? std::u16string(candidate.size(), e.password) : candidate;
    EditDC dc(hwnd, e);
    SIZE size{};
    GetTextExtentPoint32W(dc.dc(), shown.c_str(), static_cast<int>(shown.size()), &size);
    RECT fmt = FormatRect(hwnd, e);
    return size.cx <= fmt.right - fmt.left - 1;
}

// Replaces the selection with text cut to the limit (and, without ES_AUTOHSCROLL, to what
// fits the width). Returns false when nothing could be inserted of a non-empty text.
bool ReplaceSelection(HWND hwnd, EditState& e, std::u16string insert, bool undoable) {
    DWORD style = StyleOf(hwnd);
    for (WCHAR& c : insert) {
        if ((style & ES_UPPERCASE) && c >= 'a' && c <= 'z')
            c = static_cast<WCHAR>(c - 32);
        if ((style & ES_LOWERCASE) && c >= 'A' && c <= 'Z')
            c = static_cast<WCHAR>(c + 32);
    }
    int start = SelStart(e), end = SelEnd(e);
    int keep = static_cast<int>(e.text.size()) - (end - start);
    int room = std::max(0, e.limit - keep);
    bool cut = false;
    if (static_cast<int>(insert.size()) > room) {
        insert.resize(static_cast<size_t>(room));
        if (!insert.empty() && IsHigh(insert.back()))
            insert.pop_back();
        cut = true;
    }
    std::u16string next = e.text.substr(0, static_cast<size_t>(start)) + insert +
                          e.text.substr(static_cast<size_t>(end));
    while (!insert.empty() && !FitsWidth(hwnd, e, next)) {
        insert.pop_back();
        if (!insert.empty() && IsHigh(insert.back()))
            insert.pop_back();
        next = e.text.substr(0, static_cast<size_t>(start)) + insert +
               e.text.substr(static_cast<size_t>(end));
        cut = true;
    }
    if (cut)
        Notify(hwnd, EN_MAXTEXT);
    if (insert.empty() && start == end)
        return !cut;
    if (undoable)
        SaveUndo(e);
    e.text = std::move(next);
    e.caret = e.anchor = start + static_cast<int>(insert.size());
    e.modified = true;
    Refresh(hwnd, e);
    Notify(hwnd, EN_UPDATE);
    Notify(hwnd, EN_CHANGE);
    return true;
}

void SetSelection(HWND hwnd, EditState& e, int anchor, int caret) {
    e.anchor = Snap(e, anchor);
    e.caret = Snap(e, caret);
    Refresh(hwnd, e);
}

bool CopySelection(const EditState& e) {
    // Password text never leaves the control.
    if (e.password || SelStart(e) == SelEnd(e))
        return false;
    return SetClipboardText(e.text.substr(static_cast<size_t>(SelStart(e)),
                                          static_cast<size_t>(SelEnd(e) - SelStart(e))));
}

void Paste(HWND hwnd, EditState& e) {
    std::u16string clip;
    if (!GetClipboardText(&clip))
        return;
    // One line only: the text up to the first line break.
    size_t br = clip.find_first_of(u"\r\n");
    if (br != std::u16string::npos)
        clip.resize(br);
    if ((StyleOf(hwnd) & ES_NUMBER) &&
        std::any_of(clip.begin(), clip.end(), [](WCHAR c) { return c < '0' || c > '9'; })) {
        MessageBeep(MB_OK);
        return;
    }
    ReplaceSelection(hwnd, e, clip, true);
}

void Undo(HWND hwnd, EditState& e) {
    if (!e.canUndo)
        return;
    std::swap(e.text, e.undoText);
    std::swap(e.anchor, e.undoAnchor);
    std::swap(e.caret, e.undoCaret);
    e.anchor = Snap(e, e.anchor);
    e.caret = Snap(e, e.caret);
    e.modified = true;
    Refresh(hwnd, e);
    Notify(hwnd, EN_UPDATE);
    Notify(hwnd, EN_CHANGE);
}

bool ReadOnly(HWND hwnd) {
    return (StyleOf(hwnd) & ES_READONLY) != 0;
}

void KeyDown(HWND hwnd, EditState& e, int vk) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    int n = static_cast<int>(e.text.size());
    auto move = [&](int to) {
        if (shift) {
            SetSelection(hwnd, e, e.anchor, to);
        } else {
            SetSelection(hwnd, e, to, to);
        }
    };
    switch (vk) {
        case VK_LEFT:
            if (!shift && SelStart(e) != SelEnd(e) && !ctrl)
                move(SelStart(e));
            else
                move(ctrl ? WordLeft(e, e.caret) : PrevPos(e, e.caret));
            break;
        case VK_RIGHT:
            if (!shift && SelStart(e) != SelEnd(e) && !ctrl)
                move(SelEnd(e));
            else
                move(ctrl ? WordRight(e, e.caret) : NextPos(e, e.caret));
            break;
        case VK_HOME:
            move(0);
            break;
        case VK_END:
            move(n);
            break;
        case VK_DELETE:
            if (shift) {
                SendMessageW(hwnd, WM_CUT, 0, 0);
            } else if (!ReadOnly(hwnd)) {
                if (SelStart(e) == SelEnd(e)) {
                    if (e.caret >= n)
                        break;
                    e.anchor = e.caret;
                    e.caret = NextPos(e, e.caret);
                }
                ReplaceSelection(hwnd, e, u"", true);
            }
            break;
        case VK_INSERT:
            if (ctrl)
                SendMessageW(hwnd, WM_COPY, 0, 0);
            else if (shift)
                SendMessageW(hwnd, WM_PASTE, 0, 0);
            break;
        default:
            break;
    }
}

void Char(HWND hwnd, EditState& e, WCHAR ch) {
    switch (ch) {
        case 0x01: // Ctrl+A
            SetSelection(hwnd, e, 0, static_cast<int>(e.text.size()));
            return;
        case 0x03: // Ctrl+C
            SendMessageW(hwnd, WM_COPY, 0, 0);
            return;
        case 0x16: // Ctrl+V
            SendMessageW(hwnd, WM_PASTE, 0, 0);
            return;
        case 0x18: // Ctrl+X
            SendMessageW(hwnd, WM_CUT, 0, 0);
            return;
        case 0x1A: // Ctrl+Z
            SendMessageW(hwnd, WM_UNDO, 0, 0);
            return;
        default:
            break;
    }
    if (ReadOnly(hwnd)) {
        MessageBeep(MB_OK);
        return;
    }
    if (ch == '\b') {
        if (SelStart(e) == SelEnd(e)) {
            if (e.caret == 0)
                return;
            e.anchor = e.caret;
            e.caret = PrevPos(e, e.caret);
        }
        ReplaceSelection(hwnd, e, u"", true);
        return;
    }
    // A single line takes no line breaks, tabs or other control characters.
    if (ch < 0x20 || ch == 0x7F)
        return;
    if ((StyleOf(hwnd) & ES_NUMBER) && (ch < '0' || ch > '9')) {
        MessageBeep(MB_OK);
        return;
    }
    if (!ReplaceSelection(hwnd, e, std::u16string(1, ch), true))
        MessageBeep(MB_OK);
}

void Paint(HWND hwnd, EditState& e) {
    gdi::PaintDC paint(hwnd);
    HDC dc = paint;
    if (!dc)
        return;
    DWORD style = StyleOf(hwnd);
    bool disabled = (style & WS_DISABLED) != 0;
    RECT client;
    GetClientRect(hwnd, &client);
    HWND parent = GetParent(hwnd);
    UINT ctl = (disabled || (style & ES_READONLY)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    HBRUSH brush =
        parent ? reinterpret_cast<HBRUSH>(SendMessageW(parent, ctl, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(hwnd)))
               : nullptr;
    if (!brush)
        brush = GetSysColorBrush(COLOR_WINDOW);
    FillRect(dc, &client, brush);
    gdi::Select font(dc, e.font ? e.font : GetStockObject(SYSTEM_FONT));
    std::u16string shown = Shown(e);
    std::vector<int> x = Offsets(dc, shown);
    RECT fmt = FormatRect(hwnd, e);
    int origin = TextOrigin(style, fmt, e, x.back());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ExtTextOutW(dc, origin, fmt.top, ETO_CLIPPED, &fmt, shown.c_str(),
                static_cast<UINT>(shown.size()), nullptr);
    SetBkMode(dc, oldMode);
    // The selection shows inverted while the control has the focus (or always, with
    // ES_NOHIDESEL).
    if (SelStart(e) != SelEnd(e) && (e.focused || (style & ES_NOHIDESEL))) {
        RECT sel{origin + x[SelStart(e)], fmt.top, origin + x[SelEnd(e)], fmt.top + LineHeight(dc)};
        if (IntersectRect(&sel, &sel, &fmt))
            InvertRect(dc, &sel);
    }
}

// The caret is as tall as a line of the control's font.
void MakeCaret(HWND hwnd, EditState& e) {
    int height;
    {
        EditDC dc(hwnd, e);
        height = LineHeight(dc.dc());
    }
    CreateCaret(hwnd, nullptr, GetSystemMetrics(SM_CXSCREEN) > 320 ? 2 : 1, height);
    Refresh(hwnd, e);
    ShowCaret(hwnd);
}

void Focus(HWND hwnd, EditState& e, bool on) {
    e.focused = on;
    if (on) {
        MakeCaret(hwnd, e);
        Notify(hwnd, EN_SETFOCUS);
    } else {
        e.dragging = false;
        DestroyCaret();
        InvalidateRect(hwnd, nullptr, FALSE);
        Notify(hwnd, EN_KILLFOCUS);
    }
}

LRESULT Copy(const std::u16string& text, WPARAM size, LPARAM out) {
    auto* buf = reinterpret_cast<LPWSTR>(out);
    int room = static_cast<int>(size);
    if (!buf || room <= 0)
        return 0;
    int n = std::min(static_cast<int>(text.size()), room - 1);
    std::copy_n(text.begin(), n, buf);
    buf[n] = 0;
    return n;
}

LRESULT EditMessage(HWND hwnd, EditState& e, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETTEXT:
            return Copy(e.text, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(e.text.size());
        case WM_SETTEXT: {
            // Text set by the program is not held to the limit, and starts unmodified.
            e.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            e.anchor = e.caret = 0;
            e.scroll = 0;
            e.modified = false;
            e.canUndo = false;
            Refresh(hwnd, e);
            Notify(hwnd, EN_UPDATE);
            Notify(hwnd, EN_CHANGE);
            return TRUE;
        }
        case WM_SETFONT:
            e.font = reinterpret_cast<HFONT>(wParam);
            if (e.focused)
                MakeCaret(hwnd, e);
            if (LOWORD(lParam))
                InvalidateRect(hwnd, nullptr, TRUE);
            Refresh(hwnd, e);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(e.font);
        case WM_PAINT:
            Paint(hwnd, e);
            return 0;
        case WM_ERASEBKGND:
            return 1; // painting fills the whole client area
        case WM_SIZE:
            Refresh(hwnd, e);
            return 0;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
            Focus(hwnd, e, true);
            return 0;
        case WM_KILLFOCUS:
            Focus(hwnd, e, false);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (GetFocus() != hwnd)
                SetFocus(hwnd);
            if (!IsWindow(hwnd) || StateOf(hwnd) != &e)
                return 0;
            Layout l = Measure(hwnd, e);
            int pos = Snap(e, CharFromX(l, GET_X_LPARAM(lParam)));
            if (msg == WM_LBUTTONDBLCLK) {
                int start = pos, end = pos;
                while (start > 0 && IsWordChar(e.text[start - 1]))
                    --start;
                while (end < static_cast<int>(e.text.size()) && IsWordChar(e.text[end]))
                    ++end;
                SetSelection(hwnd, e, start, end);
            } else if (wParam & MK_SHIFT) {
                SetSelection(hwnd, e, e.anchor, pos);
            } else {
                SetSelection(hwnd, e, pos, pos);
            }
            e.dragging = true;
            SetCapture(hwnd);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (e.dragging && GetCapture() == hwnd) {
                Layout l = Measure(hwnd, e);
                SetSelection(hwnd, e, e.anchor, CharFromX(l, GET_X_LPARAM(lParam)));
            }
            return 0;
        case WM_LBUTTONUP:
            if (e.dragging) {
                e.dragging = false;
                if (GetCapture() == hwnd)
                    ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            e.dragging = false;
            return 0;
        case WM_KEYDOWN:
            KeyDown(hwnd, e, static_cast<int>(wParam));
            return 0;
        case WM_CHAR:
            Char(hwnd, e, static_cast<WCHAR>(wParam));
            return 0;
        case WM_COPY:
            CopySelection(e);
            return 0;
        case WM_CUT:
            if (!ReadOnly(hwnd) && CopySelection(e))
                ReplaceSelection(hwnd, e, u"", true);
            return 0;
        case WM_CLEAR:
            if (!ReadOnly(hwnd) && SelStart(e) != SelEnd(e))
                ReplaceSelection(hwnd, e, u"", true);
            return 0;
        case WM_PASTE:
            if (!ReadOnly(hwnd))
                Paste(hwnd, e);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            if (!e.canUndo)
                return FALSE;
            Undo(hwnd, e);
            return TRUE;
        case EM_CANUNDO:
            return e.canUndo ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            e.canUndo = false;
            e.undoText.clear();
            return 0;
        case EM_GETSEL: {
            DWORD start = static_cast<DWORD>(SelStart(e));
            DWORD end = static_cast<DWORD>(SelEnd(e));
            if (wParam)
                *reinterpret_cast<DWORD*>(wParam) = start;
            if (lParam)
                *reinterpret_cast<DWORD*>(lParam) = end;
            if (start > 0xFFFF || end > 0xFFFF)
                return -1;
            return static_cast<LRESULT>(MAKELONG(start, end)) & 0xFFFFFFFF;
        }
        case EM_SETSEL: {
            int n = static_cast<int>(e.text.size());
            auto start = static_cast<int>(static_cast<LONG>(wParam));
            auto end = static_cast<int>(static_cast<LONG>(lParam));
            if (start < 0) {
                // -1 takes the selection away and leaves the caret where it is.
                SetSelection(hwnd, e, e.caret, e.caret);
                return 0;
            }
            if (end < 0 || end > n)
                end = n;
            SetSelection(hwnd, e, std::min(start, n), end);
            return 0;
        }
        case EM_REPLACESEL: {
            auto* text = reinterpret_cast<LPCWSTR>(lParam);
            ReplaceSelection(hwnd, e, text ? text : u"", wParam != 0);
            return 0;
        }
        case EM_LIMITTEXT: {
            auto limit = static_cast<LONG_PTR>(wParam);
            e.limit = (limit <= 0 || limit > kMaxLimit) ? kMaxLimit : static_cast<int>(limit);
            return 0;
        }
        case EM_GETLIMITTEXT:
            return e.limit;
        case EM_SETREADONLY: {
            DWORD style = StyleOf(hwnd);
            style = wParam ? (style | ES_READONLY) : (style & ~static_cast<DWORD>(ES_READONLY));
            SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style));
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        }
        case EM_GETMODIFY:
            return e.modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            e.modified = wParam != 0;
            return 0;
        case EM_SETPASSWORDCHAR: {
            e.password = static_cast<WCHAR>(wParam);
            DWORD style = StyleOf(hwnd);
            style = e.password ? (style | ES_PASSWORD) : (style & ~static_cast<DWORD>(ES_PASSWORD));
            SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style));
            Refresh(hwnd, e);
            return 0;
        }
        case EM_GETPASSWORDCHAR:
            return e.password;
        case EM_GETRECT:
            if (lParam)
                *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd, e);
            return 0;
        case EM_SETRECT:
        case EM_SETRECTNP:
            if (lParam) {
                e.format = *reinterpret_cast<const RECT*>(lParam);
                e.formatSet = true;
            } else {
                e.formatSet = false;
            }
            Refresh(hwnd, e);
            return 0;
        case EM_SETMARGINS: {
            int left = LOWORD(lParam), right = HIWORD(lParam);
            if (wParam & EC_LEFTMARGIN)
                e.leftMargin = left == EC_USEFONTINFO ? 1 : left;
            if (wParam & EC_RIGHTMARGIN)
                e.rightMargin = right == EC_USEFONTINFO ? 1 : right;
            e.formatSet = false;
            Refresh(hwnd, e);
            return 0;
        }
        case EM_GETMARGINS:
            return MAKELONG(e.leftMargin, e.rightMargin);
        case EM_GETLINECOUNT:
            return 1;
        case EM_LINEINDEX:
            return (static_cast<LONG>(wParam) == 0 || static_cast<LONG>(wParam) == -1) ? 0 : -1;
        case EM_LINEFROMCHAR:
            return 0;
        case EM_LINELENGTH:
            return static_cast<LRESULT>(e.text.size());
        case EM_GETLINE: {
            // The buffer's first word holds its size in characters; no terminator is added.
            auto* buf = reinterpret_cast<LPWSTR>(lParam);
            if (wParam != 0 || !buf)
                return 0;
            int room = *reinterpret_cast<const WORD*>(buf);
            int n = std::min(room, static_cast<int>(e.text.size()));
            std::copy_n(e.text.begin(), n, buf);
            return n;
        }
        case EM_GETFIRSTVISIBLELINE: {
            Layout l = Measure(hwnd, e);
            int i = 0;
            while (i + 1 < static_cast<int>(l.x.size()) && l.x[i] < e.scroll)
                ++i;
            return i;
        }
        case EM_POSFROMCHAR: {
            Layout l = Measure(hwnd, e);
            int i = static_cast<int>(wParam);
            if (i < 0 || i >= static_cast<int>(l.x.size()))
                return -1;
            return MAKELONG(static_cast<WORD>(l.origin + l.x[i]), static_cast<WORD>(l.fmt.top));
        }
        case EM_CHARFROMPOS: {
            Layout l = Measure(hwnd, e);
            return MAKELONG(CharFromX(l, GET_X_LPARAM(lParam)), 0);
        }
        case EM_SCROLLCARET:
            Refresh(hwnd, e);
            return TRUE;
        case EM_LINESCROLL:
        case EM_SCROLL:
        case EM_FMTLINES:
        case EM_SETTABSTOPS:
            return FALSE; // nothing to scroll or format on one line
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* e = new EditState;
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            e->text = cs->lpszName;
        if (cs && (cs->style & ES_PASSWORD))
            e->password = '*';
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(e));
        return TRUE;
    }
    EditState* e = StateOf(hwnd);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        delete e;
        return 0;
    }
    if (!e)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return EditMessage(hwnd, *e, msg, wParam, lParam);
}

} // namespace plat
