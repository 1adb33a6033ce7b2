// Where a coverage mask may hold non-zero bytes, so that clearing it touches only those rows
// and columns. Internal to inkra.
#pragma once

#include <climits>

namespace inkra::detail {

// All of the mask, or the inclusive pixel box x0..x1 by y0..y1 (none when x0 > x1). A drawer
// that owns only some rows of the mask (a band of a whole-page redraw) keeps to rowTop up to
// rowBottom (exclusive): "all" then means all of those rows, and only those are drawn.
struct MaskArea {
    bool all;
    int x0, y0, x1, y1;
    int rowTop = 0;
    int rowBottom = INT_MAX;
};

} // namespace inkra::detail
