#pragma once
// Column widths of a TreeList. Fixed columns keep their width; variable columns share
// what the fixed columns leave of the client width in proportion to their shares. A change
// of the client width is spread over the variable columns with the integer remainders
// carried from one column to the next, so the widths add up exactly. Whatever room the
// columns leave free is drawn as part of the last column (its edges, not its width).

#include <vector>

#include "controls/treelist/tree_column.h"

class ColumnLayout {
public:
    std::vector<TreeColumn>& Columns() { return columns_; }
    const std::vector<TreeColumn>& Columns() const { return columns_; }
    unsigned Count() const { return static_cast<unsigned>(columns_.size()); }
    TreeColumn* At(unsigned column) { return column < columns_.size() ? &columns_[column] : nullptr; }

    // Inserts at `position` (clamped to the count) and gives a variable column its room.
    // Returns the index it took.
    unsigned Insert(unsigned position, TreeColumn column);
    // Removes a column; its width goes to the remaining variable columns.
    void Remove(unsigned column);

    // The client width changed: the difference is spread over the variable columns.
    void SetClientWidth(int width);

    // Sets a column's requested width (tracking, TLM_SETCOLUMN).
    void SetWidth(unsigned column, int width);

    // Left edge of a column (index Count() gives the total width). The last column's right
    // edge is at least the client width.
    int Left(unsigned column) const { return column < edges_.size() ? edges_[column] : TotalWidth(); }
    int Right(unsigned column) const { return Left(column + 1); }
    // The width a column is drawn with: its shown width, or more for the last column.
    int DrawnWidth(unsigned column) const { return Right(column) - Left(column); }
    int TotalWidth() const { return edges_.empty() ? 0 : edges_.back(); }
    int FixedSum() const { return fixedSum_; }
    int ShareSum() const { return shareSum_; }

    // The column under an x position of the content (0..total); -1 past the last one.
    int ColumnAt(int x) const;

    // Recomputes shown widths, sums and edges from the requested widths.
    void Update();

private:
    // Adds `delta` pixels to the variable columns (except `skip`) by their shares.
    void Spread(int delta, int skip);

    std::vector<TreeColumn> columns_;
    std::vector<int> edges_{0};
    int clientWidth_ = 0;
    int fixedSum_ = 0;
    int variableSum_ = 0;
    int shareSum_ = 0;
};
