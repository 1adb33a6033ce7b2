// Writing a memo file. The file is always written whole (header, positions, every page)
// into memory first, and replaces the old file only when all of it was made.
#include "scribbo/GPadDrawMan.h"

#include "fundo/ByteCursor.h"
#include "fundo/GIOFile.h"
#include "fundo/GMemFile.h"
#include "MemoFileIO.h"
#include "scribbo/SafeSave.h"

#include <cstring>
#include <new>

using namespace memofile;

namespace {

// The value version 1 files carry after the line space.
constexpr DWORD kV1Constant = 0x018794D3;
// Pictures larger than this are not embedded.
constexpr LONG kMaxEmbeddedPicture = 64 * 1024 * 1024;
// A smaller memo's save block is made at once without a noticeable pause.
constexpr unsigned long long kWarmBlockFrom = 256 * 1024;

bool ReadWholeFile(LPCWSTR path, std::vector<BYTE>& out) {
    GIOFile file;
    if (!file.Open(path, u"rb"))
        return false;
    const LONG size = file.Size();
    if (size <= 0 || size > kMaxEmbeddedPicture)
        return false;
    out.resize(size_t(size));
    return file.Read(out.data(), DWORD(size)) == DWORD(size);
}

} // namespace

int GPadDrawMan::IsEmptyMemo() const {
    const int pages = GetPageNum();
    return pages == 0 || (pages == 1 && GetPage(0)->GetTotalGDObjectNum() == 0 &&
                          GetPage(0)->GetBackTextObjectNum() == 0);
}

int GPadDrawMan::WriteHeader(GFile* file, const _FILE_VERSION& version) {
    if (!WriteFileVersion(file, version))
        return 0;
    if (version.major == 1) {
        BYTE record[kAlarmRecordV1Bytes];
        AlarmToRecordV1(m_Alarm, m_szSoundPath, record);
        const TemplateHeader& t = m_Template;
        const int hasTitle = m_State.HasTitle && m_szTitle[0];
        if (!WriteU32(file, kAlarmRecordV1Bytes) || !WriteAll(file, record, sizeof(record)) ||
            !WriteU32(file, DWORD(hasTitle)) ||
            (hasTitle && !WriteText(file, m_szTitle, kMemoTitleChars)))
            return 0;
        const DWORD fields[] = {t.TitleHorLineColor,
                                t.HorLineColor,
                                t.TitleVerLineColor,
                                t.VerLineColor,
                                (t.Flags & eTFTitleLine) ? 1u : 0u,
                                (t.Flags & eTFLines) ? 1u : 0u,
                                (t.Flags & eTFTitleColumn) ? 1u : 0u,
                                (t.Flags & eTFColumns) ? 1u : 0u,
                                t.LineSpace,
                                kV1Constant,
                                DWORD(m_nCurPage < 0 ? 0 : m_nCurPage)};
        for (DWORD f : fields)
            if (!WriteU32(file, f))
                return 0;
        return 1;
    }

    TemplateHeader& t = m_Template;
    const int hasPicture = (t.Flags & eTFPicture) && t.HasBackImage;
    const std::vector<BYTE>* picture = nullptr;
    std::vector<BYTE> fresh;
    if (hasPicture && (t.Flags & eTFEmbedPicture) && t.BackImageSize) {
        // The bytes read with the memo, unless the picture was changed since.
        if (!m_Embedded.empty() && !wcscmp(m_szEmbeddedPath, m_szBackImagePath)) {
            picture = &m_Embedded;
        } else {
            WCHAR full[kMemoPathChars];
            ResolvePicturePath(m_szBackImagePath, full);
            if (full[0] && ReadWholeFile(full, fresh))
                picture = &fresh;
        }
        // The size written is always the size of the bytes that follow.
        if (picture) {
            t.BackImageSize = DWORD(picture->size());
        } else {
            t.BackImageSize = 0;
            t.Flags &= ~DWORD(eTFEmbedPicture);
        }
    }
    BYTE state[kStateBlockBytes], alarm[kAlarmBlockBytes], paper[kTemplateHeaderBytes];
    StateBlockToBytes(m_State, state);
    AlarmBlockToBytes(m_Alarm, alarm);
    TemplateHeaderToBytes(t, paper);
    if (!WriteAll(file, state, sizeof(state)) || !WriteAll(file, alarm, sizeof(alarm)) ||
        !WriteAll(file, paper, sizeof(paper)))
        return 0;
    if (m_State.HasTitle && !WriteText(file, m_szTitle, kMemoTitleChars))
        return 0;
    if (m_State.HasNote && !WriteText(file, m_szNote, kMemoNoteChars))
        return 0;
    if (m_Alarm.HasSoundPath && !WriteText(file, m_szSoundPath, kMemoPathChars))
        return 0;
    if (hasPicture) {
        if (!WriteText(file, m_szBackImagePath, kMemoPathChars))
            return 0;
        if (picture && !WriteAll(file, picture->data(), DWORD(picture->size())))
            return 0;
    }
    for (int i = 0; i < GetPageNum(); ++i)
        if (!WriteU32(file, DWORD(m_Positions[i].x)) || !WriteU32(file, DWORD(m_Positions[i].y)))
            return 0;
    if (picture == &fresh) {
        m_Embedded.swap(fresh);
        std::memcpy(m_szEmbeddedPath, m_szBackImagePath, sizeof(m_szEmbeddedPath));
    }
    return 1;
}

int GPadDrawMan::Serialize(_FILE_VERSION version, MemoImage& image) {
    if (m_bLoadFailed || IsEmptyMemo())
        return 0;
    if (version.major != 1 &&
        (version.major != kMemoFileVersion.major || version.minor != kMemoFileVersion.minor))
        return 0;
    m_State.PageCount = BYTE(GetPageNum());
    m_State.CurPage = BYTE(m_nCurPage < 0 ? 0 : m_nCurPage);
    GMemFile head;
    // The file is written whole, so the pages go with it even when nothing changed.
    if (!WriteHeader(&head, version) || !WriteU32(&head, m_crBack) ||
        !WriteU32(&head, DWORD(GetPageNum())))
        return 0;
    image.head.assign(head.GetBuffer(), head.GetBuffer() + head.Size());
    // The pages are measured first and written in place: a buffer grown and copied page by
    // page made the first save after opening a large memo stall on fresh memory.
    image.pageEnds.clear();
    unsigned long long total = 0;
    for (int i = 0; i < GetPageNum(); ++i) {
        total += GetPage(i)->SavedSize(version);
        image.pageEnds.push_back(size_t(total));
    }
    if (total > fundo::kMaxMemPosition)
        return 0;
    if (total > image.bodyCapacity) {
        size_t capacity = 0;
        image.body = m_SaveBlock.Take(size_t(total), &capacity);
        if (!image.body) {
            image.body.reset(new (std::nothrow) BYTE[total]);
            capacity = size_t(total);
        }
        image.bodyCapacity = image.body ? capacity : 0;
        if (!image.body)
            return 0;
    }
    // A record longer than measured would leave the block for a copy: refused, as a shorter one.
    GMemFile out(image.body.get(), DWORD(total));
    for (int i = 0; i < GetPageNum(); ++i)
        if (!GetPage(i)->Save(&out, version) || out.GetBuffer() != image.body.get() ||
            size_t(out.Tell()) != image.pageEnds[size_t(i)])
            return 0;
    m_bChanged = 0;
    m_bHeaderChanged = 0;
    return 1;
}

unsigned long long GPadDrawMan::PagesSavedSize(_FILE_VERSION version) const {
    unsigned long long total = 0;
    for (int i = 0; i < GetPageNum(); ++i)
        total += GetPage(i)->SavedSize(version);
    return total;
}

tagRECT GPadDrawMan::LButtonUp(int x, int y, int pressure) {
    const tagRECT changed = InkraMan::LButtonUp(x, y, pressure);
    if (!m_bIsDocument || !m_bChanged || m_SaveBlock.IsPending())
        return changed;
    const unsigned long long total = PagesSavedSize(kMemoFileVersion);
    if (total >= kWarmBlockFrom && total > m_nSaveBlockFor) {
        // Room for the strokes still to come, so that the block serves several saves.
        m_nSaveBlockFor = size_t(total + total / 4);
        m_SaveBlock.Prepare(m_nSaveBlockFor);
    }
    return changed;
}

int WriteMemoImage(const MemoImage& image, GFile* file) {
    if (!file || !WriteAll(file, image.head.data(), DWORD(image.head.size())))
        return 0;
    size_t start = 0;
    for (size_t end : image.pageEnds) {
        if (end <= start || end > image.bodyCapacity ||
            file->Compress(image.body.get() + start, DWORD(end - start), -1) == 0)
            return 0;
        start = end;
    }
    return 1;
}

int WriteMemoImage(const MemoImage& image, LPCWSTR path) {
    GMemFile content;
    return path && path[0] && WriteMemoImage(image, &content) &&
                   SafeWriteBuffer(path, content.GetBuffer(), DWORD(content.Size()))
               ? 1
               : 0;
}

int GPadDrawMan::Save(GFile* file, _FILE_VERSION& version) {
    const int objectChanged = m_bChanged;
    const int headerChanged = m_bHeaderChanged;
    MemoImage image;
    if (file && file->Seek(0, 0) && Serialize(version, image) && WriteMemoImage(image, file))
        return 1;
    m_bChanged = objectChanged;
    m_bHeaderChanged = headerChanged;
    return 0;
}

int SaveMemoFile(GPadDrawMan& memo, LPCWSTR path, _FILE_VERSION version) {
    if (!path || !path[0] || memo.IsLoadFailed())
        return eMSFailed;
    if (memo.IsEmptyMemo())
        return eMSEmpty;
    const int objectChanged = memo.IsChangedObject();
    const int headerChanged = memo.IsHeaderChanged();
    MemoImage image;
    if (memo.Serialize(version, image) && WriteMemoImage(image, path))
        return eMSSaved;
    // Still unsaved: the next attempt must write it all again.
    memo.SetObjectChanged(objectChanged);
    memo.SetHeaderChanged(headerChanged);
    return eMSFailed;
}
