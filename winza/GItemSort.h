// Sort orders and the item comparison shared by the list and tree controls.
#pragma once

#include "fundo/Position.h"

#include <windows.h>

#include <cstdint>

class GItem;

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
