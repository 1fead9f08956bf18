#pragma once
// The engine's own file copier and the small file helpers of the copy and delete actions.
//
// A copy never destroys what it replaces until the new file is complete: the data go into
// a temporary file beside the target (see kCopyTempPrefix), which gets the source's times
// and permission bits and is then renamed over the target in one step. When the copy
// fails or is stopped the temporary file is removed and the target is exactly as it was,
// so callers must not delete the target after a failure or a stop. A read-only target is
// never made writable or renamed over: that copy fails with access denied.
//
// The copier tells a progress window the file's name and the percentage copied, asks a
// stop window after each chunk whether Stop was pressed, and slows itself down as the
// task's "Speed" option says.

#include <string>
#include <string_view>

#include "platform/core/file_handle.h"
#include "platform/core/file_info.h"
#include "platform/core/win_types.h"

namespace plat {
class FolderHandle;
}  // namespace plat

// The "Speed" option: bytes moved per chunk and the pause after each chunk.
//   0 "No limit"                              1,048,576 bytes, no pause
//   1 "Medium speed and large buffer"         1,048,576 bytes, 100 ms
//   2 "Medium speed and medium-sized buffer"    102,400 bytes, 1000 ms
//   3 (and any other) "Low speed and small buffer"  10,240 bytes, no pause
DWORD CopyChunkSizeForSpeed(DWORD speed);
DWORD CopyPauseForSpeed(DWORD speed);

// Temporary files of copies under way are named kCopyTempPrefix, 16 lower-case hex digits
// and kCopyTempSuffix, in the target's folder, and locked while the copy writes them.
// Such a name is never an item of a run: the folder scan passes over files named exactly
// so (IsCopyTempName). One can be left behind only when the program was killed during a
// copy; the run that holds the folder's lock removes it (RemoveCopyLeftover), so that it
// keeps neither space nor a folder to be deleted.
inline constexpr std::string_view kCopyTempPrefix = ".~qbcopy-";
inline constexpr std::string_view kCopyTempSuffix = ".tmp";
bool IsCopyTempName(std::string_view fileName);
bool IsCopyTempName(std::wstring_view fileName);
// Deletes the copier's temporary file at `path` unless a copy under way still holds it.
// A name that is not exactly the copier's is never deleted. True when it was removed.
bool RemoveCopyLeftover(const std::string& path);

// What a copy may find at its target.
enum class CopyDisposition {
    kCreateAlways,  // a new file, or one that replaces the (writable) file there
    kCreateNew,     // a new file only: a file that is there fails with ERROR_FILE_EXISTS
};

// What a caller may ask of a copy besides its files.
struct CopyOptions {
    // Receives, after a copy that succeeded, the source's facts as the copier read them
    // when the copy began: a source changed since the Check is copied as it is now, and
    // what a catalog records of the copy must say so.
    plat::FileInfo* copied = nullptr;
    // The folder (the side's catalog folder) for the note that covers a rename on a file
    // system that may give the copy the time of its rename (copy_finish_notes.h); empty:
    // no note.
    std::string noteFolder;
};

// Copies `source` to `target`. `stopWindow` (may be null) is asked WM_SYNC_QUERY_STOP
// before each chunk; `progressWindow` (may be null) is sent the file's name
// (WM_SYNC_LOG_LINE_W, l 0) and, for a file that is not empty, WM_SYNC_COPY_BEGIN, then
// WM_SYNC_COPY_BYTES whenever the whole percentage changes, and WM_SYNC_COPY_SIZE at the
// end. `speed` (the run's "Speed" option) chooses the chunk size and the pauses, so runs
// going on side by side each copy at their own speed.
// Returns 1 when the target is the complete copy with the source's times and
// permission bits (those the target's file system keeps), -1 when Stop was pressed, 0 on
// failure with the last error telling why: ERROR_DISK_FULL (112), ERROR_ACCESS_DENIED (5)
// for a read-only target or one that is a folder or link, ERROR_SHARING_VIOLATION for a
// source another program holds, kErrorNameNotHeld (target_names.h) for a new file whose
// name the target's file system refuses, the error of the failed open, read, write or
// rename otherwise. Symbolic links are not copied (access denied). A source whose size or
// last-write time changed while it was copied fails with kErrorChangedSinceCheck
// (file_as_checked.h): its copy may mix old and new bytes. The times and permissions are
// those the source had when the copy began.
//
// A temporary file is renamed into place only once its data, size and times are written.
// On FAT, exFAT and drivers in user space they are flushed to the disk first, and the times
// are set again after the rename (some drivers give a file the time of its rename), covered
// by a note (CopyOptions::noteFolder) should the program be killed in between.
int CopyFileChunked(const std::wstring& source, const std::wstring& target, HWND stopWindow, HWND progressWindow,
                    DWORD speed, CopyDisposition disposition = CopyDisposition::kCreateAlways,
                    const CopyOptions& options = {});

// As CopyFileChunked, for the file `sourceName` of the open folder `sourceFolder` copied
// as `targetName` into `targetFolder`: the calls work by name in the open folders, so a
// pass that copies a folder's files opens the two folders once and the kernel walks no
// path for each file. The temporary file is made in `targetFolder`.
int CopyFileBetween(const plat::FolderHandle& sourceFolder, const std::string& sourceName,
                    const plat::FolderHandle& targetFolder, const std::string& targetName, HWND stopWindow,
                    HWND progressWindow, DWORD speed, CopyDisposition disposition = CopyDisposition::kCreateAlways,
                    const CopyOptions& options = {});

// A small new file copied ahead of its turn, on another thread, into a file with no name
// in its target folder; the pass then finishes it in its turn (FinishCopyMadeAhead).
struct CopyMadeAhead {
    plat::FileHandle file;  // the complete copy with the source's times and bits; closed: none made
    plat::FileInfo source;  // the source as it was copied
};

// Copies the file `name` of `sourceFolder` to a file with no name in `targetFolder`, as
// CopyFileBetween would copy it new, when that takes one chunk at `speed` with no pause
// and the target's file system makes files with no name. Looks at nothing in the target
// folder by name (that is the pass's, in the file's turn), sends no message and leaves
// nothing on the disk: when any step fails or does not apply, no copy is made (`file` is
// closed) and the caller copies the file itself, which reports why.
CopyMadeAhead MakeNewCopyAhead(const plat::FolderHandle& sourceFolder, const plat::FolderHandle& targetFolder,
                               const std::string& name, DWORD speed);

// How a copy made ahead fared when it was given its name before its messages.
struct NamedAhead {
    bool named = false;   // it has its name and is complete on the disk
    bool failed = false;  // it took its name but could not be completed: the name is gone
    DWORD error = ERROR_SUCCESS;
};

// Gives a copy made ahead its name at once, the way FinishCopyMadeAhead would (a link
// never replaces an item at the name). When an item is at the name, or the link fails
// otherwise, the copy is left as it was, unnamed: the caller goes on as without this.
NamedAhead NameCopyMadeAhead(CopyMadeAhead& copy, const plat::FolderHandle& targetFolder, const std::string& name);

// Ends a copy made ahead as CopyFileBetween ends a new file's copy, with the same
// messages to the two windows (the name; for a file that is not empty the start, the stop
// question, 100 percent and the end) and the same results: -1 when Stop was pressed
// (nothing is left), 0 with ERROR_FILE_EXISTS when an item appeared at the name, 1 when
// the copy took its name. `named` is what NameCopyMadeAhead did with it, if anything: a
// copy named already is removed again when Stop is pressed.
int FinishCopyMadeAhead(CopyMadeAhead& copy, const plat::FolderHandle& targetFolder, const std::string& name,
                        HWND stopWindow, HWND progressWindow, const NamedAhead& named = {});

// Gives `target` the source's last-access and last-write times (this platform keeps no
// settable creation time) and, for a file, its permission bits; a folder keeps its own
// (a read-only folder must stay writable). Non-zero when the times were set.
BOOL SetCopyTimes(const std::wstring& source, const std::wstring& target);

// Sets a file's last-write time to `time` (seconds since 1970, UTC, as the engine keeps
// times). The file's attributes and permission bits are left exactly as they were, on
// success and on failure: the owner may set the times of a read-only file here.
BOOL CopyFileTime(const std::wstring& path, LONGLONG time);

// 1 when both files exist with the same last-write time (no tolerance) and the same size.
// `bothExist` is set to 1 when both exist, else 0.
int IsSameFileVersion(const std::wstring& pathA, const std::wstring& pathB, int& bothExist);

// 1 when the file cannot be read because another program holds it (a sharing or lock
// violation); any other failure to open it is not a lock and gives 0.
int IsFileLocked(const std::wstring& path);
