#include "scribbo/GPadView.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"

#include "fundo/GeoRect.h"
#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/Hires.h"
#include "winza/WinzaUtil.h"

#include <algorithm>

namespace {

constexpr COLORREF kBackColor = 0x666666;

struct Preset {
    int id;
    int kind;
    COLORREF colour;
    int alpha;
};

// The pen bar's presets; widths come from the settings when the bar is built.
constexpr Preset kPresets[] = {
    {ID_PAD_PEN, eDOPen, 0x000000, 255},       {ID_PAD_PEN, eDOPen, 0x0000FF, 255},
    {ID_PAD_PEN, eDOPen, 0xFF0000, 255},       {ID_PAD_PEN, eDOPen, 0x006600, 255},
    {ID_PAD_PEN, eDOPen, 0xFF00FF, 255},       {ID_PAD_PEN, eDOPen, 0x663300, 255},
    {ID_PAD_PENCIL, eDOPencel, 0x333333, 153}, {ID_PAD_MARKER, eDOMarker, 0x00FFFF, 96},
    {ID_PAD_MARKER, eDOMarker, 0x00FF00, 96},  {ID_PAD_MARKER, eDOMarker, 0xFFFF00, 96},
    {ID_PAD_ERASER, eDOEraser, 0xFFFFFF, 255}, {ID_PAD_STROKEDELETE, eDODelStroke, 0x000000, 255},
};
// Width of the stroke-delete tool: 0.1 in 16.16.
constexpr LONG kDelStrokeWidth = 6553;

LONG PresetWidth(int kind) {
    switch (kind) {
        case eDOPencel:
            return g_Settings.PencelWidth;
        case eDOMarker:
            return g_Settings.MarkerWidth;
        case eDOEraser:
            return g_Settings.EraserWidth;
        case eDODelStroke:
            return kDelStrokeWidth;
        default:
            return g_Settings.PenWidth;
    }
}

} // namespace

GPadView::GPadView() = default;

GPadView::~GPadView() {
    m_autoSave.Wait();
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
}

int GPadView::CreateView(HWND owner) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    return Create(owner, u"PadView", WS_POPUP, 0, 0, w, h - 1);
}

LRESULT GPadView::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_MOVE:
        case WM_SIZE:
            Winza::OnSize(hwnd, msg, wParam, lParam);
            Layout();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            m_bKeyGuard = GetValidKeyState();
            return 0;
        case WM_KEYDOWN:
            return OnKeyDown(wParam);
        case WM_KEYUP:
            return OnKeyUp(wParam);
        case WM_TIMER:
            return OnTimer(wParam);
        case WM_LBUTTONDOWN:
            return OnPenDown(lParam);
        case WM_MOUSEMOVE:
            return OnPenMove(lParam);
        case WM_LBUTTONUP:
            return OnPenUp(lParam);
        case WM_MOUSEWHEEL:
            ScrollBy(0, -GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
            return OnScroll(msg, wParam);
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case UM_NEWMEMO:
            NewMemo(reinterpret_cast<LPCWSTR>(lParam));
            return 0;
        case UM_OPENMEMO:
            OpenMemo(reinterpret_cast<LPCWSTR>(wParam));
            return 0;
        case UM_PADOPEN:
            if (lParam)
                OpenMemo(reinterpret_cast<LPCWSTR>(lParam));
            else
                CloseMemo();
            return 0;
        case UM_SCROLLLAUNCHER:
        case UM_TOOLBARPEN:
            if (msg == UM_TOOLBARPEN && lParam == 0 && HWND(wParam) == m_penBar.GetSafeHwnd()) {
                m_penLevelAtPress = m_penBar.GetShownLevel();
                m_bPenBarPressed = 1;
            }
            // A bar was used: it stays a while longer before it hides again.
            if (msg == UM_SCROLLLAUNCHER && !g_Settings.LockScrollbar)
                ::SetTimer(hwnd, kScrollLauncherTimer, kLauncherHideMs, nullptr);
            if (msg == UM_TOOLBARPEN && !g_Settings.LockToolbar)
                ::SetTimer(hwnd, kToolLauncherTimer, kLauncherHideMs, nullptr);
            if (lParam & 2)
                Layout();
            return 0;
        case UM_OBJECTCHANGED:
            if (wParam) {
                OnMagnifyStroke(reinterpret_cast<const tagRECT*>(wParam));
                return 0;
            }
            MarkChanged();
            Redraw();
            return 0;
        case UM_MAGNIFYMOVED:
            FollowMagnifyPad(1);
            return 0;
        case UM_MAGNIFYTALLER:
        case UM_MAGNIFYSHORTER: {
            const int step = msg == UM_MAGNIFYTALLER ? 10 : -10;
            g_Settings.MagPadHieght = DWORD(
                std::clamp(int(g_Settings.MagPadHieght) + step, ApplyHires(60), ApplyHires(120)));
            Layout();
            return 0;
        }
        default:
            return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT GPadView::OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Winza::OnCreate(hwnd, msg, wParam, lParam);
    m_nBarHeight = ScaleToButton(IsHires() ? 52 : 26);
    m_hBackBrush = ::CreateSolidBrush(kBackColor);
    InitDrawManagers();
    CreateBars();
    Layout();
    return 0;
}

void GPadView::InitDrawManagers() {
    const RECT ink = GetInkRect();
    for (GPadDrawMan* man : {&m_memo, &m_preview}) {
        man->SetUseCompensate(1);
        man->SetLineFactor(1.6);
        man->SetUseCurve(0);
        man->SetBackColor(m_hDC, 0xFFFFFF, 0);
    }
    m_memo.SetDOStrokeType(eDOPen);
    m_memo.InitBuffer(m_hDC, std::max<int>(1, ink.right - ink.left),
                      std::max<int>(1, ink.bottom - ink.top));
    m_memo.NewMemo();
    m_memo.ApplyPageSize();
    m_memo.SetCurPage(0, 0);
    m_memo.ZoomTo(100, 0);
    // The page launcher's preview draws with a soft brush.
    m_preview.SetDOStrokeType(eDOBrush);
    m_preview.SetColorPenColor(0xFF00FF);
    m_preview.SetMarkerWidth(FIXED_ONE);
    m_preview.InitBuffer(m_hDC, IsHires() ? 400 : 200, IsHires() ? 200 : 100);
    // A page for the pen bar's stroke preview to draw on; without one it shows nothing.
    m_preview.SetCurPage(0, 0);
    SelectPreset(nullptr);
}

void GPadView::CreateBars() {
    const int w = Width();
    const int h = Height();
    const int arrow = ScaleToButton(ApplyHires(18) + 1);
    const int thickness = ScaleToButton(IsHires() ? 30 : 15);
    for (InkraManScrollBar* bar : {&m_hScroll, &m_vScroll}) {
        bar->SetAnimate(1);
        bar->Create(this, bar == &m_vScroll ? 1 : 0, thickness, nullptr, 0);
        bar->SetArrowWidth(arrow, 0);
        bar->SetLineColor(GetGLibColor(27), 0);
        bar->SetAlpha(128, 0);
        ::ShowWindow(*bar, SW_HIDE);
    }

    m_topBar.CreateBar(m_hWnd, this, RECT{0, 0, w, m_nBarHeight}, eGBarHorizontal);
    m_penBar.CreateBar(m_hWnd, this, RECT{0, h - m_nBarHeight, w, h}, eGBarHorizontal);
    // On the high-resolution screen the buttons double with the bars and their pictures.
    for (GToolBarEx* bar : {&m_topBar, &m_penBar}) {
        if (g_App.ToolbarImages)
            bar->SetButtonImage(g_App.ToolbarImages, 0);
        bar->SetButtonSize(ScaleToButton(ApplyHires(23)), ScaleToButton(ApplyHires(22)), 1);
        bar->SetSpacing(ScaleToButton(ApplyHires(1)));
    }
    for (int id :
         {ID_PAD_NEWMEMO, ID_PAD_OPTIONS, ID_PAD_PAGEMENU, ID_PAD_IMPORTTEXT, ID_PAD_MAGNIFY,
          ID_PAD_FITWIDTH, ID_PAD_FITHEIGHT, ID_PAD_FULLSCREEN, ID_PAD_NORMALSCREEN})
        m_topBar.AddItem(nullptr, id, 0, id != ID_PAD_NORMALSCREEN);
    if (GToolButton* pages = m_topBar.FindItem(nullptr, ID_PAD_PAGEMENU))
        for (int id : {ID_PAD_PAGEINSERT, ID_PAD_PAGEDELETE, ID_PAD_PAGEPREV, ID_PAD_PAGENEXT})
            m_topBar.AddItem(pages->GetPosition(), id, 0, 1);
    // Close stays at the bar's end on every level, so the page level is never a dead end.
    m_topBar.SetCornerButton(ID_PAD_CLOSE, ScaleToButton(23));

    GToolButton* pens = m_penBar.AddItem(nullptr, ID_PAD_PENS, 0, 1);
    if (pens)
        for (const Preset& p : kPresets)
            if (GToolButton* item = m_penBar.AddToolItem(pens->GetPosition(), p.id, 0, 1, p.kind,
                                                         p.colour, PresetWidth(p.kind), p.alpha))
                m_presets.push_back(item);
    for (int id : {ID_PAD_ZOOMIN, ID_PAD_ZOOMOUT, ID_PAD_ZOOM100, ID_PAD_CLEARPAGE})
        m_penBar.AddItem(nullptr, id, 0, 1);
    // The pen group's own button stays at the end: it opens the presets and goes back. The
    // bar itself doubles the corner's width on the high-resolution screen.
    m_penBar.SetCornerButton(ID_PAD_PENS, ScaleToButton(23));
    m_penBar.SetPreviewDrawMan(&m_preview);
    ::ShowWindow(m_topBar, g_Settings.LockToolbar ? SW_SHOW : SW_HIDE);
    PlaceTabs();
    m_scrollTab.SetControlled(&m_vScroll, &m_hScroll);
    m_toolTab.SetControlled(&m_topBar);
}

void GPadView::PlaceTabs() {
    if (!m_hWnd)
        return;
    const RECT ink = GetInkRect();
    RECT screen = ink;
    ClientToScreen(&screen);
    // The scroll bar tab takes the corner where the two bars meet, the tool bar tab the
    // middle of the ink's right edge.
    const RECT scroll = CornerTabRect();
    const int cy = (ink.top + ink.bottom) / 2;
    const RECT tool{ink.right - ApplyHires(18), cy - ApplyHires(22), ink.right,
                    cy + ApplyHires(22)};
    GDib* picture = m_memo.GetBufferBlock();
    if (!m_scrollTab.GetSafeHwnd()) {
        m_scrollTab.Create(this, picture, screen, screen, scroll);
        m_toolTab.Create(this, picture, screen, screen, tool);
    } else {
        m_scrollTab.SetBackground(picture, screen, screen, scroll);
        m_toolTab.SetBackground(picture, screen, screen, tool);
    }
    m_toolTab.SetDocument(&m_memo, POINT{ink.left, ink.top});
}

RECT GPadView::CornerTabRect() const {
    const int t = ScaleToButton(IsHires() ? 30 : 15);
    const int right = m_rcClient.right;
    const int bottom =
        m_rcClient.bottom - m_nBarHeight + 1 - (m_bMagnifier ? int(g_Settings.MagPadHieght) : 0);
    return RECT{right - t, bottom - t, right, bottom};
}

void GPadView::RefreshTabsOver(const tagRECT& rc) {
    if (RectIsEmpty(&rc))
        return;
    RECT changed{m_nOffsetX + rc.left, m_nOffsetY + rc.top, m_nOffsetX + rc.right,
                 m_nOffsetY + rc.bottom};
    ClientToScreen(&changed);
    for (Winza* tab : {static_cast<Winza*>(&m_scrollTab), static_cast<Winza*>(&m_toolTab)}) {
        RECT at{}, hit{};
        if (tab->GetSafeHwnd() && ::GetWindowRect(*tab, &at) &&
            ::IntersectRect(&hit, &at, &changed))
            ::InvalidateRect(*tab, nullptr, FALSE);
    }
}

void GPadView::FitPresets() {
    // Every preset shows on one bar beside the corner button, narrower on a narrow screen.
    if (m_presets.empty())
        return;
    const int room = Width() - 2 * ScaleToButton(ApplyHires(23)) - ScaleToButton(ApplyHires(4));
    const int width = std::clamp(room / int(m_presets.size()), 1, ScaleToButton(ApplyHires(23)));
    for (GToolButton* item : m_presets)
        item->SetGroupWidth(width);
}

RECT GPadView::GetInkRect() const {
    RECT ink{m_nOffsetX, m_nOffsetY, m_rcClient.right, m_rcClient.bottom - m_nBarHeight + 1};
    if (m_bMagnifier)
        ink.bottom -= int(g_Settings.MagPadHieght);
    if (g_Settings.LockScrollbar) {
        const int thickness = ScaleToButton(IsHires() ? 30 : 15);
        if (m_vScroll.GetSafeHwnd() && ::IsWindowVisible(m_vScroll))
            ink.right -= thickness;
        if (m_hScroll.GetSafeHwnd() && ::IsWindowVisible(m_hScroll))
            ink.bottom -= thickness;
    }
    ink.right = std::max(ink.right, ink.left + 1);
    ink.bottom = std::max(ink.bottom, ink.top + 1);
    return ink;
}

void GPadView::Layout() {
    if (!m_hWnd || !m_topBar.GetSafeHwnd())
        return;
    const int w = Width();
    const int h = Height();
    m_nOffsetX = 0;
    m_nOffsetY = g_Settings.LockToolbar ? m_nBarHeight : 0;
    m_topBar.MoveBar(RECT{0, 0, w, m_nBarHeight}, 1);
    FitPresets();
    m_penBar.MoveBar(RECT{0, h - m_nBarHeight, w, h}, 1);
    const RECT ink = GetInkRect();
    const int iw = ink.right - ink.left;
    const int ih = ink.bottom - ink.top;
    if (iw == m_memo.Width() && ih == m_memo.Height()) {
        m_memo.ZoomTo(m_nZoom, 1);
    } else {
        const POINT pos = GetScrollPos();
        m_memo.InitBuffer(m_hDC, iw, ih);
        m_memo.ApplyPageSize();
        m_memo.ZoomTo(m_nZoom, 0);
        m_memo.ScrollTo(pos.x, pos.y, 1);
    }
    if (m_bMagnifier && m_magnify.GetSafeHwnd()) {
        const int mh = int(g_Settings.MagPadHieght);
        const int bottom = h - m_nBarHeight + 1;
        ::MoveWindow(m_magnify, 0, bottom - mh, w, mh, TRUE);
        m_magnify.SetZoom(GMagnifyPad::ZoomForStrip(mh, m_memo.GetTemplate()->LineSpace));
        ::ShowWindow(m_magnify, SW_SHOW);
    }
    UpdateScrollBars();
    PlaceTabs();
    if (m_bMagnifier)
        FollowMagnifyPad(0);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void GPadView::UpdateScrollBars() {
    if (!m_hScroll.GetSafeHwnd())
        return;
    const RECT ink = GetInkRect();
    const SIZE page = PageExtent();
    const POINT pos = GetScrollPos();
    const int thickness = ScaleToButton(IsHires() ? 30 : 15);
    const int iw = ink.right - ink.left;
    const int ih = ink.bottom - ink.top;
    RECT h{ink.left, ink.bottom - (g_Settings.LockScrollbar ? 0 : thickness), ink.right,
           ink.bottom + (g_Settings.LockScrollbar ? thickness : 0)};
    RECT v{ink.right - (g_Settings.LockScrollbar ? 0 : thickness), ink.top,
           ink.right + (g_Settings.LockScrollbar ? thickness : 0), ink.bottom};
    // The corner where the bars meet belongs to their tab: each bar ends before it, so its
    // far arrow is not hidden under the other bar or the tab.
    const RECT corner = CornerTabRect();
    h.right = std::min(h.right, corner.left);
    v.bottom = std::min(v.bottom, corner.top);
    m_hScroll.MoveWindow(this, thickness, &h, 0);
    m_vScroll.MoveWindow(this, thickness, &v, 0);
    m_hScroll.SetScrollInfo(page.cx, iw, ScaleToButton(ApplyHires(16)), pos.x);
    m_vScroll.SetScrollInfo(page.cy, ih, ScaleToButton(ApplyHires(16)), pos.y);
    if (g_Settings.LockScrollbar) {
        m_hScroll.SetAlpha(255, 0);
        m_vScroll.SetAlpha(255, 0);
        m_hScroll.ShowIfNeeded(page.cx > iw, ::IsWindowVisible(m_hScroll));
        m_vScroll.ShowIfNeeded(page.cy > ih, ::IsWindowVisible(m_vScroll));
    }
}

void GPadView::SetListColor(COLORREF colour) {
    m_crList = colour;
    for (GToolBarEx* bar : {&m_topBar, &m_penBar}) {
        bar->SetBarBackColor(colour);
        if (bar->GetSafeHwnd())
            ::InvalidateRect(*bar, nullptr, FALSE);
    }
}

void GPadView::Draw(HDC hdc, RECT clip) {
    const RECT ink = GetInkRect();
    // Around the ink: the dark backdrop.
    RECT parts[4] = {{0, 0, m_rcClient.right, ink.top},
                     {0, ink.top, ink.left, ink.bottom},
                     {ink.right, ink.top, m_rcClient.right, ink.bottom},
                     {0, ink.bottom, m_rcClient.right, m_rcClient.bottom}};
    for (RECT& r : parts) {
        RECT hit{};
        if (::IntersectRect(&hit, &r, &clip))
            ::FillRect(hdc, &hit, m_hBackBrush);
    }
    RECT show{};
    if (::IntersectRect(&show, &ink, &clip))
        m_memo.DrawBuffer(hdc, show.left, show.top, show.right - show.left, show.bottom - show.top,
                          show.left - ink.left, show.top - ink.top);
    if (m_bMagnifier)
        DrawMagnifier(hdc);
}

void GPadView::ShowInk(const tagRECT& rc) {
    if (RectIsEmpty(&rc) || !m_hDC)
        return;
    const LONG left = std::max<LONG>(0, rc.left);
    const LONG top = std::max<LONG>(0, rc.top);
    const LONG right = std::min<LONG>(rc.right, m_memo.Width());
    const LONG bottom = std::min<LONG>(rc.bottom, m_memo.Height());
    if (right <= left || bottom <= top)
        return;
    m_memo.DrawBuffer(m_hDC, m_nOffsetX + left, m_nOffsetY + top, right - left, bottom - top, left,
                      top);
}

void GPadView::Redraw() {
    m_memo.Render();
    UpdatePageIndicator();
    RefreshTabsOver(tagRECT{0, 0, m_memo.Width(), m_memo.Height()});
    // The strip shows the page as it now is (another page, or the same one changed).
    if (m_bMagnifier)
        AttachMagnifyPage();
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT GPadView::OnTimer(WPARAM id) {
    switch (id) {
        case kScrollLauncherTimer:
            ::KillTimer(m_hWnd, id);
            if (m_scrollTab.IsShown())
                m_scrollTab.ShowControlled(1, SW_HIDE);
            return 0;
        case kToolLauncherTimer:
            ::KillTimer(m_hWnd, id);
            if (m_toolTab.IsShown())
                m_toolTab.ShowControlled(1, SW_HIDE);
            return 0;
        case kAutoSaveTimer:
            ::KillTimer(m_hWnd, id);
            StartAutoSave();
            return 0;
        default:
            return Winza::WndProc(m_hWnd, WM_TIMER, id, 0);
    }
}

LRESULT GPadView::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    switch (id) {
        case ID_PAD_NEWMEMO: {
            // The folder the list shows; the default folder without a list.
            WCHAR folder[kMemoPathChars];
            GScribboMain* main = GScribboMain::Instance();
            LPCWSTR listed = main && main->GetTitleViewWnd() ? main->GetTitleView()->GetCurFolder()
                                                             : g_Settings.DefNewMemoFolder;
            wcsncpy(folder, listed, kMemoPathChars - 1);
            folder[kMemoPathChars - 1] = 0;
            NewMemo(folder);
            break;
        }
        case ID_PAD_OPTIONS:
            PadOptions();
            break;
        case ID_PAD_CLOSE:
            CloseMemo();
            break;
        case ID_PAD_IMPORTTEXT:
            ImportText();
            break;
        case ID_PAD_PAGEINSERT:
            InsertPage();
            break;
        case ID_PAD_PAGEDELETE:
            DeletePage();
            break;
        case ID_PAD_PAGEPREV:
            GoToPage(m_memo.GetCurPageIndex() - 1);
            break;
        case ID_PAD_PAGENEXT:
            GoToPage(m_memo.GetCurPageIndex() + 1);
            break;
        case ID_PAD_PENS:
            // The group's own item opened the presets itself in this tap; the corner button
            // opens them or goes back from them.
            if (m_bPenBarPressed && m_penBar.GetShownLevel() != m_penLevelAtPress) {
                m_bPenBarPressed = 0;
                break;
            }
            m_bPenBarPressed = 0;
            if (m_penBar.GetShownLevel())
                m_penBar.LevelUp(1);
            else if (GToolButton* pens = m_penBar.FindItem(nullptr, ID_PAD_PENS))
                m_penBar.ShowLevel(pens->GetPosition());
            break;
        case ID_PAD_ZOOMIN:
            ZoomIn();
            break;
        case ID_PAD_ZOOMOUT:
            ZoomOut();
            break;
        case ID_PAD_ZOOM100:
            ZoomTo(100);
            break;
        case ID_PAD_MAGNIFY:
            ShowMagnifier(!m_bMagnifier);
            break;
        case ID_PAD_PEN:
        case ID_PAD_MARKER:
        case ID_PAD_ERASER:
        case ID_PAD_STROKEDELETE:
        case ID_PAD_PENCIL:
            SelectPreset(m_penBar.GetSelectedItem());
            break;
        case ID_PAD_CLEARPAGE:
            ClearPage();
            break;
        case ID_PAD_FULLSCREEN:
            SetFullScreen(1);
            break;
        case ID_PAD_NORMALSCREEN:
            SetFullScreen(0);
            break;
        case ID_PAD_FITWIDTH:
            FitWidth();
            break;
        case ID_PAD_FITHEIGHT:
            FitHeight();
            break;
        default:
            break;
    }
    return 0;
}

void GPadView::SelectPreset(const GToolButton* item) {
    const int kind = item && item->IsToolItem() ? item->GetPenKind() : eDOPen;
    const COLORREF colour = item ? item->GetColor() : g_Settings.PenColor;
    const LONG width = item ? item->GetPenWidth() : g_Settings.PenWidth;
    const int alpha = item ? item->GetAlpha() : 255;
    for (GPadDrawMan* man : {&m_memo, &m_preview}) {
        man->SetDOStrokeType(eDOStrokeType(kind));
        switch (kind) {
            case eDOPen:
                man->SetPenColor(colour);
                man->SetPenWidth(width);
                man->SetMaxAlpha(alpha);
                break;
            case eDODelStroke:
                man->SetMaxAlpha(255);
                man->SetDelStrokeWidth(width);
                break;
            case eDOEraser:
                man->SetMaxAlpha(255);
                man->SetEraserWidth(width);
                break;
            case eDOPencel:
                man->SetPencelColor(colour);
                man->SetPencelWidth(width);
                man->SetMaxAlpha(alpha);
                break;
            case eDOMarker:
                man->SetMarkerColor(colour);
                man->SetMarkerWidth(width);
                man->SetMaxAlpha(alpha);
                break;
            default:
                break;
        }
    }
    switch (kind) {
        case eDOPen:
            g_Settings.PenColor = colour;
            g_Settings.PenWidth = width;
            break;
        case eDOEraser:
            g_Settings.EraserWidth = width;
            break;
        case eDOPencel:
            g_Settings.PencelColor = colour;
            g_Settings.PencelWidth = width;
            break;
        case eDOMarker:
            g_Settings.MarkerColor = colour;
            g_Settings.MarkerWidth = width;
            break;
        default:
            break;
    }
}

void GPadView::SetFullScreen(int on) {
    if (on == m_bFullScreen || !m_hWnd)
        return;
    if (on) {
        ::GetWindowRect(m_hWnd, &m_rcNormal);
        ::SetFocus(m_hWnd);
        ::MoveWindow(m_hWnd, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                     TRUE);
    } else {
        ::MoveWindow(m_hWnd, m_rcNormal.left, m_rcNormal.top, m_rcNormal.right - m_rcNormal.left,
                     m_rcNormal.bottom - m_rcNormal.top, TRUE);
    }
    m_bFullScreen = on;
    m_topBar.ShowButton(ID_PAD_FULLSCREEN, !on);
    m_topBar.ShowButton(ID_PAD_NORMALSCREEN, on);
    m_topBar.LayoutItems(1);
}

LRESULT GPadView::OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CancelStroke();
    for (UINT id : {kScrollLauncherTimer, kToolLauncherTimer, kAutoSaveTimer})
        ::KillTimer(hwnd, id);
    // The strip lets the memo's page go before the memo is left.
    if (m_magnify.GetSafeHwnd()) {
        m_magnify.AttachPage(nullptr, nullptr);
        m_magnify.Destroy();
    }
    // Closing the program saves what is open; a failed save was already told.
    SaveMemo();
    m_autoSave.Wait();
    for (Winza* child : {static_cast<Winza*>(&m_scrollTab), static_cast<Winza*>(&m_toolTab),
                         static_cast<Winza*>(&m_topBar), static_cast<Winza*>(&m_penBar),
                         static_cast<Winza*>(&m_hScroll), static_cast<Winza*>(&m_vScroll)})
        if (child->GetSafeHwnd())
            child->Destroy();
    return Winza::OnDestroy(hwnd, msg, wParam, lParam);
}
