// The draw manager's buffers, view matrix and settings.
#include "inkra/InkraMan.h"

#include "inkra/InkBrush.h"
#include "InkraRect.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

InkraMan::InkraMan() {
    std::memset(m_Points, 0, sizeof(m_Points));
    m_pNextPoint = m_Points;
    MatrixIdentity(&m_mView);
    MatrixIdentity(&m_mInverse);
    SetCoverageProc(LinearCoverage);
    SetLineFactor(1.6);
}

InkraMan::InkraMan(const InkraMan& other) {
    MatrixIdentity(&m_mView);
    MatrixIdentity(&m_mInverse);
    CopyFrom(other);
}

InkraMan& InkraMan::operator=(const InkraMan& other) {
    if (this != &other) {
        ReleaseBuffer();
        CopyFrom(other);
    }
    return *this;
}

InkraMan::~InkraMan() {
    InkraMan::ReleaseBuffer();
}

void InkraMan::CopyFrom(const InkraMan& other) {
    m_BufferBlock = other.m_BufferBlock;
    m_BackBlock = other.m_BackBlock;
    // Each manager frees its own mask and its own DC, so neither is shared.
    const size_t size = static_cast<size_t>(other.Width()) * other.Height();
    if (other.m_pMask && size > 0) {
        m_pMask = static_cast<BYTE*>(std::calloc(size, 1));
        if (m_pMask)
            std::memcpy(m_pMask, other.m_pMask, size);
    }
    m_MaskArea = other.m_MaskArea;
    std::memcpy(m_Points, other.m_Points, sizeof(m_Points));
    m_pNextPoint = m_Points + (other.m_pNextPoint - other.m_Points);
    m_crBack = other.m_crBack;
    m_hMemDC = nullptr;
    m_hOldBitmap = nullptr;
    m_rcVScreen = other.m_rcVScreen;
    m_mView = other.m_mView;
    m_mInverse = other.m_mInverse;
    m_bUseCompensate = other.m_bUseCompensate;
    m_bTracking = 0;
    m_nLastX = other.m_nLastX;
    m_nLastY = other.m_nLastY;
    m_fPosX = other.m_fPosX;
    m_fPosY = other.m_fPosY;
    m_fVelX = other.m_fVelX;
    m_fVelY = other.m_fVelY;
    m_nObjectKind = other.m_nObjectKind;
    m_eStrokeType = other.m_eStrokeType;
    m_bUseCurve = other.m_bUseCurve;
    m_crPen = other.m_crPen;
    m_crMarker = other.m_crMarker;
    m_crPencel = other.m_crPencel;
    m_crColorPen = other.m_crColorPen;
    m_crBrush = other.m_crBrush;
    m_crAirBrush = other.m_crAirBrush;
    m_nPenWidth = other.m_nPenWidth;
    m_nMarkerWidth = other.m_nMarkerWidth;
    m_nEraserWidth = other.m_nEraserWidth;
    m_nDelStrokeWidth = other.m_nDelStrokeWidth;
    m_nPencelWidth = other.m_nPencelWidth;
    m_nColorPenWidth = other.m_nColorPenWidth;
    m_nBrushWidth = other.m_nBrushWidth;
    m_nAirBrushWidth = other.m_nAirBrushWidth;
    m_nMaxAlpha = other.m_nMaxAlpha;
    m_nMultiFactor = other.m_nMultiFactor;
    m_nLineFactor = other.m_nLineFactor;
    m_nDevideFactor = other.m_nDevideFactor;
    // Shared pages: one more attachment each, so the page lives until both let go.
    m_Pages = other.m_Pages;
    for (int i = 0; i < m_Pages.GetSize(); ++i) {
        InkraPage* page = GetPage(i);
        page->AttachDrawMan(page->GetBufferBlock(), nullptr, nullptr, page->GetValidRect(),
                            page->GetLineFactor(), page->GetDevideFactor(), page->GetUseCurve());
    }
    m_pCurPage = other.m_pCurPage;
    m_nCurPage = other.m_nCurPage;
    m_bChanged = other.m_bChanged;
    // The stroke in progress belongs to the other manager's pen.
    m_pCurObject = nullptr;
    m_ptBeforePrevious = other.m_ptBeforePrevious;
    m_ptPrevious = other.m_ptPrevious;
    // Pages draw through this manager's buffers from now on.
    SetBufferInfo(INKRA_MAX_PAGES);
}

int InkraMan::InitBuffer(HDC dc, int width, int height) {
    return InitBuffer(dc, m_crBack, width, height);
}

int InkraMan::InitBuffer(HDC dc, COLORREF colour, int width, int height) {
    if (!MakeBuffers(dc, width, height))
        return 0;
    m_crBack = colour;
    m_BackBlock.SetBackColor(colour, 255);
    if (!m_BufferBlock.CopyDib(&m_BackBlock)) {
        ReleaseBuffer();
        return 0;
    }
    return 1;
}

int InkraMan::MakeBuffers(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0 || !dc) {
        ReleaseBuffer();
        return 0;
    }
    DropStroke(false);
    bool haveDC = m_hMemDC != nullptr;
    if (haveDC && m_hOldBitmap) {
        haveDC = SelectObject(m_hMemDC, m_hOldBitmap) != nullptr;
        m_hOldBitmap = nullptr;
    }
    if (!haveDC) {
        if (m_hMemDC)
            DeleteDC(m_hMemDC);
        m_hMemDC = CreateCompatibleDC(dc);
        if (!m_hMemDC) {
            ReleaseBuffer();
            return 0;
        }
    }
    if (!m_BackBlock.GetSafeHandle() || m_BackBlock.Width() != width ||
        m_BackBlock.Height() != height) {
        m_BackBlock.Free();
        std::free(m_pMask);
        m_pMask = nullptr;
        if (!m_BackBlock.Create(width, height, 24)) {
            ReleaseBuffer();
            return 0;
        }
        m_pMask = static_cast<BYTE*>(std::calloc(static_cast<size_t>(width) * height, 1));
        if (!m_pMask) {
            ReleaseBuffer();
            return 0;
        }
        // Fresh from calloc: zero without a pass over it.
        m_MaskArea = inkra::detail::MaskArea{false, 0, 0, -1, -1};
    }
    // A buffer of the right size is kept; a new one comes zeroed, with no pass over it.
    if ((!m_BufferBlock.GetSafeHandle() || m_BufferBlock.Width() != width ||
         m_BufferBlock.Height() != height || m_BufferBlock.GetBitCount() != 24) &&
        !m_BufferBlock.Create(width, height, 24)) {
        ReleaseBuffer();
        return 0;
    }
    m_hOldBitmap = static_cast<HBITMAP>(SelectObject(m_hMemDC, m_BufferBlock.GetSafeHandle()));
    ClearMask();
    SetBufferInfo(INKRA_MAX_PAGES);
    return 1;
}

void InkraMan::ReleaseBuffer() {
    RemoveAllPage();
    if (m_hMemDC) {
        if (m_hOldBitmap)
            SelectObject(m_hMemDC, m_hOldBitmap);
        DeleteDC(m_hMemDC);
    }
    m_hMemDC = nullptr;
    m_hOldBitmap = nullptr;
    m_BufferBlock.Free();
    m_BackBlock.Free();
    std::free(m_pMask);
    m_pMask = nullptr;
}

void InkraMan::SetBackColor(HDC dc, COLORREF colour, int rebuild) {
    m_crBack = colour;
    if (rebuild)
        InitBuffer(dc, colour, Width(), Height());
}

void InkraMan::ClearMask() {
    if (!m_pMask)
        return;
    const int width = Width(), height = Height();
    const inkra::detail::MaskArea& a = m_MaskArea;
    if (a.all) {
        std::memset(m_pMask, 0, static_cast<size_t>(width) * height);
    } else if (a.x0 <= a.x1) {
        for (int y = a.y0; y <= a.y1; ++y)
            std::memset(m_pMask + static_cast<size_t>(y) * width + a.x0, 0,
                        static_cast<size_t>(a.x1 - a.x0 + 1));
    }
    m_MaskArea = inkra::detail::MaskArea{false, 0, 0, -1, -1};
}

void InkraMan::MaskTouched(const tagRECT& drawn) {
    inkra::detail::MaskArea& a = m_MaskArea;
    const tagRECT part = inkra::Clamp(drawn, FullRect());
    if (a.all || inkra::NoArea(part))
        return;
    if (a.x0 > a.x1) {
        a = inkra::detail::MaskArea{false, part.left, part.top, part.right - 1, part.bottom - 1};
        return;
    }
    a.x0 = std::min<int>(a.x0, part.left);
    a.y0 = std::min<int>(a.y0, part.top);
    a.x1 = std::max<int>(a.x1, part.right - 1);
    a.y1 = std::max<int>(a.y1, part.bottom - 1);
}

void InkraMan::DrawBuffer(HDC dc, int x, int y, int width, int height, int srcX, int srcY) {
    if (!m_BufferBlock.GetSafeHandle() || !dc)
        return;
    m_BufferBlock.DrawDib(dc, x, y, width, height, srcX == -1 ? x : srcX, srcY == -1 ? y : srcY,
                          width, height, 0, 255, 0, SRCCOPY);
}

void InkraMan::DrawBuffer(GDib* target, int x, int y, int width, int height, int srcX, int srcY) {
    if (!m_BufferBlock.GetSafeHandle() || !target)
        return;
    m_BufferBlock.DrawDib(target, x, y, width, height, srcX == -1 ? x : srcX, srcY == -1 ? y : srcY,
                          width, height, 0, 255, 0);
}

void InkraMan::UpdateBuffer(tagRECT& rect) {
    if (!m_pCurPage || !m_BufferBlock.GetSafeHandle())
        return;
    tagRECT area = inkra::Clamp(rect, FullRect());
    if (!inkra::NoArea(area))
        m_BackBlock.DrawDib(&m_BufferBlock, area.left, area.top, area.right - area.left,
                            area.bottom - area.top, area.left, area.top, area.right - area.left,
                            area.bottom - area.top, 0, 255, 0);
    DrawPageInk(rect);
}

void InkraMan::DrawPageInk(tagRECT& rect) {
    if (!m_pCurPage || !m_BufferBlock.GetSafeHandle())
        return;
    // This manager's buffers, whoever else shares the page.
    SetBufferInfo(-1);
    const tagRECT saved = m_pCurPage->GetValidRect();
    rect = inkra::Clamp(rect, saved);
    if (inkra::NoArea(rect))
        return;
    m_pCurPage->SetValidRect(rect);
    m_pCurPage->DrawPage(m_hMemDC, &m_mView, &m_mInverse);
    m_pCurPage->SetValidRect(saved);
}

void InkraMan::UpdateAll() {
    tagRECT all = FullRect();
    UpdateBuffer(all);
}

tagRECT InkraMan::DrawGDObject(GDObject* object) {
    if (!m_pCurPage)
        return tagRECT{0, 0, 0, 0};
    return m_pCurPage->DrawGDObject(m_hMemDC, object, &m_mView, &m_mInverse);
}

tagRECT InkraMan::GetVScreen() const {
    return tagRECT{FixedToInt(m_rcVScreen.left), FixedToInt(m_rcVScreen.top),
                   FixedToInt(m_rcVScreen.right), FixedToInt(m_rcVScreen.bottom)};
}

void InkraMan::SetBufferInfo(int which) {
    const tagRECT clip = FullRect();
    auto pass = [&](InkraPage* page) {
        if (page)
            page->SetDrawMan(&m_BufferBlock, &m_BackBlock, m_pMask, clip, m_nLineFactor,
                             m_nDevideFactor, m_bUseCurve);
    };
    if (which < 0) {
        pass(m_pCurPage);
    } else if (which == INKRA_MAX_PAGES) {
        for (int i = 0; i < m_Pages.GetSize(); ++i)
            pass(GetPage(i));
    } else {
        pass(GetPage(which));
    }
}

void InkraMan::AfterMatrixChange() {
    MatrixInvert(&m_mView, &m_mInverse);
    MatrixTransformFixedRect(&m_mView, &m_rcVScreen, &m_rcVScreen);
}

void InkraMan::TranslateMatrix(LONG tx, LONG ty) {
    m_mView.dx = tx;
    m_mView.dy = ty;
    AfterMatrixChange();
}

void InkraMan::ScaleMatrix(LONG sx, LONG sy) {
    m_mView.m11 = sx;
    m_mView.m22 = sy;
    AfterMatrixChange();
}

void InkraMan::RotateMatrixAngle(LONG angle) {
    MatrixRotate(angle, &m_mView);
    AfterMatrixChange();
}

int InkraMan::SetUseCompensate(int use) {
    const int previous = m_bUseCompensate;
    m_bUseCompensate = use;
    return previous;
}

int InkraMan::SetUseCurve(int use) {
    const int previous = m_bUseCurve;
    m_bUseCurve = use;
    SetBufferInfo(INKRA_MAX_PAGES);
    return previous;
}

void InkraMan::SetLineFactor(double factor) {
    m_nLineFactor = static_cast<LONG>(factor * 65536.0);
    m_nDevideFactor = FixedDiv(2 * m_nLineFactor, 5 * FIXED_ONE);
    SetBufferInfo(INKRA_MAX_PAGES);
}
