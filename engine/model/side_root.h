#pragma once
// The root folder of one side as its records share it: the folder's path with one '/' at
// its end. Every record holds two (its own side's and its counterpart's), so the handle
// is one pointer wide, where a shared_ptr is two; the text is freed with its last handle.

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

class SideRoot {
public:
    SideRoot() = default;
    // A new root holding `text` as it is.
    explicit SideRoot(std::wstring_view text);
    SideRoot(const SideRoot& other) noexcept : node_(other.node_) {
        if (node_) node_->handles.fetch_add(1, std::memory_order_relaxed);
    }
    SideRoot(SideRoot&& other) noexcept : node_(other.node_) { other.node_ = nullptr; }
    SideRoot& operator=(const SideRoot& other) noexcept {
        SideRoot(other).Swap(*this);
        return *this;
    }
    SideRoot& operator=(SideRoot&& other) noexcept {
        SideRoot(std::move(other)).Swap(*this);
        return *this;
    }
    ~SideRoot();

    explicit operator bool() const { return node_ != nullptr; }
    const std::wstring& operator*() const { return node_->text; }
    const std::wstring* operator->() const { return &node_->text; }
    // The shared text, or null: two handles of one root give the same address.
    const std::wstring* get() const { return node_ ? &node_->text : nullptr; }

private:
    struct Node {
        explicit Node(std::wstring_view folder) : text(folder) {}
        std::atomic<std::size_t> handles{1};
        const std::wstring text;
    };

    void Swap(SideRoot& other) noexcept { std::swap(node_, other.node_); }

    Node* node_ = nullptr;  // owned jointly with every other handle of the root
};

// A root made from `folder`, with one '/' added when it has none at its end.
SideRoot MakeSideRoot(std::wstring_view folder);
