// Hit tests of a page: does a trail drawn into the mask touch the ink an object would paint?
// The shapes, boxes and distances are those of the rasterisers' disc and capsule.
#include "inkra/InkraPage.h"
#include "InkraRect.h"

namespace {

using fundo::detail::Wrap32;

struct Box {
    LONG left, top, right, bottom; // inclusive
};

// Radius in whole pixels that covers the antialiasing band around a width.
LONG BandPixels(LONG width, LONG lineFactor) {
    std::int64_t reach = std::int64_t{width} + lineFactor - FIXED_ONE;
    return reach <= 0 ? 0 : static_cast<LONG>((reach + 0xFFFF) >> 16);
}

LONG Floor(LONG v) {
    return v >> 16;
}

LONG Ceil(LONG v) {
    return static_cast<LONG>((std::int64_t{v} + 0xFFFF) >> 16);
}

// A pixel of the trail hits the ink when the shape gives it some coverage.
bool Covers(LONG d, LONG lineFactor, LONG divideFactor) {
    if (d > lineFactor)
        return true;
    if (d <= -lineFactor)
        return false;
    InkCoverageProc ramp = GetCoverageProc();
    return ramp && ramp(d, lineFactor, divideFactor) != 0;
}

LONG Distance(std::int64_t x, std::int64_t y) {
    // Past 32 bits the pixel is far outside any width a stroke can have.
    const std::int64_t far = 0x3FFFFFFF;
    if (x > far || x < -far || y > far || y < -far)
        return static_cast<LONG>(far);
    return PointLength(static_cast<LONG>(x), static_cast<LONG>(y));
}

} // namespace

int InkraPage::HitTestPoint(BYTE* mask, GWPOINT& p) {
    if (!mask || !m_pBuffer || !m_pBuffer->GetSafeHandle())
        return 0;
    const LONG reach = BandPixels(p.width, m_nLineFactor);
    const tagRECT clip = DrawClip();
    Box box{Floor(p.x) - reach, Floor(p.y) - reach, Ceil(p.x) + reach, Ceil(p.y) + reach};
    const LONG left = box.left > clip.left ? box.left : clip.left;
    const LONG top = box.top > clip.top ? box.top : clip.top;
    const LONG right = box.right < clip.right - 1 ? box.right : clip.right - 1;
    const LONG bottom = box.bottom < clip.bottom - 1 ? box.bottom : clip.bottom - 1;
    const int width = m_pBuffer->Width();
    for (LONG y = top; y <= bottom; ++y) {
        const BYTE* row = mask + static_cast<size_t>(y) * width;
        for (LONG x = left; x <= right; ++x) {
            if (row[x] == 0)
                continue;
            const LONG distance =
                Distance(std::int64_t{x} * FIXED_ONE - p.x, std::int64_t{y} * FIXED_ONE - p.y);
            const LONG d = Wrap32(2 * (std::int64_t{p.width} - distance));
            if (Covers(d, m_nLineFactor, m_nDevideFactor))
                return 1;
        }
    }
    return 0;
}

int InkraPage::HitTestLine(BYTE* mask, GWPOINT& p1, GWPOINT& p2) {
    if (!mask || !m_pBuffer || !m_pBuffer->GetSafeHandle())
        return 0;
    const std::int64_t dx = std::int64_t{p2.x} - p1.x;
    const std::int64_t dy = std::int64_t{p2.y} - p1.y;
    const LONG length = Distance(dx, dy);
    if (length == 0)
        return HitTestPoint(mask, p1);
    const LONG reach = BandPixels(p1.width, m_nLineFactor);
    const tagRECT clip = DrawClip();
    const LONG minX = p1.x < p2.x ? p1.x : p2.x, maxX = p1.x < p2.x ? p2.x : p1.x;
    const LONG minY = p1.y < p2.y ? p1.y : p2.y, maxY = p1.y < p2.y ? p2.y : p1.y;
    Box box{Floor(minX) - reach, Floor(minY) - reach, Ceil(maxX) + reach, Ceil(maxY) + reach};
    const LONG left = box.left > clip.left ? box.left : clip.left;
    const LONG top = box.top > clip.top ? box.top : clip.top;
    const LONG right = box.right < clip.right - 1 ? box.right : clip.right - 1;
    const LONG bottom = box.bottom < clip.bottom - 1 ? box.bottom : clip.bottom - 1;
    const int width = m_pBuffer->Width();
    const __int128 lengthSquared = static_cast<__int128>(dx) * dx + static_cast<__int128>(dy) * dy;
    for (LONG y = top; y <= bottom; ++y) {
        const BYTE* row = mask + static_cast<size_t>(y) * width;
        for (LONG x = left; x <= right; ++x) {
            if (row[x] == 0)
                continue;
            const std::int64_t px = std::int64_t{x} * FIXED_ONE - p1.x;
            const std::int64_t py = std::int64_t{y} * FIXED_ONE - p1.y;
            const __int128 along = static_cast<__int128>(px) * dx + static_cast<__int128>(py) * dy;
            LONG distance;
            if (along < 0) {
                distance = Distance(px, py);
            } else if (along > lengthSquared) {
                distance = Distance(std::int64_t{x} * FIXED_ONE - p2.x,
                                    std::int64_t{y} * FIXED_ONE - p2.y);
            } else {
                __int128 cross = static_cast<__int128>(px) * dy - static_cast<__int128>(py) * dx;
                if (cross < 0)
                    cross = -cross;
                const __int128 q = cross / length;
                distance = q > 0x3FFFFFFF ? 0x3FFFFFFF : static_cast<LONG>(q);
            }
            const LONG d = Wrap32(2 * (std::int64_t{p1.width} - distance));
            if (Covers(d, m_nLineFactor, m_nDevideFactor))
                return 1;
        }
    }
    return 0;
}

int InkraPage::HitTest(GDObject* object, const MATRIX* matrix, tagRECT rect, BYTE* mask) {
    if (!m_pBuffer || !object || !matrix || !mask)
        return 0;
    if (!object->HitTest(matrix, rect, 0))
        return 0;
    if (object->kind != DO_STROKE || object->pointCount < 1 || !object->points)
        return 0;
    GWPOINT previous;
    MatrixTransformPoint(matrix, &object->points[0], &previous);
    if (object->pointCount == 1)
        return HitTestPoint(mask, previous);
    for (int i = 1; i < object->pointCount; ++i) {
        GWPOINT point;
        MatrixTransformPoint(matrix, &object->points[i], &point);
        if (HitTestLine(mask, previous, point))
            return 1;
        previous = point;
    }
    return 0;
}
