// Reading what the list shows of a memo from the front of its file, and writing its mark.
#include "scribbo/GTitleView.h"

#include "fundo/GIOFile.h"
#include "fundo/GMemFile.h"
#include "inkra/FileVersion.h"
#include "scribbo/MemoBlocks.h"
#include "MemoFileIO.h"
#include "scribbo/TemplateHeader.h"

#include <platform/gdiguard.h>

using namespace memofile;

namespace {

constexpr DWORD kFrontBytes = 4096;

bool Skip(GFile* file, unsigned long long count) {
    return BytesLeft(file, count) && file->Seek(LONG(count), 1) != 0;
}

// A present string: its length, then its characters.
bool SkipText(GFile* file) {
    DWORD n = 0;
    return ReadU32(file, n) && Skip(file, 2ull * n);
}

bool ReadCurrentForm(GFile* file, MemoQuickInfo* info) {
    BYTE state[kStateBlockBytes];
    BYTE alarm[kAlarmBlockBytes];
    BYTE paper[kTemplateHeaderBytes];
    if (!ReadAll(file, state, sizeof(state)) || !ReadAll(file, alarm, sizeof(alarm)) ||
        !ReadAll(file, paper, sizeof(paper)))
        return false;
    StateBlock s{};
    AlarmBlock a{};
    TemplateHeader t{};
    StateBlockFromBytes(state, &s);
    AlarmBlockFromBytes(alarm, &a);
    TemplateHeaderFromBytes(paper, &t);
    if ((s.HasTitle && !SkipText(file)) || (s.HasNote && !SkipText(file)) ||
        (a.HasSoundPath && !SkipText(file)))
        return false;
    // The picture rules of the memo loader.
    if ((t.Flags & eTFPicture) && t.HasBackImage) {
        if (!SkipText(file))
            return false;
        if (t.BackImageSize && (t.Flags & eTFEmbedPicture) && !Skip(file, t.BackImageSize))
            return false;
    }
    DWORD back = 0;
    if (!Skip(file, 8ull * s.PageCount) || !ReadU32(file, back))
        return false;
    info->mark = s.Mark;
    info->back = back;
    return true;
}

bool ReadOldForm(GFile* file, MemoQuickInfo* info) {
    DWORD size = 0, hasTitle = 0, back = 0;
    if (!ReadU32(file, size) || !Skip(file, size) || !ReadU32(file, hasTitle))
        return false;
    if (hasTitle && !SkipText(file))
        return false;
    // Line colours, line switches, line space, a spare word and the current page.
    if (!Skip(file, 16 + 16 + 4 + 4 + 4) || !ReadU32(file, back))
        return false;
    info->mark = 0;
    info->back = back;
    return true;
}

bool ReadInfo(GFile* file, MemoQuickInfo* info) {
    _FILE_VERSION version{};
    if (!ReadFileVersion(file, version))
        return false;
    return version.major == 0 || version.major == 1 ? ReadOldForm(file, info)
                                                    : ReadCurrentForm(file, info);
}

} // namespace

int ReadMemoQuickInfo(LPCWSTR path, MemoQuickInfo* info) {
    GIOFile file;
    if (!info || !path || !file.Open(path, u"rb"))
        return 0;
    // Lists read thousands of headers: one read of the front of the file holds almost every
    // header; only one carrying a picture is read from the file itself.
    BYTE front[kFrontBytes];
    const DWORD got = file.Read(front, sizeof(front));
    MemoQuickInfo read;
    GMemFile memory(front, got);
    bool ok = ReadInfo(&memory, &read);
    memory.Close();
    if (!ok && got == sizeof(front))
        ok = file.Seek(0, 0) && ReadInfo(&file, &read);
    if (ok)
        *info = read;
    return ok ? 1 : 0;
}

int WriteMemoMark(LPCWSTR path, BYTE mark) {
    gdi::MemoryDC dc(nullptr);
    if (!dc)
        return 0;
    int ok = 0;
    {
        GPadDrawMan memo;
        GIOFile file;
        if (memo.InitBuffer(dc, 16, 16) && file.Open(path, u"rb") && memo.Load(&file)) {
            file.Close();
            const _FILE_VERSION version{memo.GetFileMajor(), memo.GetFileMinor()};
            memo.GetState()->Mark = mark;
            ok = SaveMemoFile(memo, path, version) == eMSSaved;
        }
    }
    return ok;
}
