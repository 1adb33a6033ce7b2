// Pop-up menu tests: an owner window that records the pen messages it gets, menus with fonts
// and colours in place, and scripted input that drives a running tracking loop. A script step
// runs each time the loop would sleep for messages, so the menu reacts to one step before the
// next comes; when the steps run out the script asks the program to quit, which also ends a
// menu that a faulty test left open. Steps run only while the thread waits for messages, so a
// loop that polled instead of waiting would never see its input and these tests would hang.
#pragma once

#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/GMenu.h"
#include "winza_test_support.h"

#include "TestDevice.h"

#include <fstream>
#include <string>
#include <vector>

struct PenRecord {
    UINT msg;
    WPARAM wParam;
    POINT pt;
};

// The window beneath the menu: a light page that notes pen messages and close requests.
class MenuOwner : public Winza {
public:
    LPCWSTR GetClassNameW() override { return u"MenuOwner"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
                pens.push_back(
                    PenRecord{msg, wParam, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}});
                return 0;
            case WM_TIMER:
                timers.push_back(static_cast<int>(wParam));
                ::KillTimer(hwnd, wParam);
                if (static_cast<int>(wParam) == destroyOnTimer)
                    ::DestroyWindow(hwnd);
                return 0;
            case WM_CLOSE:
                ++closeRequests; // the script ran out before the menu ended
                return 0;
            default:
                return Winza::WndProc(hwnd, msg, wParam, lParam);
        }
    }
    void Draw(HDC hdc, RECT clip) override {
        HBRUSH b = ::CreateSolidBrush(RGB(0xE8, 0xF0, 0xF8));
        ::FillRect(hdc, &clip, b);
        ::DeleteObject(b);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (const PenRecord& p : pens)
            n += p.msg == msg;
        return n;
    }
    std::vector<PenRecord> pens;
    std::vector<int> timers;
    int destroyOnTimer = 0;
    int closeRequests = 0;
};

// A menu that notes, with the clock, when its window is shown and hidden.
class ProbeMenu : public GMenu {
public:
    explicit ProbeMenu(TestClock* c) : clock(c) {}
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SHOWWINDOW) {
            if (wParam)
                shownAt.push_back(clock->Now());
            else
                hiddenAt.push_back(clock->Now());
        }
        return GMenu::WndProc(hwnd, msg, wParam, lParam);
    }
    RECT WindowRect() const {
        RECT rc{};
        ::GetWindowRect(m_hWnd, &rc);
        return rc;
    }
    TestClock* clock;
    std::vector<ULONGLONG> shownAt;
    std::vector<ULONGLONG> hiddenAt;
};

class GMenuTest : public WinzaTest {
protected:
    // The owner covers the screen but its top-left corner, so converted points differ.
    static constexpr int kOwnerX = 10;
    static constexpr int kOwnerY = 20;

    // The screen each test runs on; high-resolution fixtures take 480 x 640.
    virtual SIZE ScreenSize() const { return SIZE{240, 320}; }
    void SetUp() override { StartScreen(ScreenSize().cx, ScreenSize().cy); }

    void StartScreen(int width, int height) {
        WinzaTest::SetUp();
        if (width != 240 || height != 320)
            plat::StartHeadless(width, height);
        ResetDisplayMode();
        InitGLibControl();
        SetGlobalFontDef(fonts.GetFont(eFontNormal14));
        ASSERT_TRUE(owner.Create(nullptr, u"owner", WS_POPUP | WS_VISIBLE, kOwnerX, kOwnerY,
                                 width - kOwnerX, height - kOwnerY));
        ::SetFocus(owner.GetSafeHwnd());
        Pump();
    }

    void TearDown() override {
        plat::UnloadInputScript();
        // Release the key a test left held.
        for (int vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, VK_ESCAPE})
            if (::GetAsyncKeyState(vk) & 0x8000)
                plat::InputKey(vk, false);
        WinzaTest::TearDown();
        SetGlobalFontDef(nullptr);
        FreeGLib();
        if (::GetSystemMetrics(SM_CXSCREEN) != 240 || ::GetSystemMetrics(SM_CYSCREEN) != 320)
            plat::StartHeadless(240, 320);
        ResetDisplayMode();
    }

    // Loads the steps (one a line, as the platform's input scripts take them). An empty
    // script still ends a menu that would otherwise wait for ever.
    void Script(const std::string& steps) {
        const std::string path = ::testing::TempDir() + "/gmenu_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 ".txt";
        std::ofstream(path) << "# menu test\n" << steps;
        std::string error;
        ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
    }

    // Measures the menu as TrackPopupGMenu will, so a test knows where items will stand.
    static void Measure(GMenu& menu) {
        HDC dc = menu.GetDC();
        HGDIOBJ old = menu.GetFont() ? ::SelectObject(dc, menu.GetFont()) : nullptr;
        RECT rc{};
        menu.MeasureAllItem(dc, rc);
        if (old)
            ::SelectObject(dc, old);
    }
    static SIZE MenuSize(GMenu& menu) {
        HDC dc = menu.GetDC();
        HGDIOBJ old = menu.GetFont() ? ::SelectObject(dc, menu.GetFont()) : nullptr;
        RECT rc{};
        menu.MeasureAllItem(dc, rc);
        if (old)
            ::SelectObject(dc, old);
        return SIZE{rc.right, rc.bottom};
    }
    // The centre of item i on the screen when the menu's top-left corner is at (x, y).
    static POINT ItemAt(GMenu& menu, int x, int y, int i) {
        Measure(menu);
        const RECT rc = menu.GetMenuItem(i, 1)->GetRect();
        return POINT{x + (rc.left + rc.right) / 2, y + (rc.top + rc.bottom) / 2};
    }
    static std::string Tap(POINT p) {
        return "tap " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
    }
    static std::string Down(POINT p) {
        return "down " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
    }
    static std::string Up(POINT p) {
        return "up " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
    }
    static std::string Move(POINT p, int steps = 2) {
        return "move " + std::to_string(p.x) + " " + std::to_string(p.y) + " " +
               std::to_string(steps) + "\n";
    }
    static std::string Wait(int ms) { return "wait " + std::to_string(ms) + "\n"; }
    static std::string Key(const char* name) { return std::string("key ") + name + "\n"; }

    // "One", "Two", a separator, "Three": ids 101, 102, 0xFFFF, 103.
    void AddFour(GMenu& menu) {
        menu.AppendMenuW(101, u"One");
        menu.AppendMenuW(102, u"Two");
        menu.AppendMenuW(kMenuSeparatorId, nullptr);
        menu.AppendMenuW(103, u"Three");
    }
    int MakeMenu(GMenu& menu) { return menu.CreateMenu(owner.GetSafeHwnd(), &owner); }

    TestDevice device;
    GFontManager fonts;
    MenuOwner owner;
};
