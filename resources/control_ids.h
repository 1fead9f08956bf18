#pragma once
// The ids of the controls of each dialog (resources/dialog_ids.h) and of the main window's
// own child windows, each under one name that says what the control is. A control id
// counts within its dialog: the same number is another control in another dialog.
//
//   auto* box = page->findChild<QCheckBox*>(QString::number(IDC_ALLOW_DELETIONS));

#include "resources/dialog_ids.h"
#include "resources/resource_id.h"

// The "Sync Options" page (IDD_SYNC_OPTIONS_PAGE).
inline constexpr int IDC_SYNC_TYPE_LIST = 6016;
inline constexpr int IDC_SPEED_LIST = 6030;
inline constexpr int IDC_ALLOW_DELETIONS = 8833;   // "Allow deletions"
inline constexpr int IDC_SAVE_DELETED = 8834;      // "Save deleted or updated files"
inline constexpr int IDC_SHADOW_COPY = 8835;       // "Use Shadow Copy for locked files"
inline constexpr int IDC_SOURCE_READ_ONLY = 8836;  // "Do not write program data to the Source folder"
inline constexpr int IDC_TARGET_READ_ONLY = 8837;  // "Do not write program data to the Target folder"
inline constexpr int IDC_CASE_SENSITIVE = 8838;    // "Case sensitive"

// The "Filters" page (IDD_FILTERS_PAGE).
inline constexpr int IDC_USE_EXCLUSION = 8819;  // "&Exclusion filter"
inline constexpr int IDC_USE_INCLUSION = 8820;  // "&Inclusion filter"
inline constexpr int IDC_EXCLUSION_LIST = 47945;
inline constexpr int IDC_INCLUSION_LIST = 8832;
inline constexpr int IDC_EXCLUSION_PRESETS = 8833;
inline constexpr int IDC_INCLUSION_PRESETS = 8834;
inline constexpr int IDC_REMOVE_EXCLUSION = 8840;
inline constexpr int IDC_REMOVE_INCLUSION = 8841;
inline constexpr int IDC_EXCLUDE_READONLY = 8836;
inline constexpr int IDC_EXCLUDE_SYSTEM = 6027;
inline constexpr int IDC_EXCLUDE_HIDDEN = 6028;
inline constexpr int IDC_EXCLUDE_EMPTY = 6029;

// The "Log" page (IDD_LOG_PAGE).
inline constexpr int IDC_CREATE_LOG = 8819;    // "Create log"
inline constexpr int IDC_DETAILED_LOG = 1016;  // "Detailed log"
inline constexpr int IDC_SUMMARY_LOG = 1017;   // "S&ummary log"
inline constexpr int IDC_CLEAR_LOG = 8834;     // "&Clear log before each sync operation"

// The "Program" page (IDD_PROGRAM_PAGE).
inline constexpr int IDC_AUTOSTART = 999;
inline constexpr int IDC_PREFERRED_FOLDERS = 47945;
inline constexpr int IDC_ADD_FOLDER = 8833;
inline constexpr int IDC_REMOVE_FOLDER = 8840;

// The "Auto" page (IDD_AUTO_PAGE).
inline constexpr int IDC_REPEAT = 8820;  // "Run every"
inline constexpr int IDC_REPEAT_HOURS = 6021;
inline constexpr int IDC_REPEAT_MINUTES = 900;
inline constexpr int IDC_RUN_AT_START = 6032;  // "Run when this Program starts, delay "
inline constexpr int IDC_START_DELAY = 901;
inline constexpr int IDC_RUN_ON_DEVICE = 6031;        // "Run when device is connected"
inline constexpr int IDC_AUTO_CHECK = 1015;           // "Check"
inline constexpr int IDC_AUTO_CHECK_AND_SYNC = 1016;  // "Check and Sync"
inline constexpr int IDC_RESOLVE_CONFLICTS = 6015;
inline constexpr int IDC_PERCENT_LIMIT_ON = 8819;  // "Do not Sync if "
inline constexpr int IDC_PERCENT_LIMIT = 1008;
inline constexpr int IDC_USE_SCHEDULER = 6023;  // "Use Scheduler"
inline constexpr int IDC_SCHEDULE_KIND = 1306;
inline constexpr int IDC_CONFIGURE_SCHEDULE = 8833;  // "Configure..."

// The "Schedule Sync" dialog (IDD_SCHEDULE_SYNC).
inline constexpr int IDC_SCHEDULE_KINDS = 1001;
inline constexpr int IDC_START_TIME = 1035;
inline constexpr int IDC_START_DATE = 1049;
inline constexpr int IDC_END_DATE = 1051;
inline constexpr int IDC_DAILY_EVERY = 1004;  // "&Every"
inline constexpr int IDC_DAILY_DAYS = 1006;
inline constexpr int IDC_DAILY_DAYS_UNIT = 1013;
inline constexpr int IDC_DAILY_WEEKDAYS = 1036;  // "Weekdays"
inline constexpr int IDC_WEEKLY_LEAD = 1039;
inline constexpr int IDC_WEEKLY_WEEKS = 1037;
inline constexpr int IDC_WEEKLY_UNIT = 1052;
inline constexpr int IDC_WEEKLY_SUNDAY = 32953;  // "Sunday", the first of seven to 32959 "Saturday"
inline constexpr int IDC_MONTHLY_ON_THE = 1046;  // "On the"
inline constexpr int IDC_MONTHLY_ORDINAL = 1048;
inline constexpr int IDC_MONTHLY_WEEKDAY = 1050;
inline constexpr int IDC_MONTHLY_ON_DAY = 1014;  // "On day"
inline constexpr int IDC_MONTHLY_DAY = 1000;
inline constexpr int IDC_MONTHLY_LEAD = 1015;
inline constexpr int IDC_MONTHLY_JANUARY = 8842;  // "Jan", the first of twelve to 8853 "Dec"
inline constexpr int IDC_HOURLY_LEAD = 1058;
inline constexpr int IDC_HOURLY_HOURS = 1055;
inline constexpr int IDC_HOURLY_UNIT = 1054;
inline constexpr int IDC_HOURLY_WEEKDAYS_ONLY = 1057;  // "Weekdays only"
inline constexpr int IDC_SHOW_WARNING = 8819;          // "Show warning before start"

// The task-name dialog (IDD_TASK_NAME).
inline constexpr int IDC_TASK_NAME = 1306;

// The "Sync Container" dialog (IDD_SYNC_CONTAINER).
inline constexpr int IDC_CONTAINER_CHECK = 1015;           // "Check"
inline constexpr int IDC_CONTAINER_CHECK_AND_SYNC = 1016;  // "Check and Sync"
inline constexpr int IDC_CONTAINER_TASKS = 47945;

// The "Get Volume Name" dialog (IDD_GET_VOLUME_NAME).
inline constexpr int IDC_VOLUME_NAME = 1049;

// The start-up prompt; its Yes is IDOK (IDD_START_UP_PROMPT).
inline constexpr int IDC_PROMPT_NO = 7;
inline constexpr int IDC_DO_NOT_ASK = 8819;  // "Do not ask this question again"

// The about box (IDD_ABOUTBOX).
inline constexpr int IDC_VERSION_TEXT = 4003;
inline constexpr int IDC_SUPPORT_LINK = 1261;

// The please-wait window (IDD_PLEASE_WAIT).
inline constexpr int IDC_WAIT_TEXT = 1118;
inline constexpr int IDC_WAIT_PROGRESS = 1003;

// A task's window; its Browse and Sync Options buttons are handled as commands (IDD_TASK_WINDOW).
inline constexpr int IDC_BROWSE_LEFT = 6009;
inline constexpr int IDC_LEFT_FOLDER_BOX = 7016;
inline constexpr int IDC_SYNC_OPTIONS_BUTTON = 8833;
inline constexpr int IDC_RIGHT_FOLDER_BOX = 7015;
inline constexpr int IDC_BROWSE_RIGHT = 6011;
inline constexpr int IDC_LEFT_LABEL = 6019;
inline constexpr int IDC_RIGHT_LABEL = 6020;
inline constexpr int IDC_ITEM_TREE = 47945;
inline constexpr int IDC_ITEM_PROGRESS = 6024;
inline constexpr int IDC_STATUS_LINE = 6025;

// The main window's own child windows and status-bar panes.
inline constexpr int IDC_CAPTION_BAR = 5019;
inline constexpr int IDC_NAVIGATION_BAR = 7002;  // "Shortcuts"
inline constexpr int IDC_NAVIGATION_TABS = 2002;
inline constexpr int IDC_TASK_LIST = 2000;      // "Tasks"
inline constexpr int IDC_HISTORY_VIEW = 48006;  // "History"
inline constexpr int IDC_LOG_PANE = 7013;       // "Log Window"
inline constexpr int IDC_LOG_CONTROL = 48007;   // each task's log control in the log pane
inline constexpr int IDC_STATUS_PANE_MAIN = 7000;
inline constexpr int IDC_STATUS_PANE_EXTENDED = 7001;

namespace res {

// Every name above with its dialog, for the tests.
inline constexpr NamedControlId kControlIds[] = {
    {IDD_SYNC_OPTIONS_PAGE, "IDC_SYNC_TYPE_LIST", IDC_SYNC_TYPE_LIST},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_SPEED_LIST", IDC_SPEED_LIST},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_ALLOW_DELETIONS", IDC_ALLOW_DELETIONS},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_SAVE_DELETED", IDC_SAVE_DELETED},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_SHADOW_COPY", IDC_SHADOW_COPY},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_SOURCE_READ_ONLY", IDC_SOURCE_READ_ONLY},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_TARGET_READ_ONLY", IDC_TARGET_READ_ONLY},
    {IDD_SYNC_OPTIONS_PAGE, "IDC_CASE_SENSITIVE", IDC_CASE_SENSITIVE},
    {IDD_FILTERS_PAGE, "IDC_USE_EXCLUSION", IDC_USE_EXCLUSION},
    {IDD_FILTERS_PAGE, "IDC_USE_INCLUSION", IDC_USE_INCLUSION},
    {IDD_FILTERS_PAGE, "IDC_EXCLUSION_LIST", IDC_EXCLUSION_LIST},
    {IDD_FILTERS_PAGE, "IDC_INCLUSION_LIST", IDC_INCLUSION_LIST},
    {IDD_FILTERS_PAGE, "IDC_EXCLUSION_PRESETS", IDC_EXCLUSION_PRESETS},
    {IDD_FILTERS_PAGE, "IDC_INCLUSION_PRESETS", IDC_INCLUSION_PRESETS},
    {IDD_FILTERS_PAGE, "IDC_REMOVE_EXCLUSION", IDC_REMOVE_EXCLUSION},
    {IDD_FILTERS_PAGE, "IDC_REMOVE_INCLUSION", IDC_REMOVE_INCLUSION},
    {IDD_FILTERS_PAGE, "IDC_EXCLUDE_READONLY", IDC_EXCLUDE_READONLY},
    {IDD_FILTERS_PAGE, "IDC_EXCLUDE_SYSTEM", IDC_EXCLUDE_SYSTEM},
    {IDD_FILTERS_PAGE, "IDC_EXCLUDE_HIDDEN", IDC_EXCLUDE_HIDDEN},
    {IDD_FILTERS_PAGE, "IDC_EXCLUDE_EMPTY", IDC_EXCLUDE_EMPTY},
    {IDD_LOG_PAGE, "IDC_CREATE_LOG", IDC_CREATE_LOG},
    {IDD_LOG_PAGE, "IDC_DETAILED_LOG", IDC_DETAILED_LOG},
    {IDD_LOG_PAGE, "IDC_SUMMARY_LOG", IDC_SUMMARY_LOG},
    {IDD_LOG_PAGE, "IDC_CLEAR_LOG", IDC_CLEAR_LOG},
    {IDD_PROGRAM_PAGE, "IDC_AUTOSTART", IDC_AUTOSTART},
    {IDD_PROGRAM_PAGE, "IDC_PREFERRED_FOLDERS", IDC_PREFERRED_FOLDERS},
    {IDD_PROGRAM_PAGE, "IDC_ADD_FOLDER", IDC_ADD_FOLDER},
    {IDD_PROGRAM_PAGE, "IDC_REMOVE_FOLDER", IDC_REMOVE_FOLDER},
    {IDD_AUTO_PAGE, "IDC_REPEAT", IDC_REPEAT},
    {IDD_AUTO_PAGE, "IDC_REPEAT_HOURS", IDC_REPEAT_HOURS},
    {IDD_AUTO_PAGE, "IDC_REPEAT_MINUTES", IDC_REPEAT_MINUTES},
    {IDD_AUTO_PAGE, "IDC_RUN_AT_START", IDC_RUN_AT_START},
    {IDD_AUTO_PAGE, "IDC_START_DELAY", IDC_START_DELAY},
    {IDD_AUTO_PAGE, "IDC_RUN_ON_DEVICE", IDC_RUN_ON_DEVICE},
    {IDD_AUTO_PAGE, "IDC_AUTO_CHECK", IDC_AUTO_CHECK},
    {IDD_AUTO_PAGE, "IDC_AUTO_CHECK_AND_SYNC", IDC_AUTO_CHECK_AND_SYNC},
    {IDD_AUTO_PAGE, "IDC_RESOLVE_CONFLICTS", IDC_RESOLVE_CONFLICTS},
    {IDD_AUTO_PAGE, "IDC_PERCENT_LIMIT_ON", IDC_PERCENT_LIMIT_ON},
    {IDD_AUTO_PAGE, "IDC_PERCENT_LIMIT", IDC_PERCENT_LIMIT},
    {IDD_AUTO_PAGE, "IDC_USE_SCHEDULER", IDC_USE_SCHEDULER},
    {IDD_AUTO_PAGE, "IDC_SCHEDULE_KIND", IDC_SCHEDULE_KIND},
    {IDD_AUTO_PAGE, "IDC_CONFIGURE_SCHEDULE", IDC_CONFIGURE_SCHEDULE},
    {IDD_SCHEDULE_SYNC, "IDC_SCHEDULE_KINDS", IDC_SCHEDULE_KINDS},
    {IDD_SCHEDULE_SYNC, "IDC_START_TIME", IDC_START_TIME},
    {IDD_SCHEDULE_SYNC, "IDC_START_DATE", IDC_START_DATE},
    {IDD_SCHEDULE_SYNC, "IDC_END_DATE", IDC_END_DATE},
    {IDD_SCHEDULE_SYNC, "IDC_DAILY_EVERY", IDC_DAILY_EVERY},
    {IDD_SCHEDULE_SYNC, "IDC_DAILY_DAYS", IDC_DAILY_DAYS},
    {IDD_SCHEDULE_SYNC, "IDC_DAILY_DAYS_UNIT", IDC_DAILY_DAYS_UNIT},
    {IDD_SCHEDULE_SYNC, "IDC_DAILY_WEEKDAYS", IDC_DAILY_WEEKDAYS},
    {IDD_SCHEDULE_SYNC, "IDC_WEEKLY_LEAD", IDC_WEEKLY_LEAD},
    {IDD_SCHEDULE_SYNC, "IDC_WEEKLY_WEEKS", IDC_WEEKLY_WEEKS},
    {IDD_SCHEDULE_SYNC, "IDC_WEEKLY_UNIT", IDC_WEEKLY_UNIT},
    {IDD_SCHEDULE_SYNC, "IDC_WEEKLY_SUNDAY", IDC_WEEKLY_SUNDAY},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_ON_THE", IDC_MONTHLY_ON_THE},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_ORDINAL", IDC_MONTHLY_ORDINAL},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_WEEKDAY", IDC_MONTHLY_WEEKDAY},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_ON_DAY", IDC_MONTHLY_ON_DAY},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_DAY", IDC_MONTHLY_DAY},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_LEAD", IDC_MONTHLY_LEAD},
    {IDD_SCHEDULE_SYNC, "IDC_MONTHLY_JANUARY", IDC_MONTHLY_JANUARY},
    {IDD_SCHEDULE_SYNC, "IDC_HOURLY_LEAD", IDC_HOURLY_LEAD},
    {IDD_SCHEDULE_SYNC, "IDC_HOURLY_HOURS", IDC_HOURLY_HOURS},
    {IDD_SCHEDULE_SYNC, "IDC_HOURLY_UNIT", IDC_HOURLY_UNIT},
    {IDD_SCHEDULE_SYNC, "IDC_HOURLY_WEEKDAYS_ONLY", IDC_HOURLY_WEEKDAYS_ONLY},
    {IDD_SCHEDULE_SYNC, "IDC_SHOW_WARNING", IDC_SHOW_WARNING},
    {IDD_TASK_NAME, "IDC_TASK_NAME", IDC_TASK_NAME},
    {IDD_SYNC_CONTAINER, "IDC_CONTAINER_CHECK", IDC_CONTAINER_CHECK},
    {IDD_SYNC_CONTAINER, "IDC_CONTAINER_CHECK_AND_SYNC", IDC_CONTAINER_CHECK_AND_SYNC},
    {IDD_SYNC_CONTAINER, "IDC_CONTAINER_TASKS", IDC_CONTAINER_TASKS},
    {IDD_GET_VOLUME_NAME, "IDC_VOLUME_NAME", IDC_VOLUME_NAME},
    {IDD_START_UP_PROMPT, "IDC_PROMPT_NO", IDC_PROMPT_NO},
    {IDD_START_UP_PROMPT, "IDC_DO_NOT_ASK", IDC_DO_NOT_ASK},
    {IDD_ABOUTBOX, "IDC_VERSION_TEXT", IDC_VERSION_TEXT},
    {IDD_ABOUTBOX, "IDC_SUPPORT_LINK", IDC_SUPPORT_LINK},
    {IDD_PLEASE_WAIT, "IDC_WAIT_TEXT", IDC_WAIT_TEXT},
    {IDD_PLEASE_WAIT, "IDC_WAIT_PROGRESS", IDC_WAIT_PROGRESS},
    {IDD_TASK_WINDOW, "IDC_BROWSE_LEFT", IDC_BROWSE_LEFT},
    {IDD_TASK_WINDOW, "IDC_LEFT_FOLDER_BOX", IDC_LEFT_FOLDER_BOX},
    {IDD_TASK_WINDOW, "IDC_SYNC_OPTIONS_BUTTON", IDC_SYNC_OPTIONS_BUTTON},
    {IDD_TASK_WINDOW, "IDC_RIGHT_FOLDER_BOX", IDC_RIGHT_FOLDER_BOX},
    {IDD_TASK_WINDOW, "IDC_BROWSE_RIGHT", IDC_BROWSE_RIGHT},
    {IDD_TASK_WINDOW, "IDC_LEFT_LABEL", IDC_LEFT_LABEL},
    {IDD_TASK_WINDOW, "IDC_RIGHT_LABEL", IDC_RIGHT_LABEL},
    {IDD_TASK_WINDOW, "IDC_ITEM_TREE", IDC_ITEM_TREE},
    {IDD_TASK_WINDOW, "IDC_ITEM_PROGRESS", IDC_ITEM_PROGRESS},
    {IDD_TASK_WINDOW, "IDC_STATUS_LINE", IDC_STATUS_LINE},
    {0, "IDC_CAPTION_BAR", IDC_CAPTION_BAR},
    {0, "IDC_NAVIGATION_BAR", IDC_NAVIGATION_BAR},
    {0, "IDC_NAVIGATION_TABS", IDC_NAVIGATION_TABS},
    {0, "IDC_TASK_LIST", IDC_TASK_LIST},
    {0, "IDC_HISTORY_VIEW", IDC_HISTORY_VIEW},
    {0, "IDC_LOG_PANE", IDC_LOG_PANE},
    {0, "IDC_LOG_CONTROL", IDC_LOG_CONTROL},
    {0, "IDC_STATUS_PANE_MAIN", IDC_STATUS_PANE_MAIN},
    {0, "IDC_STATUS_PANE_EXTENDED", IDC_STATUS_PANE_EXTENDED},
};

}  // namespace res
