#include "foundation/history_store.h"

#include <ctime>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "foundation/archive_store.h"
#include "foundation/history_message.h"
#include "foundation/main_window.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/archive_lock.h"
#include "platform/core/clock.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr LPARAM kCaptionWarning = 255;  // WM_SYNC_LOG_LINE to the main window: a red caption-bar line

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

// The number a member's name "\"n\"" stands for, spelled as the writer spells it ("7",
// never "07"): another spelling is another member.
std::optional<DWORD> MemberNumber(std::string_view name) {
    if (name.size() < 3 || name.size() > 12 || name.front() != '"' || name.back() != '"') return std::nullopt;
    const std::string_view digits = name.substr(1, name.size() - 2);
    if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
    std::uint64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (number > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<DWORD>(number);
}

// Members `first` to `count` - 1 read all in one pass. Nothing when the file is not in the
// form that is read so (it is then read member by member); an empty list inside when it
// cannot be read at all.
std::optional<std::optional<HistoryRecordList>> ReadAllAtOnce(const std::string& path, DWORD first, DWORD count) {
    HistoryRecordList list;
    const std::size_t slots = count - first;
    std::vector<char> read(slots, 0);  // one byte per slot: the threads write their own
    try {
        list.records.resize(slots);
    } catch (const std::bad_alloc&) {
        return std::optional<HistoryRecordList>();
    }
    plat::BulkExtraction what;
    what.slotCount = slots;
    what.maxSize = kHistoryRecordSize;
    what.slotOf = [first, count](std::string_view name) -> std::optional<std::size_t> {
        const std::optional<DWORD> number = MemberNumber(name);
        if (!number || *number < first || *number >= count) return std::nullopt;
        return *number - first;
    };
    what.take = [&list, &read](std::size_t slot, std::span<const std::uint8_t> bytes) {
        std::optional<HistoryRecord> record = ParseHistoryRecord(bytes);
        if (!record) return;
        list.records[slot] = std::move(*record);
        read[slot] = 1;
    };
    const std::optional<plat::BulkExtractionResult> extracted = ExtractArchiveMembers(path, what);
    if (!extracted) return std::nullopt;
    if (extracted->result != kZipOk) return std::optional<HistoryRecordList>();
    for (std::size_t slot = 0; slot < slots; ++slot) {
        if (!read[slot]) list.skipped.push_back(first + static_cast<DWORD>(slot));
    }
    return std::optional<HistoryRecordList>(std::move(list));
}

std::optional<HistoryRecordList> ReadOneByOne(const std::string& path, DWORD first, DWORD count) {
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

// A free name beside the history file for a damaged one, telling when it was set aside.
std::string SetAsideName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = plat::JoinPath(plat::ParentPath(path), std::string("qbsync-damaged-") + stamp);
    std::string name = base + ".fhs";
    for (int n = 2; plat::PathExists(name) && n < 1000; ++n) name = base + "-" + std::to_string(n) + ".fhs";
    return name;
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

std::string HistoryAppend::SetAsideLine() const {
    if (setAside.empty()) return std::string();
    return plat::Format("The history file '%s' is damaged: it is kept as '%s' and a new one was begun.",
                        GetHistoryFilePath().c_str(), setAside.c_str());
}

HistoryAppend AppendHistoryRecord(const HistoryRecord& record) {
    const HistoryRecordBytes bytes = SerializeHistoryRecord(record);
    const std::string path = GetHistoryFilePath();
    HistoryAppend outcome;
    // Counting and storing under one hold of the lock: nobody else can take the number
    // between the two. A number already in use (an archive changed by other means) is
    // passed over rather than overwritten.
    const plat::ArchiveLock lock(path);
    DWORD number = MemberCount(path);
    int result = kZipOk;
    std::string reason;
    for (;;) {
        result = AppendArchiveMember(path, HistoryMemberName(number), bytes);
        if (result == kZipMemberExists && number < 0xFFFFFFFFu) {
            ++number;
        } else if (result == kZipNotAnArchive && outcome.setAside.empty()) {
            // Nothing more can be added to it, nor read from it: kept for whoever can
            // still make something of it, out of the way of the records to come.
            const std::string aside = SetAsideName(path);
            if (!plat::MoveFile(path, aside, plat::MoveMode::NoReplace)) {
                reason =
                    "the file is damaged and could not be set aside (" + ArchiveFailureReason(kZipWriteFailed) + ")";
                break;
            }
            outcome.setAside = aside;
            number = 0;
        } else {
            break;
        }
    }
    if (result == kZipOk) {
        outcome.written = TRUE;
    } else {
        if (reason.empty()) reason = ArchiveFailureReason(result);
        outcome.failure = plat::Format("Failed to write the history record to '%s': %s.", path.c_str(), reason.c_str());
    }
    return outcome;
}

BOOL WriteHistoryRecord(const HistoryRecord& record) { return AppendHistoryRecord(record).written; }

std::optional<HistoryRecordList> ReadHistoryRecords(DWORD first) {
    const std::string path = GetHistoryFilePath();
    const plat::ArchiveLock lock(path);
    const DWORD count = MemberCount(path);
    if (first >= count) return std::nullopt;
    if (std::optional<std::optional<HistoryRecordList>> atOnce = ReadAllAtOnce(path, first, count)) {
        return std::move(*atOnce);
    }
    return ReadOneByOne(path, first, count);
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
    const HistoryAppend appended = AppendHistoryRecord(record);
    if (!appended.setAside.empty()) {
        const std::string line = appended.SetAsideLine();
        SendMessage(GetMainWindow(), WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(line.c_str()), kCaptionWarning);
    }
    if (!appended.written) return FALSE;
    SendHistoryPathMessage(GetMainWindow(), WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
    return TRUE;
}

HistoryRecord MakeRunHistoryRecord(const SyncTask& task, DWORD mode) {
    const DWORD type = mode == kHistorySync || mode == kHistoryCheck ? mode : kHistoryCheckAndSync;
    HistoryRecord record = RecordOfTask(task, type);
    record.startSource = task.startSource;
    return record;
}

HistoryAppend AddRunHistoryRecord(const HistoryRecord* prepared, const SyncTask& task) {
    if (prepared == nullptr) return HistoryAppend{TRUE, {}, {}};
    const TaskRunFacts facts = task.runFacts.Get();
    HistoryRecord record = *prepared;
    record.status = facts.lastRunStatus;
    record.start = facts.lastRunStart;
    record.end = facts.lastRunEnd;
    HistoryAppend appended = AppendHistoryRecord(record);
    PostHistoryPathMessage(task.startThread, WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
    return appended;
}
