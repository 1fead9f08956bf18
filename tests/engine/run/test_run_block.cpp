#include "engine/run/run_block.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/sync_task.h"

namespace {

using S = ItemState;

std::unique_ptr<FolderTreeNode> FolderNode(const std::wstring& relativePath, DWORD state) {
    auto node = std::make_unique<FolderTreeNode>();
    node->folder = std::make_unique<CFileInfo>();
    node->folder->Set(L"/side/" + relativePath, 0, FILE_ATTRIBUTE_DIRECTORY, 0, relativePath, state | S::kFolder);
    return node;
}

void AddFile(FolderTreeNode& node, const std::wstring& relativePath, DWORD state) {
    if (!node.files) node.files = std::make_unique<CFileInfoArray>();
    CFileInfo file;
    file.Set(L"/side/" + relativePath, 1, FILE_ATTRIBUTE_ARCHIVE, 1, relativePath, state);
    node.files->OrderedInsert(std::move(file));
}

// The counters of one side, as a value to compare.
struct SideCounts {
    DWORD files = 0, folders = 0, excludedFiles = 0, excludedFolders = 0, pending = 0;
    DWORD changed = 0, unchanged = 0, conflicts = 0, oneSided = 0, userNoAction = 0, warnings = 0;
    bool operator==(const SideCounts&) const = default;
};

void PrintTo(const SideCounts& c, std::ostream* os) {
    *os << "files " << c.files << " folders " << c.folders << " exFiles " << c.excludedFiles << " exFolders "
        << c.excludedFolders << " pending " << c.pending << " changed " << c.changed << " unchanged " << c.unchanged
        << " conflicts " << c.conflicts << " oneSided " << c.oneSided << " userNoAction " << c.userNoAction
        << " warnings " << c.warnings;
}

SideCounts Counts(const SyncRunBlock& run, bool source) {
    const RunCounters& c = run.counters;
    SideCounts out;
    out.files = source ? c.sourceFiles : c.targetFiles;
    out.folders = source ? c.sourceFolders : c.targetFolders;
    out.excludedFiles = source ? c.sourceExcludedFiles : c.targetExcludedFiles;
    out.excludedFolders = source ? c.sourceExcludedFolders : c.targetExcludedFolders;
    out.pending = c.pending;
    out.changed = c.changed;
    out.unchanged = c.unchanged;
    out.conflicts = c.conflicts;
    out.oneSided = c.oneSided;
    out.userNoAction = c.userNoAction;
    out.warnings = c.warnings;
    return out;
}

struct CountCase {
    const char* what;
    bool source;  // in the source tree, else the target tree
    bool folder;
    DWORD state;
    SideCounts first;  // after the first count
    SideCounts final;  // after the final count as well
};

TEST(RunCounting, EachStateKindCountedWhereItBelongs) {
    // {files, folders, exFiles, exFolders, pending, changed, unchanged, conflicts, oneSided, userNoAction, warnings}
    const CountCase cases[] = {
        {"new source file", true, false, 0x1000420, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0}},
        {"equal pair, source record", true, false, 0x800C01, {1}, {1, 0, 0, 0, 0, 0, 1}},
        {"conflict", true, false, S::kNoAction | S::kConflict | 0xC05, {1}, {1, 0, 0, 0, 0, 0, 1, 1}},
        {"user's no action", true, false, S::kNoAction | S::kUserChange | 0xC05, {1}, {1, 0, 0, 0, 0, 0, 1, 0, 0, 1}},
        {"user's copy is not a no action",
         true,
         false,
         S::kCopyToLeft | S::kUserChange | 0xC05,
         {1, 0, 0, 0, 1},
         {1, 0, 0, 0, 1, 1}},
        {"older over newer",
         true,
         false,
         S::kCopyToRight | S::kOlderOverNewer | 0xC45,
         {1, 0, 0, 0, 1},
         {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1}},
        {"done copy", true, false, S::kDone | S::kCopyToRight | 0x420, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 0, 1, 0, 1}},
        {"excluded source file", true, false, 0x800100, {}, {0, 0, 1}},
        {"excluded source folder", true, true, 0x800100, {}, {0, 0, 0, 1}},
        {"new source folder", true, true, 0x1000420, {0, 1, 0, 0, 1}, {0, 1, 0, 0, 1, 1, 0, 0, 1}},
        {"no action word yet (clash)", true, false, 0xC03, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}},
        {"matched target record", false, false, 0x1000C09, {1}, {1}},
        {"target only, delete right",
         false,
         false,
         S::kDeleteRight | 0x810,
         {1, 0, 0, 0, 1},
         {1, 0, 0, 0, 1, 1, 0, 0, 1}},
        {"target only, deletion refused",
         false,
         false,
         S::kNoAction | S::kDeleteRefused | 0x810,
         {1},
         {1, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1}},
        {"target only, scanned without action", false, false, 0x810, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 1}},
        {"excluded target file", false, false, 0x800110, {}, {0, 0, 1}},
        {"target-only folder", false, true, S::kCopyToLeft | 0x810, {0, 1, 0, 0, 1}, {0, 1, 0, 0, 1, 1, 0, 0, 1}},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto root = std::make_unique<FolderTreeNode>();
        if (c.folder)
            root->AppendChild(FolderNode(L"d", c.state));
        else
            AddFile(*root, L"f", c.state);

        SyncRunBlock run;
        if (c.source)
            CountFolderTreeActions(run, *root);
        else
            CountTargetTreeActions(run, *root);
        EXPECT_EQ(Counts(run, c.source), c.first);
        if (c.source)
            CountFinalSourceActions(run, *root);
        else
            CountFinalTargetActions(run, *root);
        EXPECT_EQ(Counts(run, c.source), c.final);
        // The other side's counts stay untouched.
        const SideCounts other = Counts(run, !c.source);
        EXPECT_EQ(other.files + other.folders + other.excludedFiles + other.excludedFolders, 0u);
    }
}

TEST(RunCounting, OneNewSourceFileThroughTheWholeRun) {
    SyncRunBlock run;
    run.sourceTree = std::make_unique<FolderTreeNode>();
    run.targetTree = std::make_unique<FolderTreeNode>();
    AddFile(*run.sourceTree, L"new.txt", 0x1000420);
    CountRunTreesFirst(run);
    EXPECT_EQ(run.counters.sourceFiles, 1u);
    EXPECT_EQ(run.counters.pending, 1u);
    CountRunTreesFinal(run);
    EXPECT_EQ(run.counters.changed, 1u);
    EXPECT_EQ(run.counters.oneSided, 1u);
    EXPECT_EQ(run.counters.unchanged, 0u);
    EXPECT_EQ(run.counters.targetFiles, 0u);
}

TEST(RunCounting, MatchedPairTalliedOnceButCountedOnBothSides) {
    // source: a/ (matched), a/x (changed), a/b/ (source only), a/b/y (new); ex/ excluded
    // target: a/ (matched), a/x (matched), a/old (target only, delete), gone/ (target only)
    SyncRunBlock run;
    run.sourceTree = std::make_unique<FolderTreeNode>();
    FolderTreeNode* a = run.sourceTree->AppendChild(FolderNode(L"a", 0x800C01));
    AddFile(*a, L"a/x", 0x1000C09);
    FolderTreeNode* b = a->AppendChild(FolderNode(L"a/b", 0x1000420));
    AddFile(*b, L"a/b/y", 0x1000420);
    FolderTreeNode* ex = run.sourceTree->AppendChild(FolderNode(L"ex", 0x800100));
    AddFile(*ex, L"ex/z", 0x800100);

    run.targetTree = std::make_unique<FolderTreeNode>();
    FolderTreeNode* ta = run.targetTree->AppendChild(FolderNode(L"a", 0x800C01));
    AddFile(*ta, L"a/x", 0xC09);
    AddFile(*ta, L"a/old", S::kDeleteRight | 0x810);
    run.targetTree->AppendChild(FolderNode(L"gone", S::kDeleteRight | 0x810));

    CountRunTreesFirst(run);
    CountRunTreesFinal(run);
    const RunCounters& c = run.counters;
    EXPECT_EQ(c.sourceFiles, 2u);
    EXPECT_EQ(c.sourceFolders, 2u);
    EXPECT_EQ(c.sourceExcludedFiles, 1u);
    EXPECT_EQ(c.sourceExcludedFolders, 1u);
    EXPECT_EQ(c.targetFiles, 2u);  // the matched a/x included
    EXPECT_EQ(c.targetFolders, 2u);
    EXPECT_EQ(c.pending, 3u + 2u);  // a/x, a/b, a/b/y; a/old, gone
    EXPECT_EQ(c.changed, 5u);       // a/x once, a/b, a/b/y, a/old, gone
    EXPECT_EQ(c.unchanged, 1u);     // the folder a, once
    EXPECT_EQ(c.oneSided, 4u);
}

TEST(RunCounting, DeepTreeNeedsNoRecursion) {
    auto root = std::make_unique<FolderTreeNode>();
    FolderTreeNode* node = root.get();
    for (int i = 0; i < 100'000; ++i) node = node->AppendChild(FolderNode(L"d", 0x1000420));
    SyncRunBlock run;
    CountFolderTreeActions(run, *root);
    EXPECT_EQ(run.counters.sourceFolders, 100'000u);
}

TEST(RunSkipSums, ByPhysicalSide) {
    for (const DWORD swapped : {0u, 1u}) {
        SCOPED_TRACE(swapped);
        SyncTask task;
        task.swapped = swapped;
        SyncRunBlock run;
        run.task = &task;
        run.sourceTree = std::make_unique<FolderTreeNode>();
        run.sourceTree->skippedFiles = 3;
        run.sourceTree->AppendChild(std::make_unique<FolderTreeNode>())->skippedFolders = 2;
        run.targetTree = std::make_unique<FolderTreeNode>();
        run.targetTree->skippedFiles = 7;
        run.targetTree->skippedFolders = 5;
        SumRunSkipCounts(run);
        SumRunSkipCounts(run);  // sums are set, not added to
        EXPECT_EQ(run.leftSkippedFiles, swapped ? 7u : 3u);
        EXPECT_EQ(run.leftSkippedFolders, swapped ? 5u : 2u);
        EXPECT_EQ(run.rightSkippedFiles, swapped ? 3u : 7u);
        EXPECT_EQ(run.rightSkippedFolders, swapped ? 2u : 5u);
        run.task = nullptr;
    }
}

TEST(RunBlockReset, CountersAndCatalogStateClearedForEveryRun) {
    SyncRunBlock run;
    run.counters.changed = 4;
    run.counters.errors = 2;
    run.counters.targetExcludedFolders = 9;
    for (RunCatalogSide* side : {&run.sourceSide, &run.targetSide}) {
        side->rows = std::make_unique<CatalogRowTable>();
        side->loaded = true;
        side->arrayLookup = true;
        side->tempCatalog = L"/tmp/~sy1";
        side->rowsWritten = 10;
        side->writer = std::make_unique<CatalogWriter>(std::string(), L"/", nullptr, side->rowsWritten);
        side->failed = true;
        side->ended = true;
    }
    run.bytesToLeft = 100;
    run.doSync = true;

    ResetRunCounters(run);
    EXPECT_EQ(run.counters.changed, 0u);
    EXPECT_EQ(run.counters.errors, 0u);
    EXPECT_EQ(run.counters.targetExcludedFolders, 0u);
    for (const RunCatalogSide* side : {&run.sourceSide, &run.targetSide}) {
        EXPECT_FALSE(side->rows);
        EXPECT_FALSE(side->loaded);
        EXPECT_FALSE(side->arrayLookup);
        EXPECT_TRUE(side->tempCatalog.empty());
        EXPECT_EQ(side->rowsWritten, 0u);
        EXPECT_FALSE(side->writer);
        EXPECT_FALSE(side->failed);
        EXPECT_FALSE(side->ended);
    }
    // Not counters: kept.
    EXPECT_EQ(run.bytesToLeft, 100u);
    EXPECT_TRUE(run.doSync);
}

TEST(RunBlockReset, StatisticsFreeWhatTheRunHeld) {
    SyncTask task;
    SyncRunBlock run;
    run.task = &task;
    run.sourceTree = std::make_unique<FolderTreeNode>();
    run.targetTree = std::make_unique<FolderTreeNode>();
    run.sourceLog = std::make_unique<CLog>(L"", 0, true);
    run.history = std::make_unique<HistoryRecord>();
    run.patterns.excludePatterns = {L"*.tmp"};
    run.bytesToRight = 5;
    run.rightSkippedFiles = 1;
    SetRunMode(run, 2);
    run.counters.pending = 3;
    run.SetResult(kRunStopped);

    ResetRunStatistics(run);
    EXPECT_EQ(run.task, nullptr);
    EXPECT_FALSE(run.sourceTree || run.targetTree || run.sourceLog || run.history);
    EXPECT_TRUE(run.patterns.excludePatterns.empty());
    EXPECT_EQ(run.bytesToRight, 0u);
    EXPECT_EQ(run.rightSkippedFiles, 0u);
    EXPECT_FALSE(run.doCheck || run.doSync);
    EXPECT_EQ(run.counters.pending, 0u);
    EXPECT_EQ(run.Result(), kRunSucceeded);
}

TEST(RunBlock, ModeFlags) {
    const struct {
        LPARAM mode;
        bool check, sync;
    } cases[] = {{0, false, true}, {1, true, false}, {2, true, true}, {7, true, true}, {-1, true, true}};
    for (const auto& c : cases) {
        SyncRunBlock run;
        SetRunMode(run, c.mode);
        EXPECT_EQ(run.doCheck, c.check) << c.mode;
        EXPECT_EQ(run.doSync, c.sync) << c.mode;
    }
}

TEST(RunBlock, TreesMoveToTheTaskAndBack) {
    SyncTask task;
    SyncRunBlock run;
    run.task = &task;
    run.sourceTree = std::make_unique<FolderTreeNode>();
    FolderTreeNode* source = run.sourceTree.get();
    HandRunTreesToTask(run);
    EXPECT_EQ(task.sourceItems.get(), source);
    EXPECT_EQ(task.targetItems, nullptr);
    EXPECT_FALSE(run.sourceTree);

    TakeTaskTreesIntoRun(run);
    EXPECT_EQ(run.sourceTree.get(), source);
    EXPECT_EQ(task.sourceItems, nullptr);
    run.task = nullptr;
}

TEST(RunResultCode, CatalogThreadsNeverReplaceDiskFull) {
    SyncRunBlock run;
    EXPECT_EQ(run.Result(), kRunSucceeded);
    EXPECT_TRUE(run.SetResultUnlessDiskFull(kRunLowMemory));
    EXPECT_EQ(run.Result(), kRunLowMemory);
    run.SetResult(kRunDiskFull);
    EXPECT_FALSE(run.SetResultUnlessDiskFull(kRunLowMemory));
    EXPECT_EQ(run.Result(), kRunDiskFull);

    // A copy finds the disk full while two catalog threads keep reporting low memory.
    for (int round = 0; round < 20; ++round) {
        SyncRunBlock raced;
        std::vector<std::thread> threads;
        for (int i = 0; i < 2; ++i) {
            threads.emplace_back([&raced] {
                for (int n = 0; n < 200; ++n) raced.SetResultUnlessDiskFull(kRunLowMemory);
            });
        }
        threads.emplace_back([&raced] { raced.SetResult(kRunDiskFull); });
        for (std::thread& t : threads) t.join();
        ASSERT_EQ(raced.Result(), kRunDiskFull);
    }
}

}  // namespace
