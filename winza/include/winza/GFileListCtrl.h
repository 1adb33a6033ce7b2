// The list of the file dialog: folders and files of one folder as GFileItems with their shell
// icons, kept sorted with roots first, then folders, then files, in every sort mode.
#pragma once

#include "winza/GExtImageArray.h"
#include "winza/GListCtrl.h"

class GFileItem;

// What orders items of the same kind.
enum eSortMode {
    eSortModeName = 0,
    // By extension, then name.
    eSortModeType = 1,
    eSortModeSize = 2,
    eSortModeTime = 3,
};

class GFileListCtrl : public GListCtrl {
public:
    GFileListCtrl();
    ~GFileListCtrl() override;

    LPCWSTR GetClassNameW() override;
    GItem* CreateItem(LPCWSTR label) override;

    // Columns (one, or three sharing the row 50, 20 and the rest in percent), the icon table
    // on the list's colours and the sort order. Call once the window exists.
    void InitFileList(int singleColumn);
    using GListCtrl::AddItem;
    // A folder (kind 8, the folder icon) or a file (kind 9, its size, local creation time and
    // the icon its extension gives) found in folder; inserted in sort order.
    POSITION AddItem(LPCWSTR folder, const WIN32_FIND_DATAW* data);
    // A row of the kind: roots get the root icon, folders the folder icon.
    POSITION AddItem(LPCWSTR label, int kind);

    // Re-sorts the rows.
    void SetSortMode(eSortMode mode);
    eSortMode GetSortMode() const { return m_eSortMode; }
    // Leaving multi-selection mode clears every mark.
    void SetMultiMode(int on);
    int GetMultiMode() const { return m_bMultiMode; }
    void SetExtVisible(int on);
    int GetExtVisible() const { return m_bExtVisible; }
    int IsSingleColumn() const { return m_bSingleColumn; }
    GExtImageArray* GetExtImageArray() { return &m_extImages; }
    GFileItem* GetFileItem(POSITION pos);

    // The compare function of a sort mode: kind first, then the mode's key, then the name.
    static GItemCompareProc CompareProcOf(eSortMode mode);

protected:
    GExtImageArray m_extImages;
    int m_bSingleColumn = 1;
    int m_bMultiMode = 0;
    int m_bExtVisible = 1;
    eSortMode m_eSortMode = eSortModeName;
};
