// The memo body: the back colour, then (when the document changed) the page count and one
// compressed block per page. A document is read into pages of its own first and replaces
// the manager's pages only when every block was read.
#include "inkra/FileVersion.h"
#include "inkra/InkraMan.h"
#include "MemoStream.h"

#include "fundo/GMemFile.h"

namespace {

// A block's header and at least one payload byte.
constexpr unsigned long long kMinBlock = 9;

void FreeStaged(InkraPage** pages, int count) {
    for (int i = 0; i < count; ++i) {
        pages[i]->DetachDrawMan();
        FreeInkraPage(pages[i]);
    }
}

// One compressed block into a new page; null on damage or no memory.
InkraPage* LoadPageBlock(GFile* file, _FILE_VERSION& version, tagPOINT& extent) {
    BYTE* buffer = nullptr;
    DWORD size = 0;
    if (file->UnCompress(buffer, size) == 0 || !buffer) {
        LocalFree(buffer);
        return nullptr;
    }
    InkraPage* page = AllocInkraPage();
    int ok = 0;
    if (page) {
        GMemFile block(buffer, size);
        ok = page->Load(&block, version, extent);
        block.Close();
    }
    LocalFree(buffer);
    if (!ok && page) {
        page->DetachDrawMan();
        FreeInkraPage(page);
        page = nullptr;
    }
    return page;
}

} // namespace

int InkraMan::Save(GFile* file, _FILE_VERSION& version) {
    // A failed write leaves the change flag set, so that the next save writes the pages.
    if (!file)
        return 0;
    if (!inkra::WriteU32(file, m_crBack))
        return 0;
    if (m_bChanged) {
        const int count = m_Pages.GetSize();
        if (!inkra::WriteU32(file, static_cast<DWORD>(count)))
            return 0;
        for (int i = 0; i < count; ++i) {
            GMemFile record;
            if (!GetPage(i)->Save(&record, version))
                return 0;
            const DWORD size = static_cast<DWORD>(record.Size());
            if (file->Compress(record.GetBuffer(), size, -1) == 0)
                return 0;
        }
    }
    m_bChanged = 0;
    return 1;
}

int InkraMan::Load(GFile* file, _FILE_VERSION& version, tagPOINT& extent) {
    if (!file)
        return 0;
    DWORD colour = 0, count = 0;
    if (!inkra::ReadU32(file, colour) || !inkra::ReadU32(file, count))
        return 0;
    if (count > static_cast<DWORD>(INKRA_MAX_PAGES) || !inkra::BytesLeft(file, kMinBlock * count))
        return 0;
    InkraPage* staged[INKRA_MAX_PAGES];
    int loaded = 0;
    tagPOINT reach = extent;
    for (; loaded < static_cast<int>(count); ++loaded) {
        staged[loaded] = LoadPageBlock(file, version, reach);
        if (!staged[loaded]) {
            FreeStaged(staged, loaded);
            return 0;
        }
    }

    RemoveAllPage();
    MatrixIdentity(&m_mView);
    MatrixIdentity(&m_mInverse);
    m_crBack = colour;
    int added = 0;
    for (; added < loaded; ++added) {
        if (AddPage(staged[added], 0) < 0) {
            // Only memory refuses a page here; the pages not taken are freed.
            FreeStaged(staged + added, loaded - added);
            break;
        }
    }
    if (GetPageNum() > 0)
        SetCurPage(0, 0);
    extent = reach;
    m_bChanged = IsOldMemoForm(version) || added < loaded ? 1 : 0;
    return added == loaded ? 1 : 0;
}
