// The pad view on the headless screen with the program's bitmaps, a test device and the
// virtual clock, and what it tells the title view.
#pragma once

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GPadView.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "fundo/GIOFile.h"
#include "winza/GFontManager.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include "scribbo_test_support.h"

#include <TestClock.h>
#include <TestDevice.h>
#include <platform/display.h>
#include <platform/module.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

// Records what the pad view tells the title view.
struct Notices {
    std::vector<std::pair<UINT, std::u16string>> got;
};
inline Notices* g_notices = nullptr;

inline LRESULT CALLBACK NoticeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == UM_MEMOSAVED || msg == UM_MEMOEMPTY) && g_notices)
        g_notices->got.emplace_back(msg, reinterpret_cast<LPCWSTR>(lParam));
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

class PadView : public ::testing::Test {
protected:
    void SetUp() override {
        plat::StartHeadless(240, 320);
        ResetDisplayMode();
        FreeGlobalDC();
        InitGLibControl();
        InitDefaultSettings();
        g_App.hInstance = plat::ThisModule();
        g_App.ToolbarImages = LoadToolbarImages(g_App.hInstance);
        EnsureFolder(g_Settings.DefNewMemoFolder);
        view = std::make_unique<GPadView>();
        ASSERT_TRUE(view->CreateView(nullptr));
        Pump();
    }
    void TearDown() override {
        plat::UnloadInputScript();
        if (view && view->GetSafeHwnd())
            ::DestroyWindow(*view);
        view.reset();
        if (notify)
            ::DestroyWindow(notify);
        Pump();
        g_notices = nullptr;
        delete g_App.ToolbarImages;
        delete g_App.Fonts;
        g_App = AppState{};
        FreeGLib();
        ResetDisplayMode();
    }
    static void Pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }
    void ListenAsTitleView() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = NoticeProc;
        wc.lpszClassName = u"PadNotices";
        ::RegisterClassW(&wc);
        notify = ::CreateWindowExW(0, u"PadNotices", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   nullptr, nullptr);
        g_notices = &notices;
        view->SetNotifyTarget(notify);
    }
    // A stroke through the points, each sample delivered and handled before the next.
    void Stroke(std::vector<POINT> pts) {
        plat::InputStylusDown(pts[0].x, pts[0].y);
        Pump();
        for (size_t i = 1; i < pts.size(); ++i) {
            plat::InputStylusMove(pts[i].x, pts[i].y);
            Pump();
        }
        plat::InputStylusUp(pts.back().x, pts.back().y);
        Pump();
    }
    // A tap on an item of a bar, as the pen gives it.
    void TapItem(GToolBarEx* bar, const GToolButton* item) {
        const RECT r = item->GetRect();
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(*bar, &p);
        plat::InputStylusDown(p.x, p.y);
        Pump();
        plat::InputStylusUp(p.x, p.y);
        Pump();
    }
    void Command(int id) {
        ::SendMessageW(*view, WM_COMMAND, id, 0);
        Pump();
    }
    std::u16string NewMemo() {
        EXPECT_TRUE(view->NewMemo(g_Settings.DefNewMemoFolder));
        Pump();
        return view->GetMemoPath();
    }
    std::string Host(const std::u16string& devicePath) {
        std::string utf8(devicePath.begin(), devicePath.end());
        return device.Host(utf8);
    }
    int ObjectsIn(const std::u16string& path) {
        GPadDrawMan memo;
        HDC dc = ::CreateCompatibleDC(nullptr);
        memo.InitBuffer(dc, 16, 16);
        ::DeleteDC(dc);
        GIOFile file;
        if (!file.Open(path.c_str(), u"rb") || !memo.Load(&file))
            return -1;
        int n = 0;
        for (int i = 0; i < memo.GetPageNum(); ++i)
            n += memo.GetPage(i)->GetTotalGDObjectNum();
        return n;
    }
    static COLORREF ScreenPixel(int x, int y) {
        HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, x, y);
        ::ReleaseDC(nullptr, screen);
        return c;
    }
    static bool Dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 400; }
    // Input steps run whenever a nested loop (a hold on a tab) would wait.
    void Script(const std::string& text) {
        // Inside this test's own device: tests running at once must not share the file.
        const std::string path = device.Root() + "/pad_view_script.txt";
        std::ofstream(path) << text;
        std::string error;
        ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
    }
    static POINT ScreenCentre(HWND hwnd) {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A tap on a tab: the release comes while its hold waits.
    void TapTab(HWND tab) {
        const POINT at = ScreenCentre(tab);
        Script("wait 30\nup " + std::to_string(at.x) + " " + std::to_string(at.y) + "\n");
        plat::InputStylusDown(at.x, at.y);
        Pump();
    }
    // Lets fades and timers run for ms of the test clock.
    void Run(int ms) {
        for (int t = 0; t < ms; t += 10) {
            clock.Advance(10);
            Pump();
        }
    }
    static bool Visible(HWND hwnd) { return hwnd && ::IsWindowVisible(hwnd); }

    TestDevice device;
    TestClock clock;
    std::unique_ptr<GPadView> view;
    HWND notify = nullptr;
    Notices notices;
};
