#include "engine/model/item_texts.h"

const char* GetItemStatusText(ItemState state) {
    if (state.IsExcluded()) return "Excluded";
    if (state.IsClash()) return "File and folder conflict";
    if (state.IsParentDeleteConflict()) return "Parent folder delete conflict";
    if (state.IsDeleteRefused()) return "This item should be deleted. But, the delete setting prohibits to do so.";
    if (state.IsNoAction() && state.IsConflict()) return "Conflict";
    if (state.IsOlderOverNewer()) return "Copy older file to new file";
    if (state.UsedShadowCopy()) return "This item is locked. The shadow copy of the item is used for the operation.";
    if (state.IsUserChange()) return "This action has been changed by user.";
    return "";
}

const char* GetItemActionText(ItemState state, bool swapped) {
    if (state.IsExcluded()) return "Excluded";
    if (state.IsNoAction()) {
        if (state.IsConflict() || state.IsClash()) return "Conflict";
        if (state.IsEqual() && !state.IsFolder()) return "";
    }
    if (state.HasResult()) {
        if (state.IsDone()) return "Done";
        if (state.IsError()) return "Error";
        return "Backup Error";
    }
    const bool folder = state.IsFolder();
    const char* const toRight = folder ? "Create right" : "Copy to right";
    const char* const toLeft = folder ? "Create left" : "Copy to left";
    if (state.Has(ItemState::kCopyToRight)) return swapped ? toLeft : toRight;
    if (state.Has(ItemState::kCopyToLeft)) return swapped ? toRight : toLeft;
    if (state.Has(ItemState::kCopyTimeToLeft)) return swapped ? "Copy time to right" : "Copy time to left";
    if (state.Has(ItemState::kCopyTimeToRight)) return swapped ? "Copy time to left" : "Copy time to right";
    if (state.Has(ItemState::kDeleteRight)) return swapped ? "Delete left" : "Delete right";
    if (state.Has(ItemState::kDeleteLeft)) return swapped ? "Delete right" : "Delete left";
    return "";
}
