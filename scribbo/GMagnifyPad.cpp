// The magnify pad: attachment of the memo's page, zoom and position of the view, the moves
// along the writing lines, and the stylus in the strip and on its buttons.
#include "scribbo/GMagnifyPad.h"

#include "scribbo/App.h"
#include "winza/Hires.h"

#include <algorithm>
#include <cstdint>

namespace {

// Points GetMouseMovePoints hands over per move message.
constexpr UINT kMovePoints = 64;

// v x percent / 100, rounded up.
int ScaleUp(std::int64_t v, int percent) {
    const std::int64_t n = v * percent;
    return int(n >= 0 ? (n + 99) / 100 : n / 100);
}

bool HasArea(const tagRECT& rc) {
    return rc.right > rc.left && rc.bottom > rc.top;
}

void Unite(tagRECT& into, const tagRECT& rc) {
    if (!HasArea(rc))
        return;
    if (!HasArea(into)) {
        into = rc;
        return;
    }
    into.left = std::min(into.left, rc.left);
    into.top = std::min(into.top, rc.top);
    into.right = std::max(into.right, rc.right);
    into.bottom = std::max(into.bottom, rc.bottom);
}

} // namespace

GMagnifyPad::~GMagnifyPad() {
    // The window goes first, while the draw manager it paints from is still here.
    if (m_hWnd && ::IsWindow(m_hWnd))
        Destroy();
}

int GMagnifyPad::CreatePad(HWND parent, RECT rect, DWORD style) {
    if (!Create(parent, u"MagnifyWnd", style, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top))
        return 0;
    Layout();
    return 1;
}

int GMagnifyPad::ZoomForStrip(int stripHeight, int lineSpace) {
    if (lineSpace <= 0 || stripHeight <= 0)
        return 100;
    return stripHeight * 100 / lineSpace;
}

LRESULT GMagnifyPad::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_SIZE: {
            const LRESULT r = Winza::WndProc(hwnd, msg, wParam, lParam);
            Layout();
            return r;
        }
        case WM_LBUTTONDOWN:
            OnStylusDown(pt);
            return 0;
        case WM_MOUSEMOVE:
            if (::GetCapture() == hwnd)
                OnStylusMove(pt);
            return 0;
        case WM_LBUTTONUP:
            OnStylusUp(pt);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the stylus (our own release names none): the stroke ends
            // where it is.
            if (lParam && reinterpret_cast<HWND>(lParam) != hwnd && m_Man.IsTracking())
                OnStylusUp(POINT{-1, -1});
            return 0;
        case WM_TIMER:
            if (wParam != kMagnifyAdvanceTimer)
                break;
            ::KillTimer(hwnd, kMagnifyAdvanceTimer);
            if (m_bWrapPending)
                NewLine();
            else if (m_bAdvancePending)
                Advance();
            return 0;
        default:
            break;
    }
    return Winza::WndProc(hwnd, msg, wParam, lParam);
}

void GMagnifyPad::Layout() {
    if (!m_hWnd)
        return;
    RefreshClientRect();
    const int w = Width(), h = Height();
    m_nColumnWidth = ApplyHires(2) + h / 4;
    const int left = w - m_nColumnWidth;
    m_nMargin = left - 2 * m_nColumnWidth;
    for (int i = 0; i < eMagButtonCount; ++i)
        m_rcButton[i] = RECT{left, i * h / 4, w, i == eMagButtonCount - 1 ? h : (i + 1) * h / 4};
    const int writing = GetWritingWidth();
    // Buffers (and with them the shown page) stay through a passing layout without room.
    if (writing > 0 && h > 0 && (m_Man.Width() != writing || m_Man.Height() != h)) {
        const int x = m_nXOffset, y = m_nYOffset;
        if (!m_Man.InitBuffer(m_hDC, writing, h))
            return;
        m_Man.ZoomTo(m_nZoom, 0);
        ScrollView(x, y);
    }
    Repaint();
}

int GMagnifyPad::GetWritingWidth() const {
    return std::max(0, Width() - m_nColumnWidth);
}

RECT GMagnifyPad::GetButtonRect(int button) const {
    if (button < 0 || button >= eMagButtonCount)
        return RECT{0, 0, 0, 0};
    return m_rcButton[button];
}

int GMagnifyPad::GetAdvanceStep() const {
    return GetWritingWidth() - ApplyHires(30);
}

void GMagnifyPad::AttachPage(InkraPage* page, GPadDrawMan* memo) {
    if (m_hWnd)
        ::KillTimer(m_hWnd, kMagnifyAdvanceTimer);
    m_bAdvancePending = m_bWrapPending = 0;
    m_pStrokeObject = nullptr;
    GPadDrawMan* before = m_pMemo;
    // Letting go: the page is freed here only when the memo has let it go already.
    m_Man.RemoveAllPage();
    if (before && before != memo)
        before->SetBufferInfo(INKRA_MAX_PAGES);
    m_pMemo = memo;
    if (memo)
        TakePaper(memo);
    if (page)
        m_Man.AddPage(page, 0);
    m_Man.ZoomTo(m_nZoom, 0);
    ScrollView(m_nXOffset, m_nYOffset);
    Repaint();
}

void GMagnifyPad::TakePaper(GPadDrawMan* memo) {
    if (!memo)
        return;
    *m_Man.GetTemplate() = *memo->GetTemplate();
    m_Man.ShowBackImage(memo->GetBackImage());
    m_Man.SetTextSize(memo->GetTextSize());
    m_Man.ApplyPageSize();
    CopyPen();
    // The page may have shrunk under the view.
    ScrollView(m_nXOffset, m_nYOffset);
    Repaint();
}

void GMagnifyPad::CopyPen() {
    const GPadDrawMan* memo = m_pMemo;
    if (!memo)
        return;
    m_Man.SetDOStrokeType(memo->GetDOStrokeType());
    m_Man.SetPenColor(memo->GetPenColor());
    m_Man.SetPencelColor(memo->GetPencelColor());
    m_Man.SetMarkerColor(memo->GetMarkerColor());
    m_Man.SetColorPenColor(memo->GetColorPenColor());
    m_Man.SetBrushColor(memo->GetBrushColor());
    m_Man.SetAirBrushColor(memo->GetAirBrushColor());
    m_Man.SetPenWidth(memo->GetPenWidth());
    m_Man.SetPencelWidth(memo->GetPencelWidth());
    m_Man.SetEraserWidth(memo->GetEraserWidth());
    m_Man.SetMarkerWidth(memo->GetMarkerWidth());
    m_Man.SetDelStrokeWidth(memo->GetDelStrokeWidth());
    m_Man.SetColorPenWidth(memo->GetColorPenWidth());
    m_Man.SetBrushWidth(memo->GetBrushWidth());
    m_Man.SetAirBrushWidth(memo->GetAirBrushWidth());
    m_Man.SetMaxAlpha(memo->GetMaxAlpha());
    m_Man.SetUseCompensate(memo->GetUseCompensate());
    if (m_Man.GetUseCurve() != memo->GetUseCurve())
        m_Man.SetUseCurve(memo->GetUseCurve());
    if (m_Man.GetLineFactor() != memo->GetLineFactor())
        m_Man.SetLineFactor(memo->GetLineFactor() / 65536.0);
}

void GMagnifyPad::HandBack() {
    if (!m_pMemo)
        return;
    const int index = m_pMemo->GetPageIndex(m_Man.GetCurPage());
    if (index >= 0)
        m_pMemo->SetBufferInfo(index);
}

tagRECT GMagnifyPad::SetZoom(int percent) {
    if (percent > 0) {
        m_nZoom = percent;
        // Keeps the page point at the top-left, then snaps to whole strip pixels.
        m_Man.ZoomTo(percent, 0);
        const MATRIX* m = m_Man.GetMatrix();
        ScrollView(int((-std::int64_t{m->dx} + 0xFFFF) >> 16),
                   int((-std::int64_t{m->dy} + 0xFFFF) >> 16));
        Repaint();
    }
    return GetViewRect();
}

void GMagnifyPad::SetPosition(LONG x, LONG y) {
    // Page units to strip pixels, rounded up as the moves along the lines are.
    auto scaled = [this](LONG v) {
        const std::int64_t n = std::int64_t{v} * m_nZoom;
        return int((n + 100 * std::int64_t{0xFFFF}) / (100 * std::int64_t{0x10000}));
    };
    ScrollView(scaled(std::max<LONG>(x, 0)), scaled(std::max<LONG>(y, 0)));
    Repaint();
}

tagRECT GMagnifyPad::GetViewRect() const {
    const tagRECT view{0, 0, IntToFixed(GetWritingWidth()), IntToFixed(Height())};
    tagRECT page{0, 0, 0, 0};
    MatrixTransformFixedRect(m_Man.GetIMatrix(), &view, &page);
    return page;
}

SIZE GMagnifyPad::PageExtent() const {
    GPadDrawMan& man = const_cast<GPadDrawMan&>(m_Man);
    const TemplateHeader* t = man.GetTemplate();
    const int w = std::min<int>(t->PageWidth, GPadDrawMan::kMaxPagePixels);
    const int h = std::min<int>(t->PageHeight, GPadDrawMan::kMaxPagePixels);
    return SIZE{LONG(std::int64_t{w} * m_nZoom / 100), LONG(std::int64_t{h} * m_nZoom / 100)};
}

void GMagnifyPad::ScrollView(int x, int y) {
    m_Man.ScrollTo(x, y, 0);
    const MATRIX* m = m_Man.GetMatrix();
    m_nXOffset = int(-std::int64_t{m->dx} >> 16);
    m_nYOffset = int(-std::int64_t{m->dy} >> 16);
    if (m_Man.GetMemDC()) {
        m_Man.Render();
        HandBack();
    }
}

void GMagnifyPad::MovedTo(int x, int y) {
    m_bAdvancePending = m_bWrapPending = 0;
    ScrollView(x, y);
    Repaint();
    if (HWND parent = GetParent())
        ::SendMessageW(parent, UM_MAGNIFYMOVED, 0, 0);
}

void GMagnifyPad::Advance() {
    const int writing = GetWritingWidth();
    const int right = PageExtent().cx;
    // Already showing the line's end: the next place is on the next line.
    if (m_nXOffset + writing >= right) {
        NewLine();
        return;
    }
    const int x = std::min(m_nXOffset + GetAdvanceStep(), right - writing);
    MovedTo(std::max(x, m_nXOffset), m_nYOffset);
}

void GMagnifyPad::NewLine() {
    m_bAdvancePending = m_bWrapPending = 0;
    const TemplateHeader* t = m_Man.GetTemplate();
    if (t->LineSpace == 0)
        return;
    const int x = (t->Flags & eTFTitleColumn) ? ScaleUp(t->TitleColumnWidth, m_nZoom) : 0;
    // Lines lie on the paper's grid below the title band; the strip shows the band between
    // two of them.
    const int band = (t->Flags & eTFTitleLine) ? t->TitleBandHeight : 0;
    const double step = double(t->LineSpace) * m_nZoom / 100.0;
    const double top = double(band) * m_nZoom / 100.0;
    const std::int64_t line =
        std::int64_t((m_nYOffset - top) / step + (m_nYOffset >= top ? 0.5 : -0.5));
    const int y = ScaleUp(band + (line + 1) * t->LineSpace, m_nZoom);
    if (y + Height() > PageExtent().cy)
        return;
    MovedTo(x, y);
}

void GMagnifyPad::MoveToRightEnd() {
    MovedTo(PageExtent().cx - GetWritingWidth(), m_nYOffset);
}

void GMagnifyPad::MoveToPageBottom() {
    MovedTo(m_nXOffset, PageExtent().cy - Height());
}

int GMagnifyPad::HitButton(POINT pt) const {
    for (int i = 0; i < eMagButtonCount; ++i)
        if (::PtInRect(&m_rcButton[i], pt))
            return i;
    return -1;
}

void GMagnifyPad::OnStylusDown(POINT pt) {
    ::KillTimer(m_hWnd, kMagnifyAdvanceTimer);
    ::SetCapture(m_hWnd);
    for (int i = 0; i < eMagButtonCount; ++i) {
        const int was = m_bPressed[i] || m_bHighlight[i];
        m_bPressed[i] = m_bHighlight[i] = 0;
        if (was)
            RepaintButton(i);
    }
    if (pt.x >= Width() - m_nColumnWidth) {
        int button = std::clamp(int(pt.y) * 4 / std::max(1, Height()), 0, eMagButtonCount - 1);
        m_bPressed[button] = m_bHighlight[button] = 1;
        RepaintButton(button);
        return;
    }
    if (!m_Man.GetMemDC() || !m_Man.GetCurPage() || m_Man.IsTracking())
        return;
    CopyPen();
    m_Man.SetBufferInfo(-1);
    m_rcStroke = m_Man.LButtonDown(pt.x, pt.y, 255);
    m_pStrokeObject = m_Man.GetCurObject();
    ShowRect(m_rcStroke);
}

void GMagnifyPad::OnStylusMove(POINT pt) {
    if (m_Man.IsTracking()) {
        POINT samples[kMovePoints];
        UINT count = 0;
        if (!::GetMouseMovePoints(samples, kMovePoints, &count) || count == 0) {
            samples[0] = pt;
            ::ClientToScreen(m_hWnd, &samples[0]);
            samples[0].x *= 4;
            samples[0].y *= 4;
            count = 1;
        }
        // Another window may have drawn the page since the last move.
        m_Man.SetBufferInfo(-1);
        tagRECT changed{0, 0, 0, 0};
        int crossed = 0;
        for (UINT i = 0; i < count; ++i) {
            // Quarter pixels of the screen, floored, to the client.
            POINT p{samples[i].x >> 2, samples[i].y >> 2};
            ::ScreenToClient(m_hWnd, &p);
            crossed |= p.x > m_nMargin;
            Unite(changed, m_Man.MouseMove(std::max<LONG>(0, p.x), std::max<LONG>(0, p.y), 255));
        }
        Unite(m_rcStroke, changed);
        ShowRect(changed);
        if (crossed) {
            m_bAdvancePending = 1;
            m_bWrapPending = m_nXOffset + GetWritingWidth() >= PageExtent().cx;
        }
        return;
    }
    for (int i = 0; i < eMagButtonCount; ++i) {
        if (!m_bPressed[i])
            continue;
        const int over = ::PtInRect(&m_rcButton[i], pt) ? 1 : 0;
        if (over != m_bHighlight[i]) {
            m_bHighlight[i] = over;
            RepaintButton(i);
        }
    }
}

void GMagnifyPad::OnStylusUp(POINT pt) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_Man.IsTracking()) {
        m_Man.SetBufferInfo(-1);
        GDObject* last = m_Man.GetCurObject();
        const tagRECT rc = m_Man.LButtonUp(pt.x, pt.y, 255);
        Unite(m_rcStroke, rc);
        ShowRect(rc);
        if (m_bAdvancePending)
            ::SetTimer(m_hWnd, kMagnifyAdvanceTimer, kMagnifyAdvanceDelay, nullptr);
        InkraPage* page = m_Man.GetCurPage();
        // One object that stayed on the page is named; otherwise the area tells what changed.
        GDObject* object = m_pStrokeObject;
        if (object != last || !page || page->FindGDObject(object) < 0)
            object = nullptr;
        tagRECT area{0, 0, 0, 0};
        if (HasArea(m_rcStroke))
            MatrixTransformRect(m_Man.GetIMatrix(), &m_rcStroke, &area);
        m_pStrokeObject = nullptr;
        m_rcStroke = tagRECT{0, 0, 0, 0};
        HandBack();
        if (HWND parent = GetParent())
            ::SendMessageW(parent, UM_OBJECTCHANGED, reinterpret_cast<WPARAM>(&area),
                           reinterpret_cast<LPARAM>(object));
        return;
    }
    OnButtonUp(pt);
}

void GMagnifyPad::OnButtonUp(POINT pt) {
    int pressed = -1;
    for (int i = 0; i < eMagButtonCount; ++i)
        if (m_bPressed[i])
            pressed = i;
    if (pressed < 0)
        return;
    m_bPressed[pressed] = m_bHighlight[pressed] = 0;
    RepaintButton(pressed);
    if (HitButton(pt) != pressed)
        return;
    HWND parent = GetParent();
    switch (pressed) {
        case eMagTaller:
            if (parent)
                ::SendMessageW(parent, UM_MAGNIFYTALLER, 0, 0);
            break;
        case eMagShorter:
            if (parent)
                ::SendMessageW(parent, UM_MAGNIFYSHORTER, 0, 0);
            break;
        case eMagAdvance:
            Advance();
            break;
        default:
            NewLine();
            break;
    }
}
