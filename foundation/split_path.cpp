#include "foundation/split_path.h"

#include "foundation/path_utils.h"

PathParts SplitPath(std::wstring_view path, bool isFolder) {
    PathParts parts;
    if (isFolder) {
        parts.folder = path;
        return parts;
    }
    const std::size_t slash = path.rfind(kPathSeparatorW);
    const std::size_t nameStart = slash == std::wstring_view::npos ? 0 : slash + 1;
    parts.folder = path.substr(0, nameStart);
    const std::wstring_view fileName = path.substr(nameStart);
    const std::size_t dot = fileName.rfind(L'.');
    parts.name = fileName.substr(0, dot);
    if (dot != std::wstring_view::npos) parts.extension = fileName.substr(dot + 1);
    return parts;
}
