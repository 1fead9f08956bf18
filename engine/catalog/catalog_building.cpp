#include "engine/catalog/catalog_building.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "engine/run/message_pumping.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/archive_store.h"
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

int QueueCatalogRow(SyncRunBlock& run, CatalogSide side, const CFileInfo& record, bool ownFields) {
    RunCatalogSide& catalog = SideOf(run, side);
    if (!catalog.catalogQueue || catalog.failed) return 0;
    std::optional<CFileInfo2> row = CatalogRowOfRecord(record, side, ownFields);
    if (!row) return 1;
    std::unique_ptr<CatalogWorkItem> job = MakeJob(run, side);
    job->row = std::move(*row);
    catalog.catalogQueue->InsertWorkItem(std::move(job));
    return 1;
}

constexpr std::string_view kArchivePrefix = "~sy";
constexpr std::size_t kArchiveUniqueChars = 6;  // what mkstemp puts in place of "XXXXXX"

bool IsUniqueNamePart(std::string_view part) {
    return part.size() == kArchiveUniqueChars &&
           std::all_of(part.begin(), part.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// A name for the new archive in the catalog's own folder, so that the finished archive
// replaces the catalog by a rename on the same file system. The file made to reserve the
// name is removed again at once: the archive library creates the archive itself.
std::wstring MakeArchiveName(const std::wstring& catalogPath) {
    if (catalogPath.empty()) return {};
    std::string name = plat::JoinPath(plat::ParentPath(plat::WideToUtf8(catalogPath)), "~syXXXXXX");
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    ::close(fd);
    ::unlink(name.c_str());
    return plat::Utf8ToWide(name);
}

void DeleteArchive(RunCatalogSide& catalog) {
    if (!catalog.tempCatalog.empty()) plat::DeleteFile(plat::WideToUtf8(catalog.tempCatalog));
    catalog.tempCatalog.clear();
}

void ClearBuilder(RunCatalogSide& catalog) {
    catalog.rowsInBlock = 0;
    catalog.rowsWritten = 0;
    catalog.memberIndex = 0;
    catalog.blockBuffer.reset();
    catalog.failed = false;
    catalog.ended = false;
}

void LogSaveLine(SyncRunBlock& run, const std::wstring& catalogPath, DWORD rows, bool saved) {
    if (!TaskLogs(run)) return;
    if (saved) {
        AddRunLogLineW(run, L"Save '" + catalogPath + L"' catalog file (" + std::to_wstring(rows) + L" records).",
                       kLogBlack);
    } else {
        AddRunLogLineW(run, L"Failed to write '" + catalogPath + L"' catalog file (" + std::to_wstring(rows) +
                                L" records)",
                       kLogRed);
    }
}

// A side with no rows leaves no catalog: an old one would describe what is gone.
bool RemoveOldCatalog(const std::string& catalogPath) {
    return !plat::PathExists(catalogPath) || plat::DeleteFile(catalogPath);
}

bool SaveSide(SyncRunBlock& run, CatalogSide side) {
    RunCatalogSide& catalog = SideOf(run, side);
    const std::wstring catalogPath = CatalogPathOf(run, side);
    const std::string catalogNarrow = plat::WideToUtf8(catalogPath);
    // A side whose end was never processed has not written its last rows.
    bool saved = !catalog.failed && catalog.ended && !catalogPath.empty();
    if (saved) {
        if (catalog.memberIndex == 0) {
            saved = RemoveOldCatalog(catalogNarrow);
        } else {
            saved = plat::MoveFile(plat::WideToUtf8(catalog.tempCatalog), catalogNarrow,
                                   plat::MoveMode::ReplaceExisting);
        }
    }
    LogSaveLine(run, catalogPath, catalog.rowsWritten, saved);
    DeleteArchive(catalog);
    catalog.blockBuffer.reset();
    return saved;
}

void DestroyQueues(SyncRunBlock& run) {
    if (run.sourceSide.catalogQueue || run.targetSide.catalogQueue) DestroyWorkQueuePumping(run);
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
    if (catalog.failed) {
        if (job.end) catalog.ended = true;
        return 0;
    }
    if (!FlushCatalogBlock(run, side, job.end)) {
        catalog.failed = true;
        catalog.blockBuffer.reset();
        if (job.end) catalog.ended = true;
        return 0;
    }
    if (job.end) {
        catalog.blockBuffer.reset();
        catalog.ended = true;
        return 1;
    }

    if (!catalog.blockBuffer) {
        catalog.blockBuffer = AllocateCatalogBlockBuffer();
        if (!catalog.blockBuffer) {
            catalog.failed = true;
            run.SetResultUnlessDiskFull(kRunLowMemory);
            if (TaskLogs(run)) AddRunLogLine(run, "Low on memory. No catalogs are created.", kLogRed);
            return 0;
        }
        catalog.rowsInBlock = 0;
    }
    const std::span<std::uint8_t, kCatalogRecordSize> slot(
        catalog.blockBuffer.get() + kCatalogHeaderSize + std::size_t{catalog.rowsInBlock} * kCatalogRecordSize,
        kCatalogRecordSize);
    if (!FillCatalogRecord(job.row, slot)) {
        // A cut name would name another item; without a row the item is simply new to
        // the next Check. The run ends with a warning, so the line is always written.
        ++run.counters.notRecorded;
        AddRunLogLineW(run, L"Name too long for the catalog, left out: " + job.row.name, kLogRed);
        return 1;
    }
    ++catalog.rowsInBlock;
    return 1;
}

int FlushCatalogBlock(SyncRunBlock& run, CatalogSide side, bool final) {
    RunCatalogSide& catalog = SideOf(run, side);
    const DWORD rows = catalog.rowsInBlock;
    if (rows < kCatalogRowsPerBlock && (!final || rows == 0)) return 1;

    std::uint8_t* const buffer = catalog.blockBuffer.get();
    // The folder is only informative: a root too long for its field is cut there.
    FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize>(buffer, kCatalogHeaderSize), rows,
                      RootFolderOf(run, side));
    const std::span<const std::uint8_t> block(buffer, CatalogBlockSize(rows));
    if (!WriteCatalogEntry(plat::WideToUtf8(catalog.tempCatalog), block, catalog.memberIndex)) {
        catalog.blockBuffer.reset();
        return 0;
    }
    catalog.rowsWritten += rows;
    ++catalog.memberIndex;
    catalog.rowsInBlock = 0;
    return 1;
}

void BeginCatalogs(SyncRunBlock& run, const CWorkQueue::ThreadStarter& startThread) {
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) ClearBuilder(SideOf(run, side));
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        catalog.tempCatalog = MakeArchiveName(CatalogPathOf(run, side));
        if (catalog.tempCatalog.empty()) catalog.failed = true;
    }
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        auto queue = startThread ? std::make_unique<CWorkQueue>(startThread) : std::make_unique<CWorkQueue>();
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
        const char* const format =
            side == CatalogSide::kSource ? "Creating source catalog - %u records" : "Creating target catalog - %u records";
        while (catalog.catalogQueue && !catalog.ended) {
            if (window) {
                const std::string text = plat::Format(format, static_cast<unsigned>(catalog.rowsWritten));
                SendMessage(window, WM_SYNC_PROGRESS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            }
            SleepEx(kProgressTickMs, TRUE);
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
            if (entry.IsFile() && IsLeftoverArchiveName(entry.name)) plat::DeleteFile(plat::JoinPath(folder, entry.name));
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
    DestroyQueues(run);
    for (const CatalogSide side : {CatalogSide::kSource, CatalogSide::kTarget}) {
        RunCatalogSide& catalog = SideOf(run, side);
        DeleteArchive(catalog);
        catalog.blockBuffer.reset();
    }
}
