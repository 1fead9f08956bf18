#pragma once
// Named mutexes shared by every process of the user ("Local\name", or no prefix) or of the
// machine ("Global\name"); see named_object_files.h for where they live.
//
// Across processes a mutex is an exclusive lock on its lock file; a process that dies lets
// go of it. Within the process it belongs to the thread that took it:
//  - another thread of the process waits like another process does;
//  - the owning thread takes it again at once, and must release it as many times;
//  - only the owner can release it;
//  - a thread that ends releases what it still owns (the next taker sees Abandoned).
// All handles to one name in a process share one state, and ownership outlives the handle
// that took it: a thread may close its handle and later release through a new one.

#include <memory>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"

namespace plat {

// The error of a release by a thread that does not own the mutex.
inline constexpr DWORD kErrorNotOwner = 288;

enum class WaitResult {
    Acquired,
    Abandoned,  // acquired; the previous owner thread ended without releasing it
    TimedOut,
    Failed,  // GetLastError tells why; the mutex is not taken
};

// Acquired and Abandoned both leave the caller owning the mutex.
inline bool IsOwned(WaitResult result) { return result == WaitResult::Acquired || result == WaitResult::Abandoned; }

struct NamedMutexState;

class NamedMutex {
public:
    NamedMutex() = default;
    ~NamedMutex();
    NamedMutex(NamedMutex&&) noexcept;
    NamedMutex& operator=(NamedMutex&&) noexcept;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Creates the mutex, or opens it when it exists, without taking it. On success
    // GetLastError() is ERROR_ALREADY_EXISTS when the mutex was open already (in this process
    // or another one), else ERROR_SUCCESS. On failure the handle is closed and GetLastError()
    // tells why.
    static NamedMutex Create(std::string_view name);
    // Opens an existing mutex; closed, with ERROR_FILE_NOT_FOUND, when none has that name.
    static NamedMutex Open(std::string_view name);

    bool IsOpen() const { return state_ != nullptr; }
    bool AlreadyExisted() const { return alreadyExisted_; }

    // Takes the mutex for the calling thread, waiting at most `timeoutMs` (0 only tries;
    // INFINITE waits for ever).
    WaitResult Wait(DWORD timeoutMs) const;
    // Gives back one level of the calling thread's ownership. False, with kErrorNotOwner,
    // when the calling thread does not own it (ERROR_INVALID_HANDLE on a closed handle).
    bool Release() const;
    bool IsOwnedByCallingThread() const;

    void Close();

private:
    std::shared_ptr<NamedMutexState> state_;
    bool alreadyExisted_ = false;
};

namespace detail {
// Lets go of what the calling thread still owns, as its end would. The threads made here
// call it before their handle is signalled, so a waiter for the thread finds them free.
void AbandonNamedMutexesOfEndingThread();
}  // namespace detail

}  // namespace plat
