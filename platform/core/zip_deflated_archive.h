#pragma once
// Writing a whole archive at once from members deflated beforehand (on any thread): the
// archive is written in one pass, each member once, closed once and flushed once, so
// what is written grows with the archive and not with the number of its members.

#include <span>
#include <string>

#include "platform/core/deflated_member.h"

namespace plat {

struct NamedDeflatedMember {
    std::string name;
    const DeflatedMember* member = nullptr;
};

// Writes a new archive at `path` that holds exactly `members`, in their order, stored as
// they are deflated and encrypted with `password` (traditional PKWARE) when one is given.
// The archive is made under a temporary name beside `path`, flushed and renamed over it,
// so `path` holds either what it held or the whole new archive. Refuses a path where
// something other than a regular file stands. Returns a ZipResult (0 on success).
int WriteDeflatedArchive(const std::string& path, std::span<const NamedDeflatedMember> members, const char* password);

}  // namespace plat
