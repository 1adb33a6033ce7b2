// The unit of ink on a page: one stroke (GWPOINT samples drawn with one tool, colour and
// opacity) or one text item. A plain record: created zero-filled or copied with InitObject,
// emptied with ReleaseObject; records come from a library-wide pool (AllocGDObject).
#pragma once

#include "fundo/Geometry.h"

#include <windows.h>

#include <cstddef>

class GFile;
struct _FILE_VERSION;

// Object kinds; other values are carried but never drawn.
inline constexpr BYTE DO_STROKE = 3;
inline constexpr BYTE DO_TEXT = 4;

// The tool a stroke was drawn with. Indexes the rasteriser and blender tables (InkBrush.h).
enum eDOStrokeType : BYTE {
    eDOPen = 0,
    eDOMarker = 1,
    eDODelStroke = 2,
    eDOEraser = 3,
    eDOPencel = 4,
    eDOColorPen = 5,
    eDOBrush = 6,
    eDOAirBrush = 7,
};
inline constexpr int DO_STROKE_TYPES = 8;

// Bytes of the object header that memo files store: the record's fields up to transform.
inline constexpr int GDOBJECT_HEADER_SIZE = 64;

struct GDObject {
    BYTE kind;       // DO_STROKE, DO_TEXT, or anything else (not drawn)
    BYTE strokeType; // eDOStrokeType
    BYTE pad0[2];
    BYTE red;
    BYTE green;
    BYTE blue;
    BYTE pad1;
    LONG width;       // stroke: pen width in page units, 16.16; text: stored, not interpreted
    WORD pointCount;  // entries of points
    BYTE alpha;       // stroke opacity
    BYTE textFormat;  // DrawTextW format of a text object
    tagRECT bounds;   // drawn extent in page coordinates (integers)
    MATRIX transform; // identity at creation; stored and copied, never applied
    // The header ends here; the buffers below belong to the record.
    GWPOINT* points; // pointCount entries, zero-filled at allocation
    WCHAR* text;     // zero-terminated, text objects only
    WCHAR* fontName; // zero-terminated, text objects only; stored, not used for drawing

    // Null source: zero-filled with an identity transform. Otherwise a copy of source with
    // buffers of its own; source is left untouched.
    void InitObject(const GDObject* source);
    // ReleaseData, then the record zero-filled.
    void ReleaseObject();
    // Frees points, text and font name; the point count becomes 0.
    void ReleaseData();

    // Replaces the point array with pointCount entries read from data (set pointCount first).
    // Returns pointCount, or 0 (and no array) for null data, a zero count or no memory.
    int SetPointData(const GWPOINT* data);
    // Replace the string with a copy; null or empty leaves none. Length in characters, or 0.
    int SetTextData(const WCHAR* data);
    int SetFontName(const WCHAR* name);
    // COLORREF 0x00BBGGRR into red, green, blue.
    void SetColor(COLORREF color);
    COLORREF GetColor() const { return RGB(red, green, blue); }

    // Bounds mapped through matrix against rect. Mode 0: non-zero when they meet. Other
    // modes: 1 only when the mapped bounds lie wholly inside rect.
    int HitTest(const MATRIX* matrix, tagRECT rect, int mode) const;

    // The stored header, field by field little-endian (GDOBJECT_HEADER_SIZE bytes).
    void WriteHeader(BYTE* out) const;
    // Fills the header fields from stored bytes; the buffers are left alone.
    void ReadHeader(const BYTE* in);

    // The memo body records of this object.
    int Load(GFile* file, _FILE_VERSION& version, tagPOINT& extent);
    int Save(GFile* file, _FILE_VERSION& version);
    // The number of bytes Save writes for version (0 when the form cannot hold the object),
    // so that a writer can size its buffer once.
    DWORD SavedSize(const _FILE_VERSION& version) const;
};

static_assert(offsetof(GDObject, width) == 8);
static_assert(offsetof(GDObject, pointCount) == 12);
static_assert(offsetof(GDObject, bounds) == 16);
static_assert(offsetof(GDObject, transform) == 32);
static_assert(offsetof(GDObject, points) == GDOBJECT_HEADER_SIZE,
              "the header memo files store is the first 64 bytes of the record");

// A zero-filled record (identity transform) from the library's pool; null when memory runs
// out. Safe from any thread.
GDObject* AllocGDObject();
// ReleaseObject, then the record back to the pool; null is ignored. Safe from any thread.
void FreeGDObject(GDObject* object);
