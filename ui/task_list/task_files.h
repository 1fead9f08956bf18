#pragma once
// The files a task keeps on each side (log, catalog, backups), by the side the user sees.

#include <string>

struct SyncTask;

// The log of the Left (`side` 0) or the Right (1) folder. The task keeps its logs in
// source and target terms; the source is the Right folder when the task is swapped.
std::wstring SideLogPath(const SyncTask& task, int side);
