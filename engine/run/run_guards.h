#pragma once
// The checks a run makes between the Check and the Sync that can keep the Sync from
// happening, or warn about it.

#include <string>
#include <vector>

#include "platform/core/mount_table.h"

struct FolderTreeNode;
struct SyncRunBlock;

// A side that lost most of what it held is not a deleted tree: a disk that is not mounted
// leaves its mount point behind, empty or with whatever lies on it (a stray file, an empty
// "lost+found"), and syncing that would delete everything on the other side. A side may
// not be mounted when
// - its catalog of the last run lists items and the side holds none it would sync, or
//   none of the items its catalog lists (whatever else it holds: a stray file on an
//   empty mount point), or fewer than half of them (when it lists at least 10);
// - its root lies at or below a mount point of /etc/fstab whose file system is not
//   mounted now;
// - for a run that deletes target items no catalog knows of (a "Back up" with "Delete"
//   on, or an unattended one-way run whose conflicts copy toward the target), the source
//   holds no item it would sync, or none of the target's items, while the target holds
//   some, or holds fewer than half of the target's items (when the target holds at least
//   10).
// Call after the catalogs are read. Returns the red line that says what was found, or
// nothing when the run may go on. A run the user started completes its Check with the
// line and waits for the user's Sync; any other run is refused.
std::wstring FindSideThatMayNotBeMounted(const SyncRunBlock& run);

// The deepest mount point of `fstab` at or above `path` (an absolute path) when its file
// system is not in `mounted`; "" when it is, or when no entry of `fstab` holds the path.
std::string UnmountedFstabPointOf(const std::string& path, const std::vector<plat::MountEntry>& fstab,
                                  const std::vector<plat::MountEntry>& mounted);
// The same for a folder as a task holds it, taken both as written and with its links
// resolved, so a link into an unmounted disk's mount point is found too.
std::string UnmountedFstabPointOfFolder(const std::wstring& folder, const std::vector<plat::MountEntry>& fstab,
                                        const std::vector<plat::MountEntry>& mounted);

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
