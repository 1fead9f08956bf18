// Compare window speed on two text files of 100,000 lines with 1,000 changed, 1,000 added
// and 1,000 deleted places: the comparer run, the parsing of its hunks, the filling of both
// panes, and 100 steps of scrolling both panes and repainting them. For scale, a plain
// QListWidget filled with the same rows. Goals: filling under 0.2 s, a step under 10 ms.
//
//   build/bench/bench_compare [blocks of 100 lines]
#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/compare/detail_list_box.h"
#include "ui/compare/diff_runner.h"
#include "ui/compare/pane_rows.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Each block of 100 lines gets one changed line, two added lines and one deleted line.
void WriteFiles(const std::string& leftPath, const std::string& rightPath, int blocks) {
    std::ofstream left(leftPath), right(rightPath);
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < 100; ++i) {
            const std::string line = "line " + std::to_string(b * 100 + i) + " of the file,\twith a tab and some words";
            left << line << '\n';
            if (i == 10) {
                right << line << " changed\n";
            } else if (i == 70) {
                continue;
            } else {
                right << line << '\n';
            }
            if (i == 40) right << "added one\nadded two\n";
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 1000;

    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path folder =
        std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / ("bench_compare_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string leftPath = (folder / "left.txt").string();
    const std::string rightPath = (folder / "right.txt").string();
    WriteFiles(leftPath, rightPath, blocks);

    std::vector<std::string> output;
    std::string error;
    auto start = Clock::now();
    const int result = RunDiff("", "", leftPath, rightPath, output, error);
    const double runMs = MsSince(start);
    if (result != kDiffDifferent) {
        std::fprintf(stderr, "comparer: %d %s\n", result, error.c_str());
        return 1;
    }

    start = Clock::now();
    DiffHunks hunks;
    for (const std::string& line : output) {
        if (IsDiffHunkHeader(line)) AppendDiffHunk(hunks, ParseDiffHunk(line));
    }
    const double parseMs = MsSince(start);

    QWidget window;
    window.resize(1200, 800);
    CDetailListBox leftList(&window), rightList(&window);
    leftList.setGeometry(0, 0, 600, 800);
    rightList.setGeometry(600, 0, 600, 800);
    leftList.SetPartner(&rightList);
    rightList.SetPartner(&leftList);
    window.show();
    QApplication::processEvents();

    start = Clock::now();
    TextFileLines leftLines, rightLines;
    std::string reason;
    if (!leftLines.Read(leftPath, reason) || !rightLines.Read(rightPath, reason)) return 1;
    leftList.SetRows(FillPaneRows(PaneSide::Left, leftLines, rightLines.size(), hunks));
    rightList.SetRows(FillPaneRows(PaneSide::Right, rightLines, leftLines.size(), hunks));
    QApplication::processEvents();  // the lists lay their rows out
    leftList.viewport()->repaint();
    rightList.viewport()->repaint();
    const double fillMs = MsSince(start);
    const std::size_t rows = leftList.Rows().size();

    constexpr int kSteps = 100;
    const int stride = static_cast<int>(rows / (kSteps + 1));
    start = Clock::now();
    for (int step = 1; step <= kSteps; ++step) {
        rightList.verticalScrollBar()->setValue(step * stride);
        leftList.viewport()->repaint();
        rightList.viewport()->repaint();
    }
    const double scrollMs = MsSince(start) / kSteps;

    if (leftList.TopIndex() != rightList.TopIndex()) std::fprintf(stderr, "panes out of step\n");

    // The yardstick: a plain list widget with the left pane's rows, filled before it shows.
    QListWidget plain;
    plain.resize(600, 800);
    start = Clock::now();
    for (const PaneRow& row : leftList.Rows()) plain.addItem(QString::fromStdString(row.text));
    plain.show();
    QApplication::processEvents();
    plain.viewport()->repaint();
    const double plainFillMs = MsSince(start);
    start = Clock::now();
    for (int step = 1; step <= kSteps; ++step) {
        plain.verticalScrollBar()->setValue(step * stride);
        plain.viewport()->repaint();
    }
    const double plainScrollMs = MsSince(start) / kSteps;

    std::printf("files: %zu and %zu lines, %zu hunks, %zu rows per pane\n", leftLines.size(), rightLines.size(),
                hunks.size(), rows);
    std::printf("comparer run:                 %8.1f ms\n", runMs);
    std::printf("parsing the hunks:            %8.1f ms\n", parseMs);
    std::printf("filling both panes:           %8.1f ms\n", fillMs);
    std::printf("scroll and repaint, per step: %8.2f ms (both panes)\n", scrollMs);
    std::printf("QListWidget: filling one pane %8.1f ms, scroll and repaint %.2f ms\n", plainFillMs, plainScrollMs);
    std::filesystem::remove_all(folder);
    return 0;
}
