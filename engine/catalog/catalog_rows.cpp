#include "engine/catalog/catalog_rows.h"

namespace {

// The relative path by which the next Check looks the item up in the side's catalog, as
// the decision looked it up: the record's own on the side of its tree, the counterpart's
// spelling on the other side when it has one there.
std::wstring_view NameOnSide(const CFileInfo& record, CatalogSide side) {
    const bool ownSide = record.state.IsTargetOnly() == (side == CatalogSide::kTarget);
    if (ownSide || record.counterpartRelativePath.empty()) return record.relativePath;
    return record.counterpartRelativePath;
}

std::optional<CFileInfo2> PreviousRow(const CFileInfo& record, CatalogSide side) {
    const CatalogRowMemo& memo = side == CatalogSide::kSource ? record.sourceCatalogRow : record.targetCatalogRow;
    if (!memo.found) return std::nullopt;
    CFileInfo2 row;
    row.Set(NameOnSide(record, side), memo.size, memo.attributes, memo.time, 0);
    return row;
}

}  // namespace

bool EndsOutOfStep(ItemState state) {
    return (state.IsConflict() && state.IsNoAction()) || state.IsError() || state.IsBackupError();
}

std::optional<CFileInfo2> CatalogRowOfRecord(const CFileInfo& record, CatalogSide side, bool ownFields) {
    if (record.state.IsExcluded() || record.shadowIndex != -1) return std::nullopt;
    if (EndsOutOfStep(record.state)) return PreviousRow(record, side);

    const DWORD present = side == CatalogSide::kSource ? ItemState::kOnSource : ItemState::kOnTarget;
    if (!record.state.Has(present)) return std::nullopt;
    CFileInfo2 row;
    if (ownFields) {
        row.Set(record.relativePath, record.size, record.attributes, record.lastWrite, 0);
    } else {
        row.Set(record.counterpartRelativePath, record.counterpartSize, record.counterpartAttributes,
                record.counterpartLastWrite, 0);
    }
    return row;
}
