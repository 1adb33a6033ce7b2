// Translucent windows: blending over a screen snapshot, over another window's back buffer and
// over a picture, key-colour transparency, and the opacity setter's limits.
#include "winza_test_support.h"

#include "winza/GAnimateWnd.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kFace = RGB(10, 250, 90);

// The blend of one channel: (source x alpha + destination x (255 - alpha)) >> 8.
COLORREF Blend(COLORREF src, COLORREF dst, int alpha) {
    auto ch = [&](int s, int d) { return (s * alpha + d * (255 - alpha)) >> 8; };
    return RGB(ch(GetRValue(src), GetRValue(dst)), ch(GetGValue(src), GetGValue(dst)),
               ch(GetBValue(src), GetBValue(dst)));
}

// Paints its face colour everywhere but a hole (10..30, 10..30 unless changed) left in the key
// colour, and one magenta pixel at (40, 5).
class FaceWnd : public GAnimateWnd {
public:
    LPCWSTR GetClassNameW() override { return u"FaceWnd"; }
    void Draw(HDC hdc, RECT clip) override {
        ++draws;
        HBRUSH b = ::CreateSolidBrush(kFace);
        ::FillRect(hdc, &clip, b);
        ::DeleteObject(b);
        HBRUSH k = ::CreateSolidBrush(GetTransColor());
        ::FillRect(hdc, &hole, k);
        ::DeleteObject(k);
        ::SetPixel(hdc, 40, 5, kMagenta);
    }
    void SetVisible(RECT r) { m_rcVisible = r; }
    int draws = 0;
    RECT hole{10, 10, 30, 30};
};

class AnimateTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ResetDisplayMode();
        FreeGlobalDC(); // other suites change the screen
    }
    static void FillScreen(RECT r, COLORREF c) {
        HDC dc = ::GetDC(nullptr);
        HBRUSH b = ::CreateSolidBrush(c);
        ::FillRect(dc, &r, b);
        ::DeleteObject(b);
        ::ReleaseDC(nullptr, dc);
    }
};

constexpr COLORREF kUnder = RGB(200, 100, 40);

TEST_F(AnimateTest, OpaqueFaceWithKeyHoleOverTheScreen) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    FaceWnd w;
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 30, 100, 80), 1);
    Pump();
    EXPECT_EQ(ScreenPixel(20 + 50, 30 + 50), kFace);
    EXPECT_EQ(ScreenPixel(20 + 15, 30 + 15), kUnder) << "the key colour shows what lies beneath";
    EXPECT_EQ(ScreenPixel(20 + 40, 30 + 5), kUnder) << "magenta is the default key";
}

TEST_F(AnimateTest, AlphaBlendsTheFaceOverTheSnapshotByTheFormula) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    FaceWnd w;
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 30, 100, 80), 1);
    Pump();
    // The screen now shows the window; the blend must use the snapshot taken before.
    for (int alpha : {128, 1, 254, 0}) {
        w.SetAlpha(alpha, 1);
        const COLORREF expect = alpha ? Blend(kFace, kUnder, alpha) : kUnder;
        EXPECT_EQ(ScreenPixel(70, 80), expect) << "alpha " << alpha;
        EXPECT_EQ(ScreenPixel(35, 45), kUnder) << "keyed pixels stay the background";
    }
}

TEST_F(AnimateTest, WithoutTransparencyTheKeyColourIsPainted) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    FaceWnd w;
    w.SetTrans(0);
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 30, 100, 80), 1);
    Pump();
    EXPECT_EQ(ScreenPixel(35, 45), kMagenta) << "opaque: the content is copied straight";
    w.SetAlpha(64, 1);
    EXPECT_EQ(ScreenPixel(35, 45), Blend(kMagenta, kUnder, 64));
    EXPECT_EQ(ScreenPixel(70, 80), Blend(kFace, kUnder, 64));
}

TEST_F(AnimateTest, AnotherKeyColourSurvivesAResize) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    FaceWnd w;
    w.SetTransColor(RGB(0, 0, 255));
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 30, 100, 80), 1);
    Pump();
    EXPECT_EQ(ScreenPixel(35, 45), kUnder) << "the blue hole is transparent";
    EXPECT_EQ(ScreenPixel(60, 35), kMagenta) << "magenta is an ordinary colour now";
    ::MoveWindow(w.GetSafeHwnd(), 20, 30, 120, 90, TRUE);
    Pump();
    ASSERT_NE(w.GetContentGDC()->GetGDib(), nullptr);
    EXPECT_EQ(w.GetContentGDC()->Width(), 120);
    const RGBQUAD key = w.GetContentGDC()->GetGDib()->GetTransColor();
    EXPECT_EQ(RGB(key.rgbRed, key.rgbGreen, key.rgbBlue), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(35, 45), kUnder);
}

TEST_F(AnimateTest, BlendsOverTheBackBufferOfTheWindowBeneath) {
    LoggingWinza under;
    under.SetDoubleBuffer(1);
    under.color = RGB(0, 0, 200);
    ASSERT_EQ(under.Create(nullptr, u"u", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
    Pump();
    // Change the back buffer only: the blend must read it, not the screen.
    const COLORREF buffered = RGB(60, 160, 220);
    under.GetGDC()->GetGDib()->FillRect(0, 0, 240, 320, buffered);
    FaceWnd w;
    w.SetAlpha(100, 0);
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 30, 100, 80, nullptr, 0, &under),
              1);
    Pump();
    EXPECT_EQ(w.GetBackGDC(), under.GetGDC());
    EXPECT_EQ(ScreenPixel(70, 80), Blend(kFace, buffered, 100));
    EXPECT_EQ(ScreenPixel(35, 45), buffered);
}

TEST_F(AnimateTest, ShowingTakesAFreshSnapshot) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    FaceWnd w;
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP, 20, 30, 100, 80), 1);
    const COLORREF later = RGB(33, 66, 99);
    FillScreen(RECT{0, 0, 240, 320}, later);
    w.ShowWindow(SW_SHOW);
    Pump();
    EXPECT_EQ(ScreenPixel(35, 45), later);
}

TEST_F(AnimateTest, ChildPositionIsTakenFromTheParentsClientArea) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    LoggingWinza parent;
    parent.color = RGB(5, 5, 5);
    ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 40, 50, 150, 150), 1);
    Pump();
    FaceWnd w;
    ASSERT_EQ(w.Create(parent.GetSafeHwnd(), u"a", WS_CHILD | WS_VISIBLE, 10, 10, 60, 60), 1);
    Pump();
    ASSERT_NE(w.GetBackGDC(), nullptr);
    EXPECT_EQ(w.GetBackGDC()->GetOrigin().x, 50);
    EXPECT_EQ(w.GetBackGDC()->GetOrigin().y, 60);
    EXPECT_EQ(ScreenPixel(50 + 15, 60 + 15), RGB(5, 5, 5)) << "the parent shows in the hole";
}

TEST_F(AnimateTest, AlphaIsClampedAndIgnoredWhenNotAnimated) {
    FaceWnd w;
    w.SetAlpha(300, 1);
    EXPECT_EQ(w.GetAlpha(), 255);
    w.SetAlpha(-4, 0);
    EXPECT_EQ(w.GetAlpha(), 0);
    FaceWnd still;
    still.SetAnimate(0);
    still.SetAlpha(100, 1);
    EXPECT_EQ(still.GetAlpha(), 255);
}

TEST_F(AnimateTest, NotAnimatedPaintsThroughTheBackBufferWithoutBlending) {
    FillScreen(RECT{0, 0, 240, 320}, kUnder);
    FaceWnd w;
    w.SetAnimate(0);
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 30, 100, 80), 1);
    Pump();
    EXPECT_EQ(w.GetBackGDC(), nullptr);
    EXPECT_EQ(w.GetContentGDC()->GetSafeHdc(), nullptr);
    ASSERT_NE(w.GetGDC(), nullptr);
    EXPECT_GE(w.draws, 1);
    EXPECT_EQ(ScreenPixel(70, 80), kFace);
    EXPECT_EQ(ScreenPixel(35, 45), kMagenta) << "no key transparency";
    FaceWnd direct;
    direct.SetAnimate(0);
    direct.SetDoubleBuffer(0);
    ASSERT_EQ(direct.Create(nullptr, u"d", WS_POPUP | WS_VISIBLE, 150, 200, 60, 60), 1);
    Pump();
    EXPECT_EQ(direct.GetGDC(), nullptr);
    EXPECT_EQ(ScreenPixel(150 + 15, 200 + 15), kMagenta);
}

TEST_F(AnimateTest, PictureBackgroundWithALineWhereThePictureEnds) {
    GDib picture;
    ASSERT_TRUE(picture.Create(60, 60, 24));
    const COLORREF paper = RGB(250, 240, 200);
    picture.SetBackColor(paper);
    picture.FillRect(5, 7, 1, 1, RGB(1, 2, 3)); // top-down, unlike SetPixelColor
    FaceWnd w;
    w.hole = RECT{0, 0, 30, 25};
    const RECT at{50, 50, 110, 110}; // where the picture lies on the screen
    w.SetVisible(at);
    w.SetBackColor(RGB(255, 255, 255), 0);
    w.SetLineColor(RGB(0, 0, 250), 0);
    w.SetAlpha(255, 0);
    // The window starts above and left of the picture, so both its edges lie inside.
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 40, 40, 30, 30, nullptr, &picture, at),
              1);
    Pump();
    EXPECT_EQ(w.GetBackGDC(), nullptr);
    // Screen (55, 55) is window pixel (15, 15) and picture pixel (5, 5).
    EXPECT_EQ(ScreenPixel(55, 55), paper);
    EXPECT_EQ(ScreenPixel(55, 57), RGB(1, 2, 3)) << "the picture lies 1:1 at its place";
    EXPECT_EQ(ScreenPixel(45, 45), RGB(255, 255, 255)) << "outside the picture: back colour";
    EXPECT_EQ(ScreenPixel(60, 49), RGB(0, 0, 250)) << "the edge along the top";
    EXPECT_EQ(ScreenPixel(49, 60), RGB(0, 0, 250)) << "the edge along the left";
    EXPECT_EQ(ScreenPixel(49, 49), RGB(0, 0, 250)) << "the corner";
    EXPECT_EQ(ScreenPixel(60, 40 + 29), kFace);
    // Only the visible part shows.
    w.SetVisible(RECT{50, 50, 110, 56});
    w.Invalidate(0);
    EXPECT_EQ(ScreenPixel(55, 55), paper);
    EXPECT_EQ(ScreenPixel(55, 57), RGB(255, 255, 255));
}

TEST_F(AnimateTest, PictureWithinTheWholeWindowDrawsNoEdge) {
    GDib picture;
    ASSERT_TRUE(picture.Create(100, 100, 24));
    picture.SetBackColor(RGB(90, 90, 90));
    FaceWnd w;
    w.SetVisible(RECT{0, 0, 240, 320});
    w.SetLineColor(RGB(0, 0, 250), 0);
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 20, 20, 40, 40, nullptr, &picture,
                       RECT{0, 0, 100, 100}),
              1);
    Pump();
    EXPECT_EQ(ScreenPixel(20, 20), kFace);
    EXPECT_EQ(ScreenPixel(20 + 10, 20 + 10), RGB(90, 90, 90)) << "no edge at the hole's corner";
    EXPECT_EQ(ScreenPixel(20 + 9, 20 + 9), kFace);
}

TEST_F(AnimateTest, NullPictureIsRefusedAndOwnedSnapshotGoesWithTheWindow) {
    FaceWnd w;
    EXPECT_EQ(w.Create(nullptr, u"a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, RECT{0, 0, 1, 1}),
              0);
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP, 0, 0, 10, 10), 1);
    EXPECT_NE(w.GetBackGDC(), nullptr);
    w.Destroy();
    EXPECT_EQ(w.GetBackGDC(), nullptr);
    EXPECT_EQ(w.GetContentGDC()->GetSafeHdc(), nullptr);
}

TEST_F(AnimateTest, SettersRepaintOnlyWhenAsked) {
    FaceWnd w;
    ASSERT_EQ(w.Create(nullptr, u"a", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50), 1);
    Pump();
    const int before = w.draws;
    w.SetBackColor(RGB(1, 1, 1), 0);
    w.SetLineColor(RGB(2, 2, 2), 0);
    w.SetAlpha(10, 0);
    EXPECT_EQ(w.draws, before);
    EXPECT_EQ(w.GetBackColor(), RGB(1, 1, 1));
    EXPECT_EQ(w.GetLineColor(), RGB(2, 2, 2));
    w.SetBackColor(RGB(3, 3, 3), 1);
    EXPECT_EQ(w.draws, before + 1);
    EXPECT_EQ(GAnimateWnd().GetClassNameW(), std::u16string(u"GAnimateWnd"));
    EXPECT_EQ(GAnimateWnd().IsDoubleBuffer(), 1);
}

} // namespace
