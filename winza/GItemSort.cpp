#include "winza/GItemSort.h"

#include "winza/GItem.h"

int CompareItemLabel(GItem* a, GItem* b) {
    if (!a || !b)
        return -1;
    LPCWSTR la = a->GetLabel();
    LPCWSTR lb = b->GetLabel();
    return wcscmp(la ? la : u"", lb ? lb : u"");
}

int ItemLabelIs(const GItem* item, LPCWSTR text) {
    if (!item || !text || !item->GetLabel())
        return 0;
    return wcscmp(item->GetLabel(), text) == 0 ? 1 : 0;
}
