#pragma once
// The rules that give one item of a Check its action, from its state word, the two
// catalog facts, the task's sync kind, its "Delete" option and the action a conflict
// gets. Pure: the tree walk, the catalog lookups and the bookkeeping are in decision.h.

#include "engine/catalog/catalog_reading.h"
#include "engine/model/item_state.h"
#include "foundation/sync_task.h"
#include "platform/core/win_types.h"

// What the decision of a folder returns to its contents when the folder vanished from
// the other side since the last run.
inline constexpr DWORD kVanishedFromOtherSide = ItemState::kConflict;

// The action an item gets when it is a conflict. A run started by the user or by the Sync
// Container leaves it to the user: no action + conflict. An unattended run settles it by
// the task's autoResolve entry: 1 copies from the Left folder to the Right folder, 2 from
// the Right folder to the Left folder, 3 lets the newer copy win where the times differ.
// Whatever stays without an action is a conflict.
DWORD DefaultConflictAction(const SyncTask& task, ItemState state);

struct DecisionInputs {
    ItemState state;
    DWORD syncKind = kSyncKindOneWay;
    bool allowDelete = false;
    bool parentVanished = false;  // the parent folder's decision returned kVanishedFromOtherSide
    CatalogFacts catalog;         // what the catalogs of the last run say about the item
    DWORD conflictAction = ItemState::kNoAction | ItemState::kConflict;  // DefaultConflictAction
};

struct DecisionOutcome {
    bool keep = true;  // nothing is written: the scan's action stays
    DWORD action = 0;  // the action with its status bits, written as (state AND 0xF00FFFFF) OR action
    DWORD result = 0;  // 0 or kVanishedFromOtherSide
};

DecisionOutcome DecideByRules(const DecisionInputs& in);

// The word an outcome leaves in the record.
inline DWORD ApplyOutcome(DWORD state, const DecisionOutcome& outcome) {
    return outcome.keep ? state : ((state & 0xF00FFFFFu) | outcome.action);
}
