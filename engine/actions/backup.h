#pragma once
// Backups of the files that a run overwrites or deletes: each goes into its side's
// "_backup" folder at the file's own relative path, so the folder mirrors the side.
// Like every copy of the engine, a backup is written beside its place and moved there
// only when complete: an older backup copy of the file stays intact until then.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

struct SyncRunBlock;

// The backup copy's path: `backupFolder`, the folder part of `relativePath` (none when
// it has no folder part) and the file name.
std::wstring BackupPathOf(std::wstring_view backupFolder, std::wstring_view relativePath);

inline constexpr int kBackupStopped = -1;
inline constexpr int kBackupFailed = 0;
inline constexpr int kBackupMade = 1;

// Backs up `file`, whose relative path on its side is `relativePath` (UTF-8), into
// `backupFolder`, creating the folders on the way. A backup that already holds this
// version of the file (same time and size) is kept and counts as made. A new backup is
// asked about Stop through the task window; one that replaces an older copy is not.
// An older copy that is read-only is replaced all the same: the backup folder is the
// program's own. Returns kBackupMade, kBackupStopped, or kBackupFailed with `error` set.
int BackUpFile(const SyncRunBlock& run, const std::wstring& file, std::string_view relativePath,
               std::wstring_view backupFolder, DWORD& error);

// Removes the copier's temporary files that copies killed while backing a file up left
// anywhere in `backupFolder` (the program's own folder), unless a copy under way holds
// them. Links are not followed.
void RemoveBackupLeftovers(const std::wstring& backupFolder);
