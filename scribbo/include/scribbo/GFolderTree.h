// The folder tree of the memo store: one folder item per folder below BaseDataFolder (the root
// item), each drawn as a folder in its own colour, with a lock on locked folders. The folder
// list bar drops it down to pick a folder.
#pragma once

#include "winza/GTreeCtrl.h"

class GFolderItem;

class GFolderTree : public GTreeCtrl {
public:
    GFolderTree();
    ~GFolderTree() override;
    LPCWSTR GetClassNameW() override { return u"GFolderTree"; }
    void DrawItemIcon(HDC hdc, RECT* iconRect, GItem* item, int open) override;
    GItem* CreateItem(LPCWSTR label) override;

    GFolderItem* GetFolderItem(POSITION pos) const;
    // Takes one folder (with its subfolders) out of the tree; its siblings stay.
    void RemoveFolderItem(POSITION pos);
};
