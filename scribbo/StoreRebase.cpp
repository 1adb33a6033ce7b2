#include "scribbo/StoreRebase.h"

#include "scribbo/GCustomMessageBox.h"
#include "HostLinks.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "MemoStoreInternal.h"
#include "scribbo/Settings.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kTextIntoItself = 17;
constexpr int kTextNotMoved = 98;
constexpr int kCaptionNotice = 22;

// What the move did, so that it can be undone or finished.
struct Journal {
    std::vector<std::pair<std::u16string, std::u16string>> moved; // from, to
    std::vector<std::u16string> madeFolders;                      // in the order made
    std::vector<std::u16string> oldFolders;                       // children before parents
    std::vector<std::u16string> keptInfo; // source "folder.info" files the target had already
};

int IsFolder(const std::u16string& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int MoveTreeJournaled(const std::u16string& from, const std::u16string& to, Journal& j) {
    if (!IsFolder(to)) {
        if (!CreateDirectoryW(to.c_str(), nullptr))
            return 0;
        j.madeFolders.push_back(to);
        SetFileAttributesW(to.c_str(), GetFileAttributesW(from.c_str()));
    }
    // The listing is taken whole first, as the loop empties the folder.
    std::vector<std::pair<std::u16string, DWORD>> entries;
    WIN32_FIND_DATAW fd;
    const HANDLE find = FindFirstFileW((from + u"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do
            if (lstrcmpW(fd.cFileName, u".") && lstrcmpW(fd.cFileName, u".."))
                entries.emplace_back(fd.cFileName, fd.dwFileAttributes);
        while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    for (const auto& [name, attributes] : entries) {
        const std::u16string source = from + u"\\" + name;
        const std::u16string target = to + u"\\" + name;
        if (target.size() >= MAX_PATH)
            return 0;
        const int link = IsLinkPath(source.c_str());
        if (!link && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (!MoveTreeJournaled(source, target, j))
                return 0;
            continue;
        }
        if (!link && IsMemoFileName(name.c_str())) {
            WCHAR placed[MAX_PATH];
            if (!memostore::PlaceMemo(source.c_str(), to.c_str(), false, placed))
                return 0;
            j.moved.emplace_back(source, placed);
            continue;
        }
        if (!lstrcmpiW(name.c_str(), u"folder.info") && memostore::Exists(target.c_str())) {
            // The folder merged into keeps its own colour and state.
            j.keptInfo.push_back(source);
            continue;
        }
        // Anything else arrives under its own name, or the move is undone.
        if (memostore::Exists(target.c_str()) || !MoveFileW(source.c_str(), target.c_str()))
            return 0;
        j.moved.emplace_back(source, target);
    }
    j.oldFolders.push_back(from);
    return 1;
}

void Undo(const Journal& j) {
    for (auto it = j.moved.rbegin(); it != j.moved.rend(); ++it)
        MoveFileW(it->second.c_str(), it->first.c_str());
    // Only folders left empty go: what was there before stays.
    for (auto it = j.madeFolders.rbegin(); it != j.madeFolders.rend(); ++it)
        RemoveDirectoryW(it->c_str());
}

void Finish(const Journal& j) {
    for (const std::u16string& info : j.keptInfo) {
        SetFileAttributesW(info.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(info.c_str());
    }
    // A folder that is not empty (something arrived meanwhile) stays.
    for (const std::u16string& folder : j.oldFolders) {
        SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
        RemoveDirectoryW(folder.c_str());
    }
}

} // namespace

int MoveMemoStore(LPCWSTR oldBase, LPCWSTR newBase) {
    const std::u16string from = memostore::Trimmed(oldBase);
    const std::u16string to = memostore::Trimmed(newBase);
    if (to.empty())
        return eStoreMoveFailed;
    if (from.empty() || !IsFolder(from))
        return eStoreMoved;
    const std::string realFrom = RealHostPath(from.c_str());
    // The new folder's nearest existing folder tells where it would be.
    std::u16string probe = to;
    std::string realTo = RealHostPath(probe.c_str());
    while (realTo.empty() && probe.rfind(u'\\') != std::u16string::npos) {
        probe.resize(probe.rfind(u'\\'));
        realTo = RealHostPath(probe.empty() ? u"\\" : probe.c_str());
    }
    if (realTo == realFrom && probe == to)
        return eStoreMoved;
    if (realFrom.empty() || IsWithin(realTo, realFrom))
        return eStoreMoveInside;
    const int existed = IsFolder(to);
    if (!existed && !EnsureFolder(to.c_str()))
        return eStoreMoveFailed;
    Journal j;
    if (!MoveTreeJournaled(from, to, j)) {
        Undo(j);
        if (!existed)
            RemoveDirectoryW(to.c_str());
        return eStoreMoveFailed;
    }
    Finish(j);
    return eStoreMoved;
}

int RebaseMemoStore(HWND parent, LPCWSTR oldBase) {
    if (!oldBase || !oldBase[0])
        return eStoreMoved;
    const int result = MoveMemoStore(oldBase, g_Settings.BaseDataFolder);
    if (result == eStoreMoved)
        return result;
    // The memos stay where they were, and the program goes on listing them there.
    if (!_wcsicmp(g_Settings.DefNewMemoFolder, g_Settings.BaseDataFolder))
        lstrcpynW(g_Settings.DefNewMemoFolder, oldBase, MAX_PATH);
    lstrcpynW(g_Settings.BaseDataFolder, oldBase, MAX_PATH);
    AppMessageBox(parent, GetLangText(result == eStoreMoveInside ? kTextIntoItself : kTextNotMoved),
                  GetLangText(kCaptionNotice), eMBOk, -1, eBoxCentre, 255, 1);
    return result;
}
