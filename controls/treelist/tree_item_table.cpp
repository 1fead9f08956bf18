#include "controls/treelist/tree_item_table.h"

#include <new>

#include "controls/treelist/treelist_defs.h"

TreeItemTable::TreeItemTable() : slots_(1) {}

bool TreeItemTable::ReserveOne() {
    if (count_ + 1 < Capacity()) return true;
    const std::size_t grown = static_cast<std::size_t>(Capacity()) + Capacity() / 2 + 64;
    if (grown > 0xFFFFFFu) return false;  // handles travel in 24 bits of some messages
    try {
        slots_.resize(grown);
        rows_.reserve(grown);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

ItemIndex TreeItemTable::Add(std::unique_ptr<TreeItem> item) {
    const auto capacity = Capacity();
    ItemIndex handle = lastGiven_ + 1;
    for (std::uint32_t tries = 0; tries < capacity; ++tries, ++handle) {
        if (handle >= capacity) handle = 1;
        if (!slots_[handle]) {
            slots_[handle] = std::move(item);
            lastGiven_ = handle;
            ++count_;
            return handle;
        }
    }
    return 0;
}

std::unique_ptr<TreeItem> TreeItemTable::Remove(ItemIndex handle) {
    if (!Get(handle)) return nullptr;
    --count_;
    InvalidateRows();
    return std::move(slots_[handle]);
}

ItemIndex TreeItemTable::FirstChildOf(ItemIndex parent) const {
    if (parent == 0) return firstRoot_;
    const TreeItem* p = Get(parent);
    return p ? p->firstChild : 0;
}

ItemIndex TreeItemTable::LastChildOf(ItemIndex parent) const {
    if (parent == 0) return lastRoot_;
    const TreeItem* p = Get(parent);
    return p ? p->lastChild : 0;
}

void TreeItemTable::LinkFirst(ItemIndex parent, ItemIndex handle) {
    TreeItem& item = *Get(handle);
    item.parent = parent;
    item.prevSibling = 0;
    ItemIndex& first = parent ? Get(parent)->firstChild : firstRoot_;
    ItemIndex& last = parent ? Get(parent)->lastChild : lastRoot_;
    item.nextSibling = first;
    if (first)
        Get(first)->prevSibling = handle;
    else
        last = handle;
    first = handle;
    InvalidateRows();
}

void TreeItemTable::LinkLast(ItemIndex parent, ItemIndex handle) {
    TreeItem& item = *Get(handle);
    item.parent = parent;
    item.nextSibling = 0;
    ItemIndex& first = parent ? Get(parent)->firstChild : firstRoot_;
    ItemIndex& last = parent ? Get(parent)->lastChild : lastRoot_;
    item.prevSibling = last;
    if (last)
        Get(last)->nextSibling = handle;
    else
        first = handle;
    last = handle;
    InvalidateRows();
}

void TreeItemTable::LinkAfter(ItemIndex sibling, ItemIndex handle) {
    TreeItem& before = *Get(sibling);
    if (!before.nextSibling) {
        LinkLast(before.parent, handle);
        return;
    }
    TreeItem& item = *Get(handle);
    item.parent = before.parent;
    item.prevSibling = sibling;
    item.nextSibling = before.nextSibling;
    Get(before.nextSibling)->prevSibling = handle;
    before.nextSibling = handle;
    InvalidateRows();
}

void TreeItemTable::LinkBefore(ItemIndex sibling, ItemIndex handle) {
    TreeItem& after = *Get(sibling);
    if (!after.prevSibling) {
        LinkFirst(after.parent, handle);
        return;
    }
    LinkAfter(after.prevSibling, handle);
}

void TreeItemTable::Unlink(ItemIndex handle) {
    TreeItem& item = *Get(handle);
    ItemIndex& first = item.parent ? Get(item.parent)->firstChild : firstRoot_;
    ItemIndex& last = item.parent ? Get(item.parent)->lastChild : lastRoot_;
    if (item.prevSibling)
        Get(item.prevSibling)->nextSibling = item.nextSibling;
    else
        first = item.nextSibling;
    if (item.nextSibling)
        Get(item.nextSibling)->prevSibling = item.prevSibling;
    else
        last = item.prevSibling;
    item.prevSibling = item.nextSibling = 0;
    InvalidateRows();
}

void TreeItemTable::SetChildOrder(ItemIndex parent, const std::vector<ItemIndex>& order) {
    ItemIndex& first = parent ? Get(parent)->firstChild : firstRoot_;
    ItemIndex& last = parent ? Get(parent)->lastChild : lastRoot_;
    ItemIndex previous = 0;
    for (ItemIndex handle : order) {
        TreeItem& item = *Get(handle);
        item.prevSibling = previous;
        item.nextSibling = 0;
        if (previous)
            Get(previous)->nextSibling = handle;
        else
            first = handle;
        previous = handle;
    }
    last = previous;
    InvalidateRows();
}

ItemIndex TreeItemTable::NextDepthFirst(ItemIndex handle, ItemIndex within) const {
    const TreeItem* item = Get(handle);
    if (!item) return 0;
    if (item->firstChild) return item->firstChild;
    while (item) {
        if (handle == within) return 0;
        if (item->nextSibling) return item->nextSibling;
        handle = item->parent;
        item = Get(handle);
    }
    return 0;
}

bool TreeItemTable::IsShown(ItemIndex handle) const {
    const TreeItem* item = Get(handle);
    if (!item) return false;
    for (const TreeItem* p = Get(item->parent); p; p = Get(p->parent)) {
        if (!(p->state & TVIS_EXPANDED)) return false;
    }
    return true;
}

bool TreeItemTable::IsAncestor(ItemIndex ancestor, ItemIndex handle) const {
    const TreeItem* item = Get(handle);
    while (item && item->parent) {
        if (item->parent == ancestor) return true;
        item = Get(item->parent);
    }
    return false;
}

const std::vector<ItemIndex>& TreeItemTable::Rows() {
    if (rowsStale_) RebuildRows();
    return rows_;
}

int TreeItemTable::RowOf(ItemIndex handle) {
    const auto& rows = Rows();
    const TreeItem* item = Get(handle);
    if (!item || item->rowGeneration != rowGeneration_ || item->row >= rows.size()) return -1;
    return static_cast<int>(item->row);
}

void TreeItemTable::RebuildRows() {
    rowsStale_ = false;
    rows_.clear();
    // A new generation makes every old row number stale without touching hidden items.
    if (++rowGeneration_ == 0) {
        for (auto& slot : slots_)
            if (slot) slot->rowGeneration = 0;
        rowGeneration_ = 1;
    }
    ItemIndex handle = firstRoot_;
    while (handle) {
        TreeItem& item = *slots_[handle];
        item.row = static_cast<std::uint32_t>(rows_.size());
        item.rowGeneration = rowGeneration_;
        rows_.push_back(handle);
        if (item.firstChild && (item.state & TVIS_EXPANDED)) {
            handle = item.firstChild;
            continue;
        }
        const TreeItem* walk = &item;
        while (walk && !walk->nextSibling) walk = Get(walk->parent);
        handle = walk ? walk->nextSibling : 0;
    }
}
