#pragma once
// Copies of small new files made ahead of their turn on a few helper threads. The copy
// pass reports every item in order on its own thread (log lines, item rows, progress,
// the Stop question); without help it would also wait in turn for each new file's
// creation, data and times, which is most of a first Sync's time on small files. Helpers
// make those copies as files with no name (MakeNewCopyAhead), which leave nothing on the
// disk until the pass, in each file's turn, gives the copy its name or drops it
// (FinishCopyMadeAhead). A copy that could not be made ahead is copied by the pass itself
// as before, so its failure is reported exactly as it would have been.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/actions/file_copier.h"
#include "platform/core/win_types.h"

class CopiesAhead {
public:
    // At most `threads` helpers, started when the first copy is queued; copies at `speed`.
    CopiesAhead(unsigned threads, DWORD speed);
    ~CopiesAhead();
    CopiesAhead(const CopiesAhead&) = delete;
    CopiesAhead& operator=(const CopiesAhead&) = delete;

    // False when there are no helpers (a machine with one core, a speed with pauses).
    bool Helps() const { return threadCount_ != 0; }

    // Queues the copy of `name` from `from` into `to`, known to the pass as `key`. The
    // folders stay open until the copy is taken or dropped.
    void Queue(const void* key, const plat::FolderHandle& from, const plat::FolderHandle& to, std::string name);

    // How many copies are queued and not taken.
    std::size_t Queued();

    // The copy queued as `key` when it is the oldest one queued, waited for while under
    // way. Its file is closed when none was made: the oldest copy was not started yet (the
    // pass is as quick copying it itself), could not be made ahead, or `key` is not the
    // oldest (the pass copies every file that was not handed over).
    CopyMadeAhead Take(const void* key);

    // Forgets every copy not taken, waiting for those under way; their files vanish.
    void DropAll();

private:
    struct Job {
        const void* key;
        const plat::FolderHandle* from;
        const plat::FolderHandle* to;
        std::string name;
        bool started = false;
        bool done = false;
        CopyMadeAhead result;
    };

    void Help();
    bool HasJobToStart() const;

    const unsigned threadCount_;
    const DWORD speed_;
    std::mutex mutex_;
    std::condition_variable workQueued_;
    std::condition_variable jobDone_;
    std::deque<Job> jobs_;     // in the pass's order; references stay valid while queued
    std::size_t started_ = 0;  // jobs_[0, started_) are started or done
    std::size_t running_ = 0;
    bool passWaits_ = false;
    bool ending_ = false;
    bool helpersTried_ = false;
    std::vector<std::thread> threads_;
};

// Helpers for a pass copying at `speed` on this machine: a few, leaving a core to the pass.
unsigned CopyHelperCount(DWORD speed);
