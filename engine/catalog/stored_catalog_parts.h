#pragma once
// What a Check learnt of a side's catalog of the last run that the Sync of the same run
// uses to tell a block of the new catalog that comes out exactly as stored without
// reading the catalog again: the file as it was read, for each member (chunk k of the
// side's rows) whether its bytes are exactly what the writer makes of its rows, and, once
// the decision is done, the rows themselves. Kept only for a catalog read whole whose
// archive holds nothing but its members.

#include <memory>
#include <vector>

#include "engine/catalog/catalog_row_table.h"
#include "platform/core/zip_reader.h"

struct StoredCatalogParts {
    plat::FileStamp stamp;
    std::vector<bool> canonical;
    std::unique_ptr<CatalogRowTable> rows;  // null until the Check hands them on
};
