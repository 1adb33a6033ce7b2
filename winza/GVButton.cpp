#include "winza/GVButton.h"
#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GItem.h"
#include "winza/GLib.h"

#include <algorithm>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// Standard icons of the radio and check-box looks.
constexpr int kIconRadio = 6;
constexpr int kIconRadioOn = 7;
constexpr int kIconCheck = 8;
constexpr int kIconCheckOn = 9;

int Meets(const RECT& a, const RECT& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

} // namespace

GVButton::GVButton() = default;

GVButton::GVButton(int id) {
    SetID(id);
}

GVButton::GVButton(int id, int image) : m_nImage(image) {
    SetID(id);
}

GVButton::~GVButton() {
    delete[] m_pLabel;
}

void GVButton::SetID(int id) {
    m_nID = id;
    if (id == kSeparatorId)
        m_dwFlag |= eVBSeparator;
}

void GVButton::Create(RECT rect, int id) {
    SetID(id);
    SetRect(rect);
}

void GVButton::SetRect(RECT rect) {
    m_rcButton = rect;
    m_rcContent = rect;
}

int GVButton::Contains(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

int GVButton::IsActive() const {
    return (m_dwFlag & (eVBVisible | eVBEnabled)) == (eVBVisible | eVBEnabled) && !IsSeparator();
}

void GVButton::SetLabel(LPCWSTR label, int format, int margin) {
    WCHAR* copy = CopyWinzaLabel(label);
    delete[] m_pLabel;
    m_pLabel = copy;
    m_nFormat = format;
    m_nMargin = margin;
}

void GVButton::SetFlag(int on, DWORD bits, HDC hdc, int redraw) {
    const DWORD old = m_dwFlag;
    m_dwFlag = on ? (m_dwFlag | bits) : (m_dwFlag & ~bits);
    if (hdc && redraw && old != m_dwFlag)
        Draw(hdc, m_rcButton);
}

void GVButton::SetFrameColor(int on, COLORREF fill, COLORREF light, COLORREF dark) {
    m_bCustomFrame = on;
    m_crFrameFill = fill;
    m_crFrameLight = light;
    m_crFrameDark = dark;
}

void GVButton::SetDefBackColor(int on, COLORREF color) {
    m_bCustomBack = on;
    m_crBack = color;
}

void GVButton::SetTextColor(COLORREF normal, COLORREF disabled) {
    m_crText = normal;
    m_crDisableText = disabled;
}

void GVButton::Draw(HDC hdc, RECT clip) {
    if (!hdc || !(m_dwFlag & eVBVisible) || !Meets(m_rcButton, clip))
        return;
    DrawFrame(hdc);
    DrawImage(hdc);
    DrawLable(hdc, m_nFormat);
}

void GVButton::DrawFrame(HDC hdc) {
    m_rcContent = m_rcButton;
    const RECT& rc = m_rcButton;
    const int scale = ApplyHires(1);
    if (IsSeparator()) {
        // A line in colour 5; a frame image gives nothing to a separator.
        if (m_dwFlag & eVBSeparator)
            FillSolidRect(hdc, rc.left, rc.top, scale, rc.bottom - rc.top,
                          GetGLibColor(eColorEdge));
        else
            FillSolidRect(hdc, rc.left, rc.top, rc.right - rc.left, scale,
                          GetGLibColor(eColorEdge));
        return;
    }
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int cellW = m_pFrameImage ? m_pFrameImage->Width() / 4 : 0;
    const int cellH = m_pFrameImage ? m_pFrameImage->Height() / 2 : 0;
    if (cellW > 0 && cellH > 0) {
        int column = 0;
        if (!(m_dwFlag & eVBEnabled))
            column = 2;
        else if (m_dwFlag & eVBFocus)
            column = 1;
        else if (m_dwFlag & eVBHover)
            column = 3;
        const int sx = column * cellW;
        const int sy = (m_dwFlag & eVBPushed) ? cellH : 0;
        const int cap = std::min(ApplyHires(4), std::min(cellW / 2, width / 2));
        m_pFrameImage->DrawDib(hdc, rc.left, rc.top, cap, height, sx, sy, cap, cellH, 1, 255, 1,
                               SRCCOPY);
        if (width - 2 * cap > 0 && cellW - 2 * cap > 0)
            m_pFrameImage->DrawDib(hdc, rc.left + cap, rc.top, width - 2 * cap, height, sx + cap,
                                   sy, cellW - 2 * cap, cellH, 1, 255, 1, SRCCOPY);
        m_pFrameImage->DrawDib(hdc, rc.right - cap, rc.top, cap, height, sx + cellW - cap, sy, cap,
                               cellH, 1, 255, 1, SRCCOPY);
    } else {
        COLORREF light, dark, fill;
        if (m_bCustomFrame) {
            light = m_crFrameLight;
            dark = m_crFrameDark;
            fill = m_crFrameFill;
        } else if (m_dwFlag & eVBPushed) {
            light = GetGLibColor(eColorPushedLight);
            dark = GetGLibColor(eColorPushedDark);
            fill = GetGLibColor(eColorPushedFill);
        } else if (m_dwFlag & eVBChecked) {
            light = GetGLibColor(eColorCheckedLight);
            dark = GetGLibColor(eColorCheckedDark);
            fill = GetGLibColor((m_dwFlag & eVBHover) ? eColorButtonHover : eColorCheckedFill);
        } else if (m_bCustomBack) {
            light = dark = fill = m_crBack;
        } else {
            light = dark = fill = GetGLibColor(eColorBarBack);
        }
        // A plain face shows no edge of its own, so the pointer over it draws one.
        if (!m_bCustomFrame && !(m_dwFlag & (eVBPushed | eVBChecked)) &&
            (m_dwFlag & (eVBHover | eVBEnabled)) == (eVBHover | eVBEnabled))
            light = dark = GetGLibColor(eColorSunken);
        FrameRect(hdc, &rc, light, dark, fill, scale, eFrameAll);
        // Picture frames have a focus cell; a drawn frame gets a dotted ring inside, so a
        // keyboard user sees where they are.
        if (m_dwFlag & eVBFocus) {
            const int inset = ApplyHires(3);
            RECT ring{rc.left + inset, rc.top + inset, rc.right - inset, rc.bottom - inset};
            if (ring.right - ring.left > 2 * scale && ring.bottom - ring.top > 2 * scale)
                FrameRect(hdc, &ring, GetGLibColor(eColorEdge), GetGLibColor(eColorEdge), 0, scale,
                          eFrameLeft | eFrameRight | eFrameTop | eFrameBottom | eFrameDot1);
        }
    }
    // The drop-down arrow goes on either kind of frame, so the shortened label area always
    // has its reason beside it.
    if (m_dwFlag & eVBDropDown) {
        const int boxH = ApplyHires(4);
        RECT box;
        box.right = rc.right - ApplyHires(2);
        box.left = box.right - ApplyHires(10);
        box.top = rc.top + (height - boxH) / 2;
        box.bottom = box.top + boxH;
        DrawArrow(hdc, eArrowDown, &box, kBlack);
    }
}

GImageList* GVButton::PickIcons(int* index, int* dimmed) const {
    const int enabled = (m_dwFlag & eVBEnabled) != 0;
    *dimmed = 0;
    if (m_dwFlag & (eVBRadio | eVBCheckBox)) {
        const int on = (m_dwFlag & (eVBChecked | eVBTracking)) != 0;
        if (m_dwFlag & eVBRadio)
            *index = on ? kIconRadioOn : kIconRadio;
        else
            *index = on ? kIconCheckOn : kIconCheck;
        *dimmed = !enabled;
        return GetGLibImageList();
    }
    *index = m_nImage;
    if ((m_dwFlag & eVBFocus) && m_pIconFocus)
        return m_pIconFocus;
    if (!enabled && m_pIconDisable)
        return m_pIconDisable;
    if (enabled && (m_dwFlag & eVBHover) && m_pIconHover)
        return m_pIconHover;
    *dimmed = !enabled;
    return m_pIconDefault;
}

int GVButton::PlaceIcon(const GImageList* list, POINT* at, int* contentLeft) const {
    const int cw = list->GetItemWidth();
    const int ch = list->GetItemHeight();
    const int offset = std::min((m_rcButton.right - m_rcButton.left - cw) / 2,
                                (m_rcButton.bottom - m_rcButton.top - ch) / 2);
    at->x = m_rcButton.left + m_nMargin + offset;
    at->y = m_rcButton.top + offset;
    *contentLeft = at->x + cw + offset;
    return 1;
}

void GVButton::DrawImage(HDC hdc) {
    if (!(m_dwFlag & eVBVisible) || IsSeparator())
        return;
    int index = -1, dimmed = 0;
    const GImageList* list = PickIcons(&index, &dimmed);
    if (!list || index < 0 || index >= list->GetItemSize())
        return;
    POINT at;
    int left = 0;
    PlaceIcon(list, &at, &left);
    list->Draw(hdc, at.x, at.y, index, dimmed ? 128 : 255, 1);
    m_rcContent.left = left;
}

RECT GVButton::LabelRect(HDC hdc, const RECT& content, int format) const {
    RECT measure = content;
    ::DrawTextW(hdc, m_pLabel, -1, &measure, static_cast<UINT>(format) | DT_CALCRECT);
    const int textH = measure.bottom - measure.top;
    const int contentH = content.bottom - content.top;
    RECT rc;
    rc.left = content.left + m_nMargin;
    rc.right = content.right - m_nMargin;
    if (m_dwFlag & eVBDropDown)
        rc.right -= ApplyHires(12);
    rc.top = content.top + (contentH - textH) / 2;
    if (contentH % 2 == 0)
        rc.top -= ApplyHires(1);
    rc.bottom = rc.top + textH;
    return rc;
}

void GVButton::DrawLable(HDC hdc, int format) {
    if (!m_pLabel)
        return;
    RECT rc = LabelRect(hdc, m_rcContent, format);
    const COLORREF oldColor =
        ::SetTextColor(hdc, (m_dwFlag & eVBEnabled) ? m_crText : m_crDisableText);
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    ::DrawTextW(hdc, m_pLabel, -1, &rc, static_cast<UINT>(format));
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, oldColor);
}

RECT GVButton::GetTextRect(HDC hdc) {
    RECT content = m_rcButton;
    int index = -1, dimmed = 0;
    const GImageList* list = PickIcons(&index, &dimmed);
    if ((m_dwFlag & eVBVisible) && !IsSeparator() && list && index >= 0 &&
        index < list->GetItemSize()) {
        POINT at;
        int left = 0;
        PlaceIcon(list, &at, &left);
        content.left = left;
    }
    if (!m_pLabel)
        return RECT{content.left + m_nMargin, content.top, content.left + m_nMargin, content.top};
    return LabelRect(hdc, content, m_nFormat);
}

void GVButton::Notify(HWND hwnd, int code) {
    if (hwnd)
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(m_nID, code), reinterpret_cast<LPARAM>(this));
}

int GVButton::OnLbuttonDown(HWND hwnd, HDC hdc, POINT pt) {
    if (!IsActive())
        return 0;
    if (Contains(m_rcButton, pt)) {
        SetFlag(1, eVBTracking | eVBPushed, hdc, 1);
        Notify(hwnd, eVBCodeDown);
    } else {
        SetFlag(0, eVBPressState, hdc, 1);
    }
    return 0;
}

int GVButton::OnLbuttonUp(HWND hwnd, HDC hdc, POINT pt) {
    if (!IsActive())
        return 0;
    if (!Contains(m_rcButton, pt)) {
        SetFlag(0, eVBPressState, hdc, 1);
        return 0;
    }
    if (m_dwFlag & eVBTracking)
        Notify(hwnd, eVBCodeClick);
    SetFlag(0, eVBPressState, hdc, 1);
    POINT cursor;
    if (hwnd && ::GetCursorPos(&cursor) && ::ScreenToClient(hwnd, &cursor) &&
        Contains(m_rcButton, cursor))
        SetFlag(1, eVBHover, hdc, 1);
    return 0;
}

int GVButton::OnLbuttonDblClk(HWND, HDC, POINT) {
    return 0;
}

int GVButton::OnMouseMove(HWND, HDC hdc, POINT pt, int penDown) {
    if (!IsActive())
        return 0;
    if (!penDown)
        SetFlag(Contains(m_rcButton, pt), eVBHover, hdc, 1);
    else if (m_dwFlag & eVBTracking)
        SetFlag(Contains(m_rcButton, pt), eVBPushed, hdc, 1);
    return 0;
}

int GVButton::OnTimer(HWND, int) {
    return 0;
}
