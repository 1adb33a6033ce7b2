#include "inkra/InkBlendOps.h"

namespace inkra::detail {

std::atomic<InkCoverageProc> g_coverage{LinearCoverage};

} // namespace inkra::detail

using namespace inkra::detail;

int LinearCoverage(LONG d, LONG lf, LONG df) {
    if (df == 0)
        return 0;
    std::int64_t ratio = (static_cast<std::int64_t>(std::int64_t{d} + lf) << 16) / df;
    return static_cast<int>(((ratio * 51 + 0x8000) >> 16) & 0xFF);
}

void SetCoverageProc(InkCoverageProc proc) {
    g_coverage.store(proc != nullptr ? proc : LinearCoverage, std::memory_order_relaxed);
}

InkCoverageProc GetCoverageProc() {
    return g_coverage.load(std::memory_order_relaxed);
}

int BlendPen(BYTE*& dst, BYTE*&, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A, BYTE r,
             BYTE g, BYTE b) {
    int zone = PenOp{Ramp(df)}.Apply(dst, nullptr, mask, d, lf, df, m, A, r, g, b);
    dst += 3;
    mask += 1;
    return zone;
}

int BlendMarker(BYTE*& dst, BYTE*&, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A, BYTE r,
                BYTE g, BYTE b) {
    int zone = MarkerOp{Ramp(df)}.Apply(dst, nullptr, mask, d, lf, df, m, A, r, g, b);
    dst += 3;
    mask += 1;
    return zone;
}

int BlendInvert(BYTE*& dst, BYTE*&, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A, BYTE r,
                BYTE g, BYTE b) {
    int zone = InvertOp{Ramp(df)}.Apply(dst, nullptr, mask, d, lf, df, m, A, r, g, b);
    dst += 3;
    mask += 1;
    return zone;
}

int BlendEraser(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A,
                BYTE r, BYTE g, BYTE b) {
    int zone = EraserOp{Ramp(df)}.Apply(dst, back, mask, d, lf, df, m, A, r, g, b);
    dst += 3;
    mask += 1;
    if (back != nullptr)
        back += 3;
    return zone;
}

int BlendPencel(BYTE*& dst, BYTE*&, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A, BYTE r,
                BYTE g, BYTE b) {
    int zone = PencelOp{Ramp(df)}.Apply(dst, nullptr, mask, d, lf, df, m, A, r, g, b);
    dst += 3;
    mask += 1;
    return zone;
}
