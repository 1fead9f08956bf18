#include "controls/treelist/column_layout.h"

#include <algorithm>
#include <cstdint>

unsigned ColumnLayout::Insert(unsigned position, TreeColumn column) {
    position = std::min(position, Count());
    if (column.IsVariable()) {
        if (shareSum_ > 0) {
            // A share of what the variable columns have now, taken from them.
            const std::int64_t width =
                static_cast<std::int64_t>(variableSum_) * column.share / (shareSum_ + column.share);
            column.requested = static_cast<int>(width);
            Spread(-column.requested, -1);
        } else {
            int others = 0;
            for (const auto& c : columns_) others += c.requested;
            column.requested = clientWidth_ - others;
        }
    } else {
        // The variable columns share what the fixed ones leave: a new fixed column takes its room from them.
        Spread(-column.requested, -1);
    }
    columns_.insert(columns_.begin() + position, std::move(column));
    Update();
    return position;
}

void ColumnLayout::Remove(unsigned column) {
    if (column >= Count()) return;
    const int freed = columns_[column].requested;
    const bool wasVariable = columns_[column].IsVariable();
    columns_.erase(columns_.begin() + column);
    Update();
    if (wasVariable || freed > 0) {
        Spread(freed, -1);
        Update();
    }
}

void ColumnLayout::SetClientWidth(int width) {
    const int delta = width - clientWidth_;
    clientWidth_ = width;
    if (delta != 0) {
        Spread(delta, -1);
        Update();
    }
}

void ColumnLayout::SetWidth(unsigned column, int width) {
    if (column >= Count()) return;
    columns_[column].requested = width;
    Update();
}

int ColumnLayout::ColumnAt(int x) const {
    for (unsigned c = 0; c < Count(); ++c)
        if (x >= edges_[c] && x < edges_[c + 1]) return static_cast<int>(c);
    return -1;
}

void ColumnLayout::Update() {
    fixedSum_ = variableSum_ = shareSum_ = 0;
    edges_.assign(1, 0);
    for (auto& c : columns_) {
        c.shown = std::max(c.requested, c.minWidth);
        if (c.IsVariable()) {
            variableSum_ += c.requested;
            shareSum_ += c.share;
        } else {
            fixedSum_ += c.requested;
        }
        edges_.push_back(edges_.back() + c.shown);
    }
    // The last column reaches the right edge: room left free would cut its texts while
    // space is there. Its own width stays what it was given.
    if (!columns_.empty() && edges_.back() < clientWidth_) edges_.back() = clientWidth_;
}

void ColumnLayout::Spread(int delta, int skip) {
    std::int64_t total = 0;
    for (unsigned c = 0; c < Count(); ++c)
        if (columns_[c].IsVariable() && static_cast<int>(c) != skip) total += columns_[c].share;
    if (total == 0 || delta == 0) return;
    // Cumulative shares: every column gets the difference of two running quotients, so the
    // parts add up to exactly `delta` whatever the rounding.
    std::int64_t running = 0;
    std::int64_t given = 0;
    for (unsigned c = 0; c < Count(); ++c) {
        auto& col = columns_[c];
        if (!col.IsVariable() || static_cast<int>(c) == skip) continue;
        running += col.share;
        const std::int64_t upTo = static_cast<std::int64_t>(delta) * running / total;
        col.requested += static_cast<int>(upTo - given);
        given = upTo;
    }
}
