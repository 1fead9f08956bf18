#pragma once
// Include and exclude patterns for the files and folders that a scan finds.
//
// Patterns are lower case (the quoted-list reader folds them); the list tests fold the
// tested path the same way, so filters never depend on case. A pattern list is the
// vector of a FilterPatterns; an empty list counts as no list at all.
//
// Paths are native: '/' separates folders, and a pattern is absolute when it begins
// with '/'. A folder pattern ends with '/' ("/home/me/tmp/", "cache/").

#include <span>
#include <string>
#include <string_view>

// Flags of WildcardMatch.
inline constexpr unsigned kWildcardPathName = 1;    // '*' and '?' never match '/'
inline constexpr unsigned kWildcardNoEscape = 2;    // accepted, changes nothing: '\' is never an escape
inline constexpr unsigned kWildcardLeadingDot = 4;  // a leading '.' (after '/' too, with kWildcardPathName)
                                                    // matches only a literal '.'

// Matches `text` against `pattern`, code unit by code unit: '?' is one character, '*'
// any run of characters. A '*' or '?' that follows a '*' stands for one more character
// ("a**b" matches "axb", not "ab"). Returns 0 on a match, 1 on no match, and -1 with
// errno EINVAL when `flags` is above 7. The cost grows with the product of the two
// lengths at most, whatever the pattern.
int WildcardMatch(std::wstring_view pattern, std::wstring_view text, unsigned flags);

// True when `text` holds '*' or '?'.
bool HasWildcard(std::wstring_view text);

// The list tests. An entry is kept when (no include list, or the path matches it) and
// (no exclude list, or the path does not match it). Both return 1 when the entry is to
// be excluded, else 0. `substring` widens folder tests to folders below the one named
// (the scan always sets it).
//
// A file pattern's name part is matched against the file's name; its folder part, when
// it has one, against the file's folder: an absolute folder part must equal the folder
// (with `substring`: begin it), a relative one must end it (with `substring`: occur in
// it), starting at a whole folder name.
int MatchFileFilter(std::wstring_view path, std::span<const std::wstring> includeList,
                    std::span<const std::wstring> excludeList, bool substring);

// `path` is a folder, with or without its trailing '/'. An absolute pattern must equal
// it (with `substring`: begin it); a relative one must end it (with `substring`: occur
// in it), starting at a whole folder name: "temp/" matches "/data/temp", not
// "/data/mytemp".
int MatchFolderFilter(std::wstring_view path, std::span<const std::wstring> includeList,
                      std::span<const std::wstring> excludeList, bool substring);
