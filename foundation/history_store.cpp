#include "foundation/history_store.h"

#include <new>
#include <span>
#include <utility>

#include "foundation/archive_store.h"
#include "foundation/history_message.h"
#include "foundation/main_window.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/archive_lock.h"
#include "platform/core/clock.h"
#include "platform/core/file_ops.h"
#include "resources/sync_messages.h"

namespace {

UnzipCommand HistoryUnzipCommand(const std::string& path, DWORD function) {
    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.archivePath = path.c_str();
    cmd.function = function;
    return cmd;
}

// 0 when the archive is missing or cannot be read.
DWORD MemberCount(const std::string& path) {
    UnzipCommand cmd = HistoryUnzipCommand(path, kUnzipCount);
    return dunzip(&cmd) == 0 ? cmd.memberCount : 0;
}

bool MemberExists(const std::string& path, const std::string& member) {
    UnzipCommand cmd = HistoryUnzipCommand(path, kUnzipFind);
    cmd.memberName = member.c_str();
    return dunzip(&cmd) == 0;
}

// The record stored as member `number`. Its size is asked first, so a member that is not
// one record is never extracted at all.
std::optional<HistoryRecord> ReadMember(const std::string& path, DWORD number) {
    const std::string member = HistoryMemberName(number);
    UnzipMemberInfo info;
    UnzipCommand cmd = HistoryUnzipCommand(path, kUnzipInfoByName);
    cmd.memberName = member.c_str();
    cmd.nameInfo = &info;
    if (dunzip(&cmd) != 0 || info.uncompressedSize != kHistoryRecordSize) return std::nullopt;

    HistoryRecordBytes bytes{};
    cmd.function = kUnzipExtract;
    cmd.outputBuffer = bytes.data();
    cmd.outputSize = static_cast<DWORD>(bytes.size());
    if (dunzip(&cmd) != 0) return std::nullopt;
    return ParseHistoryRecord(bytes);
}

BOOL StoreMember(const std::string& path, const std::string& member, const HistoryRecordBytes& bytes) {
    ZipCommand cmd;
    InitZipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.function = kZipAddMemory;
    cmd.archivePath = path.c_str();
    cmd.memberName = member.c_str();
    cmd.block = bytes.data();
    cmd.blockSize = static_cast<DWORD>(bytes.size());
    return dzip(&cmd) == 0 ? TRUE : FALSE;
}

// What every record of a task carries: its name, its folders as entered and its sync
// options. A task without sync options has the options' defaults.
HistoryRecord RecordOfTask(const SyncTask& task, DWORD type) {
    const SyncOptionValues options = task.syncOptions ? SyncOptionValues(*task.syncOptions) : SyncOptionValues{};
    HistoryRecord record;
    record.taskName = task.name;
    record.leftFolder = task.leftFolder;
    record.rightFolder = task.rightFolder;
    record.type = type;
    record.syncType = options.type;
    record.allowDelete = options.allowDelete;
    record.saveDelete = options.saveDelete;
    record.lock = options.lock;
    record.readOnly = options.readOnly;
    record.readOnlyTarget = options.readOnlyTarget;
    record.ignoreCase = options.caseSensitive == 0 ? 1 : 0;
    return record;
}

}  // namespace

std::string GetHistoryFilePath() { return PathJoin(ProgramState().dataFolder, kHistoryFileName); }

DWORD CountHistoryRecords() { return MemberCount(GetHistoryFilePath()); }

BOOL WriteHistoryRecord(const HistoryRecord& record) {
    const HistoryRecordBytes bytes = SerializeHistoryRecord(record);
    const std::string path = GetHistoryFilePath();
    // Counting and storing under one hold of the lock: nobody else can take the number
    // between the two. A number already in use (an archive changed by other means) is
    // passed over rather than overwritten.
    const plat::ArchiveLock lock(path);
    DWORD number = MemberCount(path);
    std::string member = HistoryMemberName(number);
    while (MemberExists(path, member)) {
        if (number == 0xFFFFFFFFu) return FALSE;
        member = HistoryMemberName(++number);
    }
    return StoreMember(path, member, bytes);
}

std::optional<HistoryRecordList> ReadHistoryRecords(DWORD first) {
    const std::string path = GetHistoryFilePath();
    const plat::ArchiveLock lock(path);
    const DWORD count = MemberCount(path);
    if (first >= count) return std::nullopt;

    HistoryRecordList list;
    try {
        list.records.reserve(count - first);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    for (DWORD number = first; number < count; ++number) {
        std::optional<HistoryRecord> record = ReadMember(path, number);
        if (!record) {
            list.skipped.push_back(number);
            record.emplace();
        }
        list.records.push_back(std::move(*record));
    }
    return list;
}

BOOL DeleteHistoryFile() {
    const std::string path = GetHistoryFilePath();
    const plat::ArchiveLock lock(path);
    return plat::DeleteFile(path) ? TRUE : FALSE;
}

BOOL AddHistoryRecord(const SyncTask& task, DWORD type, DWORD code, DWORD status, std::string_view text) {
    HistoryRecord record = RecordOfTask(task, type);
    record.start = plat::NowLocalFileTime();
    record.end = record.start;
    record.code = code;
    record.status = status;
    record.startSource = 0;
    record.text = std::string(text);
    if (!WriteHistoryRecord(record)) return FALSE;
    SendHistoryPathMessage(GetMainWindow(), WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
    return TRUE;
}

HistoryRecord MakeRunHistoryRecord(const SyncTask& task, DWORD mode) {
    const DWORD type = mode == kHistorySync || mode == kHistoryCheck ? mode : kHistoryCheckAndSync;
    HistoryRecord record = RecordOfTask(task, type);
    record.startSource = task.startSource;
    return record;
}

BOOL AddRunHistoryRecord(const HistoryRecord* prepared, const SyncTask& task) {
    if (prepared == nullptr) return TRUE;
    HistoryRecord record = *prepared;
    record.status = task.lastRunStatus;
    record.start = task.lastRunStart;
    record.end = task.lastRunEnd;
    const BOOL stored = WriteHistoryRecord(record);
    PostHistoryPathMessage(task.startThread, WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
    return stored;
}
