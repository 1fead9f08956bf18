#pragma once
// The string table's ids (resources/string_table.cpp), each under one name that says what
// its text says. A command's tooltip is the string under the command's own id
// (resources/command_ids.h) and has no name here.
//
//   MessageBox(owner, LoadResString(IDS_TASK_EXISTS), LoadResString(IDS_APP_TITLE), MB_OK);

#include "platform/core/win_types.h"
#include "resources/resource_id.h"

// The main window and its bars
inline constexpr UINT IDS_APP_TITLE = 57344;           // "Quarrybend Sync VEXO"
inline constexpr UINT IDS_PRODUCT_NAME = 5069;         // "Quarrybend Sync"
inline constexpr UINT IDS_HIDE_WINDOW = 5066;          // "Hide Window"
inline constexpr UINT IDS_TRAY_TIP = 33000;            // "Quarrybend Sync"
inline constexpr UINT IDS_NO_ACTION = 65051;           // "No action" and blanks
inline constexpr UINT IDS_ONE_TASK_ACTIVE = 65300;     // "Sync cannot close because there is a task active. Do ..."
inline constexpr UINT IDS_TASKS_ACTIVE = 65301;        // "Sync cannot close because there are currently %lu ta ..."
inline constexpr UINT IDS_PLEASE_WAIT = 65328;         // "Please wait. Program is busy. It may take a little w ..."
inline constexpr UINT IDS_APP_BUTTON_TIP = 11285;      // "Click here for the task menu"
inline constexpr UINT IDS_HOME = 11304;                // "Home"
inline constexpr UINT IDS_TOOLS_CATEGORY = 11311;      // "Tools"
inline constexpr UINT IDS_VIEW_PANEL = 11312;          // "View"
inline constexpr UINT IDS_ACTION_PANEL = 11322;        // "Action"
inline constexpr UINT IDS_CLEAR = 11328;               // "Clear"
inline constexpr UINT IDS_GROUP_ACTION_PANEL = 11329;  // "Group Action"
inline constexpr UINT IDS_TOOLS_PANEL = 11333;         // "Tools"
inline constexpr UINT IDS_STYLES = 11338;              // "Styles"
inline constexpr UINT IDS_STOP = 11358;                // "Stop"
inline constexpr UINT IDS_SHORTCUTS = 11345;           // "Shortcuts"
inline constexpr UINT IDS_TASKS = 11346;               // "Tasks"
inline constexpr UINT IDS_HISTORY = 11347;             // "History"
inline constexpr UINT IDS_SELECT_TASK_FIRST = 11348;   // "Create or select a task first..."
inline constexpr UINT IDS_TIP = 11349;                 // "Tip"
inline constexpr UINT IDS_WARNING = 11350;             // "Warning"
inline constexpr UINT IDS_DEFAULT_FONT_FACE = 65515;   // (no text: looked up, and empty by design)

// Main-window commands
inline constexpr UINT IDS_RENAME_TASK_TITLE = 11351;      // "Rename Task"
inline constexpr UINT IDS_COPY_TASK_TO_TITLE = 11352;     // "Copy Task To"
inline constexpr UINT IDS_ASK_DELETE_HISTORY = 11353;     // "Do you want to delete History file %s?"
inline constexpr UINT IDS_NO_HISTORY = 11354;             // "History file does not exist"
inline constexpr UINT IDS_HISTORY_NOT_DELETED = 11355;    // "Failed to delete History file"
inline constexpr UINT IDS_TASK_LIST_FILE_TITLE = 11356;   // "Get Task List File Name"
inline constexpr UINT IDS_TASK_LIST_FILE_FILTER = 65302;  // "Task List File (*.tle)|*.tle|"
inline constexpr UINT IDS_ASK_OVERWRITE = 65097;          // "The file '%s' already exists. Do you want to overwri ..."
inline constexpr UINT IDS_TEMPLATE_FILE_FILTER = 48277;   // "Task Template File|*.zvt|All Files (*.*)|*.*|"

// The task list
inline constexpr UINT IDS_TASK_LIST_COLUMN_TASK = 11100;            // "Task"
inline constexpr UINT IDS_TASK_LIST_COLUMN_AUTO = 11101;            // "Auto"
inline constexpr UINT IDS_TASK_LIST_COLUMN_LEFT_FOLDER = 11102;     // "Left Folder"
inline constexpr UINT IDS_TASK_LIST_COLUMN_RIGHT_FOLDER = 11103;    // "Right Folder"
inline constexpr UINT IDS_TASK_LIST_COLUMN_LAST_RUN_TIME = 11104;   // "Last Run Time"
inline constexpr UINT IDS_TASK_LIST_COLUMN_LAST_RUN_FROM = 11105;   // "Last Run From"
inline constexpr UINT IDS_TASK_LIST_COLUMN_LAST_SYNC_TYPE = 11106;  // "Last Sync Type"
inline constexpr UINT IDS_LOADING_TASKS = 11107;                    // "Loading tasks"
inline constexpr UINT IDS_RUN_FROM_TIMER = 11041;                   // "TIMER"
inline constexpr UINT IDS_RUN_FROM_CONTAINER = 11042;               // "CONTAINER"
inline constexpr UINT IDS_RUN_FROM_SCHEDULER = 11043;               // "SCHEDULER"
inline constexpr UINT IDS_RUN_FROM_AUTO_START = 11369;              // "AUTO START"
inline constexpr UINT IDS_RUN_FROM_AUTO_CONNECT = 11370;            // "AUTO CONNECT"
// The sync types' names, in type order: IDS_SYNC_TYPE_MIRROR + type.
inline constexpr UINT IDS_SYNC_TYPE_MIRROR = 11111;                // "Mirror"
inline constexpr UINT IDS_SYNC_TYPE_LEFT_TO_RIGHT = 11112;         // "Sync from Left to Right"
inline constexpr UINT IDS_SYNC_TYPE_RIGHT_TO_LEFT = 11113;         // "Sync from Right to Left"
inline constexpr UINT IDS_SYNC_TYPE_BACKUP_LEFT_TO_RIGHT = 11114;  // "Back up from Left to Right"
inline constexpr UINT IDS_SYNC_TYPE_BACKUP_RIGHT_TO_LEFT = 11115;  // "Back up from Right to Left"
inline constexpr UINT IDS_CHECK_SUFFIX = 11116;                    // " (Check)"
inline constexpr UINT IDS_CHECKING = 65067;                        // "Checking"
inline constexpr UINT IDS_SYNCHRONIZING = 65068;                   // "Synchronizing"
inline constexpr UINT IDS_REMOVING_TASK = 65069;                   // "Removing task"
inline constexpr UINT IDS_RENAMING_TASK = 65169;                   // "Renaming task"
inline constexpr UINT IDS_NO_TASK = 65072;                         // "No task" and blanks
inline constexpr UINT IDS_FILE_DOES_NOT_EXIST = 65406;             // "The specified file '%s' does not exist"
inline constexpr UINT IDS_BUSY_WILL_CANCEL = 11109;    // "%s won't start because it is busy. The task will be ..."
inline constexpr UINT IDS_BUSY_WILL_RERUN = 11371;     // "%s won't start because it is busy. The task will rerun."
inline constexpr UINT IDS_BUSY_WONT_CLEAR = 11110;     // "%s won't clear because it is busy. Stop the task first."
inline constexpr UINT IDS_BUSY_TRY_LATER = 11138;      // "%s is busy.  Try it later!"
inline constexpr UINT IDS_DELETE_TASK_FAILED = 11139;  // "Failed to delete task %s."
inline constexpr UINT IDS_RENAME_TASK_FAILED = 11140;  // "Failed to rename task %s."
inline constexpr UINT IDS_COPY_TASK_FAILED = 11141;    // "Failed to copy task."
inline constexpr UINT IDS_ASK_DELETE_TASK = 11142;     // "Do you want to delete task %s?"
inline constexpr UINT IDS_ASK_DELETE_BACKUP_FOLDERS = 11117;       // "Do you want to delete Backup folders %s and %s?"
inline constexpr UINT IDS_ASK_DELETE_LEFT_BACKUP_FOLDER = 11118;   // "Do you want to delete Backup folder %s?"
inline constexpr UINT IDS_ASK_DELETE_RIGHT_BACKUP_FOLDER = 11119;  // "Do you want to delete Backup folder %s?"
inline constexpr UINT IDS_NO_BACKUP_FOLDERS = 11120;               // "Backup folders do not exist."
inline constexpr UINT IDS_BACKUP_FOLDERS_NOT_DELETED = 11121;      // "Failed to delete both folders."
inline constexpr UINT IDS_BACKUP_FOLDER_NOT_DELETED = 11122;       // "Failed to delete folder %s."
inline constexpr UINT IDS_ASK_DELETE_CATALOGS = 11123;             // "Do you want to delete Catalogs %s and %s?"
inline constexpr UINT IDS_ASK_DELETE_CATALOG = 11124;              // "Do you want to delete Catalog %s?"
inline constexpr UINT IDS_NO_CATALOGS = 11125;                     // "Catalogs do not exist."
inline constexpr UINT IDS_CATALOGS_NOT_DELETED = 11126;            // "Failed to delete both Catalogs."
inline constexpr UINT IDS_CATALOG_NOT_DELETED = 11127;             // "Failed to delete Catalog %s."
inline constexpr UINT IDS_ASK_DELETE_CATALOG_FOLDERS = 11128;      // "Do you want to delete Catalog folders %s and %s?"
inline constexpr UINT IDS_ASK_DELETE_CATALOG_FOLDER = 11129;       // "Do you want to delete Catalog folder %s?"
inline constexpr UINT IDS_NO_CATALOG_FOLDERS = 11130;              // "Catalog folders do not exist."
inline constexpr UINT IDS_CATALOG_FOLDERS_NOT_DELETED = 11131;     // "Failed to delete both folders."
inline constexpr UINT IDS_CATALOG_FOLDER_NOT_DELETED = 11132;      // "Failed to delete folder %s."
inline constexpr UINT IDS_ASK_DELETE_LOG_FILE = 11133;             // "Do you want to delete Log file %s?"
inline constexpr UINT IDS_NO_RIGHT_LOG_FILE = 11134;               // "Right Log file does not exist."
inline constexpr UINT IDS_RIGHT_LOG_FILE_NOT_DELETED = 11135;      // "Failed to delete Right Log file."
inline constexpr UINT IDS_NO_LEFT_LOG_FILE = 11136;                // "Left Log file does not exist."
inline constexpr UINT IDS_LEFT_LOG_FILE_NOT_DELETED = 11137;       // "Failed to delete Left Log file."

// The task window
// The item tree's column titles, in column order.
inline constexpr UINT IDS_ITEM_COLUMN_NAME = 11224;          // "Name"
inline constexpr UINT IDS_ITEM_COLUMN_LEFT_SIZE = 11225;     // "L Size"
inline constexpr UINT IDS_ITEM_COLUMN_LEFT_DATE = 11226;     // "L Date"
inline constexpr UINT IDS_ITEM_COLUMN_ACTION = 11227;        // "Action/Results"
inline constexpr UINT IDS_ITEM_COLUMN_RIGHT_SIZE = 11228;    // "R Size"
inline constexpr UINT IDS_ITEM_COLUMN_RIGHT_DATE = 11229;    // "R Date"
inline constexpr UINT IDS_ITEM_COLUMN_STATUS = 11230;        // "Status"
inline constexpr UINT IDS_NOT_EXISTS = 11201;                // "not exists"
inline constexpr UINT IDS_FOLDER = 11202;                    // "folder"
inline constexpr UINT IDS_DELETED = 11203;                   // "Deleted"
inline constexpr UINT IDS_ITEM_COUNT = 11204;                // "%u items"
inline constexpr UINT IDS_BROWSE_RIGHT_HELP = 11219;         // "Click this button to select Right Folder."
inline constexpr UINT IDS_LEFT_FOLDER_BOX_HELP = 11220;      // "Type or choose the Left folder."
inline constexpr UINT IDS_RIGHT_FOLDER_BOX_HELP = 11221;     // "Type or choose the Right folder."
inline constexpr UINT IDS_BROWSE_LEFT_HELP = 11222;          // "Click this button to select Left Folder."
inline constexpr UINT IDS_SYNC_OPTIONS_BUTTON_HELP = 11223;  // "Click this button to change the settings. The icon ..."
inline constexpr UINT IDS_LEFT_FOLDER_TITLE = 11173;         // "Left Folder"
inline constexpr UINT IDS_RIGHT_FOLDER_TITLE = 11216;        // "Right Folder"
inline constexpr UINT IDS_CLEARED_BY_FOLDER_CHANGE = 11174;  // "All items have been removed due to folder change"
inline constexpr UINT IDS_CLEARED_BY_USER = 11208;           // "All items have been removed by user"
inline constexpr UINT IDS_CLEARED_BY_TYPE_CHANGE = 11217;    // "All items have been removed due to sync type change"
inline constexpr UINT IDS_CLEARED_BY_OPTION_CHANGE = 11218;  // "All items have been removed due to sync option change"
inline constexpr UINT IDS_ASK_DELETE_FOLDER = 11175;         // "Do you want to delete folder %s?"
inline constexpr UINT IDS_ASK_DELETE_FILE = 11176;           // "Do you want to delete file %s?"
inline constexpr UINT IDS_ITEM_NOT_DELETED = 11177;          // "Failed to Delete %s (by %s)"
inline constexpr UINT IDS_ITEM_DELETED_BY_USER = 11178;      // "Delete %s by user %s"
inline constexpr UINT IDS_ASK_DELETE_BOTH_ITEMS = 11179;     // "Do you want to delete %s and %s?"
inline constexpr UINT IDS_ASK_DELETE_ITEMS = 11180;          // "Do you want to delete %u items?"
inline constexpr UINT IDS_RESUME_HINT = 11205;             // "Click the Sync icon to resume.  Click the Check icon ..."
inline constexpr UINT IDS_CHECK_HINT = 11206;              // "Click the Check icon to start."
inline constexpr UINT IDS_SYNC_HINT = 11207;               // "Click the Sync icon to synchronize folders. Click th ..."
inline constexpr UINT IDS_SPECIFY_LEFT_FOLDER = 11209;     // "Please specify left folder first..."
inline constexpr UINT IDS_SPECIFY_RIGHT_FOLDER = 11210;    // "Please specify right folder first..."
inline constexpr UINT IDS_ASK_CREATE_LEFT_FOLDER = 11211;  // "Left folder does not exist. Do you want to create it?"
inline constexpr UINT IDS_ASK_CREATE_RIGHT_FOLDER = 11212;  // "Right folder does not exist. Do you want to create it?"
inline constexpr UINT IDS_SAME_FOLDER = 11213;              // "Can not sync with the same folder..."
inline constexpr UINT IDS_STOP_TO_CANCEL_TIP = 11214;       // "Click the Stop icon to Cancel the operation..."
inline constexpr UINT IDS_STOP_TO_PAUSE_TIP = 11215;        // "Click the Stop icon to Pause the operation..."
inline constexpr UINT IDS_LEFT_FOLDER_MISSING = 11305;      // "Left folder does not exist..."
inline constexpr UINT IDS_RIGHT_FOLDER_MISSING = 11306;     // "Right folder does not exist..."

// The history view
inline constexpr UINT IDS_HISTORY_COLUMN_TASK = 48394;      // "Task"
inline constexpr UINT IDS_HISTORY_COLUMN_COMMAND = 48395;   // "Command"
inline constexpr UINT IDS_HISTORY_COLUMN_START = 48396;     // "Start"
inline constexpr UINT IDS_HISTORY_COLUMN_FINISH = 48397;    // "Finish"
inline constexpr UINT IDS_HISTORY_COLUMN_FROM = 48398;      // "From"
inline constexpr UINT IDS_HISTORY_COLUMN_STATUS = 48399;    // "Status"
inline constexpr UINT IDS_HISTORY_COLUMN_COMMENTS = 48400;  // "Comments"

// The option pages and sheets
inline constexpr UINT IDS_DEFAULT_OPTIONS_TITLE = 48435;  // "Default Options"
inline constexpr UINT IDS_SYNC_OPTIONS_TITLE = 9004;      // "Sync Options"
// The help of the type list, in type order: IDS_SYNC_TYPE_MIRROR_HELP + type.
inline constexpr UINT IDS_SYNC_TYPE_MIRROR_HELP = 11258;  // "Mirror will keep left and right folder in sync when ..."
inline constexpr UINT IDS_SYNC_TYPE_LEFT_TO_RIGHT_HELP = 11259;  // "Left to Right Sync will check files before cop ..."
inline constexpr UINT IDS_SYNC_TYPE_RIGHT_TO_LEFT_HELP = 11260;  // "Right to Left Sync will check files before cop ..."
inline constexpr UINT IDS_SYNC_TYPE_BACKUP_LEFT_TO_RIGHT_HELP = 11261;  // "Left to Right Backup will copy files fr ..."
inline constexpr UINT IDS_SYNC_TYPE_BACKUP_RIGHT_TO_LEFT_HELP = 11262;  // "Right to Left Backup will copy files fr ..."
inline constexpr UINT IDS_ALLOW_DELETIONS_MIRROR_HELP = 11263;  // "If the option is checked off, file has been del ..."
inline constexpr UINT IDS_ALLOW_DELETIONS_HELP = 11264;  // "If the option is checked off, file has been deleted ..."
inline constexpr UINT IDS_SAVE_DELETED_HELP = 11265;     // "If the option is checked off, file will be deleted o ..."
inline constexpr UINT IDS_SHADOW_COPY_HELP = 11266;      // "If the option is checked off, the file that locked u ..."
inline constexpr UINT IDS_SOURCE_DATA_IN_PROGRAM_FOLDER_HELP = 11267;  // "If the option is checked off, the catalo ..."
inline constexpr UINT IDS_SOURCE_DATA_IN_APPDATA_HELP = 11268;  // "If the option is checked off, the catalog file, ..."
inline constexpr UINT IDS_TARGET_DATA_IN_PROGRAM_FOLDER_HELP = 11269;  // "If the option is checked off, the catalo ..."
inline constexpr UINT IDS_TARGET_DATA_IN_APPDATA_HELP = 11270;  // "If the option is checked off, the catalog file, ..."
inline constexpr UINT IDS_CASE_SENSITIVE_HELP = 11271;     // "If the option is checked off, files and folders comp ..."
inline constexpr UINT IDS_USE_EXCLUSION_HELP = 11233;      // "When this option is checked, files and folders that ..."
inline constexpr UINT IDS_USE_INCLUSION_HELP = 11234;      // "When this option is checked, only the files and fold ..."
inline constexpr UINT IDS_EXCLUSION_LIST_HELP = 11235;     // "The exclusion list. *.tmp leaves out every file whos ..."
inline constexpr UINT IDS_INCLUSION_LIST_HELP = 11236;     // "The inclusion list, for example *.doc or *.jpg. Name ..."
inline constexpr UINT IDS_EXCLUSION_PRESETS_HELP = 11237;  // "Adds to the exclusion list: *.tmp files, a folder yo ..."
inline constexpr UINT IDS_INCLUSION_PRESETS_HELP = 11238;  // "Adds to the inclusion list: common picture, document ..."
inline constexpr UINT IDS_REMOVE_EXCLUSION_HELP = 11239;   // "Removes the selected entries from the exclusion list."
inline constexpr UINT IDS_REMOVE_INCLUSION_HELP = 11240;   // "Removes the selected entries from the inclusion list."
inline constexpr UINT IDS_EXCLUDE_READONLY_HELP = 11241;   // "When this option is checked, read-only files are lef ..."
inline constexpr UINT IDS_EXCLUDE_SYSTEM_HELP = 11242;     // "When this option is checked, system entries are left ..."
inline constexpr UINT IDS_EXCLUDE_HIDDEN_HELP = 11243;     // "When this option is checked, hidden files and folder ..."
inline constexpr UINT IDS_EXCLUDE_EMPTY_HELP = 11244;      // "When this option is checked, folders that hold no fi ..."
inline constexpr UINT IDS_CREATE_LOG_HELP = 11254;         // "When this option is checked off, each folder has its ..."
inline constexpr UINT IDS_SUMMARY_LOG_HELP = 11255;        // "When this option is selected, it shows summary of sy ..."
inline constexpr UINT IDS_DETAILED_LOG_HELP = 11256;       // "When this option is selected, it shows details of sy ..."
inline constexpr UINT IDS_CLEAR_LOG_HELP = 11257;          // "Check off this option if you want to clear the logs ..."

// Dialogs
inline constexpr UINT IDS_ENTER_TASK_NAME = 48004;       // "Please enter task name."
inline constexpr UINT IDS_TASK_EXISTS = 11275;           // "The task already exists!"
inline constexpr UINT IDS_ENTER_VOLUME_NAME = 11272;     // "Enter volume name"
inline constexpr UINT IDS_VOLUME_NAMED = 11273;          // "Successully set volume '%s' name as '%s"
inline constexpr UINT IDS_VOLUME_NOT_NAMED = 11274;      // "Failed to set volume '%s' name as '%s'"
inline constexpr UINT IDS_ONLY_REMOVABLE = 65500;        // "Please check the selection again.  You can only set ..."
inline constexpr UINT IDS_BUILD_TEXT = 43401;            // "0020300711"
inline constexpr UINT IDS_VERSION_FORMAT = 43402;        // "Sync VEXO Version %s (Build %s)"
inline constexpr UINT IDS_VERSION_TEXT = 43403;          // "2.6"
inline constexpr UINT IDS_FILES_IDENTICAL = 11357;       // "Files are identical"
inline constexpr UINT IDS_PRINT_FILE_EXTENSION = 61509;  // "pdf"
inline constexpr UINT IDS_PRINT_FILE_NAME = 61510;       // "Output.pdf"
inline constexpr UINT IDS_PRINT_FILE_FILTER = 61511;     // "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*|"
inline constexpr UINT IDS_PRINT_TO_FILE_TITLE = 61512;   // "Print to File"

// Tasks, templates, runs and logs
inline constexpr UINT IDS_INVALID_TASK_FILE = 6017;        // "Invalid or empty task script file!"
inline constexpr UINT IDS_TASK_FILE_WRITE_FAILED = 11099;  // "Failed to write to task file '%s'"
inline constexpr UINT IDS_TASK_FOLDER_LOCKED = 11086;      // "Task '%s' is busy due to source or target folder loc ..."
inline constexpr UINT IDS_TEMPLATE_PHOTOS = 47959;         // "Photos"
inline constexpr UINT IDS_TEMPLATE_DOCUMENTS = 47957;      // "Documents"
inline constexpr UINT IDS_TEMPLATE_FAVORITES = 47960;      // "Favorites"
inline constexpr UINT IDS_TEMPLATE_VIDEOS = 48312;         // "Videos"
inline constexpr UINT IDS_TEMPLATE_MUSIC = 47958;          // "Music"
inline constexpr UINT IDS_TEMPLATE_WINMAIL = 47999;        // "WinMail"
inline constexpr UINT IDS_TEMPLATE_OUTLOOK = 5088;         // "Outlook"
inline constexpr UINT IDS_TEMPLATE_OUTLOOK_EXPRESS_MESSAGES = 47962;  // "Outlook Express Messages"
inline constexpr UINT IDS_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS = 47967;  // "Outlook Express Contacts"
inline constexpr UINT IDS_TEMPLATE_REGISTRY = 48314;                  // "Registry"
inline constexpr UINT IDS_RUN_START_BANNER = 48014;                   // "--- %s - %s ---"
inline constexpr UINT IDS_RUN_END_BANNER = 48021;                     // "--- %s Completed - %s ---"
inline constexpr UINT IDS_LOG_TOO_LONG = 48216;  // "Log file length has exceeded the maximum limit.  Do ..."
inline constexpr UINT IDS_BYTES = 65492;         // "bytes"
inline constexpr UINT IDS_KB = 65491;            // "KB"
inline constexpr UINT IDS_MB = 65493;            // "MB"
inline constexpr UINT IDS_GB = 65499;            // "GB"

namespace res {

// Every name above, for the tests.
inline constexpr NamedId kStringIds[] = {
    {"IDS_APP_TITLE", IDS_APP_TITLE},
    {"IDS_PRODUCT_NAME", IDS_PRODUCT_NAME},
    {"IDS_HIDE_WINDOW", IDS_HIDE_WINDOW},
    {"IDS_TRAY_TIP", IDS_TRAY_TIP},
    {"IDS_NO_ACTION", IDS_NO_ACTION},
    {"IDS_ONE_TASK_ACTIVE", IDS_ONE_TASK_ACTIVE},
    {"IDS_TASKS_ACTIVE", IDS_TASKS_ACTIVE},
    {"IDS_PLEASE_WAIT", IDS_PLEASE_WAIT},
    {"IDS_APP_BUTTON_TIP", IDS_APP_BUTTON_TIP},
    {"IDS_HOME", IDS_HOME},
    {"IDS_TOOLS_CATEGORY", IDS_TOOLS_CATEGORY},
    {"IDS_VIEW_PANEL", IDS_VIEW_PANEL},
    {"IDS_ACTION_PANEL", IDS_ACTION_PANEL},
    {"IDS_CLEAR", IDS_CLEAR},
    {"IDS_GROUP_ACTION_PANEL", IDS_GROUP_ACTION_PANEL},
    {"IDS_TOOLS_PANEL", IDS_TOOLS_PANEL},
    {"IDS_STYLES", IDS_STYLES},
    {"IDS_STOP", IDS_STOP},
    {"IDS_SHORTCUTS", IDS_SHORTCUTS},
    {"IDS_TASKS", IDS_TASKS},
    {"IDS_HISTORY", IDS_HISTORY},
    {"IDS_SELECT_TASK_FIRST", IDS_SELECT_TASK_FIRST},
    {"IDS_TIP", IDS_TIP},
    {"IDS_WARNING", IDS_WARNING},
    {"IDS_DEFAULT_FONT_FACE", IDS_DEFAULT_FONT_FACE},
    {"IDS_RENAME_TASK_TITLE", IDS_RENAME_TASK_TITLE},
    {"IDS_COPY_TASK_TO_TITLE", IDS_COPY_TASK_TO_TITLE},
    {"IDS_ASK_DELETE_HISTORY", IDS_ASK_DELETE_HISTORY},
    {"IDS_NO_HISTORY", IDS_NO_HISTORY},
    {"IDS_HISTORY_NOT_DELETED", IDS_HISTORY_NOT_DELETED},
    {"IDS_TASK_LIST_FILE_TITLE", IDS_TASK_LIST_FILE_TITLE},
    {"IDS_TASK_LIST_FILE_FILTER", IDS_TASK_LIST_FILE_FILTER},
    {"IDS_ASK_OVERWRITE", IDS_ASK_OVERWRITE},
    {"IDS_TEMPLATE_FILE_FILTER", IDS_TEMPLATE_FILE_FILTER},
    {"IDS_TASK_LIST_COLUMN_TASK", IDS_TASK_LIST_COLUMN_TASK},
    {"IDS_TASK_LIST_COLUMN_AUTO", IDS_TASK_LIST_COLUMN_AUTO},
    {"IDS_TASK_LIST_COLUMN_LEFT_FOLDER", IDS_TASK_LIST_COLUMN_LEFT_FOLDER},
    {"IDS_TASK_LIST_COLUMN_RIGHT_FOLDER", IDS_TASK_LIST_COLUMN_RIGHT_FOLDER},
    {"IDS_TASK_LIST_COLUMN_LAST_RUN_TIME", IDS_TASK_LIST_COLUMN_LAST_RUN_TIME},
    {"IDS_TASK_LIST_COLUMN_LAST_RUN_FROM", IDS_TASK_LIST_COLUMN_LAST_RUN_FROM},
    {"IDS_TASK_LIST_COLUMN_LAST_SYNC_TYPE", IDS_TASK_LIST_COLUMN_LAST_SYNC_TYPE},
    {"IDS_LOADING_TASKS", IDS_LOADING_TASKS},
    {"IDS_RUN_FROM_TIMER", IDS_RUN_FROM_TIMER},
    {"IDS_RUN_FROM_CONTAINER", IDS_RUN_FROM_CONTAINER},
    {"IDS_RUN_FROM_SCHEDULER", IDS_RUN_FROM_SCHEDULER},
    {"IDS_RUN_FROM_AUTO_START", IDS_RUN_FROM_AUTO_START},
    {"IDS_RUN_FROM_AUTO_CONNECT", IDS_RUN_FROM_AUTO_CONNECT},
    {"IDS_SYNC_TYPE_MIRROR", IDS_SYNC_TYPE_MIRROR},
    {"IDS_SYNC_TYPE_LEFT_TO_RIGHT", IDS_SYNC_TYPE_LEFT_TO_RIGHT},
    {"IDS_SYNC_TYPE_RIGHT_TO_LEFT", IDS_SYNC_TYPE_RIGHT_TO_LEFT},
    {"IDS_SYNC_TYPE_BACKUP_LEFT_TO_RIGHT", IDS_SYNC_TYPE_BACKUP_LEFT_TO_RIGHT},
    {"IDS_SYNC_TYPE_BACKUP_RIGHT_TO_LEFT", IDS_SYNC_TYPE_BACKUP_RIGHT_TO_LEFT},
    {"IDS_CHECK_SUFFIX", IDS_CHECK_SUFFIX},
    {"IDS_CHECKING", IDS_CHECKING},
    {"IDS_SYNCHRONIZING", IDS_SYNCHRONIZING},
    {"IDS_REMOVING_TASK", IDS_REMOVING_TASK},
    {"IDS_RENAMING_TASK", IDS_RENAMING_TASK},
    {"IDS_NO_TASK", IDS_NO_TASK},
    {"IDS_FILE_DOES_NOT_EXIST", IDS_FILE_DOES_NOT_EXIST},
    {"IDS_BUSY_WILL_CANCEL", IDS_BUSY_WILL_CANCEL},
    {"IDS_BUSY_WILL_RERUN", IDS_BUSY_WILL_RERUN},
    {"IDS_BUSY_WONT_CLEAR", IDS_BUSY_WONT_CLEAR},
    {"IDS_BUSY_TRY_LATER", IDS_BUSY_TRY_LATER},
    {"IDS_DELETE_TASK_FAILED", IDS_DELETE_TASK_FAILED},
    {"IDS_RENAME_TASK_FAILED", IDS_RENAME_TASK_FAILED},
    {"IDS_COPY_TASK_FAILED", IDS_COPY_TASK_FAILED},
    {"IDS_ASK_DELETE_TASK", IDS_ASK_DELETE_TASK},
    {"IDS_ASK_DELETE_BACKUP_FOLDERS", IDS_ASK_DELETE_BACKUP_FOLDERS},
    {"IDS_ASK_DELETE_LEFT_BACKUP_FOLDER", IDS_ASK_DELETE_LEFT_BACKUP_FOLDER},
    {"IDS_ASK_DELETE_RIGHT_BACKUP_FOLDER", IDS_ASK_DELETE_RIGHT_BACKUP_FOLDER},
    {"IDS_NO_BACKUP_FOLDERS", IDS_NO_BACKUP_FOLDERS},
    {"IDS_BACKUP_FOLDERS_NOT_DELETED", IDS_BACKUP_FOLDERS_NOT_DELETED},
    {"IDS_BACKUP_FOLDER_NOT_DELETED", IDS_BACKUP_FOLDER_NOT_DELETED},
    {"IDS_ASK_DELETE_CATALOGS", IDS_ASK_DELETE_CATALOGS},
    {"IDS_ASK_DELETE_CATALOG", IDS_ASK_DELETE_CATALOG},
    {"IDS_NO_CATALOGS", IDS_NO_CATALOGS},
    {"IDS_CATALOGS_NOT_DELETED", IDS_CATALOGS_NOT_DELETED},
    {"IDS_CATALOG_NOT_DELETED", IDS_CATALOG_NOT_DELETED},
    {"IDS_ASK_DELETE_CATALOG_FOLDERS", IDS_ASK_DELETE_CATALOG_FOLDERS},
    {"IDS_ASK_DELETE_CATALOG_FOLDER", IDS_ASK_DELETE_CATALOG_FOLDER},
    {"IDS_NO_CATALOG_FOLDERS", IDS_NO_CATALOG_FOLDERS},
    {"IDS_CATALOG_FOLDERS_NOT_DELETED", IDS_CATALOG_FOLDERS_NOT_DELETED},
    {"IDS_CATALOG_FOLDER_NOT_DELETED", IDS_CATALOG_FOLDER_NOT_DELETED},
    {"IDS_ASK_DELETE_LOG_FILE", IDS_ASK_DELETE_LOG_FILE},
    {"IDS_NO_RIGHT_LOG_FILE", IDS_NO_RIGHT_LOG_FILE},
    {"IDS_RIGHT_LOG_FILE_NOT_DELETED", IDS_RIGHT_LOG_FILE_NOT_DELETED},
    {"IDS_NO_LEFT_LOG_FILE", IDS_NO_LEFT_LOG_FILE},
    {"IDS_LEFT_LOG_FILE_NOT_DELETED", IDS_LEFT_LOG_FILE_NOT_DELETED},
    {"IDS_ITEM_COLUMN_NAME", IDS_ITEM_COLUMN_NAME},
    {"IDS_ITEM_COLUMN_LEFT_SIZE", IDS_ITEM_COLUMN_LEFT_SIZE},
    {"IDS_ITEM_COLUMN_LEFT_DATE", IDS_ITEM_COLUMN_LEFT_DATE},
    {"IDS_ITEM_COLUMN_ACTION", IDS_ITEM_COLUMN_ACTION},
    {"IDS_ITEM_COLUMN_RIGHT_SIZE", IDS_ITEM_COLUMN_RIGHT_SIZE},
    {"IDS_ITEM_COLUMN_RIGHT_DATE", IDS_ITEM_COLUMN_RIGHT_DATE},
    {"IDS_ITEM_COLUMN_STATUS", IDS_ITEM_COLUMN_STATUS},
    {"IDS_NOT_EXISTS", IDS_NOT_EXISTS},
    {"IDS_FOLDER", IDS_FOLDER},
    {"IDS_DELETED", IDS_DELETED},
    {"IDS_ITEM_COUNT", IDS_ITEM_COUNT},
    {"IDS_BROWSE_RIGHT_HELP", IDS_BROWSE_RIGHT_HELP},
    {"IDS_LEFT_FOLDER_BOX_HELP", IDS_LEFT_FOLDER_BOX_HELP},
    {"IDS_RIGHT_FOLDER_BOX_HELP", IDS_RIGHT_FOLDER_BOX_HELP},
    {"IDS_BROWSE_LEFT_HELP", IDS_BROWSE_LEFT_HELP},
    {"IDS_SYNC_OPTIONS_BUTTON_HELP", IDS_SYNC_OPTIONS_BUTTON_HELP},
    {"IDS_LEFT_FOLDER_TITLE", IDS_LEFT_FOLDER_TITLE},
    {"IDS_RIGHT_FOLDER_TITLE", IDS_RIGHT_FOLDER_TITLE},
    {"IDS_CLEARED_BY_FOLDER_CHANGE", IDS_CLEARED_BY_FOLDER_CHANGE},
    {"IDS_CLEARED_BY_USER", IDS_CLEARED_BY_USER},
    {"IDS_CLEARED_BY_TYPE_CHANGE", IDS_CLEARED_BY_TYPE_CHANGE},
    {"IDS_CLEARED_BY_OPTION_CHANGE", IDS_CLEARED_BY_OPTION_CHANGE},
    {"IDS_ASK_DELETE_FOLDER", IDS_ASK_DELETE_FOLDER},
    {"IDS_ASK_DELETE_FILE", IDS_ASK_DELETE_FILE},
    {"IDS_ITEM_NOT_DELETED", IDS_ITEM_NOT_DELETED},
    {"IDS_ITEM_DELETED_BY_USER", IDS_ITEM_DELETED_BY_USER},
    {"IDS_ASK_DELETE_BOTH_ITEMS", IDS_ASK_DELETE_BOTH_ITEMS},
    {"IDS_ASK_DELETE_ITEMS", IDS_ASK_DELETE_ITEMS},
    {"IDS_RESUME_HINT", IDS_RESUME_HINT},
    {"IDS_CHECK_HINT", IDS_CHECK_HINT},
    {"IDS_SYNC_HINT", IDS_SYNC_HINT},
    {"IDS_SPECIFY_LEFT_FOLDER", IDS_SPECIFY_LEFT_FOLDER},
    {"IDS_SPECIFY_RIGHT_FOLDER", IDS_SPECIFY_RIGHT_FOLDER},
    {"IDS_ASK_CREATE_LEFT_FOLDER", IDS_ASK_CREATE_LEFT_FOLDER},
    {"IDS_ASK_CREATE_RIGHT_FOLDER", IDS_ASK_CREATE_RIGHT_FOLDER},
    {"IDS_SAME_FOLDER", IDS_SAME_FOLDER},
    {"IDS_STOP_TO_CANCEL_TIP", IDS_STOP_TO_CANCEL_TIP},
    {"IDS_STOP_TO_PAUSE_TIP", IDS_STOP_TO_PAUSE_TIP},
    {"IDS_LEFT_FOLDER_MISSING", IDS_LEFT_FOLDER_MISSING},
    {"IDS_RIGHT_FOLDER_MISSING", IDS_RIGHT_FOLDER_MISSING},
    {"IDS_HISTORY_COLUMN_TASK", IDS_HISTORY_COLUMN_TASK},
    {"IDS_HISTORY_COLUMN_COMMAND", IDS_HISTORY_COLUMN_COMMAND},
    {"IDS_HISTORY_COLUMN_START", IDS_HISTORY_COLUMN_START},
    {"IDS_HISTORY_COLUMN_FINISH", IDS_HISTORY_COLUMN_FINISH},
    {"IDS_HISTORY_COLUMN_FROM", IDS_HISTORY_COLUMN_FROM},
    {"IDS_HISTORY_COLUMN_STATUS", IDS_HISTORY_COLUMN_STATUS},
    {"IDS_HISTORY_COLUMN_COMMENTS", IDS_HISTORY_COLUMN_COMMENTS},
    {"IDS_DEFAULT_OPTIONS_TITLE", IDS_DEFAULT_OPTIONS_TITLE},
    {"IDS_SYNC_OPTIONS_TITLE", IDS_SYNC_OPTIONS_TITLE},
    {"IDS_SYNC_TYPE_MIRROR_HELP", IDS_SYNC_TYPE_MIRROR_HELP},
    {"IDS_SYNC_TYPE_LEFT_TO_RIGHT_HELP", IDS_SYNC_TYPE_LEFT_TO_RIGHT_HELP},
    {"IDS_SYNC_TYPE_RIGHT_TO_LEFT_HELP", IDS_SYNC_TYPE_RIGHT_TO_LEFT_HELP},
    {"IDS_SYNC_TYPE_BACKUP_LEFT_TO_RIGHT_HELP", IDS_SYNC_TYPE_BACKUP_LEFT_TO_RIGHT_HELP},
    {"IDS_SYNC_TYPE_BACKUP_RIGHT_TO_LEFT_HELP", IDS_SYNC_TYPE_BACKUP_RIGHT_TO_LEFT_HELP},
    {"IDS_ALLOW_DELETIONS_MIRROR_HELP", IDS_ALLOW_DELETIONS_MIRROR_HELP},
    {"IDS_ALLOW_DELETIONS_HELP", IDS_ALLOW_DELETIONS_HELP},
    {"IDS_SAVE_DELETED_HELP", IDS_SAVE_DELETED_HELP},
    {"IDS_SHADOW_COPY_HELP", IDS_SHADOW_COPY_HELP},
    {"IDS_SOURCE_DATA_IN_PROGRAM_FOLDER_HELP", IDS_SOURCE_DATA_IN_PROGRAM_FOLDER_HELP},
    {"IDS_SOURCE_DATA_IN_APPDATA_HELP", IDS_SOURCE_DATA_IN_APPDATA_HELP},
    {"IDS_TARGET_DATA_IN_PROGRAM_FOLDER_HELP", IDS_TARGET_DATA_IN_PROGRAM_FOLDER_HELP},
    {"IDS_TARGET_DATA_IN_APPDATA_HELP", IDS_TARGET_DATA_IN_APPDATA_HELP},
    {"IDS_CASE_SENSITIVE_HELP", IDS_CASE_SENSITIVE_HELP},
    {"IDS_USE_EXCLUSION_HELP", IDS_USE_EXCLUSION_HELP},
    {"IDS_USE_INCLUSION_HELP", IDS_USE_INCLUSION_HELP},
    {"IDS_EXCLUSION_LIST_HELP", IDS_EXCLUSION_LIST_HELP},
    {"IDS_INCLUSION_LIST_HELP", IDS_INCLUSION_LIST_HELP},
    {"IDS_EXCLUSION_PRESETS_HELP", IDS_EXCLUSION_PRESETS_HELP},
    {"IDS_INCLUSION_PRESETS_HELP", IDS_INCLUSION_PRESETS_HELP},
    {"IDS_REMOVE_EXCLUSION_HELP", IDS_REMOVE_EXCLUSION_HELP},
    {"IDS_REMOVE_INCLUSION_HELP", IDS_REMOVE_INCLUSION_HELP},
    {"IDS_EXCLUDE_READONLY_HELP", IDS_EXCLUDE_READONLY_HELP},
    {"IDS_EXCLUDE_SYSTEM_HELP", IDS_EXCLUDE_SYSTEM_HELP},
    {"IDS_EXCLUDE_HIDDEN_HELP", IDS_EXCLUDE_HIDDEN_HELP},
    {"IDS_EXCLUDE_EMPTY_HELP", IDS_EXCLUDE_EMPTY_HELP},
    {"IDS_CREATE_LOG_HELP", IDS_CREATE_LOG_HELP},
    {"IDS_SUMMARY_LOG_HELP", IDS_SUMMARY_LOG_HELP},
    {"IDS_DETAILED_LOG_HELP", IDS_DETAILED_LOG_HELP},
    {"IDS_CLEAR_LOG_HELP", IDS_CLEAR_LOG_HELP},
    {"IDS_ENTER_TASK_NAME", IDS_ENTER_TASK_NAME},
    {"IDS_TASK_EXISTS", IDS_TASK_EXISTS},
    {"IDS_ENTER_VOLUME_NAME", IDS_ENTER_VOLUME_NAME},
    {"IDS_VOLUME_NAMED", IDS_VOLUME_NAMED},
    {"IDS_VOLUME_NOT_NAMED", IDS_VOLUME_NOT_NAMED},
    {"IDS_ONLY_REMOVABLE", IDS_ONLY_REMOVABLE},
    {"IDS_BUILD_TEXT", IDS_BUILD_TEXT},
    {"IDS_VERSION_FORMAT", IDS_VERSION_FORMAT},
    {"IDS_VERSION_TEXT", IDS_VERSION_TEXT},
    {"IDS_FILES_IDENTICAL", IDS_FILES_IDENTICAL},
    {"IDS_PRINT_FILE_EXTENSION", IDS_PRINT_FILE_EXTENSION},
    {"IDS_PRINT_FILE_NAME", IDS_PRINT_FILE_NAME},
    {"IDS_PRINT_FILE_FILTER", IDS_PRINT_FILE_FILTER},
    {"IDS_PRINT_TO_FILE_TITLE", IDS_PRINT_TO_FILE_TITLE},
    {"IDS_INVALID_TASK_FILE", IDS_INVALID_TASK_FILE},
    {"IDS_TASK_FILE_WRITE_FAILED", IDS_TASK_FILE_WRITE_FAILED},
    {"IDS_TASK_FOLDER_LOCKED", IDS_TASK_FOLDER_LOCKED},
    {"IDS_TEMPLATE_PHOTOS", IDS_TEMPLATE_PHOTOS},
    {"IDS_TEMPLATE_DOCUMENTS", IDS_TEMPLATE_DOCUMENTS},
    {"IDS_TEMPLATE_FAVORITES", IDS_TEMPLATE_FAVORITES},
    {"IDS_TEMPLATE_VIDEOS", IDS_TEMPLATE_VIDEOS},
    {"IDS_TEMPLATE_MUSIC", IDS_TEMPLATE_MUSIC},
    {"IDS_TEMPLATE_WINMAIL", IDS_TEMPLATE_WINMAIL},
    {"IDS_TEMPLATE_OUTLOOK", IDS_TEMPLATE_OUTLOOK},
    {"IDS_TEMPLATE_OUTLOOK_EXPRESS_MESSAGES", IDS_TEMPLATE_OUTLOOK_EXPRESS_MESSAGES},
    {"IDS_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS", IDS_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS},
    {"IDS_TEMPLATE_REGISTRY", IDS_TEMPLATE_REGISTRY},
    {"IDS_RUN_START_BANNER", IDS_RUN_START_BANNER},
    {"IDS_RUN_END_BANNER", IDS_RUN_END_BANNER},
    {"IDS_LOG_TOO_LONG", IDS_LOG_TOO_LONG},
    {"IDS_BYTES", IDS_BYTES},
    {"IDS_KB", IDS_KB},
    {"IDS_MB", IDS_MB},
    {"IDS_GB", IDS_GB},
};

}  // namespace res
