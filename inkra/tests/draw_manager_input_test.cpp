// The draw manager's pen: strokes built from pen events, dropped points, stroke splitting,
// input compensation, tool parameters and stroke delete.
#include "ink_man_support.h"

#include <vector>

using inktest::ManFixture;

namespace {

using ManPen = ManFixture;

TEST_F(ManPen, PenDownDrawsAFirstPointInPageCoordinates) {
    man.SetPenColor(RGB(0, 0, 255));
    man.SetPenWidth(2 * FIXED_ONE);
    man.SetObjectChanged(0);
    tagRECT r = man.LButtonDown(50, 40, 255);
    // The disc's box: R = ceil(2 + 0.6) = 3 around (50, 40), pixels 47 to 53 and 37 to 43,
    // left made even.
    EXPECT_EQ(r.left, 46);
    EXPECT_EQ(r.top, 37);
    EXPECT_EQ(r.right, 54);
    EXPECT_EQ(r.bottom, 44);
    EXPECT_EQ(Pixel(50, 40)[0], 255);
    EXPECT_EQ(Pixel(50, 40)[2], 0);
    GDObject* object = man.GetCurObject();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->pointCount, 1);
    EXPECT_EQ(object->alpha, 128);
    EXPECT_EQ(object->blue, 255);
    EXPECT_EQ(object->width, 2 * FIXED_ONE);
    EXPECT_EQ(man.IsChangedObject(), 1);
    EXPECT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 1);
    man.LButtonUp(-1, -1, 255);
    ASSERT_NE(object->points, nullptr);
    EXPECT_EQ(object->points[0].x, 50 * FIXED_ONE);
    EXPECT_EQ(object->points[0].y, 40 * FIXED_ONE);
    EXPECT_TRUE(MaskClear());
}

TEST_F(ManPen, MoveWithinOnePixelDrawsAndStoresNothing) {
    man.LButtonDown(50, 40, 255);
    GDib* buffer = man.GetBufferBlock();
    std::vector<BYTE> before(buffer->GetBits(),
                             buffer->GetBits() +
                                 static_cast<size_t>(buffer->GetLineSize()) * buffer->Height());
    tagRECT r = man.MouseMove(51, 40, 255);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(man.GetCurObject()->pointCount, 1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), buffer->GetBits()));
    r = man.MouseMove(52, 40, 255);
    EXPECT_GT(r.right, r.left);
    EXPECT_EQ(man.GetCurObject()->pointCount, 2);
}

TEST_F(ManPen, PenUpAtMinusOneAddsNoFinalPoint) {
    man.LButtonDown(20, 20, 255);
    man.MouseMove(30, 20, 255);
    GDObject* object = man.GetCurObject();
    tagRECT r = man.LButtonUp(-1, -1, 255);
    EXPECT_EQ(r.right - r.left, 0);
    ASSERT_EQ(object->pointCount, 2);
    EXPECT_EQ(object->points[1].x, 30 * FIXED_ONE);
    EXPECT_EQ(man.GetCurObject(), nullptr);
    EXPECT_EQ(man.IsTracking(), 0);
    // Moves after pen-up change nothing.
    EXPECT_EQ(man.MouseMove(60, 60, 255).right, 0);
    EXPECT_EQ(object->pointCount, 2);
}

TEST_F(ManPen, LongStrokeSplitsEvery1024PointsRepeatingTheSplitPosition) {
    // 1 pen-down point, 2496 moves and a pen-up point, each 2 pixels from the last, plus the
    // two repeated split points: 2500 points.
    std::vector<POINT> path;
    for (int row = 0; path.size() < 2498; ++row)
        for (int i = 0; i < 90 && path.size() < 2498; ++i)
            path.push_back(POINT{row % 2 ? 190 - 2 * i : 10 + 2 * i, 5 + (row % 70) * 2});
    man.LButtonDown(path[0].x, path[0].y, 255);
    for (size_t i = 1; i + 1 < path.size(); ++i)
        man.MouseMove(path[i].x, path[i].y, 255);
    man.LButtonUp(path.back().x, path.back().y, 255);
    InkraPage* page = man.GetCurPage();
    ASSERT_EQ(page->GetTotalGDObjectNum(), 3);
    GDObject* first = page->GetGDObject(0);
    GDObject* second = page->GetGDObject(1);
    GDObject* third = page->GetGDObject(2);
    EXPECT_EQ(first->pointCount, 1024);
    EXPECT_EQ(second->pointCount, 1024);
    EXPECT_EQ(third->pointCount, 452);
    EXPECT_EQ(second->points[0].x, first->points[1023].x);
    EXPECT_EQ(second->points[0].y, first->points[1023].y);
    EXPECT_EQ(third->points[0].x, second->points[1023].x);
    EXPECT_EQ(third->points[451].x, path.back().x * FIXED_ONE);
    EXPECT_EQ(third->points[451].y, path.back().y * FIXED_ONE);
}

TEST_F(ManPen, CompensationDriftsByHalfTheVelocityAndPenUpAddsItsIntegerPart) {
    man.SetUseCompensate(1);
    man.LButtonDown(10, 10, 255);
    man.MouseMove(10, 10, 255); // first move: taken as it is, dropped (same place)
    man.MouseMove(40, 10, 255); // velocity 15: at 25
    man.MouseMove(40, 10, 255); // velocity 7.5: at 32.5
    GDObject* object = man.GetCurObject();
    man.LButtonUp(40, 10, 255); // 32.5 + 7 = 39.5
    ASSERT_EQ(object->pointCount, 4);
    EXPECT_EQ(object->points[0].x, 10 * FIXED_ONE);
    EXPECT_EQ(object->points[1].x, 25 * FIXED_ONE);
    EXPECT_EQ(object->points[2].x, 32 * FIXED_ONE + FIXED_ONE / 2);
    EXPECT_EQ(object->points[3].x, 39 * FIXED_ONE + FIXED_ONE / 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(object->points[i].y, 10 * FIXED_ONE);
}

TEST_F(ManPen, CompensationOffTakesEveryPositionAsItIs) {
    EXPECT_EQ(man.SetUseCompensate(0), 0);
    EXPECT_EQ(man.SetUseCompensate(0), 0);
    man.LButtonDown(10, 10, 255);
    man.MouseMove(40, 10, 255);
    man.MouseMove(40, 30, 255);
    GDObject* object = man.GetCurObject();
    man.LButtonUp(40, 30, 255);
    ASSERT_EQ(object->pointCount, 3);
    EXPECT_EQ(object->points[2].x, 40 * FIXED_ONE);
    EXPECT_EQ(object->points[2].y, 30 * FIXED_ONE);
}

using ManTool = ManFixture;

TEST_F(ManTool, ThinStrokesFadeInsteadOfThinning) {
    man.SetPenWidth(4096); // 1/16 pixel: alpha 128 x 8 x 4096 / 65536 = 64
    man.LButtonDown(30, 30, 255);
    man.MouseMove(40, 30, 255);
    GDObject* object = man.GetCurObject();
    man.LButtonUp(-1, -1, 255);
    ASSERT_EQ(object->pointCount, 2);
    EXPECT_EQ(object->points[0].alpha, 64);
    EXPECT_EQ(object->points[1].alpha, 64);
    EXPECT_EQ(object->alpha, 128);
}

TEST_F(ManTool, PencilPiecesLeaveMaskOnlyInTheirBoxAndPenUpClearsIt) {
    man.SetDOStrokeType(eDOPencel);
    man.SetPencelWidth(3 * FIXED_ONE);
    man.SetMaxAlpha(255);
    man.LButtonDown(20, 20, 255);
    // Pieces that hop about, so each box leaves coverage of the earlier ones outside it.
    const POINT moves[] = {{26, 22}, {30, 30}, {24, 36}, {60, 50}, {66, 52}, {30, 30}};
    for (const POINT& to : moves) {
        const tagRECT box = man.MouseMove(to.x, to.y, 255);
        ASSERT_LT(box.left, box.right);
        const BYTE* m = man.GetMaskBlock();
        int outside = 0, inside = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                (in ? inside : outside) += m[y * kWidth + x] != 0;
            }
        EXPECT_EQ(outside, 0) << "after the move to " << to.x << "," << to.y;
        EXPECT_GT(inside, 0);
    }
    man.LButtonUp(30, 30, 255);
    EXPECT_TRUE(MaskClear());
}

TEST_F(ManTool, ColourPenOpacityAndBrushWidthFollowPressure) {
    man.SetDOStrokeType(eDOColorPen);
    man.SetColorPenColor(RGB(9, 8, 7));
    man.LButtonDown(30, 30, 51); // 128 x 51 / 255 = 25
    GDObject* pen = man.GetCurObject();
    man.LButtonUp(-1, -1, 51);
    EXPECT_EQ(pen->points[0].alpha, 25);
    EXPECT_EQ(pen->red, 9);
    EXPECT_EQ(pen->strokeType, eDOColorPen);

    man.SetDOStrokeType(eDOBrush);
    man.LButtonDown(80, 30, 102); // 5.0 x 102 / 255 = 2.0
    GDObject* brush = man.GetCurObject();
    man.LButtonUp(-1, -1, 102);
    EXPECT_NEAR(brush->points[0].width, 2 * FIXED_ONE, 2);
    EXPECT_EQ(brush->points[0].alpha, 128);
}

TEST_F(ManTool, WidthsScaleWithTheViewMatrix) {
    man.ScaleMatrix(2 * FIXED_ONE, 2 * FIXED_ONE);
    man.SetPenWidth(FIXED_ONE);
    tagRECT r = man.LButtonDown(100, 60, 255);
    // Two pixels of radius on the buffer: R = ceil(2 + 0.6) = 3, the last pixel 103.
    EXPECT_EQ(r.right - 1 - 100, 3);
    GDObject* object = man.GetCurObject();
    man.LButtonUp(-1, -1, 255);
    // Stored at half the size, in page units.
    EXPECT_EQ(object->points[0].x, 50 * FIXED_ONE);
    EXPECT_NEAR(object->points[0].width, FIXED_ONE, 2);
    EXPECT_EQ(object->width, FIXED_ONE);
}

using ManDelete = ManFixture;

TEST_F(ManDelete, TrailAcrossTwoStrokesRemovesBothAndLeavesNoTrail) {
    tagRECT upper = Stroke({{20, 40}, {60, 40}, {100, 40}, {120, 40}});
    tagRECT lower = Stroke({{20, 80}, {60, 80}, {100, 80}, {120, 80}});
    ASSERT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 2);
    ASSERT_FALSE(BufferIsBack());
    man.SetDOStrokeType(eDODelStroke);
    tagRECT r = Stroke({{70, 20}, {70, 50}, {70, 70}, {70, 100}});
    EXPECT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 0);
    EXPECT_TRUE(BufferIsBack());
    EXPECT_TRUE(MaskClear());
    EXPECT_EQ(man.GetCurObject(), nullptr);
    // The result covers both strokes and the trail.
    EXPECT_LE(r.left, upper.left);
    EXPECT_LE(r.left, lower.left);
    EXPECT_GE(r.right, upper.right);
    EXPECT_GE(r.right, lower.right);
    EXPECT_LE(r.top, 20);
    EXPECT_GE(r.bottom, 100);
}

TEST_F(ManDelete, TrailMissingEveryStrokeOnlyClearsItself) {
    Stroke({{20, 40}, {120, 40}});
    man.SetDOStrokeType(eDODelStroke);
    man.LButtonDown(70, 60, 255);
    man.MouseMove(70, 80, 255);
    EXPECT_NE(Pixel(70, 70)[0], GetBValue(kBack)); // the trail shows while drawn
    man.LButtonUp(70, 100, 255);
    EXPECT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 1);
    EXPECT_TRUE(IsBack(70, 70));
    EXPECT_FALSE(IsBack(70, 40));
}

TEST_F(ManDelete, DeleteGDObjectFreesItAndMarksTheChange) {
    Stroke({{20, 40}, {120, 40}});
    GDObject* object = man.GetCurPage()->GetGDObject(0);
    const tagRECT bounds = object->bounds;
    man.SetObjectChanged(0);
    tagRECT r = man.DeleteGDObject(object);
    EXPECT_EQ(r.left, bounds.left);
    EXPECT_EQ(r.right, bounds.right);
    EXPECT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 0);
    EXPECT_EQ(man.IsChangedObject(), 1);
}

TEST_F(ManDelete, EraserRestoresTheBackgroundUnderIt) {
    Stroke({{20, 40}, {120, 40}});
    ASSERT_FALSE(IsBack(70, 40));
    man.SetDOStrokeType(eDOEraser);
    man.SetMaxAlpha(255);
    Stroke({{70, 20}, {70, 60}});
    EXPECT_TRUE(IsBack(70, 40));
    EXPECT_TRUE(IsBack(65, 40)); // eraser half width 8
    EXPECT_FALSE(IsBack(40, 40));
    EXPECT_EQ(man.GetCurPage()->GetVisibleGDObjectNum(), 1);
}

} // namespace
