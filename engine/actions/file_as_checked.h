#pragma once
// Whether a file about to be overwritten or deleted is still the one the Check saw. A Sync
// may run hours after its Check; a file changed since then holds work the decision never
// looked at, so it is neither replaced nor deleted.

#include <string>

#include "platform/core/win_types.h"

// The reason given for such an item. Bit 29 marks an error code of the program's own.
inline constexpr DWORD kErrorChangedSinceCheck = 0x20000001;

// True when `path` is a regular file (not a link) of `size` bytes whose last-write time
// is within 2 seconds of `lastWrite` (seconds since 1970).
bool IsFileAsChecked(const std::wstring& path, ULONGLONG size, LONGLONG lastWrite);
