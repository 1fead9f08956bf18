#pragma once
// The second stage of a Check: every item of both trees gets its action from the scan's
// state word, the two catalogs of the last run, the task's sync type and its "Delete"
// option (the rules are in decision_rules.h, the catalog facts in decision_facts.h), and
// the bytes each side must receive are added up.
//
// While deciding, each item's record keeps the rows the catalogs held for it, so that a
// later Sync can keep them for an item that does not end in step. A catalog that is there
// but could not be read whole never leads to a deletion: such a deletion is left as a
// conflict, with a line in the run log.

#include "engine/decision/decision_facts.h"
#include "engine/model/file_info.h"
#include "engine/model/folder_tree.h"
#include "engine/run/message_pace.h"
#include "platform/core/win_types.h"

struct SyncRunBlock;

inline constexpr int kDecisionDone = 1;
inline constexpr int kDecisionStopped = -1;

// One walk of the decision over a run's trees.
struct DecisionPass {
    explicit DecisionPass(SyncRunBlock& run);

    SyncRunBlock& run;
    CatalogSituation catalogs;
    DWORD syncKind;
    bool allowDelete;
    HWND taskWindow;   // progress and stop queries; null when the task has no window
    bool logs;         // the task writes the run log
    bool logsDetails;  // ... at the detailed level
    ULONGLONG bytesToSource = 0;
    ULONGLONG bytesToTarget = 0;
    DWORD items = 0;       // items decided so far, the progress position
    DWORD shownItems = 0;  // the last position sent to the task window
    MessagePace stopPace;  // stop questions and positions between items are paced
    MessagePace progressPace;
    DWORD heldDeletions = 0;  // deletions left as conflicts: a catalog could not be read
    bool rowsStored = false;  // every record's catalog rows were stored before the walk
};

// The decision step of a Check: status line "Checking...", a progress range over the
// first counts' files and folders, the source tree and then the target tree (the last
// position is always sent), and the byte totals stored in the run by physical side. The
// catalogs are those ReadCatalogs left in the run (none when it was not called). Returns
// kDecisionDone, or kDecisionStopped when Stop was pressed.
int CompareTaskTrees(SyncRunBlock& run);

// Decides `node`, its files and everything below it; `parentResult` is what the decision
// of the node's parent folder returned (0 for a root). A folder to be deleted is left as
// a conflict when anything below it is one. Returns kDecisionDone or kDecisionStopped.
int CompareFolderTree(FolderTreeNode& node, DecisionPass& pass, DWORD parentResult);

// Decides one record: stores its catalog rows, writes its new state word, adds a copied
// file's size to the bytes of the side it goes to, and writes its log line. Returns 0, or
// kVanishedFromOtherSide for a folder whose contents must be decided in that light.
DWORD DecideItemAction(CFileInfo& record, DecisionPass& pass, DWORD parentResult);
