#include "winza/GImageList.h"
#include "winza/GVButton.h"
#include "vbutton_test_support.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

class GVButtonTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        button.Create(RECT{10, 10, 70, 40}, 42);
        button.SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        host.buttons.push_back(&button);
        MakeHost(host, RECT{0, 0, 240, 320});
    }
    void Repaint() {
        host.Invalidate(0);
        Pump();
    }
    GVButton button;
    ButtonHost host;
};

TEST_F(GVButtonTest, PressAndReleaseInsideClicksAndLeavesHover) {
    Down(20, 20);
    EXPECT_EQ(host.Codes(), (std::vector<int>{eVBCodeDown}));
    EXPECT_TRUE(button.GetFlag(eVBTracking));
    EXPECT_TRUE(button.GetFlag(eVBPushed));
    Up(20, 20);
    EXPECT_EQ(host.Codes(), (std::vector<int>{eVBCodeDown, eVBCodeClick}));
    ASSERT_EQ(host.notes.size(), 2u);
    EXPECT_EQ(host.notes[1].id, 42);
    EXPECT_EQ(host.notes[1].from, reinterpret_cast<LPARAM>(&button));
    EXPECT_FALSE(button.GetFlag(eVBTracking | eVBPushed | eVBPress));
    // The cursor is still over the button after the release.
    EXPECT_TRUE(button.GetFlag(eVBHover));
}

TEST_F(GVButtonTest, SlidingOffThenReleasingSendsOnlyTheDown) {
    Down(20, 20);
    Move(120, 120);
    EXPECT_FALSE(button.GetFlag(eVBPushed));
    EXPECT_TRUE(button.GetFlag(eVBTracking));
    Up(120, 120);
    EXPECT_EQ(host.Codes(), (std::vector<int>{eVBCodeDown}));
    EXPECT_FALSE(button.GetFlag(eVBPressState));
}

TEST_F(GVButtonTest, SlidingBackOnBeforeReleasingClicks) {
    Down(20, 20);
    Move(120, 120);
    Move(30, 25);
    EXPECT_TRUE(button.GetFlag(eVBPushed));
    Up(30, 25);
    EXPECT_EQ(host.Codes(), (std::vector<int>{eVBCodeDown, eVBCodeClick}));
}

TEST_F(GVButtonTest, APressStartedElsewhereNeverClicks) {
    Down(150, 150);
    Move(20, 20);
    EXPECT_FALSE(button.GetFlag(eVBPushed));
    Up(20, 20);
    EXPECT_TRUE(host.notes.empty());
}

TEST_F(GVButtonTest, HoverFollowsThePenWhileItIsUp) {
    ButtonHost& h = host;
    const POINT inside{20, 20}, outside{200, 200};
    button.OnMouseMove(h, nullptr, inside, 0);
    EXPECT_TRUE(button.GetFlag(eVBHover));
    button.OnMouseMove(h, nullptr, outside, 0);
    EXPECT_FALSE(button.GetFlag(eVBHover));
}

TEST_F(GVButtonTest, DisabledHiddenAndSeparatorButtonsNeverReact) {
    button.SetFlag(0, eVBEnabled, nullptr, 0);
    Down(20, 20);
    Up(20, 20);
    EXPECT_TRUE(host.notes.empty());
    EXPECT_FALSE(button.GetFlag(eVBTracking | eVBPushed | eVBHover));

    button.SetFlag(1, eVBEnabled, nullptr, 0);
    button.SetFlag(0, eVBVisible, nullptr, 0);
    Down(20, 20);
    Up(20, 20);
    EXPECT_TRUE(host.notes.empty());

    GVButton sep(kSeparatorId);
    EXPECT_TRUE(sep.GetFlag(eVBSeparator));
    sep.SetRect(RECT{100, 100, 101, 130});
    sep.SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    host.buttons = {&sep};
    Down(100, 110);
    Up(100, 110);
    EXPECT_TRUE(host.notes.empty());
    EXPECT_FALSE(sep.GetFlag(eVBTracking | eVBPushed));
}

TEST_F(GVButtonTest, CreateWithTheSeparatorIdMarksASeparator) {
    GVButton b;
    EXPECT_EQ(b.GetID(), -1);
    EXPECT_EQ(b.GetImageIndex(), -1);
    b.Create(RECT{0, 0, 2, 20}, kSeparatorId);
    EXPECT_TRUE(b.GetFlag(eVBSeparator));
    EXPECT_TRUE(b.IsSeparator());
    GVButton c(5, 3);
    EXPECT_FALSE(c.IsSeparator());
    EXPECT_EQ(c.GetImageIndex(), 3);
}

TEST_F(GVButtonTest, SeparatorIsALineInColourFive) {
    SetGLibColor(5, RGB(10, 20, 30));
    GVButton vertical(kSeparatorId);
    vertical.SetRect(RECT{100, 100, 102, 130});
    vertical.SetFlag(1, eVBVisible, nullptr, 0);
    GVButton horizontal(kSeparatorId);
    horizontal.SetFlag(0, eVBSeparator, nullptr, 0);
    horizontal.SetRect(RECT{120, 150, 160, 152});
    horizontal.SetFlag(1, eVBVisible, nullptr, 0);
    host.buttons = {&vertical, &horizontal};
    Repaint();
    EXPECT_EQ(ScreenPixel(100, 100), RGB(10, 20, 30));
    EXPECT_EQ(ScreenPixel(100, 129), RGB(10, 20, 30));
    EXPECT_EQ(ScreenPixel(101, 110), kWhite);
    EXPECT_EQ(ScreenPixel(120, 150), RGB(10, 20, 30));
    EXPECT_EQ(ScreenPixel(159, 150), RGB(10, 20, 30));
    EXPECT_EQ(ScreenPixel(140, 151), kWhite);
}

// The fill and edges of each state, read from the screen.
TEST_F(GVButtonTest, FrameColoursFollowTheState) {
    SetGLibColor(3, RGB(1, 1, 3));
    SetGLibColor(13, RGB(1, 1, 13));
    SetGLibColor(14, RGB(1, 1, 14));
    SetGLibColor(15, RGB(1, 1, 15));
    SetGLibColor(16, RGB(1, 1, 16));
    SetGLibColor(17, RGB(1, 1, 17));
    SetGLibColor(18, RGB(1, 1, 18));
    SetGLibColor(10, RGB(1, 1, 10));
    HDC dc = host.GetDC();
    auto fill = [] { return ScreenPixel(40, 25); };
    auto light = [] { return ScreenPixel(10, 25); };
    auto dark = [] { return ScreenPixel(69, 25); };
    Repaint();
    EXPECT_EQ(fill(), RGB(1, 1, 3));
    EXPECT_EQ(light(), RGB(1, 1, 3));
    button.SetFlag(1, eVBChecked, dc, 1);
    EXPECT_EQ(fill(), RGB(1, 1, 16));
    EXPECT_EQ(light(), RGB(1, 1, 17));
    EXPECT_EQ(dark(), RGB(1, 1, 18));
    button.SetFlag(1, eVBHover, dc, 1);
    EXPECT_EQ(fill(), RGB(1, 1, 10));
    button.SetFlag(1, eVBPushed, dc, 1);
    EXPECT_EQ(fill(), RGB(1, 1, 13));
    EXPECT_EQ(light(), RGB(1, 1, 14));
    EXPECT_EQ(dark(), RGB(1, 1, 15));
    button.SetFlag(0, eVBPushed | eVBChecked | eVBHover, dc, 1);
    button.SetDefBackColor(1, RGB(7, 8, 9));
    Repaint();
    EXPECT_EQ(fill(), RGB(7, 8, 9));
    EXPECT_EQ(dark(), RGB(7, 8, 9));
    // Pushed still wins over a custom background; a custom frame wins over everything.
    button.SetFlag(1, eVBPushed, dc, 1);
    EXPECT_EQ(fill(), RGB(1, 1, 13));
    button.SetFrameColor(1, RGB(50, 0, 0), RGB(60, 0, 0), RGB(70, 0, 0));
    Repaint();
    EXPECT_EQ(fill(), RGB(50, 0, 0));
    EXPECT_EQ(light(), RGB(60, 0, 0));
    EXPECT_EQ(dark(), RGB(70, 0, 0));
}

// A plain face has no edge of its own: hover gives it one in colour 2, and focus a dotted ring
// in colour 5 three pixels inside, so a keyboard user sees where they are.
TEST_F(GVButtonTest, PlainFaceShowsHoverAndFocus) {
    SetGLibColor(2, RGB(2, 2, 2));
    SetGLibColor(3, RGB(3, 3, 3));
    SetGLibColor(5, RGB(5, 5, 5));
    HDC dc = host.GetDC();
    Repaint();
    EXPECT_EQ(ScreenPixel(10, 25), RGB(3, 3, 3));
    EXPECT_EQ(ScreenPixel(13, 25), RGB(3, 3, 3));
    button.SetFlag(1, eVBHover, dc, 1);
    EXPECT_EQ(ScreenPixel(10, 25), RGB(2, 2, 2));
    EXPECT_EQ(ScreenPixel(69, 25), RGB(2, 2, 2));
    EXPECT_EQ(ScreenPixel(40, 25), RGB(3, 3, 3));
    button.SetFlag(0, eVBHover, dc, 1);
    button.SetFlag(1, eVBFocus, dc, 1);
    EXPECT_EQ(ScreenPixel(10, 25), RGB(3, 3, 3));
    // Dotted: every other pixel along the ring's top edge.
    const COLORREF a = ScreenPixel(30, 13), b = ScreenPixel(31, 13);
    EXPECT_TRUE((a == RGB(5, 5, 5)) != (b == RGB(5, 5, 5))) << a << " " << b;
    EXPECT_EQ(ScreenPixel(40, 25), RGB(3, 3, 3));
    // A disabled button shows no hover edge.
    button.SetFlag(0, eVBFocus | eVBEnabled, dc, 1);
    button.SetFlag(1, eVBHover, dc, 1);
    EXPECT_EQ(ScreenPixel(10, 25), RGB(3, 3, 3));
}

TEST_F(GVButtonTest, SetFlagRedrawsOnlyWithAContextAndAChange) {
    SetGLibColor(13, RGB(1, 1, 13));
    SetGLibColor(3, RGB(1, 1, 3));
    Repaint();
    button.SetFlag(1, eVBPushed, nullptr, 1);
    EXPECT_EQ(ScreenPixel(40, 25), RGB(1, 1, 3));
    button.SetFlag(1, eVBPushed, host.GetDC(), 0);
    EXPECT_EQ(ScreenPixel(40, 25), RGB(1, 1, 3));
    button.SetFlag(0, eVBPushed, nullptr, 0);
    button.SetFlag(1, eVBPushed, host.GetDC(), 1);
    EXPECT_EQ(ScreenPixel(40, 25), RGB(1, 1, 13));
}

TEST_F(GVButtonTest, InvisibleButtonsAndButtonsOutsideTheClipDrawNothing) {
    SetGLibColor(3, RGB(1, 1, 3));
    HDC dc = host.GetDC();
    FillSolidRect(dc, 0, 0, 240, 320, kWhite);
    button.Draw(dc, RECT{100, 100, 200, 200});
    EXPECT_EQ(ScreenPixel(40, 25), kWhite);
    button.SetFlag(0, eVBVisible, nullptr, 0);
    button.Draw(dc, RECT{0, 0, 240, 320});
    EXPECT_EQ(ScreenPixel(40, 25), kWhite);
    button.SetFlag(1, eVBVisible, nullptr, 0);
    button.Draw(dc, RECT{60, 30, 61, 31});
    EXPECT_EQ(ScreenPixel(40, 25), RGB(1, 1, 3));
}

// A frame picture of 4 x 2 cells, each one colour, with a magenta key in the caps' corner.
class FramePicture {
public:
    FramePicture() {
        dib.Create(4 * 16, 2 * 16, 24);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 4; ++col)
                dib.FillRect(col * 16, row * 16, 16, 16, Cell(col, row));
        dib.FillRect(0, 0, 1, 1, kMagenta);
        dib.SetTransColor(kMagenta);
    }
    static COLORREF Cell(int col, int row) { return RGB(40 * col + 20, 100 * row + 50, 7); }
    GDib dib;
};

TEST_F(GVButtonTest, FrameImageCellFollowsTheState) {
    FramePicture pic;
    button.SetFrameImage(&pic.dib);
    HDC dc = host.GetDC();
    Repaint();
    EXPECT_EQ(ScreenPixel(40, 25), FramePicture::Cell(0, 0));
    EXPECT_EQ(ScreenPixel(12, 25), FramePicture::Cell(0, 0)); // left cap
    EXPECT_EQ(ScreenPixel(68, 25), FramePicture::Cell(0, 0)); // right cap
    // The key colour of the cap lets what lies beneath show.
    EXPECT_EQ(ScreenPixel(10, 10), kWhite);
    button.SetFlag(1, eVBHover, dc, 1);
    EXPECT_EQ(ScreenPixel(40, 25), FramePicture::Cell(3, 0));
    button.SetFlag(1, eVBFocus, dc, 1);
    EXPECT_EQ(ScreenPixel(40, 25), FramePicture::Cell(1, 0));
    button.SetFlag(1, eVBPushed, dc, 1);
    EXPECT_EQ(ScreenPixel(40, 25), FramePicture::Cell(1, 1));
    button.SetFlag(0, eVBEnabled, dc, 1);
    EXPECT_EQ(ScreenPixel(40, 25), FramePicture::Cell(2, 1));
}

// A list of two 16 x 16 cells: red and blue, with a magenta corner.
class TwoIcons {
public:
    TwoIcons() {
        GDib strip;
        strip.Create(32, 16, 24);
        strip.FillRect(0, 0, 16, 16, RGB(255, 0, 0));
        strip.FillRect(16, 0, 16, 16, RGB(0, 0, 255));
        strip.FillRect(0, 0, 2, 2, kMagenta);
        list.CreateImageList(16, 16, &strip, kMagenta);
    }
    GImageList list;
};

TEST_F(GVButtonTest, IconIsCentredAndPushesTheLabelRight) {
    TwoIcons icons;
    SetGLibColor(3, RGB(1, 1, 3));
    button.SetIconDefault(&icons.list);
    button.SetImageIndex(1);
    Repaint();
    // 60 x 30 button: offset min(22, 7) = 7, icon at (17, 17).
    EXPECT_EQ(ScreenPixel(17, 17), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(32, 32), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(16, 17), RGB(1, 1, 3));
    EXPECT_EQ(ScreenPixel(33, 17), RGB(1, 1, 3));
    button.SetLabel(u"Go", DT_LEFT, 0);
    const RECT text = button.GetTextRect(host.GetDC());
    EXPECT_EQ(text.left, 17 + 16 + 7);
    // The key colour is transparent.
    button.SetImageIndex(0);
    button.SetLabel(nullptr, DT_CENTER, 0);
    Repaint();
    EXPECT_EQ(ScreenPixel(17, 17), RGB(1, 1, 3));
    EXPECT_EQ(ScreenPixel(19, 19), RGB(255, 0, 0));
    // An index outside the list draws nothing and leaves the label area whole.
    button.SetImageIndex(2);
    Repaint();
    EXPECT_EQ(ScreenPixel(20, 20), RGB(1, 1, 3));
    button.SetLabel(u"Go", DT_LEFT, 0);
    EXPECT_EQ(button.GetTextRect(host.GetDC()).left, 10);
}

TEST_F(GVButtonTest, DisabledIconsAreHalfOpaqueUnlessADisabledListIsGiven) {
    TwoIcons icons;
    TwoIcons other;
    SetGLibColor(3, RGB(0, 0, 0));
    button.SetIconDefault(&icons.list);
    button.SetImageIndex(0);
    button.SetFlag(0, eVBEnabled, nullptr, 0);
    Repaint();
    const COLORREF half = ScreenPixel(20, 20);
    EXPECT_NEAR(GetRValue(half), 128, 2);
    EXPECT_EQ(GetBValue(half), 0);
    // A disabled list is drawn as it is.
    button.SetIconDisable(&other.list);
    button.SetImageIndex(1);
    Repaint();
    EXPECT_EQ(ScreenPixel(20, 20), RGB(0, 0, 255));
}

TEST_F(GVButtonTest, FocusListWinsWhenFocused) {
    TwoIcons icons;
    GImageList green;
    GDib g;
    g.Create(32, 16, 24);
    g.FillRect(0, 0, 32, 16, RGB(0, 200, 0));
    green.CreateImageList(16, 16, &g, kMagenta);
    button.SetIconDefault(&icons.list);
    button.SetIconFocus(&green);
    button.SetImageIndex(0);
    Repaint();
    EXPECT_EQ(ScreenPixel(20, 20), RGB(255, 0, 0));
    button.SetFlag(1, eVBFocus, host.GetDC(), 1);
    EXPECT_EQ(ScreenPixel(20, 20), RGB(0, 200, 0));
}

// The radio and check-box looks draw the standard icons 6-9.
TEST_F(GVButtonTest, RadioAndCheckLooksUseTheStandardIcons) {
    GImageList* standard = GetGLibImageList();
    ASSERT_NE(standard, nullptr);
    ASSERT_EQ(standard->GetItemSize(), 10);
    HDC dc = host.GetDC();
    button.SetRect(RECT{10, 10, 30, 30}); // icon at (12, 12)
    button.SetFlag(1, eVBRadio, nullptr, 0);
    Repaint();
    // The chosen radio has a black dot where the empty one is white.
    EXPECT_EQ(ScreenPixel(12 + 7, 12 + 7), kWhite);
    button.SetFlag(1, eVBChecked, dc, 1);
    EXPECT_EQ(ScreenPixel(12 + 7, 12 + 7), RGB(0, 0, 0));
    // Tracking shows the chosen look too, before the click lands.
    button.SetFlag(0, eVBChecked, dc, 1);
    button.SetFlag(1, eVBTracking, dc, 1);
    EXPECT_EQ(ScreenPixel(12 + 7, 12 + 7), RGB(0, 0, 0));

    button.SetFlag(0, eVBRadio | eVBTracking, nullptr, 0);
    button.SetFlag(1, eVBCheckBox, nullptr, 0);
    Repaint();
    COLORREF unchecked[16];
    for (int x = 0; x < 16; ++x)
        unchecked[x] = ScreenPixel(12 + x, 12 + 8);
    button.SetFlag(1, eVBChecked, dc, 1);
    int changed = 0;
    for (int x = 0; x < 16; ++x)
        changed += ScreenPixel(12 + x, 12 + 8) != unchecked[x];
    EXPECT_GT(changed, 0);
    // What was drawn is exactly the standard cell 9.
    GDib probe;
    probe.Create(16, 16, 24);
    probe.SetBackColor(kWhite);
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, probe.GetSafeHandle());
    FillSolidRect(mem, 0, 0, 16, 16, GetGLibColor(16));
    standard->Draw(mem, 0, 0, 9, 255, 1);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    for (int y = 0; y < 16; y += 3)
        for (int x = 0; x < 16; x += 3)
            EXPECT_EQ(ScreenPixel(12 + x, 12 + y), probe.GetPixelColor(x, y)) << x << "," << y;
}

TEST_F(GVButtonTest, LabelIsCentredAndShortenedForADropDown) {
    HFONT font = ::CreateFontW(14, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 5, 0, u"Tahoma");
    HDC dc = host.GetDC();
    HGDIOBJ old = ::SelectObject(dc, font);
    button.SetLabel(u"Menu", DT_LEFT, 3);
    const RECT plain = button.GetTextRect(dc);
    EXPECT_EQ(plain.left, 13);
    EXPECT_EQ(plain.right, 67);
    RECT measure{0, 0, 1000, 1000};
    ::DrawTextW(dc, u"Menu", -1, &measure, DT_LEFT | DT_CALCRECT);
    const int textH = measure.bottom - measure.top;
    // Content height 30 is even: one pixel above the centre.
    EXPECT_EQ(plain.top, 10 + (30 - textH) / 2 - 1);
    EXPECT_EQ(plain.bottom - plain.top, textH);
    button.SetFlag(1, eVBDropDown, nullptr, 0);
    EXPECT_EQ(button.GetTextRect(dc).right, 67 - 12);
    button.SetRect(RECT{10, 10, 70, 41});
    EXPECT_EQ(button.GetTextRect(dc).top, 10 + (31 - textH) / 2);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    // Null and empty labels leave the button without one.
    button.SetLabel(u"", DT_LEFT, 0);
    EXPECT_EQ(button.GetLabel(), nullptr);
}

TEST_F(GVButtonTest, LabelTakesTheTextColourOfItsState) {
    HFONT font = ::CreateFontW(20, 0, 0, 0, 700, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 5, 0, u"Tahoma");
    host.SetFont(font);
    SetGLibColor(3, kWhite);
    button.SetLabel(u"HH", DT_CENTER, 0);
    button.SetTextColor(RGB(200, 0, 0), RGB(0, 0, 200));
    auto count = [](COLORREF c) {
        int n = 0;
        for (int y = 11; y < 39; ++y)
            for (int x = 11; x < 69; ++x)
                n += ScreenPixel(x, y) == c;
        return n;
    };
    Repaint();
    EXPECT_GT(count(RGB(200, 0, 0)), 10);
    EXPECT_EQ(count(RGB(0, 0, 200)), 0);
    button.SetFlag(0, eVBEnabled, nullptr, 0);
    Repaint();
    EXPECT_EQ(count(RGB(200, 0, 0)), 0);
    EXPECT_GT(count(RGB(0, 0, 200)), 10);
    host.SetFont(nullptr);
    ::DeleteObject(font);
}

TEST_F(GVButtonTest, DropDownDrawsADownArrowAtTheRight) {
    SetGLibColor(3, kWhite);
    button.SetFlag(1, eVBDropDown, nullptr, 0);
    Repaint();
    // Box 10 wide ending 2 from the right (x 58..67), 4 high centred (y 23..26); apex on the
    // bottom row at the middle column 63, top row 7 wide.
    EXPECT_EQ(ScreenPixel(63, 26), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(60, 23), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(66, 23), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(59, 23), kWhite);
    EXPECT_EQ(ScreenPixel(62, 26), kWhite);
    EXPECT_EQ(ScreenPixel(63, 27), kWhite);
}

class GVButtonHiresTest : public GVButtonTest {
protected:
    GVButtonHiresTest() {
        screenW = 480;
        screenH = 640;
    }
    void SetUp() override {
        ToolkitTest::SetUp();
        button.Create(RECT{20, 20, 140, 80}, 7);
        button.SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        host.buttons.push_back(&button);
        MakeHost(host, RECT{0, 0, 480, 640});
    }
};

TEST_F(GVButtonHiresTest, EdgesAndCapsDoubleOnALargeScreen) {
    ASSERT_EQ(IsHires(), 1);
    SetGLibColor(14, RGB(1, 1, 14));
    SetGLibColor(13, RGB(1, 1, 13));
    button.SetFlag(1, eVBPushed, nullptr, 0);
    Repaint();
    EXPECT_EQ(ScreenPixel(20, 50), RGB(1, 1, 14));
    EXPECT_EQ(ScreenPixel(21, 50), RGB(1, 1, 14));
    EXPECT_EQ(ScreenPixel(22, 50), RGB(1, 1, 13));
    GImageList* standard = GetGLibImageList();
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard->GetItemWidth(), 32);
    EXPECT_EQ(standard->GetItemSize(), 10);
}

} // namespace
