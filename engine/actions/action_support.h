#pragma once
// What the copy and delete passes share: which records they leave alone, the task's
// options they read, one log line per action at the detailed log level, the item's row
// and the progress bar of the task window, the Stop question, and the error text of a
// failed action.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

class CFileInfo;
class ItemState;
struct SyncRunBlock;

// A source another program holds, with no shadow copy to read it from (program's own
// code, bit 29, as kErrorChangedSinceCheck).
inline constexpr DWORD kErrorFileLocked = 0x20000004;

// Excluded, no action, or already carried out (any result bit): no pass touches it.
bool IsLeftAloneByPasses(const ItemState& state);
// Marks the record failed for `error`, which its row shows, and counts the failure for
// the run's summary.
void MarkActionFailed(SyncRunBlock& run, CFileInfo& record, DWORD error);

// The task's window, or null when it has none (an unattended run without a task window).
HWND TaskWindowOf(const SyncRunBlock& run);
// The task's "Speed" option (0 when the run has no sync options).
DWORD CopySpeedOf(const SyncRunBlock& run);
// The task's "Save Delete" option: back up overwritten and deleted files.
bool SavesReplacedFiles(const SyncRunBlock& run);

// One line of an action, written when the task logs: a failure (red) at every level,
// any other line only at the detailed level.
void LogAction(SyncRunBlock& run, std::wstring_view text, COLORREF colour);

// WM_SYNC_ITEM_DONE for a record that has a row in the task window.
void ReportItemDone(const SyncRunBlock& run, CFileInfo& record);
// WM_SYNC_PROGRESS_POS with the pass's running count.
void ReportProgress(const SyncRunBlock& run, DWORD counter);
// Asks the task window whether Stop was pressed; never when there is no window.
bool StopPressed(const SyncRunBlock& run);
// The same after an item of a pass, paced by the run's pass pace (message_pace.h): false
// without asking while no question is due.
bool StopPressedAfterItem(SyncRunBlock& run);

// The text of a failed copy, backup or delete: the run log's copy error texts, plus
// "(Error: Already Exists)", "(Error: Changed since the Check)", "(File Locked)", the
// texts of what the destination cannot hold (a name, a name in other case, a file too
// large) and of the file system's most frequent errors (not found, folder not empty, in
// use, name too long, input/output). Returns -1 for a full disk (the pass must end),
// else 0.
int ActionErrorText(DWORD error, std::wstring& text);
// The text alone.
std::wstring ActionErrorText(DWORD error);
// A failure's log line followed by the text of its reason, when one is known.
std::wstring WithReason(std::wstring line, DWORD error);
