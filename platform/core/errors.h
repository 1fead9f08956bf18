#pragma once
// The calling thread's last error, in the platform's error codes, and the mapping
// from POSIX errno values to those codes.

#include "platform/core/win_types.h"

DWORD GetLastError();
void SetLastError(DWORD code);

namespace plat {

// errno -> the error code the program's code tests (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED,
// ERROR_DISK_FULL...). Unknown values map to ERROR_INVALID_FUNCTION, never to success.
DWORD ErrorFromErrno(int err);

// Sets the last error from errno (or from `err`) and returns the mapped code.
DWORD SetLastErrorFromErrno();
DWORD SetLastErrorFromErrno(int err);

}  // namespace plat
