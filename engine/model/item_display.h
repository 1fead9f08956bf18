#pragma once
// What the task window shows of an item's state word: its action image, whether it passes
// the current view filter, and which action commands apply to it. With `swapped` clear the
// source side is Left and the target side Right; with it set, the other way round.

#include "platform/core/win_types.h"

// Images of the task window's action image list.
enum ActionImage : int {
    kImageClashOrError = 0,
    kImageCopyToLeft = 1,
    kImageCopyToRight = 2,
    kImageConflict = 3,
    kImageCreateRight = 5,
    kImageEqualOrDone = 6,
    kImageDeleteFolderRight = 8,
    kImageDeleteFileLeft = 9,
    kImageDeleteFolderLeft = 10,
    kImageDeleteFileRight = 11,
    kImageCreateLeft = 12,
    kImageCopyTimeToLeft = 15,
    kImageCopyTimeToRight = 16,
    kImageNothing = 18,
    kImageExcluded = 19,
};

// The number of view filters (0..13) of WM_SYNC_VIEW_FILTER.
inline constexpr int kViewFilterCount = 14;

int GetActionImageIndex(DWORD state, bool swapped);
bool IsItemInViewFilter(DWORD state, int filter, bool swapped);

// Update tests of the item commands on the selected row's state word `state` and its saved
// word `saved` (the word before the user's first change, 0 when none).
bool CanChangeDirection(DWORD state);
bool CanCopyTime(DWORD state);
bool CanRestoreAction(DWORD state, DWORD saved);
bool CanSetNoAction(DWORD state);
