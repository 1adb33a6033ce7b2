// Where a coverage mask may hold non-zero bytes, so that clearing it touches only those rows
// and columns. Internal to inkra.
#pragma once

namespace inkra::detail {

// All of the mask, or the inclusive pixel box x0..x1 by y0..y1 (none when x0 > x1).
struct MaskArea {
    bool all;
    int x0, y0, x1, y1;
};

} // namespace inkra::detail
