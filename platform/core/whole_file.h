#pragma once
// Small files read and written in one piece: settings files, the registry store and
// desktop entries.

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

inline constexpr std::size_t kWholeFileLimit = 256u << 20;

// Reads a regular file whole. False, with the last error set, when the file is missing
// (ERROR_FILE_NOT_FOUND), is a folder or other non-file (ERROR_ACCESS_DENIED), cannot
// be read, or is larger than `maxBytes`.
bool ReadWholeFile(const std::string& path, std::string* out, std::size_t maxBytes = kWholeFileLimit);

// Replaces the content of `path` so that readers see either the old or the new file,
// never a part: the bytes go to a temporary file in the same folder, which is flushed
// and renamed over the target. An existing file keeps its permission bits; a symbolic
// link is followed and its target replaced. False, with the last error set, on failure;
// the old file is then untouched and no temporary file is left.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace plat
