// A draw manager with a buffer and one page, for the draw-manager tests.
#pragma once

#include "inkra/InkraMan.h"

#include <gtest/gtest.h>

#include <cstring>

namespace inktest {

class ManFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;
    static constexpr COLORREF kBack = RGB(250, 240, 230);

    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc, nullptr);
        ASSERT_EQ(man.InitBuffer(dc, kBack, kWidth, kHeight), 1);
        ASSERT_EQ(man.SetCurPage(-1, 0), 0);
        man.SetUseCompensate(0);
    }
    void TearDown() override {
        man.ReleaseBuffer();
        DeleteDC(dc);
    }

    const BYTE* Pixel(int x, int y) {
        GDib* dib = man.GetBufferBlock();
        return dib->GetBits() + static_cast<size_t>(dib->Height() - 1 - y) * dib->GetLineSize() +
               3 * x;
    }
    bool IsBack(int x, int y) {
        const BYTE* p = Pixel(x, y);
        return p[0] == GetBValue(kBack) && p[1] == GetGValue(kBack) && p[2] == GetRValue(kBack);
    }
    bool BufferIsBack() {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (!IsBack(x, y))
                    return false;
        return true;
    }
    bool MaskClear() {
        const BYTE* m = man.GetMaskBlock();
        for (int i = 0; i < kWidth * kHeight; ++i)
            if (m[i])
                return false;
        return true;
    }
    // Pen down at the first point, a move to each further one, pen up at the last.
    tagRECT Stroke(std::initializer_list<POINT> points, int pressure = 255) {
        tagRECT all{0, 0, 0, 0};
        const POINT* p = points.begin();
        auto add = [&](tagRECT r) {
            if (r.right <= r.left || r.bottom <= r.top)
                return;
            if (all.right <= all.left) {
                all = r;
                return;
            }
            all.left = r.left < all.left ? r.left : all.left;
            all.top = r.top < all.top ? r.top : all.top;
            all.right = r.right > all.right ? r.right : all.right;
            all.bottom = r.bottom > all.bottom ? r.bottom : all.bottom;
        };
        add(man.LButtonDown(p->x, p->y, pressure));
        for (++p; p != points.end(); ++p)
            add(man.MouseMove(p->x, p->y, pressure));
        const POINT& last = *(points.end() - 1);
        add(man.LButtonUp(last.x, last.y, pressure));
        return all;
    }

    HDC dc = nullptr;
    InkraMan man;
};

} // namespace inktest
