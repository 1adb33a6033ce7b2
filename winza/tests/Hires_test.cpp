#include "winza/Hires.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Puts a screen of the given size in place and lets the toolkit look at it afresh.
class Screen {
public:
    Screen(int width, int height) {
        plat::CreateScreenSurface(width, height);
        ResetDisplayMode();
    }
    ~Screen() {
        plat::CreateScreenSurface(480, 640);
        ResetDisplayMode();
    }
};

} // namespace

TEST(Hires, HighResolutionPortrait) {
    Screen screen(480, 640);
    EXPECT_EQ(GetDisplayMode(), 4);
    EXPECT_EQ(IsHires(), 1);
    EXPECT_EQ(IsLandscape(), 0);
    EXPECT_EQ(ApplyHires(12), 24);
}

TEST(Hires, LowResolutionLandscape) {
    Screen screen(320, 240);
    EXPECT_EQ(GetDisplayMode(), 3);
    EXPECT_EQ(IsHires(), 0);
    EXPECT_EQ(IsLandscape(), 1);
    EXPECT_EQ(ApplyHires(12), 12);
}

TEST(Hires, EitherSideAbove320MakesHighResolution) {
    {
        Screen screen(640, 240);
        EXPECT_EQ(GetDisplayMode(), 5);
    }
    {
        Screen screen(240, 320);
        EXPECT_EQ(GetDisplayMode(), 2);
    }
}

TEST(Hires, ModeIsFoundOnceUntilReset) {
    Screen screen(240, 320);
    EXPECT_EQ(IsHires(), 0);
    plat::CreateScreenSurface(480, 640);
    EXPECT_EQ(IsHires(), 0); // the first look stands
    ResetDisplayMode();
    EXPECT_EQ(IsHires(), 1);
}
