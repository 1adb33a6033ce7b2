// The tap-and-hold gesture: while the pen stays still, a ring of nine dots appears around it;
// when the ring is complete the hold is recognised and the caller opens a context menu.
// Lifting or moving the pen earlier cancels. One cursor serves the whole library.
#pragma once

#include "fundo/GDib.h"

#include <windows.h>

// The centre value that means "no gesture in progress".
constexpr int kNoGesturePoint = -100000;

class GRecognizeCursor {
public:
    static constexpr int kDotCount = 9;
    // Time of the still phase before the first dot, and between two dots.
    static constexpr DWORD kWaitMs = 200;
    static constexpr DWORD kStepMs = 50;

    struct Dot {
        int x; // top-left of the dot, relative to the cursor box
        int y;
        int alpha; // 0 or 255
    };

    GRecognizeCursor();
    ~GRecognizeCursor();
    GRecognizeCursor(const GRecognizeCursor&) = delete;
    GRecognizeCursor& operator=(const GRecognizeCursor&) = delete;

    // Puts back what lay under a ring on screen, clears the dots and stores the new centre
    // (screen coordinates); kNoGesturePoint in both ends the gesture.
    void ResetCursor(int x, int y);
    // Shows the next dot; 1 when the ring was already complete (the gesture is then over and
    // the screen as it was), else 0.
    int DrawNext();
    // Lets go of the screen context and the bitmaps; they are made again on the next use.
    void ReleaseCursor();
    int IsEnableCursor() const { return m_bEnable; }
    POINT GetCurPoint() const { return m_ptCenter; }

    int GetStep() const { return m_nStep; }
    const Dot& GetDot(int i) const {
        return m_Dots[i < 0 ? 0 : (i >= kDotCount ? kDotCount - 1 : i)];
    }
    // Side of the square cursor box and of one dot, in pixels.
    static int BoxSize();
    static int DotSize();

protected:
    // Bitmaps for the current pixel scale; 0 when they cannot be made (timing still runs).
    int MakeBitmaps();
    void FreeBitmaps();
    void DrawDotBitmap();
    void SaveBackground();
    void RestoreBackground();
    // The part of the cursor box that lies on the screen; false when none does.
    bool VisibleBox(RECT* box) const;

    int m_bEnable = 0;
    HDC m_hScreenDC = nullptr;
    int m_nStep = -1;
    int m_nStepLimit = 32;
    Dot m_Dots[kDotCount];
    POINT m_ptCenter{kNoGesturePoint, kNoGesturePoint};
    GDib* m_pCompDib = nullptr;
    GDib* m_pSaveDib = nullptr;
    GDib* m_pDotDib = nullptr;

private:
    // Screen rectangle the saved background came from (part of the box), and the box corner.
    RECT m_rcSaved{0, 0, 0, 0};
    POINT m_ptBox{0, 0};
    int m_bSaved = 0;
};

// The library's one gesture cursor.
GRecognizeCursor& GetRecognizeCursor();

// Runs the tap-and-hold gesture for a press at clientPoint of hwnd: 1 when the pen was held
// until the ring was complete, 0 when it was lifted, moved more than tolerance pixels (in x or
// y; tolerance below 1 ignores moves) or a key was released first. Pumps other messages
// while it waits; never polls.
int RecognizeGesture(HWND hwnd, POINT clientPoint, int tolerance);
