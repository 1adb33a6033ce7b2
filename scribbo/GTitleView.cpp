// The title view's list: building it from a folder or a day, its geometry and scroll bar, and
// the changes the pad view, the folder list bar and the context menu make to it.
#include "scribbo/GTitleView.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GDateListBar.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "winza/Hires.h"
#include "winza/WinzaUtil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace {

// folder (without trailing backslashes) + "\" + name; 0 when it does not fit.
int JoinName(WCHAR* out, LPCWSTR folder, LPCWSTR name) {
    size_t n = ::wcslen(folder);
    while (n > 0 && folder[n - 1] == u'\\')
        --n;
    const size_t len = ::wcslen(name);
    if (n + 1 + len >= size_t(kMemoPathChars))
        return 0;
    ::memcpy(out, folder, n * sizeof(WCHAR));
    out[n] = u'\\';
    ::memcpy(out + n + 1, name, (len + 1) * sizeof(WCHAR));
    return 1;
}

// The folder part of a memo path (up to its last backslash, which is dropped).
void FolderOf(LPCWSTR path, WCHAR* out) {
    ::wcscpy(out, path);
    WCHAR* slash = ::wcsrchr(out, u'\\');
    if (slash)
        *slash = 0;
}

bool SamePath(LPCWSTR a, LPCWSTR b) {
    return ::_wcsicmp(a, b) == 0;
}

} // namespace

GTitleView::GTitleView() {
    SetDoubleBuffer(1);
    SetGesture(1);
}

GTitleView::~GTitleView() {
    StopPreview();
}

int GTitleView::RegisterClassW() {
    return Winza::RegisterClassW(CS_DBLCLKS, nullptr, ::LoadCursorW(nullptr, IDC_ARROW),
                                 ::GetSysColorBrush(COLOR_WINDOW), nullptr);
}

void GTitleView::SetFolder(LPCWSTR path, int locked) {
    if (!path)
        path = u"";
    ::wcsncpy(m_szFolder, path, kMemoPathChars - 1);
    m_szFolder[kMemoPathChars - 1] = 0;
    m_bLocked = locked ? 1 : 0;
}

LPCWSTR GTitleView::GetCurFolder() const {
    return m_szFolder[0] ? m_szFolder : g_Settings.BaseDataFolder;
}

const TitleEntry* GTitleView::GetEntry(int index) const {
    if (index < 0 || index >= GetEntryCount())
        return nullptr;
    TitleEntry* entry = m_entries[size_t(index)].get();
    if (!entry->headerRead)
        ReadHeader(entry);
    return entry;
}

void GTitleView::ReadHeader(TitleEntry* entry) {
    MemoQuickInfo info;
    ReadMemoQuickInfo(entry->path, &info);
    entry->mark = info.mark;
    entry->back = info.back;
    entry->headerRead = 1;
}

int GTitleView::FindEntry(LPCWSTR path) const {
    for (int i = 0; i < GetEntryCount(); ++i)
        if (SamePath(m_entries[size_t(i)]->path, path))
            return i;
    return -1;
}

void GTitleView::SetNaviMode(int mode) {
    if (mode != eNaviFolder && mode != eNaviDate)
        return;
    StopPreview();
    m_nNaviMode = mode;
    Reload();
}

void GTitleView::SetViewMode(int mode) {
    if (mode != eViewRows && mode != eViewGrid)
        return;
    StopPreview();
    m_nViewMode = mode;
    Recalc(1);
}

void GTitleView::Reload() {
    if (m_nNaviMode == eNaviDate)
        ListDate();
    else
        ListFolder(m_pFolderBar ? m_pFolderBar->GetFolderPath() : GetCurFolder());
}

// ---- Building the list ------------------------------------------------------------------------

void GTitleView::ListFolder(LPCWSTR folder) {
    std::vector<std::pair<std::u16string, double>> memos;
    if (folder && folder[0]) {
        if (folder != m_szFolder)
            SetFolder(folder, m_bLocked);
        WCHAR pattern[kMemoPathChars];
        if (JoinName(pattern, folder, u"*.pad")) {
            WIN32_FIND_DATAW found{};
            HANDLE find = ::FindFirstFileW(pattern, &found);
            for (BOOL more = find != INVALID_HANDLE_VALUE; more;
                 more = ::FindNextFileW(find, &found)) {
                WCHAR path[kMemoPathChars];
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                    !JoinName(path, folder, found.cFileName))
                    continue;
                double time = 0;
                ParseMemoTime(found.cFileName, &time);
                memos.emplace_back(path, time);
            }
            if (find != INVALID_HANDLE_VALUE)
                ::FindClose(find);
        }
    }
    Rebuild(memos);
}

void GTitleView::ListDate() {
    std::vector<std::pair<std::u16string, double>> memos;
    if (m_pDateBar) {
        if (const DayBucket* day = m_pDateBar->FindDay(LONG(std::floor(m_pDateBar->GetDate())))) {
            for (POSITION pos = day->entries.GetHeadPosition(); pos;) {
                auto* entry = static_cast<DateEntry*>(day->entries.GetNext(pos));
                if (entry)
                    memos.emplace_back(entry->path, entry->time);
            }
        }
    }
    Rebuild(memos);
}

void GTitleView::Rebuild(const std::vector<std::pair<std::u16string, double>>& memos) {
    StopPreview();
    std::unordered_map<std::u16string, std::unique_ptr<TitleEntry>> old;
    for (auto& entry : m_entries)
        old.emplace(entry->path, std::move(entry));
    m_entries.clear();
    for (const auto& [path, time] : memos) {
        auto it = old.find(path);
        std::unique_ptr<TitleEntry> entry;
        if (it != old.end() && it->second) {
            entry = std::move(it->second);
        } else {
            // Its header is read when it is first shown: a folder of thousands lists at once.
            entry = std::make_unique<TitleEntry>();
            ::wcsncpy(entry->path, path.c_str(), kMemoPathChars - 1);
        }
        entry->time = time;
        m_entries.push_back(std::move(entry));
    }
    m_selection.clear();
    m_nAnchor = -1;
    m_nPreviewsDrawn = 0;
    if (m_scroll.GetSafeHwnd())
        m_scroll.SetScrollPos(0);
    Recalc(1);
}

// ---- Geometry ---------------------------------------------------------------------------------

int GTitleView::VisibleHeight() const {
    return Height() - 5 + (IsHires() ? 0 : 2);
}

int GTitleView::GetContentHeight() const {
    const int count = GetEntryCount();
    if (m_nViewMode == eViewGrid)
        return (count + kGridColumns - 1) / kGridColumns * (m_nItemHeight + m_nGap);
    return count * (m_nItemHeight + m_nGap);
}

void GTitleView::Recalc(int redraw) {
    const bool hires = IsHires();
    m_nGap = hires ? 4 : 2;
    const int thick = ScaleToButton(hires ? 26 : 13);
    // Rows and cells take the width the scroll bar leaves.
    auto layout = [&](int width) {
        const int inner = width - 8 + (hires ? 0 : 4);
        if (m_nViewMode == eViewGrid) {
            m_nItemWidth = std::max(1, (inner - m_nGap * (kGridColumns - 1)) / kGridColumns);
            m_nItemHeight = m_nItemWidth;
        } else {
            m_nItemWidth = std::max(1, inner);
            m_nItemHeight = std::max(1, int(g_Settings.TitleHeight));
        }
    };
    layout(Width());
    const bool need = GetContentHeight() > VisibleHeight();
    if (need)
        layout(Width() - thick);
    if (m_scroll.GetSafeHwnd()) {
        if (need) {
            m_scroll.MoveWindow(this, thick, nullptr, 0);
            m_scroll.SetArrowWidth(ScaleToButton(ApplyHires(18) + 1), 0);
            m_scroll.SetScrollInfo(GetContentHeight(), VisibleHeight(), m_nItemHeight + m_nGap,
                                   m_scroll.GetScrollPos());
        }
        m_scroll.ShowIfNeeded(need, m_bScrollShown);
    }
    m_bScrollShown = need;
    // Painted with the next WM_PAINT, which also starts the preview thread again.
    if (redraw && m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

int GTitleView::GetScrollPos() const {
    return m_bScrollShown ? m_scroll.GetScrollPos() : 0;
}

void GTitleView::ScrollTo(int position) {
    if (!m_bScrollShown)
        return;
    m_scroll.SetScrollPos(position);
    Invalidate(0);
}

void GTitleView::ScrollByWheel(int delta) {
    ScrollTo(GetScrollPos() + delta * (m_nItemHeight + m_nGap) / -120);
}

RECT GTitleView::GetItemRect(int index) const {
    if (index < 0 || index >= GetEntryCount())
        return RECT{0, 0, 0, 0};
    const int margin = IsHires() ? 4 : 2;
    const int cols = GetColumns();
    const int x = margin + (index % cols) * (m_nItemWidth + m_nGap);
    const int y = margin + (index / cols) * (m_nItemHeight + m_nGap) - GetScrollPos();
    return RECT{x, y, x + m_nItemWidth, y + m_nItemHeight};
}

RECT GTitleView::GetMarkRect(int index) const {
    RECT r = GetItemRect(index);
    const int side = IsHires() ? 30 : 15;
    if (r.right > r.left) {
        r.right = std::min<LONG>(r.right, r.left + side);
        r.bottom = std::min<LONG>(r.bottom, r.top + side);
    }
    return r;
}

int GTitleView::HitTest(POINT point) const {
    const int step = m_nItemHeight + m_nGap;
    if (step <= 0 || point.x < 0 || point.y < 0)
        return -1;
    const int margin = IsHires() ? 4 : 2;
    const int row = (point.y - margin + GetScrollPos()) / step;
    const int col = (point.x - margin) / (m_nItemWidth + m_nGap);
    if (point.y - margin + GetScrollPos() < 0 || point.x < margin || col >= GetColumns())
        return -1;
    const int index = row * GetColumns() + col;
    if (index >= GetEntryCount())
        return -1;
    const RECT r = GetItemRect(index);
    return ::PtInRect(&r, point) ? index : -1;
}

void GTitleView::RedrawEntry(int index) {
    const RECT r = GetItemRect(index);
    if (r.right > r.left)
        InvalidateRect(&r, 0);
}

// ---- Selection --------------------------------------------------------------------------------

int GTitleView::IsSelected(int index) const {
    return std::find(m_selection.begin(), m_selection.end(), index) != m_selection.end();
}

void GTitleView::SelectOnly(int index) {
    m_selection.clear();
    if (index >= 0 && index < GetEntryCount()) {
        m_selection.push_back(index);
        m_nAnchor = index;
    }
    Invalidate(0);
}

void GTitleView::SetRangeSelection(int from, int to) {
    m_selection.clear();
    if (from < 0 || to < 0)
        return;
    for (int i = std::min(from, to); i <= std::max(from, to) && i < GetEntryCount(); ++i)
        m_selection.push_back(i);
    Invalidate(0);
}

void GTitleView::EnsureVisible(int index) {
    if (!m_bScrollShown)
        return;
    const RECT r = GetItemRect(index);
    if (r.top < 0)
        ScrollTo(GetScrollPos() + r.top - (IsHires() ? 4 : 2));
    else if (r.bottom > VisibleHeight())
        ScrollTo(GetScrollPos() + r.bottom - VisibleHeight());
}

void GTitleView::MoveSelection(int step) {
    if (m_entries.empty())
        return;
    const int from = m_nAnchor < 0 ? 0 : m_nAnchor + step;
    const int to = std::clamp(from, 0, GetEntryCount() - 1);
    SelectOnly(to);
    EnsureVisible(to);
}

// ---- Changes from other windows ---------------------------------------------------------------

void GTitleView::ClosePadMemo() {
    if (GScribboMain* main = GScribboMain::Instance())
        if (HWND pad = main->GetPadViewWnd())
            ::SendMessageW(pad, UM_PADOPEN, 0, 0);
}

void GTitleView::OnFolderChanged() {
    // The main window paints the listed folder's colour beside the list.
    if (GScribboMain* main = GScribboMain::Instance())
        main->InvalidateListColor();
    if (m_nNaviMode != eNaviFolder)
        return;
    ClosePadMemo();
    if (m_pFolderBar)
        SetFolder(m_pFolderBar->GetFolderPath(), m_pFolderBar->IsLocked());
    if (m_bLocked) {
        // The list stays empty until the password is given.
        Rebuild({});
        ::SetTimer(m_hWnd, kUnlockTimer, kUnlockMs, nullptr);
        return;
    }
    ListFolder(m_szFolder);
}

void GTitleView::OnDateChanged() {
    if (m_nNaviMode != eNaviDate)
        return;
    ClosePadMemo();
    ListDate();
}

void GTitleView::OnMemoSaved(int isNew, LPCWSTR path) {
    if (!path || !path[0])
        return;
    StopPreview();
    int index = FindEntry(path);
    if (isNew && index < 0) {
        auto entry = std::make_unique<TitleEntry>();
        ::wcsncpy(entry->path, path, kMemoPathChars - 1);
        const LPCWSTR slash = ::wcsrchr(path, u'\\');
        ParseMemoTime(slash ? slash + 1 : path, &entry->time);
        ReadHeader(entry.get());
        // The date list finds it on its day from now on, as it would after a scan.
        if (m_pDateBar)
            m_pDateBar->AddDateEntry(entry->path, entry->time, eDateAscending);
        // Kept in time order, as the folder's names are.
        auto at = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const auto& e) { return e->time > entry->time; });
        m_entries.insert(at, std::move(entry));
        m_selection.clear();
        m_nAnchor = -1;
        Recalc(1);
        return;
    }
    if (index < 0)
        return;
    TitleEntry* entry = m_entries[size_t(index)].get();
    ReadHeader(entry);
    // Its page changed: the preview is drawn again.
    entry->preview.Free();
    RedrawEntry(index);
}

void GTitleView::OnMemoEmpty(LPCWSTR path) {
    if (!path || !path[0])
        return;
    StopPreview();
    const int index = FindEntry(path);
    if (index >= 0) {
        if (m_pDateBar)
            m_pDateBar->RemoveDateEntry(path, m_entries[size_t(index)]->time);
        m_entries.erase(m_entries.begin() + index);
        m_selection.clear();
        m_nAnchor = -1;
        Recalc(1);
    }
    ::DeleteFileW(path);
}

// ---- Context menu actions ---------------------------------------------------------------------

void GTitleView::DeleteSelected(int ask) {
    if (m_selection.empty())
        return;
    if (ask && AppMessageBox(m_hWnd, GetLangText(20), GetLangText(22), 1, -1, 0, 224, 1) != 1)
        return;
    StopPreview();
    for (int index : m_selection) {
        const TitleEntry* entry = GetEntry(index);
        if (!entry)
            continue;
        if (::DeleteFileW(entry->path) && m_pDateBar)
            m_pDateBar->RemoveDateEntry(entry->path, entry->time);
    }
    Reload();
}

void GTitleView::DuplicateSelected() {
    if (m_selection.empty())
        return;
    StopPreview();
    for (int index : m_selection) {
        const TitleEntry* entry = GetEntry(index);
        if (!entry)
            continue;
        // In date navigation the copy stays beside its memo.
        WCHAR folder[kMemoPathChars];
        if (m_nNaviMode == eNaviDate)
            FolderOf(entry->path, folder);
        else
            ::wcscpy(folder, GetCurFolder());
        WCHAR copy[kMemoPathChars] = {};
        if (!CopyMemo(entry->path, entry->time, folder, nullptr, copy))
            continue;
        // The copy is a memo of now, as its name says.
        double time = 0;
        if (m_pDateBar && ParseMemoTime(copy, &time))
            m_pDateBar->AddDateEntry(copy, time, 1);
    }
    Reload();
}

void GTitleView::CopyOrMoveSelected(LPCWSTR folder, int move) {
    if (!folder || !folder[0] || m_selection.empty())
        return;
    StopPreview();
    std::vector<MemoRef> memos;
    for (int index : m_selection)
        if (const TitleEntry* entry = GetEntry(index))
            memos.push_back(MemoRef{entry->path, entry->time});
    if (move)
        MoveMemos(memos.data(), int(memos.size()), folder, m_pDateBar);
    else
        CopyMemos(memos.data(), int(memos.size()), folder, m_pDateBar);
    Reload();
}

void GTitleView::ToggleMark(int index) {
    if (index < 0 || index >= GetEntryCount())
        return;
    TitleEntry* entry = m_entries[size_t(index)].get();
    if (!entry->headerRead)
        ReadHeader(entry);
    const BYTE mark = entry->mark ? 0 : 1;
    // The mark shows only when the file took it.
    if (!WriteMemoMark(entry->path, mark))
        return;
    entry->mark = mark;
    RedrawEntry(index);
}

void GTitleView::OpenEntry(int index) {
    const TitleEntry* entry = GetEntry(index);
    GScribboMain* main = GScribboMain::Instance();
    if (!entry || !main || !main->GetPadViewWnd())
        return;
    HideSIPButton(*main);
    ::SendMessageW(main->GetPadViewWnd(), UM_PADOPEN, 0, LPARAM(entry->path));
}
