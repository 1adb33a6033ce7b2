// The pad's launcher tabs: fading their windows in and out on the timer, locking with a hold,
// hiding while locked, the drag from the tool bar tab and what the tabs show over ink.
#include "scribbo/App.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/GScrollBarLauncher.h"
#include "scribbo/GToolBarLauncher.h"
#include "scribbo/Settings.h"

#include "app_bar_test_support.h"
#include "winza/DrawHelpers.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/GScrollBar.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Notice {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// The pad stand-in: shows its picture and records what the tabs tell it.
class PadParent : public Winza {
public:
    LPCWSTR GetClassNameW() override { return u"LauncherPad"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == UM_SCROLLLAUNCHER || msg == UM_TOOLBARPEN || msg == WM_COMMAND)
            notices.push_back({msg, wParam, lParam});
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
    void Draw(HDC hdc, RECT clip) override {
        if (picture)
            picture->DrawDib(hdc, clip.left, clip.top, clip.right - clip.left,
                             clip.bottom - clip.top, clip.left, clip.top, clip.right - clip.left,
                             clip.bottom - clip.top, 0, 255, 0, SRCCOPY);
    }
    std::vector<LPARAM> LParams(UINT msg) const {
        std::vector<LPARAM> out;
        for (const Notice& n : notices)
            if (n.msg == msg)
                out.push_back(n.lParam);
        return out;
    }
    GDib* picture = nullptr;
    std::vector<Notice> notices;
};

// The tool bar stand-in: a plain grey strip.
class FlatBar : public GAnimateWnd {
public:
    FlatBar() { SetAnimate(0); }
    void Draw(HDC hdc, RECT) override {
        const RECT rc = GetClientRect();
        FillSolidRect(hdc, &rc, GetGLibColor(3));
        FillSolidRect(hdc, rc.left, rc.bottom - 1, rc.right - rc.left, 1, GetGLibColor(2));
    }
};

class Launchers : public AppBarTest {
protected:
    // White paper with a few strokes of ink across it.
    void MakePicture(int w, int h) {
        ASSERT_TRUE(picture.Create(w, h, 24));
        picture.SetBackColor(RGB(255, 255, 255));
        for (int i = 0; i < 3 * w; ++i) {
            const int x = i / 3;
            const int y = h / 2 + (x % 97) - 48;
            picture.FillRect(x, y, 3 * k, 3 * k, RGB(0, 0, 0));
            picture.FillRect(x, h - y - 40, 2 * k, 2 * k, RGB(0, 0, 200));
        }
    }
    // The pad, its two scroll bars and top bar, and both tabs.
    void Make() {
        const int w = plat::ScreenSize().cx;
        const int h = plat::ScreenSize().cy;
        MakePicture(w, h);
        pad.picture = &picture;
        ASSERT_NO_FATAL_FAILURE(MakeOwner(pad, u"pad"));
        const int t = 15 * k;
        for (GScrollBar* bar : {&vbar, &hbar}) {
            bar->SetAnimate(1);
            bar->SetAlpha(128, 0);
        }
        RECT vr{w - t, 0, w, h - t};
        RECT hr{0, h - t, w - t, h};
        ASSERT_TRUE(vbar.Create(&pad, 1, t, &vr, 15));
        ASSERT_TRUE(hbar.Create(&pad, 0, t, &hr, 15));
        vbar.SetScrollInfo(3 * h, h, 10, h / 2);
        hbar.SetScrollInfo(2 * w, w, 10, 0);
        ASSERT_TRUE(bar.Create(pad, u"bar", WS_CHILD, 0, 0, w, 26 * k));
        for (Winza* c : std::initializer_list<Winza*>{&vbar, &hbar, &bar})
            c->ShowWindow(SW_HIDE);
        const RECT screen{0, 0, w, h};
        scrollRect = RECT{w - t, h - t, w, h};
        toolRect = RECT{w - 18 * k, h / 2 - 22 * k, w, h / 2 + 22 * k};
        ASSERT_EQ(scrollTab.Create(&pad, &picture, screen, screen, scrollRect), 1);
        ASSERT_EQ(toolTab.Create(&pad, &picture, screen, screen, toolRect), 1);
        scrollTab.SetControlled(&vbar, &hbar);
        toolTab.SetControlled(&bar);
        toolTab.SetPage(1, 1);
        Pump();
        pad.notices.clear();
    }
    static POINT Centre(RECT r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // A press at p and a release 30 ms later, within the hold.
    void Tap(POINT p) {
        Script("wait 30\nup " + std::to_string(p.x) + " " + std::to_string(p.y) + "\nwait 5000\n");
        plat::InputStylusDown(p.x, p.y);
        Pump();
    }
    // A press at p held until the hold is recognised, then lifted.
    void Hold(POINT p) {
        Script("wait 5000\n");
        plat::InputStylusDown(p.x, p.y);
        Pump();
        plat::InputStylusUp(p.x, p.y);
        Pump();
    }
    void Tick() {
        clock.Advance(GLauncherTab::kFadeMs);
        Pump();
    }
    // The bounding box of the near-black pixels of the screen within r.
    static RECT InkBox(RECT r) {
        RECT box{r.right, r.bottom, r.left, r.top};
        HDC dc = ::GetDC(nullptr);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = ::GetPixel(dc, x, y);
                if (GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
            }
        ::ReleaseDC(nullptr, dc);
        return box;
    }
    static std::string ShotPath(const std::string& name) {
        const std::string dir = SCRIBBO_TEST_OUTPUT;
        std::filesystem::create_directories(dir);
        return dir + "/" + name + ".png";
    }

    GDib picture;
    PadParent pad;
    GScrollBar vbar;
    GScrollBar hbar;
    FlatBar bar;
    GScrollBarLauncher scrollTab;
    GToolBarLauncher toolTab;
    RECT scrollRect{};
    RECT toolRect{};
};

TEST_F(Launchers, TwoTapsFadeTheScrollBarsInThenOutFasterEachTick) {
    Make();
    ASSERT_FALSE(vbar.IsWindowVisible());
    EXPECT_EQ(scrollTab.GetAlpha(), 128);

    Tap(Centre(scrollRect));
    EXPECT_EQ(pad.LParams(UM_SCROLLLAUNCHER), (std::vector<LPARAM>{0, 1}));
    EXPECT_TRUE(scrollTab.IsShown());
    EXPECT_TRUE(vbar.IsWindowVisible());
    EXPECT_TRUE(hbar.IsWindowVisible());
    EXPECT_EQ(vbar.GetAlpha(), 0);
    int level = 0;
    for (int step = 20; level + step < 255; ++step) {
        Tick();
        level += step;
        ASSERT_EQ(scrollTab.GetLevel(), level) << "step " << step;
        EXPECT_EQ(scrollTab.GetStep(), step + 1);
        EXPECT_EQ(scrollTab.GetAlpha(), std::max(level, 128));
        EXPECT_EQ(vbar.GetAlpha(), level);
        EXPECT_EQ(hbar.GetAlpha(), level);
    }
    EXPECT_EQ(level, 245) << "ten ticks of 20, 21, ... 29";
    Tick();
    EXPECT_EQ(scrollTab.GetLevel(), 255);
    EXPECT_EQ(scrollTab.GetAlpha(), 255);
    EXPECT_EQ(vbar.GetAlpha(), 255);
    Tick();
    EXPECT_EQ(scrollTab.GetLevel(), 255) << "the timer stopped";
    level = 255;

    pad.notices.clear();
    Tap(Centre(scrollRect));
    EXPECT_EQ(pad.LParams(UM_SCROLLLAUNCHER), (std::vector<LPARAM>{0}));
    EXPECT_FALSE(vbar.IsWindowVisible()) << "the bars go at once, the tab fades";
    EXPECT_FALSE(hbar.IsWindowVisible());
    for (int step = -20; level + step >= 0; --step) {
        Tick();
        level += step;
        ASSERT_EQ(scrollTab.GetLevel(), level) << "step " << step;
        EXPECT_EQ(scrollTab.GetStep(), step - 1);
        EXPECT_EQ(scrollTab.GetAlpha(), std::max(level, 128));
        EXPECT_TRUE(scrollTab.IsShown());
    }
    Tick();
    EXPECT_EQ(scrollTab.GetLevel(), 0);
    EXPECT_FALSE(scrollTab.IsShown());
    EXPECT_EQ(scrollTab.GetAlpha(), 128);
}

TEST_F(Launchers, HoldLocksAtFullOpacityAndASecondHoldUnlocks) {
    Make();
    struct Case {
        GLauncherTab* tab;
        RECT rect;
        DWORD* setting;
        UINT msg;
        WPARAM wParam;
        std::vector<GAnimateWnd*> windows;
    };
    const Case cases[] = {
        {&scrollTab, scrollRect, &g_Settings.LockScrollbar, UM_SCROLLLAUNCHER, 0, {&vbar, &hbar}},
        {&toolTab,
         toolRect,
         &g_Settings.LockToolbar,
         UM_TOOLBARPEN,
         reinterpret_cast<WPARAM>(bar.GetSafeHwnd()),
         {&bar}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.msg);
        pad.notices.clear();
        Hold(Centre(c.rect));
        EXPECT_EQ(*c.setting, 1u);
        EXPECT_EQ(c.tab->GetLevel(), 255);
        EXPECT_EQ(c.tab->GetAlpha(), 255);
        for (GAnimateWnd* w : c.windows) {
            EXPECT_TRUE(w->IsWindowVisible());
            EXPECT_EQ(w->GetAlpha(), 255);
        }
        EXPECT_EQ(pad.LParams(c.msg), (std::vector<LPARAM>{0, 2})) << "no tap after a hold";
        for (const Notice& n : pad.notices)
            EXPECT_EQ(n.wParam, c.wParam);

        pad.notices.clear();
        Hold(Centre(c.rect));
        EXPECT_EQ(*c.setting, 0u);
        EXPECT_EQ(pad.LParams(c.msg), (std::vector<LPARAM>{0, 2, 1}))
            << "unlocked and showing: the pad starts its auto-hide";
        for (GAnimateWnd* w : c.windows)
            EXPECT_TRUE(w->IsWindowVisible()) << "unlocking hides nothing by itself";
        c.tab->ShowControlled(0, SW_HIDE);
        for (GAnimateWnd* w : c.windows)
            EXPECT_FALSE(w->IsWindowVisible());
    }
    EXPECT_TRUE(pad.LParams(WM_COMMAND).empty());
}

TEST_F(Launchers, HideRequestsWhileLockedChangeNothing) {
    Make();
    for (int animate : {0, 1}) {
        SCOPED_TRACE(animate);
        g_Settings.LockScrollbar = 1;
        scrollTab.ShowControlled(0, SW_SHOW);
        scrollTab.ShowControlled(animate, SW_HIDE);
        Tick();
        Tick();
        EXPECT_EQ(scrollTab.GetLevel(), 255);
        EXPECT_TRUE(scrollTab.IsShown());
        EXPECT_EQ(scrollTab.GetAlpha(), 255);
        EXPECT_TRUE(vbar.IsWindowVisible());
        EXPECT_TRUE(hbar.IsWindowVisible());
    }
    // A tap on the locked tab is a hide request too.
    pad.notices.clear();
    Tap(Centre(scrollRect));
    Tick();
    EXPECT_EQ(scrollTab.GetLevel(), 255);
    EXPECT_TRUE(vbar.IsWindowVisible());
    EXPECT_EQ(pad.LParams(UM_SCROLLLAUNCHER), (std::vector<LPARAM>{0}));
    g_Settings.LockScrollbar = 0;
    scrollTab.ShowControlled(0, SW_HIDE);
    EXPECT_EQ(scrollTab.GetLevel(), 0);
    EXPECT_FALSE(scrollTab.IsShown());
    EXPECT_EQ(scrollTab.GetAlpha(), 128);
    EXPECT_FALSE(vbar.IsWindowVisible());
}

TEST_F(Launchers, DragBeyondTenPixelsFromTheToolTabSendsClose) {
    Make();
    const POINT press = Centre(toolRect);
    struct Case {
        int dx, dy;
        int direction;
    };
    const Case cases[] = {
        {-10, 0, eDragNone}, {6, -8, eDragNone},    {-8, 6, eDragNone}, {-11, 0, eDragLeft},
        {0, -12, eDragUp},   {12, -11, eDragRight}, {5, 40, eDragDown}, {-30, 4, eDragLeft},
    };
    RECT band{};
    const std::vector<COLORREF> before =
        Grab(RECT{0, 0, plat::ScreenSize().cx, plat::ScreenSize().cy});
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dx << "," << c.dy);
        pad.notices.clear();
        const POINT to{press.x + c.dx, press.y + c.dy};
        // The first move, beyond the hold's tolerance, ends the hold; the next one drags.
        const int sx = std::clamp(c.dx, -5, 5);
        const int sy = std::clamp(c.dy, -5, 5);
        Script("move " + std::to_string(press.x + sx) + " " + std::to_string(press.y + sy) +
               " 1\nwait 5000\n");
        plat::InputStylusDown(press.x, press.y);
        Pump();
        plat::InputStylusMove(to.x, to.y);
        Pump();
        EXPECT_EQ(toolTab.GetDirection(), c.direction);
        const RECT guide = toolTab.GetGuideRect();
        EXPECT_EQ(::IsRectEmpty(&guide), c.direction == eDragNone);
        band = guide;
        if (c.direction != eDragNone) {
            // The band leaves the press point the way the pen went and reaches the pad's edge.
            const POINT mid = Centre(guide);
            switch (c.direction) {
                case eDragLeft:
                    EXPECT_EQ(guide.left, 0);
                    EXPECT_EQ(guide.right, press.x);
                    break;
                case eDragUp:
                    EXPECT_EQ(guide.top, 0);
                    EXPECT_EQ(guide.bottom, press.y);
                    break;
                case eDragDown:
                    EXPECT_EQ(guide.top, press.y);
                    EXPECT_EQ(guide.bottom, plat::ScreenSize().cy);
                    break;
                default:
                    EXPECT_EQ(guide.left, press.x);
                    break;
            }
            if (c.direction == eDragLeft) {
                EXPECT_EQ(ScreenPixel(mid.x, mid.y), GetGLibColor(24)) << "the band is drawn";
                HDC dc = ::GetDC(nullptr);
                EXPECT_TRUE(plat::SaveSurfacePng(dc, ShotPath("launchers_drag")));
                ::ReleaseDC(nullptr, dc);
            }
        }
        plat::InputStylusUp(to.x, to.y);
        Pump();
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(toolTab.GetDirection(), eDragNone);
        const std::vector<LPARAM> commands = pad.LParams(WM_COMMAND);
        if (c.direction == eDragNone) {
            EXPECT_TRUE(commands.empty());
        } else {
            ASSERT_EQ(commands.size(), 1u);
            EXPECT_EQ(pad.notices.back().wParam, WPARAM(GToolBarLauncher::kCloseCommand));
            EXPECT_EQ(commands[0], reinterpret_cast<LPARAM>(pad.GetSafeHwnd()));
        }
        EXPECT_EQ(pad.LParams(UM_TOOLBARPEN), (std::vector<LPARAM>{0})) << "a moved pen is no tap";
        EXPECT_FALSE(bar.IsWindowVisible());
    }
    // The last band was wiped: the pad shows what it showed before.
    const RECT screen{0, 0, plat::ScreenSize().cx, plat::ScreenSize().cy};
    const std::vector<COLORREF> after = Grab(screen);
    int changed = 0;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x)
            changed += after[y * screen.right + x] != before[y * screen.right + x];
    EXPECT_EQ(changed, 0);
}

TEST_F(Launchers, ReleaseWipesTheBandFromTheMemoBuffer) {
    Make();
    const int w = plat::ScreenSize().cx;
    const int h = plat::ScreenSize().cy;
    GPadDrawMan doc;
    HDC memDC = ::CreateCompatibleDC(nullptr);
    ASSERT_EQ(doc.InitBuffer(memDC, w, h - 40), 1);
    // A buffer unlike the pad's own picture shows where the wipe came from.
    doc.GetBufferBlock()->FillRect(0, 0, w, h, RGB(255, 255, 0));
    toolTab.SetDocument(&doc, POINT{0, 20});
    const POINT press = Centre(toolRect);
    Script("move " + std::to_string(press.x - 5) + " " + std::to_string(press.y) +
           " 1\nwait 5000\n");
    plat::InputStylusDown(press.x, press.y);
    Pump();
    plat::InputStylusMove(press.x - 40, press.y);
    Pump();
    const RECT band = toolTab.GetGuideRect();
    ASSERT_EQ(toolTab.GetDirection(), eDragLeft);
    plat::InputStylusUp(press.x - 40, press.y);
    Pump();
    EXPECT_EQ(pad.LParams(WM_COMMAND).size(), 1u);
    int yellow = 0;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < toolRect.left; ++x)
            yellow += ScreenPixel(x, y) == RGB(255, 255, 0);
    EXPECT_EQ(yellow, (band.bottom - band.top) * (toolRect.left - band.left));
    ::DeleteDC(memDC);
}

class LauncherPicture : public Launchers, public ::testing::WithParamInterface<SIZE> {};

TEST_P(LauncherPicture, TabsOverInkShowThePageNumbersAndTheLock) {
    const SIZE size = GetParam();
    Screen(size.cx, size.cy);
    Make();
    const std::string name = "launchers_" + std::to_string(size.cx) + "x" + std::to_string(size.cy);
    // As the pad shows them: translucent over the ink.
    toolTab.SetPage(3, 12);
    Pump();
    HDC screen = ::GetDC(nullptr);
    EXPECT_TRUE(plat::SaveSurfacePng(screen, ShotPath(name)));

    // Opaque, the numbers sit centred in their halves with the line between them.
    toolTab.ShowControlled(0, SW_SHOW);
    scrollTab.ShowControlled(0, SW_SHOW);
    Pump();
    const int mid = (toolRect.top + toolRect.bottom) / 2;
    const POINT line{toolRect.left + 6 * k, mid};
    EXPECT_EQ(::GetPixel(screen, line.x, line.y), GetGLibColor(2));
    EXPECT_EQ(::GetPixel(screen, toolRect.left, toolRect.top + 3 * k), GetGLibColor(26));
    const RECT upper{toolRect.left + k, toolRect.top + k, toolRect.right, mid};
    const RECT lower{toolRect.left + k, mid + k, toolRect.right, toolRect.bottom - k};
    const RECT three = InkBox(upper);
    const RECT twelve = InkBox(lower);
    for (const RECT& r : {three, twelve}) {
        ASSERT_LT(r.left, r.right) << "a number is drawn";
        EXPECT_GT(r.bottom - r.top, 5 * k);
    }
    const int centre = (toolRect.left + toolRect.right) / 2;
    EXPECT_LE(std::abs((three.left + three.right) / 2 - centre), k);
    EXPECT_LE(std::abs((twelve.left + twelve.right) / 2 - centre), k);
    EXPECT_GT(twelve.right - twelve.left, (three.right - three.left) * 3 / 2) << "two digits";
    EXPECT_LE(std::abs((three.top + three.bottom) / 2 - (toolRect.top + mid) / 2), k + 1);
    EXPECT_LE(std::abs((twelve.top + twelve.bottom) / 2 - (mid + toolRect.bottom) / 2), k + 1);
    // The scroll bar tab in its corner: light grey with its left edge, no lock box.
    EXPECT_EQ(::GetPixel(screen, scrollRect.left, scrollRect.top + 7 * k), GetGLibColor(26));
    EXPECT_EQ(::GetPixel(screen, scrollRect.left + k, scrollRect.top + 7 * k), GetGLibColor(24));

    // Locked: the raised box inside the edges.
    g_Settings.LockScrollbar = 1;
    g_Settings.LockToolbar = 1;
    scrollTab.Invalidate(1);
    toolTab.Invalidate(1);
    Pump();
    EXPECT_EQ(::GetPixel(screen, scrollRect.left + k, scrollRect.top + 7 * k), GetGLibColor(1));
    EXPECT_EQ(::GetPixel(screen, scrollRect.right - 2 * k, scrollRect.top + 7 * k),
              GetGLibColor(2));
    EXPECT_EQ(::GetPixel(screen, toolRect.left + k, toolRect.top + 3 * k), GetGLibColor(1));
    EXPECT_TRUE(plat::SaveSurfacePng(screen, ShotPath(name + "_locked")));
    ::ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(Screens, LauncherPicture,
                         ::testing::Values(SIZE{240, 320}, SIZE{480, 640}), [](const auto& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
