#pragma once
// A path split into its root, folder part, file name and extension.

#include <string>
#include <string_view>

struct PathParts {
    std::wstring root;       // always "": this platform has no drives or shares
    std::wstring folder;     // up to and including the last '/'
    std::wstring name;       // the file name without its extension
    std::wstring extension;  // after the name's last '.', without the dot
};

// With `isFolder` the whole path is the folder part and name and extension are empty.
PathParts SplitPath(std::wstring_view path, bool isFolder);
