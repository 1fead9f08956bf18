#include "foundation/task_store.h"

#include <algorithm>
#include <set>
#include <utility>

#include "foundation/archive_store.h"
#include "foundation/file_utils.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/sync_task.h"
#include "foundation/task_archive_members.h"
#include "foundation/task_name_rule.h"
#include "foundation/task_paths.h"
#include "foundation/task_record.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/file_time.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

// A box with more lines than this would not fit the screen; the rest are counted.
constexpr std::size_t kMaxToldLines = 20;

bool IsOneRecord(const std::optional<ArchiveBlock>& block) {
    return block.has_value() && block->size() == kTaskRecordSize;
}

}  // namespace

std::string GetTaskListFilePath() { return PathJoin(ProgramState().dataFolder, kTaskStoreFileName); }

TaskWriteResult WriteTaskRecord(const SyncTask& task) {
    TaskWriteResult result;
    const TaskNameFault nameFault = CheckTaskName(task.name);
    if (nameFault != TaskNameFault::None) {
        result.failure = TaskNameFaultText(nameFault);
        return result;
    }

    const std::string path = GetTaskListFilePath();
    const plat::ArchiveLock lock(path);
    BuiltTaskRecord built = SerializeTaskRecord(TaskArchiveRecordOf(task));
    if (!built.Built()) {
        result.failure = std::move(built.failure);
        return result;
    }
    result.cuts = std::move(built.cuts);

    // The last-run fields are the end of a run's to write; a save carries those stored.
    const std::optional<ArchiveBlock> stored = ReadArchiveEntry(path, task.name);
    if (IsOneRecord(stored)) PutTaskRunFields(built.bytes, GetTaskRunFields(*stored));

    if (!WriteArchiveEntry(path, task.name, built.bytes)) {
        result.failure = plat::Format(LoadResString(IDS_TASK_FILE_WRITE_FAILED).c_str(), task.name.c_str());
        return result;
    }
    result.written = TRUE;
    return result;
}

BOOL DeleteTaskRecord(const std::string& archivePath, std::string_view name) {
    const plat::ArchiveLock lock(archivePath);
    if (GetPathKind(archivePath) == kPathMissing) return TRUE;

    const std::string member = QuotedMemberName(name);
    ZipCommand cmd;
    InitZipCommand(cmd);
    cmd.function = kZipDeleteMember;
    cmd.archivePath = archivePath.c_str();
    cmd.memberName = member.c_str();
    const int result = dzip(&cmd);
    return result == kZipOk || result == kZipNoSuchMember ? TRUE : FALSE;
}

BOOL TaskNameExists(std::string_view name) {
    const std::string path = GetTaskListFilePath();
    const std::string member = QuotedMemberName(name);
    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.archivePath = path.c_str();
    cmd.memberName = member.c_str();
    cmd.function = kUnzipFind;
    if (dunzip(&cmd) != 0) return FALSE;
    UnzipMemberInfo info;
    cmd.nameInfo = &info;
    cmd.function = kUnzipInfoByName;
    return dunzip(&cmd) == 0 ? TRUE : FALSE;
}

std::string MakeUniqueTaskName(std::string_view name) {
    if (!TaskNameExists(name)) return std::string(name);
    for (unsigned number = 2;; ++number) {
        const std::string suffix = plat::Format(" (%u)", number);
        const std::size_t room = kMaxTaskNameBytes > suffix.size() ? kMaxTaskNameBytes - suffix.size() : 0;
        std::string candidate(plat::CutUtf8(name, room));
        candidate += suffix;
        if (!TaskNameExists(candidate)) return candidate;
    }
}

bool LoadTaskFromRecord(std::span<const std::uint8_t> bytes, SyncTask& task, std::string* fault) {
    std::optional<TaskArchiveRecord> record = ParseTaskRecord(bytes, fault);
    if (!record) return false;
    const TaskNameFault nameFault = CheckTaskName(record->name);
    if (nameFault != TaskNameFault::None) {
        if (fault) {
            *fault = plat::Format("its task name '%s' is refused: %s", record->name.c_str(),
                                  TaskNameFaultText(nameFault).c_str());
        }
        return false;
    }

    ApplyTaskArchiveRecord(*record, task);
    BuildTaskDataPaths(task);
    if (task.repeatOn) task.repeatBase = plat::NowUnixSeconds();
    return true;
}

std::unique_ptr<SyncTask> LoadTaskRecord(std::string_view name) {
    const std::optional<ArchiveBlock> block = ReadArchiveEntry(GetTaskListFilePath(), name);
    if (block) {
        auto task = std::make_unique<SyncTask>();
        task->SetDefaults();
        if (LoadTaskFromRecord(*block, *task)) return task;
    }
    MessageBox(nullptr, LoadResString(IDS_INVALID_TASK_FILE), LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
    return nullptr;
}

SyncTask* SendTaskAdded(HWND window, std::unique_ptr<SyncTask> task) {
    SyncTask* const handed = task.release();
    if (SendMessage(window, WM_SYNC_TASK_ADDED, reinterpret_cast<WPARAM>(handed), 0) != 0) return handed;
    std::unique_ptr<SyncTask> notTaken(handed);
    return nullptr;
}

void TellSkippedTasks(HWND owner, std::string_view heading, const std::vector<std::string>& lines) {
    std::string text(heading);
    text += '\n';
    for (std::size_t i = 0; i < lines.size() && i < kMaxToldLines; ++i) {
        text += '\n';
        text += lines[i];
    }
    if (lines.size() > kMaxToldLines) text += plat::Format("\n... and %zu more.", lines.size() - kMaxToldLines);
    MessageBox(owner, text, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONWARNING);
}

TaskLoadReport LoadAllTasks(HWND window) {
    TaskLoadReport report;
    const std::string path = GetTaskListFilePath();
    const std::optional<DWORD> count = CountTaskArchiveMembers(path);
    if (!count) {
        report.complete = FALSE;
        report.skipped.push_back(plat::Format("The task file '%s' cannot be read.", path.c_str()));
    }

    // Two members holding one name would share one member at the next save.
    std::set<std::string> names;
    for (DWORD index = 0; count && index < *count; ++index) {
        TaskArchiveMember member = ReadTaskArchiveMember(path, index, kUnzipInfoByIndex);
        auto task = std::make_unique<SyncTask>();
        task->SetDefaults();
        std::string fault = std::move(member.fault);
        if (member.bytes && LoadTaskFromRecord(*member.bytes, *task, &fault) && !names.insert(task->name).second) {
            fault = plat::Format("a task named '%s' was loaded already", task->name.c_str());
        }
        if (!fault.empty()) {
            report.skipped.push_back(plat::Format("Task record %u was skipped: %s.", index + 1, fault.c_str()));
            continue;
        }
        SyncTask* const added = SendTaskAdded(window, std::move(task));
        if (added == nullptr) continue;
        ++report.added;
        if (added->scheduleOn) report.scriptAdded = AddTaskScript(*added) != 0 || report.scriptAdded;
    }

    if (!report.skipped.empty()) {
        TellSkippedTasks(window, plat::Format("Some tasks of '%s' could not be loaded:", path.c_str()), report.skipped);
    }
    return report;
}

BOOL SetTaskRecordType(std::string_view name, DWORD containerMode) {
    const std::string path = GetTaskListFilePath();
    const plat::ArchiveLock lock(path);
    std::optional<ArchiveBlock> stored = ReadArchiveEntry(path, name);
    if (!IsOneRecord(stored)) return FALSE;
    if (GetTaskContainerMode(*stored) == containerMode) return TRUE;
    PutTaskContainerMode(*stored, containerMode);
    return WriteArchiveEntry(path, name, *stored);
}

TaskRunFieldsResult WriteTaskRunFields(SyncTask& task, DWORD mode, std::string* reason) {
    const auto failed = [reason](std::string why) {
        if (reason) *reason = std::move(why);
        return TaskRunFieldsResult::Failed;
    };
    const std::string path = GetTaskListFilePath();
    const plat::ArchiveLock lock(path);
    if (!TaskNameExists(task.name)) {
        // A store that is gone or cannot be read at all says nothing about the task: the
        // fields are lost, which is a failure. Only a store that lacks the task is not.
        if (GetPathKind(path) == kPathMissing) return failed("the file is missing");
        if (CountTaskArchiveMembers(path)) return TaskRunFieldsResult::NoMember;
        return failed("the file is damaged or cannot be read");
    }
    std::optional<ArchiveBlock> stored = ReadArchiveEntry(path, task.name);
    if (!IsOneRecord(stored)) return failed("the task's record in it is damaged");

    const TaskRunFacts facts = task.runFacts.Get();
    TaskRunFields fields;
    fields.start = facts.lastRunStart;
    fields.end = facts.lastRunEnd;
    fields.startSource = task.startSource;
    fields.syncType = task.syncOptions ? task.syncOptions->type : facts.lastRunSyncType;
    fields.mode = std::min<DWORD>(mode, 2);
    WORD dosTime = 0;
    if (!FileTimeToDosDateTime(&facts.lastRunStart, &fields.dosDate, &dosTime)) fields.dosDate = 0;

    // Set under the store's lock, so a save of the task on another thread stores all of
    // them or none.
    task.runFacts.Update([&fields](TaskRunFacts& now) {
        now.lastRunSyncType = fields.syncType;
        now.lastRunMode = fields.mode;
        now.lastRunDosDate = fields.dosDate;
    });

    PutTaskRunFields(*stored, fields);
    SetLastError(ERROR_SUCCESS);
    if (!WriteArchiveEntry(path, task.name, *stored)) return failed(ArchiveFailureReason(kZipWriteFailed));
    return TaskRunFieldsResult::Written;
}
