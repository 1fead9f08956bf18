#pragma once
// How dzip stores a member given by a command: deflated at the command's level (0 stores
// it as it is) and, with the password on, encrypted with the traditional PKWARE scheme.
// Shared by the rewrite through libzip and the append, so both store members alike.

#include <zip.h>

#include "platform/core/zip_command.h"

namespace plat::detail {

inline bool SetMemberStorage(zip_t* archive, zip_uint64_t index, const ZipCommand& cmd) {
    const bool stored = cmd.compressionLevel == 0;
    const zip_uint32_t level = cmd.compressionLevel > 9 ? 9 : cmd.compressionLevel;
    if (zip_set_file_compression(archive, index, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, level) != 0) return false;
    return cmd.passwordOn == 0 || zip_file_set_encryption(archive, index, ZIP_EM_TRAD_PKWARE, cmd.password) == 0;
}

}  // namespace plat::detail
