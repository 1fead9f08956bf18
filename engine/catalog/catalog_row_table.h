#pragma once
// One side's catalog of the last run as the Check holds it for its lookups: the rows in
// the order the catalog stores them, in chunks of at most 4,096 (one a member), each
// row's name once as UTF-8 and its values in a compact entry, and a hash index over the
// names. A row costs its name and about 40 bytes.
//
// The stored order is kept so that a Sync can tell a block of its new catalog that holds
// the same rows as the stored member it replaces without reading that member again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

class CatalogRowTable {
public:
    static constexpr std::size_t kRowsPerChunk = 4096;

    // A row's values; its name is what it was looked up by.
    struct Row {
        LONGLONG time = 0;  // last write
        ULONGLONG size = 0;
        DWORD attributes = INVALID_FILE_ATTRIBUTES;
        std::uint32_t nameAt = 0;  // where the name begins in its chunk's names
    };

    // Rows that follow one another in the catalog, at most kRowsPerChunk.
    class Chunk {
    public:
        // Adds a row; a name holds no NUL. Throws std::bad_alloc when memory runs out.
        void Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time);
        void Reserve(std::size_t rows, std::size_t nameBytes);
        std::size_t size() const { return rows_.size(); }
        const Row& RowAt(std::size_t index) const { return rows_[index]; }
        // A row of this chunk's name; it ends where the next row's begins, less its NUL.
        std::string_view NameOf(const Row& row) const { return NameAt(static_cast<std::size_t>(&row - rows_.data())); }
        std::string_view NameAt(std::size_t index) const {
            const std::size_t end = index + 1 < rows_.size() ? rows_[index + 1].nameAt : names_.size();
            return std::string_view(names_.data() + rows_[index].nameAt, end - rows_[index].nameAt - 1);
        }

    private:
        std::vector<char> names_;  // NUL-terminated, one after the other
        std::vector<Row> rows_;
    };

    // Adds a row after the others (in a new chunk when the last one is full). Index() must
    // follow before lookups. Throws std::bad_alloc when memory runs out.
    void Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time);
    // Adds a chunk after the others; at most kRowsPerChunk rows. Throws std::bad_alloc.
    void AddChunk(Chunk chunk);
    // Makes the lookups; of rows with the same name the one added last is found. Throws
    // std::bad_alloc when memory runs out.
    void Index();
    // Frees what the lookups need, keeping the rows.
    void DropIndex();

    std::size_t size() const { return rows_; }
    std::size_t ChunkCount() const { return chunks_.size(); }
    const Chunk& ChunkAt(std::size_t index) const { return chunks_[index]; }
    // Every row in the stored order.
    void ForEachRow(const std::function<void(std::string_view name, const Row& row)>& visit) const;
    // The row at `index` (< size()) in name order, of rows with the same name the one
    // added last first. The first call orders them.
    std::string_view NameAt(std::size_t index) const;
    const Row& RowAt(std::size_t index) const;

    // The row named exactly `name`, or null. Safe from several threads at once.
    const Row* Find(std::string_view name) const;
    // How many rows have names that begin with `prefix` (the first call orders them).
    std::size_t CountWithPrefix(std::string_view prefix) const;

private:
    // A row's place: its chunk in the high bits, its index there in the low.
    static constexpr unsigned kPlaceBits = 12;
    static_assert((std::size_t{1} << kPlaceBits) == kRowsPerChunk);

    std::string_view NameAtPlace(std::uint32_t place) const;
    const Row& RowAtPlace(std::uint32_t place) const;
    const std::vector<std::uint32_t>& ByName() const;

    // The index is split by the top bits of the names' hashes into parts made apart on
    // several threads, each small enough to stay in a core's cache while it is made.
    static constexpr unsigned kPartBits = 8;
    struct IndexPart {
        // Open addressing: the name's hash in the high half, its place + 1 in the low; 0 empty.
        std::vector<std::uint64_t> cells;
    };

    std::vector<Chunk> chunks_;
    std::size_t rows_ = 0;
    std::vector<IndexPart> parts_;

    mutable std::once_flag ordered_;
    mutable std::vector<std::uint32_t> byName_;  // places in name order, made on first use
};
