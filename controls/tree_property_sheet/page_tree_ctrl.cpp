#include "controls/tree_property_sheet/page_tree_ctrl.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>
#include <functional>

#include "platform/core/window.h"

namespace TreePropSheet {

namespace {

// A selection model that asks before the current node moves and keeps the selection on
// the current node, so a refused change leaves both where they were.
class GuardedSelectionModel : public QItemSelectionModel {
public:
    using Guard = std::function<bool(const QModelIndex&, const QModelIndex&)>;
    using Done = std::function<void(const QModelIndex&, const QModelIndex&)>;

    GuardedSelectionModel(QAbstractItemModel* model, QObject* parent, Guard guard, Done done)
        : QItemSelectionModel(model, parent), guard_(std::move(guard)), done_(std::move(done)) {}

    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags) override {
        const QModelIndex old = currentIndex();
        if (index == old) {
            if (index.isValid()) MoveTo(index);
            return;
        }
        if (!guard_(old, index)) return;
        // The guard may have moved the node itself (a page change selects its node).
        if (currentIndex() == index) return;
        MoveTo(index);
        done_(old, index);
    }

    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override {
        const QModelIndexList indexes = selection.indexes();
        const bool onlyCurrent =
            !indexes.isEmpty() && std::all_of(indexes.begin(), indexes.end(), [this](const QModelIndex& i) {
                return i.row() == selectable_.row() && i.parent() == selectable_.parent();
            });
        if (onlyCurrent || (indexes.isEmpty() && !selectable_.isValid())) {
            QItemSelectionModel::select(selection, command);
        }
    }
    void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override {
        select(QItemSelection(index, index), command);
    }

    void reset() override {
        selectable_ = QPersistentModelIndex();
        QItemSelectionModel::reset();
    }

private:
    void MoveTo(const QModelIndex& index) {
        selectable_ = index;
        QItemSelectionModel::setCurrentIndex(index, ClearAndSelect | Rows);
    }

    Guard guard_;
    Done done_;
    // The only node that may be selected: the current one, set before it becomes current.
    QPersistentModelIndex selectable_;
};

}  // namespace

CPageTreeCtrl::CPageTreeCtrl(QWidget* parent, HWND notifyWindow, int id)
    : QTreeWidget(parent), notifyWindow_(notifyWindow), id_(id) {
    setObjectName(QString::number(id));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setMouseTracking(true);
    QItemSelectionModel* old = selectionModel();
    setSelectionModel(new GuardedSelectionModel(
        model(), this, [this](const QModelIndex& from, const QModelIndex& to) { return MayChange(from, to); },
        [this](const QModelIndex& from, const QModelIndex& to) { Changed(from, to); }));
    delete old;
}

bool CPageTreeCtrl::SelectItem(QTreeWidgetItem* item) {
    const QModelIndex index = item ? indexFromItem(item) : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (item) scrollToItem(item);
    return currentItem() == item;
}

LRESULT CPageTreeCtrl::Notify(UINT code, const QModelIndex& from, const QModelIndex& to) {
    NMPAGETREE notify;
    notify.hdr.hwndFrom = nullptr;
    notify.hdr.idFrom = static_cast<UINT_PTR>(id_);
    notify.hdr.code = code;
    notify.itemOld = itemFromIndex(from);
    notify.itemNew = itemFromIndex(to);
    return SendMessage(notifyWindow_, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&notify));
}

bool CPageTreeCtrl::MayChange(const QModelIndex& from, const QModelIndex& to) {
    return Notify(TVN_SELCHANGINGA, from, to) == 0;
}

void CPageTreeCtrl::Changed(const QModelIndex& from, const QModelIndex& to) { Notify(TVN_SELCHANGEDA, from, to); }

}  // namespace TreePropSheet
