#pragma once
// The Sync half of a run: the copy pass, the delete pass and the shadow-copy step, in that
// order, while the two new catalogs are built on their queues; then the catalogs replace
// the old ones and the run's result code tells how the Sync went. The "Back up" types keep
// no catalog: they run the passes and the shadow-copy step only.
//
// A Sync that stops early (Stop pressed, or a full disk) drops the catalogs it was
// building and leaves the old ones exactly as they were, so the next Check still knows
// what the last complete Sync left in step.

#include "engine/run/work_queue.h"

struct SyncRunBlock;

inline constexpr int kSyncPhaseDone = 1;
inline constexpr int kSyncPhaseStopped = -1;

// Runs the Sync half over the run's trees. Returns kSyncPhaseDone when it ran to its end,
// with the result code set (5 conflicts left, 6 failed actions, 13 a catalog that could
// not be written, 4 a failed shadow copy, each only as the rules allow), or
// kSyncPhaseStopped when Stop was pressed or a pass met a full disk (the result is then
// already kRunDiskFull). `startQueueThread` starts the catalog queues' threads (tests give
// one that fails); empty: the system's threads.
int RunSyncPhase(SyncRunBlock& run, const CWorkQueue::ThreadStarter& startQueueThread = {});
