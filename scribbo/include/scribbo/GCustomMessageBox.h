// The application's message box: the toolkit's box in the application's fonts, with an
// optional time-out and a fade in and out (the box blends over what lies beneath it).
#pragma once

#include "winza/GMessageBox.h"

// Timers of the box: the time-out (shared with the toolkit's box) and the fade steps.
inline constexpr int kCustomBoxTimeoutTimer = kMessageBoxTimer;
inline constexpr int kCustomBoxFadeTimer = 107;
inline constexpr UINT kCustomBoxFadeMs = 10;

// Where the box stands in its parent (or on the screen).
enum eBoxPosition { eBoxCentre = 0, eBoxTop = 1, eBoxBottom = 2 };

class GCustomMessageBox : public GMessageBox {
public:
    GCustomMessageBox();
    ~GCustomMessageBox() override;
    LPCWSTR GetClassNameW() override { return u"GCustomMessageBox"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Sized as the toolkit's box, then put where the position value says.
    void RecalcDialog(HWND parent) override;

    // Shows the box and waits for its answer: the id of the button (1 OK, 2 Cancel, 6 Yes,
    // 7 No, ...), the focused button's id after timeout ms (-1 or 0: no time-out); -1 at once
    // for an empty text, 0 when the box cannot be made. With fade, the box comes in from alpha
    // 32 and goes out to 0 before the answer is returned.
    int DoMessageBox(HWND parent, LPCWSTR text, LPCWSTR caption, int style, int timeout,
                     int position, int peakAlpha, int fade);

    int GetCurrentAlpha() const { return m_nCurAlpha; }
    int GetPeakAlpha() const { return m_nPeakAlpha; }
    int GetAlphaStep() const { return m_nAlphaStep; }
    int IsFadingOut() const { return m_bFadingOut; }
    // Where the box stood on the screen.
    RECT GetBoxRect() const { return m_rcWindow; }

protected:
    void OnFadeTick(HWND hwnd);
    void StartFadeOut();
    int RunLoop();

    int m_nStyle = 0;
    int m_nTimeoutMs = -1;
    int m_nPosition = eBoxCentre;
    int m_nCurAlpha = 16;
    int m_nPeakAlpha = 255;
    int m_nAlphaStep = 5;
    int m_bFade = 0;
    RECT m_rcWindow{0, 0, 0, 0};
    int m_bFadingOut = 0;
    int m_bDone = 0;
};

// The box of the application (fonts 2 and 7 of its font manager, window name "Scribbo").
int AppMessageBox(HWND parent, LPCWSTR text, LPCWSTR caption, int style, int timeout, int position,
                  int peakAlpha, int fade);
