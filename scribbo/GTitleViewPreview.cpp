// The preview thread: draws the first page of each memo in sight into its entry. The list
// never changes while it runs, because every change stops and joins it first; it touches
// nothing of an entry but its preview bitmap.
#include "scribbo/GTitleView.h"

#include "scribbo/App.h"

#include "fundo/GIOFile.h"
#include "fundo/WaitCursor.h"

#include <platform/gdiguard.h>

#include <algorithm>

void GTitleView::StartPreview() {
    StopPreview();
    if (!m_hWnd || m_entries.empty())
        return;
    const int step = m_nItemHeight + m_nGap;
    if (step <= 0)
        return;
    const int cols = GetColumns();
    const int count = GetEntryCount();
    const int pos = GetScrollPos();
    const int first = std::min(count, pos / step * cols);
    const int last = std::min(count, (pos + Height() + step - 1) / step * cols);
    // Nothing in sight without a preview of this size: no thread.
    bool work = false;
    for (int i = first; i < last && !work; ++i) {
        const GDib& p = m_entries[size_t(i)]->preview;
        work = !p.GetSafeHandle() || p.Width() != m_nItemWidth || p.Height() != m_nItemHeight;
    }
    if (!work)
        return;
    m_nRenderFirst = first;
    m_nRenderLast = last;
    m_szRender = SIZE{m_nItemWidth, m_nItemHeight};
    m_bStop = 0;
    m_bThreadDone = 0;
    m_hThread = ::CreateThread(nullptr, 0, PreviewProc, this, 0, nullptr);
    if (!m_hThread) {
        m_bThreadDone = 1;
        return;
    }
    BeginWaitCursor();
}

void GTitleView::StopPreview() {
    if (!m_hThread)
        return;
    m_bStop = 1;
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_bThreadDone = 1;
    EndWaitCursor();
}

DWORD WINAPI GTitleView::PreviewProc(LPVOID param) {
    static_cast<GTitleView*>(param)->RenderPreviews();
    return 0;
}

void GTitleView::RenderPreviews() {
    const int w = m_szRender.cx;
    const int h = m_szRender.cy;
    gdi::MemoryDC dc(nullptr);
    if (dc && m_previewMan.InitBuffer(dc, w, h)) {
        const tagRECT view{0, 0, w, h};
        for (int i = m_nRenderFirst; i < m_nRenderLast && !m_bStop.load(); ++i) {
            TitleEntry* entry = m_entries[size_t(i)].get();
            if (entry->preview.GetSafeHandle() && entry->preview.Width() == w &&
                entry->preview.Height() == h)
                continue;
            const DWORD attributes = ::GetFileAttributesW(entry->path);
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_ARCHIVE))
                continue;
            GIOFile file;
            if (!file.Open(entry->path, u"rb") || !m_previewMan.LoadPreview(&file, view))
                continue;
            file.Close();
            // A stop asked for while loading lets the pen have the list at once.
            if (m_bStop.load())
                break;
            m_previewMan.Render();
            GDib picture;
            if (!picture.CopyDib(m_previewMan.GetBufferBlock()))
                continue;
            entry->preview.SwapDib(&picture);
            ++m_nPreviewsDrawn;
            ::PostMessageW(m_hWnd, UM_PREVIEWREADY, WPARAM(i), 0);
        }
    }
    // The pages loaded for previews go back to the pools now, not when the next run starts.
    m_previewMan.RemoveAllPage();
    dc.reset();
    m_bThreadDone = 1;
    ::PostMessageW(m_hWnd, UM_PREVIEWREADY, kPreviewsDone, 0);
}
