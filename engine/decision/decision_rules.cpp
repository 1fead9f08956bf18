#include "engine/decision/decision_rules.h"

namespace {

using S = ItemState;

enum AutoResolve : DWORD {
    kResolveNothing = 0,
    kResolveLeftToRight = 1,
    kResolveRightToLeft = 2,
    kResolveNewerFile = 3,
};

DWORD ActionOf(DWORD word) { return word & S::kActionMask; }

DecisionOutcome Keep() { return {}; }

DecisionOutcome Act(DWORD action, DWORD result = 0) { return {false, action, result}; }

// A source-only item cannot be copied to the source side: copying there means that the
// target side's absence wins, which is a deletion on the source side.
DWORD WithSourceRule(DWORD c, bool allowDelete) {
    if (ActionOf(c) != S::kCopyToLeft) return c;
    return allowDelete ? ((c & ~S::kActionMask) | S::kDeleteLeft) : (S::kNoAction | S::kDeleteRefused);
}

// The same for a target-only item copied to the target side.
DWORD WithTargetRule(DWORD c, bool allowDelete) {
    if (ActionOf(c) != S::kCopyToRight) return c;
    return allowDelete ? S::kDeleteRight : (S::kNoAction | S::kDeleteRefused);
}

// Marks a copy that writes the older of two copies over the newer one.
DWORD WithOlderOverNewerMark(DWORD action, bool sourceOlder) {
    const DWORD copy = ActionOf(action);
    if ((copy == S::kCopyToRight && sourceOlder) || (copy == S::kCopyToLeft && !sourceOlder)) {
        action |= S::kOlderOverNewer;
    }
    return action;
}

DecisionOutcome DecideSourceOnly(const DecisionInputs& in, bool mirror) {
    const bool changed = in.catalog.changedOnSource;
    const DWORD c = WithSourceRule(in.conflictAction, in.allowDelete);
    if (!in.catalog.knownToTarget) {
        // Unknown to the target's catalog: the item flows to the target, unless its parent
        // folder was deleted there meanwhile and the item is new or changed.
        if (changed && in.parentVanished) return Act(c | S::kParentDeleteConflict);
        return Keep();
    }
    if (changed) return Act(c);
    // Unchanged here, gone from the target since the last run: deleted there.
    if (!mirror) return Act(c, kVanishedFromOtherSide);
    return Act(in.allowDelete ? S::kDeleteLeft : (S::kCopyToRight | S::kDeleteRefused), kVanishedFromOtherSide);
}

DecisionOutcome DecideTargetOnly(const DecisionInputs& in, bool mirror) {
    const bool known = in.catalog.knownToSource;
    const bool changed = in.catalog.changedOnTarget;
    const DWORD c = WithTargetRule(in.conflictAction, in.allowDelete);
    if (known && !changed) {
        // Unchanged here, gone from the source since the last run: deleted there.
        if (in.allowDelete) return Act(S::kDeleteRight, kVanishedFromOtherSide);
        const DWORD refused = mirror ? S::kCopyToLeft : S::kNoAction;
        return Act(refused | S::kDeleteRefused, kVanishedFromOtherSide);
    }
    if (known) return Act(c);
    if (changed && in.parentVanished) return Act(c | S::kParentDeleteConflict);
    return Act(mirror ? S::kCopyToLeft : c);
}

DecisionOutcome DecideTimesDiffer(const DecisionInputs& in, bool mirror) {
    const bool older = in.state.IsSourceOlder();
    const DWORD c = WithOlderOverNewerMark(in.conflictAction, older);
    const CatalogFacts& f = in.catalog;
    if (f.changedOnSource && f.changedOnTarget) return Act(c);
    if (f.changedOnTarget) return Act(mirror ? WithOlderOverNewerMark(S::kCopyToLeft, older) : c);
    if (!older) return Keep();
    if (f.changedOnSource) return Act(S::kCopyToRight | S::kOlderOverNewer);
    return Act(mirror ? S::kCopyToLeft : c);
}

DecisionOutcome DecideSizesDiffer(const DecisionInputs& in, bool mirror) {
    if (!in.catalog.changedOnTarget) return Keep();
    if (in.catalog.changedOnSource) return Act(in.conflictAction);
    return Act(mirror ? S::kCopyToLeft : in.conflictAction);
}

}  // namespace

DWORD DefaultConflictAction(const SyncTask& task, ItemState state) {
    DWORD action = S::kNoAction;
    if (task.startSource != kStartedByUser && task.startSource != kStartedByContainer) {
        // Copying toward the Right folder is copying to the target side, unless the task
        // runs from Right to Left and the sides are swapped.
        const DWORD toRight = task.swapped ? S::kCopyToLeft : S::kCopyToRight;
        const DWORD toLeft = task.swapped ? S::kCopyToRight : S::kCopyToLeft;
        switch (task.autoResolve) {
        case kResolveLeftToRight: action = toRight; break;
        case kResolveRightToLeft: action = toLeft; break;
        case kResolveNewerFile:
            if (state.TimesDiffer()) action = state.IsSourceOlder() ? S::kCopyToLeft : S::kCopyToRight;
            break;
        default: break;
        }
    }
    if (action == S::kNoAction) action |= S::kConflict;
    return action;
}

DecisionOutcome DecideByRules(const DecisionInputs& in) {
    const ItemState s = in.state;
    const bool mirror = in.syncKind == kSyncKindMirror;
    const bool backup = in.syncKind == kSyncKindBackup;

    if (s.IsExcluded()) return Keep();
    if (s.IsSourceOnly()) return backup ? Keep() : DecideSourceOnly(in, mirror);
    if (s.IsTargetOnly()) {
        if (backup) return Act(in.allowDelete ? S::kDeleteRight : (S::kNoAction | S::kDeleteRefused));
        return DecideTargetOnly(in, mirror);
    }
    // A file against a folder cannot be carried either way: it is left to the user.
    if (s.IsClash()) return Act(S::kNoAction | S::kConflict);
    if (s.TimesDiffer()) return backup ? Keep() : DecideTimesDiffer(in, mirror);
    if (s.SizesDiffer()) return backup ? Keep() : DecideSizesDiffer(in, mirror);
    return Keep();
}
