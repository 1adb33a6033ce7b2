// The draw manager's pages: up to 99 in order, one of them current.
#include "inkra/InkraMan.h"

#include <cstring>

InkraPage* InkraMan::CreatePage() {
    if (m_Pages.GetSize() >= INKRA_MAX_PAGES && m_nCurPage == m_Pages.GetSize() - 1)
        return nullptr;
    return AllocInkraPage();
}

void InkraMan::DestroyPage(InkraPage* page) {
    if (!page)
        return;
    // A page another manager still holds stays alive.
    if (page->DetachDrawMan() == 0)
        FreeInkraPage(page);
}

int InkraMan::GetPageIndex(const InkraPage* page) const {
    if (!page)
        return -1;
    void** data = m_Pages.GetData();
    for (int i = 0; i < m_Pages.GetSize(); ++i)
        if (data[i] == page)
            return i;
    return -1;
}

int InkraMan::AddPage(InkraPage* page, int redraw) {
    if (!page || m_Pages.GetSize() >= INKRA_MAX_PAGES)
        return -1;
    int index = GetPageIndex(page);
    if (index < 0) {
        index = m_Pages.Add(page);
        if (index < 0)
            return -1;
        page->AttachDrawMan(&m_BufferBlock, &m_BackBlock, m_pMask, FullRect(), m_nLineFactor,
                            m_nDevideFactor, m_bUseCurve);
        m_bChanged = 1;
    }
    if (page != m_pCurPage)
        DropStroke(false);
    m_pCurPage = page;
    m_nCurPage = index;
    ClearMask();
    if (redraw)
        UpdateAll();
    return m_nCurPage;
}

int InkraMan::InsertPage(InkraPage* page, int index, int redraw) {
    const int count = m_Pages.GetSize();
    if (!page || count >= INKRA_MAX_PAGES || index < 0 || index > count)
        return -1;
    const int old = GetPageIndex(page);
    int at = index;
    if (old < 0) {
        m_Pages.InsertAt(index, page);
        page->AttachDrawMan(&m_BufferBlock, &m_BackBlock, m_pMask, FullRect(), m_nLineFactor,
                            m_nDevideFactor, m_bUseCurve);
        m_bChanged = 1;
    } else {
        m_Pages.RemoveAt(old);
        if (index > old)
            at = index - 1;
        m_Pages.InsertAt(at, page);
        m_bChanged = 1;
    }
    if (page != m_pCurPage)
        DropStroke(false);
    m_pCurPage = page;
    m_nCurPage = at;
    ClearMask();
    if (redraw)
        UpdateAll();
    return m_nCurPage;
}

int InkraMan::DeletePage(InkraPage* page, int redraw) {
    if (!page)
        return -1;
    const int index = GetPageIndex(page);
    if (index < 0)
        return -1;
    if (m_Pages.GetSize() == 1)
        return -2;
    if (m_pCurObject && (page == m_pCurPage))
        DropStroke(m_pCurObject->strokeType != eDODelStroke);
    else if (m_pCurObject)
        DropStroke(false);
    m_Pages.RemoveAt(index);
    DestroyPage(page);
    m_bChanged = 1;
    m_nCurPage = index < m_Pages.GetSize() ? index : m_Pages.GetSize() - 1;
    m_pCurPage = GetPage(m_nCurPage);
    ClearMask();
    if (redraw)
        UpdateAll();
    return m_nCurPage;
}

int InkraMan::SetCurPage(int index, int redraw) {
    if (index == -1)
        index = m_nCurPage;
    ClearMask();
    if (m_Pages.GetSize() == 0) {
        InkraPage* page = CreatePage();
        if (!page)
            return -1;
        int added = AddPage(page, redraw);
        if (added < 0)
            DestroyPage(page);
        return added;
    }
    if (index < 0 || index >= m_Pages.GetSize())
        return -1;
    InkraPage* page = GetPage(index);
    if (page != m_pCurPage)
        DropStroke(false);
    m_pCurPage = page;
    m_nCurPage = index;
    if (redraw) {
        SetBufferInfo(-1);
        UpdateAll();
    }
    return m_nCurPage;
}

int InkraMan::NextPage() {
    const int count = m_Pages.GetSize();
    if (count >= INKRA_MAX_PAGES && m_nCurPage == count - 1)
        return INKRA_MAX_PAGES;
    if (m_pCurPage && m_nCurPage == count - 1 && m_pCurPage->GetVisibleGDObjectNum() == 0)
        return m_nCurPage;
    const int index = m_nCurPage + 1;
    if (index >= count) {
        InkraPage* page = CreatePage();
        if (!page)
            return -1;
        int added = AddPage(page, 1);
        if (added < 0) {
            DestroyPage(page);
            return added;
        }
    }
    return SetCurPage(index, 1);
}

int InkraMan::PrevPage() {
    if (m_nCurPage == 0)
        return 0;
    const int index = m_nCurPage - 1;
    return SetCurPage(index < 0 ? 0 : index, 1);
}

void InkraMan::ClearCurPage() {
    if (m_BackBlock.GetSafeHandle())
        m_BufferBlock.CopyDib(&m_BackBlock);
    ClearMask();
    if (!m_pCurPage)
        return;
    if (m_pCurObject)
        DropStroke(m_pCurObject->strokeType != eDODelStroke);
    // A cleared page must reach the file, or its old objects would come back.
    if (m_pCurPage->GetTotalGDObjectNum() > 0)
        m_bChanged = 1;
    m_pCurPage->RemoveAllGDObject();
}

void InkraMan::RemoveAllPage() {
    if (m_pCurObject) {
        GDObject* object = m_pCurObject;
        // The trail is off every page and freed here; a stroke goes with its page.
        DropStroke(object->strokeType != eDODelStroke);
    }
    for (int i = 0; i < m_Pages.GetSize(); ++i)
        DestroyPage(GetPage(i));
    m_Pages.RemoveAll();
    m_pCurPage = nullptr;
    m_nCurPage = -1;
}
