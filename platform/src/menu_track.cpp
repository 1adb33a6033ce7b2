// TrackPopupMenu: the menu windows (class "#32768"), their drawing, and the nested modal
// loop that takes the stylus and the keys while a menu is up. The loop waits in GetMessageW
// like any other; it handles input itself and dispatches everything else.
#include "menu_internal.h"
#include "user_internal.h"

#include <platform/gdiguard.h>
#include <platform/winbase.h>
#include <platform/wintext.h>

#include <algorithm>
#include <cmath>

namespace plat {
namespace {

struct Level {
    HMENU menu = nullptr;
    HWND hwnd = nullptr;
    RECT rc{};              // screen
    std::vector<RECT> rows; // client coordinates, one per item
    int hot = -1;
};

struct Tracking {
    HWND owner = nullptr;
    UINT flags = 0;
    std::vector<Level> levels;
    bool done = false;
    UINT_PTR result = 0;
    bool armed = false; // the pen went down in (or was dragged onto) the menu
};

thread_local Tracking* t_track = nullptr;

int Scale() {
    return GetSystemMetrics(SM_CXSCREEN) > 320 || GetSystemMetrics(SM_CYSCREEN) > 320 ? 2 : 1;
}

HGDIOBJ MenuFont() {
    return GetStockObject(SYSTEM_FONT);
}

Level* LevelOf(HWND hwnd) {
    if (!t_track)
        return nullptr;
    for (Level& l : t_track->levels)
        if (l.hwnd == hwnd)
            return &l;
    return nullptr;
}

// Rows and size of a menu's window.
SIZE Layout(Level& l) {
    std::shared_ptr<Menu> m = LookupMenu(l.menu);
    int s = Scale();
    int textW = 0;
    int itemH, sepH;
    {
        gdi::WindowDC dc(nullptr);
        gdi::Select font(dc, MenuFont());
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        itemH = static_cast<int>(tm.tmHeight) + 6 * s;
        sepH = 5 * s;
        if (m)
            for (const MenuItem& it : m->items) {
                if (it.Separator())
                    continue;
                SIZE sz{};
                GetTextExtentPoint32W(dc, it.text.c_str(), static_cast<int>(it.text.size()), &sz);
                textW = std::max(textW, static_cast<int>(sz.cx));
            }
    }
    int width = 2 + 16 * s + textW + 8 * s + 12 * s;
    l.rows.clear();
    int y = 1;
    if (m)
        for (const MenuItem& it : m->items) {
            int h = it.Separator() ? sepH : itemH;
            l.rows.push_back(RECT{1, y, width - 1, y + h});
            y += h;
        }
    return SIZE{std::max(width, 40 * s), y + 1};
}

void KeepOnScreen(RECT* rc) {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    int w = rc->right - rc->left, h = rc->bottom - rc->top;
    int x = std::clamp(static_cast<int>(rc->left), 0, std::max(0, sw - w));
    int y = std::clamp(static_cast<int>(rc->top), 0, std::max(0, sh - h));
    *rc = RECT{x, y, x + w, y + h};
}

void Repaint(Level& l) {
    InvalidateRect(l.hwnd, nullptr, FALSE);
}

bool Open(Tracking& t, HMENU menu, int x, int y, UINT align, const RECT* beside) {
    SendMessageW(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                 MAKELPARAM(t.levels.size(), 0));
    if (!IsMenu(menu))
        return false;
    Level l;
    l.menu = menu;
    SIZE sz = Layout(l);
    if (beside) {
        // A submenu opens to the right of its item, or to the left of its menu when there is
        // no room.
        x = beside->right - 2;
        y = beside->top;
        if (x + sz.cx > GetSystemMetrics(SM_CXSCREEN))
            x = std::max(0, static_cast<int>(beside->left) - static_cast<int>(sz.cx) + 2);
    } else {
        if (align & TPM_RIGHTALIGN)
            x -= sz.cx;
        else if (align & TPM_CENTERALIGN)
            x -= sz.cx / 2;
        if (align & TPM_BOTTOMALIGN)
            y -= sz.cy;
        else if (align & TPM_VCENTERALIGN)
            y -= sz.cy / 2;
    }
    l.rc = RECT{x, y, x + sz.cx, y + sz.cy};
    KeepOnScreen(&l.rc);
    l.hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, u"#32768", u"",
                             WS_POPUP, l.rc.left, l.rc.top, sz.cx, sz.cy, t.owner, nullptr, nullptr,
                             nullptr);
    if (!l.hwnd)
        return false;
    t.levels.push_back(l);
    ShowWindow(t.levels.back().hwnd, SW_SHOWNA);
    return true;
}

void CloseFrom(Tracking& t, size_t depth) {
    while (t.levels.size() > depth) {
        HWND h = t.levels.back().hwnd;
        t.levels.pop_back();
        DestroyWindow(h);
    }
}

const MenuItem* ItemAt(const Level& l, int row) {
    std::shared_ptr<Menu> m = LookupMenu(l.menu);
    if (!m || row < 0 || static_cast<size_t>(row) >= m->items.size())
        return nullptr;
    return &m->items[static_cast<size_t>(row)];
}

void SetHot(Level& l, int row) {
    if (l.hot != row) {
        l.hot = row;
        Repaint(l);
    }
}

// Opens the submenu of a level's hot item when it has one (and it is enabled).
bool OpenSub(Tracking& t, size_t depth, bool selectFirst);

int NextSelectable(const Level& l, int from, int step) {
    std::shared_ptr<Menu> m = LookupMenu(l.menu);
    if (!m || m->items.empty())
        return -1;
    int n = static_cast<int>(m->items.size());
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        if (m->items[static_cast<size_t>(i)].Selectable())
            return i;
    }
    return -1;
}

bool OpenSub(Tracking& t, size_t depth, bool selectFirst) {
    Level& l = t.levels[depth];
    const MenuItem* it = ItemAt(l, l.hot);
    if (!it || !it->sub || !it->Selectable())
        return false;
    if (t.levels.size() > depth + 1 && t.levels[depth + 1].menu == it->sub)
        return true;
    CloseFrom(t, depth + 1);
    RECT row = t.levels[depth].rows[static_cast<size_t>(t.levels[depth].hot)];
    OffsetRect(&row, t.levels[depth].rc.left, t.levels[depth].rc.top);
    row.left = t.levels[depth].rc.left;
    row.right = t.levels[depth].rc.right;
    if (!Open(t, it->sub, 0, 0, 0, &row))
        return false;
    if (selectFirst)
        SetHot(t.levels.back(), NextSelectable(t.levels.back(), -1, 1));
    return true;
}

void Choose(Tracking& t, const MenuItem& it) {
    t.result = it.id;
    t.done = true;
}

struct Hit {
    int level = -1;
    int row = -1;
};

Hit HitTest(const Tracking& t, POINT pt) {
    for (int i = static_cast<int>(t.levels.size()) - 1; i >= 0; --i) {
        const Level& l = t.levels[static_cast<size_t>(i)];
        if (!PtInRect(&l.rc, pt))
            continue;
        POINT c{pt.x - l.rc.left, pt.y - l.rc.top};
        for (size_t r = 0; r < l.rows.size(); ++r)
            if (PtInRect(&l.rows[r], c))
                return Hit{i, static_cast<int>(r)};
        return Hit{i, -1};
    }
    return Hit{};
}

// Points the pen (or the hovering pointer) at an item: highlights it and opens its submenu.
void Point(Tracking& t, Hit h) {
    if (h.level < 0) {
        Level& inner = t.levels.back();
        SetHot(inner, -1);
        return;
    }
    Level& l = t.levels[static_cast<size_t>(h.level)];
    const MenuItem* it = ItemAt(l, h.row);
    int hot = it && it->Selectable() ? h.row : -1;
    // Leaving an open submenu's item for another closes that submenu.
    if (t.levels.size() > static_cast<size_t>(h.level) + 1 && hot != l.hot)
        CloseFrom(t, static_cast<size_t>(h.level) + 1);
    SetHot(l, hot);
    if (hot >= 0)
        OpenSub(t, static_cast<size_t>(h.level), false);
}

void Mouse(Tracking& t, const MSG& msg) {
    Hit h = HitTest(t, msg.pt);
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            if (h.level < 0) {
                // A tap outside every menu dismisses it; the tap itself goes nowhere.
                t.done = true;
                t.result = 0;
                return;
            }
            t.armed = true;
            Point(t, h);
            return;
        case WM_MOUSEMOVE:
            if ((msg.wParam & (MK_LBUTTON | MK_RBUTTON)) && h.row >= 0)
                t.armed = true;
            Point(t, h);
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            if (!t.armed || h.level < 0)
                return;
            const MenuItem* it = ItemAt(t.levels[static_cast<size_t>(h.level)], h.row);
            if (it && it->Selectable() && !it->sub)
                Choose(t, *it);
            return;
        }
        default:
            return;
    }
}

void Key(Tracking& t, int vk) {
    size_t depth = t.levels.size() - 1;
    Level& l = t.levels[depth];
    switch (vk) {
        case VK_DOWN:
        case VK_UP: {
            int next = NextSelectable(l, l.hot, vk == VK_DOWN ? 1 : -1);
            if (next >= 0)
                SetHot(l, next);
            return;
        }
        case VK_RIGHT:
            OpenSub(t, depth, true);
            return;
        case VK_LEFT:
            if (depth > 0)
                CloseFrom(t, depth);
            return;
        case VK_ESCAPE:
            if (depth > 0) {
                CloseFrom(t, depth);
            } else {
                t.done = true;
                t.result = 0;
            }
            return;
        case VK_RETURN: {
            const MenuItem* it = ItemAt(l, l.hot);
            if (!it || !it->Selectable())
                return;
            if (it->sub)
                OpenSub(t, depth, true);
            else
                Choose(t, *it);
            return;
        }
        default:
            return;
    }
}

void FillBox(HDC dc, int l, int t, int r, int b, COLORREF c) {
    gdi::Brush br(CreateSolidBrush(c));
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, br);
}

void PaintMenu(HWND hwnd) {
    gdi::PaintDC paint(hwnd);
    HDC dc = paint;
    Level* l = LevelOf(hwnd);
    std::shared_ptr<Menu> m = l ? LookupMenu(l->menu) : nullptr;
    if (!dc || !m)
        return;
    int s = Scale();
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    gdi::Select font(dc, MenuFont());
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < m->items.size() && i < l->rows.size(); ++i) {
        const MenuItem& it = m->items[i];
        RECT row = l->rows[i];
        if (it.Separator()) {
            int y = (row.top + row.bottom) / 2;
            FillBox(dc, row.left + 2 * s, y, row.right - 2 * s, y + s, RGB(128, 128, 128));
            continue;
        }
        bool hot = static_cast<int>(i) == l->hot;
        COLORREF ink = it.Disabled() ? GetSysColor(COLOR_GRAYTEXT)
                       : hot         ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                     : RGB(0, 0, 0);
        if (hot)
            FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        int cx = row.left + 8 * s, cy = (row.top + row.bottom) / 2;
        if ((it.flags & MF_CHECKED) && (it.flags & MFT_RADIOCHECK)) {
            int r = 3 * s;
            for (int dy = -r; dy <= r; ++dy) {
                int half = static_cast<int>(std::sqrt(static_cast<double>(r * r - dy * dy)) + 0.5);
                FillBox(dc, cx - half, cy + dy, cx + half + 1, cy + dy + 1, ink);
            }
        } else if (it.flags & MF_CHECKED) {
            gdi::Pen pen(CreatePen(PS_SOLID, s, ink));
            gdi::Select selPen(dc, pen);
            POINT mark[3] = {{cx - 4 * s, cy}, {cx - s, cy + 3 * s}, {cx + 4 * s, cy - 3 * s}};
            Polyline(dc, mark, 3);
        }
        SetTextColor(dc, ink);
        RECT text{row.left + 16 * s, row.top, row.right - 12 * s, row.bottom};
        DrawTextW(dc, it.text.c_str(), static_cast<int>(it.text.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (it.sub) {
            // A small triangle pointing right.
            int ax = row.right - 9 * s;
            for (int k = 0; k <= 3 * s; ++k)
                FillBox(dc, ax + k, cy - (3 * s - k), ax + k + 1, cy + (3 * s - k) + 1, ink);
        }
    }
}

} // namespace

LRESULT CALLBACK MenuWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            PaintMenu(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            if (t_track && LevelOf(hwnd))
                t_track->done = true;
            return 0;
        case WM_CAPTURECHANGED:
            // Someone else took the stylus: the menu gives up, as in Win32.
            if (t_track && !t_track->done && !t_track->levels.empty() &&
                t_track->levels.front().hwnd == hwnd && reinterpret_cast<HWND>(lParam) != hwnd) {
                t_track->done = true;
                t_track->result = 0;
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace plat

using namespace plat;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!IsMenu(menu) || !IsWindow(owner)) {
        SetLastError(IsMenu(menu) ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (t_track) {
        SetLastError(ERROR_INVALID_PARAMETER); // one menu at a time
        return FALSE;
    }
    Tracking t;
    t.owner = owner;
    t.flags = flags;
    t_track = &t;
    if (!Open(t, menu, x, y, flags, nullptr)) {
        t_track = nullptr;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SetCapture(t.levels.front().hwnd);
    bool quit = false;
    int quitCode = 0;
    while (!t.done) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            SendMessageW(owner, WM_ENTERIDLE, MSGF_MENU,
                         reinterpret_cast<LPARAM>(t.levels.back().hwnd));
            if (t.done || t.levels.empty() || !IsWindow(owner))
                break;
        }
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
            msg.message != WM_MOUSEWHEEL) {
            Mouse(t, msg);
        } else if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            if (msg.message == WM_KEYDOWN)
                Key(t, static_cast<int>(msg.wParam));
        } else {
            DispatchMessageW(&msg);
        }
        if (!IsWindow(owner) || t.levels.empty())
            t.done = true;
    }
    HWND first = t.levels.empty() ? nullptr : t.levels.front().hwnd;
    CloseFrom(t, 0);
    if (first && GetCapture() == first)
        ReleaseCapture();
    t_track = nullptr;
    if (quit)
        PostQuitMessage(quitCode); // the outer loop ends too
    UINT_PTR chosen = quit ? 0 : t.result;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen && !(flags & TPM_NONOTIFY) && IsWindow(owner))
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return TRUE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void*) {
    return TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

BOOL EndMenu() {
    if (!t_track || t_track->levels.empty())
        return FALSE;
    t_track->done = true;
    t_track->result = 0;
    // Wake the loop if it is waiting.
    PostMessageW(t_track->levels.front().hwnd, WM_NULL, 0, 0);
    return TRUE;
}
