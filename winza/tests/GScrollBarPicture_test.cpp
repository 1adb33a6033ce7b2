// Pictures of scroll bars in both resolutions, written as PNG files into the build's test
// output for a person to look at; the checks make sure each picture holds what it shows.
#include "winza/GScrollBar.h"

#include "winza/GLib.h"
#include "winza_test_support.h"

#include <platform/wingdi.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string OutputPath(const std::string& name) {
    std::filesystem::create_directories(SCRIBBO_TEST_OUTPUT);
    return std::string(SCRIBBO_TEST_OUTPUT) + "/" + name;
}

// Saves the screen, and the part of it given enlarged so single pixels can be seen.
bool SaveScreen(const std::string& name, RECT zoomPart, int factor) {
    HDC screen = ::GetDC(nullptr);
    bool ok = plat::SaveSurfacePng(screen, OutputPath(name + ".png"));
    const int w = zoomPart.right - zoomPart.left;
    const int h = zoomPart.bottom - zoomPart.top;
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, w * factor, h * factor);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::SetStretchBltMode(mem, COLORONCOLOR);
    ok = ::StretchBlt(mem, 0, 0, w * factor, h * factor, screen, zoomPart.left, zoomPart.top, w, h,
                      SRCCOPY) &&
         ok;
    ok = plat::SaveSurfacePng(mem, OutputPath(name + "_zoom.png")) && ok;
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

class PictureTest : public WinzaTest {
protected:
    void Build(int width, int height) {
        plat::StartHeadless(width, height);
        ResetDisplayMode();
        InitGLibControl();
        const int u = ApplyHires(1);
        parent.color = RGB(255, 255, 255);
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, width, height), 1);
        // Vertical bars: thumb at the start, in the middle, at the end, a minimum thumb, and a
        // bar whose whole range fits its page.
        const int positions[] = {0, 450, 900, 5000, 0};
        const int ranges[] = {1000, 1000, 1000, 100000, 50};
        for (int i = 0; i < 5; ++i) {
            RECT r{(10 + 30 * i) * u, 10 * u, (24 + 30 * i) * u, 200 * u};
            bars.push_back(std::make_unique<GScrollBar>());
            ASSERT_EQ(bars.back()->Create(&parent, 1, 14 * u, &r, 15), 1);
            bars.back()->SetScrollInfo(ranges[i], 100, 10, positions[i]);
        }
        // Horizontal bars: start, middle, end.
        for (int i = 0; i < 3; ++i) {
            RECT r{10 * u, (215 + 22 * i) * u, 160 * u, (229 + 22 * i) * u};
            bars.push_back(std::make_unique<GScrollBar>());
            ASSERT_EQ(bars.back()->Create(&parent, 0, 14 * u, &r, 15), 1);
            bars.back()->SetScrollInfo(1000, 200, 10, i * 400);
        }
        // A grey panel with both bars laid out along its edges, the vertical one shortened.
        panel.color = RGB(160, 160, 160);
        ASSERT_EQ(panel.Create(parent.GetSafeHwnd(), u"panel", WS_CHILD | WS_VISIBLE, 170 * u,
                               10 * u, 60 * u, 120 * u),
                  1);
        bars.push_back(std::make_unique<GScrollBar>());
        GScrollBar& pv = *bars.back();
        ASSERT_EQ(pv.Create(&panel, 1, 14 * u, nullptr, 15), 1);
        pv.MoveWindow(&panel, 14 * u, nullptr, 14 * u);
        pv.SetScrollInfo(300, 120, 10, 90);
        bars.push_back(std::make_unique<GScrollBar>());
        GScrollBar& ph = *bars.back();
        ASSERT_EQ(ph.Create(&panel, 0, 14 * u, nullptr, 15), 1);
        ph.MoveWindow(&panel, 14 * u, nullptr, 14 * u);
        ph.SetScrollInfo(200, 60, 10, 0);
        Pump();
    }
    void TearDown() override {
        bars.clear();
        WinzaTest::TearDown();
        FreeGLibControl();
        ResetDisplayMode();
    }
    // Presses a point of a bar and leaves the pen down, so the picture shows the press.
    static void Press(GScrollBar& b, int x, int y) {
        ::SendMessageW(b.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        Pump();
    }
    LoggingWinza parent;
    LoggingWinza panel;
    // Made once the screen is in place: their arrow size depends on the resolution.
    std::vector<std::unique_ptr<GScrollBar>> bars;
};

void ExpectBarsDrawn(const std::vector<std::unique_ptr<GScrollBar>>& bars, int u) {
    // Each thumb's middle shows the thumb colour and each arrow its body colour on screen.
    HDC screen = ::GetDC(nullptr);
    for (const auto& b : bars) {
        RECT t = b->GetThumbRect();
        b->ClientToScreen(&t);
        const COLORREF thumb = b->IsDragging() ? GetGLibColor(34) : GetGLibColor(33);
        EXPECT_EQ(::GetPixel(screen, (t.left + t.right) / 2, (t.top + t.bottom) / 2), thumb);
        RECT a = b->GetFirstArrowRect();
        b->ClientToScreen(&a);
        EXPECT_EQ(::GetPixel(screen, a.left + 2 * u, a.top + 2 * u),
                  b->IsFirstArrowPressed() ? GetGLibColor(25) : GetGLibColor(30));
    }
    ::ReleaseDC(nullptr, screen);
}

TEST_F(PictureTest, NormalResolution) {
    Build(240, 320);
    ASSERT_EQ(IsHires(), 0);
    Press(*bars[1], 7, 150); // paging forward: the track after the thumb turns blue
    EXPECT_TRUE(bars[1]->IsPagingForward());
    ExpectBarsDrawn(bars, 1);
    EXPECT_TRUE(SaveScreen("scrollbar_240x320", RECT{0, 0, 240, 290}, 3));
    ::SendMessageW(bars[1]->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(7, 150));
}

TEST_F(PictureTest, HighResolution) {
    Build(480, 640);
    ASSERT_EQ(IsHires(), 1);
    Press(*bars[6], 6, 14); // the first arrow of the middle horizontal bar pressed
    EXPECT_TRUE(bars[6]->IsFirstArrowPressed());
    ExpectBarsDrawn(bars, 2);
    EXPECT_TRUE(SaveScreen("scrollbar_480x640", RECT{0, 0, 480, 580}, 2));
    ::SendMessageW(bars[6]->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(6, 14));
}

} // namespace
