#include "winza/GFileListCtrl.h"

#include "winza/GFileItem.h"

namespace {

GFileItem* AsFile(GItem* item) {
    return dynamic_cast<GFileItem*>(item);
}

// Case does not tell device file names apart, so it only breaks ties.
int CompareNames(GItem* a, GItem* b) {
    LPCWSTR la = a->GetLabel() ? a->GetLabel() : u"";
    LPCWSTR lb = b->GetLabel() ? b->GetLabel() : u"";
    const int c = _wcsicmp(la, lb);
    return c ? c : wcscmp(la, lb);
}

LPCWSTR ExtensionOf(GItem* item) {
    LPCWSTR label = item->GetLabel();
    if (!label)
        return u"";
    LPCWSTR dot = wcsrchr(label, u'.');
    return dot ? dot + 1 : u"";
}

int KindOf(GItem* item) {
    GFileItem* f = AsFile(item);
    return f ? f->GetKind() : eFileItemNone;
}

// Negative, zero or positive for the kind order; 2 when an item is missing.
int CompareKinds(GItem* a, GItem* b, int* result) {
    if (!a || !b) {
        *result = -1;
        return 1;
    }
    const int ka = KindOf(a), kb = KindOf(b);
    *result = ka < kb ? -1 : ka > kb ? 1 : 0;
    return *result != 0;
}

int CompareByName(GItem* a, GItem* b) {
    int c = 0;
    if (CompareKinds(a, b, &c))
        return c;
    return CompareNames(a, b);
}

int CompareByType(GItem* a, GItem* b) {
    int c = 0;
    if (CompareKinds(a, b, &c))
        return c;
    c = _wcsicmp(ExtensionOf(a), ExtensionOf(b));
    return c ? c : CompareNames(a, b);
}

int CompareBySize(GItem* a, GItem* b) {
    int c = 0;
    if (CompareKinds(a, b, &c))
        return c;
    GFileItem *fa = AsFile(a), *fb = AsFile(b);
    const ULONGLONG sa = fa ? fa->GetFileSize() : 0, sb = fb ? fb->GetFileSize() : 0;
    if (sa != sb)
        return sa < sb ? -1 : 1;
    return CompareNames(a, b);
}

int CompareByTime(GItem* a, GItem* b) {
    int c = 0;
    if (CompareKinds(a, b, &c))
        return c;
    GFileItem *fa = AsFile(a), *fb = AsFile(b);
    if (fa && fb) {
        const FILETIME ta = fa->GetCreationTime(), tb = fb->GetCreationTime();
        const LONG t = CompareFileTime(&ta, &tb);
        if (t)
            return t;
    }
    return CompareNames(a, b);
}

} // namespace

GFileListCtrl::GFileListCtrl() {
    SetCompareProc(CompareByName);
    SetSortType(eSortAscending);
}

GFileListCtrl::~GFileListCtrl() {
    // The rows point at the icon table; they go first.
    SetItemList(nullptr, 0);
}

LPCWSTR GFileListCtrl::GetClassNameW() {
    return u"GFileListCtrl";
}

GItemCompareProc GFileListCtrl::CompareProcOf(eSortMode mode) {
    switch (mode) {
        case eSortModeType:
            return CompareByType;
        case eSortModeSize:
            return CompareBySize;
        case eSortModeTime:
            return CompareByTime;
        default:
            return CompareByName;
    }
}

GItem* GFileListCtrl::CreateItem(LPCWSTR label) {
    auto* item = new GFileItem(label, &m_aColumns, this);
    item->SetImageList(m_extImages.GetDefImageList());
    return item;
}

GFileItem* GFileListCtrl::GetFileItem(POSITION pos) {
    return AsFile(GetGItem(pos));
}

void GFileListCtrl::InitFileList(int singleColumn) {
    m_bSingleColumn = singleColumn ? 1 : 0;
    RemoveAllColumn();
    if (m_bSingleColumn) {
        AddColumn(100);
    } else {
        AddColumn(50);
        AddColumn(20);
        AddColumn(-1);
    }
    m_extImages.Init(GetDefBackColor(), GetSelBackColor());
    SetImageList(m_extImages.GetDefImageList());
    SetSortType(eSortAscending);
    SetCompareProc(CompareProcOf(m_eSortMode));
}

POSITION GFileListCtrl::AddItem(LPCWSTR folder, const WIN32_FIND_DATAW* data) {
    if (!data || !data->cFileName[0])
        return nullptr;
    auto* item = static_cast<GFileItem*>(CreateItem(data->cFileName));
    const bool isFolder = (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item->SetKind(isFolder ? eFileItemFolder : eFileItemFile);
    FILETIME local{0, 0};
    if (!FileTimeToLocalFileTime(&data->ftCreationTime, &local))
        local = data->ftCreationTime;
    item->SetCreationTime(local);
    if (isFolder) {
        item->SetImageIndex(kExtIconFolder);
    } else {
        item->SetFileSize((static_cast<ULONGLONG>(data->nFileSizeHigh) << 32) | data->nFileSizeLow);
        item->SetImageIndex(m_extImages.GetExtImageIndex(folder ? folder : u"", data->cFileName));
    }
    POSITION pos = InsertItem(item, 1);
    if (!pos)
        DeleteItem(static_cast<GItem*>(item));
    return pos;
}

POSITION GFileListCtrl::AddItem(LPCWSTR label, int kind) {
    if (!label || !label[0])
        return nullptr;
    auto* item = static_cast<GFileItem*>(CreateItem(label));
    item->SetKind(kind);
    if (kind >= eFileItemRoot && kind <= eFileItemRootLast)
        item->SetImageIndex(kExtIconRoot);
    else if (kind == eFileItemFolder)
        item->SetImageIndex(kExtIconFolder);
    POSITION pos = InsertItem(item, 1);
    if (!pos)
        DeleteItem(static_cast<GItem*>(item));
    return pos;
}

void GFileListCtrl::SetSortMode(eSortMode mode) {
    m_eSortMode = mode;
    SetCompareProc(CompareProcOf(mode));
    SortList(1);
}

void GFileListCtrl::SetMultiMode(int on) {
    m_bMultiMode = on ? 1 : 0;
    if (!m_bMultiMode && m_pItems)
        for (POSITION pos = m_pItems->GetHeadPosition(); pos;)
            static_cast<GItem*>(m_pItems->GetNext(pos))->ResetFlag(kFileItemMarked);
    Invalidate(0);
}

void GFileListCtrl::SetExtVisible(int on) {
    m_bExtVisible = on ? 1 : 0;
    Invalidate(0);
}
