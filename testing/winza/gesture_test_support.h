// Driving the gesture's nested loop: an input script (the platform's scripted-run steps) runs
// on the test's own thread whenever that loop would sleep, so pen events and the passing of
// time come exactly when the test says, with no second thread and no real waiting.
#pragma once

#include "winza_test_support.h"

#include "winza/GRecognizeCursor.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <platform/clock.h>

#include <fstream>
#include <functional>
#include <string>

class GestureTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        // Other suites change the screen; the held contexts must see this one.
        ResetDisplayMode();
        GetRecognizeCursor().ResetCursor(kNoGesturePoint, kNoGesturePoint);
        GetRecognizeCursor().ReleaseCursor();
        FreeGlobalDC();
    }
    void TearDown() override {
        plat::UnloadInputScript();
        GetRecognizeCursor().ResetCursor(kNoGesturePoint, kNoGesturePoint);
        WinzaTest::TearDown();
    }
    // Loads the script; the test fails when a line is refused.
    void Script(const std::string& text) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        const std::string path = ::testing::TempDir() + "/gesture_" + name + ".txt";
        std::ofstream(path) << text;
        std::string error;
        ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
    }
    // The screen's pixels in a rectangle, row by row.
    static std::vector<COLORREF> Grab(RECT r) {
        std::vector<COLORREF> out;
        HDC dc = ::GetDC(nullptr);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                out.push_back(::GetPixel(dc, x, y));
        ::ReleaseDC(nullptr, dc);
        return out;
    }
};

// A window whose every pixel differs from its neighbours, so a misplaced restore shows.
class PatternWinza : public LoggingWinza {
public:
    static COLORREF At(int x, int y) {
        return RGB((x * 7) & 0xFF, (y * 5) & 0xFF, ((x + y) * 3) & 0xFF);
    }
    void Draw(HDC hdc, RECT clip) override {
        ++draws;
        for (int y = clip.top; y < clip.bottom; ++y)
            for (int x = clip.left; x < clip.right; ++x)
                ::SetPixel(hdc, x, y, At(x, y));
    }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CONTEXTMENU || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)
            times.push_back({msg, ::GetTickCount()});
        if (msg == WM_CONTEXTMENU) {
            menuWParam = wParam;
            menuLParam = lParam;
        }
        if (onMessage)
            onMessage(msg);
        return LoggingWinza::WndProc(hwnd, msg, wParam, lParam);
    }
    DWORD TimeOf(UINT msg) const {
        for (const auto& t : times)
            if (t.first == msg)
                return t.second;
        return 0;
    }
    std::vector<std::pair<UINT, DWORD>> times;
    WPARAM menuWParam = 0;
    LPARAM menuLParam = 0;
    std::function<void(UINT)> onMessage;
};
