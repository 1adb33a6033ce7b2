// A region as y-x banded rectangles: the rectangles are sorted by top, then left; all
// rectangles of one band share top and bottom; bands do not overlap; within a band the
// rectangles neither overlap nor touch; vertically adjacent bands with the same spans are
// merged. That form is canonical: two regions cover the same pixels exactly when their
// rectangle lists are equal. The window manager builds visible and invalid regions from
// unions and differences of these.
#pragma once

#include <platform/wingdi.h>

#include <vector>

namespace plat {

class Region {
public:
    Region() = default;
    explicit Region(const RECT& rc) { SetRect(rc); }

    void SetEmpty() { m_rects.clear(); }
    // An empty or inverted rectangle gives the empty region.
    void SetRect(const RECT& rc);
    bool IsEmpty() const { return m_rects.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;
    // The bounding box; all zero when empty.
    RECT Box() const;
    const std::vector<RECT>& Rects() const { return m_rects; }

    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& rc) const;

    // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY (which copies a).
    static Region Combine(const Region& a, const Region& b, int mode);
    Region& Intersect(const Region& o) { return *this = Combine(*this, o, RGN_AND); }
    Region& Union(const Region& o) { return *this = Combine(*this, o, RGN_OR); }
    Region& Subtract(const Region& o) { return *this = Combine(*this, o, RGN_DIFF); }
    Region& Intersect(const RECT& rc);
    Region& Union(const RECT& rc) { return Union(Region(rc)); }
    Region& Subtract(const RECT& rc) { return Subtract(Region(rc)); }

    bool operator==(const Region& o) const;
    bool operator!=(const Region& o) const { return !(*this == o); }

    // Builds the canonical form from any rectangles (overlaps allowed).
    static Region FromRects(const RECT* rects, size_t count);

private:
    std::vector<RECT> m_rects;
};

} // namespace plat
