#include "engine/catalog/catalog_row_table.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <new>

#include "platform/core/parallel_for.h"

namespace {

std::uint64_t HashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

}  // namespace

void CatalogRowTable::Chunk::Reserve(std::size_t rows, std::size_t nameBytes) {
    rows_.reserve(rows);
    names_.reserve(nameBytes);
}

void CatalogRowTable::Chunk::Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time) {
    if (rows_.size() == rows_.capacity()) rows_.reserve(std::max<std::size_t>(64, 2 * rows_.size()));
    const std::size_t at = names_.size();
    if (at + name.size() + 1 > 0xFFFFFFFFu) throw std::bad_alloc();
    names_.insert(names_.end(), name.begin(), name.end());
    names_.push_back('\0');
    rows_.push_back(Row{time, size, attributes, static_cast<std::uint32_t>(at)});
}

void CatalogRowTable::Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time) {
    if (chunks_.empty() || chunks_.back().size() == kRowsPerChunk) {
        if (chunks_.size() >= (std::size_t{1} << (32 - kPlaceBits)) - 1) throw std::bad_alloc();
        chunks_.emplace_back();
    }
    chunks_.back().Add(name, size, attributes, time);
    ++rows_;
}

void CatalogRowTable::AddChunk(Chunk chunk) {
    if (chunk.size() > kRowsPerChunk || chunks_.size() >= (std::size_t{1} << (32 - kPlaceBits)) - 1) {
        throw std::bad_alloc();
    }
    rows_ += chunk.size();
    chunks_.push_back(std::move(chunk));
}

std::string_view CatalogRowTable::NameAtPlace(std::uint32_t place) const {
    return chunks_[place >> kPlaceBits].NameAt(place & (kRowsPerChunk - 1));
}

const CatalogRowTable::Row& CatalogRowTable::RowAtPlace(std::uint32_t place) const {
    return chunks_[place >> kPlaceBits].RowAt(place & (kRowsPerChunk - 1));
}

void CatalogRowTable::Index() {
    constexpr std::size_t kParts = std::size_t{1} << kPartBits;
    // Each chunk's rows hashed and counted by part, then laid out part after part in
    // chunk order, so that within a part a later row of a name comes after an earlier one.
    struct Hashed {
        std::uint64_t hash;
        std::uint32_t place;
    };
    std::vector<std::array<std::uint32_t, kParts>> counts(chunks_.size());
    std::vector<std::vector<std::uint64_t>> hashes(chunks_.size());
    std::atomic<bool> outOfMemory{false};
    plat::ParallelFor(chunks_.size(), [&](std::size_t c) {
        try {
            counts[c].fill(0);
            hashes[c].resize(chunks_[c].size());
            for (std::size_t i = 0; i < chunks_[c].size(); ++i) {
                const std::uint64_t hash = HashOf(chunks_[c].NameAt(i));
                hashes[c][i] = hash;
                ++counts[c][hash >> (64 - kPartBits)];
            }
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    });
    if (outOfMemory) throw std::bad_alloc();
    std::vector<std::size_t> partStart(kParts + 1, 0);
    std::vector<std::array<std::uint32_t, kParts>> at(chunks_.size());
    for (std::size_t p = 0, total = 0; p < kParts; ++p) {
        partStart[p] = total;
        for (std::size_t c = 0; c < chunks_.size(); ++c) {
            at[c][p] = static_cast<std::uint32_t>(total);
            total += counts[c][p];
        }
        partStart[p + 1] = total;
    }
    std::vector<Hashed> laidOut(rows_);
    plat::ParallelFor(chunks_.size(), [&](std::size_t c) {
        std::array<std::uint32_t, kParts>& next = at[c];
        for (std::size_t i = 0; i < hashes[c].size(); ++i) {
            const std::uint64_t hash = hashes[c][i];
            laidOut[next[hash >> (64 - kPartBits)]++] = {hash, static_cast<std::uint32_t>((c << kPlaceBits) | i)};
        }
        std::vector<std::uint64_t>().swap(hashes[c]);
    });

    std::vector<IndexPart> parts(kParts);
    plat::ParallelFor(kParts, [&](std::size_t p) {
        const std::size_t rows = partStart[p + 1] - partStart[p];
        // At most two thirds full, so a lookup rarely looks at more than two cells.
        const std::size_t size = std::bit_ceil(std::max<std::size_t>(4, rows + rows / 2));
        std::vector<std::uint64_t> cells;
        try {
            cells.assign(size, 0);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            return;
        }
        const std::size_t mask = size - 1;
        for (std::size_t r = partStart[p]; r < partStart[p + 1]; ++r) {
            const Hashed& row = laidOut[r];
            const std::uint64_t filled = (row.hash & 0xFFFFFFFF00000000ull) | (std::uint64_t{row.place} + 1);
            for (std::size_t slot = row.hash & mask;; slot = (slot + 1) & mask) {
                const std::uint64_t taken = cells[slot];
                // A later row of the same name takes the earlier one's place.
                if (taken == 0 ||
                    ((taken >> 32) == (row.hash >> 32) &&
                     NameAtPlace(static_cast<std::uint32_t>(taken & 0xFFFFFFFF) - 1) == NameAtPlace(row.place))) {
                    cells[slot] = filled;
                    break;
                }
            }
        }
        parts[p].cells = std::move(cells);
    });
    if (outOfMemory) throw std::bad_alloc();
    parts_ = std::move(parts);
}

void CatalogRowTable::DropIndex() { std::vector<IndexPart>().swap(parts_); }

void CatalogRowTable::ForEachRow(const std::function<void(std::string_view, const Row&)>& visit) const {
    for (const Chunk& chunk : chunks_) {
        for (std::size_t i = 0; i < chunk.size(); ++i) visit(chunk.NameAt(i), chunk.RowAt(i));
    }
}

const CatalogRowTable::Row* CatalogRowTable::Find(std::string_view name) const {
    if (parts_.empty()) return nullptr;
    const std::uint64_t hash = HashOf(name);
    const std::vector<std::uint64_t>& cells = parts_[hash >> (64 - kPartBits)].cells;
    const std::size_t mask = cells.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = cells[at];
        if (slot == 0) return nullptr;
        if ((slot >> 32) != (hash >> 32)) continue;
        const auto place = static_cast<std::uint32_t>(slot & 0xFFFFFFFF) - 1;
        if (NameAtPlace(place) == name) return &RowAtPlace(place);
    }
}

const std::vector<std::uint32_t>& CatalogRowTable::ByName() const {
    std::call_once(ordered_, [this] {
        byName_.reserve(rows_);
        for (std::size_t c = 0; c < chunks_.size(); ++c) {
            for (std::size_t i = 0; i < chunks_[c].size(); ++i) {
                byName_.push_back(static_cast<std::uint32_t>((c << kPlaceBits) | i));
            }
        }
        std::sort(byName_.begin(), byName_.end(), [this](std::uint32_t a, std::uint32_t b) {
            const int order = NameAtPlace(a).compare(NameAtPlace(b));
            return order != 0 ? order < 0 : a > b;
        });
    });
    return byName_;
}

std::string_view CatalogRowTable::NameAt(std::size_t index) const { return NameAtPlace(ByName()[index]); }

const CatalogRowTable::Row& CatalogRowTable::RowAt(std::size_t index) const { return RowAtPlace(ByName()[index]); }

std::size_t CatalogRowTable::CountWithPrefix(std::string_view prefix) const {
    const std::vector<std::uint32_t>& byName = ByName();
    auto it = std::lower_bound(byName.begin(), byName.end(), prefix,
                               [this](std::uint32_t place, std::string_view key) { return NameAtPlace(place) < key; });
    std::size_t count = 0;
    for (; it != byName.end() && NameAtPlace(*it).starts_with(prefix); ++it) ++count;
    return count;
}
