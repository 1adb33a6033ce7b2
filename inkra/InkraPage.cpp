#include "inkra/InkraPage.h"

#include "InkPool.h"
#include "InkraRect.h"

#include <new>

using inkra::UnionBounds;
using inkra::UnionStart;

namespace {

// Eight page records per block, for the whole process.
InkPool& PagePool() {
    static InkPool pool(sizeof(InkraPage), 8);
    return pool;
}

bool IsEraser(const GDObject* object) {
    return object->kind == DO_STROKE && object->strokeType == eDOEraser;
}

} // namespace

InkraPage* AllocInkraPage() {
    void* record = PagePool().Alloc();
    return record ? new (record) InkraPage() : nullptr;
}

void FreeInkraPage(InkraPage* page) {
    if (!page)
        return;
    page->~InkraPage();
    PagePool().Free(page);
}

InkraPage::InkraPage() = default;

InkraPage::InkraPage(const InkraPage& other)
    : m_Objects(other.m_Objects), m_BackObjects(other.m_BackObjects), m_nAttach(other.m_nAttach),
      m_pBuffer(other.m_pBuffer), m_pBack(other.m_pBack), m_pMask(other.m_pMask),
      m_rcClip(other.m_rcClip), m_nLineFactor(other.m_nLineFactor),
      m_nDevideFactor(other.m_nDevideFactor), m_bUseCurve(other.m_bUseCurve) {}

InkraPage& InkraPage::operator=(const InkraPage& other) {
    if (this == &other)
        return *this;
    m_Objects = other.m_Objects;
    m_BackObjects = other.m_BackObjects;
    m_nAttach = other.m_nAttach;
    m_pBuffer = other.m_pBuffer;
    m_pBack = other.m_pBack;
    m_pMask = other.m_pMask;
    m_rcClip = other.m_rcClip;
    m_nLineFactor = other.m_nLineFactor;
    m_nDevideFactor = other.m_nDevideFactor;
    m_bUseCurve = other.m_bUseCurve;
    return *this;
}

void InkraPage::InitInkraPage() {
    *this = InkraPage();
}

int InkraPage::AttachDrawMan(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, LONG lineFactor,
                             LONG divideFactor, int useCurve) {
    ++m_nAttach;
    m_pBuffer = buffer;
    m_pBack = back;
    m_pMask = mask;
    m_rcClip = clip;
    m_nLineFactor = lineFactor;
    m_nDevideFactor = divideFactor;
    m_bUseCurve = useCurve;
    return m_nAttach;
}

void InkraPage::SetDrawMan(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, LONG lineFactor,
                           LONG divideFactor, int useCurve) {
    if (m_nAttach <= 0)
        return;
    m_pBuffer = buffer;
    m_pBack = back;
    m_pMask = mask;
    m_rcClip = clip;
    m_nLineFactor = lineFactor;
    m_nDevideFactor = divideFactor;
    m_bUseCurve = useCurve;
}

int InkraPage::DetachDrawMan() {
    --m_nAttach;
    if (m_nAttach < 1) {
        ReleaseAll(m_Objects);
        ReleaseAll(m_BackObjects);
        m_nAttach = 0;
    }
    return m_nAttach;
}

void InkraPage::ReleaseAll(GArray& list) {
    for (int i = 0; i < list.GetSize(); ++i)
        FreeGDObject(static_cast<GDObject*>(list.GetAt(i)));
    list.RemoveAll();
}

int InkraPage::FindGDObject(const GDObject* object) const {
    if (!object)
        return -1;
    void** data = m_Objects.GetData();
    for (int i = 0; i < m_Objects.GetSize(); ++i)
        if (data[i] == object)
            return i;
    return -1;
}

int InkraPage::Unlink(GDObject* object) {
    int index = FindGDObject(object);
    if (index < 0)
        return 0;
    m_Objects.RemoveAt(index);
    return 1;
}

tagRECT InkraPage::AddGDObject(GDObject* object) {
    if (!object)
        return tagRECT{0, 0, 0, 0};
    m_Objects.Add(object);
    return object->bounds;
}

tagRECT InkraPage::AddGDObject(GArray* objects) {
    if (!objects || objects->GetSize() == 0)
        return tagRECT{0, 0, 0, 0};
    tagRECT all = UnionStart();
    for (int i = 0; i < objects->GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(objects->GetAt(i));
        if (!object)
            continue;
        m_Objects.Add(object);
        UnionBounds(all, object->bounds);
    }
    return all;
}

tagRECT InkraPage::InsertGDObjectH(GDObject* object) {
    if (!object)
        return tagRECT{0, 0, 0, 0};
    m_Objects.InsertAt(0, object);
    return object->bounds;
}

tagRECT InkraPage::InsertGDObjectH(GArray* objects) {
    if (!objects || objects->GetSize() == 0)
        return tagRECT{0, 0, 0, 0};
    tagRECT all = UnionStart();
    int at = 0;
    for (int i = 0; i < objects->GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(objects->GetAt(i));
        if (!object)
            continue;
        m_Objects.InsertAt(at++, object);
        UnionBounds(all, object->bounds);
    }
    return all;
}

tagRECT InkraPage::DeleteGDObject(GDObject* object, int release) {
    if (!Unlink(object))
        return tagRECT{0, 0, 0, 0};
    tagRECT bounds = object->bounds;
    if (release)
        FreeGDObject(object);
    return bounds;
}

tagRECT InkraPage::DeleteGDObject(GArray* objects, int release) {
    tagRECT all = UnionStart();
    if (!objects)
        return all;
    for (int i = 0; i < objects->GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(objects->GetAt(i));
        if (!object || IsEraser(object) || !Unlink(object))
            continue;
        UnionBounds(all, object->bounds);
        if (release)
            FreeGDObject(object);
    }
    objects->RemoveAll();
    return all;
}

tagRECT InkraPage::DeleteGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, int release) {
    GArray hit;
    SelectGDObject(matrix, rect, mask, &hit);
    return DeleteGDObject(&hit, release);
}

tagRECT InkraPage::SelectGDObject(const MATRIX* matrix, tagRECT rect, GArray* out) {
    if (!out)
        return tagRECT{0, 0, 0, 0};
    out->RemoveAll();
    if (!matrix || rect.right == rect.left || rect.bottom == rect.top)
        return tagRECT{0, 0, 0, 0};
    tagRECT all = UnionStart();
    for (int i = 0; i < m_Objects.GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(m_Objects.GetAt(i));
        if (object->HitTest(matrix, rect, 1) == 1) {
            out->Add(object);
            UnionBounds(all, object->bounds);
        }
    }
    return all;
}

tagRECT InkraPage::SelectGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, GArray* out) {
    if (!out)
        return tagRECT{0, 0, 0, 0};
    out->RemoveAll();
    if (!mask)
        return tagRECT{0, 0, 0, 0};
    tagRECT all = UnionStart();
    for (int i = 0; i < m_Objects.GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(m_Objects.GetAt(i));
        if (HitTest(object, matrix, rect, mask)) {
            out->Add(object);
            UnionBounds(all, object->bounds);
        }
    }
    return all;
}

tagRECT InkraPage::CopyGDObject(GArray* from, GArray* to) {
    tagRECT all = UnionStart();
    if (!to)
        return all;
    // The copies are made before to is emptied, so from may be to itself.
    GArray copies;
    for (int i = 0; from && i < from->GetSize(); ++i) {
        auto* source = static_cast<GDObject*>(from->GetAt(i));
        if (!source)
            continue;
        GDObject* copy = AllocGDObject();
        if (!copy)
            continue;
        copy->InitObject(source);
        copies.Add(copy);
        UnionBounds(all, copy->bounds);
    }
    ReleaseAll(*to);
    to->Copy(copies);
    return all;
}

tagRECT InkraPage::CopyGDObject(GDObject* object, GArray* to) {
    GArray one;
    if (object)
        one.Add(object);
    return CopyGDObject(&one, to);
}

tagRECT InkraPage::CopyGDObject(const MATRIX* matrix, tagRECT rect, GArray* to) {
    GArray selection;
    SelectGDObject(matrix, rect, &selection);
    return CopyGDObject(&selection, to);
}

tagRECT InkraPage::CopyGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, GArray* to) {
    GArray selection;
    SelectGDObject(matrix, rect, mask, &selection);
    return CopyGDObject(&selection, to);
}

tagRECT InkraPage::CutGDObject(GArray* from, GArray* to) {
    tagRECT all = UnionStart();
    if (!to)
        return all;
    // Taken apart first: from may be to itself, whose objects must not be released then.
    GArray moving;
    if (from)
        moving.Copy(*from);
    if (from != to)
        ReleaseAll(*to);
    else
        to->RemoveAll();
    for (int i = 0; i < moving.GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(moving.GetAt(i));
        if (!Unlink(object))
            continue;
        to->Add(object);
        UnionBounds(all, object->bounds);
    }
    return all;
}

tagRECT InkraPage::CutGDObject(GDObject* object, GArray* to) {
    GArray one;
    if (object)
        one.Add(object);
    return CutGDObject(&one, to);
}

tagRECT InkraPage::CutGDObject(const MATRIX* matrix, tagRECT rect, GArray* to) {
    GArray selection;
    SelectGDObject(matrix, rect, &selection);
    return CutGDObject(&selection, to);
}

tagRECT InkraPage::CutGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, GArray* to) {
    GArray selection;
    SelectGDObject(matrix, rect, mask, &selection);
    return CutGDObject(&selection, to);
}

void InkraPage::RemoveAllGDObject() {
    ReleaseAll(m_Objects);
}

void InkraPage::RemoveAllBackTextObject() {
    ReleaseAll(m_BackObjects);
}

int InkraPage::GetVisibleGDObjectNum() const {
    int count = 0;
    for (int i = 0; i < m_Objects.GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(m_Objects.GetAt(i));
        if (object->kind != DO_STROKE)
            continue;
        switch (object->strokeType) {
            case eDOPen:
            case eDOMarker:
            case eDOPencel:
            case eDOColorPen:
            case eDOBrush:
            case eDOAirBrush:
                ++count;
                break;
            default:
                break;
        }
    }
    return count;
}
