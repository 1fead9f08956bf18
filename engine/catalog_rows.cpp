#include "engine/catalog_rows.h"

namespace {

// The relative path by which the next Check looks the item up in the side's catalog: the
// record's own for its own side, the counterpart's spelling for the other side when the
// item has one there.
const std::wstring& NameOnSide(const CFileInfo& record, bool ownFields) {
    if (ownFields || record.counterpartRelativePath.empty()) return record.relativePath;
    return record.counterpartRelativePath;
}

std::optional<CFileInfo2> PreviousRow(const CFileInfo& record, CatalogSide side, bool ownFields) {
    const CatalogRowMemo& memo = side == CatalogSide::kSource ? record.sourceCatalogRow : record.targetCatalogRow;
    if (!memo.found) return std::nullopt;
    CFileInfo2 row;
    row.Set(NameOnSide(record, ownFields), memo.size, memo.attributes, memo.time, 0);
    return row;
}

}  // namespace

bool EndsOutOfStep(ItemState state) {
    return (state.IsConflict() && state.IsNoAction()) || state.IsError() || state.IsBackupError();
}

std::optional<CFileInfo2> CatalogRowOfRecord(const CFileInfo& record, CatalogSide side, bool ownFields) {
    if (record.state.IsExcluded() || record.shadowIndex != -1) return std::nullopt;
    if (EndsOutOfStep(record.state)) return PreviousRow(record, side, ownFields);

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
