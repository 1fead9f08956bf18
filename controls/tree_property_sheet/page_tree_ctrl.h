#pragma once
// The tree of a tree property sheet. Every change of the selected node, by mouse, keyboard
// or program, is first offered to the notify window as WM_NOTIFY TVN_SELCHANGING, which
// may refuse it (answer nonzero) so the selection stays; then TVN_SELCHANGED follows.
// The selection is read with currentItem() or selectedItems(); an item's own
// isSelected() does not follow it.

#include <QTreeWidget>

#include "controls/control_defs.h"
#include "platform/core/win_types.h"

namespace TreePropSheet {

inline constexpr UINT TVN_SELCHANGINGA = static_cast<UINT>(-401);
inline constexpr UINT TVN_SELCHANGEDA = static_cast<UINT>(-402);
inline constexpr UINT TVN_SELCHANGINGW = static_cast<UINT>(-450);
inline constexpr UINT TVN_SELCHANGEDW = static_cast<UINT>(-451);

struct NMPAGETREE {
    NMHDR hdr;
    QTreeWidgetItem* itemOld = nullptr;
    QTreeWidgetItem* itemNew = nullptr;
};

class CPageTreeCtrl : public QTreeWidget {
public:
    CPageTreeCtrl(QWidget* parent, HWND notifyWindow, int id);

    // Selects the node (null: none) with the notifications; false when it was refused.
    bool SelectItem(QTreeWidgetItem* item);
    QTreeWidgetItem* GetSelectedItem() const { return currentItem(); }

private:
    bool MayChange(const QModelIndex& from, const QModelIndex& to);
    void Changed(const QModelIndex& from, const QModelIndex& to);
    LRESULT Notify(UINT code, const QModelIndex& from, const QModelIndex& to);

    HWND notifyWindow_;
    int id_;
};

}  // namespace TreePropSheet
