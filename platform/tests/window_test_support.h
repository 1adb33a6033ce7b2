// Window tests run on the headless screen with the virtual clock. A recording procedure keeps
// the messages each window receives, so a test compares them with the sequence it expects,
// the way Wine's message tests do; per-window handlers add behaviour where a test needs it.
#pragma once

#include <platform/display.h>
#include <windows.h>

#include "TestClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct LoggedMsg {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowTest : public ::testing::Test {
public:
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

    static WindowTest* current;
    std::vector<LoggedMsg> log;
    std::map<HWND, Handler> handlers;
    Handler anyHandler; // for windows whose handle is not known yet (during creation)
    TestClock clock;

    static constexpr const char16_t* kClass = u"TestWindow";
    static constexpr const char16_t* kDblClass = u"TestDblWindow";

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        WindowTest* t = current;
        if (t) {
            t->log.push_back(LoggedMsg{hwnd, msg, wParam, lParam});
            LRESULT r = 0;
            auto it = t->handlers.find(hwnd);
            if (it != t->handlers.end() && it->second(hwnd, msg, wParam, lParam, &r))
                return r;
            if (t->anyHandler && t->anyHandler(hwnd, msg, wParam, lParam, &r))
                return r;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    void SetUp() override {
        plat::StartHeadless(240, 320);
        current = this;
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        wc.style = CS_DBLCLKS;
        wc.lpszClassName = kDblClass;
        RegisterClassW(&wc);
        ClearScreen(RGB(0, 0, 0));
    }

    void TearDown() override {
        // Handlers hold references to the test body's locals, which are gone by now.
        handlers.clear();
        anyHandler = nullptr;
        ReleaseCapture();
        for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h;
             h = GetWindow(GetDesktopWindow(), GW_CHILD))
            DestroyWindow(h);
        Pump();
        SetFocus(nullptr);
        UnregisterClassW(kClass, nullptr);
        UnregisterClassW(kDblClass, nullptr);
        current = nullptr;
    }

    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD ex = 0,
              const char16_t* cls = kClass) {
        return CreateWindowExW(ex, cls, u"w", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
    }

    // Handles everything that is waiting, WM_PAINT and due timers included.
    static int Pump() {
        MSG m;
        int n = 0;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
            if (++n > 10000)
                break;
        }
        return n;
    }

    // The messages a window got, in order, leaving out the ones given.
    std::vector<UINT> MessagesOf(HWND hwnd, std::vector<UINT> skip = {}) const {
        std::vector<UINT> out;
        for (const LoggedMsg& m : log) {
            if (m.hwnd != hwnd)
                continue;
            bool skipped = false;
            for (UINT s : skip)
                skipped = skipped || s == m.msg;
            if (!skipped)
                out.push_back(m.msg);
        }
        return out;
    }
    int Count(HWND hwnd, UINT msg) const {
        int n = 0;
        for (const LoggedMsg& m : log)
            n += (m.hwnd == hwnd && m.msg == msg) ? 1 : 0;
        return n;
    }

    static COLORREF ScreenPixel(int x, int y) {
        HDC dc = GetDC(nullptr);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(nullptr, dc);
        return c;
    }
    static void ClearScreen(COLORREF c) {
        HDC dc = GetDC(nullptr);
        HBRUSH b = CreateSolidBrush(c);
        RECT rc{0, 0, 240, 320};
        FillRect(dc, &rc, b);
        DeleteObject(b);
        ReleaseDC(nullptr, dc);
    }
    // A handler that paints the whole client area in one colour.
    static Handler Painter(COLORREF color, int* paints = nullptr, RECT* lastPaint = nullptr) {
        return [=](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* r) {
            if (msg != WM_PAINT)
                return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            HBRUSH b = CreateSolidBrush(color);
            FillRect(dc, &rc, b);
            DeleteObject(b);
            if (paints)
                ++*paints;
            if (lastPaint)
                *lastPaint = ps.rcPaint;
            EndPaint(hwnd, &ps);
            *r = 0;
            return true;
        };
    }
};

inline WindowTest* WindowTest::current = nullptr;
