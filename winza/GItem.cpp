#include "winza/GItem.h"

#include <cstring>

WCHAR* CopyWinzaLabel(LPCWSTR text) {
    if (!text || !text[0])
        return nullptr;
    size_t n = 0;
    while (text[n])
        ++n;
    WCHAR* copy = new WCHAR[n + 1];
    std::memcpy(copy, text, (n + 1) * sizeof(WCHAR));
    return copy;
}

GItem::GItem(LPCWSTR label) : m_pLabel(CopyWinzaLabel(label)) {}

GItem::~GItem() {
    delete[] m_pLabel;
}

void GItem::CalcItem(HDC, int, int, int) {}

void GItem::DrawItem(HDC, const COLORREF&, const COLORREF&, const int&) {}

void GItem::SetLabel(LPCWSTR label) {
    WCHAR* copy = CopyWinzaLabel(label);
    delete[] m_pLabel;
    m_pLabel = copy;
}

DWORD GItem::SetFlag(DWORD bits) {
    const DWORD old = m_dwFlag;
    m_dwFlag |= bits;
    return old;
}

DWORD GItem::ResetFlag(DWORD bits) {
    const DWORD old = m_dwFlag;
    m_dwFlag &= ~bits;
    return old;
}
