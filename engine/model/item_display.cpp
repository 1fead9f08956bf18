#include "engine/model/item_display.h"

#include "engine/model/item_state.h"

namespace {

using S = ItemState;

bool Has(DWORD state, DWORD bits) { return (state & bits) != 0; }
bool HasResult(DWORD state) { return Has(state, S::kResultMask); }
bool IsOpen(DWORD state) { return !Has(state, S::kDone | S::kExcluded); }
DWORD Compare(DWORD state) { return state & S::kCompareMask; }

// In the state word, kCopyToRight means toward the target side and kCopyToLeft toward the
// source side; on screen Left and Right depend on which side is the source.
DWORD ToLeftCopy(bool swapped) { return swapped ? S::kCopyToRight : S::kCopyToLeft; }
DWORD ToRightCopy(bool swapped) { return swapped ? S::kCopyToLeft : S::kCopyToRight; }
DWORD ToLeftTime(bool swapped) { return swapped ? S::kCopyTimeToRight : S::kCopyTimeToLeft; }
DWORD ToRightTime(bool swapped) { return swapped ? S::kCopyTimeToLeft : S::kCopyTimeToRight; }

}  // namespace

int GetActionImageIndex(DWORD state, bool swapped) {
    const bool folder = Has(state, S::kFolder);
    const bool noAction = Has(state, S::kNoAction);
    const bool R = swapped;
    if (Has(state, S::kExcluded)) return kImageExcluded;
    if (noAction && Has(state, S::kConflict)) return kImageConflict;
    if (noAction && Has(state, S::kClash)) return kImageClashOrError;
    if (noAction && Compare(state) == S::kCompareEqual && !folder) return kImageEqualOrDone;
    if (Has(state, S::kDone)) return kImageEqualOrDone;
    if (Has(state, S::kError | S::kBackupError)) return kImageClashOrError;
    if (Has(state, S::kCopyToRight)) {
        if (!folder) return R ? kImageCopyToLeft : kImageCopyToRight;
        return R ? kImageCreateLeft : kImageCreateRight;
    }
    if (Has(state, S::kCopyTimeToRight)) return R ? kImageCopyTimeToLeft : kImageCopyTimeToRight;
    if (Has(state, S::kCopyTimeToLeft)) return R ? kImageCopyTimeToRight : kImageCopyTimeToLeft;
    if (Has(state, S::kCopyToLeft)) {
        if (!folder) return R ? kImageCopyToRight : kImageCopyToLeft;
        return R ? kImageCreateRight : kImageCreateLeft;
    }
    if (Has(state, S::kDeleteRight)) {
        if (!folder) return R ? kImageDeleteFileLeft : kImageDeleteFileRight;
        return R ? kImageDeleteFolderLeft : kImageDeleteFolderRight;
    }
    if (Has(state, S::kDeleteLeft)) {
        if (!folder) return R ? kImageDeleteFileRight : kImageDeleteFileLeft;
        return R ? kImageDeleteFolderRight : kImageDeleteFolderLeft;
    }
    return kImageNothing;
}

bool IsItemInViewFilter(DWORD state, int filter, bool swapped) {
    const bool open = IsOpen(state);
    const bool excluded = Has(state, S::kExcluded);
    const DWORD actions = state & S::kActionMask;
    switch (filter) {
    case 0: return true;
    case 1: return open && (Has(state, S::kConflict | S::kClash) || (actions != 0 && actions != S::kNoAction));
    case 2: return open && Has(state, S::kConflict | S::kClash);
    case 3: return !excluded && Has(state, S::kError | S::kBackupError);
    case 4: return excluded;
    case 5: return open && Has(state, S::kTargetOnly | S::kSourceOnly);
    case 6: return open && Has(state, S::kDeleteLeft | S::kDeleteRight);
    case 7: return open && Has(state, ToLeftCopy(swapped));
    case 8: return open && Has(state, ToRightCopy(swapped));
    case 9: return open && Has(state, ToLeftTime(swapped));
    case 10: return open && Has(state, ToRightTime(swapped));
    case 11: return open && Has(state, S::kMatched) && Has(state, S::kCopyToLeft | S::kCopyToRight);
    case 12: return open && Compare(state) == S::kCompareTimeOnly;
    case 13: return !excluded && Has(state, S::kOlderOverNewer | S::kDeleteRefused | S::kUserChange);
    default: return false;
    }
}

bool CanChangeDirection(DWORD state) {
    return !HasResult(state) && !Has(state, S::kExcluded | S::kClash) && Compare(state) != S::kCompareEqual;
}

bool CanCopyTime(DWORD state) { return !HasResult(state) && Compare(state) == S::kCompareTimeOnly; }

bool CanRestoreAction(DWORD state, DWORD saved) { return !HasResult(state) && saved != 0; }

bool CanSetNoAction(DWORD state) {
    const DWORD actions = state & S::kActionMask;
    return !HasResult(state) && !Has(state, S::kNoAction) && actions != 0;
}
