#pragma once
// The history file "qbsync.fhs" in the data folder: an archive with one HistoryRecord per
// member, member n named "\"n\"", numbered from 0 in the order of writing. The history
// view reads every record; runs and task events append one each.
//
// Appends hold the archive's lock from counting the members to storing the new one, so
// two runs ending together never take the same number; an append writes the new member
// and the directory's new entry and leaves the rest of the file as it is. The records are
// read all in one pass. A member that cannot be read, or whose size is not one record, is
// skipped without hiding the others.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/history_record.h"
#include "platform/core/win_types.h"

struct SyncTask;

inline constexpr char kHistoryFileName[] = "qbsync.fhs";

// The data folder joined with "qbsync.fhs".
std::string GetHistoryFilePath();

// The number of records; 0 when the file is missing or cannot be read.
DWORD CountHistoryRecords();

// What an append did. A history file that is damaged (no archive can be read from it) is
// set aside under a new name in the data folder, kept, and a new file begun with the record.
struct HistoryAppend {
    BOOL written = FALSE;
    std::string failure;   // when nothing was written: a line naming the file and the reason
    std::string setAside;  // when a damaged file was set aside: where it is now
    // The line that tells where the damaged file was kept ("" when none was set aside).
    std::string SetAsideLine() const;
};

// Appends the record as the next member without rewriting the file (see zip_append.h).
// A failed append leaves the file as it was.
HistoryAppend AppendHistoryRecord(const HistoryRecord& record);
// The same, 1 when the record was written.
BOOL WriteHistoryRecord(const HistoryRecord& record);

struct HistoryRecordList {
    // records[i] is member first + i. A member that could not be read keeps its slot,
    // all zero, so positions still match member numbers.
    std::vector<HistoryRecord> records;
    // The numbers of the members that could not be read (damaged, not one record in
    // size, or with a text field that has no NUL).
    std::vector<DWORD> skipped;
};

// The records from number `first` to the last. Nothing when `first` is not below the
// number of records or the file cannot be read at all.
std::optional<HistoryRecordList> ReadHistoryRecords(DWORD first);

// Deletes the history file; the next record written is member 0 again. 1 when the file
// was deleted, 0 when it could not be (or did not exist), with the last error set.
BOOL DeleteHistoryFile();

// An event of `task` (types 3 to 8 of HistoryType): stamped now (local time) as start
// and end, the task's name, folders as entered and sync options, start source 0. On
// success the main window is sent WM_SYNC_HISTORY_CHANGED and 1 is returned; a failed
// append sends nothing and returns 0. A damaged file set aside on the way is told in the
// main window's caption bar.
BOOL AddHistoryRecord(const SyncTask& task, DWORD type, DWORD code, DWORD status, std::string_view text);

// The record a run prepares at its start: as an event record, but of the type given by
// the run's mode (0 Sync, 1 Check, anything else Check and Sync), with the task's start
// source, and without times or status, which the end of the run fills in.
HistoryRecord MakeRunHistoryRecord(const SyncTask& task, DWORD mode);

// The end of a run: completes a copy of `prepared` with the task's lastRunStatus,
// lastRunStart and lastRunEnd, appends it and posts WM_SYNC_HISTORY_CHANGED to the task's
// startThread window whether the append succeeded or not. A run that prepared no record
// writes nothing and reports it written.
HistoryAppend AddRunHistoryRecord(const HistoryRecord* prepared, const SyncTask& task);
