#pragma once
// What the task list asks of a task window before it passes an item command on: the row
// data of the item tree's first selected row (depth-first over the whole tree), and the
// tests of the commands on it.

#include "platform/core/win_types.h"

class CSyncDlg;
struct ItemRowData;

// The first selected row's data, or null (no row selected, or a row without data).
const ItemRowData* FirstSelectedItem(CSyncDlg& window);

// The selected item has a copy on `side` (0 Left, 1 Right, 2 both); with `filesOnly`, a
// folder row does not count.
bool HasSideItem(CSyncDlg& window, int side, bool filesOnly = false);
