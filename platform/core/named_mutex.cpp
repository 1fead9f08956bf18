#include "platform/core/named_mutex.h"

#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/named_object_files.h"
#include "platform/core/owned_fd.h"

namespace plat {

struct NamedMutexState {
    PresenceMark presence;
    OwnedFd lockFile;

    std::mutex mutex;
    std::condition_variable vacated;
    // The owning thread, or the thread that is waiting for the lock file to become its
    // owner (depth 0 meanwhile); other threads of the process wait for it to be vacated.
    std::thread::id owner;
    unsigned depth = 0;
    bool abandoned = false;
};

namespace {

using Clock = std::chrono::steady_clock;

NamedObjectTable<NamedMutexState>& OpenMutexes() {
    static NamedObjectTable<NamedMutexState> table;
    return table;
}

// Gives up the lock file and the owner slot; the caller holds state.mutex.
void Vacate(NamedMutexState& state) {
    ::flock(state.lockFile.Get(), LOCK_UN);
    state.owner = std::thread::id();
    state.depth = 0;
}

// The mutexes a thread owns. When the thread ends they are released, as the system does
// for the mutexes of a thread that ends.
class ThreadOwnership {
public:
    ThreadOwnership() = default;
    ThreadOwnership(const ThreadOwnership&) = delete;
    ThreadOwnership& operator=(const ThreadOwnership&) = delete;
    ~ThreadOwnership() { AbandonAll(); }

    // Called by the ending thread itself.
    void AbandonAll() {
        const auto me = std::this_thread::get_id();
        for (const auto& state : owned_) {
            std::unique_lock lock(state->mutex);
            if (state->owner != me || state->depth == 0) continue;
            Vacate(*state);
            state->abandoned = true;
            lock.unlock();
            state->vacated.notify_all();
        }
        owned_.clear();
    }

    void Add(std::shared_ptr<NamedMutexState> state) { owned_.push_back(std::move(state)); }
    void Remove(const NamedMutexState* state) {
        std::erase_if(owned_, [state](const auto& owned) { return owned.get() == state; });
    }

private:
    std::vector<std::shared_ptr<NamedMutexState>> owned_;
};

thread_local ThreadOwnership t_ownership;

enum class LockFileResult { Taken, TimedOut, Failed };

LockFileResult TakeLockFile(int fd, bool forever, Clock::time_point deadline) {
    if (forever) {
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                SetLastErrorFromErrno();
                return LockFileResult::Failed;
            }
        }
        return LockFileResult::Taken;
    }
    // flock has no time limit of its own; poll, quickly at first.
    Clock::duration pause = std::chrono::milliseconds(1);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockFileResult::Taken;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            SetLastErrorFromErrno();
            return LockFileResult::Failed;
        }
        const auto now = Clock::now();
        if (now >= deadline) return LockFileResult::TimedOut;
        std::this_thread::sleep_for(std::min(pause, deadline - now));
        pause = std::min<Clock::duration>(pause * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace

void detail::AbandonNamedMutexesOfEndingThread() { t_ownership.AbandonAll(); }

NamedMutex::~NamedMutex() = default;
NamedMutex::NamedMutex(NamedMutex&&) noexcept = default;
NamedMutex& NamedMutex::operator=(NamedMutex&&) noexcept = default;

NamedMutex NamedMutex::Create(std::string_view name) {
    ObjectName parsed;
    if (!ParseObjectName(name, parsed)) return {};
    const std::string folder = ObjectFolder(parsed.scope);
    if (folder.empty()) return {};
    const std::string stem = EncodeObjectName(parsed.body);

    bool openHere = false;
    bool openElsewhere = false;
    auto state =
        OpenMutexes().FindOrCreate(folder + "/" + stem + ".mutex", openHere, [&]() -> std::shared_ptr<NamedMutexState> {
            auto made = std::make_shared<NamedMutexState>();
            if (!made->presence.Take(folder, stem + ".mutex-open", parsed.scope, openElsewhere)) return nullptr;
            made->lockFile = OpenObjectFile(folder, stem + ".mutex", parsed.scope);
            if (!made->lockFile) return nullptr;
            return made;
        });
    if (!state) return {};

    NamedMutex mutex;
    mutex.state_ = std::move(state);
    mutex.alreadyExisted_ = openHere || openElsewhere;
    SetLastError(mutex.alreadyExisted_ ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return mutex;
}

NamedMutex NamedMutex::Open(std::string_view name) {
    NamedMutex mutex = Create(name);
    if (mutex.IsOpen() && !mutex.AlreadyExisted()) {
        mutex.Close();
        SetLastError(ERROR_FILE_NOT_FOUND);
    }
    return mutex;
}

WaitResult NamedMutex::Wait(DWORD timeoutMs) const {
    if (!state_) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WaitResult::Failed;
    }
    NamedMutexState& state = *state_;
    const auto me = std::this_thread::get_id();
    const bool forever = timeoutMs == INFINITE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);

    std::unique_lock lock(state.mutex);
    if (state.owner == me) {
        ++state.depth;
        return WaitResult::Acquired;
    }
    const auto vacant = [&state] { return state.owner == std::thread::id(); };
    if (forever) {
        state.vacated.wait(lock, vacant);
    } else if (!state.vacated.wait_until(lock, deadline, vacant)) {
        return WaitResult::TimedOut;
    }
    state.owner = me;
    lock.unlock();

    const LockFileResult taken = TakeLockFile(state.lockFile.Get(), forever, deadline);

    lock.lock();
    if (taken != LockFileResult::Taken) {
        state.owner = std::thread::id();
        lock.unlock();
        state.vacated.notify_all();
        return taken == LockFileResult::TimedOut ? WaitResult::TimedOut : WaitResult::Failed;
    }
    state.depth = 1;
    const bool abandoned = std::exchange(state.abandoned, false);
    lock.unlock();
    t_ownership.Add(state_);
    return abandoned ? WaitResult::Abandoned : WaitResult::Acquired;
}

bool NamedMutex::Release() const {
    if (!state_) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    NamedMutexState& state = *state_;
    std::unique_lock lock(state.mutex);
    if (state.owner != std::this_thread::get_id() || state.depth == 0) {
        SetLastError(kErrorNotOwner);
        return false;
    }
    if (--state.depth > 0) return true;
    Vacate(state);
    lock.unlock();
    state.vacated.notify_all();
    t_ownership.Remove(&state);
    return true;
}

bool NamedMutex::IsOwnedByCallingThread() const {
    if (!state_) return false;
    std::lock_guard lock(state_->mutex);
    return state_->owner == std::this_thread::get_id() && state_->depth > 0;
}

void NamedMutex::Close() {
    state_.reset();
    alreadyExisted_ = false;
}

}  // namespace plat
