#include "inkra/InkShape.h"

namespace inkra::detail {

namespace {

template <class Op>
void WalkDisc(const Op& op, const Target& t, const Capsule& c, LONG lf, LONG df, int A, BYTE r,
              BYTE g, BYTE b) {
    for (int y = t.y0; y <= t.y1; ++y) {
        int xa = t.x0, xb = t.x1;
        if (!DiscRowSpan(c.x1, c.y1, c.w1, lf, y, xa, xb))
            continue;
        const i64 uy = (i64{y} << 16) - c.y1;
        const i64 uySq = uy * uy;
        BYTE* px = t.Pixel(xa, y);
        BYTE* mk = t.MaskByte(xa, y);
        BYTE* bk = Op::kReadsBack ? t.BackPixel(xa, y) : nullptr;
        auto step = [&] {
            px += 3;
            ++mk;
            if constexpr (Op::kReadsBack)
                bk += 3;
        };
        for (int x = xa; x <= xb; ++x, step()) {
            const int m = *mk;
            if (m >= A)
                continue;
            const i64 ux = (i64{x} << 16) - c.x1;
            LONG d;
            if (DiscD(ux, uy, uySq, c.w1, c.out1Sq, c.in1Sq, c.insideD, d) == 0)
                continue;
            if (op.Apply(px, bk, mk, d, lf, df, m, A, r, g, b) != 1)
                continue;
            // Fully inside: every pixel up to the mirror of this one about the centre is
            // nearer the centre, so it takes the same d.
            const i64 mirror = (2 * c.x1 - (i64{x} << 16)) >> 16;
            const int last = mirror < xb ? static_cast<int>(mirror) : xb;
            while (x < last) {
                ++x;
                step();
                const int mm = *mk;
                if (mm < A)
                    op.Apply(px, bk, mk, d, lf, df, mm, A, r, g, b);
            }
        }
    }
}

} // namespace

} // namespace inkra::detail

using namespace inkra::detail;

tagRECT DrawPoint(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p, LONG lf, LONG df,
                  BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend) {
    if (blend == nullptr)
        return tagRECT{0, 0, 0, 0};
    const i64 reach = CeilPixel(i64{p.width} + lf - 0x10000);
    const i64 left = (i64{p.x} >> 16) - reach;
    const i64 top = (i64{p.y} >> 16) - reach;
    const i64 right = CeilPixel(p.x) + reach;
    const i64 bottom = CeilPixel(p.y) + reach;
    Target t;
    if (!PrepareTarget(buffer, back, mask, clip, blend == BlendEraser, left, top, right, bottom, t))
        return tagRECT{0, 0, 0, 0};
    const tagRECT box = BoxResult(left, top, right, bottom);
    auto ok = [](i64 v, i64 limit) { return v > -limit && v < limit; };
    if (t.x0 > t.x1 || !ok(p.x, kMaxCoord) || !ok(p.y, kMaxCoord) || !ok(p.width, kMaxWidth))
        return box;
    WithBlendOp(blend, lf, df, [&](const auto& op, bool zoneOnlyInside) {
        Capsule c;
        InitCapsule(c, p, p, p.width, p.width, lf, zoneOnlyInside);
        WalkDisc(op, t, c, lf, df, A, r, g, b);
        return 0;
    });
    return box;
}
