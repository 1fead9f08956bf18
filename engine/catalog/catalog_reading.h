#pragma once
// The Check's reading of both sides' catalogs of the last run, and the lookups the
// decision makes in them.
//
// Each catalog is copied to a temporary file of its own, so the catalog itself is not
// held open, and read member by member into the side's sorted rows. The copy is deleted
// as soon as the side has been read, also when Stop was pressed or reading failed.

#include <string_view>

#include "engine/catalog/catalog_status.h"

class CFileInfo;
class CFileInfo2;
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
void FreeCatalogs(SyncRunBlock& run);

// The row of `relativePath` in the side's catalog, or null when the side has no catalog
// loaded or the path is not in it. Names are compared with case.
const CFileInfo2* FindCatalogRow(const RunCatalogSide& side, std::wstring_view relativePath);

// The record's own size differs from the row's, or its last-write time is more than 2 s
// away from the row's.
bool IsChangedSinceCatalog(const CFileInfo& record, const CFileInfo2& row);

// The two catalog facts of the decision: `a` from the source side's catalog, `b` from the
// target side's. Each side's catalog is looked up by the relative path as that side
// spells it: a matched record's counterpart path for the target side, so a pair matched
// without regard to case is found in both catalogs.
struct CatalogFacts {
    bool a = false;
    bool b = false;
};

// Source-only record: a = new or changed on the source since the last run (not in the
// source catalog, or a file whose size or time changed); b = in the target catalog.
CatalogFacts LookupCatalogsSourceOnly(const SyncRunBlock& run, const CFileInfo& record);
// Target-only record: a = in the source catalog; b = new or changed on the target.
CatalogFacts LookupCatalogsTargetOnly(const SyncRunBlock& run, const CFileInfo& record);
// Files whose times differ: a = in the source catalog and the source time is more than
// 2 s from the row's; b = the same for the target (the counterpart's time).
CatalogFacts LookupCatalogsTimesDiffer(const SyncRunBlock& run, const CFileInfo& record);
// Files whose sizes differ: a = in the source catalog with another size; b = the same for
// the target (the counterpart's size).
CatalogFacts LookupCatalogsSizesDiffer(const SyncRunBlock& run, const CFileInfo& record);
