#include "foundation/task_archive_members.h"

#include "foundation/archive_store.h"
#include "foundation/file_utils.h"
#include "foundation/task_record.h"
#include "platform/core/text.h"

std::optional<DWORD> CountTaskArchiveMembers(const std::string& archivePath) {
    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.function = kUnzipCount;
    cmd.archivePath = archivePath.c_str();
    if (dunzip(&cmd) == 0) return cmd.memberCount;
    if (GetPathKind(archivePath) == kPathMissing) return DWORD{0};
    return std::nullopt;
}

TaskArchiveMember ReadTaskArchiveMember(const std::string& archivePath, DWORD index, DWORD infoFunction) {
    TaskArchiveMember member;
    // The member cannot change between its size being read and its bytes.
    const plat::ArchiveLock lock(archivePath);
    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.archivePath = archivePath.c_str();
    cmd.memberIndex = static_cast<LONG>(index);
    cmd.indexOptions = 0;

    UnzipMemberInfo info;
    cmd.indexInfo = &info;
    cmd.function = infoFunction;
    if (dunzip(&cmd) != 0) {
        member.fault = "its entry in the archive cannot be read";
        return member;
    }
    if (info.uncompressedSize != kTaskRecordSize) {
        member.fault = plat::Format("it is %u bytes long instead of %zu", info.uncompressedSize, kTaskRecordSize);
        return member;
    }

    std::vector<std::uint8_t> bytes(kTaskRecordSize, 0);
    cmd.outputBuffer = bytes.data();
    cmd.outputSize = static_cast<DWORD>(bytes.size());
    cmd.function = kUnzipExtract;
    if (dunzip(&cmd) != 0) {
        member.fault = "its data is damaged";
        return member;
    }
    member.bytes = std::move(bytes);
    return member;
}
