#include "engine/actions/backup.h"

#include <vector>

#include "engine/actions/action_support.h"
#include "engine/actions/file_copier.h"
#include "foundation/file_utils.h"
#include "foundation/path_utils.h"
#include "platform/core/dir_listing.h"
#include "platform/core/errors.h"
#include "platform/core/file_system.h"
#include "platform/core/text.h"

namespace {

// An older backup copy that is read-only would refuse its replacement.
void LetOlderCopyBeReplaced(const std::wstring& backupPath) {
    const std::string path = plat::WideToUtf8(backupPath);
    plat::FileInfo info;
    if (plat::GetFileInfo(path, info) && info.IsFile() && (info.attributes & FILE_ATTRIBUTE_READONLY))
        plat::SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

std::wstring BackupPathOf(std::wstring_view backupFolder, std::wstring_view relativePath) {
    return PathJoinW(backupFolder, relativePath);
}

int BackUpFile(const SyncRunBlock& run, const std::wstring& file, std::string_view relativePath,
               std::wstring_view backupFolder, DWORD& error) {
    error = ERROR_SUCCESS;
    if (backupFolder.empty() || relativePath.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return kBackupFailed;
    }
    const std::wstring backupPath = BackupPathOf(backupFolder, plat::Utf8ToWide(relativePath));
    const std::size_t slash = backupPath.rfind(L'/');
    const std::wstring folder = backupPath.substr(0, slash);
    if (GetPathKindW(folder) != kPathFolder && !CreateFolderTree(folder)) {
        error = GetLastError();
        return kBackupFailed;
    }

    int olderCopyThere = 0;
    if (IsSameFileVersion(file, backupPath, olderCopyThere)) return kBackupMade;
    if (olderCopyThere) LetOlderCopyBeReplaced(backupPath);

    const HWND window = TaskWindowOf(run);
    const int copied = CopyFileChunked(file, backupPath, olderCopyThere ? nullptr : window, window, CopySpeedOf(run));
    if (copied == 1) return kBackupMade;
    if (copied == -1) return kBackupStopped;
    error = GetLastError();
    return kBackupFailed;
}

void RemoveBackupLeftovers(const std::wstring& backupFolder) {
    if (backupFolder.empty()) return;
    std::vector<std::string> folders{plat::WideToUtf8(backupFolder)};
    std::vector<plat::DirEntry> entries;
    while (!folders.empty()) {
        const std::string folder = std::move(folders.back());
        folders.pop_back();
        entries.clear();
        plat::ListFolder(folder, entries);
        for (const plat::DirEntry& entry : entries) {
            const std::string path = plat::JoinPath(folder, entry.name);
            if (entry.IsFolder()) {
                folders.push_back(path);
            } else if (entry.IsFile() && IsCopyTempName(entry.name)) {
                RemoveCopyLeftover(path);
            }
        }
    }
}
