// Arbitrary bytes as a memo file read by GPadDrawMan::LoadPreview, as the title view reads
// every listed memo, and by Load. Whatever they hold, a preview has at most one page and a
// failed load leaves the memo as it was.
#include "fundo/GMemFile.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/Settings.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace {

// A small buffer keeps hostile pages cheap to draw.
GPadDrawMan& Memo() {
    static HDC dc = CreateCompatibleDC(nullptr);
    static GPadDrawMan* memo = [] {
        InitTemplateHeader(&g_Settings.DefaultTemplate, 0);
        auto* m = new GPadDrawMan;
        m->InitBuffer(dc, 60, 80);
        return m;
    }();
    return *memo;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1u << 20)
        return 0;
    GPadDrawMan& memo = Memo();
    GMemFile in(const_cast<BYTE*>(data), DWORD(size));
    if (memo.LoadPreview(&in, tagRECT{0, 0, 60, 80}) && memo.GetPageNum() != 1)
        abort();
    const int pages = memo.GetPageNum();
    GMemFile again(const_cast<BYTE*>(data), DWORD(size));
    if (!memo.Load(&again) && memo.GetPageNum() != pages)
        abort();
    // No page may outlive the run: the process-wide pools are gone before a static memo is.
    memo.RemoveAllPage();
    return 0;
}
