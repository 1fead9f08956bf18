#pragma once
// The records of a TreeList: one TreeItem per item (its handle is its index in the item
// table) and, behind it, one TreeCell per further column that has been set or read.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/treelist/stored_text.h"
#include "platform/core/win_types.h"

using ItemIndex = std::uint32_t;  // 0 = no item

struct TreeCell {
    StoredText text;
    int textWidth = 0;  // cached; 0 = measure again
    UINT state = 0;
    int image = -2;  // -2 = none, -1 = ask the parent
    bool exists = false;
    bool textCallback = false;
    bool imageCallback = false;
    bool hasTextColor = false;
    bool hasBkColor = false;
    bool dropHighlighted = false;
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
};

struct TreeItem {
    LPARAM lParam = 0;
    StoredText text;
    UINT state = 0;
    int image = 0;
    int selectedImage = 0;

    ItemIndex firstChild = 0;
    ItemIndex lastChild = 0;
    ItemIndex prevSibling = 0;
    ItemIndex nextSibling = 0;
    ItemIndex parent = 0;
    std::uint32_t level = 0;
    int textWidth = 0;  // cached; 0 = measure again

    // Values the parent supplies on request (TVN_GETDISPINFO).
    bool textCallback = false;
    bool imageCallback = false;
    bool selectedImageCallback = false;
    bool childrenCallback = false;

    bool childrenAuto = false;  // "has children" follows whether a child exists
    bool hasChildren = false;   // an expand button is shown
    bool dropHighlighted = false;
    bool focusItem = false;
    bool hasTextColor = false;
    bool hasBkColor = false;
    bool showsIcon = false;  // set by painting, read by hit testing
    COLORREF textColor = 0;
    COLORREF bkColor = 0;

    std::unique_ptr<std::byte[]> userData;  // the application area, zero-filled
    std::vector<TreeCell> cells;            // cells[column - 1]

    // Row-list bookkeeping: `row` is valid while rowGeneration matches the table's.
    std::uint32_t row = 0;
    std::uint32_t rowGeneration = 0;

    TreeCell* Cell(unsigned column) {
        return column >= 1 && column <= cells.size() && cells[column - 1].exists ? &cells[column - 1] : nullptr;
    }
    const TreeCell* Cell(unsigned column) const { return const_cast<TreeItem*>(this)->Cell(column); }
};
