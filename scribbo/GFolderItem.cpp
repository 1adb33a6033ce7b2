#include "scribbo/GFolderItem.h"

GFolderItem::GFolderItem(LPCWSTR label) : GTreeItem(label) {}

GFolderItem::~GFolderItem() = default;

void GFolderItem::SetSubFolder(LPCWSTR name) {
    m_szSubFolder[0] = 0;
    if (name)
        lstrcpynW(m_szSubFolder, name, kFolderInfoNameMax + 1);
}

FolderInfo GFolderItem::GetFolderInfo() const {
    FolderInfo info;
    info.color = m_crColor;
    info.locked = IsLocked();
    lstrcpynW(info.subfolder, m_szSubFolder, kFolderInfoNameMax + 1);
    return info;
}

void GFolderItem::SetFolderInfo(const FolderInfo& info) {
    m_crColor = info.color;
    SetLocked(info.locked);
    SetSubFolder(info.subfolder);
}
