// Names of the pictures render --all writes.
#include "PadCommands.h"

#include <gtest/gtest.h>

TEST(PageFileName, NumbersThePageBeforeThePngExtension) {
    EXPECT_EQ(padtool::PageFileName("out.png", 1), "out-1.png");
    EXPECT_EQ(padtool::PageFileName("dir/Out.PNG", 12), "dir/Out-12.PNG");
    EXPECT_EQ(padtool::PageFileName("out", 2), "out-2.png");
    EXPECT_EQ(padtool::PageFileName("out.jpg", 2), "out.jpg-2.png");
    EXPECT_EQ(padtool::PageFileName("a.b/out", 3), "a.b/out-3.png");
    EXPECT_EQ(padtool::PageFileName("dir/.png", 4), "dir/.png-4.png");
    EXPECT_EQ(padtool::PageFileName(".png", 4), ".png-4.png");
    EXPECT_EQ(padtool::PageFileName("\\My Documents\\p.png", 5), "\\My Documents\\p-5.png");
}
