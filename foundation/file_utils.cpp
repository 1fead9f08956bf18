#include "foundation/file_utils.h"

#include <vector>

#include "platform/core/dir_listing.h"
#include "platform/core/errors.h"
#include "platform/core/file_system.h"
#include "platform/core/text.h"
#include "platform/core/trash.h"

namespace {

std::string Native(const std::wstring& path) { return plat::WideToUtf8(path); }

bool Holds(const std::string& folder, const std::string& path) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

bool DeleteTreeKeeping(const std::string& path, const std::string& kept) {
    if (path == kept) return true;
    if (!Holds(path, kept)) return plat::DeleteTree(path) || !plat::PathExists(path);
    std::vector<plat::DirEntry> entries;
    bool clean = plat::ListFolder(path, entries);
    for (const plat::DirEntry& entry : entries) clean = DeleteTreeKeeping(path + "/" + entry.name, kept) && clean;
    if (!plat::PathExists(kept)) plat::RemoveFolder(path);  // nothing kept: the folder goes too
    return clean;
}

}  // namespace

int GetPathKind(const std::string& path) {
    if (path.empty()) return kPathMissing;
    if (plat::IsRootPath(path)) return kPathFolder;
    plat::FileInfo info;
    if (!plat::GetFileInfo(path, info)) return kPathMissing;
    // A link to a folder is a folder to the user; the scan treats links on its own.
    if (info.IsFolder() || (info.IsSymbolicLink() && plat::IsFolderPath(path))) return kPathFolder;
    return kPathFile;
}

int GetPathKindW(const std::wstring& path) { return GetPathKind(Native(path)); }

int CreateFolderPath(const std::string& path) {
    if (path.empty()) return 0;
    return plat::CreateFolderWithParents(path) ? 1 : 0;
}

bool CreateFolderTree(const std::wstring& path) {
    if (path.empty()) return false;
    return plat::CreateFolderWithParents(Native(path));
}

bool DeleteFileNoAttr(const std::wstring& path) {
    // Removing a name needs no write permission on the file itself here, so its
    // read-only attribute is left alone (and stays as it was when the delete fails).
    return plat::DeleteFile(Native(path));
}

bool DeleteFileEx(const std::wstring& path, UINT shellFlags) {
    if (path.empty()) return false;
    if (shellFlags & kDeleteToTrash) return plat::MoveToTrash(Native(path));
    return DeleteFileNoAttr(path);
}

bool DeleteFolderTree(const std::wstring& folder, UINT shellFlags) {
    if (folder.empty()) return false;
    const std::string native = Native(folder);
    if (plat::IsRootPath(plat::CanonicalPath(native))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (shellFlags & kDeleteToTrash) {
        plat::MoveToTrash(native);
    } else {
        plat::DeleteTree(native);
    }
    return !plat::PathExists(native);
}

bool DeleteFolderSilent(const std::wstring& path) { return DeleteFolderTree(path, 0); }

bool DeleteFolderTreeKeeping(const std::wstring& folder, const std::wstring& kept) {
    if (folder.empty()) return false;
    const std::string native = plat::CanonicalPath(Native(folder));
    if (plat::IsRootPath(native)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return DeleteTreeKeeping(native, kept.empty() ? std::string() : plat::CanonicalPath(Native(kept)));
}

void SetHiddenReadOnly(const std::wstring& path) {
    const std::string native = Native(path);
    const DWORD attributes = plat::GetFileAttributes(native);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    plat::SetFileAttributes(native, attributes | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
}
