// A block made ready on another thread: handed over once, only when large enough.
#include "scribbo/WarmBlock.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(WarmBlock, GivesTheBlockMadeReadyOnceAndOnlyWhenLargeEnough) {
    WarmBlock warm;
    size_t capacity = 0;
    EXPECT_EQ(warm.Take(1, &capacity), nullptr) << "nothing made ready";

    warm.Prepare(4096);
    warm.Prepare(1 << 20); // one at a time: the first stays
    EXPECT_EQ(warm.IsPending(), 1);
    std::unique_ptr<BYTE[]> block = warm.Take(4000, &capacity);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(capacity, 4096u);
    EXPECT_TRUE(std::all_of(block.get(), block.get() + 4096, [](BYTE b) { return b == 0; }));
    EXPECT_EQ(warm.IsPending(), 0);
    EXPECT_EQ(warm.Take(1, &capacity), nullptr) << "handed over once";

    // Too small for what is needed: let go, so a larger one can be made.
    warm.Prepare(100);
    EXPECT_EQ(warm.Take(101, &capacity), nullptr);
    EXPECT_EQ(warm.IsPending(), 0);
}
