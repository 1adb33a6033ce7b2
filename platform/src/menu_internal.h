// The menus' records, shared by the menu calls and the tracking loop. Menus are used on the
// user-interface thread; the handle table is guarded all the same.
#pragma once

#include <platform/winmenu.h>

#include <memory>
#include <string>
#include <vector>

namespace plat {

struct MenuItem {
    UINT flags = 0;  // MF_ and MFT_ bits, less MF_BYPOSITION
    UINT_PTR id = 0; // command id; for MF_POPUP the submenu
    HMENU sub = nullptr;
    std::u16string text;

    bool Separator() const { return (flags & MF_SEPARATOR) != 0; }
    bool Disabled() const { return (flags & (MF_GRAYED | MF_DISABLED)) != 0; }
    bool Selectable() const { return !Separator() && !Disabled(); }
};

struct Menu {
    HMENU handle = nullptr;
    std::vector<MenuItem> items;
};

// The menu of a handle, or null. The pointer stays good until the menu is destroyed.
std::shared_ptr<Menu> LookupMenu(HMENU menu);

} // namespace plat
