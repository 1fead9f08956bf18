// Reading archives: count, member information, lookup and extraction.

#include <memory>
#include <optional>
#include <span>

#include "platform/core/archive_lock.h"
#include "platform/core/zip_bulk_reader.h"
#include "platform/core/zip_command.h"
#include "platform/core/zip_reader_cache.h"

namespace {

bool IsKnownFunction(DWORD function) {
    switch (function) {
    case kUnzipCount:
    case kUnzipInfoByIndex:
    case kUnzipFind:
    case kUnzipInfoByName:
    case kUnzipInfoByIndex2:
    case kUnzipExtract: return true;
    default: return false;
    }
}

bool HasWhatItsFunctionNeeds(const UnzipCommand& cmd) {
    switch (cmd.function) {
    case kUnzipInfoByIndex:
    case kUnzipInfoByIndex2: return cmd.indexInfo != nullptr;
    case kUnzipFind: return cmd.memberName != nullptr;
    case kUnzipInfoByName: return cmd.memberName != nullptr && cmd.nameInfo != nullptr;
    case kUnzipExtract: return cmd.outputBuffer != nullptr || cmd.outputSize == 0;
    default: return true;
    }
}

std::optional<std::size_t> IndexInArchive(const plat::ZipReader& reader, LONG index) {
    if (index < 0 || static_cast<std::size_t>(index) >= reader.count()) return std::nullopt;
    return static_cast<std::size_t>(index);
}

// The member a command names: by name when it gives one, else by index.
std::optional<std::size_t> ChosenMember(const plat::ZipReader& reader, const UnzipCommand& cmd) {
    if (cmd.memberName != nullptr) return reader.Find(cmd.memberName);
    return IndexInArchive(reader, cmd.memberIndex);
}

}  // namespace

int dunzip(UnzipCommand* cmd) {
    if (cmd == nullptr || cmd->structSize != sizeof(UnzipCommand) || cmd->archivePath == nullptr ||
        cmd->archivePath[0] == '\0' || !IsKnownFunction(cmd->function) || !HasWhatItsFunctionNeeds(*cmd)) {
        return kZipBadCommand;
    }

    const plat::ArchiveLock lock(cmd->archivePath);
    if (cmd->function == kUnzipCount) {
        // The end records alone tell the count; the directory of a long history need not
        // be read for it.
        if (const std::optional<std::uint64_t> count = plat::CountMembersFromEnd(lock.key())) {
            if (*count > 0xFFFFFFFFu) return kZipDamagedMember;
            cmd->memberCount = static_cast<DWORD>(*count);
            return kZipOk;
        }
    }
    ZipResult opened = kZipOk;
    const std::shared_ptr<plat::ZipReader> reader = plat::OpenCachedZipReader(lock.key(), &opened);
    if (reader == nullptr) return opened;

    switch (cmd->function) {
    case kUnzipCount:
        if (reader->count() > 0xFFFFFFFFu) return kZipDamagedMember;
        cmd->memberCount = static_cast<DWORD>(reader->count());
        return kZipOk;
    case kUnzipInfoByIndex:
    case kUnzipInfoByIndex2: {
        const std::optional<std::size_t> index = IndexInArchive(*reader, cmd->memberIndex);
        if (!index) return kZipNoSuchMember;
        return reader->Info(*index, *cmd->indexInfo);
    }
    case kUnzipFind: return reader->Find(cmd->memberName) ? kZipOk : kZipNoSuchMember;
    case kUnzipInfoByName: {
        const std::optional<std::size_t> index = reader->Find(cmd->memberName);
        if (!index) return kZipNoSuchMember;
        return reader->Info(*index, *cmd->nameInfo);
    }
    case kUnzipExtract: {
        const std::optional<std::size_t> index = ChosenMember(*reader, *cmd);
        if (!index) return kZipNoSuchMember;
        const char* password = cmd->passwordOn != 0 ? cmd->password : nullptr;
        const std::span<std::uint8_t> out(static_cast<std::uint8_t*>(cmd->outputBuffer), cmd->outputSize);
        return reader->Extract(*index, password, out);
    }
    default: return kZipBadCommand;
    }
}
