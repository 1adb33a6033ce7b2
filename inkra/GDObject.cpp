#include "inkra/GDObject.h"

#include "InkPool.h"

#include <cstring>

namespace {

// Point, text and font buffers live on the local heap, apart from the pooled record.
WCHAR* CopyString(const WCHAR* source, int length) {
    auto* copy =
        static_cast<WCHAR*>(LocalAlloc(LPTR, (static_cast<SIZE_T>(length) + 1) * sizeof(WCHAR)));
    if (copy != nullptr)
        std::memcpy(copy, source, static_cast<size_t>(length) * sizeof(WCHAR));
    return copy;
}

int StringLength(const WCHAR* s) {
    return s == nullptr ? 0 : lstrlenW(s);
}

void PutLong(BYTE* out, LONG v) {
    auto u = static_cast<DWORD>(v);
    out[0] = static_cast<BYTE>(u);
    out[1] = static_cast<BYTE>(u >> 8);
    out[2] = static_cast<BYTE>(u >> 16);
    out[3] = static_cast<BYTE>(u >> 24);
}

LONG GetLong(const BYTE* in) {
    return static_cast<LONG>(DWORD{in[0]} | DWORD{in[1]} << 8 | DWORD{in[2]} << 16 |
                             DWORD{in[3]} << 24);
}

// The pool lives as long as the library; 64 records per chunk.
InkPool& ObjectPool() {
    static InkPool pool(sizeof(GDObject), 64);
    return pool;
}

} // namespace

void GDObject::InitObject(const GDObject* source) {
    if (source == nullptr) {
        std::memset(this, 0, sizeof *this);
        MatrixIdentity(&transform);
        return;
    }
    // Copy first, so that a source equal to this record still reads its own buffers.
    GDObject copy = *source;
    copy.points = nullptr;
    copy.text = nullptr;
    copy.fontName = nullptr;
    if (source->points != nullptr && source->pointCount > 0) {
        SIZE_T bytes = SIZE_T{source->pointCount} * sizeof(GWPOINT);
        copy.points = static_cast<GWPOINT*>(LocalAlloc(LPTR, bytes));
        if (copy.points != nullptr)
            std::memcpy(copy.points, source->points, bytes);
        else
            copy.pointCount = 0;
    }
    if (source->text != nullptr)
        copy.text = CopyString(source->text, StringLength(source->text));
    if (source->fontName != nullptr)
        copy.fontName = CopyString(source->fontName, StringLength(source->fontName));
    *this = copy;
}

void GDObject::ReleaseObject() {
    ReleaseData();
    std::memset(this, 0, sizeof *this);
}

void GDObject::ReleaseData() {
    LocalFree(points);
    LocalFree(text);
    LocalFree(fontName);
    points = nullptr;
    text = nullptr;
    fontName = nullptr;
    pointCount = 0;
}

int GDObject::SetPointData(const GWPOINT* data) {
    // The argument may point into the old array, so copy before freeing it.
    GWPOINT* fresh = nullptr;
    if (data != nullptr && pointCount > 0) {
        SIZE_T bytes = SIZE_T{pointCount} * sizeof(GWPOINT);
        fresh = static_cast<GWPOINT*>(LocalAlloc(LPTR, bytes));
        if (fresh != nullptr)
            std::memcpy(fresh, data, bytes);
    }
    LocalFree(points);
    points = fresh;
    return fresh != nullptr ? pointCount : 0;
}

int GDObject::SetTextData(const WCHAR* data) {
    int length = StringLength(data);
    WCHAR* fresh = length > 0 ? CopyString(data, length) : nullptr;
    LocalFree(text);
    text = fresh;
    return fresh != nullptr ? length : 0;
}

int GDObject::SetFontName(const WCHAR* name) {
    int length = StringLength(name);
    WCHAR* fresh = length > 0 ? CopyString(name, length) : nullptr;
    LocalFree(fontName);
    fontName = fresh;
    return fresh != nullptr ? length : 0;
}

void GDObject::SetColor(COLORREF color) {
    red = GetRValue(color);
    green = GetGValue(color);
    blue = GetBValue(color);
}

int GDObject::HitTest(const MATRIX* matrix, tagRECT rect, int mode) const {
    tagRECT mapped;
    if (matrix != nullptr)
        MatrixTransformRect(matrix, &bounds, &mapped);
    else
        mapped = bounds;
    tagRECT common;
    IntersectRect(&common, &mapped, &rect);
    if (mode == 0)
        return IsRectEmpty(&common) ? 0 : 1;
    return EqualRect(&common, &mapped) ? 1 : 0;
}

void GDObject::WriteHeader(BYTE* out) const {
    out[0] = kind;
    out[1] = strokeType;
    out[2] = pad0[0];
    out[3] = pad0[1];
    out[4] = red;
    out[5] = green;
    out[6] = blue;
    out[7] = pad1;
    PutLong(out + 8, width);
    out[12] = static_cast<BYTE>(pointCount);
    out[13] = static_cast<BYTE>(pointCount >> 8);
    out[14] = alpha;
    out[15] = textFormat;
    const LONG fields[12] = {bounds.left,   bounds.top,    bounds.right,  bounds.bottom,
                             transform.m11, transform.m12, transform.m21, transform.m22,
                             transform.dx,  transform.dy,  transform.cx,  transform.cy};
    for (int i = 0; i < 12; ++i)
        PutLong(out + 16 + 4 * i, fields[i]);
}

void GDObject::ReadHeader(const BYTE* in) {
    kind = in[0];
    strokeType = in[1];
    pad0[0] = in[2];
    pad0[1] = in[3];
    red = in[4];
    green = in[5];
    blue = in[6];
    pad1 = in[7];
    width = GetLong(in + 8);
    pointCount = static_cast<WORD>(in[12] | in[13] << 8);
    alpha = in[14];
    textFormat = in[15];
    LONG* fields[12] = {&bounds.left,   &bounds.top,    &bounds.right,  &bounds.bottom,
                        &transform.m11, &transform.m12, &transform.m21, &transform.m22,
                        &transform.dx,  &transform.dy,  &transform.cx,  &transform.cy};
    for (int i = 0; i < 12; ++i)
        *fields[i] = GetLong(in + 16 + 4 * i);
}

GDObject* AllocGDObject() {
    auto* object = static_cast<GDObject*>(ObjectPool().Alloc());
    if (object != nullptr)
        object->InitObject(nullptr);
    return object;
}

void FreeGDObject(GDObject* object) {
    if (object == nullptr)
        return;
    object->ReleaseObject();
    ObjectPool().Free(object);
}
