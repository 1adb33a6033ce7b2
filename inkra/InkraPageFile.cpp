// One page's record in the memo body: its objects, then (from 2.1) its background objects.
// A page is read into lists of its own and takes them only when the whole record was read.
#include "inkra/FileVersion.h"
#include "inkra/InkraPage.h"
#include "MemoStream.h"

#include <utility>

namespace {

// The smallest object record of each form, for refusing counts the bytes cannot hold.
constexpr unsigned long long kMinOldRecord = 19;
constexpr unsigned long long kMinRecord = GDOBJECT_HEADER_SIZE;

void FreeList(GArray& list) {
    for (int i = 0; i < list.GetSize(); ++i)
        FreeGDObject(static_cast<GDObject*>(list.GetAt(i)));
    list.RemoveAll();
}

// count object records into list; false on damage or no memory.
bool LoadList(GFile* file, _FILE_VERSION& version, tagPOINT& extent, DWORD count, GArray& list) {
    const unsigned long long least = IsOldMemoForm(version) ? kMinOldRecord : kMinRecord;
    if (!inkra::BytesLeft(file, least * count))
        return false;
    // The list takes its final size at once: growing it a step at a time would copy it at
    // every step and leave the heap strewn with the outgrown buffers.
    const int start = list.GetSize();
    list.SetSize(start + static_cast<int>(count));
    if (list.GetSize() != start + static_cast<int>(count))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        GDObject* object = AllocGDObject();
        if (!object || !object->Load(file, version, extent)) {
            FreeGDObject(object);
            // Only the records read stay listed, for the caller to free.
            list.SetSize(start + static_cast<int>(i));
            return false;
        }
        list.SetAt(start + static_cast<int>(i), object);
    }
    return true;
}

// Objects the form can hold: the old record has strokes only.
bool Storable(const GDObject* object, const _FILE_VERSION& version) {
    return object && (!IsOldMemoForm(version) || object->kind == DO_STROKE);
}

bool SaveList(GFile* file, _FILE_VERSION& version, const GArray& list) {
    DWORD count = 0;
    for (int i = 0; i < list.GetSize(); ++i)
        count += Storable(static_cast<GDObject*>(list.GetAt(i)), version) ? 1 : 0;
    if (!inkra::WriteU32(file, count))
        return false;
    if (IsOldMemoForm(version) && !inkra::WriteU32(file, 0))
        return false;
    for (int i = 0; i < list.GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(list.GetAt(i));
        if (Storable(object, version) && !object->Save(file, version))
            return false;
    }
    return true;
}

unsigned long long ListSize(const _FILE_VERSION& version, const GArray& list) {
    unsigned long long size = IsOldMemoForm(version) ? 8 : 4;
    for (int i = 0; i < list.GetSize(); ++i) {
        auto* object = static_cast<const GDObject*>(list.GetAt(i));
        if (Storable(object, version))
            size += object->SavedSize(version);
    }
    return size;
}

} // namespace

int InkraPage::Load(GFile* file, _FILE_VERSION& version, tagPOINT& extent) {
    if (!file)
        return 0;
    GArray objects;
    GArray back;
    tagPOINT reach = extent;
    DWORD count = 0, reserved = 0;
    bool ok = inkra::ReadU32(file, count) &&
              (!IsOldMemoForm(version) || inkra::ReadU32(file, reserved)) &&
              LoadList(file, version, reach, count, objects);
    const bool hasBack = MemoHasBackObjects(version);
    if (ok && hasBack)
        ok = inkra::ReadU32(file, count) && LoadList(file, version, reach, count, back);
    if (!ok) {
        FreeList(objects);
        FreeList(back);
        return 0;
    }
    RemoveAllGDObject();
    m_Objects = std::move(objects);
    if (hasBack) {
        RemoveAllBackTextObject();
        m_BackObjects = std::move(back);
    }
    extent = reach;
    return 1;
}

int InkraPage::Save(GFile* file, _FILE_VERSION& version) {
    if (!file)
        return 0;
    if (!SaveList(file, version, m_Objects))
        return 0;
    if (MemoHasBackObjects(version) && !SaveList(file, version, m_BackObjects))
        return 0;
    return 1;
}

unsigned long long InkraPage::SavedSize(const _FILE_VERSION& version) const {
    return ListSize(version, m_Objects) +
           (MemoHasBackObjects(version) ? ListSize(version, m_BackObjects) : 0);
}
