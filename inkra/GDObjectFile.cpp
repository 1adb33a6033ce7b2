// One drawing object's record in the memo body: the 64-byte header and its points or text,
// or the old form of the first product (strokes only, widths and points in pixels).
#include "inkra/FileVersion.h"
#include "inkra/GDObject.h"
#include "MemoStream.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using inkra::GetU32;
using inkra::PutU32;

// Old-form records: tool code, colour, width (double), point count.
constexpr DWORD kOldHeaderSize = 4 + 3 + 8 + 4;
// Text and font names longer than this are damage: the background text loader fills far
// shorter lines.
constexpr DWORD kMaxTextUnits = 65535;
// Bytes gathered before one Write.
constexpr DWORD kChunk = 8192;

// Pen, marker and eraser always, and pencil from 2.2 on, keep only x and y per point. The
// writer follows the reader, so that a pencil stroke written for 2.1 reads back.
bool CompactPoints(BYTE strokeType, const _FILE_VERSION& version) {
    switch (strokeType) {
        case eDOPen:
        case eDOMarker:
        case eDOEraser:
            return true;
        case eDOPencel:
            return MemoPencelCompact(version);
        default:
            return false;
    }
}

BYTE OldToolToStrokeType(DWORD code) {
    switch (code) {
        case 1:
            return eDOEraser;
        case 2:
            return eDOMarker;
        case 3:
            return eDODelStroke;
        default:
            return eDOPen;
    }
}

DWORD StrokeTypeToOldTool(BYTE type) {
    switch (type) {
        case eDOEraser:
            return 1;
        case eDOMarker:
            return 2;
        case eDODelStroke:
            return 3;
        default:
            return 0;
    }
}

LONG GetLong(const BYTE* p) {
    return static_cast<LONG>(GetU32(p));
}

// A point array of count zero-filled entries, null for none or no memory.
GWPOINT* AllocPoints(DWORD count) {
    if (count == 0)
        return nullptr;
    return static_cast<GWPOINT*>(LocalAlloc(LPTR, SIZE_T{count} * sizeof(GWPOINT)));
}

// count compact points (x, y) into points, each taking width and alpha. The bytes are read
// into the back half of the array and spread forward: entry i is written only after
// entries up to i were taken from the bytes behind it.
bool ReadCompactPoints(GFile* file, GWPOINT* points, DWORD count, LONG width, BYTE alpha) {
    BYTE* base = reinterpret_cast<BYTE*>(points);
    BYTE* packed = base + SIZE_T{count} * 8;
    if (!inkra::ReadAll(file, packed, count * 8))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        const LONG x = GetLong(packed + 8 * i);
        const LONG y = GetLong(packed + 8 * i + 4);
        GWPOINT& p = points[i];
        p.x = x;
        p.y = y;
        p.width = width;
        p.alpha = alpha;
        p.pad[0] = p.pad[1] = p.pad[2] = 0;
    }
    return true;
}

// Whole GWPOINT records, taken field by field from their little-endian bytes.
bool ReadFullPoints(GFile* file, GWPOINT* points, DWORD count) {
    BYTE* base = reinterpret_cast<BYTE*>(points);
    if (!inkra::ReadAll(file, base, count * 16))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* b = base + 16 * i;
        GWPOINT p;
        p.x = GetLong(b);
        p.y = GetLong(b + 4);
        p.width = GetLong(b + 8);
        p.alpha = b[12];
        p.pad[0] = b[13];
        p.pad[1] = b[14];
        p.pad[2] = b[15];
        points[i] = p;
    }
    return true;
}

// A length-prefixed UTF-16 string into a new zero-terminated buffer; a length of 0 leaves
// none. False for damage: a length past the bytes left or past the limit.
bool ReadString(GFile* file, WCHAR*& out) {
    out = nullptr;
    DWORD length = 0;
    if (!inkra::ReadU32(file, length))
        return false;
    if (length == 0)
        return true;
    if (length > kMaxTextUnits || !inkra::BytesLeft(file, 2ull * length))
        return false;
    auto* s = static_cast<WCHAR*>(LocalAlloc(LPTR, (SIZE_T{length} + 1) * sizeof(WCHAR)));
    if (!s)
        return false;
    if (!inkra::ReadAll(file, s, 2 * length)) {
        LocalFree(s);
        return false;
    }
    const auto* b = reinterpret_cast<const BYTE*>(s);
    for (DWORD i = 0; i < length; ++i)
        s[i] = static_cast<WCHAR>(b[2 * i] | b[2 * i + 1] << 8);
    out = s;
    return true;
}

// Bytes are gathered into a buffer and written in chunks.
class ChunkWriter {
public:
    explicit ChunkWriter(GFile* file) : m_file(file) {}
    void Bytes(const void* data, DWORD count) {
        const auto* p = static_cast<const BYTE*>(data);
        while (count > 0) {
            DWORD room = kChunk - m_used;
            DWORD n = count < room ? count : room;
            std::memcpy(m_buffer + m_used, p, n);
            m_used += n;
            p += n;
            count -= n;
            if (m_used == kChunk)
                Flush();
        }
    }
    void U32(DWORD v) {
        BYTE b[4];
        PutU32(b, v);
        Bytes(b, 4);
    }
    void String(const WCHAR* s) {
        const DWORD length = s ? static_cast<DWORD>(lstrlenW(s)) : 0;
        U32(length);
        for (DWORD i = 0; i < length; ++i) {
            const BYTE b[2] = {static_cast<BYTE>(s[i]), static_cast<BYTE>(s[i] >> 8)};
            Bytes(b, 2);
        }
    }
    // True when everything reached the file.
    bool Finish() {
        Flush();
        return m_ok;
    }

private:
    void Flush() {
        if (m_used > 0 && !inkra::WriteAll(m_file, m_buffer, m_used))
            m_ok = false;
        m_used = 0;
    }

    GFile* m_file;
    BYTE m_buffer[kChunk];
    DWORD m_used = 0;
    bool m_ok = true;
};

// Points actually held: a stroke still being written keeps its points elsewhere.
DWORD StoredPointCount(const GDObject& o) {
    return o.points ? o.pointCount : 0;
}

// Old-form width: the double stores 2/3 of four times the 16.16 width in pixels.
LONG FromOldWidth(double stored) {
    double scaled = std::trunc(stored * 1.5 * 65536.0);
    if (scaled > 2147483647.0)
        scaled = 2147483647.0;
    if (scaled < -2147483648.0)
        scaled = -2147483648.0;
    return static_cast<LONG>(scaled) >> 2;
}

// The inverse, nudged by the last bit where rounding would make it read back one less.
double OldWidth(LONG width) {
    double stored = width * 4.0 / 65536.0 * 2.0 / 3.0;
    for (int i = 0; i < 4 && FromOldWidth(stored) < width; ++i)
        stored = std::nextafter(stored, HUGE_VAL);
    return stored;
}

// Old form: pixels, widths as doubles, colour without pad.
int LoadOld(GDObject& o, GFile* file, tagPOINT& extent) {
    BYTE h[kOldHeaderSize];
    if (!inkra::ReadAll(file, h, kOldHeaderSize))
        return 0;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | h[7 + i];
    double stored;
    std::memcpy(&stored, &bits, sizeof stored);
    if (std::isnan(stored))
        return 0;
    const LONG width = FromOldWidth(stored);
    const DWORD count = GetU32(h + 15) & 0xFFFF;
    if (!inkra::BytesLeft(file, 8ull * count))
        return 0;

    o.kind = DO_STROKE;
    o.strokeType = OldToolToStrokeType(GetU32(h));
    o.red = h[4];
    o.green = h[5];
    o.blue = h[6];
    o.width = width;
    o.alpha = o.strokeType == eDOMarker ? 128 : 255;
    o.pointCount = static_cast<WORD>(count);
    if (count == 0)
        return 1;
    o.points = AllocPoints(count);
    if (!o.points)
        return 0;
    if (!ReadCompactPoints(file, o.points, count, width, o.alpha))
        return 0;
    // Old coordinates are 16-bit pixels; anything wider is clamped rather than wrapped.
    LONG minX = 0x7FFF, minY = 0x7FFF, maxX = -0x8000, maxY = -0x8000;
    for (DWORD i = 0; i < count; ++i) {
        GWPOINT& p = o.points[i];
        LONG x = p.x < -0x8000 ? -0x8000 : p.x > 0x7FFF ? 0x7FFF : p.x;
        LONG y = p.y < -0x8000 ? -0x8000 : p.y > 0x7FFF ? 0x7FFF : p.y;
        minX = x < minX ? x : minX;
        minY = y < minY ? y : minY;
        maxX = x > maxX ? x : maxX;
        maxY = y > maxY ? y : maxY;
        p.x = static_cast<LONG>(static_cast<DWORD>(x) << 16);
        p.y = static_cast<LONG>(static_cast<DWORD>(y) << 16);
    }
    if (maxX > extent.x)
        extent.x = maxX;
    if (maxY > extent.y)
        extent.y = maxY;
    // The record has no bounds: a rectangle around the points wide enough for the pen, which
    // the first drawing narrows to the ink.
    const LONG reach = (width < 0 ? 0 : width >> 16) + 2;
    o.bounds = tagRECT{minX - reach, minY - reach, maxX + reach + 1, maxY + reach + 1};
    return 1;
}

int LoadCurrent(GDObject& o, GFile* file, const _FILE_VERSION& version) {
    BYTE h[GDOBJECT_HEADER_SIZE];
    if (!inkra::ReadAll(file, h, GDOBJECT_HEADER_SIZE))
        return 0;
    o.ReadHeader(h);
    if (o.kind == 0)
        o.kind = DO_STROKE;
    if (o.kind == DO_STROKE) {
        const DWORD count = o.pointCount;
        const bool compact = CompactPoints(o.strokeType, version);
        if (!inkra::BytesLeft(file, (compact ? 8ull : 16ull) * count))
            return 0;
        if (count == 0)
            return 1;
        o.points = AllocPoints(count);
        if (!o.points)
            return 0;
        return (compact ? ReadCompactPoints(file, o.points, count, o.width, o.alpha)
                        : ReadFullPoints(file, o.points, count))
                   ? 1
                   : 0;
    }
    // Only strokes have points.
    o.pointCount = 0;
    if (o.kind != DO_TEXT)
        return 1;
    if (MemoTextHasFormat(version)) {
        BYTE f[8];
        if (!inkra::ReadAll(file, f, 8))
            return 0;
        o.width = GetLong(f);
        o.textFormat = f[4];
    }
    return ReadString(file, o.text) && ReadString(file, o.fontName) ? 1 : 0;
}

int SaveOld(const GDObject& o, GFile* file) {
    if (o.kind != DO_STROKE)
        return 0;
    const DWORD count = StoredPointCount(o);
    ChunkWriter out(file);
    out.U32(StrokeTypeToOldTool(o.strokeType));
    const BYTE colour[3] = {o.red, o.green, o.blue};
    out.Bytes(colour, 3);
    const double stored = OldWidth(o.width);
    std::uint64_t bits;
    std::memcpy(&bits, &stored, sizeof bits);
    BYTE w[8];
    for (int i = 0; i < 8; ++i)
        w[i] = static_cast<BYTE>(bits >> (8 * i));
    out.Bytes(w, 8);
    out.U32(count);
    for (DWORD i = 0; i < count; ++i) {
        const GWPOINT& p = o.points[i];
        const LONG coords[2] = {p.x, p.y};
        for (LONG c : coords) {
            const auto pixel = static_cast<std::int16_t>((std::int64_t{c} + 0x8000) >> 16);
            out.U32(static_cast<DWORD>(static_cast<LONG>(pixel)));
        }
    }
    return out.Finish() ? 1 : 0;
}

int SaveCurrent(const GDObject& o, GFile* file, const _FILE_VERSION& version) {
    const DWORD count = StoredPointCount(o);
    BYTE h[GDOBJECT_HEADER_SIZE];
    o.WriteHeader(h);
    ChunkWriter out(file);
    // Kind 0 reads back as a stroke, so it is written as one. Other kinds store no points.
    const bool stroke = o.kind == DO_STROKE || o.kind == 0;
    const DWORD stored = stroke ? count : 0;
    h[12] = static_cast<BYTE>(stored);
    h[13] = static_cast<BYTE>(stored >> 8);
    out.Bytes(h, GDOBJECT_HEADER_SIZE);
    if (stroke) {
        const bool compact = CompactPoints(o.strokeType, version);
        for (DWORD i = 0; i < count; ++i) {
            const GWPOINT& p = o.points[i];
            BYTE b[16];
            PutU32(b, static_cast<DWORD>(p.x));
            PutU32(b + 4, static_cast<DWORD>(p.y));
            if (!compact) {
                PutU32(b + 8, static_cast<DWORD>(p.width));
                b[12] = p.alpha;
                b[13] = p.pad[0];
                b[14] = p.pad[1];
                b[15] = p.pad[2];
            }
            out.Bytes(b, compact ? 8 : 16);
        }
    } else if (o.kind == DO_TEXT) {
        if (MemoTextHasFormat(version)) {
            out.U32(static_cast<DWORD>(o.width));
            out.U32(o.textFormat);
        }
        out.String(o.text);
        out.String(o.fontName);
    }
    return out.Finish() ? 1 : 0;
}

} // namespace

int GDObject::Load(GFile* file, _FILE_VERSION& version, tagPOINT& extent) {
    if (!file)
        return 0;
    ReleaseObject();
    GDObject loaded;
    loaded.InitObject(nullptr);
    const int ok =
        IsOldMemoForm(version) ? LoadOld(loaded, file, extent) : LoadCurrent(loaded, file, version);
    if (!ok) {
        // Nothing half-read stays: the record is empty, as a new one.
        loaded.ReleaseData();
        InitObject(nullptr);
        return 0;
    }
    *this = loaded;
    return 1;
}

int GDObject::Save(GFile* file, _FILE_VERSION& version) {
    if (!file)
        return 0;
    return IsOldMemoForm(version) ? SaveOld(*this, file) : SaveCurrent(*this, file, version);
}

DWORD GDObject::SavedSize(const _FILE_VERSION& version) const {
    const DWORD count = StoredPointCount(*this);
    if (IsOldMemoForm(version))
        return kind == DO_STROKE ? kOldHeaderSize + 8 * count : 0;
    if (kind == DO_STROKE || kind == 0)
        return GDOBJECT_HEADER_SIZE + (CompactPoints(strokeType, version) ? 8 : 16) * count;
    if (kind != DO_TEXT)
        return GDOBJECT_HEADER_SIZE;
    auto stringBytes = [](const WCHAR* s) { return 4 + 2 * DWORD(s ? lstrlenW(s) : 0); };
    return GDOBJECT_HEADER_SIZE + (MemoTextHasFormat(version) ? 8 : 0) + stringBytes(text) +
           stringBytes(fontName);
}
