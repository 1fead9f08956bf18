// The main frame's command table and the update rules it decides itself; every other
// command takes its state from the task list.
#include <algorithm>
#include <iterator>
#include <sys/stat.h>

#include "foundation/help_file.h"
#include "foundation/history_message.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "foundation/task_list_file.h"
#include "foundation/task_store.h"
#include "foundation/task_templates.h"
#include "foundation/template_file.h"
#include "platform/core/errors.h"
#include "platform/core/file_info.h"
#include "platform/core/gui_services.h"
#include "platform/core/message_box.h"
#include "platform/core/shell_open.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "platform/qt/view.h"
#include "platform/qt/visual_style.h"
#include "resources/command_ids.h"
#include "resources/image_ids.h"
#include "resources/sync_messages.h"
#include "ui/dialogs/task_dlg.h"
#include "ui/frame/caption_bar.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/task_list_link.h"
#include "ui/pages/options_sheets.h"

namespace {

constexpr UINT kTemplateCommands[] = {
    ID_TEMPLATE_OUTLOOK,     ID_TEMPLATE_OUTLOOK_EXPRESS, ID_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS,
    ID_TEMPLATE_FAVORITES,   ID_TEMPLATE_DOCUMENTS,       ID_TEMPLATE_REGISTRY,
    ID_TEMPLATE_VIDEOS,      ID_TEMPLATE_MUSIC,           ID_TEMPLATE_PHOTOS,
    ID_TEMPLATE_WINDOWS_MAIL};
// The ribbon's menu buttons: they open their menus and do nothing themselves.
constexpr UINT kMenuParents[] = {ID_CATALOG_BUTTON,     ID_MORE_VIEWS_BUTTON,  ID_LOG_BUTTON,
                                 ID_FILE_ACTION_BUTTON, ID_SYNC_ACTION_BUTTON, ID_TASK_TEMPLATES_BUTTON};

// A command that becomes a message to the task list.
struct TaskListMessage {
    UINT command;
    UINT message;
    WPARAM w;
    LPARAM l;
    bool post = false;
};

constexpr TaskListMessage kTaskListMessages[] = {
    {ID_SYNC, WM_SYNC_START, 0, 0},
    {ID_CHECK, WM_SYNC_START, 1, 0},
    {ID_CHECK_AND_SYNC, WM_SYNC_START, 2, 0},
    {ID_STOP, WM_SYNC_STOP, 0, 0},
    {ID_CLEAR_SYNC_LIST, WM_SYNC_CLEAR_LIST, 0, 0},
    {ID_AUTOMATE, WM_SYNC_AUTOMATE, 0, 0},
    {ID_TASK_OPTIONS, WM_SYNC_TASK_OPTIONS, 0, 0},
    {ID_SELECT_ALL, WM_SYNC_SELECT_ALL, 0, 0},
    {ID_DISPLAY_ALL, WM_SYNC_VIEW_FILTER, 0, 0},
    {ID_DISPLAY_CHANGED, WM_SYNC_VIEW_FILTER, 1, 0, true},
    {ID_DISPLAY_CONFLICTS, WM_SYNC_VIEW_FILTER, 2, 0},
    {ID_DISPLAY_ERRORS, WM_SYNC_VIEW_FILTER, 3, 0},
    {ID_DISPLAY_EXCLUDED, WM_SYNC_VIEW_FILTER, 4, 0},
    {ID_DISPLAY_NEW, WM_SYNC_VIEW_FILTER, 5, 0},
    {ID_DISPLAY_DELETE, WM_SYNC_VIEW_FILTER, 6, 0},
    {ID_DISPLAY_COPY_TO_LEFT, WM_SYNC_VIEW_FILTER, 7, 0},
    {ID_DISPLAY_COPY_TO_RIGHT, WM_SYNC_VIEW_FILTER, 8, 0},
    {ID_DISPLAY_COPY_TIME_TO_LEFT, WM_SYNC_VIEW_FILTER, 9, 0},
    {ID_DISPLAY_COPY_TIME_TO_RIGHT, WM_SYNC_VIEW_FILTER, 10, 0},
    {ID_DISPLAY_OVERWRITE, WM_SYNC_VIEW_FILTER, 11, 0},
    {ID_DISPLAY_SAME_SIZE, WM_SYNC_VIEW_FILTER, 12, 0},
    {ID_DISPLAY_WARNINGS, WM_SYNC_VIEW_FILTER, 13, 0},
    {ID_OPEN_LEFT_ITEM, WM_SYNC_ITEM_COMMAND, 0, 0},
    {ID_LEFT_ITEM_PROPERTIES, WM_SYNC_ITEM_COMMAND, 0, 1},
    {ID_DELETE_LEFT_ITEM, WM_SYNC_ITEM_COMMAND, 0, 2},
    {ID_OPEN_RIGHT_ITEM, WM_SYNC_ITEM_COMMAND, 1, 0},
    {ID_RIGHT_ITEM_PROPERTIES, WM_SYNC_ITEM_COMMAND, 1, 1},
    {ID_DELETE_RIGHT_ITEM, WM_SYNC_ITEM_COMMAND, 1, 2},
    {ID_COMPARE_FILES, WM_SYNC_BOTH_ITEMS_COMMAND, 0, 0},
    {ID_DELETE_BOTH_ITEMS, WM_SYNC_BOTH_ITEMS_COMMAND, 0, 2},
    {ID_LEFT_TO_RIGHT, WM_SYNC_SET_ACTION, 0, 0},
    {ID_RIGHT_TO_LEFT, WM_SYNC_SET_ACTION, 1, 0},
    {ID_COPY_TIME_TO_RIGHT, WM_SYNC_SET_ACTION, 2, 0},
    {ID_COPY_TIME_TO_LEFT, WM_SYNC_SET_ACTION, 3, 0},
    {ID_SET_NO_ACTION, WM_SYNC_SET_ACTION, 4, 0},
    {ID_RESTORE_ACTION, WM_SYNC_SET_ACTION, 5, 0},
    {ID_OPEN_LEFT_LOG, WM_SYNC_OPEN_LOG, 0, 0},
    {ID_OPEN_RIGHT_LOG, WM_SYNC_OPEN_LOG, 1, 0},
    {ID_DELETE_BACKUP_FOLDERS, WM_SYNC_TASK_FILES_COMMAND, 0, 0},
    {ID_DELETE_CATALOGS, WM_SYNC_TASK_FILES_COMMAND, 1, 0},
    {ID_RESET_TASK, WM_SYNC_TASK_FILES_COMMAND, 2, 0},
    {ID_DELETE_RIGHT_LOG, WM_SYNC_TASK_FILES_COMMAND, 3, 0},
    {ID_DELETE_LEFT_LOG, WM_SYNC_TASK_FILES_COMMAND, 4, 0},
    {ID_SWITCH_FOLDERS, WM_SYNC_TASK_FILES_COMMAND, 5, 0},
    {ID_RUN_CONTAINER, WM_SYNC_RUN_CONTAINER, 0, 0},
};

const TaskListMessage* FindTaskListMessage(UINT command) {
    const auto it = std::find_if(std::begin(kTaskListMessages), std::end(kTaskListMessages),
                                 [command](const TaskListMessage& entry) { return entry.command == command; });
    return it == std::end(kTaskListMessages) ? nullptr : &*it;
}

int Ask(HWND owner, const std::string& text) {
    return MessageBox(owner, text, LoadResString(IDS_APP_TITLE), MB_YESNO | MB_ICONQUESTION);
}

void Tell(HWND owner, const std::string& text, UINT icon) {
    MessageBox(owner, text, LoadResString(IDS_APP_TITLE), MB_OK | icon);
}

plat::OpenFileRequest TaskListFileRequest(HWND owner) {
    plat::OpenFileRequest request;
    request.owner = owner;
    request.title = plat::Utf8ToWide(LoadResString(IDS_TASK_LIST_FILE_TITLE));
    request.filter = plat::Utf8ToWide(LoadResString(IDS_TASK_LIST_FILE_FILTER));
    request.defaultExtension = L"tle";
    return request;
}

// "name" and "name.txt" become "name.tle" and "name.txt.tle"; "name.TLE" stays.
std::string WithTaskListExtension(std::string path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension || !plat::EqualsNoCaseAscii(std::string_view(path).substr(dot), ".tle")) path += ".tle";
    return path;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

void CMainFrame::MapCommands() {
    for (const TaskListMessage& entry : kTaskListMessages) {
        MapCommandRange(entry.command, entry.command, &CMainFrame::OnTaskListMessageCommand);
    }
    MapCommand(ID_NEW_TASK, &CMainFrame::OnNewTask);
    MapCommand(ID_RENAME_TASK, &CMainFrame::OnRenameTask);
    MapCommand(ID_COPY_TASK, &CMainFrame::OnCopyTask);
    MapCommand(ID_SYNC_CONTAINER, &CMainFrame::OnSyncContainer);
    MapCommand(ID_DEFAULT_OPTIONS, &CMainFrame::OnDefaultOptions);
    MapCommand(ID_DELETE_HISTORY, &CMainFrame::OnDeleteHistory);
    MapCommand(ID_IMPORT_TASK_LIST, &CMainFrame::OnImportTaskList);
    MapCommand(ID_EXPORT_TASK_LIST, &CMainFrame::OnExportTaskList);
    for (const UINT id : kTemplateCommands) MapCommandRange(id, id, &CMainFrame::OnTemplate);
    MapCommand(ID_IMPORT_TEMPLATE, &CMainFrame::OnImportTemplate);
    MapCommand(ID_SHOW_HIDE, &CMainFrame::OnShowHide);
    MapCommand(ID_TOGGLE_TRAY_ICON, &CMainFrame::OnToggleTrayOption);
    MapCommand(ID_EXIT, &CMainFrame::OnExit);
    MapCommand(ID_CLOSE, &CMainFrame::OnCloseCommand);
    MapCommand(ID_HELP_CONTENTS, &CMainFrame::OnHelpContents);
    MapCommandRange(ID_ORDER_INFO, ID_WELCOME_PAGE, &CMainFrame::OnReadmeHelp);
    for (const UINT id : kMenuParents) MapCommand(id, &CMainFrame::OnMenuParent);
    MapCommand(ID_VIEW_CAPTION_BAR, &CMainFrame::OnCaptionBar);
    MapCommandRange(plat::kFirstVisualStyle, plat::kLastVisualStyle, &CMainFrame::OnVisualStyle);

    // Every command the task list carries out takes its state from the task list, but the
    // tray's container run, which only needs a list to hand the task to.
    for (const TaskListMessage& entry : kTaskListMessages) MapUpdate(entry.command, &CMainFrame::OnUpdateFromTaskList);
    MapUpdate(ID_RUN_CONTAINER, &CMainFrame::OnUpdateNeedsTaskList);
    MapUpdate(ID_RENAME_TASK, &CMainFrame::OnUpdateFromTaskList);
    MapUpdate(ID_COPY_TASK, &CMainFrame::OnUpdateFromTaskList);
    MapUpdate(ID_EXPORT_TASK_LIST, &CMainFrame::OnUpdateExport);
    for (const UINT id : kTemplateCommands) MapUpdate(id, &CMainFrame::OnUpdateTemplate);
    // The frame's own commands that are always offered, whatever a view further on says.
    for (const UINT id : {ID_NEW_TASK, ID_DEFAULT_OPTIONS, ID_DELETE_HISTORY, ID_IMPORT_TASK_LIST, ID_IMPORT_TEMPLATE,
                          ID_EXIT, ID_ORDER_INFO, ID_WELCOME_PAGE}) {
        MapUpdate(id, &CMainFrame::OnUpdateAlways);
    }
    MapUpdate(ID_SHOW_HIDE, &CMainFrame::OnUpdateShowHide);
    MapUpdate(ID_TOGGLE_TRAY_ICON, &CMainFrame::OnUpdateTrayOption);
    MapUpdate(ID_SYNC_CONTAINER, &CMainFrame::OnUpdateNeedsTaskList);
    MapUpdate(ID_VIEW_CAPTION_BAR, &CMainFrame::OnUpdateCaptionBar);
    MapUpdateRange(plat::kFirstVisualStyle, plat::kLastVisualStyle, &CMainFrame::OnUpdateVisualStyle);
}

// --- Update rules -----------------------------------------------------------------------------

void CMainFrame::OnUpdateFromTaskList(plat::CmdUI& ui) {
    const UINT id = ui.Id();
    plat::View* list = ViewOf(taskListWindow_);
    if (!list || !list->OnCmdMsg(id, Call::Update, &ui)) ui.Enable(false);
}

void CMainFrame::OnUpdateAlways(plat::CmdUI& ui) { ui.Enable(true); }

void CMainFrame::OnUpdateExport(plat::CmdUI& ui) { ui.Enable(TaskList() && TaskList()->HasTasks()); }

void CMainFrame::OnUpdateTemplate(plat::CmdUI& ui) {
    const int version = ProgramState().windowsVersionClass;
    switch (ui.Id()) {
    case ID_TEMPLATE_WINDOWS_MAIL: ui.Enable(version >= 6); break;
    case ID_TEMPLATE_OUTLOOK_EXPRESS:
    case ID_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS: ui.Enable(version < 6); break;
    case ID_TEMPLATE_REGISTRY: ui.Enable(version >= 4); break;
    default: ui.Enable(true); break;
    }
}

void CMainFrame::OnUpdateShowHide(plat::CmdUI& ui) {
    ui.SetText(LoadResString(shown_ ? IDS_HIDE_WINDOW : IDS_PRODUCT_NAME));
}

void CMainFrame::OnUpdateTrayOption(plat::CmdUI& ui) { ui.SetCheck(trayOption_ ? 1 : 0); }

void CMainFrame::OnUpdateNeedsTaskList(plat::CmdUI& ui) { ui.Enable(TaskList() != nullptr); }

void CMainFrame::OnUpdateCaptionBar(plat::CmdUI& ui) {
    ui.Enable(captionBar_ != nullptr);
    ui.SetCheck(captionBar_ && captionBar_->isVisibleTo(this) ? 1 : 0);
}

void CMainFrame::OnUpdateVisualStyle(plat::CmdUI& ui) { ui.SetRadio(plat::CurrentVisualStyle() == ui.Id()); }

// --- Commands ---------------------------------------------------------------------------------

void CMainFrame::OnTaskListMessageCommand(UINT id) {
    const TaskListMessage* entry = FindTaskListMessage(id);
    const HWND list = TaskListWindow();
    if (!entry || !list) return;
    if (entry->post) {
        PostMessage(list, entry->message, entry->w, entry->l);
    } else {
        SendMessage(list, entry->message, entry->w, entry->l);
    }
}

void CMainFrame::OnNewTask() {
    CTaskDlg dialog(this);
    if (dialog.DoModal() != IDOK) return;
    // Stored first: a task that the store refused is told and recorded, and never shown.
    std::unique_ptr<SyncTask> task = CreateNewTask(dialog.Name());
    if (task) SendNewTask(TaskListWindow(), std::move(task));
}

void CMainFrame::OnRenameTask() {
    CTaskDlg dialog(this);
    dialog.SetTitle(LoadResString(IDS_RENAME_TASK_TITLE));
    if (const SyncTask* task = TaskList() ? TaskList()->GetSelectedTask() : nullptr) dialog.SetName(task->name);
    if (dialog.DoModal() != IDOK) return;
    SendMessage(TaskListWindow(), WM_SYNC_RENAME_TASK, reinterpret_cast<WPARAM>(dialog.Name().c_str()), 0);
}

void CMainFrame::OnCopyTask() {
    const SyncTask* task = TaskList() ? TaskList()->GetSelectedTask() : nullptr;
    if (!task) return;
    CTaskDlg dialog(this);
    dialog.SetTitle(LoadResString(IDS_COPY_TASK_TO_TITLE));
    dialog.SetName(MakeUniqueTaskName(task->name));
    if (dialog.DoModal() != IDOK) return;
    SendMessage(TaskListWindow(), WM_SYNC_COPY_TASK, reinterpret_cast<WPARAM>(dialog.Name().c_str()), 0);
}

void CMainFrame::OnSyncContainer() {
    if (TaskList() && TaskList()->RunSyncContainerDialog(this)) ArmTaskTimer();
}

void CMainFrame::OnDefaultOptions() {
    DefaultOptionsSheet sheet(this);
    sheet.DoModal();
}

void CMainFrame::OnDeleteHistory() {
    const std::string path = GetHistoryFilePath();
    if (!plat::PathExists(path)) {
        Tell(GetSafeHwnd(), LoadResString(IDS_NO_HISTORY), MB_ICONINFORMATION);
        return;
    }
    if (Ask(GetSafeHwnd(), plat::Format(LoadResString(IDS_ASK_DELETE_HISTORY).c_str(), path.c_str())) != IDYES) return;
    if (!DeleteHistoryFile()) {
        Tell(GetSafeHwnd(), LoadResString(IDS_HISTORY_NOT_DELETED), MB_ICONERROR);
        return;
    }
    SendHistoryPathMessage(HistoryViewWindow(), WM_SYNC_CLEAR_HISTORY, path);
}

void CMainFrame::OnImportTaskList() {
    plat::GuiServices* gui = plat::GetGuiServices();
    const auto chosen = gui ? gui->OpenFileName(TaskListFileRequest(GetSafeHwnd())) : std::nullopt;
    if (!chosen) return;
    const std::string path = plat::WideToUtf8(*chosen);
    // Merging the store into itself would store every task a second time.
    if (SameFile(path, GetTaskListFilePath())) {
        Tell(GetSafeHwnd(), plat::Format("'%s' is the program's own task store", path.c_str()), MB_ICONWARNING);
        return;
    }
    const TaskLoadReport report = ImportTaskList(TaskListWindow(), path);
    if (report.added > 0) ArmTaskTimer();
    if (report.scriptAdded) ArmScriptTimer();
}

void CMainFrame::OnExportTaskList() {
    plat::GuiServices* gui = plat::GetGuiServices();
    plat::OpenFileRequest request = TaskListFileRequest(GetSafeHwnd());
    request.followLinks = false;
    const auto chosen = gui ? gui->SaveFileName(request) : std::nullopt;
    if (!chosen) return;
    const std::string path = WithTaskListExtension(plat::WideToUtf8(*chosen));
    if (plat::PathExists(path) &&
        Ask(GetSafeHwnd(), plat::Format(LoadResString(IDS_ASK_OVERWRITE).c_str(), path.c_str())) != IDYES) {
        return;
    }
    if (!ExportTaskList(path)) {
        Tell(GetSafeHwnd(), plat::Format(LoadResString(IDS_TASK_FILE_WRITE_FAILED).c_str(), path.c_str()),
             MB_ICONERROR);
    }
}

void CMainFrame::OnTemplate(UINT id) {
    const auto kind = TemplateKindOfCommand(id);
    if (!kind) return;
    if (std::unique_ptr<SyncTask> task = CreateTemplateTask(*kind)) SendNewTask(TaskListWindow(), std::move(task));
}

void CMainFrame::OnImportTemplate() {
    plat::GuiServices* gui = plat::GetGuiServices();
    plat::OpenFileRequest request;
    request.owner = GetSafeHwnd();
    request.title = plat::Utf8ToWide(kTemplateFileDialogTitle);
    request.initialFile = plat::Utf8ToWide(GetTemplatesFolder());
    request.filter = plat::Utf8ToWide(LoadResString(IDS_TEMPLATE_FILE_FILTER));
    const auto chosen = gui ? gui->OpenFileName(request) : std::nullopt;
    if (chosen) ImportTemplateFile(TaskListWindow(), plat::WideToUtf8(*chosen));
}

void CMainFrame::OnShowHide() {
    shown_ = !shown_;
    ShowInTray(shown_ ? TRUE : FALSE);
}

void CMainFrame::OnToggleTrayOption() {
    trayOption_ = !trayOption_;
    if (!trayOption_) {
        tray_.SetIconById(0);
        ShowWindow(plat::SW_SHOW);
        SetForegroundWindow();
        BringWindowToTop();
        shown_ = true;
    } else {
        tray_.SetIconById(res::kTrayIcon);
    }
}

void CMainFrame::OnExit() {
    realExit_ = true;
    OnClose(0, 0);
}

void CMainFrame::OnCloseCommand() { OnClose(0, 0); }

void CMainFrame::OnHelpContents() { OpenHelpTopic(GetSafeHwnd(), 0); }

void CMainFrame::OnReadmeHelp(UINT) {
    const std::string path = ProgramState().programFolder + "readme.hlp";
    if (!plat::PathExists(path)) {
        Tell(GetSafeHwnd(), "No help file is installed: \"" + path + "\" does not exist.", MB_ICONINFORMATION);
        return;
    }
    if (!plat::OpenWithDefaultHandler(path)) {
        Tell(GetSafeHwnd(), "The help file \"" + path + "\" could not be opened: the desktop has no program for it.",
             MB_ICONINFORMATION);
    }
}

void CMainFrame::OnMenuParent() {}

void CMainFrame::OnCaptionBar() {
    if (!captionBar_) return;
    captionBar_->setVisible(!captionBar_->isVisibleTo(this));
    RedrawAll();
    RecalcLayout();
}

void CMainFrame::OnVisualStyle(UINT id) {
    if (!plat::ApplyVisualStyle(id)) return;
    RedrawAll();
    RecalcLayout();
    WriteProfileInt(settings::kApplicationLook.section, settings::kApplicationLook.key, static_cast<int>(id));
}
