#pragma once
// Folder locks: two runs never work on the same folder at once. A run holds one named
// system mutex per folder of its task, taken under a program-wide gate so that the two
// folders of a run are taken as a unit. The names are system-wide, so runs of every
// process that uses them exclude each other. The thread that takes a lock releases it.

#include <string>
#include <string_view>

// Time a run waits for the gate and for each folder when it does not wait for ever.
inline constexpr unsigned kFolderLockWaitMs = 5000;

// The mutex name of `text`: "Global\" or "Local\", then the text folded to lower case with
// every separator replaced by "_". A folder's text is its canonical absolute path, so two
// spellings of one folder give one name. Names that collide only make runs wait.
std::string TaskMutexName(std::wstring_view text, bool global);

// Takes the named mutex for the calling thread, waiting `waitMs` or for ever.
// 1 when the calling thread owns it afterwards, 0 when it could not be taken (timed out,
// could not be created, or the wait failed).
int LockTaskMutex(std::wstring_view text, bool global, bool waitForever, unsigned waitMs = kFolderLockWaitMs);
// Releases one level of the calling thread's ownership; nothing happens when no mutex of
// that name exists or the thread does not own it.
void UnlockTaskMutex(std::wstring_view text, bool global);

// Takes both folders under the gate "qbsync". 1 when both are owned afterwards; on 0
// neither folder is owned.
// `waitMs` is each wait's limit when not waiting for ever.
int LockTaskFolders(const std::wstring& sourceFolder, const std::wstring& targetFolder, bool global, bool waitForever,
                    unsigned waitMs = kFolderLockWaitMs);
void UnlockTaskFolders(const std::wstring& sourceFolder, const std::wstring& targetFolder, bool global);

// The canonical form of a folder used in lock names.
std::wstring LockFolderText(const std::wstring& folder);
