// The memo object: construction, buffers, pages with their scroll positions, texts, zoom.
#include "scribbo/GPadDrawMan.h"

#include "picta/GImage.h"
#include "scribbo/Settings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void CopyText(WCHAR* out, int capacity, LPCWSTR text) {
    int n = 0;
    if (text)
        for (; n < capacity - 1 && text[n]; ++n)
            out[n] = text[n];
    std::memset(out + n, 0, sizeof(WCHAR) * (capacity - n));
}

} // namespace

GPadDrawMan::GPadDrawMan() {
    InitTemplateHeader(&m_Template, 0);
    m_crBack = m_Template.BackColor;
    m_crPencel = 0x333333;
    m_crMarker = 0xFFFF;
    m_nPenWidth = FIXED_ONE / 4;
    m_nPencelWidth = FIXED_ONE / 2;
    m_nEraserWidth = 3 * FIXED_ONE;
    m_nMarkerWidth = 2 * FIXED_ONE;
    InitAlarmBlock(&m_Alarm, 0);
    SetSoundPath(nullptr);
}

GPadDrawMan::~GPadDrawMan() {
    // The pages draw through buffers that go away below.
    InkraMan::ReleaseBuffer();
    ReleasePaper();
    FreeBackImage();
}

void GPadDrawMan::ReleasePaper() {
    if (m_hPaperDC) {
        if (m_hPaperOld)
            SelectObject(m_hPaperDC, m_hPaperOld);
        DeleteDC(m_hPaperDC);
    }
    m_hPaperDC = nullptr;
    m_hPaperOld = nullptr;
    m_Paper.Free();
    std::free(m_pPaperMask);
    m_pPaperMask = nullptr;
}

void GPadDrawMan::FreeBackImage() {
    if (m_bOwnsBackImage)
        delete m_pBackImage;
    m_pBackImage = nullptr;
    m_bOwnsBackImage = 0;
}

int GPadDrawMan::InitBuffer(HDC dc, int width, int height) {
    // The paper fills the back block and the buffer below, so they are made but not filled;
    // the mask is cleared and the pages pointed at them there.
    if (!MakeBuffers(dc, width, height)) {
        ReleasePaper();
        return 0;
    }
    m_crBack = m_Template.BackColor;
    if (!m_hPaperDC) {
        m_hPaperDC = CreateCompatibleDC(dc);
        if (!m_hPaperDC) {
            InkraMan::ReleaseBuffer();
            return 0;
        }
    }
    if (m_Paper.Width() != width || m_Paper.Height() != height) {
        if (m_hPaperOld)
            SelectObject(m_hPaperDC, m_hPaperOld);
        m_hPaperOld = nullptr;
        m_Paper.Free();
        std::free(m_pPaperMask);
        m_pPaperMask = static_cast<BYTE*>(std::calloc(size_t(width) * height, 1));
        if (!m_pPaperMask || !m_Paper.Create(width, height, 24)) {
            ReleasePaper();
            InkraMan::ReleaseBuffer();
            return 0;
        }
        m_hPaperOld = static_cast<HBITMAP>(SelectObject(m_hPaperDC, m_Paper.GetSafeHandle()));
    }
    m_nViewWidth = width;
    m_nViewHeight = height;
    DrawPaper();
    m_Paper.DrawDib(&m_BufferBlock, 0, 0, width, height, 0, 0, width, height, 0, 255, 0);
    return 1;
}

void GPadDrawMan::SetBackColor(HDC dc, COLORREF colour, int rebuild) {
    m_Template.BackColor = colour;
    InkraMan::SetBackColor(dc, colour, 0);
    if (rebuild && InitBuffer(dc, Width(), Height()))
        Render();
}

std::vector<InkraPage*> GPadDrawMan::PageOrder() const {
    std::vector<InkraPage*> order;
    for (int i = 0; i < GetPageNum(); ++i)
        order.push_back(GetPage(i));
    return order;
}

void GPadDrawMan::FollowPositions(const std::vector<InkraPage*>& before, const POINT* positions) {
    POINT next[INKRA_MAX_PAGES] = {};
    for (int i = 0; i < GetPageNum() && i < INKRA_MAX_PAGES; ++i)
        for (size_t j = 0; j < before.size() && j < size_t(INKRA_MAX_PAGES); ++j)
            if (before[j] == GetPage(i)) {
                next[i] = positions[j];
                break;
            }
    std::memcpy(m_Positions, next, sizeof(next));
}

int GPadDrawMan::InsertPage(InkraPage* page, int index, int redraw) {
    const std::vector<InkraPage*> before = PageOrder();
    POINT saved[INKRA_MAX_PAGES];
    std::memcpy(saved, m_Positions, sizeof(saved));
    const int result = InkraMan::InsertPage(page, index, 0);
    if (result < 0)
        return result;
    FollowPositions(before, saved);
    if (redraw)
        Render();
    return result;
}

int GPadDrawMan::DeletePage(InkraPage* page, int redraw) {
    const std::vector<InkraPage*> before = PageOrder();
    POINT saved[INKRA_MAX_PAGES];
    std::memcpy(saved, m_Positions, sizeof(saved));
    const int result = InkraMan::DeletePage(page, 0);
    if (result < 0)
        return result;
    FollowPositions(before, saved);
    ScrollToStored(redraw);
    return result;
}

int GPadDrawMan::SetCurPage(int index, int redraw) {
    const int result = InkraMan::SetCurPage(index, 0);
    if (result >= 0 && redraw) {
        SetBufferInfo(-1);
        Render();
    }
    return result;
}

void GPadDrawMan::RemoveAllPage() {
    InkraMan::RemoveAllPage();
    std::memset(m_Positions, 0, sizeof(m_Positions));
}

void GPadDrawMan::Render() {
    DrawPaper();
    tagRECT all = FullRect();
    if (m_pCurPage)
        UpdateBuffer(all);
    else if (m_BufferBlock.GetSafeHandle())
        m_BackBlock.DrawDib(&m_BufferBlock, 0, 0, Width(), Height(), 0, 0, Width(), Height(), 0,
                            255, 0);
}

void GPadDrawMan::NewMemo() {
    ApplyTemplate();
    SetPenColor(g_Settings.PenColor);
    SetPencelColor(g_Settings.PencelColor);
    SetMarkerColor(g_Settings.MarkerColor);
    SetPenWidth(g_Settings.PenWidth);
    SetEraserWidth(g_Settings.EraserWidth);
    SetMarkerWidth(g_Settings.MarkerWidth);
    Reset();
}

void GPadDrawMan::Reset() {
    InitAlarmBlock(&m_Alarm, int(g_Settings.LoopAlarm));
    std::memset(&m_State, 0, sizeof(m_State));
    std::memset(m_szTitle, 0, sizeof(m_szTitle));
    std::memset(m_szNote, 0, sizeof(m_szNote));
    SetSoundPath(nullptr);
    m_Embedded.clear();
    m_szEmbeddedPath[0] = 0;
    m_nFileMajor = 2;
    m_nFileMinor = 2;
    m_bLoadFailed = 0;
    m_bHeaderChanged = 1;
    m_nSaveBlockFor = 0;
    m_bIsDocument = 1;
}

int GPadDrawMan::GetTitle(WCHAR* out) const {
    if (!m_State.HasTitle || !m_szTitle[0]) {
        if (out)
            out[0] = 0;
        return 0;
    }
    int n = 0;
    while (n < kMemoTitleChars - 1 && m_szTitle[n])
        ++n;
    if (out) {
        std::memcpy(out, m_szTitle, sizeof(WCHAR) * n);
        out[n] = 0;
    }
    return n;
}

void GPadDrawMan::SetTitle(LPCWSTR title) {
    CopyText(m_szTitle, kMemoTitleChars, title);
    m_State.HasTitle = m_szTitle[0] ? 1 : 0;
    m_bHeaderChanged = 1;
}

void GPadDrawMan::SetNote(LPCWSTR note) {
    CopyText(m_szNote, kMemoNoteChars, note);
    m_State.HasNote = m_szNote[0] ? 1 : 0;
    m_bHeaderChanged = 1;
}

void GPadDrawMan::SetSoundPath(LPCWSTR path) {
    if (path) {
        CopyText(m_szSoundPath, kMemoPathChars, path);
        return;
    }
    CopyText(m_szSoundPath, kMemoPathChars,
             g_Settings.DefAlarmSoundPath[0] ? g_Settings.DefAlarmSoundPath
                                             : u"\\Windows\\Alarm2.wav");
}

void GPadDrawMan::ApplyPageSize() {
    const tagRECT page{0, 0, IntToFixed(std::min<LONG>(m_Template.PageWidth, kMaxPagePixels)),
                       IntToFixed(std::min<LONG>(m_Template.PageHeight, kMaxPagePixels))};
    MatrixTransformFixedRect(&m_mView, &page, &m_rcView);
}

void GPadDrawMan::ZoomTo(int percent, int redraw) {
    if (percent <= 0)
        return;
    const LONG scale = LONG(percent * 0.01 * 65536.0);
    // The page point now at the view's top-left.
    tagPOINT origin{0, 0}, page{0, 0};
    MatrixTransformPoint(&m_mInverse, &origin, &page);
    ScaleMatrix(scale, scale);
    TranslateMatrix(-FixedMul(page.x, scale), -FixedMul(page.y, scale));
    ApplyPageSize();
    if (redraw)
        Render();
}

int GPadDrawMan::GetZoom() const {
    return int((std::int64_t{m_mView.m11} * 100 + 0x8000) >> 16);
}

void GPadDrawMan::ScrollTo(int x, int y, int redraw) {
    // In 64 bits: a zoomed page can span more than the 16.16 range.
    auto extent = [](LONG low, LONG high) { return (std::int64_t{high} - low + 0x8000) >> 16; };
    const std::int64_t maxX = extent(m_rcView.left, m_rcView.right) + m_nRightMargin - m_nViewWidth;
    const std::int64_t maxY =
        extent(m_rcView.top, m_rcView.bottom) + m_nBottomMargin - m_nViewHeight;
    x = x > maxX ? int(std::min<std::int64_t>(maxX, INT_MAX)) : x;
    y = y > maxY ? int(std::min<std::int64_t>(maxY, INT_MAX)) : y;
    x = x < 0 ? 0 : x;
    y = y < 0 ? 0 : y;
    TranslateMatrix(IntToFixed(-x), IntToFixed(-y));
    ApplyPageSize();
    if (m_nCurPage >= 0 && m_nCurPage < INKRA_MAX_PAGES)
        m_Positions[m_nCurPage] = POINT{x, y};
    if (redraw)
        Render();
}

void GPadDrawMan::ScrollToStored(int redraw) {
    const POINT p = GetPagePosition(m_nCurPage);
    ScrollTo(p.x, p.y, redraw);
}

POINT GPadDrawMan::GetPagePosition(int index) const {
    if (index < 0 || index >= INKRA_MAX_PAGES)
        return POINT{0, 0};
    return m_Positions[index];
}

void GPadDrawMan::SetPagePosition(int index, POINT position) {
    if (index >= 0 && index < INKRA_MAX_PAGES)
        m_Positions[index] = position;
}

int GPadDrawMan::RoundPageWidthV1(int width) {
    static const int kWidths[] = {240, 320, 480, 640};
    for (int w : kWidths)
        if (width <= w)
            return w;
    return 800;
}
