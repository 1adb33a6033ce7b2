// Deleting and moving whole folders of memos.
#include "scribbo/MemoStore.h"

#include "HostLinks.h"
#include "MemoStoreInternal.h"

#include <vector>

namespace {

struct Entry {
    std::u16string path;
    DWORD attributes;
};

// Every entry of a folder, hidden ones too. The listing is taken whole first, as the loop
// changes the folder.
std::vector<Entry> ListFolder(const std::u16string& folder) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAW fd;
    const HANDLE find = FindFirstFileW((folder + u"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return entries;
    do
        entries.push_back({folder + u"\\" + fd.cFileName, fd.dwFileAttributes});
    while (FindNextFileW(find, &fd));
    FindClose(find);
    return entries;
}

void ClearReadOnly(LPCWSTR path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        const DWORD rest = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                                          FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesW(path, rest ? rest : FILE_ATTRIBUTE_NORMAL);
    }
}

// A link goes itself; what it points to is not ours to delete.
int RemoveLink(LPCWSTR path, DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path) : DeleteFileW(path);
}

int DeleteTree(const std::u16string& folder) {
    ClearReadOnly(folder.c_str(), GetFileAttributesW(folder.c_str()));
    for (const Entry& e : ListFolder(folder)) {
        LPCWSTR p = e.path.c_str();
        if (IsLinkPath(p)) {
            RemoveLink(p, e.attributes);
        } else if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteTree(e.path);
        } else {
            ClearReadOnly(p, e.attributes);
            DeleteFileW(p);
        }
    }
    return RemoveDirectoryW(folder.c_str());
}

int MoveTree(const std::u16string& source, const std::u16string& target);

// 1 when the entry left source.
int MoveEntry(const Entry& e, const std::u16string& target) {
    LPCWSTR from = e.path.c_str();
    LPCWSTR name = memostore::NameOf(from);
    const std::u16string to = target + u"\\" + name;
    if (to.size() >= MAX_PATH)
        return 0;
    if (!IsLinkPath(from)) {
        if (e.attributes & FILE_ATTRIBUTE_DIRECTORY)
            return MoveTree(e.path, to);
        if (IsMemoFileName(name)) {
            WCHAR placed[MAX_PATH];
            return memostore::PlaceMemo(from, target.c_str(), false, placed);
        }
        if (!lstrcmpiW(name, u"folder.info") && memostore::Exists(to.c_str())) {
            // The folder merged into keeps its own colour and state.
            ClearReadOnly(from, e.attributes);
            return DeleteFileW(from);
        }
    }
    // Anything else arrives under its own name or stays where it is.
    return MoveFileW(from, to.c_str());
}

int MoveTree(const std::u16string& source, const std::u16string& target) {
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    ClearReadOnly(source.c_str(), attributes);
    if (!memostore::Exists(target.c_str())) {
        if (!CreateDirectoryW(target.c_str(), nullptr))
            return 0;
        SetFileAttributesW(target.c_str(), attributes);
    }
    int all = 1;
    for (const Entry& e : ListFolder(source))
        all &= MoveEntry(e, target);
    return all && RemoveDirectoryW(source.c_str());
}

} // namespace

int DeleteFolder(LPCWSTR path) {
    const std::u16string folder = memostore::Trimmed(path);
    if (folder.empty())
        return 0;
    if (IsLinkPath(folder.c_str()))
        return RemoveDirectoryW(folder.c_str());
    return DeleteTree(folder);
}

int MoveFolder(LPCWSTR source, LPCWSTR target) {
    const std::u16string from = memostore::Trimmed(source);
    const std::u16string to = memostore::Trimmed(target);
    if (from.empty() || to.empty())
        return 0;
    // A folder into itself or below would chase its own tail; the target's nearest existing
    // folder tells, whatever links or spelling lead there.
    const std::string real = RealHostPath(from.c_str());
    std::u16string probe = to;
    std::string realTarget = RealHostPath(probe.c_str());
    while (realTarget.empty() && probe.rfind(u'\\') != std::u16string::npos) {
        probe.resize(probe.rfind(u'\\'));
        realTarget = RealHostPath(probe.empty() ? u"\\" : probe.c_str());
    }
    if (real.empty() || IsWithin(realTarget, real))
        return 0;
    if (IsLinkPath(from.c_str()))
        return MoveFileW(from.c_str(), to.c_str());
    return MoveTree(from, to);
}

int EnsureFolder(LPCWSTR path) {
    if (!path || !path[0])
        return 0;
    std::u16string folder(path);
    while (folder.size() > 1 && folder.back() == u'\\')
        folder.pop_back();
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    // Each missing folder on the way, from the top down.
    for (size_t at = folder.find(u'\\', 1); at != std::u16string::npos;
         at = folder.find(u'\\', at + 1))
        ::CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    return ::CreateDirectoryW(folder.c_str(), nullptr) ? 1 : 0;
}
