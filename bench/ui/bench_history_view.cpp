// The history with a long past: for each size (default 1,000, 10,000 and 100,000 records)
// a history file made in one go as older versions left it, then what a user and the runs
// do with it: appends (the first lays the file out with room to grow, the next ones write
// only the new member and the directory's end), the store's read of every record, the
// History page loading every row, and a run's record reaching the open page. For the
// largest size also sorting by Start and by Comments and repaints while scrolling, and
// beside them, for scale, a plain QTreeWidget given as many rows of seven texts and sorted.
//
//   build/bench/bench_history_view [records...]     (folder: $TMPDIR or /tmp)
#include <zip.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <vector>

#include "foundation/archive_store.h"
#include "foundation/history_message.h"
#include "foundation/history_record.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "platform/core/file_time.h"
#include "resources/sync_messages.h"
#include "ui/history/history_row.h"
#include "ui/history/history_view.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Heap in use now (freed blocks that the allocator keeps do not count).
double HeapInUseMiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

HistoryRecord RecordNumber(int n) {
    HistoryRecord r;
    r.taskName = "Task " + std::to_string(n % 500);
    r.leftFolder = L"/home/user/Documents/Project " + std::to_wstring(n % 500);
    r.rightFolder = L"/media/user/Backup Disk/Project " + std::to_wstring(n % 500);
    r.type = static_cast<DWORD>(n % 9);
    r.syncType = static_cast<DWORD>(n % 5);
    r.startSource = static_cast<DWORD>(n % 6);
    r.status = static_cast<DWORD>(1 + n % 15);
    r.code = r.type == kHistoryTaskChanged ? kHistoryChangeOptions : 0;
    r.text = r.type >= kHistoryTaskRenamed ? "Earlier name " + std::to_string(n) : std::string();
    r.allowDelete = static_cast<DWORD>(n % 2);
    // Runs spread over about three years, not in order of writing for every task.
    const std::uint64_t start =
        133'500'000'000'000'000ull + static_cast<std::uint64_t>((n * 7919) % 100000) * 9'000'000'000ull;
    r.start = U64ToFileTime(start);
    r.end = U64ToFileTime(start + 600'000'000ull);
    return r;
}

// The whole file in batches of members, each batch one rewrite of the archive, members
// named and encrypted as the history store names and encrypts them.
bool MakeHistoryFile(const std::string& path, int records) {
    constexpr int kBatch = 10000;
    for (int first = 0; first < records; first += kBatch) {
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), first == 0 ? ZIP_CREATE | ZIP_TRUNCATE : 0, &error);
        if (!archive) return false;
        for (int n = first; n < records && n < first + kBatch; ++n) {
            const HistoryRecordBytes bytes = SerializeHistoryRecord(RecordNumber(n));
            void* copy = std::malloc(bytes.size());
            std::memcpy(copy, bytes.data(), bytes.size());
            zip_source_t* source = zip_source_buffer(archive, copy, bytes.size(), 1);
            const zip_int64_t index =
                zip_file_add(archive, HistoryMemberName(static_cast<unsigned>(n)).c_str(), source, 0);
            if (index < 0 || zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_TRAD_PKWARE,
                                                     kArchivePassword) != 0) {
                zip_discard(archive);
                return false;
            }
        }
        if (zip_close(archive) != 0) return false;
    }
    return true;
}

// Mean time of a repaint after a scroll, over 100 scrolls a page or more apart.
double ScrollAndRepaint(QTreeWidget& list) {
    list.show();
    QApplication::processEvents();
    QScrollBar* bar = list.verticalScrollBar();
    constexpr int kSteps = 100;
    const auto start = Clock::now();
    for (int i = 1; i <= kSteps; ++i) {
        bar->setValue(bar->maximum() / kSteps * i);
        list.viewport()->repaint();
    }
    const double mean = MsSince(start) / kSteps;
    list.hide();
    return mean;
}

void PlainTreeWidgetYardstick(int rows) {
    QTreeWidget list;
    list.setColumnCount(7);
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.resize(1200, 700);
    const auto fillStart = Clock::now();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows);
    for (int n = 0; n < rows; ++n) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < 7; ++c) item->setText(c, QStringLiteral("text %1 of row %2").arg(c).arg(n));
        items.push_back(item);
    }
    list.addTopLevelItems(items);
    const double fill = MsSince(fillStart);
    const auto sortStart = Clock::now();
    list.sortItems(6, Qt::DescendingOrder);
    const double sort = MsSince(sortStart);
    std::printf(
        "plain QTreeWidget    %8.1f ms to add %d seven-text rows in one batch, %.1f ms to sort them, %.2f ms a "
        "screen\n",
        fill, rows, sort, ScrollAndRepaint(list));
}

// Peak resident memory of the whole process so far.
double PeakMiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
    }
    std::fclose(status);
    return kib / 1024.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void MeasureSize(int records, bool withViewExtras) {
    const std::string path = GetHistoryFilePath();
    std::filesystem::remove(path);
    auto start = Clock::now();
    if (!MakeHistoryFile(path, records)) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        std::exit(1);
    }
    std::printf("\n%d records: file made in %.1f s (%.1f MiB, as older versions left it)\n", records,
                MsSince(start) / 1000.0, static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0));

    int next = records;
    start = Clock::now();
    const bool laidOut = WriteHistoryRecord(RecordNumber(next++)) != FALSE;
    std::printf("  first append         %8.2f ms (%s; the file laid out anew with room to grow, %.1f MiB)\n",
                MsSince(start), laidOut ? "stored" : "FAILED",
                static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0));
    std::vector<double> appends;
    for (int i = 0; i < 200; ++i) {
        start = Clock::now();
        if (!WriteHistoryRecord(RecordNumber(next++))) std::printf("  append FAILED\n");
        appends.push_back(MsSince(start));
    }
    std::printf("  append               %8.3f ms median, %.3f ms slowest of 200 (in place)\n", Median(appends),
                *std::max_element(appends.begin(), appends.end()));

    std::vector<double> reads;
    std::size_t read = 0;
    for (int i = 0; i < 3; ++i) {
        start = Clock::now();
        const std::optional<HistoryRecordList> list = ReadHistoryRecords(0);
        reads.push_back(MsSince(start));
        read = list ? list->records.size() - list->skipped.size() : 0;
    }
    std::printf("  the store's read     %8.1f ms median of 3 (%zu records)\n", Median(reads), read);

    std::vector<double> loads;
    double heap = 0;
    for (int i = 0; i < 3; ++i) {
        const double before = HeapInUseMiB();
        CHistoryView view;
        view.resize(1200, 700);
        start = Clock::now();
        view.InitialUpdate();
        loads.push_back(MsSince(start));
        heap = HeapInUseMiB() - before;
        if (i < 2) continue;
        std::printf(
            "  every row loaded     %8.1f ms median of 3 (%d rows, the store's read included), %.1f MiB of heap\n",
            Median(loads), view.RowCount(), heap);

        start = Clock::now();
        const bool written = WriteHistoryRecord(RecordNumber(next++)) != FALSE;
        const double appendMs = MsSince(start);
        start = Clock::now();
        SendHistoryPathMessage(view.GetSafeHwnd(), WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
        std::printf("  a run's record shown %8.2f ms (%.2f ms to append, %s; %.2f ms for the page, %d rows)\n",
                    appendMs + MsSince(start), appendMs, written ? "stored" : "FAILED", MsSince(start),
                    view.RowCount());
        if (!withViewExtras) continue;

        start = Clock::now();
        emit view.header()->sectionClicked(HistoryRow::kStart);
        std::printf("  sorted by Start      %8.1f ms\n", MsSince(start));
        start = Clock::now();
        emit view.header()->sectionClicked(HistoryRow::kComments);
        std::printf("  sorted by Comments   %8.1f ms\n", MsSince(start));
        std::printf("  repaint on scrolling %8.2f ms a screen (mean of 100, a page or more apart)\n",
                    ScrollAndRepaint(view));
    }
    if (withViewExtras) PlainTreeWidgetYardstick(records);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000, 100000};
    if (std::any_of(sizes.begin(), sizes.end(), [](int n) { return n <= 0; })) {
        std::fprintf(stderr, "usage: bench_history_view [records...]\n");
        return 2;
    }

    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/qb-bench-history-XXXXXX";
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    ProgramState().dataFolder = folder;
    ProgramState().settingsFile = folder + "/qboptions.ini";
    ProgramState().userName = "user";

    for (std::size_t i = 0; i < sizes.size(); ++i) MeasureSize(sizes[i], i + 1 == sizes.size());
    std::printf("\npeak %.1f MiB for the whole program\n", PeakMiB());
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
