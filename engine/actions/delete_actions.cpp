#include "engine/actions/delete_actions.h"

#include <string>

#include "engine/actions/action_support.h"
#include "engine/actions/backup.h"
#include "engine/actions/file_as_checked.h"
#include "engine/model/file_info.h"
#include "engine/model/folder_tree.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/file_utils.h"
#include "foundation/sync_task.h"
#include "platform/core/errors.h"
#include "platform/core/file_system.h"
#include "platform/core/text.h"

namespace {

// The entry a delete removes, with what the Check saw of it.
struct Deletion {
    std::wstring path;
    const std::string* relativePath = nullptr;
    ULONGLONG size = 0;
    LONGLONG lastWrite = 0;
    bool fromTarget = false;
};

Deletion PlanDeletion(const CFileInfo& record) {
    Deletion deletion;
    deletion.fromTarget = record.state.IsAction(ItemState::kDeleteRight);
    const bool ownEntry = !deletion.fromTarget || record.state.IsTargetOnly();
    deletion.path = ownEntry ? record.path() : record.counterpartPath();
    deletion.relativePath = ownEntry ? &record.relativePath : &record.counterpartRelativePath();
    deletion.size = ownEntry ? record.size : record.counterpartSize;
    deletion.lastWrite = ownEntry ? record.lastWrite : record.counterpartLastWrite;
    return deletion;
}

void RecordDeleted(SyncRunBlock& run, CFileInfo& record, const Deletion& deletion) {
    LogAction(run, L"Delete " + deletion.path, kLogBlack);
    record.state.Clear(deletion.fromTarget ? ItemState::kOnTarget : ItemState::kOnSource);
    record.state.Set(ItemState::kDeleted | ItemState::kDone);
    ++run.counters.done;
}

void RecordNotDeleted(SyncRunBlock& run, CFileInfo& record, const Deletion& deletion, DWORD error) {
    MarkActionFailed(run, record, error);
    LogAction(run, WithReason(L"Failed to Delete " + deletion.path, error), kLogRed);
}

int DeleteFolderAction(SyncRunBlock& run, CFileInfo& record, const Deletion& deletion, DWORD& counter) {
    // Empty by now unless something in it was kept; a link is never removed in its place.
    plat::FileInfo info;
    const std::string path = plat::WideToUtf8(deletion.path);
    bool removed = false;
    DWORD error = ERROR_SUCCESS;
    if (!plat::GetFileInfo(path, info)) {
        error = GetLastError();
    } else if (!info.IsFolder()) {
        error = kErrorChangedSinceCheck;
    } else if (plat::RemoveFolder(path)) {
        removed = true;
    } else {
        error = GetLastError();
    }
    if (removed) {
        RecordDeleted(run, record, deletion);
    } else {
        RecordNotDeleted(run, record, deletion, error);
    }
    ++counter;
    ReportItemDone(run, record);
    ReportProgress(run, counter);
    return removed ? 1 : 0;
}

// A file is deleted for good only once its backup is there. 1 to go on with the delete,
// else the action's result.
int BackUpDeletedFile(SyncRunBlock& run, CFileInfo& record, const Deletion& deletion) {
    const std::wstring& backupFolder = deletion.fromTarget ? run.task->targetBackup : run.task->sourceBackup;
    DWORD error = ERROR_SUCCESS;
    const int backup = BackUpFile(run, deletion.path, *deletion.relativePath, backupFolder, error);
    if (backup == kBackupMade) {
        LogAction(run, L"Backup " + deletion.path, kLogBlack);
        return 1;
    }
    if (backup == kBackupStopped) return 0;
    // A delete left undone for want of a backup is a failure of the run.
    record.state.Set(ItemState::kBackupError);
    record.SetFailure(error);
    ++run.counters.errors;
    std::wstring text;
    const int result = ActionErrorText(error, text);
    LogAction(run, L"Failed to Back up " + deletion.path + L" " + text, kLogRed);
    ReportItemDone(run, record);
    return result;
}

int DeleteFileAction(SyncRunBlock& run, CFileInfo& record, const Deletion& deletion, DWORD& counter) {
    if (!IsFileAsChecked(deletion.path, deletion.size, deletion.lastWrite)) {
        RecordNotDeleted(run, record, deletion, kErrorChangedSinceCheck);
        ++counter;
        ReportProgress(run, counter);
        ReportItemDone(run, record);
        return 0;
    }
    const bool keepBackup = SavesReplacedFiles(run);
    if (keepBackup) {
        if (const int result = BackUpDeletedFile(run, record, deletion); result != 1) return result;
    }
    const bool deleted = DeleteFileEx(deletion.path, keepBackup ? 0 : kDeleteToTrash);
    const DWORD error = deleted ? ERROR_SUCCESS : GetLastError();
    ++counter;
    ReportProgress(run, counter);
    if (deleted) {
        RecordDeleted(run, record, deletion);
    } else {
        RecordNotDeleted(run, record, deletion, error);
    }
    ReportItemDone(run, record);
    return deleted ? 1 : 0;
}

void QueueRows(const CatalogRowQueues& rows, const CFileInfo& record, DWORD targetOwnFields) {
    if (rows.source) rows.source(record, 1);
    if (rows.target) rows.target(record, targetOwnFields);
}

// Acts on `record`; -1 when the pass must end on a full disk.
bool EndsPassOnDiskFull(SyncRunBlock& run, CFileInfo& record, DWORD& counter) {
    if (ExecuteDeleteAction(run, record, counter) != -1) return false;
    run.SetResult(kRunDiskFull);
    return true;
}

// The delete actions of one folder of the walk, after everything below it: its files,
// then its own records, each side's in turn. -1 when the pass must end.
int DeleteActionsOfFolder(SyncRunBlock& run, FolderPair pair, DWORD& counter, const CatalogRowQueues& rows) {
    FolderTreeNode* const sourceNode = pair.source;
    FolderTreeNode* const targetNode = pair.target;
    if (sourceNode && sourceNode->files) {
        for (CFileInfo& file : *sourceNode->files) {
            if (EndsPassOnDiskFull(run, file, counter) || StopPressedAfterItem(run)) return -1;
            QueueRows(rows, file, 0);
        }
    }
    if (targetNode && targetNode->files) {
        for (CFileInfo& file : *targetNode->files) {
            if (file.state.IsTargetOnly()) {
                if (EndsPassOnDiskFull(run, file, counter)) return -1;
                QueueRows(rows, file, 1);
            }
            if (StopPressedAfterItem(run)) return -1;
        }
    }

    if (sourceNode && sourceNode->folder) {
        CFileInfo& folder = *sourceNode->folder;
        if (EndsPassOnDiskFull(run, folder, counter) || StopPressedAfterItem(run)) return -1;
        QueueRows(rows, folder, 0);
    }
    if (targetNode && targetNode->folder) {
        CFileInfo& folder = *targetNode->folder;
        if (folder.state.IsTargetOnly()) {
            if (EndsPassOnDiskFull(run, folder, counter)) return -1;
            QueueRows(rows, folder, 1);
        }
        if (StopPressedAfterItem(run)) return -1;
    }
    return 1;
}

}  // namespace

int ExecuteDeleteAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter) {
    if (IsLeftAloneByPasses(record.state)) return 1;
    if (!record.state.IsAction(ItemState::kDeleteRight) && !record.state.IsAction(ItemState::kDeleteLeft)) return 1;
    const Deletion deletion = PlanDeletion(record);
    if (record.state.IsFolder()) return DeleteFolderAction(run, record, deletion, counter);
    return DeleteFileAction(run, record, deletion, counter);
}

int WalkDeleteActions(SyncRunBlock& run, FolderTreeNode* sourceRoot, FolderTreeNode* targetRoot, DWORD& counter,
                      const CatalogRowQueues& rows) {
    // Contents before their folder: a folder is empty by the time its own delete comes.
    const bool walked = WalkFolderPairs(
        {sourceRoot, targetRoot}, [](FolderPair) { return true; },
        [&](FolderPair pair) { return DeleteActionsOfFolder(run, pair, counter, rows) != -1; });
    return walked ? 1 : -1;
}
