#include "engine/model/item_state.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/model/file_info.h"
#include "engine/model/item_texts.h"

namespace {

using S = ItemState;

struct Field {
    DWORD bits;
    bool (ItemState::*read)() const;
};

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        {0x1, &S::IsMatched},
        {0x2, &S::IsClash},
        {0x4, &S::TimesDiffer},
        {0x8, &S::SizesDiffer},
        {0x10, &S::IsTargetOnly},
        {0x20, &S::IsSourceOnly},
        {0x40, &S::IsSourceOlder},
        {0x80, &S::IsFolder},
        {0x100, &S::IsExcluded},
        {0x200, &S::IsConflict},
        {0x400, &S::IsOnSource},
        {0x800, &S::IsOnTarget},
        {0x2000, &S::IsTargetDeletedByUser},
        {0x4000, &S::IsSourceDeletedByUser},
        {0x8000, &S::UsedShadowCopy},
        {0x10000, &S::IsOlderOverNewer},
        {0x20000, &S::IsDeleteRefused},
        {0x40000, &S::IsUserChange},
        {0x80000, &S::IsParentDeleteConflict},
        {0x10000000, &S::IsError},
        {0x20000000, &S::IsDone},
        {0x40000000, &S::IsBackupError},
        {0x80000000, &S::IsDeleted},
    };
    return fields;
}

TEST(ItemState, EachFlagReadsBackAloneAndNoOtherFlag) {
    for (const Field& set : Fields()) {
        S state;
        state.Set(set.bits);
        EXPECT_EQ(state.Word(), set.bits);
        for (const Field& read : Fields()) {
            EXPECT_EQ((state.*read.read)(), read.bits == set.bits) << std::hex << set.bits << " read as " << read.bits;
        }
        EXPECT_EQ(state.Action(), 0u);
        state.Clear(set.bits);
        EXPECT_EQ(state.Word(), 0u);
    }
}

TEST(ItemState, ActionsLieInTheirFieldAndReplaceEachOther) {
    const DWORD actions[] = {S::kCopyTimeToRight, S::kCopyTimeToLeft, S::kNoAction,  S::kCopyToRight,
                             S::kCopyToLeft,      S::kDeleteRight,    S::kDeleteLeft};
    DWORD all = 0;
    for (DWORD a : actions) {
        EXPECT_EQ(a & S::kActionMask, a);
        EXPECT_EQ(all & a, 0u) << std::hex << a;
        all |= a;
    }
    EXPECT_EQ(all & 0x400000u, 0u);  // bit 22 is not assigned
    EXPECT_EQ(S::kActionMask, 0x0FF00000u);
    EXPECT_EQ(S::kStatusMask | S::kActionMask | 0xF0000000u, 0xFFFFFFFFu);

    S state(0xFFFFFFFFu);
    for (DWORD a : actions) {
        state.SetAction(a);
        EXPECT_EQ(state.Action(), a);
        EXPECT_TRUE(state.IsAction(a));
        EXPECT_EQ(state.Word() & ~S::kActionMask, 0xF00FFFFFu);
    }
    // Stray bits outside the action field cannot leak into the status bits.
    S clean;
    clean.SetAction(S::kCopyToRight | S::kExcluded);
    EXPECT_EQ(clean.Word(), S::kCopyToRight);
}

TEST(ItemState, ReplacingTheActionKeepsResultAndStatusBits) {
    S state(S::kDone | S::kNoAction | S::kOnSource | S::kOnTarget | S::kSourceOnly | S::kMatched);
    state.SetAction(S::kCopyToRight);
    EXPECT_EQ(state.Word(), S::kDone | S::kCopyToRight | S::kOnSource | S::kOnTarget | S::kSourceOnly | S::kMatched);
}

TEST(ItemState, ConflictAndExclusionForceNoAction) {
    S conflict(S::kError | S::kCopyToLeft | S::kMatched | S::kTimesDiffer);
    conflict.MakeConflict();
    EXPECT_EQ(conflict.Word(), S::kError | S::kNoAction | S::kConflict | S::kMatched | S::kTimesDiffer);

    S excluded(S::kFolder | S::kDeleteRight | S::kDone);
    excluded.MakeExcluded();
    EXPECT_EQ(excluded.Word(), 0x800100u | S::kFolder | S::kDone);
}

TEST(ItemState, LowNibbleIsTheComparisonCode) {
    EXPECT_TRUE(S(0xC01 | S::kNoAction).IsEqual());
    EXPECT_TRUE(S(0xC05).OnlyTimeDiffers());
    EXPECT_TRUE(S(0xC45).OnlyTimeDiffers());  // "source older" lies outside the nibble
    EXPECT_FALSE(S(0xC0D).OnlyTimeDiffers());
    EXPECT_FALSE(S(0xC09).IsEqual());
    EXPECT_FALSE(S(0xC03).IsEqual());
    EXPECT_FALSE(S(0x420).IsEqual());
}

TEST(ItemState, TimesDifferOnlyBeyondTwoSeconds) {
    EXPECT_FALSE(TimesDiffer(1000, 1000));
    EXPECT_FALSE(TimesDiffer(1000, 1001));
    EXPECT_FALSE(TimesDiffer(1000, 1002));
    EXPECT_FALSE(TimesDiffer(1002, 1000));
    EXPECT_TRUE(TimesDiffer(1000, 1003));
    EXPECT_TRUE(TimesDiffer(1003, 1000));
    // Extreme values must not overflow into a wrong answer.
    EXPECT_TRUE(TimesDiffer(INT64_MIN, INT64_MAX));
    EXPECT_FALSE(TimesDiffer(INT64_MAX, INT64_MAX));
}

TEST(ItemState, UserChangeSavesTheDecidedWordOnce) {
    CFileInfo record;
    record.state = S(0xC45 | S::kCopyToRight);
    record.ChangeActionByUser(S::kCopyToLeft);
    EXPECT_EQ(record.savedState, 0xC45u | S::kCopyToRight);
    EXPECT_EQ(record.state.Word(), 0xC45u | S::kCopyToLeft | S::kUserChange);
    record.ChangeActionByUser(S::kNoAction);
    EXPECT_EQ(record.savedState, 0xC45u | S::kCopyToRight);
    EXPECT_EQ(record.state.Word(), 0xC45u | S::kNoAction | S::kUserChange);
}

TEST(ItemTexts, StatusTextTakesTheFirstThatApplies) {
    EXPECT_STREQ(GetItemStatusText(S(S::kExcluded | S::kClash)), "Excluded");
    EXPECT_STREQ(GetItemStatusText(S(S::kClash | S::kParentDeleteConflict)), "File and folder conflict");
    EXPECT_STREQ(GetItemStatusText(S(S::kParentDeleteConflict | S::kDeleteRefused)), "Parent folder delete conflict");
    EXPECT_STREQ(GetItemStatusText(S(S::kDeleteRefused | S::kNoAction | S::kConflict)),
                 "This item should be deleted. But, the delete setting prohibits to do so.");
    EXPECT_STREQ(GetItemStatusText(S(S::kNoAction | S::kConflict | S::kOlderOverNewer)), "Conflict");
    EXPECT_STREQ(GetItemStatusText(S(S::kConflict | S::kOlderOverNewer)), "Copy older file to new file");
    EXPECT_STREQ(GetItemStatusText(S(S::kShadowCopy | S::kUserChange)),
                 "This item is locked. The shadow copy of the item is used for the operation.");
    EXPECT_STREQ(GetItemStatusText(S(S::kUserChange)), "This action has been changed by user.");
    EXPECT_STREQ(GetItemStatusText(S(0xC01 | S::kNoAction)), "");
}

TEST(ItemTexts, ActionTextSpeaksLeftAndRight) {
    struct Case {
        DWORD word;
        const char* plain;
        const char* swapped;
    };
    const Case cases[] = {
        {S::kCopyToRight, "Copy to right", "Copy to left"},
        {S::kCopyToLeft, "Copy to left", "Copy to right"},
        {S::kFolder | S::kCopyToRight, "Create right", "Create left"},
        {S::kFolder | S::kCopyToLeft, "Create left", "Create right"},
        {S::kCopyTimeToRight, "Copy time to right", "Copy time to left"},
        {S::kCopyTimeToLeft, "Copy time to left", "Copy time to right"},
        {S::kDeleteRight, "Delete right", "Delete left"},
        {S::kDeleteLeft, "Delete left", "Delete right"},
        {S::kExcluded | S::kCopyToRight, "Excluded", "Excluded"},
        {S::kNoAction | S::kConflict, "Conflict", "Conflict"},
        {S::kNoAction | S::kClash | S::kMatched, "Conflict", "Conflict"},
        {S::kNoAction | 0xC01, "", ""},
        {S::kCopyToRight | S::kDone, "Done", "Done"},
        {S::kCopyToRight | S::kError | S::kBackupError, "Error", "Error"},
        {S::kDeleteLeft | S::kBackupError, "Backup Error", "Backup Error"},
        {0, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetItemActionText(S(c.word), false), c.plain) << std::hex << c.word;
        EXPECT_STREQ(GetItemActionText(S(c.word), true), c.swapped) << std::hex << c.word;
    }
}

TEST(ItemTexts, EqualFolderShowsNoActionTextButDoneStillShows) {
    EXPECT_STREQ(GetItemActionText(S(S::kFolder | S::kNoAction | 0xC01), false), "");
    EXPECT_STREQ(GetItemActionText(S(S::kFolder | S::kNoAction | 0xC01 | S::kDone), false), "Done");
    // An equal file with no action shows nothing even when a result bit is left over.
    EXPECT_STREQ(GetItemActionText(S(S::kNoAction | 0xC01 | S::kDone), false), "");
}

}  // namespace
