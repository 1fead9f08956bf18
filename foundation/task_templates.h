#pragma once
// Task templates: a ready-made task in one step, named after a well-known folder whose
// placeholder becomes its Left folder, with the default options; the user then only
// chooses the Right folder. Ten are built in; a custom template file gives the others.
//
// The task keeps its placeholder: "<PICTURES>" is resolved only when the task runs, and
// a folder this system lacks ("<FAVORITES>") resolves to none, which the run's checks
// refuse.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"

struct SyncTask;

enum TemplateKind : DWORD {
    kTemplatePhotos = 0,
    kTemplateDocuments = 1,
    kTemplateFavorites = 2,
    kTemplateVideos = 4,
    kTemplateMusic = 5,
    kTemplateWindowsMail = 6,
    kTemplateOutlook = 7,
    kTemplateOutlookExpress = 9,
    kTemplateContacts = 10,  // the address book; copied with "Lock" on
    kTemplateRegistry = 11,
    kTemplateCustom = 9999,  // a template file: name, folder and filters given by the caller
};

struct BuiltInTemplate {
    TemplateKind kind;
    UINT command;           // the ribbon command that creates it
    UINT nameId;            // string id of the task's name
    const wchar_t* folder;  // the Left folder as stored
};

std::span<const BuiltInTemplate> BuiltInTemplates();

// The kind a template command creates (ID_IMPORT_TEMPLATE, "More Task scripts", gives kTemplateCustom);
// nothing for any other command.
std::optional<TemplateKind> TemplateKindOfCommand(UINT command);

// Creates, stores and records (history: task created) the task of `kind`, with option
// records from the settings store's defaults. `name`, `folder`, `include` and `exclude`
// are used by kTemplateCustom only; its Filter Mode follows which texts are given.
// Null for an unknown kind or an empty name; null after telling why when the name breaks
// the task-name rule, a task of that name exists ("The task already exists!"), or the
// task store refuses the task (then the history records the failure).
std::unique_ptr<SyncTask> CreateTemplateTask(DWORD kind, std::string_view name = {}, std::wstring_view folder = {},
                                             std::wstring_view include = {}, std::wstring_view exclude = {});

// New Task: a task named `name` with every default option the settings store holds
// (filters included) and no folders yet, stored and recorded like a template's task.
// Null after telling why, as CreateTemplateTask.
std::unique_ptr<SyncTask> CreateNewTask(std::string_view name);

// Hands a new task to the task list with WM_SYNC_NEW_TASK (w = the task). The list takes
// it when it answers non-zero; otherwise the task is freed here (it stays in the store).
// Returns the task while the list owns it, else null.
SyncTask* SendNewTask(HWND taskList, std::unique_ptr<SyncTask> task);

// The custom template command after the user chose `path`: reads the file, creates its
// task and hands it to the task list. A file that is no template tells
// "Invalid Template File!". Returns the task handed over, or null.
SyncTask* ImportTemplateFile(HWND taskList, const std::string& path);
