#pragma once
// The rule every task name keeps, whether typed into the naming dialog or read from a file
// (the task store, an imported task list, a template). A name names the task's member in
// the store and its log file "<name>.log" in each side's "_qb_sync" folder, so a name that
// keeps the rule can never reach outside those places.

#include <cstddef>
#include <string>
#include <string_view>

// The longest name: its log file "<name>.log" must still fit the file system's limit of
// 255 bytes a name (the stored record would hold up to 2,047).
inline constexpr std::size_t kMaxTaskNameBytes = 251;

enum class TaskNameFault {
    None,
    Empty,
    ForbiddenCharacter,  // one of / \ * ? " < > | :
    ControlCharacter,
    TooLong,  // over kMaxTaskNameBytes
};

// The first fault of `name` (8-bit, UTF-8). A name of blanks only is accepted.
TaskNameFault CheckTaskName(std::string_view name);

// The message that refuses a name with that fault; empty for TaskNameFault::None.
std::string TaskNameFaultText(TaskNameFault fault);
