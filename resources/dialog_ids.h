#pragma once
// The ids of the program's dialogs, option pages and dialog-like windows, each under one
// name. Their controls are in resources/control_ids.h.

#include "platform/core/win_types.h"
#include "resources/resource_id.h"

// Option pages; each id is also the page's help topic, except the Program page's
inline constexpr UINT IDD_SYNC_OPTIONS_PAGE = 4069;  // "Sync Options"
inline constexpr UINT IDD_FILTERS_PAGE = 12;         // "Filters"
inline constexpr UINT IDD_LOG_PAGE = 4072;           // "Log"
inline constexpr UINT IDD_PROGRAM_PAGE = 4070;       // "Program"
inline constexpr UINT IDD_AUTO_PAGE = 4068;          // "Auto"

// Dialogs and windows
inline constexpr UINT IDD_SCHEDULE_SYNC = 30401;    // "Schedule Sync"
inline constexpr UINT IDD_TASK_NAME = 4052;         // "New Task"
inline constexpr UINT IDD_SYNC_CONTAINER = 30403;   // "Sync Container"
inline constexpr UINT IDD_GET_VOLUME_NAME = 4050;   // "Get Volume Name"
inline constexpr UINT IDD_START_UP_PROMPT = 33004;  // the start-up prompt
inline constexpr UINT IDD_ABOUTBOX = 100;           // the about box
inline constexpr UINT IDD_PLEASE_WAIT = 134;        // the please-wait window
inline constexpr UINT IDD_TASK_WINDOW = 4047;       // a task's window
inline constexpr UINT IDD_TASK_FORM_VIEW = 4048;    // the pane with one tab per task window

namespace res {

// Every name above, for the tests.
inline constexpr NamedId kDialogIds[] = {
    {"IDD_SYNC_OPTIONS_PAGE", IDD_SYNC_OPTIONS_PAGE},
    {"IDD_FILTERS_PAGE", IDD_FILTERS_PAGE},
    {"IDD_LOG_PAGE", IDD_LOG_PAGE},
    {"IDD_PROGRAM_PAGE", IDD_PROGRAM_PAGE},
    {"IDD_AUTO_PAGE", IDD_AUTO_PAGE},
    {"IDD_SCHEDULE_SYNC", IDD_SCHEDULE_SYNC},
    {"IDD_TASK_NAME", IDD_TASK_NAME},
    {"IDD_SYNC_CONTAINER", IDD_SYNC_CONTAINER},
    {"IDD_GET_VOLUME_NAME", IDD_GET_VOLUME_NAME},
    {"IDD_START_UP_PROMPT", IDD_START_UP_PROMPT},
    {"IDD_ABOUTBOX", IDD_ABOUTBOX},
    {"IDD_PLEASE_WAIT", IDD_PLEASE_WAIT},
    {"IDD_TASK_WINDOW", IDD_TASK_WINDOW},
    {"IDD_TASK_FORM_VIEW", IDD_TASK_FORM_VIEW},
};

}  // namespace res
