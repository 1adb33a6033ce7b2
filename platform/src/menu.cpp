// Menus as data: handles, items, checks and enabled states. Tracking is in menu_track.cpp.
#include "menu_internal.h"

#include <platform/winbase.h>

#include <map>
#include <mutex>

namespace plat {
namespace {

struct MenuTable {
    std::mutex mutex;
    std::map<HMENU, std::shared_ptr<Menu>> menus;
    ULONG_PTR next = 0x20010;
};

MenuTable& Table() {
    static MenuTable* t = new MenuTable;
    return *t;
}

HMENU NewMenu() {
    auto m = std::make_shared<Menu>();
    MenuTable& t = Table();
    std::lock_guard lock(t.mutex);
    m->handle = reinterpret_cast<HMENU>(t.next);
    t.next += 4;
    t.menus[m->handle] = m;
    return m->handle;
}

// The item an id or position names; by command the submenus are searched too, as in Win32.
MenuItem* FindItem(HMENU menu, UINT idOrPos, UINT flags, std::shared_ptr<Menu>* holder,
                   int depth = 0) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    if (!m || depth > 16)
        return nullptr;
    if (flags & MF_BYPOSITION) {
        if (idOrPos >= m->items.size())
            return nullptr;
        *holder = m;
        return &m->items[idOrPos];
    }
    for (MenuItem& it : m->items) {
        if (!(it.flags & MF_POPUP) && !it.Separator() && it.id == idOrPos) {
            *holder = m;
            return &it;
        }
    }
    for (MenuItem& it : m->items)
        if (it.sub)
            if (MenuItem* found = FindItem(it.sub, idOrPos, flags, holder, depth + 1))
                return found;
    return nullptr;
}

bool MakeItem(UINT flags, UINT_PTR id, LPCWSTR text, MenuItem* out) {
    out->flags = flags & ~static_cast<UINT>(MF_BYPOSITION | MF_APPEND | MF_INSERT);
    out->id = id;
    if (flags & MF_POPUP) {
        out->sub = reinterpret_cast<HMENU>(id);
        if (!LookupMenu(out->sub))
            return false;
    }
    if (!(flags & MF_SEPARATOR) && text)
        out->text = text;
    return true;
}

BOOL TakeOut(HMENU menu, UINT position, UINT flags, bool destroySub) {
    std::shared_ptr<Menu> holder;
    MenuItem* it = FindItem(menu, position, flags, &holder);
    if (!it) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HMENU sub = it->sub;
    holder->items.erase(holder->items.begin() + (it - holder->items.data()));
    if (destroySub && sub)
        DestroyMenu(sub);
    return TRUE;
}

} // namespace

std::shared_ptr<Menu> LookupMenu(HMENU menu) {
    MenuTable& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.menus.find(menu);
    return it == t.menus.end() ? nullptr : it->second;
}

} // namespace plat

using namespace plat;

HMENU CreatePopupMenu() {
    return NewMenu();
}

HMENU CreateMenu() {
    return NewMenu();
}

BOOL IsMenu(HMENU menu) {
    return LookupMenu(menu) ? TRUE : FALSE;
}

BOOL DestroyMenu(HMENU menu) {
    std::shared_ptr<Menu> m;
    {
        MenuTable& t = Table();
        std::lock_guard lock(t.mutex);
        auto it = t.menus.find(menu);
        if (it == t.menus.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        m = it->second;
        t.menus.erase(it);
    }
    for (const MenuItem& it : m->items)
        if (it.sub)
            DestroyMenu(it.sub);
    return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    MenuItem item;
    if (!m || !MakeItem(flags, id, text, &item) || item.sub == menu) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    m->items.push_back(std::move(item));
    return TRUE;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    MenuItem item;
    if (!m || !MakeItem(flags, id, text, &item) || item.sub == menu) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // By command: before the item with that id, in whichever menu holds it.
    std::shared_ptr<Menu> holder = m;
    size_t at = m->items.size();
    if (flags & MF_BYPOSITION) {
        if (position < at)
            at = position;
    } else if (MenuItem* before = FindItem(menu, position, MF_BYCOMMAND, &holder)) {
        at = static_cast<size_t>(before - holder->items.data());
    }
    holder->items.insert(holder->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    return TakeOut(menu, position, flags, true);
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    return TakeOut(menu, position, flags, false);
}

int GetMenuItemCount(HMENU menu) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size() ||
        m->items[static_cast<size_t>(position)].sub)
        return 0xFFFFFFFFu;
    return static_cast<UINT>(m->items[static_cast<size_t>(position)].id);
}

HMENU GetSubMenu(HMENU menu, int position) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size())
        return nullptr;
    return m->items[static_cast<size_t>(position)].sub;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
    std::shared_ptr<Menu> holder;
    MenuItem* it = FindItem(menu, id, flags, &holder);
    return it ? it->flags : 0xFFFFFFFFu;
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT flags) {
    std::shared_ptr<Menu> holder;
    MenuItem* it = FindItem(menu, id, flags, &holder);
    if (!it)
        return 0xFFFFFFFFu;
    DWORD old = it->flags & MF_CHECKED;
    if (flags & MF_CHECKED)
        it->flags |= MF_CHECKED;
    else
        it->flags &= ~static_cast<UINT>(MF_CHECKED | MFT_RADIOCHECK);
    return old;
}

BOOL EnableMenuItem(HMENU menu, UINT id, UINT flags) {
    std::shared_ptr<Menu> holder;
    MenuItem* it = FindItem(menu, id, flags, &holder);
    if (!it)
        return -1;
    BOOL old = static_cast<BOOL>(it->flags & (MF_GRAYED | MF_DISABLED));
    it->flags = (it->flags & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) |
                (flags & (MF_GRAYED | MF_DISABLED));
    return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    std::shared_ptr<Menu> m = LookupMenu(menu);
    if (!m || first > last || check < first || check > last)
        return FALSE;
    bool found = false;
    if (flags & MF_BYPOSITION) {
        if (last >= m->items.size())
            return FALSE;
        for (UINT i = first; i <= last; ++i) {
            MenuItem& it = m->items[i];
            it.flags &= ~static_cast<UINT>(MF_CHECKED | MFT_RADIOCHECK);
            if (i == check) {
                it.flags |= MF_CHECKED | MFT_RADIOCHECK;
                found = true;
            }
        }
        return found ? TRUE : FALSE;
    }
    for (MenuItem& it : m->items) {
        if (it.sub || it.Separator() || it.id < first || it.id > last)
            continue;
        it.flags &= ~static_cast<UINT>(MF_CHECKED | MFT_RADIOCHECK);
        if (it.id == check) {
            it.flags |= MF_CHECKED | MFT_RADIOCHECK;
            found = true;
        }
    }
    return found ? TRUE : FALSE;
}
