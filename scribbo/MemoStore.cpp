// Memo names and the moving and copying of memos.
#include "scribbo/MemoStore.h"

#include "HostLinks.h"
#include "MemoStoreInternal.h"
#include "winza/GTime.h"

namespace {

constexpr ULONGLONG kTicksPerSecond = 10000000;
// A folder with this many memos in a row, one a second, is not a memo folder any more.
constexpr int kMaxSteps = 100000;
// Times another program may take the name just found before we give up.
constexpr int kMaxRaces = 4;

// The first name from time on (whole seconds) that nothing in folder has.
int FreeMemoPathFrom(LPCWSTR folder, const SYSTEMTIME& time, WCHAR* out) {
    FILETIME ft;
    if (!SystemTimeToFileTime(&time, &ft))
        return 0;
    ULONGLONG ticks = plat::FileTimeToTicks(ft);
    ticks -= ticks % kTicksPerSecond;
    for (int i = 0; i < kMaxSteps; ++i, ticks += kTicksPerSecond) {
        SYSTEMTIME st;
        const FILETIME step = plat::FileTimeFromTicks(ticks);
        if (!FileTimeToSystemTime(&step, &st) || !FormatMemoPath(out, folder, st))
            return 0;
        if (!memostore::Exists(out))
            return 1;
    }
    return 0;
}

} // namespace

namespace memostore {

std::u16string Trimmed(LPCWSTR path) {
    std::u16string s = path ? path : u"";
    while (!s.empty() && s.back() == u'\\')
        s.pop_back();
    return s;
}

LPCWSTR NameOf(LPCWSTR path) {
    LPCWSTR name = path;
    for (LPCWSTR p = path; *p; ++p)
        if (*p == u'\\')
            name = p + 1;
    return name;
}

int Exists(LPCWSTR path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

int PlaceMemo(LPCWSTR path, LPCWSTR folder, bool copy, WCHAR* out) {
    if (!path || !folder || !out)
        return 0;
    const std::u16string dir = Trimmed(folder);
    const std::u16string own = dir + u"\\" + NameOf(path);
    if (own.size() >= MAX_PATH)
        return 0;
    lstrcpynW(out, own.c_str(), MAX_PATH);
    if (!copy && Exists(out)) {
        // Moving a memo to where it is already.
        const std::string here = RealHostPath(path);
        if (!here.empty() && here == RealHostPath(out))
            return 1;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    for (int race = 0; race < kMaxRaces; ++race) {
        if (Exists(out) && !FreeMemoPathFrom(dir.c_str(), now, out))
            return 0;
        // Neither call replaces an existing file, so a name taken meanwhile only fails.
        if (copy ? CopyFileW(path, out, TRUE) : MoveFileW(path, out))
            return 1;
        const DWORD err = GetLastError();
        if (err != ERROR_ALREADY_EXISTS && err != ERROR_FILE_EXISTS)
            return 0;
    }
    return 0;
}

} // namespace memostore

int FormatMemoPath(WCHAR* out, LPCWSTR folder, const SYSTEMTIME& time, LPCWSTR ext) {
    if (!out || !folder || !ext)
        return 0;
    const std::u16string dir = memostore::Trimmed(folder);
    const int n =
        swprintf(out, size_t(MAX_PATH), u"%s\\%4d%.2d%.2d_%.2d%.2d%.2d.%s", dir.c_str(), time.wYear,
                 time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, ext);
    if (n < 0)
        out[0] = 0;
    return n >= 0;
}

int ParseMemoTime(LPCWSTR name, double* time) {
    if (!name || !time)
        return 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    swscanf(memostore::NameOf(name), u"%4d%2d%2d_%2d%2d%2d.", &year, &month, &day, &hour, &minute,
            &second);
    GTime t(0.0);
    if (!t.SetDateTime(year, month, day, hour, minute, second, 0, 0))
        return 0;
    *time = double(t);
    return 1;
}

int IsMemoFileName(LPCWSTR name) {
    if (!name)
        return 0;
    LPCWSTR dot = nullptr;
    for (LPCWSTR p = memostore::NameOf(name); *p; ++p)
        if (*p == u'.')
            dot = p;
    return dot && (!lstrcmpiW(dot + 1, u"pad") || !lstrcmpiW(dot + 1, u"olx"));
}

int NewMemoPath(LPCWSTR folder, const SYSTEMTIME& time, WCHAR* out) {
    return folder && out && FreeMemoPathFrom(folder, time, out);
}

int MoveMemo(LPCWSTR path, double time, LPCWSTR folder, MemoIndex* index, WCHAR* newPath) {
    WCHAR moved[MAX_PATH];
    // The index changes only once the memo is in its new place.
    if (!memostore::PlaceMemo(path, folder, false, moved))
        return 0;
    if (index && lstrcmpW(moved, path)) {
        index->RemoveMemo(path, time);
        index->AddMemo(moved, time);
    }
    if (newPath)
        lstrcpynW(newPath, moved, MAX_PATH);
    return 1;
}

int CopyMemo(LPCWSTR path, double time, LPCWSTR folder, MemoIndex* index, WCHAR* newPath) {
    WCHAR copied[MAX_PATH];
    if (!memostore::PlaceMemo(path, folder, true, copied))
        return 0;
    if (index)
        index->AddMemo(copied, time);
    if (newPath)
        lstrcpynW(newPath, copied, MAX_PATH);
    return 1;
}

int MoveMemos(const MemoRef* memos, int count, LPCWSTR folder, MemoIndex* index) {
    int done = 0;
    for (int i = 0; memos && i < count; ++i)
        done += MoveMemo(memos[i].path, memos[i].time, folder, index, nullptr);
    return done;
}

int CopyMemos(const MemoRef* memos, int count, LPCWSTR folder, MemoIndex* index) {
    int done = 0;
    for (int i = 0; memos && i < count; ++i)
        done += CopyMemo(memos[i].path, memos[i].time, folder, index, nullptr);
    return done;
}
