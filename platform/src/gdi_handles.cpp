// The GDI handle table. A handle is (generation << 32) | (slot + 1) << 4 | 0xC: the low tag and
// the generation catch handles that were never ours or whose object is gone, so a bad handle
// is refused rather than followed. One lock guards the slots and the selection counts; no
// object is ever destroyed while it is held, since destructors release selections themselves.
#include "gdi_object.h"

#include <mutex>
#include <vector>

namespace plat {
namespace {

constexpr uintptr_t kTag = 0xC;
constexpr size_t kMaxSlots = size_t{1} << 24;

struct Slot {
    std::shared_ptr<GdiObject> obj;
    uint32_t generation = 1;
};

class HandleTable {
public:
    HGDIOBJ Add(std::shared_ptr<GdiObject> obj) {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t index;
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else {
            if (m_slots.size() >= kMaxSlots)
                return nullptr;
            index = m_slots.size();
            m_slots.emplace_back();
        }
        Slot& s = m_slots[index];
        uintptr_t value = (static_cast<uintptr_t>(s.generation & 0xFFFF) << 32) |
                          ((static_cast<uintptr_t>(index) + 1) << 4) | kTag;
        HGDIOBJ h = reinterpret_cast<HGDIOBJ>(value);
        obj->handle = h;
        s.obj = std::move(obj);
        return h;
    }

    std::shared_ptr<GdiObject> Find(HGDIOBJ h) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot* s = SlotOf(h);
        return s ? s->obj : nullptr;
    }

    // Takes the object out of its slot; the caller lets it go after the lock is released.
    std::shared_ptr<GdiObject> Remove(HGDIOBJ h) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return RemoveLocked(h);
    }

    void Acquire(GdiObject& obj) {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++obj.selections;
    }

    int Count(GdiObject& obj) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return obj.selections;
    }

    std::shared_ptr<GdiObject> Release(GdiObject& obj) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--obj.selections == 0 && obj.deletePending && !obj.stock)
            return RemoveLocked(obj.handle);
        return nullptr;
    }

    // 1 removed (out holds it), 0 refused, 2 deferred.
    int Delete(GdiObject& obj, std::shared_ptr<GdiObject>& out) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (obj.stock)
            return 2;
        if (obj.selections > 0) {
            if (obj.type == GdiType::Bitmap)
                return 0;
            obj.deletePending = true;
            return 2;
        }
        out = RemoveLocked(obj.handle);
        return 1;
    }

private:
    Slot* SlotOf(HGDIOBJ h) {
        uintptr_t v = reinterpret_cast<uintptr_t>(h);
        if ((v & 0xF) != kTag || (v >> 48) != 0)
            return nullptr;
        size_t index = ((v >> 4) & 0xFFFFFFF);
        if (index == 0 || index > m_slots.size())
            return nullptr;
        Slot& s = m_slots[index - 1];
        if (!s.obj || (s.generation & 0xFFFF) != ((v >> 32) & 0xFFFF))
            return nullptr;
        return &s;
    }

    std::shared_ptr<GdiObject> RemoveLocked(HGDIOBJ h) {
        Slot* s = SlotOf(h);
        if (!s || s->obj->stock)
            return nullptr;
        std::shared_ptr<GdiObject> obj = std::move(s->obj);
        s->obj.reset();
        ++s->generation;
        m_free.push_back(static_cast<size_t>(s - m_slots.data()));
        return obj;
    }

    std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::vector<size_t> m_free;
};

// Never destroyed: objects may be released from static destructors at exit.
HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

HGDIOBJ AllocHandle(std::shared_ptr<GdiObject> obj) {
    if (!obj)
        return nullptr;
    return Table().Add(std::move(obj));
}

std::shared_ptr<GdiObject> LookupObject(HGDIOBJ h) {
    if (!h)
        return nullptr;
    return Table().Find(h);
}

bool FreeHandle(HGDIOBJ h) {
    std::shared_ptr<GdiObject> gone = Table().Remove(h);
    return gone != nullptr;
}

void AcquireSelection(GdiObject& obj) {
    Table().Acquire(obj);
}

void ReleaseSelection(GdiObject& obj) {
    std::shared_ptr<GdiObject> gone = Table().Release(obj);
    // gone (if any) is destroyed here, outside the lock.
}

int SelectionCount(GdiObject& obj) {
    return Table().Count(obj);
}

int RequestDelete(GdiObject& obj) {
    std::shared_ptr<GdiObject> gone;
    return Table().Delete(obj, gone);
}

} // namespace plat
