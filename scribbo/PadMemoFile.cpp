// Reading a memo file: the application header in front of the ink body. The header is read
// and checked whole into a record of its own, and the memo takes it only after the body has
// loaded too, so a damaged file leaves the memo as it was.
#include "scribbo/GPadDrawMan.h"

#include "fundo/GMemFile.h"
#include "picta/GImage.h"
#include "MemoFileIO.h"
#include "scribbo/Settings.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace memofile;

namespace {

// An old file's ink may reach far down; beyond this the page is not worth scrolling.
constexpr int kMaxOldPageHeight = 4800;
// An old alarm record larger than this is damage, not a newer layout.
constexpr DWORD kMaxAlarmRecordV1 = 4096;

} // namespace

struct GPadDrawMan::MemoHeader {
    _FILE_VERSION version{0, 0};
    StateBlock state{};
    AlarmBlock alarm{};
    TemplateHeader paper{};
    WCHAR title[kMemoTitleChars] = {};
    WCHAR note[kMemoNoteChars] = {};
    WCHAR sound[kMemoPathChars] = {};
    WCHAR picturePath[kMemoPathChars] = {};
    int hasPicture = 0;
    std::vector<BYTE> picture;
    POINT positions[INKRA_MAX_PAGES] = {};
};

int GPadDrawMan::ReadHeader(GFile* file, MemoHeader& h) {
    if (!file || !file->Seek(0, 0) || !ReadFileVersion(file, h.version))
        return 0;
    const _FILE_VERSION& v = h.version;
    if (v.major == 1) {
        DWORD size = 0;
        if (!ReadU32(file, size) || size > kMaxAlarmRecordV1 || !BytesLeft(file, size))
            return 0;
        std::vector<BYTE> record(size);
        if (!ReadAll(file, record.data(), size))
            return 0;
        InitAlarmBlock(&h.alarm, int(g_Settings.LoopAlarm));
        AlarmFromRecordV1(record.data(), size, &h.alarm, h.sound);
        h.alarm.HasSoundPath = h.sound[0] ? 1 : 0;
        DWORD hasTitle = 0;
        if (!ReadU32(file, hasTitle))
            return 0;
        if (hasTitle && !ReadText(file, h.title, kMemoTitleChars))
            return 0;
        h.state.HasTitle = h.title[0] ? 1 : 0;
        DWORD colours[4], switches[4], lineSpace = 0, skipped = 0, current = 0;
        for (DWORD& c : colours)
            if (!ReadU32(file, c))
                return 0;
        for (DWORD& s : switches)
            if (!ReadU32(file, s))
                return 0;
        if (!ReadU32(file, lineSpace) || !ReadU32(file, skipped) || !ReadU32(file, current))
            return 0;
        if (lineSpace == 0 || lineSpace > 255 || current >= DWORD(INKRA_MAX_PAGES))
            return 0;
        TemplateHeader& t = h.paper;
        t = g_Settings.DefaultTemplate;
        const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        t.PageWidth = WORD(screen.cx);
        t.PageHeight = WORD(screen.cy);
        t.TitleBandHeight = 60;
        t.TitleColumnWidth = 60;
        t.TitleHorLineWidth = t.HorLineWidth = t.TitleVerLineWidth = t.VerLineWidth = 1;
        t.LineSpace = t.ColumnSpace = BYTE(lineSpace);
        t.BackColor = 0xC0FFFF;
        t.TitleHorLineColor = colours[0];
        t.HorLineColor = colours[1];
        t.TitleVerLineColor = colours[2];
        t.VerLineColor = colours[3];
        t.Flags &= ~DWORD(eTFTitleLine | eTFLines | eTFTitleColumn | eTFColumns);
        const DWORD bits[4] = {eTFTitleLine, eTFLines, eTFTitleColumn, eTFColumns};
        for (int i = 0; i < 4; ++i)
            if (switches[i])
                t.Flags |= bits[i];
        h.state.CurPage = BYTE(current);
        return 1;
    }
    // The current form; any later minor is read as the latest we know.
    if (v.major < 2 || v.major > 99 || v.minor < 0)
        return 0;
    BYTE state[kStateBlockBytes], alarm[kAlarmBlockBytes], paper[kTemplateHeaderBytes];
    if (!ReadAll(file, state, sizeof(state)) || !ReadAll(file, alarm, sizeof(alarm)) ||
        !ReadAll(file, paper, sizeof(paper)))
        return 0;
    StateBlockFromBytes(state, &h.state);
    AlarmBlockFromBytes(alarm, &h.alarm);
    TemplateHeaderFromBytes(paper, &h.paper);
    if (h.state.PageCount > INKRA_MAX_PAGES || h.state.CurPage >= INKRA_MAX_PAGES)
        return 0;
    if (h.state.HasTitle && !ReadText(file, h.title, kMemoTitleChars))
        return 0;
    if (h.state.HasNote && !ReadText(file, h.note, kMemoNoteChars))
        return 0;
    if (h.alarm.HasSoundPath && !ReadText(file, h.sound, kMemoPathChars))
        return 0;
    const TemplateHeader& t = h.paper;
    h.hasPicture = (t.Flags & eTFPicture) && t.HasBackImage;
    if (h.hasPicture) {
        if (!ReadText(file, h.picturePath, kMemoPathChars))
            return 0;
        if (t.BackImageSize && (t.Flags & eTFEmbedPicture)) {
            if (!BytesLeft(file, t.BackImageSize))
                return 0;
            h.picture.resize(t.BackImageSize);
            if (!ReadAll(file, h.picture.data(), t.BackImageSize))
                return 0;
        }
    }
    for (int i = 0; i < h.state.PageCount; ++i) {
        DWORD x = 0, y = 0;
        if (!ReadU32(file, x) || !ReadU32(file, y))
            return 0;
        h.positions[i] = POINT{LONG(x), LONG(y)};
    }
    return 1;
}

void GPadDrawMan::TakeHeader(MemoHeader& h) {
    ApplyTemplate();
    m_Template = h.paper;
    m_State = h.state;
    m_Alarm = h.alarm;
    std::memcpy(m_szTitle, h.title, sizeof(m_szTitle));
    std::memcpy(m_szNote, h.note, sizeof(m_szNote));
    if (h.sound[0])
        std::memcpy(m_szSoundPath, h.sound, sizeof(m_szSoundPath));
    else
        SetSoundPath(nullptr);
    m_Embedded.clear();
    m_szEmbeddedPath[0] = 0;
    m_nFileMajor = h.version.major;
    m_nFileMinor = h.version.minor;
    m_bLoadFailed = 0;
    if (h.version.major == 1) {
        m_bHeaderChanged = 1;
        return;
    }
    m_bHeaderChanged = 0;
    FreeBackImage();
    std::memcpy(m_szBackImagePath, h.picturePath, sizeof(m_szBackImagePath));
    if (!h.hasPicture)
        return;
    // The path and bytes stay as read even when the picture cannot be shown, so that the
    // header is written back as it came.
    auto image = std::make_unique<GImage>();
    int shown = 0;
    if (!h.picture.empty()) {
        shown =
            image->Load(h.picture.data(), DWORD(h.picture.size()), int(m_Template.BackImageFormat));
        m_Embedded.swap(h.picture);
        std::memcpy(m_szEmbeddedPath, h.picturePath, sizeof(m_szEmbeddedPath));
    } else {
        WCHAR full[kMemoPathChars];
        ResolvePicturePath(h.picturePath, full);
        shown = full[0] && image->Load(full);
    }
    if (shown) {
        m_pBackImage = image.release();
        m_bOwnsBackImage = 1;
    }
}

void GPadDrawMan::FinishLoad(const MemoHeader& h, const _FILE_VERSION& version, tagPOINT extent) {
    m_Template.BackColor = m_crBack;
    if (h.version.major == 1) {
        const int width = std::max<int>(m_Template.PageWidth, extent.x);
        int height = std::max<int>(m_Template.PageHeight, extent.y);
        height = std::min(height, kMaxOldPageHeight);
        m_Template.PageWidth = WORD(RoundPageWidthV1(width));
        m_Template.PageHeight = WORD(height);
        SetObjectChanged(1);
    }
    if (version.major != kMemoFileVersion.major || version.minor != kMemoFileVersion.minor)
        SetObjectChanged(1);
    m_State.PageCount = BYTE(GetPageNum());
    if (m_State.CurPage >= m_State.PageCount)
        m_State.CurPage = 0;
    ApplyPageSize();
    SetBufferInfo(INKRA_MAX_PAGES);
}

int GPadDrawMan::Load(GFile* file) {
    if (!m_BufferBlock.GetSafeHandle()) {
        m_bLoadFailed = 1;
        return 0;
    }
    MemoHeader header;
    if (!ReadHeader(file, header)) {
        m_bLoadFailed = 1;
        return 0;
    }
    // A body without pages would empty the memo before failing: look at its count first.
    const LONG bodyAt = file->Tell();
    DWORD colour = 0, count = 0;
    if (!ReadU32(file, colour) || !ReadU32(file, count) || count == 0 || !file->Seek(bodyAt, 0)) {
        m_bLoadFailed = 1;
        return 0;
    }
    _FILE_VERSION version = header.version;
    tagPOINT extent{0, 0};
    // The engine replaces its pages only when the whole body was read.
    if (!InkraMan::Load(file, version, extent) || GetPageNum() == 0) {
        m_bLoadFailed = 1;
        return 0;
    }
    const int changed = IsChangedObject();
    const COLORREF back = m_crBack;
    TakeHeader(header);
    m_crBack = back;
    std::memcpy(m_Positions, header.positions, sizeof(m_Positions));
    m_nBodyOffset = bodyAt;
    m_nSaveBlockFor = 0;
    m_bIsDocument = 1;
    SetObjectChanged(changed);
    FinishLoad(header, version, extent);
    SetCurPage(m_State.CurPage, 0);
    ZoomTo(100, 0);
    ScrollToStored(1);
    return 1;
}

int GPadDrawMan::LoadPreview(GFile* file, const tagRECT& view) {
    if (!m_BufferBlock.GetSafeHandle())
        return 0;
    MemoHeader header;
    if (!ReadHeader(file, header))
        return 0;
    _FILE_VERSION version = header.version;
    DWORD colour = 0, count = 0;
    if (!ReadU32(file, colour) || !ReadU32(file, count) || count == 0 ||
        count > DWORD(INKRA_MAX_PAGES))
        return 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    if (file->UnCompress(buffer, size) == 0 || !buffer) {
        LocalFree(buffer);
        return 0;
    }
    tagPOINT extent{0, 0};
    InkraPage* page = AllocInkraPage();
    int ok = 0;
    if (page) {
        GMemFile block(buffer, size);
        ok = page->Load(&block, version, extent);
        block.Close();
    }
    LocalFree(buffer);
    if (!ok) {
        if (page) {
            page->DetachDrawMan();
            FreeInkraPage(page);
        }
        return 0;
    }
    RemoveAllPage();
    MatrixIdentity(&m_mView);
    MatrixIdentity(&m_mInverse);
    if (AddPage(page, 0) < 0) {
        page->DetachDrawMan();
        FreeInkraPage(page);
        return 0;
    }
    TakeHeader(header);
    m_crBack = colour;
    header.state.CurPage = 0;
    m_State.CurPage = 0;
    FinishLoad(header, version, extent);
    SetCurPage(0, 0);
    const int pageW = std::max<int>(1, m_Template.PageWidth);
    const int pageH = std::max<int>(1, m_Template.PageHeight);
    const int viewW = view.right - view.left;
    const int viewH = view.bottom - view.top;
    const int percent = std::max(viewW * 100 / pageW, viewH * 100 / pageH) + 1;
    ZoomTo(percent > 0 ? percent : 1, 1);
    return 1;
}
