#pragma once
// One side's catalog of the last run as the Check holds it for its lookups: every row's
// name once, as UTF-8 in blocks of text, and its values in a compact entry, the entries in
// the byte order of their names. A row costs its name and 24 bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

class CatalogRowTable {
public:
    // A row's values; its name is what it was looked up by.
    struct Row {
        LONGLONG time = 0;  // last write
        ULONGLONG size = 0;
        DWORD attributes = INVALID_FILE_ATTRIBUTES;
        std::uint32_t nameRef = 0;  // the table's own: where the name is kept
    };

    // Adds a row in any order; Sort() must follow before lookups. A name holds no NUL.
    // Throws std::bad_alloc when memory runs out.
    void Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time);
    // Room for `rows` rows in all, so that adding them never holds the entries twice.
    void Reserve(std::size_t rows) { entries_.reserve(rows); }
    // Puts the rows in name order; of rows with the same name the one added last is found.
    void Sort();

    std::size_t size() const { return entries_.size(); }
    // The name of the row at `index` (< size()), in the table's order.
    std::string_view NameAt(std::size_t index) const { return NameOf(entries_[index]); }
    const Row& RowAt(std::size_t index) const { return entries_[index]; }
    // The row named exactly `name`, or null.
    const Row* Find(std::string_view name) const;
    // How many rows have names that begin with `prefix`.
    std::size_t CountWithPrefix(std::string_view prefix) const;

private:
    // nameRef: the block number in the high bits, the place in it in the low.
    using Entry = Row;
    static constexpr unsigned kBlockBits = 16;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;

    std::string_view NameOf(const Entry& entry) const;
    std::vector<Entry>::const_iterator LowerBound(std::string_view name) const;

    std::vector<std::unique_ptr<char[]>> blocks_;  // NUL-terminated names; none crosses a block
    std::size_t used_ = kBlockSize;                 // bytes used in the last block
    std::vector<Entry> entries_;
};
