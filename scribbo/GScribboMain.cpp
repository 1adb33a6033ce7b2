#include "scribbo/GScribboMain.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GGlobalOptionDlg.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"
#include "scribbo/StoreRebase.h"

#include "fundo/GZLib.h"
#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GTime.h"
#include "winza/Hires.h"
#include "winza/WinzaUtil.h"

namespace {

constexpr int kSplitterWidth = 6;
constexpr int kGripHeight = 40;
// Sent to the window itself: let go of the stylus and end the program.
constexpr UINT kCloseRequest = 0x0012;

GScribboMain* g_main = nullptr;

} // namespace

GScribboMain::GScribboMain() = default;

GScribboMain::~GScribboMain() {
    if (g_main == this)
        g_main = nullptr;
    if (m_hSplitterBrush)
        ::DeleteObject(m_hSplitterBrush);
}

GScribboMain* GScribboMain::Instance() {
    return g_main;
}

int GScribboMain::RegisterClassW() {
    // The class keeps the icon for the program's whole life.
    static HICON icon = LoadProgramIcon(g_App.hInstance);
    return Winza::RegisterClassW(CS_HREDRAW | CS_VREDRAW, icon, ::LoadCursorW(nullptr, IDC_ARROW),
                                 ::GetSysColorBrush(COLOR_WINDOW), nullptr);
}

COLORREF GScribboMain::GetListColor() const {
    if (g_Settings.TVNaviMode == 2 && m_dateBar.GetSafeHwnd())
        return m_dateBar.GetWeekdayColor();
    if (g_Settings.TVNaviMode == 2) {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        return g_Settings.WeekdayColor[now.wDayOfWeek % 7];
    }
    // The listed folder's colour (the toolkit's bar colour when none is listed).
    if (m_folderBar.GetSafeHwnd())
        return m_folderBar.GetFolderColor();
    return GetGLibColor(4);
}

LRESULT GScribboMain::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_MOVE:
        case WM_SIZE:
            return OnSize(hwnd, msg, wParam, lParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam))
                Invalidate(0);
            return 0;
        case WM_SETFOCUS:
            if (m_padView.GetSafeHwnd() && ::IsWindowVisible(m_padView))
                ::SetFocus(m_padView);
            else if (m_hTitleViewWnd && ::IsWindowVisible(m_hTitleViewWnd))
                ::SetFocus(m_hTitleViewWnd);
            return 0;
        case WM_KILLFOCUS:
            return 0;
        case WM_MOUSEWHEEL: {
            RECT list{};
            const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (m_titleView.GetSafeHwnd() && ::GetWindowRect(m_titleView, &list) &&
                ::PtInRect(&list, pt))
                m_titleView.ScrollByWheel(short(HIWORD(wParam)));
            return 0;
        }
        case kCloseRequest:
            EndProgram();
            return 0;
        case WM_ERASEBKGND:
            return 0;
        case WM_COMMAND:
            return OnCommand(hwnd, wParam, lParam);
        case WM_TIMER:
            return OnTimer(hwnd, msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case UM_FOLDERCHANGED:
        case UM_DATELISTCHANGED:
            // The right area shows the selected weekday's colour; the list shows its memos.
            InvalidateListColor();
            if (m_titleView.GetSafeHwnd())
                ::SendMessageW(m_titleView, UM_DATELISTCHANGED, 0, 0);
            return 0;
        case UM_OPENMEMO:
            return m_padView.GetSafeHwnd() ? ::SendMessageW(m_padView, msg, wParam, lParam) : 0;
        default:
            return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT GScribboMain::OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Winza::OnCreate(hwnd, msg, wParam, lParam);
    g_main = this;
    m_szClient = SIZE{Width(), Height()};
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    m_rcSplitter =
        RECT{screenWidth, m_rcClient.top, screenWidth + kSplitterWidth, m_rcClient.bottom};
    m_nBarHeight = IsHires() ? 46 : ScaleToButton(23);
    m_nToolbarHeight = ScaleToButton(IsHires() ? 52 : 26);
    // A direct start shows only the pad view: the list side is not built.
    m_bListSide = g_App.StartMode == eStartNormal;
    if (m_bListSide) {
        CreateFolderListBar();
        CreateTitleView();
        CreateDateListBar();
        CreateToolBar();
        ApplyModes();
        if (m_titleView.GetSafeHwnd()) {
            m_titleView.SetNaviMode(int(g_Settings.TVNaviMode));
            m_titleView.SetViewMode(int(g_Settings.TVViewMode));
        }
    }
    CreatePadView();
    return 0;
}

void GScribboMain::CreatePadView() {
    if (!m_padView.CreateView(m_hWnd))
        return;
    m_padView.SetNotifyTarget(m_hTitleViewWnd);
    m_padView.SetListColor(GetListColor());
    ShowSIPButton(m_hWnd, g_App.hInstance);
    if (g_App.StartMode == eStartOpenFile) {
        // A memo that cannot be read ends a direct start at once (the view closes).
        ::SendMessageW(m_padView, UM_OPENMEMO, reinterpret_cast<WPARAM>(g_App.StartFilePath), 1);
    } else if (g_App.StartMode == eStartNewMemo) {
        ::SendMessageW(m_padView, UM_NEWMEMO, 0,
                       reinterpret_cast<LPARAM>(g_Settings.DefNewMemoFolder));
        if (!m_padView.HasMemo())
            ::PostMessageW(m_hWnd, WM_COMMAND, ID_EXIT, 0);
    } else if (m_hTitleViewWnd) {
        ::SetFocus(m_hTitleViewWnd);
    }
}

void GScribboMain::CreateTitleView() {
    const int left = m_rcClient.left;
    const int top = m_rcClient.top + m_nBarHeight;
    if (!m_titleView.Create(m_hWnd, u"TitleView", WS_CHILD | WS_VISIBLE, left, top,
                            m_rcSplitter.left - left, Height() - m_nBarHeight - m_nToolbarHeight))
        return;
    m_hTitleViewWnd = m_titleView.GetSafeHwnd();
    m_titleView.SetDateListBar(&m_dateBar);
    if (m_folderBar.GetSafeHwnd()) {
        m_titleView.SetFolderSource(&m_folderSource);
        m_folderBar.SetNotifyWindow(m_hTitleViewWnd);
    }
}

void GScribboMain::CreateDateListBar() {
    const RECT bar{m_rcClient.left, m_rcClient.top, m_rcSplitter.left - m_rcClient.left,
                   m_rcClient.top + m_nBarHeight};
    if (!m_dateBar.CreateBar(m_hWnd, this, bar, eGBarHorizontal))
        return;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    m_dateBar.SetDate(double(GTime(now.wYear, now.wMonth, now.wDay)));
    RescanMemoStore();
}

void GScribboMain::CreateFolderListBar() {
    const RECT bar{m_rcClient.left, m_rcClient.top, m_rcSplitter.left - m_rcClient.left,
                   m_rcClient.top + m_nBarHeight};
    if (m_folderBar.CreateBar(m_hWnd, this, bar, eGBarHorizontal))
        m_folderBar.SetNotifyWindow(GetListOwnerWnd());
}

void GScribboMain::RescanMemoStore() {
    // The folder tree keeps its current folder across the scan; the date index is refilled.
    if (m_folderBar.GetSafeHwnd()) {
        m_folderBar.Rescan(m_dateBar.GetSafeHwnd() ? &m_dateBar : nullptr);
        if (m_dateBar.GetSafeHwnd())
            ::InvalidateRect(m_dateBar, nullptr, FALSE);
    } else if (m_dateBar.GetSafeHwnd()) {
        ScanMemoStore(nullptr, &m_dateBar, g_Settings.BaseDataFolder, nullptr);
        ::InvalidateRect(m_dateBar, nullptr, FALSE);
        if (m_titleView.GetSafeHwnd() && g_Settings.TVNaviMode == 2)
            m_titleView.Reload();
    }
}

void GScribboMain::InvalidateListColor() {
    if (!m_hWnd)
        return;
    if (m_padView.GetSafeHwnd())
        m_padView.SetListColor(GetListColor());
    const RECT list{m_rcSplitter.right, m_rcClient.top, m_rcClient.right, m_rcClient.bottom};
    if (list.right > list.left)
        ::InvalidateRect(m_hWnd, &list, FALSE);
}

void GScribboMain::CreateToolBar() {
    const RECT bar{m_rcClient.left, m_rcClient.bottom - m_nToolbarHeight,
                   m_rcSplitter.left - m_rcClient.left, m_rcClient.bottom};
    m_toolbar.CreateBar(m_hWnd, this, bar, eGBarHorizontal);
    m_toolbar.SetSpacing(ScaleToButton(2));
    m_toolbar.SetFirstOffset(28);
    if (g_App.ToolbarImages)
        m_toolbar.SetButtonImage(g_App.ToolbarImages, 0);
    static const int ids[] = {ID_NEWMEMO,   ID_NAVI_DATE, ID_NAVI_FOLDER, ID_VIEW_PREVIEW,
                              ID_VIEW_LIST, ID_OPTIONS,   ID_EXIT};
    for (int id : ids)
        m_toolbar.AddItem(nullptr, id, 0, 1);
}

void GScribboMain::ApplyModes() {
    if (!m_bListSide)
        return;
    const bool dates = g_Settings.TVNaviMode == 2;
    m_toolbar.ShowButton(ID_NAVI_DATE, !dates);
    m_toolbar.ShowButton(ID_NAVI_FOLDER, dates);
    const bool previews = g_Settings.TVViewMode == 4;
    m_toolbar.ShowButton(ID_VIEW_PREVIEW, !previews);
    m_toolbar.ShowButton(ID_VIEW_LIST, previews);
    m_toolbar.LayoutItems(1);
    const bool room = m_rcSplitter.left - 2 * m_rcClient.left >= 1;
    if (m_dateBar.GetSafeHwnd())
        ::ShowWindow(m_dateBar, dates && room ? SW_SHOW : SW_HIDE);
    if (m_folderBar.GetSafeHwnd()) {
        if (dates)
            m_folderBar.ShowDropDown(0);
        ::ShowWindow(m_folderBar, !dates && room ? SW_SHOW : SW_HIDE);
    }
}

void GScribboMain::SetToolbarImages(GImageList* list) {
    if (m_bListSide && m_toolbar.GetSafeHwnd())
        m_toolbar.SetButtonImage(list, 0);
    RecalcLayout(1);
}

void GScribboMain::RecalcLayout(int invalidate) {
    if (!m_hWnd)
        return;
    const int left = m_rcClient.left;
    const int top = m_rcClient.top;
    const int bottom = m_rcClient.bottom;
    const int split = m_rcSplitter.left;
    if (m_bListSide && m_toolbar.GetSafeHwnd()) {
        if (split - 2 * left < 1) {
            if (m_titleView.GetSafeHwnd())
                ::ShowWindow(m_titleView, SW_HIDE);
            ::ShowWindow(m_toolbar, SW_HIDE);
            if (m_dateBar.GetSafeHwnd())
                ::ShowWindow(m_dateBar, SW_HIDE);
            if (m_folderBar.GetSafeHwnd())
                ::ShowWindow(m_folderBar, SW_HIDE);
        } else {
            if (m_folderBar.GetSafeHwnd()) {
                m_folderBar.MoveBar(RECT{left, top, split - left, top + m_nBarHeight}, invalidate);
                if (g_Settings.TVNaviMode != 2 && !::IsWindowVisible(m_folderBar))
                    ::ShowWindow(m_folderBar, SW_SHOW);
            }
            if (m_dateBar.GetSafeHwnd()) {
                m_dateBar.MoveBar(RECT{left, top, split - left, top + m_nBarHeight}, invalidate);
                if (g_Settings.TVNaviMode == 2 && !::IsWindowVisible(m_dateBar))
                    ::ShowWindow(m_dateBar, SW_SHOW);
            }
            if (m_titleView.GetSafeHwnd()) {
                ::MoveWindow(m_titleView, left, top + m_nBarHeight, split - 2 * left,
                             bottom - m_nToolbarHeight - top - m_nBarHeight, FALSE);
                if (!::IsWindowVisible(m_titleView))
                    ::ShowWindow(m_titleView, SW_SHOW);
                if (invalidate)
                    m_titleView.Invalidate(0);
            }
            m_toolbar.MoveBar(RECT{left, bottom - m_nToolbarHeight, split - left, bottom}, 0);
            if (const GImageList* images = m_toolbar.GetButtonImage()) {
                const int k = IsHires() ? 2 : 1;
                m_toolbar.SetButtonSize(images->GetItemWidth() + k * ScaleToButton(7),
                                        images->GetItemHeight() + k * ScaleToButton(6), 1);
            }
            m_toolbar.LayoutItems(invalidate);
            if (!::IsWindowVisible(m_toolbar))
                ::ShowWindow(m_toolbar, SW_SHOW);
        }
    }
    if (invalidate)
        Invalidate(0);
}

void GScribboMain::Draw(HDC hdc, RECT) {
    const RECT& c = m_rcClient;
    const RECT& s = m_rcSplitter;
    // The list side under its bars and list, which cover it once they are there.
    if (s.left > c.left) {
        FillSolidRect(hdc, c.left, c.top, s.left - c.left, m_nBarHeight, GetGLibColor(3));
        FillSolidRect(hdc, c.left, c.top + m_nBarHeight, s.left - c.left,
                      c.bottom - c.top - m_nBarHeight, ::GetSysColor(COLOR_WINDOW));
    }
    FillSolidRect(hdc, &s, GetGLibColor(20));
    FillSolidRect(hdc, s.left, s.top, 1, s.bottom - s.top, GetGLibColor(21));
    FillSolidRect(hdc, s.right - 1, s.top, 1, s.bottom - s.top, GetGLibColor(22));
    FillSolidRect(hdc, s.left - 1, s.top, 1, s.bottom - s.top, GetGLibColor(23));
    const int gripTop = (s.top + s.bottom - kGripHeight) / 2;
    DrawDotVLine(hdc, s.left + 1, gripTop, 3, kGripHeight, GetGLibColor(23), 1);
    for (int y = gripTop; y + 2 <= gripTop + kGripHeight; y += 6)
        FillSolidRect(hdc, s.left + 2, y, 2, 2, GetGLibColor(22));
    if (s.right < c.right)
        FillSolidRect(hdc, s.right, c.top, c.right - s.right, c.bottom - c.top, GetListColor());
}

LRESULT GScribboMain::OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Winza::OnSize(hwnd, msg, wParam, lParam);
    const SIZE now{Width(), Height()};
    const bool resized = now.cx != m_szClient.cx || now.cy != m_szClient.cy;
    m_szClient = now;
    if (msg == WM_SIZE && !resized)
        return 0;
    m_rcSplitter.top = m_rcClient.top;
    m_rcSplitter.bottom = m_rcClient.bottom - 1;
    RECT window{};
    if (::GetWindowRect(hwnd, &window)) {
        g_Settings.ProgramX = DWORD(window.left) & 0xFFFF;
        g_Settings.ProgramY = DWORD(window.top) & 0xFFFF;
    }
    RecalcLayout(msg == WM_SIZE);
    return 0;
}

LRESULT GScribboMain::OnCommand(HWND, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
        case ID_NAVI_DATE:
        case ID_NAVI_FOLDER:
            g_Settings.TVNaviMode = LOWORD(wParam) == ID_NAVI_DATE ? 2 : 1;
            if (m_folderBar.GetSafeHwnd())
                m_folderBar.Invalidate(0);
            ApplyModes();
            if (m_titleView.GetSafeHwnd())
                m_titleView.SetNaviMode(int(g_Settings.TVNaviMode));
            Invalidate(0);
            break;
        case ID_VIEW_PREVIEW:
        case ID_VIEW_LIST:
            g_Settings.TVViewMode = LOWORD(wParam) == ID_VIEW_PREVIEW ? 4 : 3;
            ApplyModes();
            if (m_titleView.GetSafeHwnd())
                m_titleView.SetViewMode(int(g_Settings.TVViewMode));
            break;
        case ID_NEWMEMO:
            // The folder the list shows; the default folder without a list.
            if (m_padView.GetSafeHwnd())
                ::SendMessageW(m_padView, UM_NEWMEMO, 0,
                               reinterpret_cast<LPARAM>(m_titleView.GetSafeHwnd()
                                                            ? m_titleView.GetCurFolder()
                                                            : g_Settings.DefNewMemoFolder));
            break;
        case ID_EXIT:
            if (::GetCapture())
                ::ReleaseCapture();
            if (m_padView.GetSafeHwnd())
                ::ShowWindow(m_padView, SW_HIDE);
            EndProgram();
            break;
        case ID_RESCAN:
            RescanMemoStore();
            break;
        case ID_OPTIONS:
            OpenOptions();
            break;
        default:
            // New memo and options act on windows the program does not have yet.
            break;
    }
    return 0;
}

void GScribboMain::OpenOptions() {
    GGlobalOptionDlg dlg;
    // Text 85 is this title in the chosen language ("프로그램 설정" in Korean).
    LPCWSTR title = GetLangText(85);
    dlg.SetTitle(1, title[0] ? title : u"프로그램 설정", IsHires() ? 52 : 26);
    if (dlg.DoModal(m_hWnd, 0) != 1)
        return;
    ReloadToolbarImage();
    if (dlg.IsFoldersChanged() && m_bListSide) {
        // No preview may read a memo while the store moves.
        if (m_titleView.GetSafeHwnd())
            m_titleView.StopPreview();
        RebaseMemoStore(m_hWnd, dlg.GetOldBaseDataFolder());
        RescanMemoStore();
        // The memos listed may have moved: the list is made again from the new scan.
        if (m_titleView.GetSafeHwnd())
            ::SendMessageW(m_titleView.GetSafeHwnd(),
                           g_Settings.TVNaviMode == 2 ? UM_DATELISTCHANGED : UM_FOLDERCHANGED, 0,
                           0);
    }
    RecalcLayout(1);
    // A new row height takes effect at once: the list works out its rows again.
    if (m_bListSide && m_titleView.GetSafeHwnd())
        m_titleView.SetViewMode(int(g_Settings.TVViewMode));
}

void GScribboMain::EndProgram() {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    ::DestroyWindow(m_hWnd);
}

LRESULT GScribboMain::OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Winza::OnDestroy(hwnd, msg, wParam, lParam);
    ::KillTimer(hwnd, kSlideTimer);
    HideSIPButton(hwnd);
    if (m_hSplitterBrush) {
        ::DeleteObject(m_hSplitterBrush);
        m_hSplitterBrush = nullptr;
    }
    // The pad view saves what is open as it goes.
    if (m_padView.GetSafeHwnd())
        m_padView.Destroy();
    if (m_titleView.GetSafeHwnd())
        m_titleView.Destroy();
    m_hTitleViewWnd = nullptr;
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.Destroy();
    if (m_dateBar.GetSafeHwnd())
        m_dateBar.Destroy();
    if (m_folderBar.GetSafeHwnd())
        m_folderBar.Destroy();
    m_dateBar.ClearDateEntries();
    ReleaseGZLib();
    FreeGLib();
    if (g_main == this)
        g_main = nullptr;
    ::PostQuitMessage(0);
    return 0;
}
