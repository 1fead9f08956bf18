#include "engine/catalog/catalog_row_table.h"

#include <algorithm>
#include <cstring>
#include <new>

void CatalogRowTable::Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time) {
    const std::size_t needed = name.size() + 1;
    if (needed > kBlockSize) throw std::bad_alloc();
    if (used_ + needed > kBlockSize) {
        if (blocks_.size() >= (std::size_t{1} << (32 - kBlockBits))) throw std::bad_alloc();
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, name.data(), name.size());
    at[name.size()] = '\0';
    Entry entry{time, size, attributes, 0};
    entry.nameRef = static_cast<std::uint32_t>(((blocks_.size() - 1) << kBlockBits) | used_);
    entries_.push_back(entry);
    used_ += needed;
}

std::string_view CatalogRowTable::NameOf(const Entry& entry) const {
    return std::string_view(blocks_[entry.nameRef >> kBlockBits].get() + (entry.nameRef & (kBlockSize - 1)));
}

void CatalogRowTable::Sort() {
    // Names are placed in the order rows were added, so a later row has a larger place.
    std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
        const int order = NameOf(a).compare(NameOf(b));
        return order != 0 ? order < 0 : a.nameRef > b.nameRef;
    });
    // A table reserved for its rows wastes little; copying it to save that would hold the
    // entries twice for a moment.
    if (entries_.capacity() - entries_.size() > entries_.size() / 16) entries_.shrink_to_fit();
}

std::vector<CatalogRowTable::Entry>::const_iterator CatalogRowTable::LowerBound(std::string_view name) const {
    return std::lower_bound(entries_.begin(), entries_.end(), name,
                            [this](const Entry& e, std::string_view key) { return NameOf(e) < key; });
}

const CatalogRowTable::Row* CatalogRowTable::Find(std::string_view name) const {
    const auto it = LowerBound(name);
    return it != entries_.end() && NameOf(*it) == name ? &*it : nullptr;
}

std::size_t CatalogRowTable::CountWithPrefix(std::string_view prefix) const {
    std::size_t count = 0;
    for (auto it = LowerBound(prefix); it != entries_.end() && NameOf(*it).starts_with(prefix); ++it) ++count;
    return count;
}
