#pragma once
// The item table of a TreeList: items addressed by handle (an index, never searched),
// the sibling links of the tree, and the list of visible rows (items whose ancestors are
// all expanded, in depth-first order). The row list is rebuilt lazily: a change only marks
// it stale and the next question about rows rebuilds it, so filling a large tree stays
// linear.

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/treelist/tree_item.h"

class TreeItemTable {
public:
    TreeItemTable();

    std::uint32_t Count() const { return count_; }
    // Number of slots, slot 0 unused; handles run 1..Capacity()-1.
    std::uint32_t Capacity() const { return static_cast<std::uint32_t>(slots_.size()); }

    TreeItem* Get(ItemIndex handle) { return handle < slots_.size() ? slots_[handle].get() : nullptr; }
    const TreeItem* Get(ItemIndex handle) const { return handle < slots_.size() ? slots_[handle].get() : nullptr; }

    // Makes room for one more item (capacity + capacity / 2 + 64 when the count would reach
    // the capacity). False when memory ran out; the table is then unchanged.
    bool ReserveOne();
    // Stores the item under the next free handle after the last one given (round-robin,
    // wrapping to 1). ReserveOne must have succeeded.
    ItemIndex Add(std::unique_ptr<TreeItem> item);
    // Takes the item out of the table; it must already be unlinked.
    std::unique_ptr<TreeItem> Remove(ItemIndex handle);

    ItemIndex FirstRoot() const { return firstRoot_; }
    ItemIndex LastRoot() const { return lastRoot_; }
    ItemIndex FirstChildOf(ItemIndex parent) const;  // parent 0 = the roots
    ItemIndex LastChildOf(ItemIndex parent) const;

    void LinkFirst(ItemIndex parent, ItemIndex handle);
    void LinkLast(ItemIndex parent, ItemIndex handle);
    void LinkAfter(ItemIndex sibling, ItemIndex handle);
    void LinkBefore(ItemIndex sibling, ItemIndex handle);
    void Unlink(ItemIndex handle);
    // Relinks a parent's children in the given order (the same set of items).
    void SetChildOrder(ItemIndex parent, const std::vector<ItemIndex>& order);

    // Depth-first successor over the whole tree (expanded or not); with `within` set the
    // walk does not leave that item's sub-tree.
    ItemIndex NextDepthFirst(ItemIndex handle, ItemIndex within = 0) const;
    // Whether every ancestor of the item is expanded (it then has a row).
    bool IsShown(ItemIndex handle) const;
    bool IsAncestor(ItemIndex ancestor, ItemIndex handle) const;

    // Row list.
    void InvalidateRows() { rowsStale_ = true; }
    bool RowsStale() const { return rowsStale_; }
    const std::vector<ItemIndex>& Rows();
    std::uint32_t RowCount() { return static_cast<std::uint32_t>(Rows().size()); }
    int RowOf(ItemIndex handle);  // -1 when the item has no row
    ItemIndex ItemOfRow(std::size_t row) {
        const auto& rows = Rows();
        return row < rows.size() ? rows[row] : 0;
    }

private:
    void RebuildRows();

    std::vector<std::unique_ptr<TreeItem>> slots_;
    std::uint32_t count_ = 0;
    ItemIndex lastGiven_ = 0;
    ItemIndex firstRoot_ = 0;
    ItemIndex lastRoot_ = 0;

    std::vector<ItemIndex> rows_;
    std::uint32_t rowGeneration_ = 1;
    bool rowsStale_ = false;
};
