// The labels of a list's items in list order, for comparing a whole list at once; an item
// without a label reads as "-".
#pragma once

#include "winza/GItem.h"
#include "winza/GListCtrl.h"

#include <string>
#include <string_view>

inline std::u16string Labels(GListCtrl& list, std::u16string_view separator = u" ") {
    std::u16string s;
    GList* items = list.GetItemList();
    if (!items)
        return s;
    for (POSITION pos = items->GetHeadPosition(); pos;) {
        auto* item = static_cast<GItem*>(items->GetNext(pos));
        if (!s.empty())
            s += separator;
        s += item->GetLabel() ? item->GetLabel() : u"-";
    }
    return s;
}
