#include "region.h"

#include <algorithm>
#include <climits>

namespace plat {
namespace {

struct Band {
    int top;
    int bottom;
    const RECT* begin;
    const RECT* end;
};

std::vector<Band> BandsOf(const std::vector<RECT>& rects) {
    std::vector<Band> bands;
    const RECT* p = rects.data();
    const RECT* end = p + rects.size();
    while (p != end) {
        const RECT* q = p;
        while (q != end && q->top == p->top)
            ++q;
        bands.push_back(Band{p->top, p->bottom, p, q});
        p = q;
    }
    return bands;
}

bool Keep(int mode, bool inA, bool inB) {
    switch (mode) {
        case RGN_AND:
            return inA && inB;
        case RGN_OR:
            return inA || inB;
        case RGN_XOR:
            return inA != inB;
        default: // RGN_DIFF
            return inA && !inB;
    }
}

// Combines the x spans of two bands (either may be empty) into out as [left, right) pairs.
void CombineSpans(const RECT* a, const RECT* aEnd, const RECT* b, const RECT* bEnd, int mode,
                  std::vector<std::pair<int, int>>& out) {
    out.clear();
    size_t na = 2 * static_cast<size_t>(aEnd - a), nb = 2 * static_cast<size_t>(bEnd - b);
    auto at = [](const RECT* r, size_t k) { return (k & 1) ? r[k / 2].right : r[k / 2].left; };
    size_t i = 0, j = 0;
    bool inA = false, inB = false;
    int x = INT_MIN;
    while (i < na || j < nb) {
        int xa = i < na ? at(a, i) : INT_MAX;
        int xb = j < nb ? at(b, j) : INT_MAX;
        int nx = std::min(xa, xb);
        if (x < nx && Keep(mode, inA, inB)) {
            if (!out.empty() && out.back().second == x)
                out.back().second = nx;
            else
                out.emplace_back(x, nx);
        }
        x = nx;
        while (i < na && at(a, i) == nx) {
            inA = !inA;
            ++i;
        }
        while (j < nb && at(b, j) == nx) {
            inB = !inB;
            ++j;
        }
    }
}

// Appends one band, merging it into the previous band when that ends where this starts and
// has the same spans.
class BandWriter {
public:
    explicit BandWriter(std::vector<RECT>& out) : m_out(out) {}
    void Add(int top, int bottom, const std::vector<std::pair<int, int>>& spans) {
        if (spans.empty() || top >= bottom)
            return;
        size_t prevCount = m_out.size() - m_lastStart;
        if (m_hasLast && m_out[m_lastStart].bottom == top && prevCount == spans.size()) {
            bool same = true;
            for (size_t k = 0; k < spans.size() && same; ++k)
                same = m_out[m_lastStart + k].left == spans[k].first &&
                       m_out[m_lastStart + k].right == spans[k].second;
            if (same) {
                for (size_t k = m_lastStart; k < m_out.size(); ++k)
                    m_out[k].bottom = bottom;
                return;
            }
        }
        m_lastStart = m_out.size();
        m_hasLast = true;
        for (const auto& s : spans)
            m_out.push_back(RECT{s.first, top, s.second, bottom});
    }

private:
    std::vector<RECT>& m_out;
    size_t m_lastStart = 0;
    bool m_hasLast = false;
};

} // namespace

void Region::SetRect(const RECT& rc) {
    m_rects.clear();
    if (rc.left < rc.right && rc.top < rc.bottom)
        m_rects.push_back(rc);
}

int Region::Complexity() const {
    if (m_rects.empty())
        return NULLREGION;
    return m_rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::Box() const {
    if (m_rects.empty())
        return RECT{0, 0, 0, 0};
    RECT box{INT_MAX, m_rects.front().top, INT_MIN, m_rects.back().bottom};
    for (const RECT& r : m_rects) {
        box.left = std::min(box.left, r.left);
        box.right = std::max(box.right, r.right);
    }
    return box;
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : m_rects) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

bool Region::Contains(int x, int y) const {
    // Bottoms never decrease along the list, so the first rectangle ending below y starts the
    // only band that can hold it.
    auto it = std::upper_bound(m_rects.begin(), m_rects.end(), y,
                               [](int v, const RECT& r) { return v < r.bottom; });
    for (; it != m_rects.end() && it->top <= y; ++it) {
        if (x < it->left)
            return false;
        if (x < it->right)
            return true;
    }
    return false;
}

bool Region::Intersects(const RECT& rc) const {
    if (rc.left >= rc.right || rc.top >= rc.bottom)
        return false;
    auto it = std::upper_bound(m_rects.begin(), m_rects.end(), rc.top,
                               [](int v, const RECT& r) { return v < r.bottom; });
    for (; it != m_rects.end() && it->top < rc.bottom; ++it)
        if (it->left < rc.right && rc.left < it->right)
            return true;
    return false;
}

Region& Region::Intersect(const RECT& rc) {
    if (m_rects.size() == 1) {
        RECT& r = m_rects.front();
        RECT out{std::max(r.left, rc.left), std::max(r.top, rc.top), std::min(r.right, rc.right),
                 std::min(r.bottom, rc.bottom)};
        SetRect(out);
        return *this;
    }
    return Intersect(Region(rc));
}

bool Region::operator==(const Region& o) const {
    if (m_rects.size() != o.m_rects.size())
        return false;
    for (size_t i = 0; i < m_rects.size(); ++i) {
        const RECT &a = m_rects[i], &b = o.m_rects[i];
        if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom)
            return false;
    }
    return true;
}

Region Region::Combine(const Region& a, const Region& b, int mode) {
    if (mode == RGN_COPY)
        return a;
    if (a.IsEmpty() || b.IsEmpty()) {
        switch (mode) {
            case RGN_AND:
                return Region();
            case RGN_DIFF:
                return a;
            default:
                return a.IsEmpty() ? b : a;
        }
    }
    std::vector<Band> ba = BandsOf(a.m_rects), bb = BandsOf(b.m_rects);
    std::vector<int> ys;
    ys.reserve(2 * (ba.size() + bb.size()));
    for (const Band& band : ba) {
        ys.push_back(band.top);
        ys.push_back(band.bottom);
    }
    for (const Band& band : bb) {
        ys.push_back(band.top);
        ys.push_back(band.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    Region result;
    result.m_rects.reserve(a.m_rects.size() + b.m_rects.size());
    BandWriter writer(result.m_rects);
    std::vector<std::pair<int, int>> spans;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        int y0 = ys[k], y1 = ys[k + 1];
        while (ia < ba.size() && ba[ia].bottom <= y0)
            ++ia;
        while (ib < bb.size() && bb[ib].bottom <= y0)
            ++ib;
        bool hasA = ia < ba.size() && ba[ia].top <= y0;
        bool hasB = ib < bb.size() && bb[ib].top <= y0;
        if (!hasA && !hasB)
            continue;
        const RECT* a0 = hasA ? ba[ia].begin : nullptr;
        const RECT* a1 = hasA ? ba[ia].end : nullptr;
        const RECT* b0 = hasB ? bb[ib].begin : nullptr;
        const RECT* b1 = hasB ? bb[ib].end : nullptr;
        CombineSpans(a0, a1, b0, b1, mode, spans);
        writer.Add(y0, y1, spans);
    }
    return result;
}

Region Region::FromRects(const RECT* rects, size_t count) {
    if (count == 0)
        return Region();
    if (count == 1)
        return Region(rects[0]);
    size_t half = count / 2;
    return Combine(FromRects(rects, half), FromRects(rects + half, count - half), RGN_OR);
}

} // namespace plat
