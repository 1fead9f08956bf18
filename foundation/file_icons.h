#pragma once
// Small icons of files and folders, as indices into the system image list.

#include <string>

// The icon for a file of this name (what is on disk is not looked at); 0 when none.
int GetFileIconIndexW(const std::wstring& name);
// The icon of an existing file or folder; the default icon when it cannot be had.
int GetPathIconIndexW(const std::wstring& path);
// The icon of a path, falling back to the icon of a folder.
int GetSmallIconIndex(const std::string& path);
// The open-folder icon.
int GetOpenFolderIconIndex(const std::string& path);
