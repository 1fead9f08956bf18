#include "foundation/task_name_rule.h"

#include "foundation/resource_strings.h"
#include "platform/core/text.h"

namespace {

constexpr std::wstring_view kForbiddenCharacters = L"/\\*?\"<>|:";

// C0 and C1 controls and DEL. Bytes that are not UTF-8 come through as U+DC80..U+DCFF
// and are left alone: they can name a file but cannot separate path parts.
bool IsControlCharacter(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

TaskNameFault CheckTaskName(std::string_view name) {
    if (name.empty()) return TaskNameFault::Empty;
    const std::wstring wide = plat::Utf8ToWide(name);
    if (wide.find_first_of(kForbiddenCharacters) != std::wstring::npos) return TaskNameFault::ForbiddenCharacter;
    for (const wchar_t c : wide) {
        if (IsControlCharacter(c)) return TaskNameFault::ControlCharacter;
    }
    if (name.size() > kMaxTaskNameBytes) return TaskNameFault::TooLong;
    return TaskNameFault::None;
}

std::string TaskNameFaultText(TaskNameFault fault) {
    switch (fault) {
    case TaskNameFault::None: return {};
    case TaskNameFault::Empty: return LoadResString(IDS_ENTER_TASK_NAME);
    case TaskNameFault::ForbiddenCharacter: return "Invalid task name - can not have '/\"*?<>|:\\' char";
    case TaskNameFault::ControlCharacter: return "Invalid task name - can not have control characters";
    case TaskNameFault::TooLong:
        return plat::Format("Invalid task name - can not be longer than %zu bytes", kMaxTaskNameBytes);
    }
    return {};
}
