#include "engine/run/run_block.h"

#include <mutex>
#include <utility>

#include "engine/model/parallel_tree_walk.h"
#include "engine/model/tree_walk.h"
#include "engine/run/work_queue.h"
#include "foundation/sync_task.h"

namespace {

// Tallied in plain numbers during a walk and added to the atomic counters once.
struct Tally {
    DWORD conflicts = 0;
    DWORD changed = 0;
    DWORD unchanged = 0;
    DWORD pending = 0;
    DWORD oneSided = 0;
    DWORD warnings = 0;
    DWORD userNoAction = 0;
    DWORD files = 0;
    DWORD folders = 0;
    DWORD excludedFiles = 0;
    DWORD excludedFolders = 0;
};

enum class Walk { kFirstSource, kFirstTarget, kFinalSource, kFinalTarget };

void TallyItem(ItemState state, Tally& tally) {
    if (state.IsDone() || state.IsNoAction()) {
        ++tally.unchanged;
    } else if (state.Has(ItemState::kActionMask)) {
        ++tally.changed;
    }
    if (state.IsConflict() && state.IsNoAction()) ++tally.conflicts;
    if (state.Has(ItemState::kTargetOnly | ItemState::kSourceOnly)) ++tally.oneSided;
    if (state.IsUserChange() && state.IsNoAction()) ++tally.userNoAction;
    if (state.Has(ItemState::kOlderOverNewer | ItemState::kDeleteRefused)) ++tally.warnings;
}

void CountRecord(const CFileInfo& record, bool isFolder, Walk walk, Tally& tally) {
    const ItemState state = record.state;
    switch (walk) {
    case Walk::kFirstSource:
    case Walk::kFirstTarget:
        if (!state.IsExcluded()) ++(isFolder ? tally.folders : tally.files);
        if (!state.IsNoAction() && (walk == Walk::kFirstSource || state.IsTargetOnly())) ++tally.pending;
        break;
    case Walk::kFinalSource:
    case Walk::kFinalTarget:
        if (state.IsExcluded()) {
            ++(isFolder ? tally.excludedFolders : tally.excludedFiles);
        } else if (walk == Walk::kFinalSource || state.IsTargetOnly()) {
            TallyItem(state, tally);
        }
        break;
    }
}

void Add(Tally& sum, const Tally& part) {
    sum.conflicts += part.conflicts;
    sum.changed += part.changed;
    sum.unchanged += part.unchanged;
    sum.pending += part.pending;
    sum.oneSided += part.oneSided;
    sum.warnings += part.warnings;
    sum.userNoAction += part.userNoAction;
    sum.files += part.files;
    sum.folders += part.folders;
    sum.excludedFiles += part.excludedFiles;
    sum.excludedFolders += part.excludedFolders;
}

// Over subtrees on several threads, each node's tally added to the sum once.
Tally WalkTree(const FolderTreeNode& root, Walk walk) {
    Tally tally;
    std::mutex lock;
    VisitTreeInParallel(root, [&](const FolderTreeNode& node) {
        Tally here;
        if (node.folder) CountRecord(*node.folder, true, walk, here);
        if (node.files) {
            for (const CFileInfo& file : *node.files) CountRecord(file, false, walk, here);
        }
        std::lock_guard guard(lock);
        Add(tally, here);
    });
    return tally;
}

void AddItemTally(RunCounters& counters, const Tally& tally) {
    counters.conflicts += tally.conflicts;
    counters.changed += tally.changed;
    counters.unchanged += tally.unchanged;
    counters.oneSided += tally.oneSided;
    counters.warnings += tally.warnings;
    counters.userNoAction += tally.userNoAction;
}

}  // namespace

void RunCounters::Clear() {
    for (std::atomic<DWORD>* counter :
         {&conflicts, &changed, &unchanged, &pending, &oneSided, &warnings, &userNoAction, &errors, &done, &notRecorded,
          &sourceFiles, &sourceExcludedFiles, &sourceFolders, &sourceExcludedFolders, &targetFiles,
          &targetExcludedFiles, &targetFolders, &targetExcludedFolders}) {
        counter->store(0);
    }
}

void RunCatalogSide::Clear() {
    rows.reset();
    stored.reset();
    loaded = false;
    status = CatalogStatus::kNone;
    arrayLookup = false;
    tempCatalog.clear();
    catalogQueue = nullptr;
    rowsToQueue = CatalogRowTable::Chunk();
    rowsWritten = 0;
    writer.reset();
    failed = false;
    ended = false;
}

SyncRunBlock::SyncRunBlock() { ResetRunStatistics(*this); }

SyncRunBlock::~SyncRunBlock() = default;

bool SyncRunBlock::SetResultUnlessDiskFull(DWORD code) {
    DWORD current = result_.load();
    while (current != kRunDiskFull) {
        if (result_.compare_exchange_weak(current, code)) return true;
    }
    return false;
}

std::unique_ptr<SyncRunBlock> CreateRunBlock() { return std::make_unique<SyncRunBlock>(); }

void DeleteRunBlock(std::unique_ptr<SyncRunBlock> run) { run.reset(); }

void ResetRunStatistics(SyncRunBlock& run) {
    run.task = nullptr;
    run.filterOptions = nullptr;
    run.logOptions = nullptr;
    run.syncOptions = nullptr;
    run.sourceTree.reset();
    run.targetTree.reset();
    run.bytesToLeft = 0;
    run.bytesToRight = 0;
    run.leftSkippedFiles = 0;
    run.rightSkippedFiles = 0;
    run.leftSkippedFolders = 0;
    run.rightSkippedFolders = 0;
    run.doCheck = false;
    run.doSync = false;
    run.syncHeldForUser = false;
    run.syncHalfRan = false;
    run.patterns = FilterPatterns{};
    run.sourceLog.reset();
    run.targetLog.reset();
    run.history.reset();
    run.thread = nullptr;
    run.SetResult(kRunSucceeded);
    ResetRunCounters(run);
}

void ResetRunCounters(SyncRunBlock& run) {
    run.counters.Clear();
    run.sourceSide.Clear();
    run.targetSide.Clear();
}

void SetRunMode(SyncRunBlock& run, LPARAM mode) {
    run.doCheck = mode != kRunModeSync;
    run.doSync = mode != kRunModeCheck;
}

void CountFolderTreeActions(SyncRunBlock& run, const FolderTreeNode& sourceRoot) {
    const Tally tally = WalkTree(sourceRoot, Walk::kFirstSource);
    run.counters.sourceFiles += tally.files;
    run.counters.sourceFolders += tally.folders;
    run.counters.pending += tally.pending;
}

void CountTargetTreeActions(SyncRunBlock& run, const FolderTreeNode& targetRoot) {
    const Tally tally = WalkTree(targetRoot, Walk::kFirstTarget);
    run.counters.targetFiles += tally.files;
    run.counters.targetFolders += tally.folders;
    run.counters.pending += tally.pending;
}

void CountFinalSourceActions(SyncRunBlock& run, const FolderTreeNode& sourceRoot) {
    const Tally tally = WalkTree(sourceRoot, Walk::kFinalSource);
    run.counters.sourceExcludedFiles += tally.excludedFiles;
    run.counters.sourceExcludedFolders += tally.excludedFolders;
    AddItemTally(run.counters, tally);
}

void CountFinalTargetActions(SyncRunBlock& run, const FolderTreeNode& targetRoot) {
    const Tally tally = WalkTree(targetRoot, Walk::kFinalTarget);
    run.counters.targetExcludedFiles += tally.excludedFiles;
    run.counters.targetExcludedFolders += tally.excludedFolders;
    AddItemTally(run.counters, tally);
}

void CountRunTreesFirst(SyncRunBlock& run) {
    if (run.sourceTree) CountFolderTreeActions(run, *run.sourceTree);
    if (run.targetTree) CountTargetTreeActions(run, *run.targetTree);
}

void CountRunTreesFinal(SyncRunBlock& run) {
    if (run.sourceTree) CountFinalSourceActions(run, *run.sourceTree);
    if (run.targetTree) CountFinalTargetActions(run, *run.targetTree);
}

void SumRunSkipCounts(SyncRunBlock& run) {
    DWORD sourceFiles = 0;
    DWORD sourceFolders = 0;
    DWORD targetFiles = 0;
    DWORD targetFolders = 0;
    if (run.sourceTree) SumSkipCounts(*run.sourceTree, sourceFiles, sourceFolders);
    if (run.targetTree) SumSkipCounts(*run.targetTree, targetFiles, targetFolders);
    const bool swapped = run.task && run.task->swapped != 0;
    run.leftSkippedFiles = swapped ? targetFiles : sourceFiles;
    run.leftSkippedFolders = swapped ? targetFolders : sourceFolders;
    run.rightSkippedFiles = swapped ? sourceFiles : targetFiles;
    run.rightSkippedFolders = swapped ? sourceFolders : targetFolders;
}

void HandRunTreesToTask(SyncRunBlock& run) {
    if (!run.task) return;
    run.task->sourceItems = std::move(run.sourceTree);
    run.task->targetItems = std::move(run.targetTree);
}

void TakeTaskTreesIntoRun(SyncRunBlock& run) {
    if (!run.task) return;
    run.sourceTree.reset(run.task->sourceItems.release());
    run.targetTree.reset(run.task->targetItems.release());
}
