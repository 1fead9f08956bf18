#pragma once
// Reading the members of a task archive (the task store or a task-list file) one by one,
// by index. Every member must be one task record; anything else is reported by index and
// never read into memory, so one damaged member does not stop the members after it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

// The number of members, or nothing when the archive exists but cannot be read. A missing
// archive has no members.
std::optional<DWORD> CountTaskArchiveMembers(const std::string& archivePath);

struct TaskArchiveMember {
    std::optional<std::vector<std::uint8_t>> bytes;  // exactly one task record
    std::string fault;                               // why not, when there are no bytes
};

// Member `index` through the information function given (the store's load and the import
// of a task-list file ask with different ones), then extracted.
TaskArchiveMember ReadTaskArchiveMember(const std::string& archivePath, DWORD index, DWORD infoFunction);
