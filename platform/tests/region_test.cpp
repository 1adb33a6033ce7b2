// Regions: canonical banded form, the set operations against a pixel model, and the handle API.
#include "../src/region.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>

using plat::Region;

namespace {

std::vector<RECT> Rects(const Region& r) {
    return r.Rects();
}

bool Same(const std::vector<RECT>& a, std::initializer_list<RECT> b) {
    if (a.size() != b.size())
        return false;
    size_t i = 0;
    for (const RECT& r : b) {
        const RECT& x = a[i++];
        if (x.left != r.left || x.top != r.top || x.right != r.right || x.bottom != r.bottom)
            return false;
    }
    return true;
}

std::string Dump(const Region& r) {
    std::string s;
    for (const RECT& x : r.Rects())
        s += "(" + std::to_string(x.left) + "," + std::to_string(x.top) + "," +
             std::to_string(x.right) + "," + std::to_string(x.bottom) + ")";
    return s;
}

// The invariants that make the form canonical.
void ExpectCanonical(const Region& r) {
    const auto& v = r.Rects();
    for (size_t i = 0; i < v.size(); ++i) {
        ASSERT_LT(v[i].left, v[i].right);
        ASSERT_LT(v[i].top, v[i].bottom);
        if (i == 0)
            continue;
        const RECT &p = v[i - 1], &c = v[i];
        if (p.top == c.top) {
            ASSERT_EQ(p.bottom, c.bottom) << Dump(r);
            ASSERT_LT(p.right, c.left) << "touching or overlapping spans " << Dump(r);
        } else {
            ASSERT_LE(p.bottom, c.top) << "overlapping bands " << Dump(r);
        }
    }
    // Adjacent bands with identical spans must have been merged.
    size_t start = 0;
    std::vector<std::pair<size_t, size_t>> bands;
    for (size_t i = 1; i <= v.size(); ++i)
        if (i == v.size() || v[i].top != v[start].top) {
            bands.emplace_back(start, i);
            start = i;
        }
    for (size_t b = 1; b < bands.size(); ++b) {
        auto [p0, p1] = bands[b - 1];
        auto [c0, c1] = bands[b];
        if (v[p0].bottom != v[c0].top || p1 - p0 != c1 - c0)
            continue;
        bool same = true;
        for (size_t k = 0; k < p1 - p0; ++k)
            same = same && v[p0 + k].left == v[c0 + k].left && v[p0 + k].right == v[c0 + k].right;
        ASSERT_FALSE(same) << "unmerged bands " << Dump(r);
    }
}

constexpr int kGrid = 24;
using Bits = std::array<bool, kGrid * kGrid>;

Bits Paint(const Region& r) {
    Bits b{};
    for (const RECT& x : r.Rects())
        for (int y = x.top; y < x.bottom; ++y)
            for (int c = x.left; c < x.right; ++c)
                if (y >= 0 && y < kGrid && c >= 0 && c < kGrid)
                    b[y * kGrid + c] = true;
    return b;
}

} // namespace

TEST(Region, EmptyAndInvertedRectanglesGiveTheEmptyRegion) {
    EXPECT_TRUE(Region(RECT{5, 5, 5, 10}).IsEmpty());
    EXPECT_TRUE(Region(RECT{5, 5, 2, 10}).IsEmpty());
    EXPECT_EQ(Region().Complexity(), NULLREGION);
    EXPECT_EQ(Region(RECT{0, 0, 1, 1}).Complexity(), SIMPLEREGION);
    RECT box = Region().Box();
    EXPECT_EQ(box.left | box.top | box.right | box.bottom, 0);
}

TEST(Region, UnionOfOverlappingRectanglesIsBanded) {
    Region r = Region::Combine(Region(RECT{0, 0, 10, 10}), Region(RECT{5, 5, 15, 15}), RGN_OR);
    EXPECT_TRUE(Same(Rects(r), {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}})) << Dump(r);
    EXPECT_EQ(r.Complexity(), COMPLEXREGION);
    RECT box = r.Box();
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 15);
    EXPECT_EQ(box.right, 15);
}

TEST(Region, TouchingRectanglesMergeBothWays) {
    Region side = Region::Combine(Region(RECT{0, 0, 5, 5}), Region(RECT{5, 0, 9, 5}), RGN_OR);
    EXPECT_TRUE(Same(Rects(side), {{0, 0, 9, 5}})) << Dump(side);
    Region stacked = Region::Combine(Region(RECT{2, 0, 7, 3}), Region(RECT{2, 3, 7, 8}), RGN_OR);
    EXPECT_TRUE(Same(Rects(stacked), {{2, 0, 7, 8}})) << Dump(stacked);
}

TEST(Region, DifferenceCutsAHole) {
    Region r = Region::Combine(Region(RECT{0, 0, 10, 10}), Region(RECT{3, 4, 6, 7}), RGN_DIFF);
    EXPECT_TRUE(Same(Rects(r), {{0, 0, 10, 4}, {0, 4, 3, 7}, {6, 4, 10, 7}, {0, 7, 10, 10}}))
        << Dump(r);
    EXPECT_FALSE(r.Contains(3, 4));
    EXPECT_TRUE(r.Contains(2, 4));
    EXPECT_TRUE(r.Contains(6, 6));
    EXPECT_FALSE(r.Contains(10, 0));
    EXPECT_FALSE(r.Contains(0, 10));
    EXPECT_TRUE(r.Intersects(RECT{2, 5, 4, 6}));
    EXPECT_FALSE(r.Intersects(RECT{3, 4, 6, 7}));
    EXPECT_FALSE(r.Intersects(RECT{4, 5, 4, 9})); // empty
}

TEST(Region, XorOfCrossLeavesArmsWithoutCentre) {
    Region r = Region::Combine(Region(RECT{0, 2, 6, 4}), Region(RECT{2, 0, 4, 6}), RGN_XOR);
    EXPECT_TRUE(Same(Rects(r), {{2, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 4, 6}}))
        << Dump(r);
}

TEST(Region, EqualityDoesNotDependOnConstruction) {
    RECT parts[] = {{0, 0, 4, 4}, {4, 0, 8, 4}, {0, 4, 8, 8}};
    Region a = Region::FromRects(parts, 3);
    Region b(RECT{0, 0, 8, 8});
    EXPECT_TRUE(a == b) << Dump(a);
    Region c = Region(RECT{0, 0, 8, 8}).Subtract(RECT{0, 0, 1, 1});
    EXPECT_TRUE(c != b);
}

TEST(Region, OperationsMatchAPixelModel) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> coord(-2, kGrid + 2);
    auto randomRegion = [&](int n) {
        std::vector<RECT> v;
        for (int i = 0; i < n; ++i) {
            int a = coord(rng), b = coord(rng), c = coord(rng), d = coord(rng);
            v.push_back(RECT{std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)});
        }
        return Region::FromRects(v.data(), v.size());
    };
    for (int iter = 0; iter < 300; ++iter) {
        Region a = randomRegion(1 + iter % 6), b = randomRegion(1 + (iter / 6) % 5);
        ExpectCanonical(a);
        Bits pa = Paint(a), pb = Paint(b);
        for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
            Region r = Region::Combine(a, b, mode);
            ExpectCanonical(r);
            Bits pr = Paint(r);
            for (int i = 0; i < kGrid * kGrid; ++i) {
                bool want = mode == RGN_AND    ? pa[i] && pb[i]
                            : mode == RGN_OR   ? pa[i] || pb[i]
                            : mode == RGN_XOR  ? pa[i] != pb[i]
                            : mode == RGN_DIFF ? pa[i] && !pb[i]
                                               : pa[i];
                ASSERT_EQ(pr[i], want) << "mode " << mode << " at " << i % kGrid << "," << i / kGrid
                                       << " a=" << Dump(a) << " b=" << Dump(b);
                ASSERT_EQ(r.Contains(i % kGrid, i / kGrid), want);
            }
        }
    }
}

TEST(RegionApi, HandlesCombineIntoAnyOfTheirOperands) {
    HRGN a = CreateRectRgn(10, 10, 0, 0); // corners in either order
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    RECT box;
    EXPECT_EQ(GetRgnBox(a, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(GetRgnBox(a, &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 15);
    EXPECT_EQ(box.bottom, 15);
    EXPECT_TRUE(PtInRegion(a, 14, 14));
    EXPECT_FALSE(PtInRegion(a, 14, 2));
    RECT probe{11, 0, 20, 4};
    EXPECT_FALSE(RectInRegion(a, &probe));
    EXPECT_EQ(CombineRgn(b, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(b, 7, 7));
    EXPECT_EQ(OffsetRgn(b, 100, 0), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(b, 101, 1));
    EXPECT_EQ(CombineRgn(b, b, nullptr, RGN_COPY), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(b, b, nullptr, RGN_AND), ERROR);
    EXPECT_TRUE(SetRectRgn(b, 0, 0, 0, 5));
    EXPECT_EQ(GetRgnBox(b, &box), NULLREGION);

    HRGN c = CreateRectRgn(0, 0, 10, 10), d = CreateRectRgn(0, 0, 5, 10),
         e = CreateRectRgn(5, 0, 10, 10);
    CombineRgn(d, d, e, RGN_OR);
    EXPECT_TRUE(EqualRgn(c, d));
    for (HRGN h : {a, b, c, d, e})
        EXPECT_TRUE(DeleteObject(h));
    // Deleted handles are refused, never followed.
    EXPECT_EQ(GetRgnBox(a, &box), ERROR);
    EXPECT_EQ(CombineRgn(a, c, d, RGN_OR), ERROR);
    EXPECT_FALSE(PtInRegion(reinterpret_cast<HRGN>(0x1234), 0, 0));
    EXPECT_FALSE(DeleteObject(a));
}
