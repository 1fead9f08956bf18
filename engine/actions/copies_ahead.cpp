#include "engine/actions/copies_ahead.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace {

// Copies made or under way ahead of the pass at most: enough to keep the helpers busy,
// few enough that their open files and wasted work after a Stop stay small.
constexpr std::size_t kMostAhead = 32;
constexpr unsigned kMostHelpers = 3;

}  // namespace

unsigned CopyHelperCount(DWORD speed) {
    // A speed with pauses copies one file at a time on purpose.
    if (CopyPauseForSpeed(speed) != 0) return 0;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores <= 1 ? 0 : std::min(kMostHelpers, cores - 1);
}

CopiesAhead::CopiesAhead(unsigned threads, DWORD speed) : threadCount_(threads), speed_(speed) {}

CopiesAhead::~CopiesAhead() {
    DropAll();
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    workQueued_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void CopiesAhead::Queue(const void* key, const plat::FolderHandle& from, const plat::FolderHandle& to,
                        std::string name) {
    if (!Helps()) return;
    if (threads_.empty() && !helpersTried_) {
        helpersTried_ = true;
        try {
            for (unsigned i = 0; i < threadCount_; ++i) threads_.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            // As many as the system gave; with none, the pass copies every file itself.
        }
    }
    if (threads_.empty()) return;
    std::unique_lock lock(mutex_);
    jobs_.push_back(Job{key, &from, &to, std::move(name), false, false, {}});
    // A copy beyond the room is started when Take makes room.
    const bool helperNeeded = jobs_.size() <= kMostAhead;
    lock.unlock();
    if (helperNeeded) workQueued_.notify_one();
}

std::size_t CopiesAhead::Queued() {
    const std::lock_guard lock(mutex_);
    return jobs_.size();
}

bool CopiesAhead::HasJobToStart() const { return started_ < jobs_.size() && started_ < kMostAhead; }

void CopiesAhead::Help() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workQueued_.wait(lock, [this] { return ending_ || HasJobToStart(); });
        if (ending_) return;
        Job& job = jobs_[started_++];
        job.started = true;
        ++running_;
        lock.unlock();
        CopyMadeAhead made = MakeNewCopyAhead(*job.from, *job.to, job.name, speed_);
        lock.lock();
        job.result = std::move(made);
        job.done = true;
        --running_;
        if (passWaits_) jobDone_.notify_one();
    }
}

CopyMadeAhead CopiesAhead::Take(const void* key) {
    std::unique_lock lock(mutex_);
    if (jobs_.empty() || jobs_.front().key != key) return {};
    Job& job = jobs_.front();
    if (!job.started) {
        // Not started yet: the pass copies it itself rather than wait for a helper.
        jobs_.pop_front();  // none after it is started either
        return {};
    }
    passWaits_ = true;
    jobDone_.wait(lock, [&job] { return job.done; });
    passWaits_ = false;
    CopyMadeAhead made = std::move(job.result);
    jobs_.pop_front();
    --started_;
    // Helpers that found no room wait until half of it is free, then all go on: fewer
    // wake-ups than one per copy.
    const bool wake = started_ == kMostAhead / 2 && HasJobToStart();
    lock.unlock();
    if (wake) workQueued_.notify_all();
    return made;
}

void CopiesAhead::DropAll() {
    std::unique_lock lock(mutex_);
    // Nothing not yet started will be; those under way are waited for.
    jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(started_), jobs_.end());
    passWaits_ = true;
    jobDone_.wait(lock, [this] { return running_ == 0; });
    passWaits_ = false;
    jobs_.clear();
    started_ = 0;
}
