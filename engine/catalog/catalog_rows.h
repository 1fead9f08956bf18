#pragma once
// Which row an item of a finished Sync gives each side's new catalog.
//
// A catalog lists what is in step on its side. An item that is present on a side after
// its action gets a row with the values it has there now. An item that ended out of step
// (an unresolved conflict, an error or a backup error) or was left as it was (a deletion
// refused because "Delete" is off, an item the user set to no action) keeps the row the
// side's last catalog held for it, as the decision stored it in the record, and none
// where that catalog had none: the next Check then decides it again as if this run had
// not happened, instead of taking the present state for agreed. Excluded items, and
// items still waiting for a shadow copy, get no row.

#include <optional>

#include "engine/model/file_info.h"

enum class CatalogSide { kSource, kTarget };

// An unresolved conflict, a failed action or a failed backup, a refused deletion or an
// item the user left alone.
bool KeepsLastRunRows(ItemState state);

// A row's values; its name points into the record it was made from.
struct CatalogRowFields {
    std::string_view name;
    ULONGLONG size = 0;
    DWORD attributes = 0;
    LONGLONG time = 0;
};

// The row `record` gives `side`'s catalog, or nothing. With `ownFields` a present item's
// row takes the record's own relative path, attributes, size and last write; without, the
// counterpart's (a source-tree record's target row).
std::optional<CatalogRowFields> CatalogRowOfRecord(const CFileInfo& record, CatalogSide side, bool ownFields);
