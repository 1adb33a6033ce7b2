// What the list and tree controls share: sort orders, the item comparison, the special head
// position and the pen-down notification.
#pragma once

#include "fundo/Position.h"

#include <windows.h>

#include <cstdint>

class GItem;

// Sent to the parent window when the pen goes down on a list or tree, lParam the control id.
constexpr UINT kMsgCtrlPenDown = 0x17E9;

enum eSortType { eSortNone = 0, eSortAscending = 1, eSortDescending = 2 };

// Negative, zero or positive as the first item sorts before, with or after the second.
typedef int (*GItemCompareProc)(GItem* a, GItem* b);

// The labels compared as wide strings (an item without a label has an empty one); -1 when
// either item is null.
int CompareItemLabel(GItem* a, GItem* b);

// 1 when the item's label is exactly text; an item without a label matches nothing.
int ItemLabelIs(const GItem* item, LPCWSTR text);

// The special position that stands for the head of a list or the root of a tree.
inline POSITION SpecialHeadPosition() {
    return reinterpret_cast<POSITION>(static_cast<intptr_t>(-0x10000));
}
