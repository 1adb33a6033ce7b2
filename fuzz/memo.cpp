// Arbitrary bytes as a memo body read by InkraMan::Load, or as one page record read by
// InkraPage::Load. The first byte picks the version (1.0, 2.0, 2.1, 2.2), the page reader, and
// whether a loaded document is drawn. A body that loads is written again; that must load,
// and written once more must give the same bytes.
#include "fundo/GMemFile.h"
#include "inkra/FileVersion.h"
#include "inkra/InkraMan.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr _FILE_VERSION kVersions[4] = {{1, 0}, {2, 0}, {2, 1}, {2, 2}};

std::vector<BYTE> SaveAll(InkraMan& man, _FILE_VERSION version) {
    GMemFile out;
    man.SetObjectChanged(1);
    if (!man.Save(&out, version))
        abort();
    const BYTE* p = out.GetBuffer();
    return std::vector<BYTE>(p, p + out.Size());
}

// The manager a loaded body is drawn with: a small buffer keeps hostile strokes cheap.
InkraMan& DrawMan() {
    static HDC dc = CreateCompatibleDC(nullptr);
    static InkraMan* man = [] {
        auto* m = new InkraMan;
        m->InitBuffer(dc, RGB(255, 255, 255), 64, 48);
        return m;
    }();
    return *man;
}

void CheckBody(const BYTE* data, DWORD size, _FILE_VERSION version, bool draw) {
    InkraMan& man = DrawMan();
    GMemFile in(const_cast<BYTE*>(data), size);
    tagPOINT extent{0, 0};
    if (!man.Load(&in, version, extent)) {
        if (man.GetPageNum() > INKRA_MAX_PAGES)
            abort();
        return;
    }
    if (man.GetPageNum() > 0 && (man.GetCurPageIndex() != 0 || !man.GetCurPage()))
        abort();
    if (draw) {
        for (int i = 0; i < man.GetPageNum() && i < 3; ++i) {
            man.SetCurPage(i, 0);
            tagRECT all{0, 0, man.Width(), man.Height()};
            man.UpdateBuffer(all);
        }
    }
    const std::vector<BYTE> once = SaveAll(man, version);
    InkraMan again;
    GMemFile back(const_cast<BYTE*>(once.data()), static_cast<DWORD>(once.size()));
    tagPOINT e2{0, 0};
    if (!again.Load(&back, version, e2) || again.GetPageNum() != man.GetPageNum())
        abort();
    if (SaveAll(again, version) != once)
        abort();
}

void CheckPage(const BYTE* data, DWORD size, _FILE_VERSION version) {
    GMemFile in(const_cast<BYTE*>(data), size);
    InkraPage* page = AllocInkraPage();
    tagPOINT extent{0, 0};
    if (page->Load(&in, version, extent)) {
        GMemFile out;
        if (!page->Save(&out, version))
            abort();
        InkraPage* copy = AllocInkraPage();
        GMemFile back(out.GetBuffer(), static_cast<DWORD>(out.Size()));
        tagPOINT e2{0, 0};
        if (!copy->Load(&back, version, e2) ||
            copy->GetTotalGDObjectNum() != page->GetTotalGDObjectNum() ||
            copy->GetBackTextObjectNum() != page->GetBackTextObjectNum())
            abort();
        copy->DetachDrawMan();
        FreeInkraPage(copy);
    }
    page->DetachDrawMan();
    FreeInkraPage(page);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const BYTE mode = data[0];
    const _FILE_VERSION version = kVersions[mode & 3];
    std::vector<BYTE> bytes(data + 1, data + size);
    bytes.push_back(0); // a buffer even for an empty input; not part of the stream
    const DWORD n = static_cast<DWORD>(size - 1);
    if (mode & 4)
        CheckPage(bytes.data(), n, version);
    else
        CheckBody(bytes.data(), n, version, (mode & 8) != 0);
    // No page may outlive the run: the process-wide pools are gone before the static manager.
    DrawMan().RemoveAllPage();
    return 0;
}
