#pragma once
// File and folder helpers shared by the program: kinds of paths, creating folder paths,
// deleting files and trees (for good or to the trash).

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

// Path kinds: 0 missing, 1 file, 2 folder or the root.
inline constexpr int kPathMissing = 0;
inline constexpr int kPathFile = 1;
inline constexpr int kPathFolder = 2;
int GetPathKind(const std::string& path);
int GetPathKindW(const std::wstring& path);

// Shell delete flags: with kDeleteToTrash the item goes to the trash, without it the
// item is deleted for good.
inline constexpr UINT kDeleteToTrash = 0x0040;  // the platform's allow-undo flag
inline constexpr UINT kDeleteSilent = 0x0004;

// Creates every missing folder of `path`. Returns 1 only when the whole path exists as
// a folder afterwards, else 0; an empty path gives 0.
int CreateFolderPath(const std::string& path);
// Every missing folder of a wide path; an existing folder counts as success.
bool CreateFolderTree(const std::wstring& path);

// Deletes a file for good, read-only or not.
bool DeleteFileNoAttr(const std::wstring& path);
// Deletes a file: flags 0 for good, kDeleteToTrash to the trash. A file that cannot be
// trashed is not deleted (never a silent permanent delete).
bool DeleteFileEx(const std::wstring& path, UINT shellFlags);
// Deletes a folder and everything below it the same way. Symbolic links are removed
// themselves and never followed. True when the folder is gone afterwards.
bool DeleteFolderTree(const std::wstring& folder, UINT shellFlags);
// Deletes a file or folder tree for good, without questions.
bool DeleteFolderSilent(const std::wstring& path);
// Deletes everything in `folder` for good except `kept` (a path inside it) and what lies
// below it; the folder itself goes too when there is no `kept` inside it. True when
// nothing else is left.
bool DeleteFolderTreeKeeping(const std::wstring& folder, const std::wstring& kept);

// Adds read-only and hidden where this platform can: hidden follows from the name here,
// and read-only is not applied to folders (files inside must stay writable).
void SetHiddenReadOnly(const std::wstring& path);
