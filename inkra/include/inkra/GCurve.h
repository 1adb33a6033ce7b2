// Curve smoothing: the span between two stroke samples drawn as a quadratic Bezier curve
// whose control point comes from the sample before, so the ink bends through every sample.
// GCurve yields the curve's points one by one with the width interpolated along it; GCurve3
// is the quadratic generator by forward differences under it. All values are 16.16.
#pragma once

#include "fundo/Geometry.h"

class GCurve {
public:
    class GCurve3 {
    public:
        GCurve3() : remaining(0) {}

        // Sets up the curve P0, P1 (control), P2 with one piece per step of control-polygon
        // length, at least two. Returns the number of pieces n.
        int Init(LONG step, LONG x0, LONG y0, LONG x1, LONG y1, LONG x2, LONG y2);
        // Writes the vertex at t = k/n for the k-th call; returns n - k, and -1 (outputs left
        // alone) once past the end.
        int NextVertex(LONG* x, LONG* y);

        LONG remaining;
        LONG x, y;
        LONG startX, startY;
        LONG stepX, stepY;
        LONG secondX, secondY;
        LONG initialStepX, initialStepY;
    };

    GCurve() : n(0) {}

    // Sets up the span p1-p2, its tangent at p1 parallel to p2 - p0. Returns n.
    int InitCurve(LONG step, GWPOINT p0, GWPOINT p1, GWPOINT p2);
    // Writes the next point (x, y, width; alpha left as the caller set it) and returns the
    // remaining count; once past the end writes p2 whole and returns a negative count.
    int NextPoint(GWPOINT& out);

    GCurve3 curve;
    GWPOINT end;
    LONG n;
    LONG startWidth;
    LONG widthStep;
};

// The step the page's curve drawing uses: one piece per 10 units.
inline constexpr LONG CURVE_STEP = 0xA0000;
