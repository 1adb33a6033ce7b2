// A row of the file list: a list item that also knows what it stands for (a storage root, a
// folder or a file), the file's size and local creation time, and draws its icon, name and,
// in the three-column layout, size and date.
#pragma once

#include "winza/GListItem.h"

class GFileListCtrl;

// Item kinds: storage roots 1-3, then folders, then files.
enum eFileItemKind {
    eFileItemNone = 0,
    eFileItemRoot = 1,
    eFileItemRootLast = 3,
    eFileItemFolder = 8,
    eFileItemFile = 9,
};

// Item flag of a row marked in multi-selection mode.
constexpr DWORD kFileItemMarked = 0x100;

class GFileItem : public GListItem {
public:
    GFileItem() = default;
    GFileItem(LPCWSTR label, GArray* columns, GFileListCtrl* owner);

    using GListItem::DrawItem;
    void DrawItem(HDC hdc, COLORREF back, COLORREF text, UINT format, int indent,
                  int selected) override;

    int GetKind() const { return m_nKind; }
    void SetKind(int kind) { m_nKind = kind; }
    ULONGLONG GetFileSize() const { return m_nSize; }
    void SetFileSize(ULONGLONG size) { m_nSize = size; }
    // Local time.
    FILETIME GetCreationTime() const { return m_ftCreation; }
    void SetCreationTime(const FILETIME& time) { m_ftCreation = time; }
    DWORD GetSpare() const { return m_dwSpare; }
    void SetSpare(DWORD value) { m_dwSpare = value; }
    int IsFolderKind() const { return m_nKind != eFileItemFile; }
    // The list whose colours, icons and switches the row follows.
    void SetOwner(GFileListCtrl* owner) { m_pOwner = owner; }

    // The text of the size column: bytes below 1 KB, else whole kilobytes rounded up.
    static void FormatSize(ULONGLONG size, WCHAR* out, int room);
    // The text of the date column: year-month-day of a local time, or empty.
    static void FormatDate(const FILETIME& time, WCHAR* out, int room);

protected:
    // Column x range of column index in a row of the given width; the widths are shares of
    // the row in percent, -1 taking the rest.
    void ColumnSpan(int index, int width, int* left, int* right) const;

    int m_nKind = eFileItemNone;
    ULONGLONG m_nSize = 0;
    FILETIME m_ftCreation{0, 0};
    DWORD m_dwSpare = 0;
    GFileListCtrl* m_pOwner = nullptr;
};
