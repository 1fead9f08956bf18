#pragma once
// Task-list files (".tle"): archives of the task store's kind, usually an exported copy of
// the store. Export copies the store file; import merges the tasks of a file into the store.

#include <string>

#include "foundation/task_store.h"
#include "platform/core/win_types.h"

// Copies the task store to `fileName`, replacing the file there as a whole. The copy is
// taken under the store's lock, so it is never caught half-way through a save. 0, with the
// last error set, when the store cannot be read or the file cannot be written.
BOOL ExportTaskList(const std::string& fileName);

// Imports every task of the task-list file `fileName`: a task whose name the store holds
// already is renamed with MakeUniqueTaskName; each is stored, handed to `window` (the task
// list) with WM_SYNC_TASK_ADDED and given a history record of type 8 whose text is its name
// in the file (with status 10 and no hand-over when it could not be stored); a scheduled
// task gets its scheduled script. Members that
// are damaged, or whose names break the task-name rule, are skipped; everything skipped or
// not stored is told in one message box at the end.
TaskLoadReport ImportTaskList(HWND window, const std::string& fileName);
