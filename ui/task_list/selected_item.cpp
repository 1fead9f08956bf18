#include "ui/task_list/selected_item.h"

#include "ui/task_window/item_row.h"
#include "ui/task_window/sync_dlg.h"

const ItemRowData* FirstSelectedItem(CSyncDlg& window) {
    CTreeListCtrl& tree = window.ItemTree();
    const HTREEITEM row = tree.GetNextSelectedItem(TVI_ROOT);
    return row ? reinterpret_cast<const ItemRowData*>(tree.GetItemData(row)) : nullptr;
}

bool HasSideItem(CSyncDlg& window, int side, bool filesOnly) {
    const ItemRowData* item = FirstSelectedItem(window);
    if (!item || (filesOnly && item->folder)) return false;
    const bool left = !item->leftPath.empty();
    const bool right = !item->rightPath.empty();
    switch (side) {
    case 0: return left;
    case 1: return right;
    default: return left && right;
    }
}
