// Toolkit window tests run on a headless 240 x 320 screen with the virtual clock.
#pragma once

#include "winza/GLibState.h"
#include "winza/GRecognizeCursor.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"
#include "winza/Winza.h"

#include <platform/display.h>
#include <windows.h>

#include "TestClock.h"

#include <gtest/gtest.h>

#include <vector>

// Before every test of a binary that includes this file, whatever fixture it has: the toolkit
// state a new process has, so no test depends on what ran before it.
class ToolkitStateReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ResetGLibState(); }
};

inline const bool kToolkitStateResetRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ToolkitStateReset);
    return true;
}();

class WinzaTest : public ::testing::Test {
protected:
    // Before the fixture's own members: a toolkit object takes its sizes when it is made, so
    // members of a derived fixture must already see this test's screen.
    WinzaTest() {
        plat::StartHeadless(240, 320);
        ResetDisplayMode();
    }
    void SetUp() override {
        // The kept screen contexts and display mode belong to whatever screen an earlier test
        // made; a new screen surface would leave them reading the old one.
        FreeGlobalDC();
        GetRecognizeCursor().ReleaseCursor();
        ResetDisplayMode();
        plat::StartHeadless(240, 320);
        HDC dc = ::GetDC(nullptr);
        RECT rc{0, 0, 240, 320};
        HBRUSH b = ::CreateSolidBrush(RGB(0, 0, 0));
        ::FillRect(dc, &rc, b);
        ::DeleteObject(b);
        ::ReleaseDC(nullptr, dc);
    }
    void TearDown() override {
        for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h;
             h = ::GetWindow(::GetDesktopWindow(), GW_CHILD))
            ::DestroyWindow(h);
        Pump();
    }
    static void Pump() {
        MSG m;
        for (int n = 0; n < 10000 && ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++n) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }
    static COLORREF ScreenPixel(int x, int y) {
        HDC dc = ::GetDC(nullptr);
        COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(nullptr, dc);
        return c;
    }
    TestClock clock;
};

// A window that records the messages its object sees and paints itself in one colour.
class LoggingWinza : public Winza {
public:
    LPCWSTR GetClassNameW() override { return u"LoggingWinza"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(msg);
        const LRESULT r = Winza::WndProc(hwnd, msg, wParam, lParam);
        if (msg == WM_CREATE) {
            handleAtCreate = m_hWnd;
            dcAtCreate = m_hDC;
            clientAtCreate = m_rcClient;
        }
        return r;
    }
    void Draw(HDC hdc, RECT clip) override {
        ++draws;
        lastClip = clip;
        lastDC = hdc;
        HBRUSH b = ::CreateSolidBrush(color);
        ::FillRect(hdc, &clip, b);
        ::DeleteObject(b);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (UINT m : messages)
            n += m == msg;
        return n;
    }
    std::vector<UINT> messages;
    HWND handleAtCreate = nullptr;
    HDC dcAtCreate = nullptr;
    RECT clientAtCreate{};
    HDC lastDC = nullptr;
    RECT lastClip{};
    int draws = 0;
    COLORREF color = RGB(255, 0, 0);
};
