// The program's own bitmaps are built into it, with the sizes start-up cuts them by.
#include <platform/module.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct Expected {
    WORD id;
    int width, height;
};

TEST(ProgramBitmaps, LoadWithTheSizesStartUpExpects) {
    // 121: the 10 x 10 grid of 16-pixel toolbar images used when toolbar.bmp is missing;
    // 124: the button frame, four states by two looks; 126: the 32-pixel program icon.
    const Expected cases[] = {{121, 160, 160}, {124, 128, 44}, {126, 32, 32}};
    for (const Expected& c : cases) {
        HBITMAP bitmap = LoadBitmapW(plat::ThisModule(), MAKEINTRESOURCEW(c.id));
        ASSERT_NE(bitmap, nullptr) << c.id;
        BITMAP bm = {};
        EXPECT_EQ(GetObjectW(bitmap, sizeof bm, &bm), int(sizeof bm)) << c.id;
        EXPECT_EQ(bm.bmWidth, c.width) << c.id;
        EXPECT_EQ(bm.bmHeight, c.height) << c.id;
        EXPECT_EQ(bm.bmBitsPixel, 24) << c.id;
        DeleteObject(bitmap);
    }
}

} // namespace
