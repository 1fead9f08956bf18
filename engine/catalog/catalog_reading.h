#pragma once
// The Check's reading of both sides' catalogs of the last run, and the lookups the
// decision makes in them.
//
// Each catalog is copied to a temporary file of its own, so the catalog itself is not
// held open, and read member by member into the side's sorted rows. The copy is deleted
// as soon as the side has been read, also when Stop was pressed or reading failed.

#include <string_view>

#include "engine/catalog/catalog_row_table.h"
#include "engine/catalog/catalog_status.h"

class CFileInfo;
using CatalogRow = CatalogRowTable::Row;
struct RunCatalogSide;
struct SyncRunBlock;

struct CatalogsRead {
    bool stopped = false;  // Stop was pressed: both sides' rows are freed
    CatalogStatus source = CatalogStatus::kNone;
    CatalogStatus target = CatalogStatus::kNone;
};

// Reads the source side's catalog, then the target side's, from the task's catalog
// paths. A side whose catalog cannot be copied or read, wholly or in part, keeps the rows
// read before the fault and is reported kIncomplete, with "Failed to load '%s' catalog
// file." in red when the task logs; a complete one ends with "Read source catalog file"
// or "Read target catalog file". Status line, progress and stop queries go to the task's
// window when it has one.
CatalogsRead ReadCatalogs(SyncRunBlock& run);

// Frees both sides' rows, clears their loaded flags and deletes any temporary copy left.
// With `keepForSync`, a side's rows that the Sync of the run may compare its new catalog
// with are kept in its stored parts (without their lookups) until the Sync is done.
void FreeCatalogs(SyncRunBlock& run, bool keepForSync = false);

// The row of `relativePath` in the side's catalog, or null when the side has no catalog
// loaded or the path is not in it. Names are compared with case.
const CatalogRow* FindCatalogRow(const RunCatalogSide& side, std::string_view relativePath);

// The record's own size differs from the row's, or its last-write time is more than 2 s
// away from the row's.
bool IsChangedSinceCatalog(const CFileInfo& record, const CatalogRow& row);

// What the two catalogs of the last run tell the decision about one item. Two facts count
// for each kind of item: for a source-only item changedOnSource and knownToTarget, for a
// target-only item knownToSource and changedOnTarget, for a file whose times or sizes
// differ changedOnSource and changedOnTarget. Each side's catalog is looked up by the
// relative path as that side spells it: a matched record's counterpart path for the
// target side, so a pair matched without regard to case is found in both catalogs.
struct CatalogFacts {
    bool changedOnSource = false;  // new or changed on the source side since its catalog
    bool changedOnTarget = false;  // new or changed on the target side since its catalog
    bool knownToSource = false;    // the source side's catalog lists the item
    bool knownToTarget = false;    // the target side's catalog lists the item
};

// Source-only record: changed on the source since the last run (not in the source
// catalog, or a file whose size or time changed), and whether the target catalog knows it.
CatalogFacts LookupCatalogsSourceOnly(const SyncRunBlock& run, const CFileInfo& record);
// Target-only record: whether the source catalog knows it, and changed on the target.
CatalogFacts LookupCatalogsTargetOnly(const SyncRunBlock& run, const CFileInfo& record);
// Files whose times differ: changed on a side when that side's catalog lists the file and
// its time there (the counterpart's, for the target) is more than 2 s from the row's.
CatalogFacts LookupCatalogsTimesDiffer(const SyncRunBlock& run, const CFileInfo& record);
// Files whose sizes differ: changed on a side when that side's catalog lists the file with
// another size (the counterpart's, for the target).
CatalogFacts LookupCatalogsSizesDiffer(const SyncRunBlock& run, const CFileInfo& record);
