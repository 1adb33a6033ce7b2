// The scan: folders become tree items, memo names become date index entries.
#include "scribbo/MemoStore.h"

#include "scribbo/GFolderItem.h"
#include "HostLinks.h"
#include "MemoStoreInternal.h"
#include "scribbo/Palette.h"
#include "winza/GTreeCtrl.h"

#include <platform/safefile.h>
#include <platform/utf.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_set>
#include <vector>

namespace {

// "YYYYMMDD_HHMMSS.pad" and its backslash: a folder whose memos' paths would not fit in the
// program's path buffers is not entered.
constexpr size_t kMemoNameRoom = 20;

struct ScanState {
    GTreeCtrl* tree;
    MemoIndex* index;
    std::string deviceRoot; // real host paths
    std::string storeRoot;
    std::unordered_set<std::string> entered;
};

struct Entry {
    std::u16string name;
    DWORD attributes;
    bool link;
};

GFolderItem* FolderItemAt(GTreeCtrl* tree, POSITION pos) {
    return tree ? dynamic_cast<GFolderItem*>(tree->GetGItem(pos)) : nullptr;
}

// A folder without a readable "folder.info" gets a colour from the palette and a new file.
void ReadOrGiveInfo(GTreeCtrl* tree, POSITION pos, const std::u16string& path) {
    FolderInfo info;
    GFolderItem* item = FolderItemAt(tree, pos);
    if (ReadFolderInfo(path.c_str(), &info)) {
        if (item)
            item->SetFolderInfo(info);
        return;
    }
    info.color = PaletteColors[std::rand() % kPaletteRows][1];
    if (item)
        item->SetColor(info.color);
    WriteFolderInfo(path.c_str(), info);
}

void ScanFile(ScanState& s, const std::u16string& folder, const Entry& e) {
    if (!(e.attributes & FILE_ATTRIBUTE_ARCHIVE) || !IsMemoFileName(e.name.c_str()))
        return;
    std::u16string path = folder + u"\\" + e.name;
    if (path.size() >= MAX_PATH)
        return;
    if (e.link && !IsWithin(RealHostPath(path.c_str()), s.deviceRoot))
        return;
    const size_t dot = e.name.rfind(u'.');
    if (!lstrcmpiW(e.name.c_str() + dot + 1, u"olx")) {
        // The older product's memos take the new extension; when that name is taken the
        // memo keeps its old one and is listed as it is.
        const std::u16string renamed = folder + u"\\" + e.name.substr(0, dot) + u".pad";
        if (renamed.size() < MAX_PATH && MoveFileW(path.c_str(), renamed.c_str()))
            path = renamed;
    }
    double time;
    if (s.index && ParseMemoTime(e.name.c_str(), &time))
        s.index->AddMemo(path.c_str(), time);
}

void ScanFolder(ScanState& s, POSITION item, const std::u16string& path, const std::string& real);

void ScanSubfolder(ScanState& s, POSITION parent, const std::u16string& folder,
                   const std::string& parentReal, const Entry& e) {
    const std::u16string path = folder + u"\\" + e.name;
    if (path.size() + kMemoNameRoom >= MAX_PATH)
        return;
    std::string real;
    if (e.link) {
        // Folders inside the scanned one are listed in their own place; a link elsewhere is
        // taken when it stays on the device, once, which also ends every loop.
        real = RealHostPath(path.c_str());
        if (!IsWithin(real, s.deviceRoot) || IsWithin(real, s.storeRoot))
            return;
    } else {
        real = parentReal + "/" + plat::ToUtf8(e.name);
    }
    if (!s.entered.insert(real).second)
        return;
    POSITION child = nullptr;
    if (s.tree) {
        child = s.tree->InsertChild(parent, e.name.c_str(), false, true);
        if (!child)
            return;
    }
    ReadOrGiveInfo(s.tree, child, path);
    ScanFolder(s, child, path, real);
}

void ScanFolder(ScanState& s, POSITION item, const std::u16string& path, const std::string& real) {
    // What saves killed half way left behind goes first; a save still running keeps its file.
    plat::RemoveSaveLeftovers(path.c_str());
    std::vector<Entry> entries;
    WIN32_FIND_DATAW fd;
    const HANDLE find = FindFirstFileW((path + u"\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return; // unreadable or gone: nothing to list here
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            entries.push_back({fd.cFileName, fd.dwFileAttributes, false});
    } while (FindNextFileW(find, &fd));
    FindClose(find);

    const std::vector<std::u16string> links = LinkNamesIn(path.c_str());
    for (Entry& e : entries) {
        e.link = std::binary_search(links.begin(), links.end(), e.name);
        if (e.attributes & FILE_ATTRIBUTE_DIRECTORY)
            ScanSubfolder(s, item, path, real, e);
        else
            ScanFile(s, path, e);
    }
}

} // namespace

int GetFolderPath(GTreeCtrl* tree, POSITION pos, WCHAR* out) {
    if (!tree || !pos || !out)
        return 0;
    std::u16string path;
    for (POSITION p = pos; p; p = tree->GetParentItem(p)) {
        GItem* item = tree->GetGItem(p);
        std::u16string label = item && item->GetLabel() ? item->GetLabel() : u"";
        if (label.empty() || label.back() != u'\\')
            label += u'\\';
        path.insert(0, label);
    }
    if (path.size() >= MAX_PATH)
        return 0;
    lstrcpynW(out, path.c_str(), MAX_PATH);
    return int(path.size());
}

POSITION FindFolderItem(GTreeCtrl* tree, LPCWSTR path) {
    const POSITION root = tree ? tree->GetTopItem() : nullptr;
    GItem* top = tree ? tree->GetGItem(root) : nullptr;
    if (!top || !path)
        return nullptr;
    const std::u16string want = memostore::Trimmed(path);
    const std::u16string base = memostore::Trimmed(top->GetLabel());
    if (want.size() < base.size() || lstrcmpiW(want.substr(0, base.size()).c_str(), base.c_str()))
        return nullptr;
    if (want.size() > base.size() && want[base.size()] != u'\\')
        return nullptr;
    POSITION pos = root;
    for (size_t i = base.size() + 1; pos && i <= want.size();) {
        size_t j = want.find(u'\\', i);
        if (j == std::u16string::npos)
            j = want.size();
        const std::u16string name = want.substr(i, j - i);
        POSITION c = tree->GetChildItem(pos);
        while (c && lstrcmpiW(tree->GetGItem(c)->GetLabel(), name.c_str()))
            c = tree->GetNextItem(c);
        pos = c;
        i = j + 1;
    }
    return pos;
}

int ReadFolderItemInfo(GTreeCtrl* tree, POSITION pos) {
    WCHAR path[MAX_PATH];
    FolderInfo info;
    GFolderItem* item = FolderItemAt(tree, pos);
    if (!item || !GetFolderPath(tree, pos, path) || !ReadFolderInfo(path, &info))
        return 0;
    item->SetFolderInfo(info);
    return 1;
}

int WriteFolderItemInfo(GTreeCtrl* tree, POSITION pos) {
    WCHAR path[MAX_PATH];
    GFolderItem* item = FolderItemAt(tree, pos);
    return item && GetFolderPath(tree, pos, path) && WriteFolderInfo(path, item->GetFolderInfo());
}

void ScanMemoFolder(GTreeCtrl* tree, POSITION item, LPCWSTR path, MemoIndex* index) {
    if (!path || (tree && !item))
        return;
    ScanState s{tree, index, RealDeviceRoot(), RealHostPath(path), {}};
    if (s.storeRoot.empty())
        return;
    s.entered.insert(s.storeRoot);
    ScanFolder(s, item, memostore::Trimmed(path), s.storeRoot);
}

POSITION ScanMemoStore(GTreeCtrl* tree, MemoIndex* index, LPCWSTR root, LPCWSTR remembered) {
    const std::u16string label = memostore::Trimmed(root);
    if (label.empty())
        return nullptr;
    if (!tree) {
        if (index)
            index->ClearMemos();
        ScanMemoFolder(nullptr, nullptr, label.c_str(), index);
        return nullptr;
    }
    if (POSITION old = tree->GetTopItem())
        tree->DeleteChildItem(old, false);
    const POSITION top = tree->SetRoot(label.c_str());
    if (!top)
        return nullptr;
    ReadFolderItemInfo(tree, top);
    if (index)
        index->ClearMemos();
    ScanMemoFolder(tree, top, label.c_str(), index);
    const POSITION again = remembered ? FindFolderItem(tree, remembered) : nullptr;
    return again ? again : top;
}
