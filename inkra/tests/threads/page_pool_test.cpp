// Page records from the shared pool: the user-interface thread and the preview renderer
// create and free pages (with their objects) at the same time.
#include "ink_page_support.h"

#include <thread>

namespace {

void Churn(int rounds, int* failures) {
    for (int r = 0; r < rounds; ++r) {
        InkraPage* pages[8];
        for (InkraPage*& page : pages) {
            page = AllocInkraPage();
            if (!page) {
                ++*failures;
                return;
            }
            page->AttachDrawMan(nullptr, nullptr, nullptr, tagRECT{0, 0, 1, 1}, 1, 1, 0);
            for (int i = 0; i < 4; ++i)
                page->AddGDObject(inktest::MakeStroke(eDOPen, tagRECT{i, i, i + 5, i + 5}));
        }
        for (InkraPage* page : pages) {
            if (page->GetTotalGDObjectNum() != 4 || page->GetAttachCount() != 1)
                ++*failures;
            if (page->DetachDrawMan() != 0)
                ++*failures;
            FreeInkraPage(page);
        }
    }
}

TEST(PagePool, TwoThreadsAllocateAndFreePagesWithObjects) {
    int failuresA = 0, failuresB = 0;
    std::thread a(Churn, 300, &failuresA);
    std::thread b(Churn, 300, &failuresB);
    a.join();
    b.join();
    EXPECT_EQ(failuresA, 0);
    EXPECT_EQ(failuresB, 0);
}

TEST(PagePool, FreshPageIsEmptyAndDetached) {
    InkraPage* page = AllocInkraPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetTotalGDObjectNum(), 0);
    EXPECT_EQ(page->GetBackTextObjectNum(), 0);
    EXPECT_EQ(page->GetAttachCount(), 0);
    EXPECT_EQ(page->GetBufferBlock(), nullptr);
    FreeInkraPage(page);
    FreeInkraPage(nullptr);
}

} // namespace
