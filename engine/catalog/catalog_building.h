#pragma once
// The Sync half's building of both sides' new catalogs. Each side has a work queue of one
// thread; after an item's action the passes queue one job per side whose catalog gets a
// row for it (the passes wait while 4,096 rows are waiting), and the queue thread hands
// the rows to the side's CatalogWriter, which makes each full block into the next member
// on a pool of threads shared by both sides. When the Sync has ended, each side's members
// are written as one new archive in the side's catalog folder and renamed over its
// "_qb_sync._if"; a catalog whose members all came out as it already holds them is not
// written at all.
//
// A catalog records only what is in step. An item that ends as an unresolved conflict,
// with an error or with a backup error keeps the rows the decision found for it in the
// last catalogs (none where it had none), so the next Check decides it again. A side left
// with no rows gets no catalog: its old file is removed. A name too long for a row is
// left out of the catalog and logged, never cut.
//
// The order of a Sync phase that keeps catalogs:
//   BeginCatalogs -> the passes queue rows -> QueueCatalogEndJobs -> StartCatalogProgress
//   -> DestroyWorkQueuePumping -> SaveCatalogs
// and, when the phase ends early (Stop, a full disk), DiscardCatalogs instead of the last
// four steps.

#include <string_view>
#include <vector>

#include "engine/catalog/catalog_row_table.h"
#include "engine/catalog/catalog_rows.h"
#include "engine/model/file_info.h"
#include "engine/run/work_queue.h"
#include "platform/core/win_types.h"

struct RunCatalogSide;
struct SyncRunBlock;

// A job of a catalog queue: rows for its side's catalog, or the end of the catalog. The
// rows are made from the items' records when they are queued, so the queue thread never
// reads the trees that the run's worker goes on changing; they travel in batches, so the
// passes hand rows over once per batch rather than once per item.
class CatalogWorkItem : public WorkItemBase {
public:
    void DoWork(void* context) override;

    SyncRunBlock* run = nullptr;  // null: the job does nothing
    CatalogRowTable::Chunk rows;  // rows of consecutive items, in their order; none in an end job
    bool end = false;             // no rows: write the last block and mark the side ended

protected:
    explicit CatalogWorkItem(CatalogSide side) : side_(side) {}

private:
    CatalogSide side_;
};

// A job of the source side's queue.
class WorkItem final : public CatalogWorkItem {
public:
    WorkItem() : CatalogWorkItem(CatalogSide::kSource) {}
};

// A job of the target side's queue.
class WorkItemD final : public CatalogWorkItem {
public:
    WorkItemD() : CatalogWorkItem(CatalogSide::kTarget) {}
};

// Queue the record's row for the source side's catalog (BuildSourceCatalogWorkItem) or
// the target side's (BuildCatalogWorkItem), when one is due. With `ownFields` the row
// takes the record's own relative path, attributes, size and last write; without, its
// counterpart's. Which row is due is CatalogRowOfRecord's rule. Returns 1 when the record
// passed the run's tests (a row due or not), 0 when the run builds no catalog or the side
// has failed.
int BuildSourceCatalogWorkItem(SyncRunBlock& run, const CFileInfo& record, bool ownFields);
int BuildCatalogWorkItem(SyncRunBlock& run, const CFileInfo& record, bool ownFields);

// Run on the side's queue thread for each job. 1 when the rows were added (or left out
// because a name does not fit, which is logged), or the end was reached with every
// member made; 0 when the side has failed or fails now: a member that cannot be made
// fails it silently, rows that cannot be kept fail it with result code 12 and "Low on
// memory. No catalogs are created.".
int AppendCatalogRecord(SyncRunBlock& run, CatalogSide side, const CatalogWorkItem& job);

// Hands the side's gathered rows to its writer as the next member when they are due:
// when they fill a block, or at the end (`final`) with rows in it. 1 when nothing was due
// or the block was handed over; 0 when the side's writer has failed.
int FlushCatalogBlock(SyncRunBlock& run, CatalogSide side, bool final);

// Start of a Sync phase that keeps catalogs: both sides' builder fields back to nothing
// built, the member pool started, a name for the new archive chosen in each side's
// catalog folder and its writer made (source, then target), and each side's queue
// created with one thread. A side whose archive name or queue cannot be
// made is failed from the start (and ended when it has no queue), so it takes no row,
// nobody waits for it, and it ends as a catalog that could not be written. `startThread`
// starts the queues' threads (tests give one that fails); empty: the system's threads.
void BeginCatalogs(SyncRunBlock& run, const CWorkQueue::ThreadStarter& startThread = {});

// Queues the rows still gathered and then the end job on each side's queue, after every
// row of the run. A side whose end job cannot be queued is failed and ended at once.
void QueueCatalogEndJobs(SyncRunBlock& run);

// Sends "Creating source catalog - %u records" and then "Creating target catalog - %u
// records" to the task window every 100 ms until that side has ended; returns 1. Runs on
// a thread of its own (StartCatalogProgress).
DWORD CatalogProgressThreadProc(SyncRunBlock& run);
// Runs CatalogProgressThreadProc on a thread of its own while the calling thread serves
// its messages, and returns once the ticker has ended.
void StartCatalogProgress(SyncRunBlock& run);

// The new archives are made in the sides' catalog folders, which only runs holding the
// folders' locks write. An archive (or the archive library's rewrite of one) left there by
// a run that was killed is named as no other file there is; it is removed at the start of
// the next run.
bool IsLeftoverArchiveName(std::string_view name);
void RemoveLeftoverArchives(const SyncRunBlock& run);

// End of the catalogs, source side first, after both queues and the pool are gone (any
// left are destroyed first): a side that has not failed gets its new archive renamed over
// its catalog file, or nothing written when the catalog already holds exactly that, or
// with no rows its old catalog removed ("Save '%s' catalog file (%u records)." in each
// case); a failed side keeps its old catalog ("Failed to write '%s' catalog file (%u
// records)" in red). Leftover archives and writers are released. False when either
// side's catalog could not be written, which makes the run's result 13.
bool SaveCatalogs(SyncRunBlock& run);

// The end of a Sync phase that stopped early: the queues and the pool are destroyed
// (queued jobs are dropped), the new archives deleted and the writers freed. No catalog
// file is touched.
void DiscardCatalogs(SyncRunBlock& run);
