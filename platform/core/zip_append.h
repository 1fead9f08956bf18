#pragma once
// Appending a member to an archive without rewriting it (dzip's kZipAppendMemory).
//
// The archive keeps free space between its last member and its central directory. A new
// member is written into the front of that space and its entry into the back, right before
// the directory, and only then are the end records (at the end of the file, within one
// page) rewritten to take in the new entry. Until that last small write the file is the old
// archive, its free space unused; after it, the new one: a kill at any moment leaves one of
// the two. The directory lists the newest member first.
//
// When the space is used up, the ZIP64 records become needed, or the file is not in this
// form yet, the archive is written anew under a temporary name beside it and renamed into
// place, members copied as they are stored and with free space again of a quarter of its
// size (at least 64 KiB), so that a rewrite comes only after many appends.

#include <functional>
#include <optional>
#include <string>

#include "platform/core/zip_command.h"

namespace plat {

// Appends `cmd.block` as member `cmd.memberName` of the archive at `key` (a normalised
// path, its lock held), deflated at cmd.compressionLevel and encrypted when cmd.passwordOn.
// A ZipResult, kZipMemberExists when a member of that name is there already; nothing when
// the file is there but not in the form this reads directly (then it goes the general way).
std::optional<int> AppendZipMember(const ZipCommand& cmd, const std::string& key);

namespace zip_detail {
// Tests only: called after each write of an append (the new member, its entry, the end
// records; the temporary file of a rewrite, before it is renamed). Returning false ends the
// append there, without another write or any cleaning up, as a kill would.
void SetAppendInterruption(std::function<bool(int writesDone)> interruption);
}  // namespace zip_detail

}  // namespace plat
