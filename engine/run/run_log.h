#pragma once
// The lines a run reports. Each goes to up to three places: the source side's log, the
// target side's log (either may be absent: logging off) and the task's log control, which
// gets the text followed by CR LF through WM_SYNC_LOG_LINE or WM_SYNC_LOG_LINE_W with the
// colour. Also the banners that frame a run, the header block at its start, the summary
// line of a finished run and the error texts of a failed copy.
//
// The line functions may be called from the run's worker and from its catalog threads at
// once: each log write holds the log path's lock, so lines never mix, and no lock is held
// while the log control is sent a line. Nothing here shows a message box.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

struct SyncRunBlock;
struct SyncTask;

inline constexpr COLORREF kLogBlack = 0;
inline constexpr COLORREF kLogRed = 255;

// One line to both logs of the run (when present) and to the task's log control.
void AddRunLogLine(SyncRunBlock& run, std::string_view text, COLORREF colour);
void AddRunLogLineW(SyncRunBlock& run, std::wstring_view text, COLORREF colour);

// The same for a task that is not running: the task's two logs get the line only when its
// "Log" option is on and its source log path is not empty; the log control gets it always.
void AddDialogLogLine(SyncTask& task, std::string_view text, COLORREF colour);
void AddDialogLogLineW(SyncTask& task, std::wstring_view text, COLORREF colour);

// "--- <word> - <date> <time>  ---" to each present log; the log control gets the banner
// once (the first log's text).
void LogRunBanner(SyncRunBlock& run, std::string_view word, COLORREF colour);
// "--- <mode word> Completed - <date> <time>  ---" the same way; the control then gets an
// empty line as well.
void LogRunCompleted(SyncRunBlock& run);
// The header block of a run: the start banner, the sync line, the options line and, for
// each present log, the filter lines.
void WriteRunHeader(SyncRunBlock& run);

// "CHECK+SYNC", "CHECK" or "SYNC" from the run's two halves.
std::string RunModeWord(const SyncRunBlock& run);
// Who started a run: the user's logon name for 0, then "CONTAINER", "TIMER",
// "SCHEDULER", "AUTO START", "AUTO CONNECT" for 1 to 5; empty for anything else.
std::string RunTriggerWord(DWORD startSource);

// "Check has finished" or "Sync has finished" followed by the result code's suffix.
std::string FormatRunSummary(DWORD result, bool isCheck);

// The text of a failed copy's system error. Returns -1 for a full disk (the pass must
// stop), else 0.
int FormatCopyError(DWORD error, std::string& text);
