#pragma once
// The worker thread of a run: the whole Check and Sync of one task, reported to the task
// window by messages and to the run log, ended with the run's result code and a
// WM_SYNC_RUN_ENDED posted to the run's own thread.
//
// In order: "Starting...", the catalog folders, the logs and the run header; then for a
// Check the filter lists, the scan, the first counts, the catalogs of the last run, the
// empty-root guard, the decision, the final counts, the free space and the figures, the
// guards; a Sync-only run takes the trees of the task's last Check instead. Then the Sync
// half, when the run has one, and the end banner.

struct SyncRunBlock;

// Runs the task of `run` as its mode says. Every end sets the run's result code (1
// unless something below happened):
//   3  Stop during the scan, the catalog reading, the decision or the Sync half;
//   7  nothing to do: both folders empty, or a Sync with no Check's trees to carry out
//      (or with trees made for other folders than the task's now);
//   8  an unattended Check and Sync over the task's change limit;
//   9  a full disk during the Sync half;
//   11 a catalog folder that cannot be created (the run ends without its end banner);
//   14 a folder that may not be mounted: it lost most of what the last run found, or its
//      disk is not mounted (a run the user started stops after its Check instead);
//   15 a folder that cannot be listed at all;
//   16 items skipped (links, special files, folders that cannot be listed) or left out of
//      a catalog, where nothing worse happened;
//   4, 5, 6, 12, 13 from the Sync half.
// Posts WM_SYNC_RUN_ENDED (w 0) to the run's thread last, when the run has one; the
// block must not be touched after that.
void CheckSyncThreadProc(SyncRunBlock& run);
