// GDI objects and their handle table. Every HGDIOBJ (bitmap, brush, pen, font, region, device
// context) and every HICON names a slot of one process-wide table; a handle carries the slot's
// generation, so a stale or invented handle is refused instead of followed. Lookups hand out
// shared ownership: an object deleted on one thread while another still draws with it lives
// until that call ends.
#pragma once

#include <platform/wingdi.h>

#include <memory>

namespace plat {

enum class GdiType : BYTE { Bitmap = 1, Brush, Pen, Font, Region, DC, Icon };

struct GdiObject {
    explicit GdiObject(GdiType t) : type(t) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const GdiType type;
    HGDIOBJ handle = nullptr;
    bool stock = false; // never deleted
    // Selection bookkeeping, guarded by the table's lock (see AcquireSelection).
    int selections = 0;
    bool deletePending = false;
};

// Puts an object in the table and returns its new handle (null when the table is full).
HGDIOBJ AllocHandle(std::shared_ptr<GdiObject> obj);
// The object behind a handle, or null for a bad, stale or deleted one.
std::shared_ptr<GdiObject> LookupObject(HGDIOBJ h);
template <class T> std::shared_ptr<T> Lookup(HGDIOBJ h, GdiType type) {
    std::shared_ptr<GdiObject> o = LookupObject(h);
    if (!o || o->type != type)
        return nullptr;
    return std::static_pointer_cast<T>(o);
}
// Drops the table's reference; the handle is dead from now on. Stock objects are kept.
bool FreeHandle(HGDIOBJ h);

// A device context (or saved state) starts or stops holding an object. Releasing the last
// hold of an object whose deletion was deferred deletes it.
void AcquireSelection(GdiObject& obj);
void ReleaseSelection(GdiObject& obj);
// Current number of holds (read under the lock).
int SelectionCount(GdiObject& obj);
// How DeleteObject treats an object: 1 deleted now, 0 refused (a selected bitmap), 2 deferred.
int RequestDelete(GdiObject& obj);

// Typed holder of one selection: acquires on set, releases on reset and destruction.
template <class T> class Selected {
public:
    Selected() = default;
    explicit Selected(std::shared_ptr<T> p) { Set(std::move(p)); }
    Selected(const Selected& o) { Set(o.m_p); }
    Selected& operator=(const Selected& o) {
        if (this != &o)
            Set(o.m_p);
        return *this;
    }
    ~Selected() { Set(nullptr); }
    void Set(std::shared_ptr<T> p) {
        if (p)
            AcquireSelection(*p);
        if (m_p)
            ReleaseSelection(*m_p);
        m_p = std::move(p);
    }
    T* get() const { return m_p.get(); }
    T* operator->() const { return m_p.get(); }
    const std::shared_ptr<T>& ptr() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    HGDIOBJ handle() const { return m_p ? m_p->handle : nullptr; }

private:
    std::shared_ptr<T> m_p;
};

} // namespace plat
