// A windowless button of two halves with arrows (up/down or left/right) that repeats its
// command while a half is held: the first repeat after 400 ms, then every 60 ms.
#pragma once

#include "winza/GVButton.h"

// Spin types.
enum eSpinType { eSpinVertical = 0, eSpinHorizontal = 1 };

// Timers of the host window that a held half runs on.
constexpr int kSpinDelayTimer = 17;
constexpr int kSpinRepeatTimer = 18;
constexpr UINT kSpinDelayMs = 400;
constexpr UINT kSpinRepeatMs = 60;

// The inherited colours mean: frame fill the idle half, frame light edge the fill of the half
// being pressed, frame dark edge the edges of both halves, text colour the arrow and the
// disabled text colour the arrow of the half being pressed.
class GVSpinButton : public GVButton {
public:
    GVSpinButton();
    explicit GVSpinButton(int id);
    GVSpinButton(int id, int image);

    void Create(RECT rect, int id) override;
    void SetRect(RECT rect) override;
    void DrawFrame(HDC hdc) override;
    int OnLbuttonDown(HWND hwnd, HDC hdc, POINT pt) override;
    int OnLbuttonUp(HWND hwnd, HDC hdc, POINT pt) override;
    int OnMouseMove(HWND hwnd, HDC hdc, POINT pt, int penDown) override;
    int OnTimer(HWND hwnd, int id) override;

    // Re-splits the rectangle for the new direction.
    void SetSpinType(int type);
    int GetSpinType() const { return m_nSpinType; }
    void SetArrowColor(COLORREF normal, COLORREF pressed);
    RECT GetFirstRect() const { return m_rcFirst; }
    RECT GetSecondRect() const { return m_rcSecond; }
    int IsPressedFirst() const { return m_bPressFirst; }
    int IsPressedSecond() const { return m_bPressSecond; }

private:
    void Init();
    void Split();
    void StopTimers(HWND hwnd);
    void DrawHalf(HDC hdc, const RECT& rc, int pressed, int direction);
    // Code 10 or 11 for the half that is pressed with the pen inside it, or -1.
    int HeldCode() const;

    RECT m_rcFirst{0, 0, 0, 0};
    RECT m_rcSecond{0, 0, 0, 0};
    int m_bPressFirst = 0;
    int m_bInFirst = 0;
    int m_bPressSecond = 0;
    int m_bInSecond = 0;
    int m_nSpinType = eSpinVertical;
};
