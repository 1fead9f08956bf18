#pragma once
// The command ids that menus, keys, the ribbon and the tray raise, each under one name
// that says what the command does. A command's tooltip is the string under its id.
//
//   MapCommand(ID_DELETE_TASK, &CSyncListView::OnDeleteSelectedTask);

#include "platform/core/win_types.h"
#include "resources/resource_id.h"

// Tasks
inline constexpr UINT ID_NEW_TASK = 32812;              // "New Task"
inline constexpr UINT ID_RENAME_TASK = 32798;           // "Rename"
inline constexpr UINT ID_COPY_TASK = 5021;              // "Copy Task"
inline constexpr UINT ID_DELETE_TASK = 8487;            // "Delete Task"
inline constexpr UINT ID_RESET_TASK = 5065;             // "ResetTask"
inline constexpr UINT ID_SWITCH_FOLDERS = 5067;         // "Switch Folders"
inline constexpr UINT ID_TASK_OPTIONS = 5043;           // "Task Options"
inline constexpr UINT ID_OPEN_LEFT_LOG = 5034;          // "Open Left Log File"
inline constexpr UINT ID_OPEN_RIGHT_LOG = 5035;         // "Open Right Log File"
inline constexpr UINT ID_DELETE_RIGHT_LOG = 5058;       // "Delete Right Log File"
inline constexpr UINT ID_DELETE_LEFT_LOG = 5059;        // "Delete Left Log File"
inline constexpr UINT ID_DELETE_BACKUP_FOLDERS = 5061;  // "Delete Backup Changes"
inline constexpr UINT ID_DELETE_CATALOGS = 5063;        // "Delete Catalog Files"

// Runs
inline constexpr UINT ID_CHECK = 5023;             // "Check"
inline constexpr UINT ID_SYNC = 32813;             // "Sync Folders"
inline constexpr UINT ID_CHECK_AND_SYNC = 5126;    // "Check and Sync"
inline constexpr UINT ID_AUTOMATE = 5029;          // "Automate Check/Sync"
inline constexpr UINT ID_STOP = 41076;             // "Stop"
inline constexpr UINT ID_STOP_ALL = 5104;          // "Stop All"
inline constexpr UINT ID_CLEAR_SYNC_LIST = 8805;   // "Clear Sync List"
inline constexpr UINT ID_CLEAR_ALL = 43976;        // "Clear All"
inline constexpr UINT ID_SELECT_ALL = 5160;        // "Select All"
inline constexpr UINT ID_SYNC_CONTAINER = 5108;    // "Sync Container"
inline constexpr UINT ID_ADD_TO_CONTAINER = 5123;  // "Add to Sync Container"
inline constexpr UINT ID_RUN_CONTAINER = 5136;     // "Run Sync Container"

// What the task window shows
inline constexpr UINT ID_DISPLAY_ALL = 5039;                 // "Display all items"
inline constexpr UINT ID_DISPLAY_CHANGED = 5038;             // "Display Changed Items"
inline constexpr UINT ID_DISPLAY_CONFLICTS = 5040;           // "Display Conflicts"
inline constexpr UINT ID_DISPLAY_ERRORS = 5041;              // "Display Errors"
inline constexpr UINT ID_DISPLAY_EXCLUDED = 5087;            // "Display Excluded Items"
inline constexpr UINT ID_DISPLAY_NEW = 5080;                 // "Display New"
inline constexpr UINT ID_DISPLAY_DELETE = 5082;              // "Display Delete Items"
inline constexpr UINT ID_DISPLAY_COPY_TO_LEFT = 5084;        // "Display Copy to Left Items"
inline constexpr UINT ID_DISPLAY_COPY_TO_RIGHT = 5083;       // "Display Copy to Right Items"
inline constexpr UINT ID_DISPLAY_COPY_TIME_TO_LEFT = 5086;   // "Display Copy Time to Left Items"
inline constexpr UINT ID_DISPLAY_COPY_TIME_TO_RIGHT = 5085;  // "Display Copy Time to Right Items"
inline constexpr UINT ID_DISPLAY_OVERWRITE = 5081;           // "Display Overwrite"
inline constexpr UINT ID_DISPLAY_SAME_SIZE = 5098;           // "Display Same Size Items"
inline constexpr UINT ID_DISPLAY_WARNINGS = 5100;            // "Display Warning Items"

// The items of the task window
inline constexpr UINT ID_OPEN_LEFT_ITEM = 5026;         // "Open Left Item"
inline constexpr UINT ID_OPEN_RIGHT_ITEM = 5028;        // "Open Right Item"
inline constexpr UINT ID_LEFT_ITEM_PROPERTIES = 5077;   // "Left Item Properties"
inline constexpr UINT ID_RIGHT_ITEM_PROPERTIES = 5078;  // "Right Item Properties"
inline constexpr UINT ID_DELETE_LEFT_ITEM = 5070;       // "Delete Left Item"
inline constexpr UINT ID_DELETE_RIGHT_ITEM = 5071;      // "Delete Right Item"
inline constexpr UINT ID_DELETE_BOTH_ITEMS = 5072;      // "Delete Both Items"
inline constexpr UINT ID_COMPARE_FILES = 32833;         // "Compare Filers"
inline constexpr UINT ID_LEFT_TO_RIGHT = 5095;          // "Left to Right"
inline constexpr UINT ID_RIGHT_TO_LEFT = 5094;          // "Right to Left"
inline constexpr UINT ID_COPY_TIME_TO_RIGHT = 5090;     // "Copy Time to Right"
inline constexpr UINT ID_COPY_TIME_TO_LEFT = 5091;      // "Copy Time to Let"
inline constexpr UINT ID_SET_NO_ACTION = 5076;          // "No Action"
inline constexpr UINT ID_RESTORE_ACTION = 4;            // "&Restore Action"

// Task templates
inline constexpr UINT ID_TEMPLATE_PHOTOS = 5157;                    // "Photos"
inline constexpr UINT ID_TEMPLATE_DOCUMENTS = 5153;                 // "Documents"
inline constexpr UINT ID_TEMPLATE_FAVORITES = 5152;                 // "Favorites"
inline constexpr UINT ID_TEMPLATE_VIDEOS = 5155;                    // "Videos"
inline constexpr UINT ID_TEMPLATE_MUSIC = 5156;                     // "Music"
inline constexpr UINT ID_TEMPLATE_WINDOWS_MAIL = 5158;              // "Windows Mail"
inline constexpr UINT ID_TEMPLATE_OUTLOOK = 5146;                   // "Outlook"
inline constexpr UINT ID_TEMPLATE_OUTLOOK_EXPRESS = 5149;           // "Outlook Express"
inline constexpr UINT ID_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS = 5150;  // "Outlook Express Contacts"
inline constexpr UINT ID_TEMPLATE_REGISTRY = 5154;                  // "Registry"
inline constexpr UINT ID_IMPORT_TEMPLATE = 43943;                   // "More Task scripts"

// The program
inline constexpr UINT ID_DEFAULT_OPTIONS = 32780;  // "Default Options"
inline constexpr UINT ID_DELETE_HISTORY = 5068;    // "Delete History"
inline constexpr UINT ID_IMPORT_TASK_LIST = 5109;  // "Import Task List Script"
inline constexpr UINT ID_EXPORT_TASK_LIST = 5110;  // "Export Task List Scripts"
inline constexpr UINT ID_FILE_PRINT = 57608;       // "Print"
inline constexpr UINT ID_DELETE_ALL_ROWS = 43970;  // deletes every row and reads them again
inline constexpr UINT ID_VIEW_CAPTION_BAR = 5019;  // "Caption Bar"
inline constexpr UINT ID_VIEW_STATUS_BAR = 59393;  // "Status Bar"

// The looks of the "Styles" menu (plat::ApplyVisualStyle takes 210 to 218)
inline constexpr UINT ID_STYLE_BLUE = 215;    // "&Blue Style"
inline constexpr UINT ID_STYLE_BLACK = 216;   // "B&lack Style"
inline constexpr UINT ID_STYLE_SILVER = 217;  // "&Silver Style"
inline constexpr UINT ID_STYLE_AQUA = 218;    // "&Aqua Style"

// The main window and the program
inline constexpr UINT ID_SHOW_HIDE = 32918;        // shows or hides the main window
inline constexpr UINT ID_TOGGLE_TRAY_ICON = 7018;  // turns the tray icon on or off
inline constexpr UINT ID_EXIT = 32924;             // "Exit"
inline constexpr UINT ID_CLOSE = 57665;            // "Close"
inline constexpr UINT ID_HELP_CONTENTS = 57670;    // "Help Contents"
inline constexpr UINT ID_ORDER_INFO = 32932;       // "Sync Order Information"
inline constexpr UINT ID_WELCOME_PAGE = 32933;     // "Sync Welcome Page"
inline constexpr UINT ID_APP_ABOUT = 57664;        // "About"
inline constexpr UINT ID_CHECK_UPDATE = 8788;      // "Check Update"
inline constexpr UINT ID_SUPPORT_PAGE = 8736;      // "Support Page"
inline constexpr UINT ID_HOME_PAGE = 32861;        // "Go to Sync Internet Home Page"
inline constexpr UINT ID_COMPARE_EXIT = 5101;      // "E&xit" of the compare window

// The ribbon's menu buttons: they open their menus and do nothing themselves
inline constexpr UINT ID_TASK_TEMPLATES_BUTTON = 7019;  // "Task Templates"
inline constexpr UINT ID_LOG_BUTTON = 7011;             // "&Log"
inline constexpr UINT ID_CATALOG_BUTTON = 7009;         // "C&atalog"
inline constexpr UINT ID_MORE_VIEWS_BUTTON = 7010;      // "More"
inline constexpr UINT ID_FILE_ACTION_BUTTON = 7012;     // "File Action"
inline constexpr UINT ID_SYNC_ACTION_BUTTON = 7014;     // "Sync Action"

namespace res {

// Every name above, for the tests.
inline constexpr NamedId kCommandIds[] = {
    {"ID_NEW_TASK", ID_NEW_TASK},
    {"ID_RENAME_TASK", ID_RENAME_TASK},
    {"ID_COPY_TASK", ID_COPY_TASK},
    {"ID_DELETE_TASK", ID_DELETE_TASK},
    {"ID_RESET_TASK", ID_RESET_TASK},
    {"ID_SWITCH_FOLDERS", ID_SWITCH_FOLDERS},
    {"ID_TASK_OPTIONS", ID_TASK_OPTIONS},
    {"ID_OPEN_LEFT_LOG", ID_OPEN_LEFT_LOG},
    {"ID_OPEN_RIGHT_LOG", ID_OPEN_RIGHT_LOG},
    {"ID_DELETE_RIGHT_LOG", ID_DELETE_RIGHT_LOG},
    {"ID_DELETE_LEFT_LOG", ID_DELETE_LEFT_LOG},
    {"ID_DELETE_BACKUP_FOLDERS", ID_DELETE_BACKUP_FOLDERS},
    {"ID_DELETE_CATALOGS", ID_DELETE_CATALOGS},
    {"ID_CHECK", ID_CHECK},
    {"ID_SYNC", ID_SYNC},
    {"ID_CHECK_AND_SYNC", ID_CHECK_AND_SYNC},
    {"ID_AUTOMATE", ID_AUTOMATE},
    {"ID_STOP", ID_STOP},
    {"ID_STOP_ALL", ID_STOP_ALL},
    {"ID_CLEAR_SYNC_LIST", ID_CLEAR_SYNC_LIST},
    {"ID_CLEAR_ALL", ID_CLEAR_ALL},
    {"ID_SELECT_ALL", ID_SELECT_ALL},
    {"ID_SYNC_CONTAINER", ID_SYNC_CONTAINER},
    {"ID_ADD_TO_CONTAINER", ID_ADD_TO_CONTAINER},
    {"ID_RUN_CONTAINER", ID_RUN_CONTAINER},
    {"ID_DISPLAY_ALL", ID_DISPLAY_ALL},
    {"ID_DISPLAY_CHANGED", ID_DISPLAY_CHANGED},
    {"ID_DISPLAY_CONFLICTS", ID_DISPLAY_CONFLICTS},
    {"ID_DISPLAY_ERRORS", ID_DISPLAY_ERRORS},
    {"ID_DISPLAY_EXCLUDED", ID_DISPLAY_EXCLUDED},
    {"ID_DISPLAY_NEW", ID_DISPLAY_NEW},
    {"ID_DISPLAY_DELETE", ID_DISPLAY_DELETE},
    {"ID_DISPLAY_COPY_TO_LEFT", ID_DISPLAY_COPY_TO_LEFT},
    {"ID_DISPLAY_COPY_TO_RIGHT", ID_DISPLAY_COPY_TO_RIGHT},
    {"ID_DISPLAY_COPY_TIME_TO_LEFT", ID_DISPLAY_COPY_TIME_TO_LEFT},
    {"ID_DISPLAY_COPY_TIME_TO_RIGHT", ID_DISPLAY_COPY_TIME_TO_RIGHT},
    {"ID_DISPLAY_OVERWRITE", ID_DISPLAY_OVERWRITE},
    {"ID_DISPLAY_SAME_SIZE", ID_DISPLAY_SAME_SIZE},
    {"ID_DISPLAY_WARNINGS", ID_DISPLAY_WARNINGS},
    {"ID_OPEN_LEFT_ITEM", ID_OPEN_LEFT_ITEM},
    {"ID_OPEN_RIGHT_ITEM", ID_OPEN_RIGHT_ITEM},
    {"ID_LEFT_ITEM_PROPERTIES", ID_LEFT_ITEM_PROPERTIES},
    {"ID_RIGHT_ITEM_PROPERTIES", ID_RIGHT_ITEM_PROPERTIES},
    {"ID_DELETE_LEFT_ITEM", ID_DELETE_LEFT_ITEM},
    {"ID_DELETE_RIGHT_ITEM", ID_DELETE_RIGHT_ITEM},
    {"ID_DELETE_BOTH_ITEMS", ID_DELETE_BOTH_ITEMS},
    {"ID_COMPARE_FILES", ID_COMPARE_FILES},
    {"ID_LEFT_TO_RIGHT", ID_LEFT_TO_RIGHT},
    {"ID_RIGHT_TO_LEFT", ID_RIGHT_TO_LEFT},
    {"ID_COPY_TIME_TO_RIGHT", ID_COPY_TIME_TO_RIGHT},
    {"ID_COPY_TIME_TO_LEFT", ID_COPY_TIME_TO_LEFT},
    {"ID_SET_NO_ACTION", ID_SET_NO_ACTION},
    {"ID_RESTORE_ACTION", ID_RESTORE_ACTION},
    {"ID_TEMPLATE_PHOTOS", ID_TEMPLATE_PHOTOS},
    {"ID_TEMPLATE_DOCUMENTS", ID_TEMPLATE_DOCUMENTS},
    {"ID_TEMPLATE_FAVORITES", ID_TEMPLATE_FAVORITES},
    {"ID_TEMPLATE_VIDEOS", ID_TEMPLATE_VIDEOS},
    {"ID_TEMPLATE_MUSIC", ID_TEMPLATE_MUSIC},
    {"ID_TEMPLATE_WINDOWS_MAIL", ID_TEMPLATE_WINDOWS_MAIL},
    {"ID_TEMPLATE_OUTLOOK", ID_TEMPLATE_OUTLOOK},
    {"ID_TEMPLATE_OUTLOOK_EXPRESS", ID_TEMPLATE_OUTLOOK_EXPRESS},
    {"ID_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS", ID_TEMPLATE_OUTLOOK_EXPRESS_CONTACTS},
    {"ID_TEMPLATE_REGISTRY", ID_TEMPLATE_REGISTRY},
    {"ID_IMPORT_TEMPLATE", ID_IMPORT_TEMPLATE},
    {"ID_DEFAULT_OPTIONS", ID_DEFAULT_OPTIONS},
    {"ID_DELETE_HISTORY", ID_DELETE_HISTORY},
    {"ID_IMPORT_TASK_LIST", ID_IMPORT_TASK_LIST},
    {"ID_EXPORT_TASK_LIST", ID_EXPORT_TASK_LIST},
    {"ID_FILE_PRINT", ID_FILE_PRINT},
    {"ID_DELETE_ALL_ROWS", ID_DELETE_ALL_ROWS},
    {"ID_VIEW_CAPTION_BAR", ID_VIEW_CAPTION_BAR},
    {"ID_VIEW_STATUS_BAR", ID_VIEW_STATUS_BAR},
    {"ID_STYLE_BLUE", ID_STYLE_BLUE},
    {"ID_STYLE_BLACK", ID_STYLE_BLACK},
    {"ID_STYLE_SILVER", ID_STYLE_SILVER},
    {"ID_STYLE_AQUA", ID_STYLE_AQUA},
    {"ID_SHOW_HIDE", ID_SHOW_HIDE},
    {"ID_TOGGLE_TRAY_ICON", ID_TOGGLE_TRAY_ICON},
    {"ID_EXIT", ID_EXIT},
    {"ID_CLOSE", ID_CLOSE},
    {"ID_HELP_CONTENTS", ID_HELP_CONTENTS},
    {"ID_ORDER_INFO", ID_ORDER_INFO},
    {"ID_WELCOME_PAGE", ID_WELCOME_PAGE},
    {"ID_APP_ABOUT", ID_APP_ABOUT},
    {"ID_CHECK_UPDATE", ID_CHECK_UPDATE},
    {"ID_SUPPORT_PAGE", ID_SUPPORT_PAGE},
    {"ID_HOME_PAGE", ID_HOME_PAGE},
    {"ID_COMPARE_EXIT", ID_COMPARE_EXIT},
    {"ID_TASK_TEMPLATES_BUTTON", ID_TASK_TEMPLATES_BUTTON},
    {"ID_LOG_BUTTON", ID_LOG_BUTTON},
    {"ID_CATALOG_BUTTON", ID_CATALOG_BUTTON},
    {"ID_MORE_VIEWS_BUTTON", ID_MORE_VIEWS_BUTTON},
    {"ID_FILE_ACTION_BUTTON", ID_FILE_ACTION_BUTTON},
    {"ID_SYNC_ACTION_BUTTON", ID_SYNC_ACTION_BUTTON},
};

}  // namespace res
