#include "ui/compare/pane_rows.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/owned_fd.h"

namespace {

// Each byte becomes a row's byte and more; a larger file would only exhaust the memory.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// The length of the valid UTF-8 sequence at `s[i]`, or 0.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

// Adds one side's lines and filler rows in order, never past the end of its file.
class PaneFiller {
public:
    explicit PaneFiller(const TextFileLines& lines) : lines_(lines) {}

    // Adds the lines not added yet up to line `last` (1-based; 0 or less adds none).
    void AddUpTo(std::int64_t last, std::uint8_t value) {
        const std::size_t stop = last <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(last), lines_.size());
        for (; next_ < stop; ++next_) rows_.push_back({FormatPaneLine(next_ + 1, lines_[next_]), value});
    }
    void AddFillers(std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i) rows_.push_back({std::string(), 1});
    }
    std::vector<PaneRow> Take() { return std::move(rows_); }

private:
    const TextFileLines& lines_;
    std::size_t next_ = 0;
    std::vector<PaneRow> rows_;
};

// The lines first..last that a file of `count` lines holds.
std::int64_t LinesPresent(std::int64_t first, std::int64_t last, std::size_t count) {
    return std::max<std::int64_t>(
        0, std::min<std::int64_t>(last, static_cast<std::int64_t>(count)) - std::max<std::int64_t>(first, 1) + 1);
}

}  // namespace

bool TextFileLines::Read(const std::string& path, std::string& reason) {
    const plat::OwnedFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!file || ::fstat(file.Get(), &info) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = std::strerror(EISDIR);
        return false;
    }
    std::string bytes;
    // The size is a hint only: the file may grow or shrink while it is read.
    if (info.st_size > 0)
        bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, kMaxFileBytes));
    std::size_t used = 0;
    for (;;) {
        if (used == kMaxFileBytes) {
            reason = std::strerror(EFBIG);
            return false;
        }
        bytes.resize(std::min(std::max(bytes.capacity(), used + (std::size_t{1} << 16)), kMaxFileBytes));
        const ssize_t n = ::read(file.Get(), bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    Assign(std::move(bytes));
    return true;
}

void TextFileLines::Assign(std::string bytes) {
    bytes_ = std::move(bytes);
    starts_.clear();
    std::size_t start = 0;
    while (start < bytes_.size()) {
        starts_.push_back(start);
        const std::size_t end = bytes_.find('\n', start);
        start = end == std::string::npos ? bytes_.size() : end + 1;
    }
    starts_.push_back(bytes_.size());
}

std::string_view TextFileLines::operator[](std::size_t index) const {
    std::string_view line(bytes_.data() + starts_[index], starts_[index + 1] - starts_[index]);
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    return line;
}

std::string FormatPaneLine(std::size_t number, std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string number5 = std::to_string(number);
    if (number5.size() < 5) number5.resize(5, ' ');
    std::string text;
    text.reserve(number5.size() + 1 + line.size() + 8);
    text += number5;
    text += ' ';
    for (std::size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c >= 0x20 && c < 0x80) {
            // A run of plain printable ASCII is copied at once.
            std::size_t run = i + 1;
            while (run < line.size() && static_cast<unsigned char>(line[run]) >= 0x20 &&
                   static_cast<unsigned char>(line[run]) < 0x80) {
                ++run;
            }
            text.append(line, i, run - i);
            i = run;
            continue;
        }
        if (c == '\t') {
            text += "    ";
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(line, i);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            ++i;
        } else {
            text.append(line, i, length);
            i += length;
        }
    }
    return text;
}

std::vector<PaneRow> FillPaneRows(PaneSide side, const TextFileLines& own, std::size_t otherLineCount,
                                  const DiffHunks& hunks) {
    const bool left = side == PaneSide::Left;
    const std::size_t leftCount = left ? own.size() : otherLineCount;
    const std::size_t rightCount = left ? otherLineCount : own.size();
    PaneFiller pane(own);
    for (const DiffDetailItem& h : hunks) {
        const std::int64_t l1 = h.leftFirst, l2 = h.leftLast, r1 = h.rightFirst, r2 = h.rightLast;
        const std::int64_t leftLines = LinesPresent(l1, l2, leftCount);
        const std::int64_t rightLines = LinesPresent(r1, r2, rightCount);
        switch (h.type) {
        case kDiffAdded:
            if (left) {
                pane.AddUpTo(l1, 0);
                pane.AddFillers(rightLines);
            } else {
                pane.AddUpTo(r1 - 1, 0);
                pane.AddUpTo(r2, 1);
            }
            break;
        case kDiffChanged:
            if (left) {
                pane.AddUpTo(l1 - 1, 0);
                pane.AddUpTo(l2, 1);
                pane.AddFillers(rightLines - leftLines);
            } else {
                pane.AddUpTo(r1 - 1, 0);
                pane.AddUpTo(r2, 1);
                pane.AddFillers(leftLines - rightLines);
            }
            break;
        default:
            if (left) {
                pane.AddUpTo(l1 - 1, 0);
                pane.AddUpTo(l2, 1);
            } else {
                pane.AddUpTo(r1, 0);
                pane.AddFillers(leftLines);
            }
            break;
        }
    }
    pane.AddUpTo(static_cast<std::int64_t>(own.size()), 0);
    return pane.Take();
}
