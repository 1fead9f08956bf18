#pragma once
// An array of records kept in the order of their relative paths, so that every lookup
// is a binary search. The array owns its records; their addresses never change while
// they are in it, so a record may be pointed at while others are inserted.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/path_compare.h"

template <typename T, std::string T::*Key>
class CSortedArray {
public:
    template <bool IsConst>
    class Iterator {
    public:
        using Base = typename std::vector<T*>::const_iterator;
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = std::conditional_t<IsConst, const T&, T&>;
        using pointer = std::conditional_t<IsConst, const T*, T*>;

        Iterator() = default;
        explicit Iterator(Base base) : base_(base) {}
        reference operator*() const { return **base_; }
        pointer operator->() const { return *base_; }
        Iterator& operator++() {
            ++base_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++base_;
            return old;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.base_ == b.base_; }

    private:
        Base base_;
    };
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    explicit CSortedArray(PathCompareFunction compare) : compare_(compare ? compare : CompareFileInfo2ByName) {}
    CSortedArray(const CSortedArray&) = delete;
    CSortedArray& operator=(const CSortedArray&) = delete;
    CSortedArray(CSortedArray&&) = default;
    CSortedArray& operator=(CSortedArray&&) = default;
    ~CSortedArray() = default;

    PathCompareFunction GetCompareFunction() const { return compare_; }
    // Changing the order of a filled array sorts it again, so lookups stay right.
    void SetCompareFunction(PathCompareFunction compare) {
        if (!compare || compare == compare_) return;
        compare_ = compare;
        std::stable_sort(order_.begin(), order_.end(),
                         [this](const T* a, const T* b) { return compare_(a->*Key, b->*Key) < 0; });
    }

    int GetSize() const { return static_cast<int>(order_.size()); }
    bool IsEmpty() const { return order_.empty(); }
    // `index` must be in [0, GetSize()).
    T& operator[](int index) { return *order_[static_cast<std::size_t>(index)]; }
    const T& operator[](int index) const { return *order_[static_cast<std::size_t>(index)]; }

    iterator begin() { return iterator(order_.cbegin()); }
    iterator end() { return iterator(order_.cend()); }
    const_iterator begin() const { return const_iterator(order_.cbegin()); }
    const_iterator end() const { return const_iterator(order_.cend()); }

    // Inserts without regard to the order (an index past the end appends). Returns the index.
    int InsertAt(int index, T element) {
        const int at = std::clamp(index, 0, GetSize());
        order_.insert(order_.begin() + at, Store(std::move(element)));
        return at;
    }

    void RemoveAll() {
        order_.clear();
        blocks_.clear();
        stored_ = 0;
    }

    // Room for `count` more elements in one block, so an array filled at once takes no
    // more memory than its elements.
    void Reserve(std::size_t count) {
        order_.reserve(order_.size() + count);
        if (count > 0) AddBlock(count);
    }

    // Binary search over [lo, hi] (hi -1 = the last index) for an element whose key
    // compares equal to `key`: the index of the first such element, or -1.
    int Find(std::string_view key, int lo = 0, int hi = -1) const {
        const int size = GetSize();
        if (size == 0) return -1;
        if (hi < 0 || hi >= size) hi = size - 1;
        if (lo < 0) lo = 0;
        if (lo > hi) return -1;
        const auto first = order_.begin() + lo;
        const auto last = order_.begin() + hi + 1;
        const auto it = LowerBound(first, last, key);
        if (it == last || compare_((*it)->*Key, key) != 0) return -1;
        return static_cast<int>(it - order_.begin());
    }

    // Inserts in order, in front of any element that compares equal. Returns the index.
    int OrderedInsert(T element) {
        const auto it = LowerBound(order_.begin(), order_.end(), element.*Key);
        const auto at = it - order_.begin();
        order_.insert(it, Store(std::move(element)));
        return static_cast<int>(at);
    }

protected:
    // Inserts in front of the first element for which `goesBefore(existing, element)`
    // holds, or at the end. A linear pass: for display orders, not for lookups.
    template <typename GoesBefore>
    int InsertBeforeFirst(T element, GoesBefore goesBefore) {
        const auto it = std::find_if(order_.begin(), order_.end(),
                                     [&](const T* existing) { return goesBefore(*existing, element); });
        const auto at = it - order_.begin();
        order_.insert(it, Store(std::move(element)));
        return static_cast<int>(at);
    }

private:
    using OrderIterator = typename std::vector<T*>::const_iterator;

    OrderIterator LowerBound(OrderIterator first, OrderIterator last, std::string_view key) const {
        return std::lower_bound(first, last, key,
                                [this](const T* e, std::string_view k) { return compare_(e->*Key, k) < 0; });
    }

    void AddBlock(std::size_t capacity) {
        blocks_.emplace_back();
        blocks_.back().reserve(capacity);
    }

    T* Store(T element) {
        if (blocks_.empty() || blocks_.back().size() == blocks_.back().capacity()) {
            AddBlock(std::max<std::size_t>(4, stored_ / 2));
        }
        blocks_.back().push_back(std::move(element));
        ++stored_;
        return &blocks_.back().back();
    }

    // Own the records; a block is never filled past the room it was made with, so its
    // records never move.
    std::vector<std::vector<T>> blocks_;
    std::size_t stored_ = 0;
    std::vector<T*> order_;  // the same records in the array's order
    PathCompareFunction compare_;
};
