#include "controls/list_sort.h"

#include <QApplication>
#include <string>

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string RowText(const QTreeWidget* list, int row, int column) {
    const QTreeWidgetItem* item = list->topLevelItem(row);
    return item ? item->text(column).toStdString() : std::string();
}

// Exchanges two rows by moving the items themselves, so everything a row holds goes
// with it; the selection and the current row follow their items.
void SwapRows(QTreeWidget* list, int first, int second) {
    if (first > second) std::swap(first, second);
    QTreeWidgetItem* current = list->currentItem();
    const int currentColumn = list->currentColumn();
    const bool firstSelected = list->topLevelItem(first)->isSelected();
    const bool secondSelected = list->topLevelItem(second)->isSelected();

    // With no current row while the items are out, the view selects nothing on its own.
    list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    QTreeWidgetItem* secondItem = list->takeTopLevelItem(second);
    QTreeWidgetItem* firstItem = list->takeTopLevelItem(first);
    list->insertTopLevelItem(first, secondItem);
    list->insertTopLevelItem(second, firstItem);

    firstItem->setSelected(firstSelected);
    secondItem->setSelected(secondSelected);
    if (current) list->setCurrentItem(current, currentColumn, QItemSelectionModel::NoUpdate);
}

BOOL SortRange(QTreeWidget* list, int column, bool ascending, int low, int high) {
    WaitCursor wait;
    int lo = low;
    int hi = high;
    if (hi <= lo) return FALSE;

    const std::string mid = RowText(list, (lo + hi) / 2, column);
    const auto before = [ascending](const std::string& a, const std::string& b) { return ascending ? a < b : a > b; };
    while (lo <= hi) {
        while (lo < high && before(RowText(list, lo, column), mid)) ++lo;
        while (hi > low && before(mid, RowText(list, hi, column))) --hi;
        if (lo <= hi) {
            // Equal texts are never exchanged.
            if (RowText(list, lo, column) != RowText(list, hi, column)) SwapRows(list, lo, hi);
            ++lo;
            --hi;
        }
    }
    if (low < hi) SortRange(list, column, ascending, low, hi);
    if (lo < high) SortRange(list, column, ascending, lo, high);
    return TRUE;
}

}  // namespace

BOOL SortTextItems(QTreeWidget* list, int column, BOOL ascending, int low, int high) {
    if (!list || column < 0 || column >= list->columnCount()) return FALSE;
    const int rows = list->topLevelItemCount();
    if (high == -1 || high >= rows) high = rows - 1;
    if (low < 0) return FALSE;
    return SortRange(list, column, ascending != FALSE, low, high);
}
