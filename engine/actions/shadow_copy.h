#pragma once
// The shadow-copy step of the Sync half. Files that another program held while the copy
// pass ran were set aside, with their action still open; after the delete pass they are
// handed all at once to the system's shadow-copy helper library, and each waiting item is
// then completed: done when its target is now the same version as its source (the size
// and a last-write time within 2 seconds), an error otherwise; its record goes back into
// its tree and its catalog rows are queued.
//
// This platform has no shadow-copy service: no helper library is found, the route fails
// ("Failed to start shadow copy. ") and every waiting file ends as an error.

#include <string_view>

#include "platform/core/volumes.h"
#include "platform/core/win_types.h"

class CFileInfo;
struct FolderTreeNode;
struct SyncRunBlock;

// The helper library for a version class of the start-up state: "zvkvssxp.dll" for 4, "zvkvss.dll" for
// 5 to 7, none ("") for any other.
std::string_view ShadowCopyLibraryName(int versionClass);

// Copies every waiting file through the library route and completes every waiting
// record. Non-zero when the route reported success; 0 makes the run's result 4.
BOOL ShadowCopyFiles(SyncRunBlock& run, const plat::VolumeSources& volumes = {});

// The record of `node`'s tree (its folder record, its files, then its children, depth
// first) whose shadow-copy index is `index`, overwritten with `record`; null when none.
CFileInfo* UpdateTreeRecord(FolderTreeNode& node, const CFileInfo& record, int index);

// Start of every Sync phase: no record of either tree waits for a shadow copy any more (a
// record set aside by a Sync that was stopped loses its mark too) and the run's
// shadow-copy lists are empty, so an index can only name a file of this Sync.
void ResetShadowCopyState(SyncRunBlock& run);
