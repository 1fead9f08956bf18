#include "foundation/task_list_file.h"

#include <memory>
#include <utility>

#include "foundation/history_record.h"
#include "foundation/history_store.h"
#include "foundation/script_table.h"
#include "foundation/sync_task.h"
#include "foundation/task_archive_members.h"
#include "foundation/task_paths.h"
#include "platform/core/archive_lock.h"
#include "platform/core/text.h"
#include "platform/core/whole_file.h"
#include "platform/core/zip_command.h"

BOOL ExportTaskList(const std::string& fileName) {
    const std::string store = GetTaskListFilePath();
    std::string bytes;
    {
        const plat::ArchiveLock lock(store);
        if (!plat::ReadWholeFile(store, &bytes)) return FALSE;
    }
    return plat::ReplaceFileAtomically(fileName, bytes) ? TRUE : FALSE;
}

TaskLoadReport ImportTaskList(HWND window, const std::string& fileName) {
    TaskLoadReport report;
    const std::optional<DWORD> count = CountTaskArchiveMembers(fileName);
    if (!count) {
        report.complete = FALSE;
        report.skipped.push_back(plat::Format("The task list file '%s' cannot be read.", fileName.c_str()));
    }

    for (DWORD index = 0; count && index < *count; ++index) {
        TaskArchiveMember member = ReadTaskArchiveMember(fileName, index, kUnzipInfoByIndex2);
        auto task = std::make_unique<SyncTask>();
        task->SetDefaults();
        std::string fault = std::move(member.fault);
        if (!member.bytes || !LoadTaskFromRecord(*member.bytes, *task, &fault)) {
            report.skipped.push_back(plat::Format("Task record %u was skipped: %s.", index + 1, fault.c_str()));
            continue;
        }

        const std::string nameInFile = task->name;
        TaskWriteResult written;
        {
            // No other save may take the name between choosing it and storing the task.
            const plat::ArchiveLock lock(GetTaskListFilePath());
            task->name = MakeUniqueTaskName(nameInFile);
            written = WriteTaskRecord(*task);
        }
        // The log paths were made from the name in the file, which names another task's logs.
        if (task->name != nameInFile) BuildTaskDataPaths(*task);
        for (std::string& cut : written.cuts) report.notes.push_back(std::move(cut));
        if (!written.written) {
            AddHistoryRecord(*task, kHistoryTaskImported, 0, kHistoryEventFailed, nameInFile);
            report.skipped.push_back(
                plat::Format("Task '%s' was not imported: %s", nameInFile.c_str(), written.failure.c_str()));
            continue;
        }

        AddHistoryRecord(*task, kHistoryTaskImported, 0, kHistoryEventDone, nameInFile);
        SyncTask* const added = SendTaskAdded(window, std::move(task));
        if (added == nullptr) continue;
        ++report.added;
        if (added->scheduleOn) report.scriptAdded = AddTaskScript(*added) != 0 || report.scriptAdded;
    }

    std::vector<std::string> told = report.skipped;
    told.insert(told.end(), report.notes.begin(), report.notes.end());
    if (!told.empty()) {
        TellSkippedTasks(window, plat::Format("Not everything in '%s' could be imported:", fileName.c_str()), told);
    }
    return report;
}
