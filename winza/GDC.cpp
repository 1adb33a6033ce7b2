#include "winza/GDC.h"

#include "winza/GlobalDC.h"
#include "winza/Winza.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

} // namespace

GDC::~GDC() {
    DeleteGDC();
}

int GDC::MakeBitmap(int width, int height) {
    GDib* dib = new GDib;
    if (!dib->Create(width, height, 24)) {
        delete dib;
        return 0;
    }
    dib->SetBackColor(kMagenta);
    dib->SetTransColor(kMagenta);
    m_pDib = dib;
    return 1;
}

int GDC::MakeMemoryDC() {
    HDC like = m_pOwner ? m_pOwner->GetDC() : GetGlobalScreenDC();
    m_hMemDC = ::CreateCompatibleDC(like);
    return m_hMemDC ? 1 : 0;
}

void GDC::UnselectBitmap() {
    if (m_hMemDC && m_hOldObj) {
        ::SelectObject(m_hMemDC, m_hOldObj);
        m_hOldObj = nullptr;
    }
}

int GDC::CreateCompatibleGDC(Winza* owner, RECT rect) {
    DeleteGDC();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return 0;
    m_pOwner = owner;
    if (!owner) {
        m_nOriginX = rect.left;
        m_nOriginY = rect.top;
    }
    if (!MakeBitmap(width, height) || !MakeMemoryDC()) {
        DeleteGDC();
        return 0;
    }
    m_hOldObj = ::SelectObject(m_hMemDC, m_pDib->GetSafeHandle());
    return 1;
}

int GDC::ResizeGDC(RECT rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        DeleteGDC();
        return 0;
    }
    if (!m_pDib || m_pDib->Width() != width || m_pDib->Height() != height) {
        // The old bitmap leaves the context before it is deleted.
        UnselectBitmap();
        delete m_pDib;
        m_pDib = nullptr;
        if (!MakeBitmap(width, height)) {
            DeleteGDC();
            return 0;
        }
    }
    if (!m_hMemDC && !MakeMemoryDC()) {
        DeleteGDC();
        return 0;
    }
    HGDIOBJ previous = ::SelectObject(m_hMemDC, m_pDib->GetSafeHandle());
    if (!m_hOldObj)
        m_hOldObj = previous;
    if (!m_pOwner) {
        m_nOriginX = rect.left;
        m_nOriginY = rect.top;
    }
    UpdateGDC(rect);
    return 1;
}

void GDC::UpdateGDC(RECT rect) {
    if (m_pOwner || !m_pDib || !m_hMemDC)
        return;
    m_nOriginX = rect.left;
    m_nOriginY = rect.top;
    const int width = std::min<int>(rect.right - rect.left, m_pDib->Width());
    const int height = std::min<int>(rect.bottom - rect.top, m_pDib->Height());
    if (width <= 0 || height <= 0)
        return;
    ::BitBlt(m_hMemDC, 0, 0, width, height, GetGlobalScreenDC(), rect.left, rect.top, SRCCOPY);
}

int GDC::DeleteGDC() {
    if (m_hMemDC) {
        UnselectBitmap();
        ::DeleteDC(m_hMemDC);
    }
    delete m_pDib;
    m_pOwner = nullptr;
    m_nOriginX = 0;
    m_nOriginY = 0;
    m_hMemDC = nullptr;
    m_pDib = nullptr;
    m_hOldObj = nullptr;
    return 1;
}

HFONT GDC::SetFont(HFONT font) {
    if (!m_hMemDC || !font)
        return nullptr;
    return static_cast<HFONT>(::SelectObject(m_hMemDC, font));
}

void GDC::SetTransColor(COLORREF color) {
    if (m_pDib)
        m_pDib->SetTransColor(color);
}

POINT GDC::ToScreen(POINT p) const {
    if (m_pOwner)
        m_pOwner->ClientToScreen(&p);
    return p;
}

POINT GDC::FromScreen(POINT p) const {
    if (m_pOwner)
        m_pOwner->ScreenToClient(&p);
    return p;
}

POINT GDC::ToPixel(POINT p) const {
    if (m_pOwner)
        return p;
    return POINT{p.x - m_nOriginX, p.y - m_nOriginY};
}

int GDC::BitBlt(const GDC* source, int x, int y, int cx, int cy, int srcX, int srcY, int srcCx,
                int srcCy, int mode, int alpha, int transparent) const {
    if (!source || !source->m_pDib || !m_pDib)
        return 0;
    POINT src{srcX, srcY};
    if (!srcX || !srcY) {
        // The source pixel that lies under (x, y) on the screen.
        const POINT same = source->FromScreen(ToScreen(POINT{x, y}));
        if (!srcX)
            src.x = same.x;
        if (!srcY)
            src.y = same.y;
    }
    const POINT to = ToPixel(POINT{x, y});
    const POINT from = source->ToPixel(src);
    return source->m_pDib->DrawDib(m_pDib, to.x, to.y, cx, cy, from.x, from.y, srcCx ? srcCx : cx,
                                   srcCy ? srcCy : cy, mode, alpha, transparent);
}

int GDC::BitBlt(HDC target, int x, int y, int cx, int cy, int srcX, int srcY, int srcCx, int srcCy,
                int mode, int alpha, int transparent) const {
    if (!target || !m_pDib)
        return 0;
    const POINT from = ToPixel(POINT{srcX ? srcX : x, srcY ? srcY : y});
    return m_pDib->DrawDib(target, x, y, cx, cy, from.x, from.y, srcCx ? srcCx : cx,
                           srcCy ? srcCy : cy, mode, alpha, transparent, SRCCOPY);
}
