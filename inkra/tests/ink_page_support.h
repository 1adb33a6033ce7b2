// Pages and strokes for the page and draw-manager tests.
#pragma once

#include "inkra/InkraPage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace inktest {

inline GWPOINT Pt(double x, double y, double width = 1.0, BYTE alpha = 255) {
    GWPOINT p{};
    p.x = static_cast<LONG>(x * 65536.0);
    p.y = static_cast<LONG>(y * 65536.0);
    p.width = static_cast<LONG>(width * 65536.0);
    p.alpha = alpha;
    return p;
}

// A stroke from the pool with the given points and bounds (page coordinates).
inline GDObject* MakeStroke(eDOStrokeType type, std::vector<GWPOINT> points, tagRECT bounds,
                            COLORREF colour = 0) {
    GDObject* object = AllocGDObject();
    object->kind = DO_STROKE;
    object->strokeType = type;
    object->alpha = 255;
    object->SetColor(colour);
    object->bounds = bounds;
    object->pointCount = static_cast<WORD>(points.size());
    object->SetPointData(points.empty() ? nullptr : points.data());
    return object;
}

inline GDObject* MakeStroke(eDOStrokeType type, tagRECT bounds) {
    return MakeStroke(type, {Pt(bounds.left, bounds.top), Pt(bounds.right, bounds.bottom)}, bounds);
}

// Buffer, back block and mask of one size, and a page attached to them.
class PageFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override {
        ASSERT_EQ(buffer.Create(kWidth, kHeight, 24), 1);
        ASSERT_EQ(back.Create(kWidth, kHeight, 24), 1);
        back.SetBackColor(RGB(200, 210, 220), 255);
        buffer.CopyDib(&back);
        mask.assign(static_cast<size_t>(kWidth) * kHeight, 0);
        MatrixIdentity(&identity);
        page.AttachDrawMan(&buffer, &back, mask.data(), tagRECT{0, 0, kWidth, kHeight},
                           INK_LINE_FACTOR, INK_DIVIDE_FACTOR, 0);
    }
    void TearDown() override {
        while (page.GetAttachCount() > 0)
            page.DetachDrawMan();
        page.RemoveAllGDObject();
        page.RemoveAllBackTextObject();
    }

    BYTE& MaskAt(int x, int y) { return mask[static_cast<size_t>(y) * kWidth + x]; }
    bool MaskClear() const {
        for (BYTE m : mask)
            if (m)
                return false;
        return true;
    }
    // Blue, green, red of picture pixel (x, y).
    const BYTE* Pixel(const GDib& dib, int x, int y) const {
        return dib.GetBits() + static_cast<size_t>(dib.Height() - 1 - y) * dib.GetLineSize() +
               3 * x;
    }

    GDib buffer;
    GDib back;
    std::vector<BYTE> mask;
    MATRIX identity;
    InkraPage page;
};

inline bool SameRect(const tagRECT& a, const tagRECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace inktest
