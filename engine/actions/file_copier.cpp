#include "engine/actions/file_copier.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <random>

#include "engine/actions/copy_finish_notes.h"
#include "engine/actions/file_as_checked.h"
#include "engine/actions/target_names.h"
#include "engine/model/item_state.h"
#include "engine/run/run_messages.h"
#include "platform/core/errors.h"
#include "platform/core/file_system.h"
#include "platform/core/file_time.h"
#include "platform/core/folder_handle.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr DWORD kLargeChunk = 1048576;
constexpr DWORD kMediumChunk = 102400;
constexpr DWORD kSmallChunk = 10240;
constexpr int kTempNameDigits = 16;
constexpr int kTempNameTries = 32;

// Sets the last error and gives the copier's failure result.
int Failed(DWORD error) {
    SetLastError(error);
    return 0;
}

template <typename Char>
bool HasCopyTempShape(std::basic_string_view<Char> name) {
    const std::size_t prefix = kCopyTempPrefix.size();
    const std::size_t suffix = kCopyTempSuffix.size();
    if (name.size() != prefix + kTempNameDigits + suffix) return false;
    for (std::size_t i = 0; i < prefix; ++i)
        if (name[i] != static_cast<Char>(kCopyTempPrefix[i])) return false;
    for (std::size_t i = 0; i < suffix; ++i)
        if (name[prefix + kTempNameDigits + i] != static_cast<Char>(kCopyTempSuffix[i])) return false;
    return std::all_of(name.begin() + prefix, name.begin() + prefix + kTempNameDigits,
                       [](Char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string NewTempName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name(kCopyTempPrefix);
    std::uint64_t bits = random();
    for (int i = 0; i < kTempNameDigits; ++i, bits >>= 4) name += kHex[bits & 0xF];
    name += kCopyTempSuffix;
    return name;
}

// File systems of the kernel's own that keep a file's times through a rename.
bool FileSystemKeepsTimesThroughRename(long fileSystemType) {
    constexpr long kExt4 = 0xEF53;
    constexpr long kTmpfs = 0x01021994;
    constexpr long kBtrfs = 0x9123683E;
    constexpr long kXfs = 0x58465342;
    return fileSystemType == kExt4 || fileSystemType == kTmpfs || fileSystemType == kBtrfs || fileSystemType == kXfs;
}

// FAT and exFAT, whose drivers keep a file's entry (size, clusters, times) apart from its
// data, and drivers in user space (FUSE), some of which give a file the time of its rename.
bool IsFatOrUserSpace(long fileSystemType) {
    constexpr long kFat = 0x4d44;
    constexpr long kExFat = 0x2011BAB0;
    constexpr long kFuse = 0x65735546;
    return fileSystemType == kFat || fileSystemType == kExFat || fileSystemType == kFuse;
}

// Gives the copy its source's times again where its rename may have changed them: a copy
// with any other time than its source's would look changed to every later Check. Where
// the file system is not known to keep times through a rename, they are looked at and,
// when they differ, set again.
bool RestoreTimesAfterRename(const plat::FolderHandle& folder, const std::string& name, const plat::FileInfo& source) {
    if (FileSystemKeepsTimesThroughRename(folder.FileSystemType())) return true;
    plat::FileInfo copied;
    if (folder.LookUp(name, copied) && !TimesDiffer(plat::FileTimeToUnixSeconds(copied.lastWriteTime),
                                                    plat::FileTimeToUnixSeconds(source.lastWriteTime)))
        return true;
    return folder.SetTimes(name, &source.lastAccessTime, &source.lastWriteTime);
}

// The copy's new file in the target's folder until it takes the target's name. A new
// target gets a file with no name where the file system makes them: there is no name to
// lock or to leave behind, and linking it never replaces an item that appeared meanwhile.
// Otherwise (an overwrite, or a file system without such files) it is a locked temporary
// sibling renamed into place. Unless it took the target's name, the file is closed and
// removed when the object goes, keeping the last error of the failure.
class TempSibling {
public:
    TempSibling() = default;
    TempSibling(const TempSibling&) = delete;
    TempSibling& operator=(const TempSibling&) = delete;
    ~TempSibling() { Remove(); }

    bool Create(const plat::FolderHandle& folder, const std::string& targetName, CopyDisposition disposition) {
        folder_ = &folder;
        if (disposition == CopyDisposition::kCreateNew) {
            if (file_.CreateUnnamedIn(folder, targetName)) {
                unnamed_ = true;
                return true;
            }
            if (GetLastError() != ERROR_NOT_SUPPORTED) return false;
        }
        return CreateNamed(folder);
    }

    // Takes over a file with no name made in `folder` (CreateUnnamedIn).
    void AdoptUnnamed(const plat::FolderHandle& folder, plat::FileHandle file) {
        folder_ = &folder;
        file_ = std::move(file);
        unnamed_ = file_.IsOpen();
    }

    plat::FileHandle& File() { return file_; }
    // Gives the file back, as it is, when it is still unnamed.
    plat::FileHandle Release() {
        unnamed_ = false;
        return std::move(file_);
    }
    // The name the copy took is no longer its: nothing is left to remove.
    void Forget() {
        unnamed_ = false;
        name_.clear();
    }

    // Gives the complete file, a copy of `source`, the target's name and the source's times.
    bool MoveOver(const std::string& targetName, CopyDisposition disposition, const plat::FileInfo& source,
                  const std::string& noteFolder) {
        if (unnamed_) return LinkAs(targetName) && RestoreTimesAfterRename(*folder_, targetName, source);
        return RenameOver(targetName, disposition, source, noteFolder);
    }

    void Remove() {
        if (!unnamed_ && name_.empty()) return;
        const DWORD error = GetLastError();
        file_.Close();  // an unnamed file goes with its handle
        if (!name_.empty()) folder_->Delete(name_);
        name_.clear();
        unnamed_ = false;
        SetLastError(error);
    }

private:
    bool CreateNamed(const plat::FolderHandle& folder) {
        for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
            std::string name = NewTempName();
            if (file_.OpenIn(folder, name, plat::FileOpenMode::CreateNew, plat::FileHandle::kNoFollow)) {
                // Held until the copy is closed: the file is in use, not a leftover.
                file_.LockExclusive();
                name_ = std::move(name);
                return true;
            }
            if (GetLastError() != ERROR_FILE_EXISTS) return false;
        }
        return false;
    }

    bool LinkAs(const std::string& targetName) {
        if (!file_.LinkAs(*folder_, targetName)) {
            if (GetLastError() == ERROR_ALREADY_EXISTS) SetLastError(ERROR_FILE_EXISTS);
            SetLastError(NameErrorOf(folder_->path(), plat::Utf8ToWide(targetName), GetLastError()));
            return false;
        }
        unnamed_ = false;
        if (file_.Close()) return true;
        // The data may not all be on the disk: the copy under that name is not complete.
        const DWORD error = GetLastError();
        folder_->Delete(targetName);
        SetLastError(error);
        return false;
    }

    bool RenameOver(const std::string& targetName, CopyDisposition disposition, const plat::FileInfo& source,
                    const std::string& noteFolder) {
        const bool replace = disposition == CopyDisposition::kCreateAlways;
        const bool careful = IsFatOrUserSpace(folder_->FileSystemType());
        // There the name must not come before the data and times are on the disk: an entry
        // written apart from its data could show the name with nothing in it.
        if (careful && !file_.Flush()) return false;
        if (!file_.Close()) return false;
        CopyFinishNote note;
        if (careful) note.Write(noteFolder, folder_->PathOf(name_), folder_->PathOf(targetName), source);
        if (!folder_->Move(name_, targetName, replace ? plat::MoveMode::ReplaceExisting : plat::MoveMode::NoReplace)) {
            // Gone before the temporary file: a note must never outlive a rename not made.
            note.Remove();
            if (!replace && GetLastError() == ERROR_ALREADY_EXISTS) SetLastError(ERROR_FILE_EXISTS);
            // The temporary file was made in that folder: a new name it refuses is the name's fault.
            if (!replace) SetLastError(NameErrorOf(folder_->path(), plat::Utf8ToWide(targetName), GetLastError()));
            return false;
        }
        name_.clear();
        // Should the times not be set, the note stays and the next run sets them.
        const bool timesSet = careful ? folder_->SetTimes(targetName, &source.lastAccessTime, &source.lastWriteTime)
                                      : RestoreTimesAfterRename(*folder_, targetName, source);
        if (!timesSet) return false;
        note.Remove();
        return true;
    }

    plat::FileHandle file_;
    const plat::FolderHandle* folder_ = nullptr;
    std::string name_;      // the temporary sibling's name; empty when there is none
    bool unnamed_ = false;  // the file has no name yet
};

// A target that is there may be replaced only when it is a writable file.
bool TargetMayBeWritten(const plat::FolderHandle& folder, const std::string& name, CopyDisposition disposition) {
    plat::FileInfo info;
    if (!folder.LookUp(name, info)) return true;  // nothing there
    if (disposition == CopyDisposition::kCreateNew) return Failed(ERROR_FILE_EXISTS);
    if (!info.IsFile() || (info.attributes & FILE_ATTRIBUTE_READONLY)) return Failed(ERROR_ACCESS_DENIED);
    return true;
}

void Notify(HWND window, UINT message, WPARAM wParam) {
    if (window) SendMessage(window, message, wParam, 0);
}

void SendName(HWND progressWindow, const std::string& sourceName) {
    if (!progressWindow) return;
    const std::wstring name = plat::Utf8ToWide(sourceName);
    SendMessage(progressWindow, WM_SYNC_LOG_LINE_W, reinterpret_cast<WPARAM>(name.c_str()), 0);
}

struct ChunkLoop {
    HWND stopWindow;
    HWND progressWindow;
    DWORD chunkSize;
    DWORD pauseMs;
};

// Moves `size` bytes chunk by chunk. Returns 1, -1 (stopped) or 0 with `error` set.
int CopyChunks(plat::FileHandle& in, plat::FileHandle& out, ULONGLONG size, const ChunkLoop& loop, DWORD& error) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<ULONGLONG>(loop.chunkSize, size));
    Notify(loop.progressWindow, WM_SYNC_COPY_BEGIN, 0);
    int result = 1;
    ULONGLONG copied = 0;
    ULONGLONG lastPercent = 0;
    while (copied < size) {
        if (StopPressedIn(loop.stopWindow)) {
            error = ERROR_OPERATION_ABORTED;
            result = -1;
            break;
        }
        const std::size_t want = static_cast<std::size_t>(std::min<ULONGLONG>(chunk, size - copied));
        std::size_t got = 0;
        // Inside the kernel where the file systems allow it: no trip through our memory.
        if (!out.CopyDataFrom(in, want, got)) {
            error = GetLastError();
            result = 0;
            break;
        }
        if (got == 0) {  // the source became shorter
            error = ERROR_HANDLE_EOF;
            result = 0;
            break;
        }
        copied += got;
        if (loop.progressWindow) {
            const ULONGLONG percent = copied * 100 / size;
            if (percent != lastPercent) {
                SendMessage(loop.progressWindow, WM_SYNC_COPY_BYTES, static_cast<WPARAM>(percent), 0);
                lastPercent = percent;
            }
        }
        if (loop.pauseMs) Sleep(loop.pauseMs);
    }
    Notify(loop.progressWindow, WM_SYNC_COPY_SIZE, 0);
    return result;
}

// A source written to while it was copied may have given a mix of old and new bytes; its
// size and last-write time are compared with those it had when the copy began.
bool UnchangedSince(const plat::FileHandle& source, const plat::FileInfo& before) {
    plat::FileInfo now;
    return source.GetInfo(now) && now.IsFile() && now.size == before.size &&
           CompareFileTime(&now.lastWriteTime, &before.lastWriteTime) == 0;
}

// The source's times and permission bits as they were when the copy began; a file system
// that keeps no Unix modes (a FAT stick) takes the copy without them.
bool GiveSourceTimes(plat::FileHandle& out, const plat::FileInfo& source) {
    return out.SetTimes(nullptr, &source.lastAccessTime, &source.lastWriteTime) &&
           out.SetPermissionBitsWhereKept(source.mode & 0777);
}

}  // namespace

DWORD CopyChunkSizeForSpeed(DWORD speed) {
    switch (speed) {
    case 0:
    case 1: return kLargeChunk;
    case 2: return kMediumChunk;
    default: return kSmallChunk;
    }
}

DWORD CopyPauseForSpeed(DWORD speed) {
    switch (speed) {
    case 1: return 100;
    case 2: return 1000;
    default: return 0;
    }
}

bool IsCopyTempName(std::string_view fileName) { return HasCopyTempShape(fileName); }

bool RemoveCopyLeftover(const std::string& path) {
    return IsCopyTempName(plat::FileNamePart(path)) && plat::DeleteUnlockedFile(path);
}
bool IsCopyTempName(std::wstring_view fileName) { return HasCopyTempShape(fileName); }

int CopyFileChunked(const std::wstring& source, const std::wstring& target, HWND stopWindow, HWND progressWindow,
                    DWORD speed, CopyDisposition disposition, const CopyOptions& options) {
    const std::string sourcePath = plat::WideToUtf8(source);
    const std::string targetPath = plat::WideToUtf8(target);
    plat::FolderHandle sourceFolder;
    if (!sourceFolder.Open(plat::ParentPath(sourcePath))) return 0;
    // A missing target folder is told after the source's name, as the copy fails there.
    plat::FolderHandle targetFolder;
    targetFolder.Open(plat::ParentPath(targetPath));
    return CopyFileBetween(sourceFolder, plat::FileNamePart(sourcePath), targetFolder, plat::FileNamePart(targetPath),
                           stopWindow, progressWindow, speed, disposition, options);
}

int CopyFileBetween(const plat::FolderHandle& sourceFolder, const std::string& sourceName,
                    const plat::FolderHandle& targetFolder, const std::string& targetName, HWND stopWindow,
                    HWND progressWindow, DWORD speed, CopyDisposition disposition, const CopyOptions& options) {
    plat::FileHandle in;
    plat::FileInfo sourceInfo;
    if (!in.OpenIn(sourceFolder, sourceName, plat::FileOpenMode::Read, plat::FileHandle::kNoFollow, &sourceInfo)) {
        const DWORD error = GetLastError();
        plat::FileInfo there;
        if (!sourceFolder.LookUp(sourceName, there)) return 0;
        if (!there.IsFile()) return Failed(ERROR_ACCESS_DENIED);  // a link, folder or device is never copied
        // A file that cannot be opened (another program holds it) is named before it fails.
        SendName(progressWindow, sourceName);
        return Failed(error);
    }
    SendName(progressWindow, sourceName);
    if (!targetFolder.IsOpen()) return Failed(targetFolder.OpenError());
    if (!TargetMayBeWritten(targetFolder, targetName, disposition)) return 0;
    TempSibling temp;
    if (!temp.Create(targetFolder, targetName, disposition)) return 0;

    const ChunkLoop loop{stopWindow, progressWindow, CopyChunkSizeForSpeed(speed), CopyPauseForSpeed(speed)};
    DWORD error = ERROR_SUCCESS;
    const int result = sourceInfo.size == 0 ? 1 : CopyChunks(in, temp.File(), sourceInfo.size, loop, error);
    if (result != 1) {
        SetLastError(error);
        return result;
    }
    if (!UnchangedSince(in, sourceInfo)) return Failed(kErrorChangedSinceCheck);

    if (!GiveSourceTimes(temp.File(), sourceInfo) ||
        !temp.MoveOver(targetName, disposition, sourceInfo, options.noteFolder))
        return 0;
    if (options.copied) *options.copied = sourceInfo;
    SetLastError(ERROR_SUCCESS);
    return 1;
}

CopyMadeAhead MakeNewCopyAhead(const plat::FolderHandle& sourceFolder, const plat::FolderHandle& targetFolder,
                               const std::string& name, DWORD speed) {
    CopyMadeAhead copy;
    plat::FileHandle in;
    if (CopyPauseForSpeed(speed) != 0 || !targetFolder.IsOpen() ||
        !in.OpenIn(sourceFolder, name, plat::FileOpenMode::Read, plat::FileHandle::kNoFollow, &copy.source) ||
        copy.source.size > CopyChunkSizeForSpeed(speed) || !copy.file.CreateUnnamedIn(targetFolder, name))
        return {};
    std::size_t copied = 0;
    const std::size_t size = static_cast<std::size_t>(copy.source.size);
    if ((size != 0 && (!copy.file.CopyDataFrom(in, size, copied) || copied != size)) ||
        !UnchangedSince(in, copy.source) || !GiveSourceTimes(copy.file, copy.source))
        copy.file.Close();
    return copy;
}

NamedAhead NameCopyMadeAhead(CopyMadeAhead& copy, const plat::FolderHandle& targetFolder, const std::string& name) {
    NamedAhead named;
    if (!copy.file.IsOpen()) return named;
    TempSibling temp;
    temp.AdoptUnnamed(targetFolder, std::move(copy.file));
    if (temp.MoveOver(name, CopyDisposition::kCreateNew, copy.source, {})) {
        named.named = true;
        return named;
    }
    if (!temp.File().IsOpen()) {
        // It had its name, and lost it again: the copy is not complete.
        named.failed = true;
        named.error = GetLastError();
        return named;
    }
    copy.file = temp.Release();
    return named;
}

int FinishCopyMadeAhead(CopyMadeAhead& copy, const plat::FolderHandle& targetFolder, const std::string& name,
                        HWND stopWindow, HWND progressWindow, const NamedAhead& named) {
    TempSibling temp;
    temp.AdoptUnnamed(targetFolder, std::move(copy.file));
    SendName(progressWindow, name);
    if (copy.source.size != 0) {
        // The messages of a copy in one chunk, in their order.
        Notify(progressWindow, WM_SYNC_COPY_BEGIN, 0);
        const bool stopped = StopPressedIn(stopWindow);
        if (!stopped) Notify(progressWindow, WM_SYNC_COPY_BYTES, 100);
        Notify(progressWindow, WM_SYNC_COPY_SIZE, 0);
        if (stopped) {
            // A copy named already goes again, as one not yet named would.
            if (named.named) targetFolder.Delete(name);
            SetLastError(ERROR_OPERATION_ABORTED);
            return -1;
        }
    }
    if (named.failed) {
        SetLastError(named.error);
        return 0;
    }
    if (!named.named && !temp.MoveOver(name, CopyDisposition::kCreateNew, copy.source, {})) return 0;
    SetLastError(ERROR_SUCCESS);
    return 1;
}

BOOL SetCopyTimes(const std::wstring& source, const std::wstring& target) {
    plat::FileInfo info;
    if (!plat::GetFileInfo(plat::WideToUtf8(source), info)) return FALSE;
    const std::string targetPath = plat::WideToUtf8(target);
    if (!plat::SetFileTimes(targetPath, nullptr, &info.lastAccessTime, &info.lastWriteTime)) return FALSE;
    if (!plat::IsFolderPath(targetPath)) plat::SetPermissionBits(targetPath, info.mode & 0777);
    return TRUE;
}

BOOL CopyFileTime(const std::wstring& path, LONGLONG time) {
    const std::string filePath = plat::WideToUtf8(path);
    plat::FileInfo info;
    if (!plat::GetFileInfo(filePath, info)) return FALSE;
    const FILETIME lastWrite = plat::FileTimeFromUnixSeconds(time);
    return plat::SetFileTimes(filePath, nullptr, nullptr, &lastWrite) ? TRUE : FALSE;
}

int IsSameFileVersion(const std::wstring& pathA, const std::wstring& pathB, int& bothExist) {
    plat::FileInfo a;
    plat::FileInfo b;
    bothExist = plat::GetFileInfo(plat::WideToUtf8(pathA), a) && plat::GetFileInfo(plat::WideToUtf8(pathB), b);
    if (!bothExist) return 0;
    return CompareFileTime(&a.lastWriteTime, &b.lastWriteTime) == 0 && a.size == b.size ? 1 : 0;
}

int IsFileLocked(const std::wstring& path) {
    plat::FileHandle file;
    if (file.Open(plat::WideToUtf8(path), plat::FileOpenMode::Read, plat::FileHandle::kNoFollow)) return 0;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? 1 : 0;
}
