// Brush rasterisers and blend modes: one stroke segment (or one point) becomes antialiased
// ink in a 24-bit GDib. A rasteriser walks the pixels near the shape and hands each pixel's
// doubled signed edge distance d = 2 (radius - distance) (16.16, positive inside) to a
// blender, which mixes the ink in. A byte mask (one byte per pixel, rows top-down) holds the
// coverage the current stroke already gave each pixel, so overlapping segments of one stroke
// never darken a pixel twice.
#pragma once

#include "fundo/GDib.h"
#include "fundo/Geometry.h"

// Antialiasing band: line factor lf (16.16, half the band width in d units) and divide factor
// df = 2 lf / 5. The defaults belong to line factor 1.6.
inline constexpr LONG INK_LINE_FACTOR = 104857;
inline constexpr LONG INK_DIVIDE_FACTOR = 41942;

// Coverage 0-255 of a pixel in the band (-lf <= d <= lf).
using InkCoverageProc = int (*)(LONG d, LONG lf, LONG df);

// dst: the pixel's blue byte in the buffer; back: the same pixel of the back block (read by
// the eraser only, may be null otherwise); mask: its mask byte; m: the mask byte's value;
// A: the segment's alpha; r, g, b: the ink. Advances dst by 3 and mask by 1 (the eraser also
// back by 3). Returns 1 fully inside (d > lf), 0 outside (d < -lf), -1 in the band.
using InkBlendProc = int (*)(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m,
                             BYTE A, BYTE r, BYTE g, BYTE b);

// Draws the segment p1-p2 into buffer within clip (pixels). The result is the segment's box
// in pixels (not clipped), its left made even; it covers every pixel the call can change.
// Nothing is drawn, and (0, 0, 0, 0) returned, without a 24-bit buffer with pixels or a mask,
// or when back is given without pixels. The mask has buffer->Width() x buffer->Height() bytes.
using InkRasterProc = tagRECT (*)(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1,
                                  GWPOINT& p2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b,
                                  InkBlendProc blend);

// The linear ramp: round-half-up of ((d + lf) / df) x 51, low 8 bits; 0 when df is 0.
int LinearCoverage(LONG d, LONG lf, LONG df);
// The process-wide ramp the blenders use; the linear one until set. Safe from any thread.
void SetCoverageProc(InkCoverageProc proc);
InkCoverageProc GetCoverageProc();

// Capsule of radius p1.width around p1-p2.
tagRECT DrawFixWidth(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1, GWPOINT& p2,
                     LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend);
// Tapered capsule: radius p1.width at p1 to p2.width at p2. Both at 0 or below: nothing.
tagRECT DrawVarWidth(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1, GWPOINT& p2,
                     LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend);
// DrawFixWidth after clearing every mask byte outside the segment's clipped box, so that
// each segment lays fresh grain.
tagRECT DrawPencel(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1, GWPOINT& p2,
                   LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend);
// Disc of radius p.width around p.
tagRECT DrawPoint(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p, LONG lf, LONG df,
                  BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend);

// The colour, opaque inside.
int BlendPen(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A, BYTE r,
             BYTE g, BYTE b);
// The colour, at most opacity A.
int BlendMarker(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A,
                BYTE r, BYTE g, BYTE b);
// Inverts the pixel once per stroke (the stroke-delete trail).
int BlendInvert(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A,
                BYTE r, BYTE g, BYTE b);
// The back block's pixel.
int BlendEraser(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A,
                BYTE r, BYTE g, BYTE b);
// The colour with a random opacity below A (pencil grain).
int BlendPencel(BYTE*& dst, BYTE*& back, BYTE*& mask, LONG d, LONG lf, LONG df, BYTE m, BYTE A,
                BYTE r, BYTE g, BYTE b);

// The rasteriser and blender of a stroke type (eDOStrokeType); unknown types draw as the pen.
InkRasterProc GetStrokeRaster(int strokeType);
InkBlendProc GetStrokeBlend(int strokeType);
