#include "winza/GVSpinButton.h"
#include "vbutton_test_support.h"

namespace {

class GVSpinButtonTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        spin.Create(RECT{100, 100, 120, 120}, 9);
        spin.SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        host.buttons.push_back(&spin);
        MakeHost(host, RECT{0, 0, 240, 320});
        start = clock.Now();
    }
    // Milliseconds since the press of each note.
    std::vector<int> Times() const {
        std::vector<int> t;
        for (const ButtonNote& n : host.notes)
            t.push_back(static_cast<int>(n.at - start));
        return t;
    }
    GVSpinButton spin;
    ButtonHost host;
    ULONGLONG start = 0;
};

TEST_F(GVSpinButtonTest, EvenLengthGrowsByOneAndTheHalvesShareTheMiddleLine) {
    EXPECT_TRUE(spin.GetFlag(eVBSpin));
    const RECT all = spin.GetRect();
    EXPECT_EQ(all.bottom, 121);
    EXPECT_EQ(all.right, 120);
    const RECT a = spin.GetFirstRect(), b = spin.GetSecondRect();
    EXPECT_EQ(a.top, 100);
    EXPECT_EQ(a.bottom, 111);
    EXPECT_EQ(b.top, 110);
    EXPECT_EQ(b.bottom, 121);
    // An odd length stays.
    spin.SetRect(RECT{0, 0, 10, 15});
    EXPECT_EQ(spin.GetRect().bottom, 15);
    EXPECT_EQ(spin.GetFirstRect().bottom, 8);
    EXPECT_EQ(spin.GetSecondRect().top, 7);
    // Horizontal: the split runs across x.
    GVSpinButton h(3);
    h.SetSpinType(eSpinHorizontal);
    h.SetRect(RECT{0, 0, 30, 12});
    EXPECT_EQ(h.GetRect().right, 31);
    EXPECT_EQ(h.GetRect().bottom, 12);
    EXPECT_EQ(h.GetFirstRect().right, 16);
    EXPECT_EQ(h.GetSecondRect().left, 15);
}

TEST_F(GVSpinButtonTest, HoldingRepeatsAfterTheDelayThenEverySixtyMilliseconds) {
    Down(110, 104); // first half
    EXPECT_TRUE(spin.IsPressedFirst());
    Wait(399);
    EXPECT_TRUE(host.notes.empty());
    // At 400 ms the delay timer only hands over to the repeat timer.
    Wait(1);
    EXPECT_TRUE(host.notes.empty());
    Wait(59);
    EXPECT_TRUE(host.notes.empty());
    Wait(1);
    EXPECT_EQ(Times(), (std::vector<int>{460}));
    Wait(120);
    EXPECT_EQ(Times(), (std::vector<int>{460, 520, 580}));
    for (const ButtonNote& n : host.notes) {
        EXPECT_EQ(n.code, eVBCodeSpinFirst);
        EXPECT_EQ(n.id, 9);
    }
    // Released inside: once more, and nothing after.
    Up(110, 104);
    EXPECT_EQ(host.notes.size(), 4u);
    EXPECT_EQ(host.notes.back().code, eVBCodeSpinFirst);
    Wait(300);
    EXPECT_EQ(host.notes.size(), 4u);
    EXPECT_FALSE(spin.IsPressedFirst());
}

TEST_F(GVSpinButtonTest, ATapSendsOneCodeForItsHalf) {
    Down(110, 117);
    Up(110, 117);
    EXPECT_EQ(host.Codes(), (std::vector<int>{eVBCodeSpinSecond}));
    Wait(600);
    EXPECT_EQ(host.notes.size(), 1u);
}

TEST_F(GVSpinButtonTest, LeavingTheHalfStopsTheRepeatAndComingBackResumesIt) {
    Down(110, 104);
    Wait(470);
    ASSERT_EQ(host.notes.size(), 1u);
    Move(110, 117); // onto the other half
    Wait(300);
    EXPECT_EQ(host.notes.size(), 1u);
    Move(200, 200); // off the button
    Wait(300);
    EXPECT_EQ(host.notes.size(), 1u);
    start = clock.Now();
    Move(111, 103); // back onto the pressed half: the repeat restarts at once with 60 ms
    Wait(60);
    ASSERT_EQ(host.notes.size(), 2u);
    EXPECT_EQ(static_cast<int>(host.notes[1].at - start), 60);
    // Released outside: nothing more.
    Move(200, 200);
    Up(200, 200);
    EXPECT_EQ(host.notes.size(), 2u);
}

TEST_F(GVSpinButtonTest, ReleasingOverTheOtherHalfSendsNothing) {
    Down(110, 104);
    Move(110, 117);
    Up(110, 117);
    EXPECT_TRUE(host.notes.empty());
}

TEST_F(GVSpinButtonTest, DisablingWhileHeldStopsTheRepeat) {
    Down(110, 104);
    Wait(470);
    ASSERT_EQ(host.notes.size(), 1u);
    spin.SetFlag(0, eVBEnabled, nullptr, 0);
    Wait(300);
    EXPECT_EQ(host.notes.size(), 1u);
    spin.SetFlag(1, eVBEnabled, nullptr, 0);
    Up(110, 104);
    EXPECT_EQ(host.notes.size(), 1u);
}

TEST_F(GVSpinButtonTest, OnlyTheTwoSpinTypesSendCodes) {
    spin.SetSpinType(2);
    Down(110, 104);
    Wait(600);
    Up(110, 104);
    EXPECT_TRUE(host.notes.empty());
}

TEST_F(GVSpinButtonTest, PressedHalfTakesThePressedFillAndArrowColour) {
    spin.SetFrameColor(0, RGB(255, 255, 255), RGB(0, 0, 150), RGB(0, 0, 99));
    host.Invalidate(0);
    Pump();
    // Idle: white fill, edges, black arrow apex on the top row of its box.
    EXPECT_EQ(ScreenPixel(102, 102), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(100, 105), RGB(0, 0, 99));
    // Half 100..111: arrow box 4 high at y 103..106, 7 wide at x 106..112; apex (109, 103).
    EXPECT_EQ(ScreenPixel(109, 103), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(106, 106), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(106, 103), RGB(255, 255, 255));
    Down(102, 102);
    EXPECT_EQ(ScreenPixel(102, 102), RGB(0, 0, 150));
    EXPECT_EQ(ScreenPixel(109, 103), RGB(255, 255, 255));
    // The other half stays idle: down arrow apex on its bottom row.
    EXPECT_EQ(ScreenPixel(102, 118), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(109, 116), RGB(0, 0, 0));
    Up(102, 102);
    EXPECT_EQ(ScreenPixel(102, 102), RGB(255, 255, 255));
    spin.SetFlag(0, eVBEnabled, host.GetDC(), 1);
    EXPECT_EQ(ScreenPixel(109, 103), RGB(0x98, 0x98, 0x98));
}

class GVSpinButtonHiresTest : public GVSpinButtonTest {
protected:
    GVSpinButtonHiresTest() {
        screenW = 480;
        screenH = 640;
    }
};

TEST_F(GVSpinButtonHiresTest, OddLengthGrowsAndTheHalvesShareTwoRows) {
    ASSERT_EQ(IsHires(), 1);
    GVSpinButton s(1);
    s.SetRect(RECT{0, 0, 40, 41});
    EXPECT_EQ(s.GetRect().bottom, 42);
    EXPECT_EQ(s.GetFirstRect().bottom, 22);
    EXPECT_EQ(s.GetSecondRect().top, 20);
    s.SetRect(RECT{0, 0, 40, 40});
    EXPECT_EQ(s.GetRect().bottom, 40);
}

} // namespace
