// A host window for windowless buttons, and a fixture that sets up the toolkit's globals on a
// headless screen of a chosen size with the virtual clock.
#pragma once

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"
#include "winza/Hires.h"
#include "winza_test_support.h"

#include <vector>

// One notification a button sent to its host.
struct ButtonNote {
    int id;
    int code;
    LPARAM from;
    ULONGLONG at;
};

// Hands the pen, timers and painting on to the buttons it is given (not owned) and records
// every WM_COMMAND.
class ButtonHost : public Winza {
public:
    LPCWSTR GetClassNameW() override { return u"ButtonHost"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        switch (msg) {
            case WM_LBUTTONDOWN:
                penDown = 1;
                ::SetCapture(hwnd);
                for (GVButton* b : buttons)
                    b->OnLbuttonDown(hwnd, m_hDC, pt);
                return 0;
            case WM_LBUTTONUP:
                penDown = 0;
                ::ReleaseCapture();
                for (GVButton* b : buttons)
                    b->OnLbuttonUp(hwnd, m_hDC, pt);
                return 0;
            case WM_MOUSEMOVE:
                for (GVButton* b : buttons)
                    b->OnMouseMove(hwnd, m_hDC, pt, penDown);
                return 0;
            case WM_TIMER:
                for (GVButton* b : buttons)
                    b->OnTimer(hwnd, static_cast<int>(wParam));
                return 0;
            case WM_COMMAND:
                notes.push_back(
                    ButtonNote{LOWORD(wParam), HIWORD(wParam), lParam, plat::ClockNowMs()});
                return 0;
            default:
                return Winza::WndProc(hwnd, msg, wParam, lParam);
        }
    }
    void Draw(HDC hdc, RECT clip) override {
        FillSolidRect(hdc, &clip, RGB(255, 255, 255));
        for (GVButton* b : buttons)
            b->Draw(hdc, clip);
    }
    // Codes of the notes so far, in order.
    std::vector<int> Codes() const {
        std::vector<int> c;
        for (const ButtonNote& n : notes)
            c.push_back(n.code);
        return c;
    }
    std::vector<GVButton*> buttons;
    std::vector<ButtonNote> notes;
    int penDown = 0;
};

// The toolkit on a headless screen of the given size (the display mode found afresh).
class ToolkitTest : public WinzaTest {
protected:
    void StartScreen(int w, int h) {
        plat::StartHeadless(w, h);
        ResetDisplayMode();
        HDC dc = ::GetDC(nullptr);
        RECT rc{0, 0, w, h};
        FillSolidRect(dc, &rc, RGB(0, 0, 0));
        ::ReleaseDC(nullptr, dc);
        InitGLibControl();
    }
    void SetUp() override {
        WinzaTest::SetUp();
        StartScreen(screenW, screenH);
    }
    void TearDown() override {
        WinzaTest::TearDown();
        // Also lets go of the screen contexts: the next test may start a new screen.
        FreeGLib();
        ResetDisplayMode();
    }
    int screenW = 240;
    int screenH = 320;
    // A top-level host covering the rectangle, shown and painted.
    void MakeHost(ButtonHost& host, RECT rc) {
        ASSERT_TRUE(host.Create(nullptr, u"host", WS_POPUP | WS_VISIBLE, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top));
        host.Invalidate(0);
        Pump();
    }
    // Stylus events in screen coordinates, each delivered at once.
    void Down(int x, int y) {
        plat::InputStylusDown(x, y);
        Pump();
    }
    void Move(int x, int y) {
        plat::InputStylusMove(x, y);
        Pump();
    }
    void Up(int x, int y) {
        plat::InputStylusUp(x, y);
        Pump();
    }
    // Moves the clock one millisecond at a time so every timer fires when it is due.
    void Wait(int ms) {
        for (int i = 0; i < ms; ++i) {
            clock.Advance(1);
            Pump();
        }
    }
};
