#pragma once
// The delete pass of the Sync half, after the copy pass: both trees are walked bottom-up,
// so a folder's contents are gone before the folder itself is removed. A file is backed
// up into its side's "_backup" folder and then deleted for good when the task's "Save
// Delete" option is 1; otherwise it goes to the trash, and a file that cannot be trashed
// is not deleted at all. A file whose backup failed, or that changed since the Check, is
// left where it is and the item ends with an error. Folders are removed only when empty,
// never trashed.
//
// It is also the pass that visits every record last: after each record's action, done or
// not, its catalog rows are handed to the catalog builder, which decides whether a row is
// due on each side.

#include <functional>

#include "platform/core/win_types.h"

class CFileInfo;
struct FolderTreeNode;
struct SyncRunBlock;

// Where the delete pass hands each record's rows: one call per side with the record after
// its action and the own-fields flag (1: the row takes the record's own values, 0: its
// counterpart values). In a run these queue jobs on the two catalog queues; an empty
// function takes nothing (the "Back up" types build no catalog).
struct CatalogRowQueues {
    std::function<void(const CFileInfo& record, DWORD ownFields)> source;
    std::function<void(const CFileInfo& record, DWORD ownFields)> target;
};

// Carries out the delete action of `record`. Records that are excluded, have no action,
// already hold a result, or whose action is not a delete are left alone. Returns 1 when
// nothing had to be done or the delete succeeded, 0 when it failed or was stopped, -1
// when the backup failed on a full disk.
int ExecuteDeleteAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter);

// The delete pass over a pair of folder nodes (either may be null) and everything below,
// contents before their folder. Every record of the source side and every target-only
// record of the target side is acted on and its rows handed to `rows`. Returns 1, or -1
// when the pass must end: Stop was pressed, or the disk is full (the run's result is then
// kRunDiskFull).
int WalkDeleteActions(SyncRunBlock& run, FolderTreeNode* sourceNode, FolderTreeNode* targetNode, DWORD& counter,
                      const CatalogRowQueues& rows);
