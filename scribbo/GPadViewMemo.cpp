// The pad view's memo: opening, starting, saving and leaving it, its pages, and the saves
// made while the user writes.
#include "scribbo/GPadView.h"

#include "scribbo/App.h"
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GDateListBar.h"
#include "scribbo/GPadOptionDlg.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "fundo/GIOFile.h"
#include "fundo/PathUtil.h"
#include "winza/GFileDialog.h"
#include "winza/GTime.h"
#include "winza/WinzaUtil.h"

#include <cstring>

namespace {

// The message box's Yes/No style and its Yes.
constexpr int kBoxYesNo = 4;
constexpr int kAnswerYes = 6;

// Said when a memo could not be written; the memo stays open so nothing is lost.
constexpr WCHAR kSaveFailedText[] =
    u"The memo could not be saved (the disk may be full or the folder read-only). It stays "
    u"open: close it again once the problem is solved.";

// The time a new memo is named after: now, or in date navigation the chosen day at the
// present time of day.
SYSTEMTIME NewMemoTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    GScribboMain* main = GScribboMain::Instance();
    if (g_Settings.TVNaviMode != 2 || !main || !main->GetDateListBar()->GetSafeHwnd())
        return now;
    const GTime day(main->GetDateListBar()->GetDate());
    if (day.GetYear() < 1601)
        return now;
    SYSTEMTIME t = now;
    t.wYear = WORD(day.GetYear());
    t.wMonth = WORD(day.GetMonth());
    t.wDay = WORD(day.GetDay());
    t.wDayOfWeek = WORD(day.GetDayOfWeek() - 1);
    return t;
}

} // namespace

int GPadView::OpenMemo(LPCWSTR path) {
    ShowMagnifier(0);
    if (!path || !path[0]) {
        CloseMemo();
        return 0;
    }
    WCHAR target[kMemoPathChars];
    wcsncpy(target, path, kMemoPathChars - 1);
    target[kMemoPathChars - 1] = 0;
    // The memo shown is left first; when it cannot be saved it stays.
    if (HasMemo() && wcscmp(target, m_szPath) != 0 && !SaveMemo())
        return 0;
    if (HasMemo() && !wcscmp(target, m_szPath)) {
        ShowView();
        return 1;
    }
    GIOFile file;
    int loaded = file.Open(target, u"rb") && m_memo.Load(&file);
    file.Close();
    if (!loaded) {
        CloseMemo();
        return 0;
    }
    m_nZoom = 100;
    m_memo.ZoomTo(100, 0);
    const POINT stored = m_memo.GetPagePosition(m_memo.GetCurPageIndex());
    m_memo.ScrollTo(stored.x, stored.y, 0);
    return ShowMemo(target, 0);
}

int GPadView::NewMemo(LPCWSTR folder) {
    ShowMagnifier(0);
    WCHAR base[kMemoPathChars] = {};
    if (folder)
        wcsncpy(base, folder, kMemoPathChars - 1);
    if (HasMemo() && !SaveMemo())
        return 0;
    WCHAR path[kMemoPathChars];
    if (!NewMemoPath(base, NewMemoTime(), path))
        return 0;
    CancelStroke();
    m_memo.RemoveAllPage();
    m_memo.NewMemo();
    m_memo.ApplyPageSize();
    m_memo.SetCurPage(0, 0);
    m_memo.SetHeaderChanged(1);
    m_nZoom = 100;
    m_memo.ZoomTo(100, 0);
    m_memo.ScrollTo(0, 0, 0);
    return ShowMemo(path, 1);
}

int GPadView::ShowMemo(LPCWSTR path, int isNew) {
    wcscpy(m_szPath, path);
    m_bNewMemo = isNew;
    m_bDirty = 0;
    m_bTouched = 0;
    Redraw();
    UpdateScrollBars();
    ShowView();
    return 1;
}

int GPadView::SaveMemo() {
    CancelStroke();
    ::KillTimer(m_hWnd, kAutoSaveTimer);
    // An autosave still writing finishes before the final save replaces its file.
    if (!m_autoSave.Wait())
        m_bDirty = 1;
    if (!HasMemo())
        return 1;
    const int changed = m_bTouched || m_bDirty || m_memo.IsHeaderChanged();
    int result = SaveMemoFile(m_memo, m_szPath, kMemoFileVersion);
    if (result == eMSFailed) {
        // Its folder may have gone while the memo was open: made again, the memo still lands.
        WCHAR folder[kMemoPathChars];
        wcscpy(folder, m_szPath);
        if (WCHAR* slash = wcsrchr(folder, u'\\'); slash && slash != folder) {
            *slash = 0;
            if (::GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES && EnsureFolder(folder))
                result = SaveMemoFile(m_memo, m_szPath, kMemoFileVersion);
        }
    }
    if (result == eMSFailed) {
        AppMessageBox(m_hWnd, kSaveFailedText, GetLangText(22), 0, 0, 0, 224, 1);
        return 0;
    }
    NotifySaved(result == eMSSaved, m_bNewMemo, changed, m_szPath);
    m_szPath[0] = 0;
    m_bDirty = 0;
    m_bTouched = 0;
    m_bNewMemo = 0;
    return 1;
}

void GPadView::NotifySaved(int written, int wasNew, int changed, LPCWSTR path) {
    if (!written) {
        // Nothing worth a file: the entry goes, and the file an autosave may have made.
        if (m_hNotify)
            ::SendMessageW(m_hNotify, UM_MEMOEMPTY, WPARAM(wasNew), reinterpret_cast<LPARAM>(path));
        else
            ::DeleteFileW(path);
        return;
    }
    if (changed && m_hNotify)
        ::SendMessageW(m_hNotify, UM_MEMOSAVED, WPARAM(wasNew), reinterpret_cast<LPARAM>(path));
}

void GPadView::CloseMemo() {
    ShowMagnifier(0);
    if (!SaveMemo())
        return;
    HideView();
    if (g_App.StartMode != eStartNormal) {
        // A direct start ends with its memo.
        // Posted: the request may come while the main window is still being made.
        if (GScribboMain* main = GScribboMain::Instance()) {
            ::ShowWindow(*main, SW_HIDE);
            ::PostMessageW(*main, WM_COMMAND, ID_EXIT, 0);
        }
        return;
    }
    if (m_hNotify)
        ::SetFocus(m_hNotify);
}

void GPadView::ShowView() {
    if (!m_hWnd)
        return;
    if (m_bTaskBar)
        if (HWND bar = ::FindWindowW(u"HHTaskbar", nullptr))
            ::ShowWindow(bar, SW_HIDE);
    HideSIPButton(m_hWnd);
    // The tabs show; their bars only when locked.
    m_scrollTab.ShowControlled(0, g_Settings.LockScrollbar ? SW_SHOW : SW_HIDE);
    m_toolTab.ShowControlled(0, g_Settings.LockToolbar ? SW_SHOW : SW_HIDE);
    Layout();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetFocus(m_hWnd);
    UpdatePageIndicator();
}

void GPadView::HideView() {
    if (!m_hWnd)
        return;
    ShowSIPButton(m_hWnd, g_App.hInstance);
    if (HWND bar = ::FindWindowW(u"HHTaskbar", nullptr))
        ::ShowWindow(bar, SW_SHOW);
    for (UINT id : {kScrollLauncherTimer, kToolLauncherTimer})
        ::KillTimer(m_hWnd, id);
    m_scrollTab.ShowControlled(0, SW_HIDE);
    m_toolTab.ShowControlled(0, SW_HIDE);
    ::ShowWindow(m_hWnd, SW_HIDE);
}

void GPadView::MarkChanged() {
    m_bDirty = 1;
    m_bTouched = 1;
    m_memo.SetObjectChanged(1);
}

void GPadView::StartAutoSave() {
    // A stroke half written, here or in the magnify strip, waits: the strip's stroke end
    // starts the timer again.
    if (!HasMemo() || !m_bDirty || m_bDrawing || m_magnify.GetDrawMan()->IsTracking())
        return;
    if (!m_autoSave.Wait())
        m_bDirty = 1;
    // Cleared now: strokes made while the worker writes mark the memo again.
    m_bDirty = 0;
    if (!m_autoSave.Start(m_memo, m_szPath))
        m_bDirty = !m_memo.IsEmptyMemo();
}

void GPadView::GoToPage(int index) {
    if (index < 0 || index >= m_memo.GetPageNum() || index == m_memo.GetCurPageIndex())
        return;
    CancelStroke();
    m_memo.SetCurPage(index, 0);
    const POINT stored = m_memo.GetPagePosition(index);
    m_memo.ScrollTo(stored.x, stored.y, 0);
    Redraw();
    UpdateScrollBars();
}

void GPadView::InsertPage() {
    if (m_memo.GetPageNum() >= INKRA_MAX_PAGES)
        return;
    CancelStroke();
    InkraPage* page = m_memo.CreatePage();
    if (!page)
        return;
    const int at = m_memo.GetCurPageIndex() + 1;
    if (m_memo.InsertPage(page, at, 0) < 0) {
        m_memo.DestroyPage(page);
        return;
    }
    m_memo.ApplyPageSize();
    MarkChanged();
    m_memo.SetCurPage(at, 0);
    m_memo.ScrollTo(0, 0, 0);
    Redraw();
    UpdateScrollBars();
}

void GPadView::DeletePage() {
    if (m_memo.GetPageNum() <= 1)
        return;
    CancelStroke();
    const int at = m_memo.GetCurPageIndex();
    if (!m_memo.DeletePage(m_memo.GetCurPage(), 0))
        return;
    MarkChanged();
    m_memo.SetCurPage(std::min(at, m_memo.GetPageNum() - 1), 0);
    const POINT stored = m_memo.GetPagePosition(m_memo.GetCurPageIndex());
    m_memo.ScrollTo(stored.x, stored.y, 0);
    Redraw();
    UpdateScrollBars();
}

void GPadView::ClearPage() {
    if (AppMessageBox(m_hWnd, GetLangText(21), GetLangText(22), kBoxYesNo, 0, 0, 224, 1) !=
        kAnswerYes)
        return;
    CancelStroke();
    m_memo.ClearCurPage();
    MarkChanged();
    Redraw();
}

void GPadView::ImportText() {
    WCHAR folder[kMemoPathChars] = {};
    GetProgramFolder(folder);
    GFileDialog dialog(1, GetLangText(83), 0, folder, u"Text Files|*.txt|All Files|*.*||", u"");
    if (dialog.DoModal(m_hWnd, 0) != 1)
        return;
    LPCWSTR path = dialog.GetPathName();
    if (!path || !path[0])
        return;
    CancelStroke();
    if (m_memo.ImportBackText(path, 0, 1)) {
        MarkChanged();
        Redraw();
        UpdateScrollBars();
    }
}

void GPadView::PadOptions() {
    if (!HasMemo())
        return;
    CancelStroke();
    GPadOptionDlg dlg(&m_memo);
    if (dlg.DoModal(m_hWnd, 0) != 1 || !m_memo.IsHeaderChanged())
        return;
    // A new page size or paper colour: the pages are laid out and drawn again.
    m_memo.SetBackColor(m_hDC, m_memo.GetTemplate()->BackColor, 0);
    m_memo.ApplyPageSize();
    MarkChanged();
    Redraw();
    // The strip takes the new paper (with Redraw) and its zoom from the new line space.
    if (m_bMagnifier)
        Layout();
    UpdateScrollBars();
}
