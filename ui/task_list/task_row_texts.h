#pragma once
// What a task's row in the task list says, worked out from the task alone: the texts of
// the Auto, folder and last-run columns, and the status-bar text of a busy code.

#include <array>
#include <string>

#include "platform/core/win_types.h"

struct SyncTask;
enum class TaskBusy : DWORD;

// The task list's columns.
enum TaskListColumn {
    kTaskColumn = 0,
    kAutoColumn,
    kLeftFolderColumn,
    kRightFolderColumn,
    kLastRunTimeColumn,
    kLastRunFromColumn,
    kLastSyncTypeColumn,
    kTaskListColumnCount,
};

// Columns 1 to 6 (UTF-8), indexed by column; column 0, the name, is left empty. A task
// that never ran shows none of them. `userName` stands for runs the user started.
std::array<std::string, kTaskListColumnCount> TaskRowTexts(const SyncTask& task, const std::string& userName);

// The last-run time (a FILETIME holding local wall-clock time) in the user's short date
// and time formats, joined by a blank; empty for 0 and for a value that names no date.
std::string FormatLastRunTime(const FILETIME& wallClock);

// The text the status bar's second element shows while a task is busy with `busyCode`
// (idle: "No action").
std::string BusyStatusText(TaskBusy busyCode);
