#pragma once
// An item's or cell's text: owned wide characters with a 32-bit length. The buffer only
// grows when a longer text is stored, so rewriting a row's texts does not reallocate.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/core/win_types.h"

class StoredText {
public:
    StoredText() = default;
    StoredText(const StoredText&) = delete;
    StoredText& operator=(const StoredText&) = delete;
    StoredText(StoredText&&) noexcept = default;
    StoredText& operator=(StoredText&&) noexcept = default;

    void Assign(std::wstring_view text);
    void Clear() {
        length_ = 0;
        if (buffer_) buffer_[0] = 0;
    }

    std::wstring_view View() const { return {Data(), length_}; }
    // Always NUL-terminated.
    const WCHAR* Data() const { return buffer_ ? buffer_.get() : L""; }
    std::uint32_t Length() const { return length_; }
    bool Empty() const { return length_ == 0; }

private:
    std::unique_ptr<WCHAR[]> buffer_;
    std::uint32_t length_ = 0;
    std::uint32_t capacity_ = 0;  // characters, without the terminator
};
