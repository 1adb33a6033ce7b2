#include "winza/GFileItem.h"

#include "fundo/GArray.h"
#include "winza/DrawHelpers.h"
#include "winza/GFileListCtrl.h"
#include "winza/GImageList.h"
#include "winza/Hires.h"

#include <algorithm>

GFileItem::GFileItem(LPCWSTR label, GArray* columns, GFileListCtrl* owner)
    : GListItem(label, columns), m_pOwner(owner) {}

void GFileItem::FormatSize(ULONGLONG size, WCHAR* out, int room) {
    if (!out || room <= 0)
        return;
    WCHAR text[32];
    if (size < 1024)
        wsprintfW(text, u"%d B", static_cast<int>(size));
    else
        wsprintfW(text, u"%d KB",
                  static_cast<int>(std::min<ULONGLONG>((size + 1023) / 1024, 0x7FFFFFFF)));
    lstrcpynW(out, text, room);
}

void GFileItem::FormatDate(const FILETIME& time, WCHAR* out, int room) {
    if (!out || room <= 0)
        return;
    out[0] = 0;
    SYSTEMTIME st{};
    if ((time.dwLowDateTime == 0 && time.dwHighDateTime == 0) || !FileTimeToSystemTime(&time, &st))
        return;
    WCHAR text[32];
    wsprintfW(text, u"%d-%.2d-%.2d", st.wYear, st.wMonth, st.wDay);
    lstrcpynW(out, text, room);
}

void GFileItem::ColumnSpan(int index, int width, int* left, int* right) const {
    int x = 0;
    const int count = m_pColumns ? m_pColumns->GetSize() : 0;
    for (int i = 0; i < count; ++i) {
        const int share = static_cast<int>(reinterpret_cast<intptr_t>(m_pColumns->GetAt(i)));
        const int w = share < 0 ? width - x : width * share / 100;
        if (i == index) {
            *left = x;
            *right = std::min(width, x + std::max(0, w));
            return;
        }
        x += w;
    }
    *left = index == 0 ? 0 : width;
    *right = width;
}

void GFileItem::DrawItem(HDC hdc, COLORREF back, COLORREF text, UINT format, int, int selected) {
    if (!hdc)
        return;
    const bool multi = m_pOwner && m_pOwner->GetMultiMode();
    // In multi-selection mode the marks are the selection.
    const bool shown = multi ? GetFlag(kFileItemMarked) != 0 : selected != 0;
    if (m_pOwner && shown != (selected != 0)) {
        back = shown ? m_pOwner->GetSelBackColor() : m_pOwner->GetDefBackColor();
        text = shown ? m_pOwner->GetSelTextColor() : m_pOwner->GetDefTextColor();
    }
    FillSolidRect(hdc, &m_rcItem, back);
    const int margin = ApplyHires(2);
    int x = m_rcItem.left + margin;
    GImageList* icons = m_pImageList;
    if (m_pOwner && shown)
        icons = m_pOwner->GetExtImageArray()->GetSelImageList();
    if (icons && m_nImage >= 0 && icons->GetItemWidth() > 0) {
        const int y = m_rcItem.top + (m_rcItem.bottom - m_rcItem.top - icons->GetItemHeight()) / 2;
        icons->Draw(hdc, x, y, m_nImage, 255, 1);
        x += icons->GetItemWidth();
    } else {
        x += ApplyHires(16);
    }
    x += margin * 2;
    if (!m_pLabel)
        return;

    const int rowWidth = m_rcItem.right - m_rcItem.left;
    int nameLeft = 0, nameRight = rowWidth;
    const bool columns = m_pColumns && m_pColumns->GetSize() > 1;
    if (columns)
        ColumnSpan(0, rowWidth, &nameLeft, &nameRight);
    const COLORREF oldColor = ::SetTextColor(hdc, text);
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    UINT f = (format & (DT_VCENTER | DT_BOTTOM)) ? (format | DT_SINGLELINE) : format;
    f |= DT_END_ELLIPSIS;

    // Without the extension shown, a file's name ends before its last dot.
    int length = lstrlenW(m_pLabel);
    if (m_pOwner && !m_pOwner->GetExtVisible() && m_nKind == eFileItemFile) {
        LPCWSTR dot = wcsrchr(m_pLabel, u'.');
        if (dot && dot != m_pLabel)
            length = static_cast<int>(dot - m_pLabel);
    }
    RECT rc{x, m_rcItem.top, m_rcItem.left + nameRight - margin, m_rcItem.bottom};
    ::DrawTextW(hdc, m_pLabel, length, &rc, f);

    if (columns && m_nKind == eFileItemFile) {
        WCHAR cell[32];
        int left = 0, right = 0;
        ColumnSpan(1, rowWidth, &left, &right);
        FormatSize(m_nSize, cell, 32);
        RECT rs{m_rcItem.left + left, m_rcItem.top, m_rcItem.left + right - margin,
                m_rcItem.bottom};
        ::DrawTextW(hdc, cell, -1, &rs, f | DT_RIGHT);
        ColumnSpan(2, rowWidth, &left, &right);
        FormatDate(m_ftCreation, cell, 32);
        RECT rd{m_rcItem.left + left + margin * 2, m_rcItem.top, m_rcItem.left + right - margin,
                m_rcItem.bottom};
        ::DrawTextW(hdc, cell, -1, &rd, f);
    }
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, oldColor);
}
