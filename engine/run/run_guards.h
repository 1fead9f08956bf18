#pragma once
// The checks a run makes between the Check and the Sync that can keep the Sync from
// happening, or warn about it.

#include <string>

struct FolderTreeNode;
struct SyncRunBlock;

// An empty root is not a deleted tree: a disk that is not mounted leaves an empty mount
// point, and syncing that would delete everything on the other side. The run is refused
// when a side's root holds nothing while that side's catalog of the last run lists items,
// or when a run that would delete target items no catalog knows of (a "Back up" with
// "Delete" on, or an unattended one-way run whose conflicts copy toward the target) finds
// its source root empty and its target root not. A root that holds only excluded items
// counts as empty here. Call after the catalogs are read.
// Returns the folder to name in the refusal, or nothing when the run may go on.
std::wstring FindEmptyRootToRefuse(const SyncRunBlock& run);
// "The folder '%s' is empty ..." as the run log shows it.
std::wstring FormatEmptyRootLine(const std::wstring& folder);

// A Sync on its own carries out the trees of the task's last Check. When the task's folders
// have changed since (or its direction, which swaps its sides), the trees name other
// folders: new files would go to the new folders, overwrites and deletions to the old
// ones, and the new folders' catalogs would list the old folders' items. False then.
bool TreesMatchTaskFolders(const SyncRunBlock& run);
// "The last Check was made ..." as the run log shows it.
std::string LastCheckElsewhereText();

// A root with no file and no folder record, excluded ones included; a missing tree too.
bool IsRootEmpty(const FolderTreeNode* root);

// A Check only of a "Mirror" task whose two folders share no item though both hold files:
// writes the warning whatever the "Log" option says.
void WarnUnrelatedMirror(SyncRunBlock& run);

// The change limit of unattended Check and Sync runs (started by the timer, the scheduler,
// at program start or for a device): true, with result kRunOverChangeLimit and, when
// `logging`, the line, when more than the task's skipPercent of the items would change.
bool IsOverChangeLimit(SyncRunBlock& run, bool logging);
