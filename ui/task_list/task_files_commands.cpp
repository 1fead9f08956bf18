// The commands on the files a task keeps (backup folders, catalogs, catalog folders, logs)
// and Switch Folders.
#include <array>
#include <vector>

#include "foundation/file_utils.h"
#include "foundation/history_store.h"
#include "foundation/resource_strings.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"
#include "ui/task_list/sync_list_view.h"
#include "ui/task_list/task_files.h"

namespace {

constexpr int kResetCode = 2;
constexpr int kSwitchFoldersCode = 5;

// One delete command: what it deletes and what it says.
struct FilesCommand {
    int kind;      // kPathFolder: folder trees, for good; kPathFile: files, to the trash
    UINT none;     // nothing exists
    UINT askBoth;  // "... %s and %s?"
    UINT askLeft;  // "... %s?" for the one that exists
    UINT askRight;
    UINT failedBoth;
    UINT failedOne;  // "... %s." with the path that failed; no %s for a log
    DWORD historyCode;
};

constexpr std::array<FilesCommand, 5> kFilesCommands = {{
    {kPathFolder, IDS_NO_BACKUP_FOLDERS, IDS_ASK_DELETE_BACKUP_FOLDERS, IDS_ASK_DELETE_LEFT_BACKUP_FOLDER,
     IDS_ASK_DELETE_RIGHT_BACKUP_FOLDER, IDS_BACKUP_FOLDERS_NOT_DELETED, IDS_BACKUP_FOLDER_NOT_DELETED,
     kHistoryDeleteBackups},
    {kPathFile, IDS_NO_CATALOGS, IDS_ASK_DELETE_CATALOGS, IDS_ASK_DELETE_CATALOG, IDS_ASK_DELETE_CATALOG,
     IDS_CATALOGS_NOT_DELETED, IDS_CATALOG_NOT_DELETED, kHistoryDeleteCatalogs},
    {kPathFolder, IDS_NO_CATALOG_FOLDERS, IDS_ASK_DELETE_CATALOG_FOLDERS, IDS_ASK_DELETE_CATALOG_FOLDER,
     IDS_ASK_DELETE_CATALOG_FOLDER, IDS_CATALOG_FOLDERS_NOT_DELETED, IDS_CATALOG_FOLDER_NOT_DELETED,
     kHistoryDeleteCatalogFolders},
    // the Right log
    {kPathFile, IDS_NO_RIGHT_LOG_FILE, 0, IDS_ASK_DELETE_LOG_FILE, IDS_ASK_DELETE_LOG_FILE, 0,
     IDS_RIGHT_LOG_FILE_NOT_DELETED, kHistoryDeleteLog},
    // the Left log
    {kPathFile, IDS_NO_LEFT_LOG_FILE, 0, IDS_ASK_DELETE_LOG_FILE, IDS_ASK_DELETE_LOG_FILE, 0,
     IDS_LEFT_LOG_FILE_NOT_DELETED, kHistoryDeleteLog},
}};

std::wstring ParentFolder(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos || slash == 0 ? std::wstring() : path.substr(0, slash);
}

// The paths of command `code`; the logs have one.
std::vector<std::wstring> CommandPaths(const SyncTask& task, int code) {
    switch (code) {
    case 0: return {task.sourceBackup, task.targetBackup};
    case 1: return {task.sourceCatalog, task.targetCatalog};
    case 2: return {ParentFolder(task.sourceCatalog), ParentFolder(task.targetCatalog)};
    case 3: return {SideLogPath(task, 1)};
    default: return {SideLogPath(task, 0)};
    }
}

std::string Text(UINT id) { return LoadResString(id); }

std::string WithPath(UINT id, const std::wstring& path) {
    return plat::Format(Text(id).c_str(), plat::WideToUtf8(path).c_str());
}

int AskOrTell(HWND owner, const std::string& text, UINT type) {
    return MessageBox(owner, text, Text(IDS_APP_TITLE), type);
}

}  // namespace

std::wstring SideLogPath(const SyncTask& task, int side) {
    const bool right = (side == 1) != (task.swapped != 0);
    return right ? task.targetLog : task.sourceLog;
}

BOOL CSyncListView::OnDeleteTaskFiles(int code) {
    const int row = SelectedRow();
    SyncTask* task = TaskAt(row);
    if (!task || code < 0 || code > kSwitchFoldersCode) return FALSE;
    if (code == kSwitchFoldersCode) return SwitchFolders(*task, row);

    const FilesCommand& command = kFilesCommands[static_cast<std::size_t>(code)];
    const HWND self = GetSafeHwnd();
    BuildTaskDataPaths(*task);
    const std::vector<std::wstring> paths = CommandPaths(*task, code);
    std::vector<std::size_t> existing;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i].empty() && GetPathKindW(paths[i]) == command.kind) existing.push_back(i);
    }
    if (existing.empty()) {
        AskOrTell(self, Text(command.none), MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }

    std::string question;
    if (existing.size() == 2) {
        question = plat::Format(Text(command.askBoth).c_str(), plat::WideToUtf8(paths[0]).c_str(),
                                plat::WideToUtf8(paths[1]).c_str());
    } else {
        question = WithPath(existing[0] == 0 ? command.askLeft : command.askRight, paths[existing[0]]);
    }
    if (AskOrTell(self, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return TRUE;

    std::vector<std::size_t> failed;
    for (const std::size_t i : existing) {
        if (code == kResetCode) {
            // The backups of overwritten and deleted files may lie in the catalog folder
            // and may be the only copy left of a file: Reset never deletes them.
            const std::wstring& backup = i == 0 ? task->sourceBackup : task->targetBackup;
            if (!DeleteFolderTreeKeeping(paths[i], backup)) failed.push_back(i);
            continue;
        }
        if (command.kind == kPathFolder) {
            DeleteFolderTree(paths[i], 0);
        } else {
            DeleteFileEx(paths[i], kDeleteToTrash);
        }
        // Gone afterwards is what counts, whatever the delete reported.
        if (GetPathKindW(paths[i]) != kPathMissing) failed.push_back(i);
    }
    if (failed.size() == 2) {
        AskOrTell(self, Text(command.failedBoth), MB_OK | MB_ICONERROR);
    } else if (failed.size() == 1) {
        AskOrTell(self, WithPath(command.failedOne, paths[failed[0]]), MB_OK | MB_ICONERROR);
    }
    AddHistoryRecord(*task, kHistoryTaskChanged, command.historyCode,
                     failed.empty() ? kHistoryEventDone : kHistoryEventFailed, "");
    if (code == kResetCode && task->taskWindow) SendMessage(task->taskWindow, WM_SYNC_CLEAR_LIST, 0, 0);
    return TRUE;
}

BOOL CSyncListView::SwitchFolders(SyncTask& task, int row) {
    std::swap(task.leftFolder, task.rightFolder);
    BuildTaskDataPaths(task);
    // Stored at once: a switch the store did not take would be gone at the next start
    // while the history says it happened.
    const TaskWriteResult written = WriteTaskRecord(task);
    if (!written.written) {
        std::swap(task.leftFolder, task.rightFolder);
        BuildTaskDataPaths(task);
        AskOrTell(GetSafeHwnd(), written.failure, MB_OK | MB_ICONERROR);
        AddHistoryRecord(task, kHistoryTaskChanged, kHistoryChangeFolders, kHistoryEventFailed, "");
        return FALSE;
    }
    SetTaskRowText(row);
    if (task.taskWindow) {
        SendMessage(task.taskWindow, WM_SYNC_CLEAR_LIST, 0, 0);
        SendMessage(task.taskWindow, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&task));
    }
    AddHistoryRecord(task, kHistoryTaskChanged, kHistoryChangeFolders, kHistoryEventDone, "");
    return TRUE;
}
