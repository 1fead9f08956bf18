#pragma once
// Thin wrappers the program calls for files, folders and the pickers. Text is wide; the
// conversions keep every byte of a file name.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

// 8-bit (UTF-8) <-> wide.
std::wstring MultiByteToUnicodeString(std::string_view text);
std::string UnicodeStringToMultiByte(std::wstring_view text);

bool MyCreateDirectory(const std::wstring& path);
// Creates a folder and every missing parent; an existing folder and the root count as
// success.
bool CreateComplexDirectory(const std::wstring& path);
bool FileExistsWrapper(const std::wstring& path);

// The open-file dialog. `result` receives the chosen path; when the user cancels it
// keeps the initial file name. True when a file was chosen.
bool MyGetOpenFileName(HWND owner, const std::wstring& title, const std::wstring& initialFile,
                       const std::wstring& filterDescription, std::wstring& result);
// The folder picker, starting at `initialFolder`. True when a folder was chosen; on
// cancel `result` is left empty.
bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder, std::wstring& result);
// An editable combo box with images as a child of `parent`; null when no GUI is there.
HWND CreateComboBoxExW(HWND parent, DWORD style, const RECT& rect, UINT id);
