#include <gtest/gtest.h>

#include "engine/model/item_display.h"
#include "engine/model/item_state.h"

namespace {

using S = ItemState;
constexpr DWORD kFile = 0;
constexpr DWORD kDir = S::kFolder;

struct ImageCase {
    DWORD state;
    int unswapped;
    int swapped;
};

TEST(ActionImage, FirstRuleThatAppliesForEveryRowOfTheTable) {
    const ImageCase cases[] = {
        {S::kExcluded | S::kCopyToRight, 19, 19},
        {S::kNoAction | S::kConflict, 3, 3},
        {S::kNoAction | S::kClash, 0, 0},
        {S::kNoAction | S::kMatched, 6, 6},           // equal file
        {S::kNoAction | S::kMatched | kDir, 18, 18},  // equal folder: nothing to show
        {S::kDone | S::kCopyToRight, 6, 6},
        {S::kError | S::kCopyToRight, 0, 0},
        {S::kBackupError | S::kDeleteLeft, 0, 0},
        {S::kCopyToRight | kFile, 2, 1},
        {S::kCopyToRight | kDir, 5, 12},
        {S::kCopyTimeToRight, 16, 15},
        {S::kCopyTimeToLeft, 15, 16},
        {S::kCopyToLeft | kFile, 1, 2},
        {S::kCopyToLeft | kDir, 12, 5},
        {S::kDeleteRight | kFile, 11, 9},
        {S::kDeleteRight | kDir, 8, 10},
        {S::kDeleteLeft | kFile, 9, 11},
        {S::kDeleteLeft | kDir, 10, 8},
        {S::kNoAction, 18, 18},
        {0, 18, 18},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetActionImageIndex(c.state, false), c.unswapped) << std::hex << c.state;
        EXPECT_EQ(GetActionImageIndex(c.state, true), c.swapped) << std::hex << c.state;
    }
}

TEST(ViewFilter, WhichItemsEachFilterShows) {
    const DWORD conflict = S::kNoAction | S::kConflict;
    const DWORD copyToTarget = S::kMatched | S::kCopyToRight;
    EXPECT_TRUE(IsItemInViewFilter(S::kExcluded, 0, false));
    EXPECT_TRUE(IsItemInViewFilter(copyToTarget, 1, false));
    EXPECT_FALSE(IsItemInViewFilter(S::kNoAction | S::kMatched, 1, false));
    EXPECT_TRUE(IsItemInViewFilter(conflict, 2, false));
    EXPECT_FALSE(IsItemInViewFilter(conflict | S::kDone, 2, false));  // a done conflict is hidden
    EXPECT_TRUE(IsItemInViewFilter(S::kError, 3, false));
    EXPECT_FALSE(IsItemInViewFilter(S::kError | S::kExcluded, 3, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kExcluded, 4, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kSourceOnly | S::kCopyToRight, 5, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kDeleteLeft, 6, false));
    // Copies to the Left/Right depend on which side is the source.
    EXPECT_TRUE(IsItemInViewFilter(S::kCopyToLeft, 7, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kCopyToRight, 7, true));
    EXPECT_FALSE(IsItemInViewFilter(S::kCopyToRight, 7, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kCopyToRight, 8, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kCopyTimeToLeft, 9, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kCopyTimeToRight, 9, true));
    EXPECT_TRUE(IsItemInViewFilter(S::kCopyTimeToRight, 10, false));
    EXPECT_TRUE(IsItemInViewFilter(copyToTarget, 11, false));
    EXPECT_FALSE(IsItemInViewFilter(S::kSourceOnly | S::kCopyToRight, 11, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kCompareTimeOnly | S::kCopyTimeToRight, 12, false));
    EXPECT_TRUE(IsItemInViewFilter(S::kUserChange | S::kDone, 13, false));
    EXPECT_FALSE(IsItemInViewFilter(S::kUserChange | S::kExcluded, 13, false));
    EXPECT_FALSE(IsItemInViewFilter(copyToTarget, 14, false));
    EXPECT_FALSE(IsItemInViewFilter(copyToTarget, -1, false));
}

TEST(ItemCommands, EnabledOnlyForOpenItemsThatAllowThem) {
    const DWORD copy = S::kMatched | S::kTimesDiffer | S::kCopyToRight;
    EXPECT_TRUE(CanChangeDirection(copy));
    EXPECT_FALSE(CanChangeDirection(copy | S::kDone));
    EXPECT_FALSE(CanChangeDirection(S::kExcluded));
    EXPECT_FALSE(CanChangeDirection(S::kClash | S::kNoAction));
    EXPECT_FALSE(CanChangeDirection(S::kCompareEqual | S::kNoAction));

    EXPECT_TRUE(CanCopyTime(S::kCompareTimeOnly | S::kCopyTimeToRight));
    EXPECT_FALSE(CanCopyTime(S::kCompareTimeOnly | S::kError));
    EXPECT_FALSE(CanCopyTime(copy | S::kSizesDiffer));

    EXPECT_TRUE(CanRestoreAction(copy, copy | S::kUserChange));
    EXPECT_FALSE(CanRestoreAction(copy, 0));
    EXPECT_FALSE(CanRestoreAction(copy | S::kBackupError, copy));

    EXPECT_TRUE(CanSetNoAction(copy));
    EXPECT_FALSE(CanSetNoAction(S::kNoAction | S::kConflict));
    EXPECT_FALSE(CanSetNoAction(S::kMatched));
    EXPECT_FALSE(CanSetNoAction(copy | S::kDone));
}

}  // namespace
