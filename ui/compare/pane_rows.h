#pragma once
// The rows of the compare window's two panes: each file's lines numbered, with the lines
// that differ marked and blank filler rows where the other side has more, so that every
// difference stands at the same height on both sides.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/compare/diff_hunk.h"

// A file's bytes split into lines the way the comparer counts them: at LF, a last line
// without LF included.
class TextFileLines {
public:
    // False, with `reason` set to the system's words, when the file cannot be read.
    bool Read(const std::string& path, std::string& reason);
    void Assign(std::string bytes);

    std::size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
    // Line `index` (0-based) without its LF.
    std::string_view operator[](std::size_t index) const;

private:
    std::string bytes_;
    std::vector<std::size_t> starts_;  // where each line starts, then one past the end
};

struct PaneRow {
    std::string text;        // UTF-8
    std::uint8_t value = 0;  // 1: differs, or a filler row; 0: the same on both sides
};

enum class PaneSide { Left, Right };

// The rows of one pane: `own` is that side's file, `otherLineCount` the other file's number of
// lines. Numbers in a hunk past the end of a file are taken as that file's end, so neither
// pane reads past its file nor gets filler rows for lines that are not there.
std::vector<PaneRow> FillPaneRows(PaneSide side, const TextFileLines& own, std::size_t otherLineCount,
                                  const DiffHunks& hunks);

// The row text of line `number` (1-based): "%-5d %s", tabs as four blanks, a CR at the end
// dropped, bytes that are not UTF-8 as U+FFFD.
std::string FormatPaneLine(std::size_t number, std::string_view line);
