#pragma once
// Whether a store archive holds a member, asked the way the program's stores ask (fixed
// password, the store's command settings). Header only: it needs the foundation library.

#include <string>

#include "foundation/archive_store.h"

namespace qbtest {

inline bool HasMember(const std::string& archive, const std::string& member) {
    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.function = kUnzipFind;
    cmd.archivePath = archive.c_str();
    cmd.memberName = member.c_str();
    return dunzip(&cmd) == 0;
}

}  // namespace qbtest
