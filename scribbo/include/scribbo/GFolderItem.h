// A folder of the memo store as a row of the folder tree: its name as the label, and what its
// "folder.info" holds (colour, lock, the subfolder its tab bar opens with).
#pragma once

#include "scribbo/FolderInfo.h"
#include "winza/GTreeItem.h"

class GFolderItem : public GTreeItem {
public:
    explicit GFolderItem(LPCWSTR label);
    ~GFolderItem() override;

    COLORREF GetColor() const { return m_crColor; }
    void SetColor(COLORREF color) { m_crColor = color; }
    int IsLocked() const { return m_bLocked != 0; }
    void SetLocked(int locked) { m_bLocked = locked ? 1 : 0; }
    LPCWSTR GetSubFolder() const { return m_szSubFolder; }
    // Longer names are cut to 259 characters; null clears the name.
    void SetSubFolder(LPCWSTR name);

    FolderInfo GetFolderInfo() const;
    void SetFolderInfo(const FolderInfo& info);

private:
    COLORREF m_crColor = kDefaultFolderColor;
    WCHAR m_szSubFolder[kFolderInfoNameMax + 1] = {};
    DWORD m_bLocked = 0;
};
