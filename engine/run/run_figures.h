#pragma once
// The figures a Check reports before its guards: the space on each folder's volume next
// to what the copies will write there (as the task window's two folder labels), and, in
// the run log, the same with the counts of each side and of the changes.

struct SyncRunBlock;

// Sends the two folder labels and, when `logging`, writes the figure lines to the run log.
void ReportCheckFigures(SyncRunBlock& run, bool logging);
