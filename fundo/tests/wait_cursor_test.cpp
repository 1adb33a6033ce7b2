// The wait cursor: shown, then the previous cursor restored once.
#include "fundo/WaitCursor.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(WaitCursor, ShowsTheWaitCursorAndRestoresThePreviousOne) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(wait, arrow);
    SetCursor(arrow);
    BeginWaitCursor();
    EXPECT_EQ(GetCursor(), wait);
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow);
    // Nothing remembered any more: a second end leaves the cursor alone.
    HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    SetCursor(cross);
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), cross);
}
