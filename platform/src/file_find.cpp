// FindFirstFileW / FindNextFileW / FindClose. The matching names are collected and sorted when
// the search starts; entries that vanish before they are reported are skipped.
#include "file_internal.h"

#include <platform/utf.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <utility>
#include <vector>

#include <dirent.h>

namespace plat {
namespace {

struct FindState {
    std::string dir;
    std::vector<std::string> names;
    size_t next = 0;
};

// Live search handles, so a stale or foreign handle is refused instead of followed.
struct FindRegistry {
    std::mutex mutex;
    std::unordered_set<FindState*> live;
};

FindRegistry& Registry() {
    static FindRegistry registry;
    return registry;
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// '*' any run of characters, '?' exactly one; both sides are folded already.
bool MatchWildcards(std::u32string_view p, std::u32string_view n) {
    size_t pi = 0, ni = 0;
    size_t star = std::u32string_view::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == U'?' || (p[pi] != U'*' && p[pi] == n[ni]))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == U'*') {
            star = pi++;
            mark = ni;
        } else if (star != std::u32string_view::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

// A trailing ".*" also matches the end of the name, which is why "*.*" takes names without a
// dot and "memo.*" takes "memo".
bool MatchPattern(std::u32string_view p, std::u32string_view n) {
    if (MatchWildcards(p, n))
        return true;
    if (p.size() >= 2 && p[p.size() - 2] == U'.' && p.back() == U'*')
        return MatchPattern(p.substr(0, p.size() - 2), n);
    return false;
}

bool Fill(const std::string& dir, const std::string& name, WIN32_FIND_DATAW* data) {
    const std::string host = dir + "/" + name;
    HostStat st;
    if (StatHost(host, &st) != 0)
        return false;
    *data = WIN32_FIND_DATAW{};
    data->dwFileAttributes = ReadDosAttributes(host, st, name);
    data->ftCreationTime = FileTimeFromUnix(st.createSec, st.createNsec);
    data->ftLastAccessTime = FileTimeFromUnix(st.accessSec, st.accessNsec);
    data->ftLastWriteTime = FileTimeFromUnix(st.writeSec, st.writeNsec);
    data->nFileSizeHigh = DWORD(st.size >> 32);
    data->nFileSizeLow = DWORD(st.size & 0xFFFFFFFFu);
    data->dwOID = DWORD(st.inode);
    const std::u16string wide = FromUtf8(name);
    const size_t n = std::min<size_t>(wide.size(), MAX_PATH - 1);
    std::copy_n(wide.data(), n, data->cFileName);
    data->cFileName[n] = 0;
    return true;
}

bool Advance(FindState* s, WIN32_FIND_DATAW* data) {
    while (s->next < s->names.size())
        if (Fill(s->dir, s->names[s->next++], data))
            return true;
    return false;
}

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

} // namespace
} // namespace plat

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    using namespace plat;
    if (!pattern || !data)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::u16string_view text(pattern);
    if (!text.empty() && (text.back() == u'\\' || text.back() == u'/')) {
        // A directory, not the entries in it.
        MappedPath m;
        DWORD err = MapDevicePath(pattern, &m);
        HostStat st;
        if (!err)
            err = StatHost(m.host, &st) == 0 && st.isDir ? ERROR_FILE_NOT_FOUND
                                                         : ERROR_PATH_NOT_FOUND;
        return Fail(err);
    }
    MappedPath m;
    if (DWORD err = MapDevicePath(pattern, &m, true))
        return Fail(err);
    if (!m.parentFound)
        return Fail(ERROR_PATH_NOT_FOUND);
    std::u32string want;
    if (!FoldUtf8(m.leafWritten, &want))
        return Fail(ERROR_INVALID_NAME);

    std::unique_ptr<DIR, DirCloser> dir(opendir(m.parent.c_str()));
    if (!dir)
        return Fail(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                        : ErrorFromErrno(errno, m));
    std::vector<std::pair<std::u32string, std::string>> found;
    std::u32string folded;
    while (const dirent* e = readdir(dir.get())) {
        const std::string_view name = e->d_name;
        if (!IsDeviceExpressible(name) || !FoldUtf8(name, &folded))
            continue;
        if (MatchPattern(want, folded))
            found.emplace_back(folded, name);
    }
    dir.reset();
    std::sort(found.begin(), found.end());

    auto state = std::make_unique<FindState>();
    state->dir = m.parent;
    state->names.reserve(found.size());
    for (auto& f : found)
        state->names.push_back(std::move(f.second));
    if (!Advance(state.get(), data))
        return Fail(ERROR_FILE_NOT_FOUND);
    FindRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    r.live.insert(state.get());
    return state.release();
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data) {
    using namespace plat;
    FindRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    auto it = r.live.find(static_cast<FindState*>(find));
    if (it == r.live.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!Advance(*it, data)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    using namespace plat;
    FindRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    auto it = r.live.find(static_cast<FindState*>(find));
    if (it == r.live.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete *it;
    r.live.erase(it);
    return TRUE;
}
