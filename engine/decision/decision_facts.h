#pragma once
// What the two catalogs of the last run tell the decision about one item.
//
// A catalog lives with its folder, so a folder that two tasks share (X with Y, X with Z)
// has one catalog that each task's runs rewrite. A row therefore shows what its side
// held at the end of the last run of any task on that folder, not necessarily of this
// pair. The facts use a row as this pair's history only where the other side's catalog
// agrees with it:
// - When one side has no catalog file at all, the other side's rows say nothing about
//   this pair: the item is decided as on a first run, so a row of a folder's other task
//   cannot delete a file of a folder that was never synced with it.
// - When both catalogs list the item but with different versions (size, or times more
//   than 2 s apart; folders always agree), each side may have changed since this pair was
//   last in step: both facts are "changed", which makes a conflict rather than a deletion
//   or an overwrite that would lose a change brought in by the other task.

#include "engine/catalog/catalog_reading.h"
#include "engine/catalog/catalog_status.h"
#include "engine/model/file_info.h"

struct SyncRunBlock;

// What the Check knows of each side's catalog.
struct CatalogSituation {
    CatalogStatus source = CatalogStatus::kNone;
    CatalogStatus target = CatalogStatus::kNone;
    bool sourceLoaded = false;  // rows of the source side's catalog can be looked up
    bool targetLoaded = false;

    // Neither side's catalog may lead to a deletion: one is there but could not be read whole.
    bool AnyUnreadable() const { return source == CatalogStatus::kIncomplete || target == CatalogStatus::kIncomplete; }
};

CatalogSituation CatalogSituationOf(const SyncRunBlock& run);

// Looks the record up in both sides' catalogs, each by that side's spelling of its path,
// and stores what was found in the record's sourceCatalogRow and targetCatalogRow. A
// target-only record is one of the target tree; any other, one of the source tree.
void StoreCatalogRows(const SyncRunBlock& run, CFileInfo& record);

// StoreCatalogRows for every record the decision looks up: of both trees, those not
// excluded that are on the source side or target only. On several threads.
void StoreCatalogRowsOfTrees(SyncRunBlock& run);

// The catalog facts of the record, from the rows stored in it.
CatalogFacts CatalogFactsOf(const CFileInfo& record, const CatalogSituation& catalogs);
