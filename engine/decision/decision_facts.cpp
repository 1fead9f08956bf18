#include "engine/decision/decision_facts.h"

#include <string_view>

#include "engine/model/item_state.h"
#include "engine/model/parallel_tree_walk.h"
#include "engine/run/run_block.h"

namespace {

CatalogRowMemo MemoOf(const CatalogRow* row) {
    CatalogRowMemo memo;
    if (!row) return memo;
    memo.found = true;
    memo.attributes = row->attributes;
    memo.size = row->size;
    memo.time = row->time;
    return memo;
}

// A matched record carries the other side's spelling of its path as its counterpart's.
std::string_view OtherSideSpelling(const CFileInfo& record) { return record.counterpartRelativePath(); }

bool ChangedSince(ULONGLONG size, LONGLONG lastWrite, const CatalogRowMemo& row) {
    return size != row.size || TimesDiffer(lastWrite, row.time);
}

// Both rows describe the same version of the item.
bool RowsAgree(const CatalogRowMemo& source, const CatalogRowMemo& target, bool folder) {
    return folder || (source.size == target.size && !TimesDiffer(source.time, target.time));
}

// New or changed on a side since its catalog: not in it, or a file that changed. False
// without rows to look in.
bool NewOrChanged(bool loaded, const CatalogRowMemo& row, const CFileInfo& record) {
    if (!loaded) return false;
    if (!row.found) return true;
    return !record.state.IsFolder() && ChangedSince(record.size, record.lastWrite, row);
}

}  // namespace

CatalogSituation CatalogSituationOf(const SyncRunBlock& run) {
    CatalogSituation situation;
    situation.source = run.sourceSide.status;
    situation.target = run.targetSide.status;
    situation.sourceLoaded = run.sourceSide.loaded && run.sourceSide.rows;
    situation.targetLoaded = run.targetSide.loaded && run.targetSide.rows;
    return situation;
}

void StoreCatalogRows(const SyncRunBlock& run, CFileInfo& record) {
    const bool inTargetTree = record.state.IsTargetOnly();
    const std::string_view sourceName = inTargetTree ? OtherSideSpelling(record) : record.relativePath;
    const std::string_view targetName = inTargetTree ? record.relativePath : OtherSideSpelling(record);
    record.SetSourceCatalogRow(MemoOf(FindCatalogRow(run.sourceSide, sourceName)));
    record.SetTargetCatalogRow(MemoOf(FindCatalogRow(run.targetSide, targetName)));
}

void StoreCatalogRowsOfTrees(SyncRunBlock& run) {
    const auto store = [&run](CFileInfo& record) {
        const ItemState state = record.state;
        if (!state.IsExcluded() && (state.IsOnSource() || state.IsTargetOnly())) StoreCatalogRows(run, record);
    };
    for (FolderTreeNode* tree : {run.sourceTree.get(), run.targetTree.get()}) {
        if (!tree) continue;
        VisitTreeInParallel(*tree, [&store](FolderTreeNode& node) {
            if (node.folder) store(*node.folder);
            if (node.files) {
                for (CFileInfo& file : *node.files) store(file);
            }
        });
    }
}

CatalogFacts CatalogFactsOf(const CFileInfo& record, const CatalogSituation& catalogs) {
    if (catalogs.source == CatalogStatus::kNone || catalogs.target == CatalogStatus::kNone) return {};

    const ItemState s = record.state;
    const bool folder = s.IsFolder();
    const CatalogRowMemo source = record.sourceCatalogRow();
    const CatalogRowMemo target = record.targetCatalogRow();
    CatalogFacts facts;
    if (s.IsSourceOnly()) {
        facts.changedOnSource = NewOrChanged(catalogs.sourceLoaded, source, record);
        facts.knownToTarget = target.found;
    } else if (s.IsTargetOnly()) {
        facts.knownToSource = source.found;
        facts.changedOnTarget = NewOrChanged(catalogs.targetLoaded, target, record);
    } else if (folder) {
        return {};
    } else if (s.TimesDiffer()) {
        // A path missing from a catalog counts as unchanged there.
        facts.changedOnSource = source.found && TimesDiffer(record.lastWrite, source.time);
        facts.changedOnTarget = target.found && TimesDiffer(record.counterpartLastWrite, target.time);
    } else if (s.SizesDiffer()) {
        facts.changedOnSource = source.found && record.size != source.size;
        facts.changedOnTarget = target.found && record.counterpartSize != target.size;
    } else {
        return {};
    }
    // Known to both, changed on both: whatever the kind of item, a conflict.
    if (source.found && target.found && !RowsAgree(source, target, folder)) facts = {true, true, true, true};
    return facts;
}
