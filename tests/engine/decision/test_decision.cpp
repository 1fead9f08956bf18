// The decision of a Check: the action, state word, returned value and byte totals of
// every kind of item for each sync kind, catalog situation, "Delete" setting and conflict
// action; folders left as conflicts by what lies below them; the catalog rows kept in the
// records; the rows of a shared folder's catalog; unreadable catalogs; log lines,
// progress and Stop.

#include "engine/decision/decision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/decision/decision_rules.h"
#include "engine/run/message_pace.h"
#include "engine/run/run_block.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"

namespace {

using S = ItemState;

constexpr DWORD kKeep = 0xFFFFFFFF;  // expected: the scan's word stays
constexpr DWORD kCopyR = S::kCopyToRight;
constexpr DWORD kCopyL = S::kCopyToLeft;
constexpr DWORD kDelR = S::kDeleteRight;
constexpr DWORD kDelL = S::kDeleteLeft;
constexpr DWORD kConflict = S::kNoAction | S::kConflict;
constexpr DWORD kRefused = S::kNoAction | S::kDeleteRefused;
constexpr DWORD kOlder = S::kOlderOverNewer;
constexpr DWORD kParent = S::kParentDeleteConflict;
constexpr DWORD kGone = kVanishedFromOtherSide;

constexpr LONGLONG kBaseTime = 1'700'000'000;
constexpr ULONGLONG kBaseSize = 50;
constexpr ULONGLONG kSourceSize = 100;  // a changed source copy
constexpr ULONGLONG kTargetSize = 300;  // a changed target copy

enum class Start { kUser, kContainer, kTimerNothing, kTimerLeftToRight, kTimerRightToLeft, kTimerNewer };

void SetStart(SyncTask& task, Start start) {
    task.startSource = start == Start::kUser ? 0 : start == Start::kContainer ? 1 : 2;
    switch (start) {
    case Start::kTimerLeftToRight: task.autoResolve = 1; break;
    case Start::kTimerRightToLeft: task.autoResolve = 2; break;
    case Start::kTimerNewer: task.autoResolve = 3; break;
    default: task.autoResolve = 0; break;
    }
}

// A run of one task with both catalogs read and empty until rows are added.
struct Decision {
    SyncTask task;
    SyncRunBlock run;

    explicit Decision(DWORD type, bool allowDelete = true, Start start = Start::kUser) {
        task.syncOptions = std::make_unique<CConfigSyncPage>(false);
        task.logOptions = std::make_unique<CConfigLogPage>(false);
        task.syncOptions->type = type;
        task.syncOptions->allowDelete = allowDelete ? 1 : 0;
        task.logOptions->log = 0;
        task.syncKind = SyncKindOfType(type);
        task.swapped = IsSwappedType(type) ? 1 : 0;
        SetStart(task, start);
        run.task = &task;
        run.syncOptions = task.syncOptions.get();
        run.logOptions = task.logOptions.get();
        for (RunCatalogSide* side : {&run.sourceSide, &run.targetSide}) {
            side->rows = std::make_unique<CatalogRowTable>();
            side->loaded = true;
            side->status = CatalogStatus::kComplete;
        }
    }
    ~Decision() { run.task = nullptr; }

    static void AddRow(RunCatalogSide& side, const std::wstring& name, ULONGLONG size, LONGLONG time) {
        side.rows->Add(plat::WideToUtf8(name), size, FILE_ATTRIBUTE_ARCHIVE, time);
        side.rows->Index();
    }
    void SourceRow(const std::wstring& name, ULONGLONG size = kBaseSize, LONGLONG time = kBaseTime) {
        AddRow(run.sourceSide, name, size, time);
    }
    void TargetRow(const std::wstring& name, ULONGLONG size = kBaseSize, LONGLONG time = kBaseTime) {
        AddRow(run.targetSide, name, size, time);
    }
    // A side with no catalog file.
    static void NoCatalog(RunCatalogSide& side) {
        side.rows.reset();
        side.loaded = false;
        side.status = CatalogStatus::kNone;
    }
};

CFileInfo SourceOnly(const std::wstring& rel, ULONGLONG size = kBaseSize, LONGLONG time = kBaseTime) {
    CFileInfo r;
    r.Set(L"/src/" + rel, size, FILE_ATTRIBUTE_ARCHIVE, time, rel, 0x1000420);
    return r;
}

CFileInfo TargetOnly(const std::wstring& rel, ULONGLONG size = kBaseSize, LONGLONG time = kBaseTime) {
    CFileInfo r;
    r.Set(L"/dst/" + rel, size, FILE_ATTRIBUTE_ARCHIVE, time, rel, 0x810);
    return r;
}

// A file on both sides, with the flags and default action the scan gives the pair.
CFileInfo Matched(const std::wstring& rel, ULONGLONG srcSize, LONGLONG srcTime, ULONGLONG dstSize, LONGLONG dstTime) {
    DWORD state = S::kMatched | S::kOnSource | S::kOnTarget;
    if (TimesDiffer(srcTime, dstTime)) state |= S::kTimesDiffer | (srcTime < dstTime ? S::kSourceOlder : 0);
    if (srcSize != dstSize) state |= S::kSizesDiffer;
    state |= (state & 0xF) == S::kMatched ? S::kNoAction : S::kCopyToRight;
    CFileInfo r;
    r.Set(L"/src/" + rel, srcSize, FILE_ATTRIBUTE_ARCHIVE, srcTime, rel, state);
    r.SetCounterpart(L"/dst/" + rel, rel, FILE_ATTRIBUTE_ARCHIVE, dstSize, dstTime);
    return r;
}

CFileInfo Folder(const std::wstring& root, const std::wstring& rel, DWORD state) {
    CFileInfo r;
    r.Set(root + rel, 0, FILE_ATTRIBUTE_DIRECTORY, 0, rel, S::kFolder | state);
    return r;
}

DWORD Expected(DWORD scanned, DWORD act) { return act == kKeep ? scanned : ((scanned & 0xF00FFFFF) | act); }

// ---------------------------------------------------------------------------------------
// The rules, item by item. Each case gives the item's shape, the rows of the two catalogs
// (both read whole), what changed since then and which copy is newer; the expected action
// is written into the scan's word, and each copy's bytes go to the side it is written to.

enum class Shape { kSourceOnly, kTargetOnly, kTimes, kSizes };
enum class Rows { kNone, kSource, kTarget, kBoth };  // which catalogs list the item (as it was)

struct Case {
    DWORD type;
    Start start;
    Shape shape;
    Rows rows;
    bool srcChanged;  // the source copy is not what the catalogs saw
    bool dstChanged;
    bool srcOlder;  // for times that differ
    bool del;
    bool parentGone;
    DWORD act;  // kKeep, or the action with its status bits
    DWORD result;
};

// Builds the item of a case: the version the catalogs saw is kBaseSize at kBaseTime; a
// changed copy gets another size (sizes) or time (everything else).
CFileInfo ItemOf(const Case& c) {
    const std::wstring rel = L"f.txt";
    const LONGLONG newer = kBaseTime + 2000;
    const LONGLONG mid = kBaseTime + 1000;
    switch (c.shape) {
    case Shape::kSourceOnly:
        return SourceOnly(rel, c.srcChanged ? kSourceSize : kBaseSize, c.srcChanged ? mid : kBaseTime);
    case Shape::kTargetOnly:
        return TargetOnly(rel, c.dstChanged ? kTargetSize : kBaseSize, c.dstChanged ? mid : kBaseTime);
    case Shape::kSizes:
        return Matched(rel, c.srcChanged ? kSourceSize : kBaseSize, kBaseTime, c.dstChanged ? kTargetSize : kBaseSize,
                       kBaseTime);
    case Shape::kTimes: {
        // Equal sizes; the changed copies move away from the base time so that the
        // source is the older or the newer as asked.
        LONGLONG src = kBaseTime;
        LONGLONG dst = kBaseTime;
        if (c.srcChanged && c.dstChanged) {
            src = c.srcOlder ? mid : newer;
            dst = c.srcOlder ? newer : mid;
        } else if (c.srcChanged) {
            src = c.srcOlder ? kBaseTime - 1000 : mid;
        } else {
            dst = c.srcOlder ? mid : kBaseTime - 1000;
        }
        return Matched(rel, kBaseSize, src, kBaseSize, dst);
    }
    }
    return {};
}

void RunCase(const Case& c) {
    Decision d(c.type, c.del, c.start);
    if (c.rows == Rows::kSource || c.rows == Rows::kBoth) d.SourceRow(L"f.txt");
    if (c.rows == Rows::kTarget || c.rows == Rows::kBoth) d.TargetRow(L"f.txt");
    CFileInfo item = ItemOf(c);
    const DWORD scanned = item.state.Word();
    DecisionPass pass(d.run);

    const DWORD result = DecideItemAction(item, pass, c.parentGone ? kGone : 0);

    EXPECT_EQ(item.state.Word(), Expected(scanned, c.act)) << std::hex << "scanned 0x" << scanned;
    EXPECT_EQ(result, c.result);
    const bool onSource = c.shape != Shape::kTargetOnly;
    const bool onTarget = c.shape != Shape::kSourceOnly;
    const ULONGLONG sourceBytes = onSource ? item.size : 0;
    const ULONGLONG targetBytes = onTarget ? (onSource ? item.counterpartSize : item.size) : 0;
    EXPECT_EQ(pass.bytesToTarget, item.state.IsAction(kCopyR) ? sourceBytes : 0);
    EXPECT_EQ(pass.bytesToSource, item.state.IsAction(kCopyL) ? targetBytes : 0);
}

constexpr DWORD kMirror = kSyncMirror;
constexpr DWORD kLtoR = kSyncLeftToRight;
constexpr DWORD kRtoL = kSyncRightToLeft;
constexpr DWORD kBackup = kBackupLeftToRight;
constexpr bool Y = true;
constexpr bool N = false;

TEST(Decision, SourceOnlyItems) {
    using enum Shape;
    using enum Rows;
    const Case cases[] = {
        // type  start             shape      rows    sCh dCh old del pf   act                result
        {kMirror, Start::kUser, kSourceOnly, kSource, N, N, N, Y, N, kKeep, 0},              // a0 b0
        {kMirror, Start::kUser, kSourceOnly, kNone, N, N, N, Y, N, kKeep, 0},                // new: a1 b0
        {kMirror, Start::kUser, kSourceOnly, kNone, N, N, N, Y, Y, kConflict | kParent, 0},  // in a deleted folder
        {kMirror, Start::kUser, kSourceOnly, kSource, N, N, N, Y, Y, kKeep, 0},              // a0 b0, parent gone
        {kMirror, Start::kUser, kSourceOnly, kBoth, N, N, N, Y, N, kDelL, kGone},            // deleted on the target
        {kMirror, Start::kUser, kSourceOnly, kBoth, N, N, N, N, N, kCopyR | S::kDeleteRefused, kGone},
        {kMirror, Start::kUser, kSourceOnly, kBoth, Y, N, N, Y, N, kConflict, 0},    // changed and deleted
        {kMirror, Start::kUser, kSourceOnly, kTarget, N, N, N, Y, N, kConflict, 0},  // a1 b1
        {kLtoR, Start::kUser, kSourceOnly, kBoth, N, N, N, Y, N, kConflict, kGone},
        {kLtoR, Start::kTimerLeftToRight, kSourceOnly, kBoth, N, N, N, Y, N, kCopyR, kGone},
        {kRtoL, Start::kTimerLeftToRight, kSourceOnly, kBoth, N, N, N, Y, N, kDelL, kGone},  // Left wins: Right deletes
        {kRtoL, Start::kTimerLeftToRight, kSourceOnly, kBoth, N, N, N, N, N, kRefused, kGone},
        {kLtoR, Start::kTimerRightToLeft, kSourceOnly, kTarget, N, N, N, Y, N, kDelL, 0},  // Right wins
        {kLtoR, Start::kTimerNewer, kSourceOnly, kTarget, N, N, N, Y, N, kConflict, 0},    // no times to compare
        {kLtoR, Start::kTimerLeftToRight, kSourceOnly, kNone, N, N, N, Y, Y, kCopyR | kParent, 0},
        {kBackup, Start::kUser, kSourceOnly, kBoth, N, N, N, Y, N, kKeep, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        RunCase(cases[i]);
    }
}

TEST(Decision, TargetOnlyItems) {
    using enum Shape;
    using enum Rows;
    const Case cases[] = {
        // type  start             shape      rows    sCh dCh old del pf   act                result
        {kMirror, Start::kUser, kTargetOnly, kBoth, N, N, N, Y, N, kDelR, kGone},  // deleted on the source
        {kMirror, Start::kUser, kTargetOnly, kBoth, N, N, N, N, N, kCopyL | S::kDeleteRefused, kGone},
        {kMirror, Start::kUser, kTargetOnly, kBoth, N, Y, N, Y, N, kConflict, 0},  // changed and deleted
        {kMirror, Start::kUser, kTargetOnly, kTarget, N, N, N, Y, N, kCopyL, 0},   // a0 b0
        {kMirror, Start::kUser, kTargetOnly, kNone, N, N, N, Y, N, kCopyL, 0},     // new: a0 b1
        {kMirror, Start::kUser, kTargetOnly, kNone, N, N, N, Y, Y, kConflict | kParent, 0},
        {kMirror, Start::kTimerLeftToRight, kTargetOnly, kNone, N, N, N, Y, Y, kDelR | kParent, 0},
        {kMirror, Start::kTimerLeftToRight, kTargetOnly, kNone, N, N, N, N, Y, kRefused | kParent, 0},
        {kLtoR, Start::kUser, kTargetOnly, kBoth, N, N, N, Y, N, kDelR, kGone},
        {kLtoR, Start::kUser, kTargetOnly, kBoth, N, N, N, N, N, kRefused, kGone},
        {kLtoR, Start::kUser, kTargetOnly, kNone, N, N, N, Y, N, kConflict, 0},  // never seen
        {kLtoR, Start::kTimerLeftToRight, kTargetOnly, kNone, N, N, N, Y, N, kDelR, 0},
        {kLtoR, Start::kTimerRightToLeft, kTargetOnly, kTarget, N, N, N, Y, N, kCopyL, 0},
        {kRtoL, Start::kTimerLeftToRight, kTargetOnly, kTarget, N, N, N, Y, N, kCopyL, 0},  // toward Right = source
        {kRtoL, Start::kTimerRightToLeft, kTargetOnly, kTarget, N, N, N, Y, N, kDelR, 0},
        {kLtoR, Start::kTimerNewer, kTargetOnly, kTarget, N, N, N, Y, N, kConflict, 0},
        {kBackup, Start::kUser, kTargetOnly, kNone, N, N, N, Y, N, kDelR, 0},
        {kBackup, Start::kUser, kTargetOnly, kNone, N, N, N, N, N, kRefused, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        RunCase(cases[i]);
    }
}

TEST(Decision, FilesWhoseTimesOrSizesDiffer) {
    using enum Shape;
    using enum Rows;
    const Case cases[] = {
        // type  start             shape  rows    sCh dCh old del pf   act                result
        {kMirror, Start::kUser, kTimes, kNone, Y, Y, N, Y, N, kKeep, 0},  // first run: newer wins
        {kMirror, Start::kUser, kTimes, kNone, Y, Y, Y, Y, N, kCopyL, 0},
        {kMirror, Start::kUser, kTimes, kBoth, Y, N, N, Y, N, kKeep, 0},  // changed on the source
        {kMirror, Start::kUser, kTimes, kBoth, Y, N, Y, Y, N, kCopyR | kOlder, 0},
        {kMirror, Start::kUser, kTimes, kBoth, N, Y, N, Y, N, kCopyL | kOlder, 0},  // changed on the target
        {kMirror, Start::kUser, kTimes, kBoth, N, Y, Y, Y, N, kCopyL, 0},
        {kMirror, Start::kUser, kTimes, kBoth, Y, Y, N, Y, N, kConflict, 0},  // changed on both
        {kMirror, Start::kTimerNewer, kTimes, kBoth, Y, Y, N, Y, N, kCopyR, 0},
        {kMirror, Start::kTimerNewer, kTimes, kBoth, Y, Y, Y, Y, N, kCopyL, 0},
        {kMirror, Start::kTimerLeftToRight, kTimes, kBoth, Y, Y, Y, Y, N, kCopyR | kOlder, 0},
        {kMirror, Start::kTimerRightToLeft, kTimes, kBoth, Y, Y, N, Y, N, kCopyL | kOlder, 0},
        {kLtoR, Start::kUser, kTimes, kNone, Y, Y, N, Y, N, kKeep, 0},
        {kLtoR, Start::kUser, kTimes, kNone, Y, Y, Y, Y, N, kConflict, 0},
        {kLtoR, Start::kTimerLeftToRight, kTimes, kNone, Y, Y, Y, Y, N, kCopyR | kOlder, 0},
        {kLtoR, Start::kUser, kTimes, kBoth, N, Y, N, Y, N, kConflict, 0},
        {kRtoL, Start::kTimerLeftToRight, kTimes, kBoth, N, Y, N, Y, N, kCopyL | kOlder, 0},
        {kBackup, Start::kUser, kTimes, kBoth, N, Y, Y, Y, N, kKeep, 0},
        {kMirror, Start::kUser, kSizes, kBoth, Y, N, N, Y, N, kKeep, 0},   // b0
        {kMirror, Start::kUser, kSizes, kBoth, N, Y, N, Y, N, kCopyL, 0},  // a0 b1
        {kLtoR, Start::kUser, kSizes, kBoth, N, Y, N, Y, N, kConflict, 0},
        {kMirror, Start::kUser, kSizes, kBoth, Y, Y, N, Y, N, kConflict, 0},  // a1 b1
        {kMirror, Start::kTimerLeftToRight, kSizes, kBoth, Y, Y, N, Y, N, kCopyR, 0},
        {kBackup, Start::kUser, kSizes, kBoth, N, Y, N, Y, N, kKeep, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        RunCase(cases[i]);
    }
}

TEST(Decision, TimesTwoSecondsApartAreTheSameTime) {
    Decision d(kMirror);
    d.SourceRow(L"f", kBaseSize, kBaseTime);
    d.TargetRow(L"f", kBaseSize, kBaseTime);
    // The scan saw 3 s (times differ); the source is 2 s from its row, the target 3 s.
    CFileInfo item = Matched(L"f", kBaseSize, kBaseTime + 2, kBaseSize, kBaseTime + 5);
    DecisionPass pass(d.run);
    DecideItemAction(item, pass, 0);
    EXPECT_TRUE(item.state.IsAction(kCopyL));  // changed on the target only
}

TEST(Decision, ConflictActionOfEachRunAndAutoResolveEntry) {
    struct Row {
        Start start;
        DWORD autoResolve;  // overrides the run's entry when set
        bool swapped;
        DWORD state;
        DWORD action;
    };
    const DWORD newerSource = S::kTimesDiffer;
    const DWORD olderSource = S::kTimesDiffer | S::kSourceOlder;
    const Row rows[] = {
        {Start::kUser, 1, false, newerSource, kConflict},
        {Start::kContainer, 1, false, newerSource, kConflict},
        {Start::kTimerNothing, 0, false, newerSource, kConflict},
        {Start::kTimerNothing, 7, false, newerSource, kConflict},
        {Start::kTimerLeftToRight, 1, false, olderSource, kCopyR},
        {Start::kTimerLeftToRight, 1, true, olderSource, kCopyL},
        {Start::kTimerRightToLeft, 2, false, newerSource, kCopyL},
        {Start::kTimerRightToLeft, 2, true, newerSource, kCopyR},
        {Start::kTimerNewer, 3, false, newerSource, kCopyR},
        {Start::kTimerNewer, 3, true, olderSource, kCopyL},
        {Start::kTimerNewer, 3, false, S::kSizesDiffer, kConflict},
    };
    for (const Row& r : rows) {
        SyncTask task;
        SetStart(task, r.start);
        task.autoResolve = r.autoResolve;
        task.swapped = r.swapped ? 1 : 0;
        EXPECT_EQ(DefaultConflictAction(task, ItemState(r.state)), r.action)
            << "start " << task.startSource << " entry " << r.autoResolve << " swapped " << r.swapped;
    }
}

TEST(Decision, ClashesAndEqualItems) {
    for (const DWORD type : {kMirror, kLtoR, kBackup}) {
        Decision d(type);
        CFileInfo clash = Folder(L"/src/", L"x", S::kMatched | S::kClash | S::kOnSource | S::kOnTarget);
        CFileInfo equal = Matched(L"e", kBaseSize, kBaseTime, kBaseSize, kBaseTime + 2);
        CFileInfo folder = Folder(L"/src/", L"d", S::kMatched | S::kNoAction | S::kOnSource | S::kOnTarget);
        CFileInfo excluded = SourceOnly(L"x.tmp");
        excluded.state = ItemState(S::kNoAction | S::kExcluded);
        DecisionPass pass(d.run);
        for (CFileInfo* r : {&clash, &equal, &folder, &excluded}) EXPECT_EQ(DecideItemAction(*r, pass, kGone), 0u);
        EXPECT_EQ(clash.state.Word(), 0xC83u | S::kNoAction | S::kConflict);
        EXPECT_EQ(equal.state.Word(), 0xC01u | S::kNoAction);
        EXPECT_EQ(folder.state.Word(), 0xC81u | S::kNoAction);
        EXPECT_EQ(excluded.state.Word(), S::kNoAction | S::kExcluded);
    }
}

TEST(Decision, FirstRunWithoutCatalogs) {
    struct Row {
        DWORD type;
        CFileInfo item;
        DWORD act;
    };
    const Row rows[] = {
        {kMirror, SourceOnly(L"a"), kKeep},
        {kMirror, TargetOnly(L"a"), kCopyL},
        {kMirror, Matched(L"a", 1, kBaseTime, 1, kBaseTime + 10), kCopyL},  // the newer copy wins
        {kMirror, Matched(L"a", 1, kBaseTime, 2, kBaseTime), kKeep},
        {kLtoR, TargetOnly(L"a"), kConflict},
        {kLtoR, Matched(L"a", 1, kBaseTime, 1, kBaseTime + 10), kConflict},
    };
    for (const Row& r : rows) {
        Decision d(r.type);
        Decision::NoCatalog(d.run.sourceSide);
        Decision::NoCatalog(d.run.targetSide);
        CFileInfo item = r.item;
        DecisionPass pass(d.run);
        EXPECT_EQ(DecideItemAction(item, pass, 0), 0u);
        EXPECT_EQ(item.state.Word(), Expected(r.item.state.Word(), r.act)) << plat::WideToUtf8(item.path());
        EXPECT_FALSE(item.sourceCatalogRow().found);
        EXPECT_FALSE(item.targetCatalogRow().found);
    }
}

// ---------------------------------------------------------------------------------------
// Folders and trees.

// A tree of one side built in memory.
struct Tree {
    std::unique_ptr<FolderTreeNode> root = std::make_unique<FolderTreeNode>();

    static FolderTreeNode& AddFolder(FolderTreeNode& parent, CFileInfo folder) {
        auto node = std::make_unique<FolderTreeNode>();
        node->folder = std::make_unique<CFileInfo>(std::move(folder));
        return *parent.AppendChild(std::move(node));
    }
    static CFileInfo& AddFile(FolderTreeNode& node, CFileInfo file) {
        if (!node.files) node.files = std::make_unique<CFileInfoArray>(CompareFileInfoBySecondNameCase);
        return (*node.files)[node.files->OrderedInsert(std::move(file))];
    }
};

CFileInfo SourceOnlyFolder(const std::wstring& rel) { return Folder(L"/src/", rel, 0x1000420); }

TEST(Decision, AFolderDeletedOnTheOtherSideStaysWhenAnythingBelowIsAConflict) {
    Decision d(kMirror);
    for (const wchar_t* rel : {L"F", L"F/G", L"F/old.txt", L"F/G/old.txt", L"K", L"K/old.txt"}) {
        d.SourceRow(rel);
        d.TargetRow(rel);
    }
    Tree source;
    FolderTreeNode& f = Tree::AddFolder(*source.root, SourceOnlyFolder(L"F"));
    CFileInfo& fOld = Tree::AddFile(f, SourceOnly(L"F/old.txt"));
    FolderTreeNode& g = Tree::AddFolder(f, SourceOnlyFolder(L"F/G"));
    CFileInfo& gOld = Tree::AddFile(g, SourceOnly(L"F/G/old.txt"));
    CFileInfo& gNew = Tree::AddFile(g, SourceOnly(L"F/G/new.txt"));  // added since the last run
    FolderTreeNode& k = Tree::AddFolder(*source.root, SourceOnlyFolder(L"K"));
    CFileInfo& kOld = Tree::AddFile(k, SourceOnly(L"K/old.txt"));
    d.run.sourceTree = std::move(source.root);

    ASSERT_EQ(CompareTaskTrees(d.run), kDecisionDone);

    EXPECT_EQ(gNew.state.Word(), 0x420u | kConflict | kParent);
    EXPECT_TRUE(gOld.state.IsAction(kDelL));
    EXPECT_TRUE(fOld.state.IsAction(kDelL));
    EXPECT_EQ(g.folder->state.Word(), S::kFolder | 0x420u | kConflict);  // a file below is a conflict
    EXPECT_EQ(f.folder->state.Word(), S::kFolder | 0x420u | kConflict);  // a folder below is one
    EXPECT_TRUE(k.folder->state.IsAction(kDelL));
    EXPECT_TRUE(kOld.state.IsAction(kDelL));
}

TEST(Decision, TargetOnlyFolderContentsAreDecidedInTheLightOfTheirFolder) {
    Decision d(kMirror);
    d.SourceRow(L"T");
    d.TargetRow(L"T");
    Tree target;
    FolderTreeNode& t = Tree::AddFolder(*target.root, Folder(L"/dst/", L"T", 0x810));
    CFileInfo& fresh = Tree::AddFile(t, TargetOnly(L"T/new.txt"));
    d.run.targetTree = std::move(target.root);
    d.run.sourceTree = std::make_unique<FolderTreeNode>();

    ASSERT_EQ(CompareTaskTrees(d.run), kDecisionDone);
    EXPECT_EQ(fresh.state.Word(), 0x810u | kConflict | kParent);
    EXPECT_EQ(t.folder->state.Word(), S::kFolder | 0x810u | kConflict);
}

TEST(Decision, ByteTotalsGoToThePhysicalSides) {
    for (const DWORD type : {kMirror, kRtoL}) {
        Decision d(type);
        Decision::NoCatalog(d.run.sourceSide);
        Decision::NoCatalog(d.run.targetSide);
        Tree source;
        Tree::AddFile(*source.root, SourceOnly(L"new", 7));
        Tree::AddFile(*source.root, Matched(L"both", 5, kBaseTime + 100, 11, kBaseTime));  // to the target
        Tree::AddFile(*source.root, Matched(L"old", 13, kBaseTime, 17, kBaseTime + 100));  // to the source in Mirror
        Tree::AddFolder(*source.root, SourceOnlyFolder(L"dir"));
        Tree target;
        Tree::AddFile(*target.root, TargetOnly(L"theirs", 19));
        d.run.sourceTree = std::move(source.root);
        d.run.targetTree = std::move(target.root);

        ASSERT_EQ(CompareTaskTrees(d.run), kDecisionDone);
        // What is written is the size of the copy read: the target's for a copy to the source.
        // One way, the older source and the target-only file are conflicts.
        const ULONGLONG toSource = type == kMirror ? 17 + 19 : 0;
        const ULONGLONG toTarget = 7 + 5;
        EXPECT_EQ(d.run.bytesToLeft, type == kMirror ? toSource : toTarget);
        EXPECT_EQ(d.run.bytesToRight, type == kMirror ? toTarget : toSource);
    }
}

// ---------------------------------------------------------------------------------------
// The rows kept in the records.

TEST(Decision, EachRecordKeepsTheRowsFoundForIt) {
    Decision d(kMirror);
    d.SourceRow(L"Dir/A.txt", 5, kBaseTime);
    d.TargetRow(L"dir/a.txt", 5, kBaseTime + 1);
    d.TargetRow(L"only.txt", 9, kBaseTime + 7);
    d.SourceRow(L"gone", 3, kBaseTime);
    CFileInfo pair = Matched(L"Dir/A.txt", 6, kBaseTime + 50, 5, kBaseTime + 1);
    pair.SetCounterpartRelativePath("dir/a.txt");  // matched without regard to case
    CFileInfo theirs = TargetOnly(L"only.txt", 9, kBaseTime + 7);
    CFileInfo fresh = SourceOnly(L"fresh");
    CFileInfo excluded = SourceOnly(L"gone");
    excluded.state = ItemState(S::kNoAction | S::kExcluded | S::kOnSource);
    DecisionPass pass(d.run);
    for (CFileInfo* r : {&pair, &theirs, &fresh, &excluded}) DecideItemAction(*r, pass, 0);

    EXPECT_TRUE(pair.sourceCatalogRow().found);
    EXPECT_EQ(pair.sourceCatalogRow().size, 5u);
    EXPECT_EQ(pair.sourceCatalogRow().time, kBaseTime);
    EXPECT_EQ(pair.sourceCatalogRow().attributes, DWORD{FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_TRUE(pair.targetCatalogRow().found);
    EXPECT_EQ(pair.targetCatalogRow().time, kBaseTime + 1);
    EXPECT_TRUE(pair.state.IsAction(kCopyR));  // changed on the source only

    EXPECT_FALSE(theirs.sourceCatalogRow().found);
    EXPECT_TRUE(theirs.targetCatalogRow().found);
    EXPECT_EQ(theirs.targetCatalogRow().size, 9u);
    EXPECT_FALSE(fresh.sourceCatalogRow().found);
    EXPECT_FALSE(fresh.targetCatalogRow().found);
    EXPECT_FALSE(excluded.sourceCatalogRow().found);  // excluded items are not looked up
}

// ---------------------------------------------------------------------------------------
// A folder shared by two tasks has one catalog that both rewrite. Rows count as this
// pair's history only where the other side's catalog agrees.

TEST(Decision, RowsOfASideWithoutCatalogTheOtherHasNeverSeenDeleteNothing) {
    // X has a catalog written by its task with Y; Z is new beside it.
    struct Row {
        CFileInfo item;
        bool xIsSource;
        DWORD act;  // where the rows alone would have made a deletion
    };
    const Row rows[] = {
        {SourceOnly(L"f"), false, kKeep},  // on Z (source) only, listed by X (target): copied to X
        {TargetOnly(L"f"), true, kCopyL},  // on Z (target) only, listed by X (source): copied to X
    };
    for (const Row& r : rows) {
        Decision d(kMirror);
        if (r.xIsSource) {
            d.SourceRow(L"f");
            Decision::NoCatalog(d.run.targetSide);
        } else {
            d.TargetRow(L"f");
            Decision::NoCatalog(d.run.sourceSide);
        }
        CFileInfo item = r.item;
        DecisionPass pass(d.run);
        EXPECT_EQ(DecideItemAction(item, pass, 0), 0u);
        EXPECT_EQ(item.state.Word(), Expected(r.item.state.Word(), r.act));
        EXPECT_TRUE(r.xIsSource ? item.sourceCatalogRow().found : item.targetCatalogRow().found);  // still kept
    }
}

TEST(Decision, RowsOfDifferentVersionsMakeAConflictNotADeletionOrOverwrite) {
    // X<->Y brought a new version of f into X (X's row says so); meanwhile Z's copy was
    // deleted or edited. Without the other task the item would be a conflict too.
    const LONGLONG xTime = kBaseTime + 500;  // X's version, as X's catalog lists it
    struct Row {
        const char* what;
        CFileInfo item;
        bool xIsSource;
    };
    const Row rows[] = {
        {"deleted on Z", SourceOnly(L"f", kBaseSize, xTime), true},
        {"deleted on Z", TargetOnly(L"f", kBaseSize, xTime), false},
        {"edited on Z", Matched(L"f", kBaseSize, xTime, kBaseSize, kBaseTime + 900), true},
        {"edited on Z", Matched(L"f", kBaseSize, kBaseTime + 900, kBaseSize, xTime), false},
        {"size edited on Z", Matched(L"f", kBaseSize + 1, kBaseTime, kBaseSize + 2, kBaseTime), true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Decision d(kMirror);
        const bool sizes = !r.item.state.TimesDiffer() && r.item.state.SizesDiffer();
        // X's catalog lists X's version of f; Z's lists the version the pair last shared.
        RunCatalogSide& x = r.xIsSource ? d.run.sourceSide : d.run.targetSide;
        RunCatalogSide& z = r.xIsSource ? d.run.targetSide : d.run.sourceSide;
        Decision::AddRow(x, L"f", sizes ? kBaseSize + 1 : kBaseSize, sizes ? kBaseTime : xTime);
        Decision::AddRow(z, L"f", kBaseSize, kBaseTime);
        CFileInfo item = r.item;
        DecisionPass pass(d.run);
        DecideItemAction(item, pass, 0);
        EXPECT_EQ(item.state.Word(), Expected(r.item.state.Word(), kConflict)) << std::hex << item.state.Word();
    }
}

// ---------------------------------------------------------------------------------------
// Catalogs that are there but could not be read whole, log lines, progress and Stop.

// A task window and a log control on the test's own thread.
struct Windows {
    int stopAtQuery = 0;      // 0: never
    DWORD firstAnswerMs = 0;  // how long the first stop question takes to answer
    int queries = 0;
    std::vector<std::pair<WPARAM, LPARAM>> progress;
    std::vector<DWORD> positions;
    std::vector<std::string> statusLines;
    std::vector<std::pair<std::string, LPARAM>> logLines;

    msgtest::LambdaWindow taskProc{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_QUERY_STOP) {
            if (queries++ == 0 && firstAnswerMs > 0) Sleep(firstAnswerMs);
            return stopAtQuery > 0 && queries >= stopAtQuery;
        }
        if (message == WM_SYNC_PROGRESS) progress.emplace_back(w, l);
        if (message == WM_SYNC_PROGRESS_POS) positions.push_back(static_cast<DWORD>(w));
        if (message == WM_SYNC_LOG_LINE && l == 2) statusLines.push_back(reinterpret_cast<const char*>(w));
        return 0;
    }};
    msgtest::LambdaWindow logProc{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_LOG_LINE) logLines.emplace_back(reinterpret_cast<const char*>(w), l);
        if (message == WM_SYNC_LOG_LINE_W)
            logLines.emplace_back(plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)), l);
        return 0;
    }};
    HWND task = plat::CreateMessageWindow(&taskProc);
    HWND log = plat::CreateMessageWindow(&logProc);

    ~Windows() {
        DestroyWindow(task);
        DestroyWindow(log);
    }
    void Attach(Decision& d, DWORD level) {
        d.task.taskWindow = task;
        d.task.logControl = log;
        d.task.logOptions->log = 1;
        d.task.logOptions->logLevel = level;
    }
    bool Logged(const std::string& line, LPARAM colour) const {
        return std::find(logLines.begin(), logLines.end(), std::make_pair(line + "\r\n", colour)) != logLines.end();
    }
};

TEST(Decision, AnUnreadableCatalogNeverLeadsToADeletion) {
    struct Row {
        const char* what;
        bool sourceUnreadable;
        bool partial;  // some rows were read before the fault
        CFileInfo item;
        const char* deleted;
    };
    const Row rows[] = {
        {"source unreadable, gone from the target", true, false, SourceOnly(L"f"), "/src/f"},
        {"target partly read, gone from the source", false, true, TargetOnly(L"f"), "/dst/f"},
        {"source partly read, gone from the target", true, true, SourceOnly(L"f"), "/src/f"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Decision d(kMirror);
        Windows w;
        w.Attach(d, kLogDetailed);
        d.SourceRow(L"f");
        d.TargetRow(L"f");
        RunCatalogSide& bad = r.sourceUnreadable ? d.run.sourceSide : d.run.targetSide;
        bad.status = CatalogStatus::kIncomplete;
        if (!r.partial) {
            bad.rows.reset();
            bad.loaded = false;
        }
        Tree tree;
        CFileInfo& item = Tree::AddFile(*tree.root, r.item);
        (r.item.state.IsTargetOnly() ? d.run.targetTree : d.run.sourceTree) = std::move(tree.root);

        ASSERT_EQ(CompareTaskTrees(d.run), kDecisionDone);
        EXPECT_EQ(item.state.Word(), (r.item.state.Word() & 0xF00FFFFF) | kConflict);
        EXPECT_TRUE(
            w.Logged(std::string("Delete of '") + r.deleted + "' left as a conflict: a catalog could not be read", 0));
        EXPECT_TRUE(
            w.Logged("Deletions left as conflicts because a catalog of the last run could not be read: 1", 255));
    }
}

TEST(Decision, DetailedLogLinesOfOverwritesAndClashes) {
    for (const DWORD level : {kLogDetailed, kLogSummary}) {
        Decision d(kMirror);
        Windows w;
        w.Attach(d, level);
        for (const wchar_t* rel : {L"up", L"down"}) {
            d.SourceRow(rel);
            d.TargetRow(rel);
        }
        Tree source;
        Tree::AddFile(*source.root,
                      Matched(L"up", kBaseSize, kBaseTime - 100, kBaseSize, kBaseTime));  // older source changed
        Tree::AddFile(*source.root,
                      Matched(L"down", kBaseSize, kBaseTime, kBaseSize, kBaseTime - 100));  // older target changed
        CFileInfo clash = SourceOnly(L"x");
        clash.state = ItemState(S::kMatched | S::kClash | S::kOnSource | S::kOnTarget);
        clash.SetCounterpart(L"/dst/x", L"x", clash.counterpartAttributes, clash.counterpartSize, 0);
        Tree::AddFile(*source.root, clash);
        d.run.sourceTree = std::move(source.root);

        ASSERT_EQ(CompareTaskTrees(d.run), kDecisionDone);
        const bool detailed = level == kLogDetailed;
        EXPECT_EQ(w.Logged("'/src/up' overwrite newer '/dst/up'", 0), detailed);
        EXPECT_EQ(w.Logged("'/dst/down' overwrite newer '/src/down'", 0), detailed);
        EXPECT_EQ(w.Logged("Folder and file conflict between '/src/x' and '/dst/x'", 0), detailed);
        EXPECT_EQ(w.logLines.size(), detailed ? 3u : 0u);
    }
}

// Source: a folder with two files and a file; target: one target-only file.
void FillSmallTrees(Decision& d) {
    Tree source;
    FolderTreeNode& dir = Tree::AddFolder(*source.root, SourceOnlyFolder(L"d"));
    Tree::AddFile(dir, SourceOnly(L"d/1"));
    Tree::AddFile(dir, SourceOnly(L"d/2"));
    Tree::AddFile(*source.root, SourceOnly(L"top"));
    Tree target;
    Tree::AddFile(*target.root, TargetOnly(L"theirs"));
    d.run.sourceTree = std::move(source.root);
    d.run.targetTree = std::move(target.root);
    d.run.counters.sourceFiles = 3;
    d.run.counters.sourceFolders = 1;
    d.run.counters.targetFiles = 1;
}

TEST(Decision, StatusLineAndProgressOverBothTrees) {
    const ScopedMessagePaceInterval everyItem(0);
    Decision d(kMirror);
    Windows w;
    w.Attach(d, kLogSummary);
    FillSmallTrees(d);
    ASSERT_EQ(CompareTaskTrees(d.run), kDecisionDone);
    EXPECT_EQ(w.statusLines, std::vector<std::string>{"Checking..."});
    EXPECT_EQ(w.progress, (std::vector<std::pair<WPARAM, LPARAM>>{{5, 20}}));
    // top, then the folder d (asked before it is entered), d itself, d/1, d/2, theirs.
    EXPECT_EQ(w.positions, (std::vector<DWORD>{1, 1, 2, 3, 4, 5}));
}

TEST(Decision, StopEndsTheWalkWhereverItIsAsked) {
    const ScopedMessagePaceInterval everyItem(0);
    for (int at = 1; at <= 6; ++at) {
        Decision d(kMirror);
        Windows w;
        w.Attach(d, kLogSummary);
        w.stopAtQuery = at;
        FillSmallTrees(d);
        EXPECT_EQ(CompareTaskTrees(d.run), kDecisionStopped) << at;
        EXPECT_EQ(w.queries, at);
        EXPECT_EQ(d.run.bytesToRight, 0u);
    }
}

// The state word of every record of both trees, in the trees' order.
std::vector<DWORD> StateWords(const SyncRunBlock& run) {
    std::vector<DWORD> words;
    std::vector<const FolderTreeNode*> pending{run.targetTree.get(), run.sourceTree.get()};
    while (!pending.empty()) {
        const FolderTreeNode* node = pending.back();
        pending.pop_back();
        if (node->folder) words.push_back(node->folder->state.Word());
        if (node->files) {
            for (const CFileInfo& file : *node->files) words.push_back(file.state.Word());
        }
        for (const auto& child : node->children) pending.push_back(child.get());
    }
    return words;
}

TEST(Decision, PacedMessagesGiveTheSameDecisionsAndTheBarEndsFull) {
    const auto decideWith = [](DWORD interval, Windows& w) {
        const ScopedMessagePaceInterval pace(interval);
        Decision d(kMirror);
        w.Attach(d, kLogSummary);
        FillSmallTrees(d);
        EXPECT_EQ(CompareTaskTrees(d.run), kDecisionDone);
        return std::make_tuple(StateWords(d.run), d.run.bytesToLeft, d.run.bytesToRight);
    };
    Windows everyItem;
    Windows paced;
    EXPECT_EQ(decideWith(60'000, paced), decideWith(0, everyItem));
    EXPECT_EQ(paced.statusLines, everyItem.statusLines);
    EXPECT_EQ(paced.progress, everyItem.progress);
    // The first item's question and position, then the last position.
    EXPECT_EQ(paced.queries, 1);
    EXPECT_EQ(paced.positions, (std::vector<DWORD>{1, 5}));
    EXPECT_EQ(everyItem.queries, 6);
}

// Stop pressed while the first answer is on its way is asked about again at the next
// item once the interval has passed.
TEST(Decision, StopIsNoticedWithinOneIntervalWhenPaced) {
    const ScopedMessagePaceInterval pace(5);
    Decision d(kMirror);
    Windows w;
    w.Attach(d, kLogSummary);
    w.stopAtQuery = 2;
    w.firstAnswerMs = 20;
    FillSmallTrees(d);
    EXPECT_EQ(CompareTaskTrees(d.run), kDecisionStopped);
    EXPECT_EQ(w.queries, 2);
    EXPECT_EQ(w.positions, std::vector<DWORD>{1});
    EXPECT_EQ(d.run.bytesToRight, 0u);
}

}  // namespace
