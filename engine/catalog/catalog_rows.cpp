#include "engine/catalog/catalog_rows.h"

namespace {

// The relative path by which the next Check looks the item up in the side's catalog, as
// the decision looked it up: the record's own on the side of its tree, the counterpart's
// spelling on the other side when it has one there.
std::string_view NameOnSide(const CFileInfo& record, CatalogSide side) {
    const bool ownSide = record.state.IsTargetOnly() == (side == CatalogSide::kTarget);
    return ownSide ? record.relativePath : record.counterpartRelativePath();
}

std::optional<CatalogRowFields> PreviousRow(const CFileInfo& record, CatalogSide side) {
    const CatalogRowMemo memo = side == CatalogSide::kSource ? record.sourceCatalogRow() : record.targetCatalogRow();
    if (!memo.found) return std::nullopt;
    return CatalogRowFields{NameOnSide(record, side), memo.size, memo.attributes, memo.time};
}

}  // namespace

bool KeepsLastRunRows(ItemState state) {
    if (state.IsError() || state.IsBackupError()) return true;
    // Left as it was: a conflict, a deletion that was refused, an item the user left alone.
    return state.IsNoAction() && (state.IsConflict() || state.IsDeleteRefused() || state.IsUserChange());
}

std::optional<CatalogRowFields> CatalogRowOfRecord(const CFileInfo& record, CatalogSide side, bool ownFields) {
    if (record.state.IsExcluded() || record.shadowIndex != -1) return std::nullopt;
    if (KeepsLastRunRows(record.state)) return PreviousRow(record, side);

    const DWORD present = side == CatalogSide::kSource ? ItemState::kOnSource : ItemState::kOnTarget;
    if (!record.state.Has(present)) return std::nullopt;
    if (ownFields) return CatalogRowFields{record.relativePath, record.size, record.attributes, record.lastWrite};
    return CatalogRowFields{record.counterpartRelativePath(), record.counterpartSize, record.counterpartAttributes,
                            record.counterpartLastWrite};
}
