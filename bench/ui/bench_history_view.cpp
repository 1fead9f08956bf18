// The history view with a long history: a file of 100,000 records, made once in one go,
// then every row loaded, one record appended (one row more, only the new member read),
// sorting by Start and by Comments, and repaints while scrolling. Beside it, for scale, a
// plain QTreeWidget given 100,000 rows of seven texts in one batch and sorted.
//
//   build/bench/bench_history_view [records]     (folder: $TMPDIR or /tmp)
#include <zip.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <malloc.h>

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

double MsSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

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
    const std::uint64_t start = 133'500'000'000'000'000ull + static_cast<std::uint64_t>((n * 7919) % 100000) * 9'000'000'000ull;
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
            const zip_int64_t index = zip_file_add(archive, HistoryMemberName(static_cast<unsigned>(n)).c_str(), source, 0);
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
    std::printf("plain QTreeWidget    %8.1f ms to add %d seven-text rows in one batch, %.1f ms to sort them, %.2f ms a screen\n",
                fill, rows, sort, ScrollAndRepaint(list));
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (records <= 0) {
        std::fprintf(stderr, "usage: bench_history_view [records]\n");
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

    auto start = Clock::now();
    if (!MakeHistoryFile(GetHistoryFilePath(), records)) {
        std::fprintf(stderr, "could not write %s\n", GetHistoryFilePath().c_str());
        return 1;
    }
    std::printf("history file of %d records made in %.1f s (%.1f MiB)\n", records, MsSince(start) / 1000.0,
                static_cast<double>(std::filesystem::file_size(GetHistoryFilePath())) / (1024.0 * 1024.0));

    PlainTreeWidgetYardstick(records);

    // The store's read on its own, once to warm the caches and once timed; then the rows
    // made from the records in memory, which is the view's own share of a load.
    ReadHistoryRecords(0);
    start = Clock::now();
    std::optional<HistoryRecordList> read = ReadHistoryRecords(0);
    const double readMs = MsSince(start);
    std::printf("the store's read     %8.1f ms (%zu records)\n", readMs, read ? read->records.size() : 0);
    {
        CHistoryView rowsOnly;
        start = Clock::now();
        {
            ReportList::Batch batch(rowsOnly);
            for (const HistoryRecord& record : read->records) batch.Add(std::make_unique<HistoryRow>(record));
        }
        std::printf("rows from memory     %8.1f ms (%d rows made from records already read)\n", MsSince(start),
                    rowsOnly.RowCount());
    }
    read.reset();
    const double memoryBefore = HeapInUseMiB();

    {
        CHistoryView view;
        view.resize(1200, 700);
        start = Clock::now();
        view.InitialUpdate();
        const double loadMs = MsSince(start);
        std::printf("every row loaded     %8.1f ms (%d rows, the store's read included), %.1f MiB of heap for the rows\n", loadMs,
                    view.RowCount(), HeapInUseMiB() - memoryBefore);

        start = Clock::now();
        const bool written = WriteHistoryRecord(RecordNumber(records)) != FALSE;
        const double appendMs = MsSince(start);
        start = Clock::now();
        SendHistoryPathMessage(view.GetSafeHwnd(), WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
        std::printf("one record appended  %8.1f ms by the store (%s), %.2f ms for the view (%d rows)\n", appendMs,
                    written ? "stored" : "FAILED", MsSince(start), view.RowCount());

        start = Clock::now();
        emit view.header()->sectionClicked(HistoryRow::kStart);
        std::printf("sorted by Start      %8.1f ms\n", MsSince(start));
        start = Clock::now();
        emit view.header()->sectionClicked(HistoryRow::kComments);
        std::printf("sorted by Comments   %8.1f ms\n", MsSince(start));

        std::printf("repaint on scrolling %8.2f ms a screen (mean of 100, a page or more apart)\n", ScrollAndRepaint(view));
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
