#include "platform/core/errors.h"

#include <cerrno>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD code) { t_lastError = code; }

namespace plat {

DWORD ErrorFromErrno(int err) {
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EWOULDBLOCK: return ERROR_LOCK_VIOLATION;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case EIO: return ERROR_READ_FAULT;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    case ENODEV:
    case ENXIO: return ERROR_NOT_READY;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case ENOTSUP:
    case ENOSYS: return ERROR_NOT_SUPPORTED;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case ECANCELED: return ERROR_OPERATION_ABORTED;
    case EILSEQ: return ERROR_INVALID_NAME;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    default: return ERROR_INVALID_FUNCTION;
    }
}

DWORD SetLastErrorFromErrno() { return SetLastErrorFromErrno(errno); }

DWORD SetLastErrorFromErrno(int err) {
    const DWORD code = ErrorFromErrno(err);
    SetLastError(code);
    return code;
}

}  // namespace plat
