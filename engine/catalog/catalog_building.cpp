#include "engine/catalog/catalog_building.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_writer.h"
#include "engine/run/message_pumping.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/options/log_options.h"
#include "foundation/sync_task.h"
#include "platform/core/dir_listing.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr DWORD kProgressTickMs = 100;
constexpr DWORD kEndPollMs = 5;
// Rows handed to a side's queue thread in one job, and the jobs that may wait for it: the
// passes wait while 4,096 rows are waiting.
constexpr std::size_t kRowsPerJob = 4096;
constexpr std::size_t kMaxWaitingJobs = 4;

bool StartThread(plat::WorkerThread& thread, std::function<void()> body) { return thread.Start(std::move(body)); }

RunCatalogSide& SideOf(SyncRunBlock& run, CatalogSide side) {
    return side == CatalogSide::kSource ? run.sourceSide : run.targetSide;
}

std::wstring CatalogPathOf(const SyncRunBlock& run, CatalogSide side) {
    if (!run.task) return {};
    return side == CatalogSide::kSource ? run.task->sourceCatalog : run.task->targetCatalog;
}

std::wstring RootFolderOf(const SyncRunBlock& run, CatalogSide side) {
    if (!run.task) return {};
    return side == CatalogSide::kSource ? run.task->sourceFolder : run.task->targetFolder;
}

bool TaskLogs(const SyncRunBlock& run) { return run.logOptions && run.logOptions->log != 0; }

HWND TaskWindow(const SyncRunBlock& run) { return run.task ? run.task->taskWindow : nullptr; }

std::unique_ptr<CatalogWorkItem> MakeJob(SyncRunBlock& run, CatalogSide side) {
    std::unique_ptr<CatalogWorkItem> job;
    if (side == CatalogSide::kSource) {
        job = std::make_unique<WorkItem>();
    } else {
        job = std::make_unique<WorkItemD>();
    }
    job->run = &run;
    return job;
}

// Hands the rows gathered by the passes to the side's queue. Rows that cannot be queued
// would be missing from the catalog, so the side fails.
void QueueGatheredRows(SyncRunBlock& run, CatalogSide side) {
    RunCatalogSide& catalog = SideOf(run, side);
    if (catalog.rowsToQueue.size() == 0 || !catalog.catalogQueue) return;
    std::unique_ptr<CatalogWorkItem> job = MakeJob(run, side);
    job->rows = std::move(catalog.rowsToQueue);
    catalog.rowsToQueue = CatalogRowTable::Chunk();
    if (!catalog.catalogQueue->InsertWorkItem(std::move(job))) catalog.failed = true;
}

int QueueCatalogRow(SyncRunBlock& run, CatalogSide side, const CFileInfo& record, bool ownFields) {
    RunCatalogSide& catalog = SideOf(run, side);
    if (!catalog.catalogQueue || catalog.failed) return 0;
    const std::optional<CatalogRowFields> row = CatalogRowOfRecord(record, side, ownFields);
    if (!row) return 1;
    if (catalog.rowsToQueue.size() == 0) catalog.rowsToQueue.Reserve(kRowsPerJob, kRowsPerJob * 32);
    catalog.rowsToQueue.Add(row->name, row->size, row->attributes, row->time);
    if (catalog.rowsToQueue.size() == kRowsPerJob) QueueGatheredRows(run, side);
    return 1;
}

constexpr std::string_view kArchivePrefix = "~sy";
constexpr std::size_t kArchiveUniqueChars = 6;  // as mkstemp makes them

bool IsUniqueNamePart(std::string_view part) {
    return part.size() == kArchiveUniqueChars &&
           std::all_of(part.begin(), part.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// A name for the new archive in the catalog's own folder, so that the finished archive
// replaces the catalog by a rename on the same file system. Nothing is made under it
// until there is something to write: a catalog that comes out unchanged costs no write.
std::wstring MakeArchiveName(const std::wstring& catalogPath) {
    if (catalogPath.empty()) return {};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device entropy;
    std::string name(kArchivePrefix);
    for (std::size_t i = 0; i < kArchiveUniqueChars; ++i) name += kLetters[entropy() % (sizeof kLetters - 1)];
    return plat::Utf8ToWide(plat::JoinPath(plat::ParentPath(plat::WideToUtf8(catalogPath)), name));
}

// Threads for making members: the machine's cores, shared by both sides.
DWORD MemberThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 2 : std::min(cores, 8u);
}

void DeleteArchive(RunCatalogSide& catalog) {
    if (!catalog.tempCatalog.empty()) plat::DeleteFile(plat::WideToUtf8(catalog.tempCatalog));
    catalog.tempCatalog.clear();
}

void ClearBuilder(RunCatalogSide& catalog) {
    catalog.rowsToQueue = CatalogRowTable::Chunk();
    catalog.rowsWritten = 0;
    catalog.writer.reset();
    catalog.failed = false;
    catalog.ended = false;
}

void LogSaveLine(SyncRunBlock& run, const std::wstring& catalogPath, DWORD rows, bool saved) {
    if (!TaskLogs(run)) return;
    if (saved) {
        AddRunLogLineW(run, L"Save '" + catalogPath + L"' catalog file (" + std::to_wstring(rows) + L" records).",
                       kLogBlack);
    } else {
        AddRunLogLineW(run,
                       L"Failed to write '" + catalogPath + L"' catalog file (" + std::to_wstring(rows) + L" records)",
                       kLogRed);
    }
}

// A side with no rows leaves no catalog: an old one would describe what is gone.
bool RemoveOldCatalog(const std::string& catalogPath) {
    return !plat::PathExists(catalogPath) || plat::DeleteFile(catalogPath);
}

// Puts the side's new catalog in place: a new archive renamed over the old catalog, no
// catalog at all when the side has no rows, and nothing written when what would be
// written is what the catalog already holds.
bool PutCatalogInPlace(RunCatalogSide& catalog, const std::string& catalogPath) {
    CatalogWriter& writer = *catalog.writer;
    if (writer.MemberCount() == 0) return RemoveOldCatalog(catalogPath);
    if (writer.SameAsStored()) return true;
    const std::string archive = plat::WideToUtf8(catalog.tempCatalog);
    if (writer.WriteArchive(archive) && plat::MoveFile(archive, catalogPath, plat::MoveMode::ReplaceExisting)) {
        return true;
    }
    catalog.rowsWritten = 0;  // none of them reached the catalog
    return false;
}

bool SaveSide(SyncRunBlock& run, CatalogSide side) {
    RunCatalogSide& catalog = SideOf(run, side);
    const std::wstring catalogPath = CatalogPathOf(run, side);
    // A side whose end was never processed has not made its last members.
    bool saved = !catalog.failed && catalog.ended && !catalogPath.empty() && catalog.writer;
    if (saved) saved = PutCatalogInPlace(catalog, plat::WideToUtf8(catalogPath));
    LogSaveLine(run, catalogPath, catalog.rowsWritten, saved);
    DeleteArchive(catalog);
    catalog.writer.reset();
    catalog.stored.reset();
    return saved;
}

// The catalog queues first (their jobs hand blocks to the pool), then the pool.
void DestroyQueues(SyncRunBlock& run) {
    if (run.sourceSide.catalogQueue || run.targetSide.catalogQueue) DestroyWorkQueuePumping(run);
    run.catalogMemberPool.reset();
}

}  // namespace

void CatalogWorkItem::DoWork(void* /*context*/) {
    if (run) AppendCatalogRecord(*run, side_, *this);
}

int BuildSourceCatalogWorkItem(SyncRunBlock& run, const CFileInfo& record, bool ownFields) {
    return QueueCatalogRow(run, CatalogSide::kSource, record, ownFields);
}

int BuildCatalogWorkItem(SyncRunBlock& run, const CFileInfo& record, bool ownFields) {
    return QueueCatalogRow(run, CatalogSide::kTarget, record, ownFields);
}

int AppendCatalogRecord(SyncRunBlock& run, CatalogSide side, const CatalogWorkItem& job) {
    RunCatalogSide& catalog = SideOf(run, side);
    if (catalog.failed || !catalog.writer) {
        if (job.end) catalog.ended = true;
        return 0;
    }
    if (!FlushCatalogBlock(run, side, job.end)) {
        catalog.failed = true;
        if (job.end) catalog.ended = true;
        return 0;
    }
    if (job.end) {
        // Ended only once every member is made, so the count shown is complete.
        if (!catalog.writer->Finish()) catalog.failed = true;
        catalog.ended = true;
        return catalog.failed ? 0 : 1;
    }

    for (std::size_t i = 0; i < job.rows.size(); ++i) {
        const CatalogRowTable::Row& row = job.rows.RowAt(i);
        const std::string_view name = job.rows.NameOf(row);
        switch (catalog.writer->Append(name, row.size, row.attributes, row.time)) {
        case CatalogWriter::AppendResult::kAdded: continue;
        case CatalogWriter::AppendResult::kRowRefused:
            // A cut name would name another item; without a row the item is simply new to
            // the next Check. The run ends with a warning, so the line is always written.
            ++run.counters.notRecorded;
            AddRunLogLineW(run, L"Name too long for the catalog, left out: " + plat::Utf8ToWide(name), kLogRed);
            continue;
        case CatalogWriter::AppendResult::kOutOfMemory:
            catalog.failed = true;
            run.SetResultUnlessDiskFull(kRunLowMemory);
            if (TaskLogs(run)) AddRunLogLine(run, "Low on memory. No catalogs are created.", kLogRed);
            return 0;
        case CatalogWriter::AppendResult::kWriteFailed: catalog.failed = true; return 0;
        }
    }
    return 1;
}

int FlushCatalogBlock(SyncRunBlock& run, CatalogSide side, bool final) {
    RunCatalogSide& catalog = SideOf(run, side);
    return catalog.writer && catalog.writer->Flush(final) ? 1 : 0;
}

void BeginCatalogs(SyncRunBlock& run, const CWorkQueue::ThreadStarter& startThread) {
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) ClearBuilder(SideOf(run, side));
    run.catalogMemberPool = std::make_unique<CWorkQueue>();
    // Without its threads the writers make their members on the queue threads.
    if (!run.catalogMemberPool->Create(MemberThreadCount())) run.catalogMemberPool.reset();
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        const std::wstring catalogPath = CatalogPathOf(run, side);
        catalog.tempCatalog = MakeArchiveName(catalogPath);
        if (catalog.tempCatalog.empty()) {
            catalog.failed = true;
            continue;
        }
        const StoredCatalogParts* const checked = catalog.stored.get();
        catalog.writer = std::make_unique<CatalogWriter>(plat::WideToUtf8(catalogPath), RootFolderOf(run, side),
                                                         run.catalogMemberPool.get(), catalog.rowsWritten,
                                                         checked ? checked->rows.get() : nullptr, checked);
    }
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        auto queue = startThread ? std::make_unique<CWorkQueue>(startThread, kMaxWaitingJobs)
                                 : std::make_unique<CWorkQueue>(StartThread, kMaxWaitingJobs);
        if (queue->Create(1)) {
            catalog.catalogQueue = queue.release();
        } else {
            catalog.failed = true;
            catalog.ended = true;
        }
    }
}

void QueueCatalogEndJobs(SyncRunBlock& run) {
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        if (!catalog.catalogQueue) continue;
        QueueGatheredRows(run, side);
        std::unique_ptr<CatalogWorkItem> job = MakeJob(run, side);
        job->end = true;
        if (!catalog.catalogQueue->InsertWorkItem(std::move(job))) {
            catalog.failed = true;
            catalog.ended = true;
        }
    }
}

DWORD CatalogProgressThreadProc(SyncRunBlock& run) {
    const HWND window = TaskWindow(run);
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        const RunCatalogSide& catalog = SideOf(run, side);
        const char* const format = side == CatalogSide::kSource ? "Creating source catalog - %u records"
                                                                : "Creating target catalog - %u records";
        while (catalog.catalogQueue && !catalog.ended) {
            if (window) {
                const std::string text = plat::Format(format, static_cast<unsigned>(catalog.rowsWritten));
                SendMessage(window, WM_SYNC_PROGRESS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            }
            // The run waits for this thread: it leaves within a few ms of the side's end,
            // not at the next tick.
            for (DWORD slept = 0; slept < kProgressTickMs && !catalog.ended; slept += kEndPollMs) {
                SleepEx(kEndPollMs, TRUE);
            }
        }
    }
    return 1;
}

void StartCatalogProgress(SyncRunBlock& run) {
    RunPumpingMessages([&run] { CatalogProgressThreadProc(run); });
}

bool IsLeftoverArchiveName(std::string_view name) {
    if (!name.starts_with(kArchivePrefix)) return false;
    name.remove_prefix(kArchivePrefix.size());
    // The archive library rewrites an archive into "<archive>.XXXXXX" and renames that.
    if (name.size() == 2 * kArchiveUniqueChars + 1 && name[kArchiveUniqueChars] == '.') {
        return IsUniqueNamePart(name.substr(0, kArchiveUniqueChars)) &&
               IsUniqueNamePart(name.substr(kArchiveUniqueChars + 1));
    }
    return IsUniqueNamePart(name);
}

void RemoveLeftoverArchives(const SyncRunBlock& run) {
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        const std::wstring catalogPath = CatalogPathOf(run, side);
        if (catalogPath.empty()) continue;
        std::vector<plat::DirEntry> entries;
        const std::string folder = plat::ParentPath(plat::WideToUtf8(catalogPath));
        plat::ListFolder(folder, entries);
        for (const plat::DirEntry& entry : entries) {
            if (entry.IsFile() && IsLeftoverArchiveName(entry.name))
                plat::DeleteFile(plat::JoinPath(folder, entry.name));
        }
    }
}

bool SaveCatalogs(SyncRunBlock& run) {
    DestroyQueues(run);
    const bool sourceSaved = SaveSide(run, CatalogSide::kSource);
    const bool targetSaved = SaveSide(run, CatalogSide::kTarget);
    return sourceSaved && targetSaved;
}

void DiscardCatalogs(SyncRunBlock& run) {
    // Members not yet begun are not made at all.
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        if (SideOf(run, side).writer) SideOf(run, side).writer->Cancel();
    }
    DestroyQueues(run);
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        DeleteArchive(catalog);
        catalog.rowsToQueue = CatalogRowTable::Chunk();
        catalog.writer.reset();
        catalog.stored.reset();
    }
}
