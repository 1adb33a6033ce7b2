// A whole-page redraw split into row bands drawn at once on the processor's cores. Each band
// draws every stroke clipped to its rows, in the page's order, through its own rows of the
// mask, so every pixel sees the same blends in the same order as in a single pass: the
// pixels are the same, but for pencil grain, which comes from each thread's own random
// sequence (any evenly spread sequence will do). Text goes through a device context, so a
// page holding text is drawn in one pass.
#include "inkra/InkraPage.h"
#include "InkraRect.h"
#include "inkra/InkBlendOps.h"
#include "inkra/StrokePainter.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

using inkra::Clamp;
using inkra::NoArea;

namespace {

// Below this many points a redraw takes about a millisecond: starting threads would cost
// more than they save.
constexpr long long kBandPoints = 2048;
constexpr int kMinBandRows = 32;
constexpr int kMaxBands = 4;

std::atomic<int> g_bands{0};

int BandCount() {
    static const int cores =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxBands);
    const int chosen = g_bands.load(std::memory_order_relaxed);
    return chosen > 0 ? std::min(chosen, kMaxBands) : cores;
}

bool DrawsAlike(const GDObject* object) {
    const InkBlendProc blend = GetStrokeBlend(object->strokeType);
    return blend == BlendPen || blend == BlendMarker || blend == BlendInvert ||
           blend == BlendEraser || blend == BlendPencel;
}

// Pixel rows a stroke can reach, top to bottom inclusive: its points' rows widened by the
// widest point, the line factor and, when spans are drawn as curves, the most a curve between
// three of its points can swing beyond them (under half its height) and a few pixels of
// rounding. Points far out make it reach every row rather than trust any arithmetic.
struct Reach {
    LONG top, bottom;
};

constexpr LONG kAnyRow = 1 << 28;

Reach StrokeReach(const GDObject* object, const MATRIX* view, LONG lineFactor, bool curves) {
    constexpr std::int64_t kFar = std::int64_t{1} << 28;
    std::int64_t low = INT64_MAX, high = INT64_MIN, widest = 0;
    for (int i = 0; i < object->pointCount; ++i) {
        GWPOINT p;
        MatrixTransformPoint(view, &object->points[i], &p);
        if (p.x <= -kFar || p.x >= kFar || p.y <= -kFar || p.y >= kFar || p.width >= kFar)
            return Reach{-kAnyRow, kAnyRow};
        low = std::min<std::int64_t>(low, p.y);
        high = std::max<std::int64_t>(high, p.y);
        widest = std::max<std::int64_t>(widest, p.width);
    }
    const std::int64_t swing = curves ? high - low : 0;
    const std::int64_t margin = widest + std::max<LONG>(lineFactor, 0) + swing + (4 << 16);
    return Reach{static_cast<LONG>((low - margin) >> 16), static_cast<LONG>((high + margin) >> 16)};
}

struct Band {
    inkra::detail::StrokePainter painter;
    const std::vector<const GDObject*>* strokes = nullptr;
    const std::vector<Reach>* reach = nullptr;
    const MATRIX* view = nullptr;
    // What each stroke drew, for the strokes this band drew.
    std::vector<tagRECT> drawn;
    std::vector<char> drew;

    void Draw() {
        drawn.assign(strokes->size(), tagRECT{0, 0, 0, 0});
        drew.assign(strokes->size(), 0);
        bool clearWhole = true;
        for (size_t k = 0; k < strokes->size(); ++k) {
            const Reach& r = (*reach)[k];
            if (r.bottom < painter.clip.top || r.top >= painter.clip.bottom) {
                // Nothing of it here: drawing it would touch no pixel and no mask byte of
                // these rows, and the mask after a first stroke is cleared all the same.
                if (clearWhole)
                    painter.ClearMask(nullptr);
                clearWhole = false;
                continue;
            }
            drawn[k] = painter.DrawStrokeAlone((*strokes)[k], view, clearWhole);
            drew[k] = 1;
        }
    }
};

DWORD WINAPI BandProc(LPVOID parameter) {
    static_cast<Band*>(parameter)->Draw();
    return 0;
}

} // namespace

void InkraSetRedrawBands(int count) {
    g_bands.store(std::max(count, 0), std::memory_order_relaxed);
}

bool InkraPage::DrawBanded(GArray* objects, const MATRIX* view, const MATRIX* inverse,
                           tagRECT& result) {
    const int bandCount = BandCount();
    if (bandCount < 2 || !m_pBuffer || !m_pMask || !m_pBuffer->GetSafeHandle() || !view ||
        !inverse || inkra::detail::g_coverage.load(std::memory_order_relaxed) != LinearCoverage)
        return false;
    const tagRECT clip = DrawClip();
    if (NoArea(clip) || clip.bottom - clip.top < 2 * kMinBandRows)
        return false;
    // The strokes a single pass draws, chosen the same way, and where their points lie.
    std::vector<const GDObject*> strokes;
    std::vector<Reach> reach;
    std::vector<long long> rowPoints(static_cast<size_t>(clip.bottom - clip.top), 0);
    long long points = 0;
    for (int i = 0; i < objects->GetSize(); ++i) {
        const auto* object = static_cast<const GDObject*>(objects->GetAt(i));
        if (!object)
            continue;
        if (object->kind == DO_TEXT || (object->kind == DO_STROKE && !DrawsAlike(object)))
            return false;
        if (OutsideClip(object, view) || object->kind != DO_STROKE || object->pointCount == 0 ||
            !object->points)
            continue;
        strokes.push_back(object);
        reach.push_back(StrokeReach(object, view, m_nLineFactor, m_bUseCurve != 0));
        points += object->pointCount;
        const Reach& r = reach.back();
        const LONG middle =
            std::clamp<LONG>(r.top + (r.bottom - r.top) / 2, clip.top, clip.bottom - 1);
        rowPoints[static_cast<size_t>(middle - clip.top)] += object->pointCount;
    }
    if (points < kBandPoints)
        return false;

    // Bands of about equal points, at least kMinBandRows tall.
    std::vector<Band> bands(static_cast<size_t>(bandCount));
    LONG top = clip.top;
    long long seen = 0;
    size_t row = 0;
    for (int b = 0; b < bandCount; ++b) {
        LONG bottom = clip.bottom;
        if (b + 1 < bandCount) {
            const long long share = points * (b + 1) / bandCount;
            while (row < rowPoints.size() && seen < share)
                seen += rowPoints[row++];
            const LONG rowsLeft = static_cast<LONG>(bandCount - b - 1) * kMinBandRows;
            bottom = std::clamp<LONG>(clip.top + static_cast<LONG>(row), top + kMinBandRows,
                                      clip.bottom - rowsLeft);
        }
        Band& band = bands[static_cast<size_t>(b)];
        band.painter = Painter();
        band.painter.clip = tagRECT{clip.left, top, clip.right, bottom};
        band.painter.maskTop = top;
        band.painter.maskBottom = bottom;
        band.painter.pencelArea = nullptr;
        band.strokes = &strokes;
        band.reach = &reach;
        band.view = view;
        top = bottom;
    }
    // A single pass clears the whole mask after its first stroke; rows outside the clip are
    // no band's, and no stroke reaches them.
    const LONG height = m_pBuffer->Height();
    const size_t width = static_cast<size_t>(m_pBuffer->Width());
    std::fill(m_pMask, m_pMask + width * static_cast<size_t>(clip.top), BYTE{0});
    std::fill(m_pMask + width * static_cast<size_t>(clip.bottom),
              m_pMask + width * static_cast<size_t>(height), BYTE{0});

    std::vector<HANDLE> threads;
    for (size_t b = 1; b < bands.size(); ++b) {
        HANDLE thread = ::CreateThread(nullptr, 0, BandProc, &bands[b], 0, nullptr);
        if (thread)
            threads.push_back(thread);
        else
            bands[b].Draw(); // no thread to be had: this band in turn
    }
    bands[0].Draw();
    for (HANDLE thread : threads) {
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }

    // What each stroke drew is the same in every band that drew it; a stroke no band drew
    // lies outside the clip, and drawing it against an empty clip tells its box alone.
    inkra::detail::StrokePainter outside = Painter();
    outside.clip = outside.wholeClip = tagRECT{0, 0, 0, 0};
    outside.mask = m_pMask;
    result = inkra::UnionStart();
    for (size_t k = 0; k < strokes.size(); ++k) {
        tagRECT rect{0, 0, 0, 0};
        size_t b = 0;
        while (b < bands.size() && !bands[b].drew[k])
            ++b;
        if (b < bands.size())
            rect = bands[b].drawn[k];
        else
            rect = outside.DrawStroke(strokes[k], view, true);
        if (NoArea(rect))
            continue;
        auto* object = const_cast<GDObject*>(strokes[k]);
        MatrixTransformRect(inverse, &rect, &object->bounds);
        const tagRECT clipped = Clamp(rect, clip);
        if (object->strokeType != eDOEraser && !NoArea(clipped))
            inkra::UnionBounds(result, clipped);
    }
    return true;
}
