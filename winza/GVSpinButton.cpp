#include "winza/GVSpinButton.h"
#include "winza/DrawHelpers.h"
#include "winza/Hires.h"

namespace {

constexpr COLORREF kDisabledArrow = 0x989898;

} // namespace

GVSpinButton::GVSpinButton() {
    Init();
}

GVSpinButton::GVSpinButton(int id) : GVButton(id) {
    Init();
}

GVSpinButton::GVSpinButton(int id, int image) : GVButton(id, image) {
    Init();
}

void GVSpinButton::Init() {
    m_dwFlag |= eVBSpin;
    m_crFrameFill = 0xFFFFFF;
    m_crFrameLight = 0x990000;
    m_crFrameDark = 0x990000;
    m_crText = 0;
    m_crDisableText = 0xFFFFFF;
}

void GVSpinButton::Create(RECT rect, int id) {
    SetID(id);
    SetRect(rect);
}

void GVSpinButton::SetRect(RECT rect) {
    // An odd length (even in high resolution) lets both halves share one edge line.
    const int scale = ApplyHires(1);
    if (m_nSpinType == eSpinHorizontal) {
        const int length = rect.right - rect.left;
        if ((length % 2 == 0) == (scale == 1))
            ++rect.right;
    } else {
        const int length = rect.bottom - rect.top;
        if ((length % 2 == 0) == (scale == 1))
            ++rect.bottom;
    }
    GVButton::SetRect(rect);
    Split();
}

void GVSpinButton::Split() {
    const int scale = ApplyHires(1);
    m_rcFirst = m_rcSecond = m_rcButton;
    if (m_nSpinType == eSpinHorizontal) {
        const int middle = m_rcButton.left + (m_rcButton.right - m_rcButton.left) / 2;
        m_rcFirst.right = middle + 1;
        m_rcSecond.left = middle + 1 - scale;
    } else {
        const int middle = m_rcButton.top + (m_rcButton.bottom - m_rcButton.top) / 2;
        m_rcFirst.bottom = middle + 1;
        m_rcSecond.top = middle + 1 - scale;
    }
}

void GVSpinButton::SetSpinType(int type) {
    m_nSpinType = type;
    // The rectangle as the caller gave it is not kept, so the split starts from the current
    // one; a length that is already right stays.
    SetRect(m_rcButton);
}

void GVSpinButton::SetArrowColor(COLORREF normal, COLORREF pressed) {
    m_crText = normal;
    m_crDisableText = pressed;
}

void GVSpinButton::DrawHalf(HDC hdc, const RECT& rc, int pressed, int direction) {
    const int scale = ApplyHires(1);
    FrameRect(hdc, &rc, m_crFrameDark, m_crFrameDark, pressed ? m_crFrameLight : m_crFrameFill,
              scale, eFrameAll);
    COLORREF arrow = m_crText;
    if (!(m_dwFlag & eVBEnabled))
        arrow = kDisabledArrow;
    else if (pressed)
        arrow = m_crDisableText;
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    RECT box;
    if (direction == eArrowUp || direction == eArrowDown) {
        const int depth = ApplyHires(4);
        const int span = 2 * depth - 1;
        box.left = rc.left + (w - span) / 2;
        box.top = rc.top + (h - depth) / 2;
        box.right = box.left + span;
        box.bottom = box.top + depth;
    } else {
        const int depth = ApplyHires(5);
        const int span = 2 * depth - 1;
        box.left = rc.left + (w - depth) / 2;
        box.top = rc.top + (h - span) / 2;
        box.right = box.left + depth;
        box.bottom = box.top + span;
    }
    DrawArrow(hdc, direction, &box, arrow);
}

void GVSpinButton::DrawFrame(HDC hdc) {
    m_rcContent = m_rcButton;
    const int vertical = m_nSpinType != eSpinHorizontal;
    DrawHalf(hdc, m_rcFirst, m_bPressFirst && m_bInFirst, vertical ? eArrowUp : eArrowLeft);
    DrawHalf(hdc, m_rcSecond, m_bPressSecond && m_bInSecond, vertical ? eArrowDown : eArrowRight);
}

int GVSpinButton::HeldCode() const {
    if (m_nSpinType != eSpinVertical && m_nSpinType != eSpinHorizontal)
        return -1;
    if (m_bPressFirst && m_bInFirst)
        return eVBCodeSpinFirst;
    if (m_bPressSecond && m_bInSecond)
        return eVBCodeSpinSecond;
    return -1;
}

void GVSpinButton::StopTimers(HWND hwnd) {
    if (!hwnd)
        return;
    ::KillTimer(hwnd, kSpinDelayTimer);
    ::KillTimer(hwnd, kSpinRepeatTimer);
}

int GVSpinButton::OnLbuttonDown(HWND hwnd, HDC hdc, POINT pt) {
    if (!IsActive() || !Contains(m_rcButton, pt))
        return 0;
    // The shared middle line belongs to the first half.
    if (Contains(m_rcFirst, pt))
        m_bPressFirst = m_bInFirst = 1;
    else
        m_bPressSecond = m_bInSecond = 1;
    if (hdc)
        Draw(hdc, m_rcButton);
    if (hwnd)
        ::SetTimer(hwnd, kSpinDelayTimer, kSpinDelayMs, nullptr);
    return 0;
}

int GVSpinButton::OnTimer(HWND hwnd, int id) {
    if (id != kSpinDelayTimer && id != kSpinRepeatTimer)
        return 0;
    // Another spin button of the same host may own the timer.
    if (!m_bPressFirst && !m_bPressSecond)
        return 0;
    if (!IsActive()) {
        // Hidden or disabled while held: nothing may repeat any more.
        StopTimers(hwnd);
        m_bPressFirst = m_bInFirst = m_bPressSecond = m_bInSecond = 0;
        return 0;
    }
    if (id == kSpinDelayTimer) {
        ::KillTimer(hwnd, kSpinDelayTimer);
        ::SetTimer(hwnd, kSpinRepeatTimer, kSpinRepeatMs, nullptr);
        return 0;
    }
    const int code = HeldCode();
    if (code >= 0)
        Notify(hwnd, code);
    return 0;
}

int GVSpinButton::OnMouseMove(HWND hwnd, HDC hdc, POINT pt, int penDown) {
    if (!IsActive() || !penDown || (!m_bPressFirst && !m_bPressSecond))
        return 0;
    StopTimers(hwnd);
    m_bInFirst = m_bInSecond = 0;
    if (Contains(m_rcButton, pt)) {
        const int inFirst = Contains(m_rcFirst, pt);
        if (m_bPressFirst && inFirst)
            m_bInFirst = 1;
        else if (m_bPressSecond && !inFirst)
            m_bInSecond = 1;
        if ((m_bInFirst || m_bInSecond) && hwnd)
            ::SetTimer(hwnd, kSpinRepeatTimer, kSpinRepeatMs, nullptr);
    }
    if (hdc)
        Draw(hdc, m_rcButton);
    return 0;
}

int GVSpinButton::OnLbuttonUp(HWND hwnd, HDC hdc, POINT pt) {
    if (!IsActive())
        return 0;
    const int held = m_bPressFirst || m_bPressSecond;
    StopTimers(hwnd);
    const int code = Contains(m_rcButton, pt) ? HeldCode() : -1;
    m_bPressFirst = m_bInFirst = m_bPressSecond = m_bInSecond = 0;
    if (held && hdc)
        Draw(hdc, m_rcButton);
    // Last, so a host that reacts by changing its buttons finds this one finished.
    if (code >= 0)
        Notify(hwnd, code);
    return 0;
}
