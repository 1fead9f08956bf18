#pragma once
// The 32-bit state word of one item of a Check: what the scan found (bits 0-19), the
// action the decision or the user chose (bits 20-27) and how the Sync went (bits 28-31).
// Everything is in source/target terms: "right" is the target side, "left" the source.

#include <cmath>

#include "platform/core/win_types.h"

class ItemState {
public:
    // Status bits.
    static constexpr DWORD kMatched = 0x1;      // same relative path on the other side
    static constexpr DWORD kClash = 0x2;        // a file on one side, a folder on the other
    static constexpr DWORD kTimesDiffer = 0x4;  // last-write times more than 2 s apart
    static constexpr DWORD kSizesDiffer = 0x8;
    static constexpr DWORD kTargetOnly = 0x10;
    static constexpr DWORD kSourceOnly = 0x20;
    static constexpr DWORD kSourceOlder = 0x40;  // with kTimesDiffer
    static constexpr DWORD kFolder = 0x80;
    static constexpr DWORD kExcluded = 0x100;
    static constexpr DWORD kConflict = 0x200;  // always with kNoAction
    static constexpr DWORD kOnSource = 0x400;
    static constexpr DWORD kOnTarget = 0x800;
    static constexpr DWORD kTargetDeletedByUser = 0x2000;
    static constexpr DWORD kSourceDeletedByUser = 0x4000;
    static constexpr DWORD kShadowCopy = 0x8000;  // the file was locked; its shadow copy was used
    static constexpr DWORD kOlderOverNewer = 0x10000;
    static constexpr DWORD kDeleteRefused = 0x20000;  // should be deleted, but deletions are off
    static constexpr DWORD kUserChange = 0x40000;
    static constexpr DWORD kParentDeleteConflict = 0x80000;
    static constexpr DWORD kStatusMask = 0x000FFFFF;

    // Action field: exactly one of these is set once an action is chosen. 0x400000 is unused.
    static constexpr DWORD kCopyTimeToRight = 0x100000;  // the last-write time only
    static constexpr DWORD kCopyTimeToLeft = 0x200000;
    static constexpr DWORD kNoAction = 0x800000;
    static constexpr DWORD kCopyToRight = 0x1000000;  // for a folder: create right
    static constexpr DWORD kCopyToLeft = 0x2000000;   // for a folder: create left
    static constexpr DWORD kDeleteRight = 0x4000000;
    static constexpr DWORD kDeleteLeft = 0x8000000;
    static constexpr DWORD kActionMask = 0x0FF00000;

    // Result bits.
    static constexpr DWORD kError = 0x10000000;
    static constexpr DWORD kDone = 0x20000000;
    static constexpr DWORD kBackupError = 0x40000000;
    static constexpr DWORD kDeleted = 0x80000000;  // set together with kDone
    static constexpr DWORD kResultMask = kError | kDone | kBackupError;

    // The low nibble read as a comparison code.
    static constexpr DWORD kCompareMask = 0xF;
    static constexpr DWORD kCompareEqual = 0x1;     // matched, same time and size
    static constexpr DWORD kCompareTimeOnly = 0x5;  // matched, only the time differs

    constexpr ItemState() = default;
    constexpr explicit ItemState(DWORD word) : word_(word) {}

    constexpr DWORD Word() const { return word_; }
    constexpr bool Has(DWORD bits) const { return (word_ & bits) != 0; }  // any of them
    constexpr bool HasAll(DWORD bits) const { return (word_ & bits) == bits; }
    constexpr void Set(DWORD bits) { word_ |= bits; }
    constexpr void Clear(DWORD bits) { word_ &= ~bits; }

    constexpr bool IsMatched() const { return Has(kMatched); }
    constexpr bool IsClash() const { return Has(kClash); }
    constexpr bool TimesDiffer() const { return Has(kTimesDiffer); }
    constexpr bool SizesDiffer() const { return Has(kSizesDiffer); }
    constexpr bool IsTargetOnly() const { return Has(kTargetOnly); }
    constexpr bool IsSourceOnly() const { return Has(kSourceOnly); }
    constexpr bool IsSourceOlder() const { return Has(kSourceOlder); }
    constexpr bool IsFolder() const { return Has(kFolder); }
    constexpr bool IsExcluded() const { return Has(kExcluded); }
    constexpr bool IsConflict() const { return Has(kConflict); }
    constexpr bool IsOnSource() const { return Has(kOnSource); }
    constexpr bool IsOnTarget() const { return Has(kOnTarget); }
    constexpr bool IsTargetDeletedByUser() const { return Has(kTargetDeletedByUser); }
    constexpr bool IsSourceDeletedByUser() const { return Has(kSourceDeletedByUser); }
    constexpr bool UsedShadowCopy() const { return Has(kShadowCopy); }
    constexpr bool IsOlderOverNewer() const { return Has(kOlderOverNewer); }
    constexpr bool IsDeleteRefused() const { return Has(kDeleteRefused); }
    constexpr bool IsUserChange() const { return Has(kUserChange); }
    constexpr bool IsParentDeleteConflict() const { return Has(kParentDeleteConflict); }
    constexpr bool IsError() const { return Has(kError); }
    constexpr bool IsDone() const { return Has(kDone); }
    constexpr bool IsBackupError() const { return Has(kBackupError); }
    constexpr bool IsDeleted() const { return Has(kDeleted); }
    constexpr bool HasResult() const { return Has(kResultMask); }

    constexpr DWORD Action() const { return word_ & kActionMask; }
    constexpr bool IsAction(DWORD action) const { return Action() == action; }
    constexpr bool IsNoAction() const { return Has(kNoAction); }

    constexpr DWORD CompareCode() const { return word_ & kCompareMask; }
    constexpr bool IsEqual() const { return CompareCode() == kCompareEqual; }
    constexpr bool OnlyTimeDiffers() const { return CompareCode() == kCompareTimeOnly; }

    // An action is always replaced whole; status and result bits stay.
    constexpr void SetAction(DWORD action) { word_ = (word_ & ~kActionMask) | (action & kActionMask); }
    // An unresolved conflict: no action plus the conflict bit.
    constexpr void MakeConflict() { word_ = (word_ & 0xF08FFFFFu) | kNoAction | kConflict; }
    // Left out, with its folder's contents: no action plus the excluded bit.
    constexpr void MakeExcluded() { word_ = (word_ & 0xF08FFFFFu) | kNoAction | kExcluded; }

    friend constexpr bool operator==(ItemState a, ItemState b) { return a.word_ == b.word_; }

private:
    DWORD word_ = 0;
};

// Two last-write times (seconds) differ when they are more than 2.0 seconds apart: file
// systems that keep times in 2-second steps must not make every file look changed.
inline bool TimesDiffer(LONGLONG a, LONGLONG b) {
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) > 2.0;
}
