#include "engine/actions/target_names.h"

#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>

#include "platform/core/dir_listing.h"
#include "platform/core/folder_handle.h"

namespace {

constexpr long kFatMagic = 0x4d44;  // vfat and msdos
constexpr long kExfatMagic = 0x2011BAB0;

}  // namespace

bool IsNameFatCannotHold(std::wstring_view name) {
    if (name.empty()) return false;
    if (name.back() == L'.' || name.back() == L' ') return true;
    return std::any_of(name.begin(), name.end(), [](wchar_t c) {
        return c < 0x20 || c == 0x7F || std::wstring_view(L"\"*:<>?\\|").find(c) != std::wstring_view::npos;
    });
}

bool KeepsFatNames(const std::string& folder) {
    struct statfs info {};
    if (statfs(folder.c_str(), &info) != 0) return false;
    return info.f_type == kFatMagic || info.f_type == kExfatMagic;
}

bool KeepsFatNames(const plat::FolderHandle& folder) {
    const long type = folder.FileSystemType();
    return type == kFatMagic || type == kExfatMagic;
}

DWORD NameErrorOf(const std::string& folder, std::wstring_view name, DWORD error) {
    if (!IsNameFatCannotHold(name)) return error;
    if (error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_NAME) return kErrorNameNotHeld;
    const bool couldMakeIt =
        error == ERROR_ACCESS_DENIED || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return couldMakeIt && access(folder.c_str(), W_OK | X_OK) == 0 ? kErrorNameNotHeld : error;
}

bool FolderHoldsExactName(const std::string& folder, std::string_view name) {
    plat::DirectoryReader reader;
    if (!reader.Open(folder)) return false;
    plat::DirEntry entry;
    while (reader.Next(entry)) {
        if (entry.name == name) return true;
    }
    return false;
}
