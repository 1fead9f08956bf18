#include "ui/compare/diff_hunk.h"

#include <charconv>
#include <string>

namespace {

std::int32_t ParseLineNumber(std::string_view text, std::string_view line) {
    std::int32_t value = 0;
    const char* const end = text.data() + text.size();
    if (text.empty() || text.front() < '0' || text.front() > '9')
        throw DiffHunkError("bad hunk header: " + std::string(line));
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) throw DiffHunkError("bad hunk header: " + std::string(line));
    return value;
}

// "n" or "n,m".
void ParseSide(std::string_view text, std::string_view line, std::int32_t& first, std::int32_t& last) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        first = last = ParseLineNumber(text, line);
    } else {
        first = ParseLineNumber(text.substr(0, comma), line);
        last = ParseLineNumber(text.substr(comma + 1), line);
    }
    if (last < first) throw DiffHunkError("hunk ends before it starts: " + std::string(line));
}

// The lines of each side that the filling has used up once this hunk is drawn: an "a" hunk
// takes the left side only up to the line it inserts after, a "d" hunk the right side only
// up to the line it deletes after.
std::int64_t LeftEnd(const DiffDetailItem& h) { return h.type == kDiffAdded ? h.leftFirst : h.leftLast; }
std::int64_t RightEnd(const DiffDetailItem& h) { return h.type == kDiffDeleted ? h.rightFirst : h.rightLast; }

}  // namespace

bool IsDiffHunkHeader(std::string_view line) { return !line.empty() && line.front() >= '0' && line.front() <= '9'; }

DiffDetailItem ParseDiffHunk(std::string_view line) {
    DiffDetailItem hunk;
    std::size_t letter = line.find('a');
    hunk.type = kDiffAdded;
    if (letter == std::string_view::npos) {
        letter = line.find('c');
        hunk.type = kDiffChanged;
    }
    if (letter == std::string_view::npos) {
        letter = line.find('d');
        hunk.type = kDiffDeleted;
    }
    if (letter == std::string_view::npos) throw DiffHunkError("not a hunk header: " + std::string(line));
    ParseSide(line.substr(0, letter), line, hunk.leftFirst, hunk.leftLast);
    ParseSide(line.substr(letter + 1), line, hunk.rightFirst, hunk.rightLast);
    return hunk;
}

void AppendDiffHunk(DiffHunks& hunks, const DiffDetailItem& hunk) {
    const std::int64_t leftDone = hunks.empty() ? 0 : LeftEnd(hunks.back());
    const std::int64_t rightDone = hunks.empty() ? 0 : RightEnd(hunks.back());
    // Lines drawn as different must be lines not drawn yet; an insertion or deletion point
    // may be the last line already drawn.
    const bool leftInOrder = hunk.type == kDiffAdded ? hunk.leftFirst >= leftDone : hunk.leftFirst > leftDone;
    const bool rightInOrder = hunk.type == kDiffDeleted ? hunk.rightFirst >= rightDone : hunk.rightFirst > rightDone;
    if (!leftInOrder || !rightInOrder) throw DiffHunkError("hunks out of order");
    hunks.push_back(hunk);
}
