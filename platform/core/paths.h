#pragma once
// Path text on this platform: '/' separators, "/" is the root of everything.

#include <string>
#include <string_view>

namespace plat {

// The absolute form of `path` with no "." or ".." parts, no doubled separators and no
// trailing separator (the root stays "/"). A relative path is taken from the current
// folder. Parts are taken as text; symbolic links are resolved only when
// `resolveLinks` is set, and then the path must exist. Returns "" (last error set)
// when the path is empty or cannot be resolved.
std::string CanonicalPath(std::string_view path, bool resolveLinks = false);

// True for "/" (and "//", "///"...).
bool IsRootPath(std::string_view path);

// The folder part: "/a/b" -> "/a", "/a" -> "/", "a/b" -> "a"; "" for "/" and for a bare
// name. Trailing separators are ignored.
std::string ParentPath(std::string_view path);

// The last part: "/a/b" -> "b", "/a/b/" -> "b", "/" -> "".
std::string FileNamePart(std::string_view path);

// `folder` and `name` with exactly one '/' between them; either may be empty.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace plat
