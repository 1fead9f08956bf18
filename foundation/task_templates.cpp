#include "foundation/task_templates.h"

#include <utility>

#include "foundation/history_record.h"
#include "foundation/history_store.h"
#include "foundation/resource_strings.h"
#include "foundation/sync_task.h"
#include "foundation/task_name_rule.h"
#include "foundation/task_store.h"
#include "foundation/template_file.h"
#include "platform/core/archive_lock.h"
#include "platform/core/message_box.h"
#include "platform/core/window.h"
#include "resources/command_ids.h"
#include "resources/sync_messages.h"

namespace {

constexpr BuiltInTemplate kBuiltInTemplates[] = {
    {kTemplatePhotos, ID_TEMPLATE_PHOTOS, IDS_TEMPLATE_PHOTOS, L"<PICTURES>"},
    {kTemplateDocuments, ID_TEMPLATE_DOCUMENTS, IDS_TEMPLATE_DOCUMENTS, L"<DOCUMENTS>"},
    {kTemplateFavorites, ID_TEMPLATE_FAVORITES, IDS_TEMPLATE_FAVORITES, L"<FAVORITES>"},
    {kTemplateVideos, ID_TEMPLATE_VIDEOS, IDS_TEMPLATE_VIDEOS, L"<VIDEO>"},
    {kTemplateMusic, ID_TEMPLATE_MUSIC, IDS_TEMPLATE_MUSIC, L"<MUSIC>"},
    {kTemplateWindowsMail, ID_TEMPLATE_WINDOWS_MAIL, IDS_TEMPLATE_WINMAIL, L"<LOCAL_WINDOWS_MAIL>"},
    {kTemplateOutlook, ID_TEMPLATE_OUTLOOK, IDS_TEMPLATE_OUTLOOK, L"<LOCAL_OUTLOOK>"},
    {kTemplateOutlookExpress, ID_TEMPLATE_OUTLOOK_EXPRESS, IDS_TEMPLATE_OUTLOOK_EXPRESS_MESSAGES,
     L"<LOCAL_OUTLOOK_EXPRESS>"},
    {kTemplateContacts, ID_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS, IDS_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS, L"<CONTACTS>"},
    {kTemplateRegistry, ID_TEMPLATE_REGISTRY, IDS_TEMPLATE_REGISTRY, L"<SYSTEM>/Config"},
};

const BuiltInTemplate* FindBuiltIn(DWORD kind) {
    for (const BuiltInTemplate& entry : kBuiltInTemplates) {
        if (entry.kind == kind) return &entry;
    }
    return nullptr;
}

void Tell(const std::string& text, UINT icon) { MessageBox(nullptr, text, LoadResString(IDS_APP_TITLE), MB_OK | icon); }

DWORD FilterModeOf(std::wstring_view include, std::wstring_view exclude) {
    DWORD mode = 0;
    if (!exclude.empty()) mode |= kFilterModeExclusion;
    if (!include.empty()) mode |= kFilterModeInclusion;
    return mode;
}

// A task with its defaults and option records of its own, read from the settings store.
std::unique_ptr<SyncTask> NewTemplateTask() {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->syncOptions = std::make_unique<CConfigSyncPage>(false);
    task->filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());
    task->logOptions = std::make_unique<CConfigLogPage>(false);
    return task;
}

// Takes `name` for the task; false after telling why when the name breaks the rule.
bool TakeName(SyncTask& task, std::string_view name) {
    if (name.empty()) return false;
    const TaskNameFault fault = CheckTaskName(name);
    if (fault != TaskNameFault::None) {
        Tell(TaskNameFaultText(fault), MB_ICONERROR);
        return false;
    }
    task.name = name;
    return true;
}

// Stores a new task and records its creation; null after telling why it was refused.
std::unique_ptr<SyncTask> StoreNewTask(std::unique_ptr<SyncTask> task) {
    TaskWriteResult written;
    bool taken = false;
    {
        // No other save may take the name between the test and the write. The refusal is
        // told after the store is let go: a run that ends meanwhile must reach it.
        const plat::ArchiveLock lock(GetTaskListFilePath());
        taken = TaskNameExists(task->name) != FALSE;
        if (!taken) written = WriteTaskRecord(*task);
    }
    if (taken) {
        Tell(LoadResString(IDS_TASK_EXISTS), MB_ICONWARNING);
        return nullptr;
    }
    if (!written.written) {
        // A task shown but not stored would be gone at the next start.
        AddHistoryRecord(*task, kHistoryTaskCreated, 0, kHistoryEventFailed, "");
        Tell(written.failure, MB_ICONERROR);
        return nullptr;
    }
    AddHistoryRecord(*task, kHistoryTaskCreated, 0, kHistoryEventDone, "");
    if (!written.cuts.empty()) TellSkippedTasks(nullptr, "The task was stored with shorter filters:", written.cuts);
    return task;
}

}  // namespace

std::span<const BuiltInTemplate> BuiltInTemplates() { return kBuiltInTemplates; }

std::optional<TemplateKind> TemplateKindOfCommand(UINT command) {
    if (command == ID_IMPORT_TEMPLATE) return kTemplateCustom;
    for (const BuiltInTemplate& entry : kBuiltInTemplates) {
        if (entry.command == command) return entry.kind;
    }
    return std::nullopt;
}

std::unique_ptr<SyncTask> CreateTemplateTask(DWORD kind, std::string_view name, std::wstring_view folder,
                                             std::wstring_view include, std::wstring_view exclude) {
    std::unique_ptr<SyncTask> task = NewTemplateTask();
    if (kind == kTemplateCustom) {
        if (!TakeName(*task, name)) return nullptr;
        task->leftFolder = folder;
        task->filterOptions->includeText = include;
        task->filterOptions->excludeText = exclude;
        task->filterOptions->filterMode = FilterModeOf(include, exclude);
    } else {
        const BuiltInTemplate* entry = FindBuiltIn(kind);
        if (entry == nullptr) return nullptr;
        task->name = LoadResString(entry->nameId);
        task->leftFolder = entry->folder;
        if (kind == kTemplateContacts) task->syncOptions->lock = 1;
    }
    return StoreNewTask(std::move(task));
}

std::unique_ptr<SyncTask> CreateNewTask(std::string_view name) {
    std::unique_ptr<SyncTask> task = NewTemplateTask();
    if (!TakeName(*task, name)) return nullptr;
    return StoreNewTask(std::move(task));
}

SyncTask* SendNewTask(HWND taskList, std::unique_ptr<SyncTask> task) {
    SyncTask* const handed = task.release();
    if (SendMessage(taskList, WM_SYNC_NEW_TASK, reinterpret_cast<WPARAM>(handed), 0) != 0) return handed;
    std::unique_ptr<SyncTask> notTaken(handed);
    return nullptr;
}

SyncTask* ImportTemplateFile(HWND taskList, const std::string& path) {
    TemplateFileRead read = ReadTemplateFile(path);
    if (!read.file) {
        Tell(read.fault, MB_ICONERROR);
        return nullptr;
    }
    const TemplateFile& file = *read.file;
    std::unique_ptr<SyncTask> task =
        CreateTemplateTask(kTemplateCustom, file.taskName, file.folder, file.includeText, file.excludeText);
    if (!task) return nullptr;
    return SendNewTask(taskList, std::move(task));
}
