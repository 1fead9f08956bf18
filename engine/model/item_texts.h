#pragma once
// What the task window shows of an item's state word: its status text and action text.

#include "engine/model/item_state.h"

// The status column's text: the first remark that applies, or "".
const char* GetItemStatusText(ItemState state);

// The action column's text in Left/Right terms: `swapped` is the task's flag that makes
// the source side the Right folder. Folders use the Create texts where files use Copy.
const char* GetItemActionText(ItemState state, bool swapped);
