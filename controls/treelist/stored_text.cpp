#include "controls/treelist/stored_text.h"

#include <algorithm>
#include <limits>

void StoredText::Assign(std::wstring_view text) {
    const std::size_t limit = std::numeric_limits<std::uint32_t>::max() - 1;
    const std::size_t length = std::min(text.size(), limit);
    if (length > capacity_ || !buffer_) {
        buffer_ = std::make_unique<WCHAR[]>(length + 1);
        capacity_ = static_cast<std::uint32_t>(length);
    }
    std::copy_n(text.data(), length, buffer_.get());
    buffer_[length] = 0;
    length_ = static_cast<std::uint32_t>(length);
}
