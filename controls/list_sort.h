#pragma once
// Sorts the rows of a report-style list in place by the text of one column. Whole rows
// move: every column's text, the icons, the selection and the item data.

#include <QTreeWidget>

#include "platform/core/win_types.h"

// Rows `low` to `high` (-1: the last row). Texts compare byte by byte with case, no
// locale collation. FALSE when the column is not in the header or the range holds
// fewer than two rows; the list is then unchanged.
BOOL SortTextItems(QTreeWidget* list, int column, BOOL ascending, int low = 0, int high = -1);
