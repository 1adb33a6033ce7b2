#include "scribbo/GFolderTree.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GFolderItem.h"

#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/Hires.h"

#include <algorithm>

namespace {

// The lock in the toolbar images: row 9, column 2 of the 10 x 10 grid.
constexpr int kLockRow = 9;
constexpr int kLockColumn = 2;

} // namespace

GFolderTree::GFolderTree() = default;

GFolderTree::~GFolderTree() = default;

GItem* GFolderTree::CreateItem(LPCWSTR label) {
    auto* item = new GFolderItem(label);
    item->SetImageList(m_pImageList);
    return item;
}

GFolderItem* GFolderTree::GetFolderItem(POSITION pos) const {
    return dynamic_cast<GFolderItem*>(GetGItem(pos));
}

void GFolderTree::DrawItemIcon(HDC hdc, RECT* iconRect, GItem* item, int open) {
    auto* folder = dynamic_cast<GFolderItem*>(item);
    if (!hdc || !iconRect || !folder)
        return;
    DrawFolder(hdc, iconRect, folder->GetColor(), open);
    GImageList* images = g_App.ToolbarImages;
    if (!folder->IsLocked() || !images || images->GetItemWidth() <= 0)
        return;
    // Never larger than the folder it sits on, whatever the button size.
    const int size = std::min(ScaleToButton(16), ApplyHires(16));
    const int w = images->GetItemWidth();
    const int h = images->GetItemHeight();
    images->TransStretchBlt(hdc, iconRect->left, iconRect->top, size, size, kLockColumn * w,
                            kLockRow * h, w, h, RGB(255, 0, 255), 1);
}

void GFolderTree::RemoveFolderItem(POSITION pos) {
    if (!pos || !m_pTree || pos == GetTopItem())
        return;
    if (m_posSel && IsInSubtree(m_posSel, pos))
        m_posSel = nullptr;
    DeleteSubtreeItems(pos);
    m_pTree->RemoveAt(pos);
}
