#include "scribbo/GImageFileDlg.h"

#include "winza/GFileItem.h"
#include "winza/Hires.h"

#include <algorithm>
#include <cstring>

GImageFileDlg::GImageFileDlg(int open, LPCWSTR folder, LPCWSTR filter)
    : GFileDialog(open, nullptr, 0, folder, filter, nullptr), m_nThumbWidth(ApplyHires(100)) {}

GImageFileDlg::~GImageFileDlg() {
    m_thumbnail.Stop();
    m_thumbnail.Destroy();
}

void GImageFileDlg::HideThumbnail() {
    if (m_thumbnail.GetSafeHwnd())
        m_thumbnail.ShowWindow(SW_HIDE);
    else
        m_thumbnail.Stop();
}

void GImageFileDlg::ReloadFolder() {
    HideThumbnail();
    m_posShown = nullptr;
    GFileDialog::ReloadFolder();
}

RECT GImageFileDlg::PlaceThumbnail(POINT listPoint, int pictureWidth, int pictureHeight) {
    RECT list{0, 0, 0, 0};
    if (HWND lh = m_fileList.GetSafeHwnd())
        ::GetWindowRect(lh, &list);
    int w = m_nThumbWidth;
    int h = pictureWidth > 0
                ? static_cast<int>(static_cast<long long>(w) * pictureHeight / pictureWidth)
                : 0;
    // A picture taller than the list gets a narrower preview of the same shape, so it never
    // covers the name box and the buttons below the list.
    const int room = list.bottom - list.top - 1;
    if (h > room && room > 0 && pictureHeight > 0) {
        h = room;
        w = std::max(1,
                     static_cast<int>(static_cast<long long>(room) * pictureWidth / pictureHeight));
    }
    // The row's vertical centre decides: rows in the lower half get the preview above them.
    const int rowH = std::max(1, m_fileList.GetItemHeight());
    const int scroll = m_fileList.GetScrollPosV();
    const int rowTop = (listPoint.y + scroll) / rowH * rowH - scroll;
    const int rowCentre = list.top + rowTop + rowH / 2;
    POINT at = listPoint;
    ::ClientToScreen(m_fileList.GetSafeHwnd(), &at);
    int left = at.x;
    int top = rowCentre > (list.top + list.bottom) / 2 ? at.y - h : at.y;
    const int right = list.right - (m_fileList.IsShowScrollBarV() ? ApplyHires(14) : 0);
    if (left + w > right)
        left = right - w;
    if (top + h > list.bottom)
        top = list.bottom - h;
    if (top < list.top + 1)
        top = list.top + 1;
    if (left <= list.left)
        left = list.left + 1;
    return RECT{left, top, left + w, top + h};
}

void GImageFileDlg::OnTouched(POSITION pos, int listId) {
    if (!pos) {
        HideThumbnail();
        m_posShown = nullptr;
        return;
    }
    if (listId != kFileDlgList)
        return;
    GFileItem* item = m_fileList.GetFileItem(pos);
    if (!item || item->GetKind() != eFileItemFile || !item->GetLabel())
        return;
    const HWND thumb = m_thumbnail.GetSafeHwnd();
    const int wasShown = thumb && ::IsWindowVisible(thumb);
    HideThumbnail();
    // A second tap on the row whose preview shows puts it away. A preview that a press on it
    // put away shows again on the next tap.
    if (pos == m_posShown && wasShown) {
        m_posShown = nullptr;
        return;
    }
    m_posShown = pos;
    WCHAR path[MAX_PATH];
    std::memset(path, 0, sizeof path);
    wcsncpy(path, m_szCurPath, MAX_PATH - 1);
    const size_t n = wcslen(path);
    if (n == 0 || path[n - 1] != u'\\')
        wcsncat(path, u"\\", MAX_PATH - 1 - wcslen(path));
    wcsncat(path, item->GetLabel(), MAX_PATH - 1 - wcslen(path));
    GImage probe;
    int pw = 0, ph = 0;
    if (!probe.PreLoad(path, pw, ph) || pw <= 0 || ph <= 0)
        return;
    const RECT at = PlaceThumbnail(m_fileList.GetCurPoint(), pw, ph);
    if (!m_thumbnail.GetSafeHwnd())
        return;
    ::MoveWindow(m_thumbnail.GetSafeHwnd(), at.left, at.top, at.right - at.left, at.bottom - at.top,
                 FALSE);
    m_thumbnail.Start(path);
    // What lies beneath must be painted before the preview takes its picture of it.
    ::UpdateWindow(m_fileList.GetSafeHwnd());
    m_thumbnail.ShowWindow(SW_SHOWNOACTIVATE);
    ::SetWindowPos(m_thumbnail.GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT GImageFileDlg::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            m_thumbnail.Create(hwnd, u"Thumbnail", WS_POPUP, 0, 0, 0, 0);
            return GFileDialog::WndProc(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            m_thumbnail.Stop();
            m_thumbnail.Destroy();
            m_posShown = nullptr;
            break;
        case kMsgListTouched: {
            const LRESULT r = GFileDialog::WndProc(hwnd, msg, wParam, lParam);
            OnTouched(reinterpret_cast<POSITION>(wParam), static_cast<int>(lParam));
            return r;
        }
        case kMsgListScrolled:
            // The row moved away from its preview: the next tap on it shows it again.
            HideThumbnail();
            m_posShown = nullptr;
            break;
        default:
            break;
    }
    return GFileDialog::WndProc(hwnd, msg, wParam, lParam);
}
