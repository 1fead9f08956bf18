#pragma once
// The program's private messages, shared by windows and threads of every subsystem.
// The numbers are fixed. "w" is wParam, "l" is lParam. "task" is a SyncTask*.
// Text parameters point to zero-terminated text owned by the sender and valid only
// during the call, except where a message says otherwise. Messages from the engine's
// threads to windows are sent, so the sender waits for the handler.

#include "platform/core/win_types.h"

// w: tray icon id (33000); l: the mouse message on the icon. Result not used.
inline constexpr UINT WM_SYNC_TRAY_NOTIFY = WM_APP + 22;  // 0x8016

// Posted by a task window to itself. w, l: as the task window gives them.
inline constexpr UINT WM_SYNC_CHECK_REFRESH = WM_APP + 1000;  // 0x83E8

// w: task; l: busy code: 1 a Sync or Check and Sync starts, 2 a Check starts, 3 the task
// window rebuilds its list for a view filter or the task is being removed, 4 renaming
// (sent by no one), 5 the task is being copied.
// Result: 0 = refused (the task is already busy), non-zero = marked busy.
inline constexpr UINT WM_SYNC_TASK_BUSY = WM_APP + 1001;  // 0x83E9

// w: task; l: the busy code that ends (1 at the end of a run). At the end of a run it is
// sent to every window below the main window; only the task list acts on it.
inline constexpr UINT WM_SYNC_TASK_DONE = WM_APP + 1002;  // 0x83EA

// w: the task's row in the task list (to the main frame, task list, log pane, task
// window), or the task (to the form view); l: the task, or 0.
inline constexpr UINT WM_SYNC_TASK_CHANGED = WM_APP + 1003;  // 0x83EB

// w: 1 a run started, 0 no run; l: 0.
inline constexpr UINT WM_SYNC_BUSY_STATE = WM_APP + 1004;  // 0x83EC

// w: task (loaded or imported); l: 0.
// Result: non-zero when the receiver took the task (it owns it from then on); on 0 the
// sender frees the task.
inline constexpr UINT WM_SYNC_TASK_ADDED = WM_APP + 1005;  // 0x83ED

// w: task; l: mode: 0 Sync, 1 Check, 2 Check and Sync.
// Result: 1 = run thread started, 0 = refused (busy).
inline constexpr UINT WM_SYNC_RUN_TASK = WM_APP + 1006;  // 0x83EE

// w: the item's CFileInfo*; l: the record's row (tree item) in the task window's list.
// Result: 1, not used.
inline constexpr UINT WM_SYNC_ITEM_DONE = WM_APP + 1007;  // 0x83EF

// Posted to the task list. w: 0; l: 0.
inline constexpr UINT WM_SYNC_LOAD_TASKS = WM_APP + 1017;  // 0x83F9

// w: a heap copy of the history file's path, freed by the history view (so the message
// may be posted); l: 0.
inline constexpr UINT WM_SYNC_HISTORY_CHANGED = WM_APP + 1019;  // 0x83FB

// w: a heap copy of the deleted history file's path, freed by the history view; l: 0.
inline constexpr UINT WM_SYNC_CLEAR_HISTORY = WM_APP + 1020;  // 0x83FC

// Thread messages of a run, posted to the run's own thread (no window).
// w: task; l: mode: 0 Sync, 1 Check, 2 Check and Sync (any other value counts as 2).
inline constexpr UINT WM_SYNC_START_RUN = WM_APP + 1301;  // 0x8515
// w: 1 when the run was refused by the folder lock, else 0; l: 0.
inline constexpr UINT WM_SYNC_RUN_ENDED = WM_APP + 1305;  // 0x8519

// w: task (new, from a template or copied); l: 0.
// Result: non-zero when the receiver took the task (it owns it from then on); on 0 the
// sender frees the task.
inline constexpr UINT WM_SYNC_NEW_TASK = WM_APP + 1500;  // 0x85DC

// w: mode: 0 Sync, 1 Check, 2 Check and Sync; l: who starts it: 0 the user, else the
// run-from code of an unattended start (1 container, 2 repeat timer, 3 scheduler,
// 4 program start, 5 device connected). The task window writes it into the task's
// startSource once it accepts the start.
inline constexpr UINT WM_SYNC_START = WM_APP + 1501;  // 0x85DD

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_CLEAR_LIST = WM_APP + 1502;  // 0x85DE

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_AUTOMATE = WM_APP + 1503;  // 0x85DF

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_SAVE_COLUMNS = WM_APP + 1504;  // 0x85E0

// w: view-filter kind 0 to 13; l: 0.
inline constexpr UINT WM_SYNC_VIEW_FILTER = WM_APP + 1505;  // 0x85E1

// w: the task's row (to the log pane), or the task (to the form view); l: 0.
inline constexpr UINT WM_SYNC_TASK_REMOVED = WM_APP + 1506;  // 0x85E2

// To the task list: w the new name (text), l 0. To the form view: w the task,
// l the new name (text).
inline constexpr UINT WM_SYNC_RENAME_TASK = WM_APP + 1507;  // 0x85E3

// w: the new task's name (text); l: 0.
inline constexpr UINT WM_SYNC_COPY_TASK = WM_APP + 1508;  // 0x85E4

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_STORE_FOLDERS = WM_APP + 1509;  // 0x85E5

// w: 0 left log, 1 right log; l: 0.
inline constexpr UINT WM_SYNC_OPEN_LOG = WM_APP + 1510;  // 0x85E6

// w: side: 0 left, 1 right; l: 0 open, 1 properties, 2 delete.
inline constexpr UINT WM_SYNC_ITEM_COMMAND = WM_APP + 1511;  // 0x85E7

// w: 0; l: 0 compare the two files, 2 delete both items.
inline constexpr UINT WM_SYNC_BOTH_ITEMS_COMMAND = WM_APP + 1512;  // 0x85E8

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_TASK_OPTIONS = WM_APP + 1513;  // 0x85E9

// w: 0 delete backups, 1 delete catalogs, 2 reset task, 3 delete right log,
// 4 delete left log, 5 switch folders; l: 0.
inline constexpr UINT WM_SYNC_TASK_FILES_COMMAND = WM_APP + 1514;  // 0x85EA

// w: 0 Left to Right, 1 Right to Left, 2 Copy Time to Right, 3 Copy Time to Left,
// 4 No Action, 5 restore the decided action; l: 0.
inline constexpr UINT WM_SYNC_SET_ACTION = WM_APP + 1515;  // 0x85EB

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_RUN_CONTAINER = WM_APP + 1516;  // 0x85EC

// w: a task name (text); l: 0. Result: the task list's first task of that name (a
// SyncTask*), or 0.
inline constexpr UINT WM_SYNC_FIND_TASK = WM_APP + 1517;  // 0x85ED

// w: wide text (const wchar_t*); l: text colour (COLORREF).
inline constexpr UINT WM_SYNC_LOG_LINE_W = WM_APP + 1598;  // 0x863E

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_STOP = WM_APP + 1599;  // 0x863F

// w: 0; l: 0. Result: non-zero = the user asked to stop.
inline constexpr UINT WM_SYNC_QUERY_STOP = WM_APP + 1600;  // 0x8640

// w: 8-bit text (const char*); l: to a log control the colour (0 black, 255 red); to a
// task window 0 first folder label, 1 second folder label, other values the status line
// (the engine uses 2); to the main frame 255 a warning, other values a tip.
inline constexpr UINT WM_SYNC_LOG_LINE = WM_APP + 1602;  // 0x8642

// Posted. w: the show command the program was started with; l: 0.
inline constexpr UINT WM_SYNC_FIRST_SHOW = WM_APP + 1603;  // 0x8643

// w: 0; l: 0, or a text to show beside the progress bar.
inline constexpr UINT WM_SYNC_PROGRESS_TEXT = WM_APP + 1606;  // 0x8646

// w: total number of steps (the scan gives 100); l: progress mode (the scan gives 20).
inline constexpr UINT WM_SYNC_PROGRESS = WM_APP + 1607;  // 0x8647

// w: steps done; l: 0.
inline constexpr UINT WM_SYNC_PROGRESS_POS = WM_APP + 1608;  // 0x8648

// w: the tab label (task name, text); l: 0. Sent to every window below the main window;
// only the task list acts on it.
inline constexpr UINT WM_SYNC_SELECT_TASK = WM_APP + 1609;  // 0x8649

// w: 1; l: 0.
inline constexpr UINT WM_SYNC_AFTER_RUN = WM_APP + 1623;  // 0x8657

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_COPY_BEGIN = WM_APP + 1636;  // 0x8664

// Sent once the copy of the current file has ended (after its last chunk, or a stop).
// w: 0; l: 0.
inline constexpr UINT WM_SYNC_COPY_SIZE = WM_APP + 1637;  // 0x8665

// Sent after a chunk, only when the percentage changed. w: percentage copied (0-100);
// l: 0.
inline constexpr UINT WM_SYNC_COPY_BYTES = WM_APP + 1638;  // 0x8666

// w: 0; l: 0.
inline constexpr UINT WM_SYNC_SELECT_ALL = WM_APP + 1639;  // 0x8667
