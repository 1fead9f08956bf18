#pragma once
// The copy pass of the Sync half: every action that creates or overwrites something is
// carried out, tree by tree, before the delete pass runs. Folders are created, files are
// copied to the side the action names (an overwritten file is backed up first when the
// task says so), and last-write times are copied. Each outcome goes into the item's
// state word; the item's row, the progress bar and the detailed log are told.
//
// Nothing the Check did not see is lost: a new file never replaces one that appeared at
// its place since the Check ("already exists"), a file about to be overwritten or given
// another time must still have the size and time the Check saw ("changed since the
// Check"), and a read-only file is never made writable (access denied). Each such item
// ends with an error and the pass goes on.
//
// A source that another program holds is set aside for the shadow-copy step when the
// task's "Lock" option is on: it joins the run's shadow-copy lists and its action stays
// open.

#include "platform/core/win_types.h"

class CFileInfo;
struct FolderTreeNode;
struct SyncRunBlock;

// Carries out the copy-type action of `record` (create, copy or copy time). Records that
// are excluded, have no action, already hold a result, or whose action is a delete are
// left alone. `counter` counts the items carried out in the Sync half, for the progress
// bar. Returns 1 when nothing had to be done or the action succeeded (a locked file set
// aside included), 0 when it failed or was stopped, -1 when it failed on a full disk.
int ExecuteCopyAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter);

// The copy pass over a pair of folder nodes (either may be null) and everything below,
// parents before their contents. Every record of the source side is acted on, and every
// target-only record of the target side. Returns 1, or -1 when the pass must end: Stop
// was pressed, or the disk is full (the run's result is then kRunDiskFull).
int WalkCopyActions(SyncRunBlock& run, FolderTreeNode* sourceNode, FolderTreeNode* targetNode, DWORD& counter);
