#pragma once
// Path helpers shared by the whole program. Paths are native: the separator is '/'.
// The 8-bit forms take UTF-8 text, the wide forms wide text; both keep every byte of
// a file name (see platform/core/text.h).

#include <string>
#include <string_view>

inline constexpr char kPathSeparator = '/';
inline constexpr wchar_t kPathSeparatorW = L'/';

// folder + name with exactly one separator between them (an empty folder gives name).
std::string PathJoin(std::string_view folder, std::string_view name);
std::wstring PathJoinW(std::wstring_view folder, std::wstring_view name);

// Whatever their names say, the "Backslash" helpers below add or drop the path
// separator '/', never a backslash.

// Appends '/' unless the path is empty or already ends in '/'.
std::string AddBackslash(std::string_view path);
// AddBackslash, then the part without its leading '/'.
std::string AppendPathPart(std::string_view path, std::string_view part);
// Appends '/' unless the path is empty or already ends in '/'.
std::wstring AddTrailingBackslashW(std::wstring_view path);
// Drops one final '/'; the root "/" keeps it.
std::wstring RemoveTrailingBackslashW(std::wstring_view path);
std::string RemoveBackslashA(std::string_view path);

// The text before the last separator ("" when there is none; "/" for "/name").
std::wstring GetParentFolder(std::wstring_view path);
// The text after the last separator, or the whole text.
std::wstring GetFileNameFromPathW(std::wstring_view path);
// The extension of a name without its dot, or "".
std::string GetFileExtension(std::string_view name);

// The running program's folder, with a final separator.
std::string GetProgramFolder();
// The full path of the running executable.
std::string GetFullExeName();

// Lower-cased, every separator replaced by '_' (names of the folder locks).
std::wstring PathToFlatName(std::wstring_view path);
// Every separator, '\', ':', '.', '<' and '>' replaced by '_' (names of data-area folders).
std::wstring PathToSafeNameW(std::wstring_view path);

// True for the file-system root.
bool PathIsRootW(std::wstring_view path);
bool PathIsRootA(std::string_view path);
