#include "platform/core/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "message_test_support.h"
#include "platform/core/errors.h"
#include "platform/core/thread.h"
#include "platform/core/window.h"

namespace {

using msgtest::kGuardMs;
using msgtest::MustEnd;

// ---- Events ----

TEST(Event, AutoResetReleasesOneWaitPerSet) {
    const plat::Event event(false, true);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    event.Set();
    event.Set();  // not counted
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(Event, AutoResetWakesExactlyOneOfTwoWaiters) {
    const plat::Event event(false, false);
    std::atomic<int> woken{0};
    plat::WorkerThread a;
    plat::WorkerThread b;
    auto wait = [&] {
        if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) ++woken;
    };
    ASSERT_TRUE(a.Start(wait));
    ASSERT_TRUE(b.Start(wait));
    event.Set();
    // One of the two ends; which one is not ours to say.
    const DWORD first = WaitForMultipleObjects({a.Handle(), b.Handle()}, FALSE, kGuardMs);
    ASSERT_LT(first, 2u);
    EXPECT_EQ(woken.load(), 1);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);  // the one Set was taken
    event.Set();
    MustEnd(a.Handle(), "first waiter");
    MustEnd(b.Handle(), "second waiter");
    EXPECT_EQ(woken.load(), 2);
}

TEST(Event, ManualResetStaysSetForEveryWaitUntilReset) {
    const plat::Event event(true, false);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    event.Set();
    std::vector<plat::WorkerThread> waiters(4);
    std::atomic<int> woken{0};
    for (auto& w : waiters)
        ASSERT_TRUE(w.Start([&] {
            if (WaitForSingleObject(event, kGuardMs) == WAIT_OBJECT_0) ++woken;
        }));
    for (auto& w : waiters) MustEnd(w.Handle(), "waiter");
    EXPECT_EQ(woken.load(), 4);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    event.Reset();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(Event, CopiesShareOneEvent) {
    const plat::Event original(true, false);
    const plat::Event copy = original;
    copy.Set();
    EXPECT_EQ(WaitForSingleObject(original, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(original == copy);
}

// ---- Semaphores ----

TEST(Semaphore, CountsDownAndRefusesToPassItsMaximum) {
    const plat::Semaphore semaphore(2, 3);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
    LONG previous = -1;
    EXPECT_FALSE(semaphore.Release(4, &previous));
    EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
    EXPECT_EQ(previous, -1);  // untouched on failure
    EXPECT_FALSE(semaphore.Release(0));
    EXPECT_TRUE(semaphore.Release(3, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(semaphore.Release(1));  // already at 3
    for (int i = 0; i < 3; ++i) EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
}

TEST(Semaphore, ImpossibleCountsMakeAnEmptyHandle) {
    EXPECT_FALSE(plat::Semaphore(4, 3));
    EXPECT_FALSE(plat::Semaphore(-1, 3));
    EXPECT_FALSE(plat::Semaphore(0, 0));
    EXPECT_TRUE(plat::Semaphore(0, 0x7FFFFFFF));
    const plat::Semaphore empty(5, 1);
    EXPECT_EQ(WaitForSingleObject(empty, 0), WAIT_FAILED);
    EXPECT_FALSE(empty.Release());
}

// The work queue's shape: workers wait for (abort, jobs); every job queued is taken
// exactly once, and once abort is set no worker takes another job.
TEST(Semaphore, ProducerAndConsumersLoseNoWakeUp) {
    constexpr int kJobs = 20000;
    const plat::Semaphore jobs(0, 0x7FFFFFFF);
    const plat::Event abort(true, false);
    std::atomic<int> taken{0};
    std::vector<plat::WorkerThread> workers(3);
    for (auto& w : workers) {
        ASSERT_TRUE(w.Start([&] {
            for (;;) {
                const DWORD r = WaitForMultipleObjects({abort, jobs}, FALSE, INFINITE);
                if (r != WAIT_OBJECT_0 + 1) return;
                ++taken;
            }
        }));
    }
    plat::WorkerThread producer;
    ASSERT_TRUE(producer.Start([&] {
        for (int i = 0; i < kJobs; ++i) jobs.Release();
    }));
    MustEnd(producer.Handle(), "producer");
    const auto start = std::chrono::steady_clock::now();
    while (taken.load() < kJobs && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) Sleep(1);
    EXPECT_EQ(taken.load(), kJobs);
    abort.Set();
    for (auto& w : workers) MustEnd(w.Handle(), "worker");
    jobs.Release(5);
    EXPECT_EQ(taken.load(), kJobs);  // abort comes first for every later wait
}

// ---- Waits ----

TEST(WaitForMultipleObjects, AnyTakesTheLowestSignalledObjectOnly) {
    const plat::Event first(false, false);
    const plat::Event second(false, true);
    const plat::Event third(false, true);
    EXPECT_EQ(WaitForMultipleObjects({first, second, third}, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForSingleObject(third, 0), WAIT_OBJECT_0);  // untouched by the wait above
    EXPECT_EQ(WaitForMultipleObjects({first, second, third}, FALSE, 0), WAIT_TIMEOUT);
}

TEST(WaitForMultipleObjects, AllTakesEverythingAtOnceOrNothing) {
    const plat::Event a(false, true);
    const plat::Event b(false, false);
    const plat::Semaphore s(1, 1);
    EXPECT_EQ(WaitForMultipleObjects({a, b, s}, TRUE, 20), WAIT_TIMEOUT);
    // Nothing was taken while b was missing.
    EXPECT_EQ(WaitForMultipleObjects({a, s}, TRUE, 0), WAIT_OBJECT_0);
    a.Set();
    s.Release();

    std::atomic<DWORD> result{0};
    plat::WorkerThread waiter;
    ASSERT_TRUE(waiter.Start([&] { result = WaitForMultipleObjects({a, b, s}, TRUE, kGuardMs); }));
    b.Set();
    MustEnd(waiter.Handle(), "wait-all");
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_TIMEOUT);
}

TEST(WaitForMultipleObjects, BadArgumentsFail) {
    const plat::Event event(true, true);
    EXPECT_EQ(WaitForMultipleObjects({event, event}, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects({event, event}, FALSE, 0), WAIT_OBJECT_0);  // allowed for wait-any
    EXPECT_EQ(WaitForMultipleObjects({}, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects({event, plat::WaitHandle()}, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    const std::vector<plat::WaitHandle> many(MAXIMUM_WAIT_OBJECTS + 1, event);
    EXPECT_EQ(WaitForMultipleObjects(many, FALSE, 0), WAIT_FAILED);
}

TEST(WaitForSingleObject, TimesOutNoEarlierThanAsked) {
    const plat::Event never(true, false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(never, 60), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
}

TEST(WaitForSingleObject, AThreadHandleIsSignalledWhenTheThreadEnds) {
    const plat::Event go(true, false);
    plat::WorkerThread worker;
    ASSERT_TRUE(worker.Start([&] { WaitForSingleObject(go, kGuardMs); }));
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 0), WAIT_TIMEOUT);
    EXPECT_FALSE(worker.Handle().HasEnded());
    EXPECT_EQ(worker.Handle().ExitCode(), STILL_ACTIVE);
    go.Set();
    MustEnd(worker.Handle(), "worker");
    EXPECT_TRUE(worker.Handle().HasEnded());
    EXPECT_EQ(worker.Handle().ExitCode(), 0u);
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 0), WAIT_OBJECT_0);  // stays signalled
}

// ---- Waits that also wake for messages ----

TEST(MsgWaitForMultipleObjects, ReturnsForAnObjectForInputAndOnTimeOut) {
    const plat::Event event(false, false);
    std::atomic<DWORD> id{0};
    plat::Event ready(true, false);
    plat::Event posted(true, false);
    std::vector<DWORD> results;
    plat::WorkerThread waiter;
    ASSERT_TRUE(waiter.Start([&] {
        plat::EnsureMessageQueue();
        id = GetCurrentThreadId();
        results.push_back(MsgWaitForMultipleObjects({event}, FALSE, 10, QS_ALLINPUT));  // nothing: time-out
        ready.Set();
        results.push_back(MsgWaitForMultipleObjects({event}, FALSE, kGuardMs, QS_ALLINPUT));  // a post
        // Waiting input counts, so this returns at once until the post is taken.
        results.push_back(MsgWaitForMultipleObjects({event}, FALSE, kGuardMs, QS_ALLINPUT));
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        posted.Set();
        results.push_back(MsgWaitForMultipleObjects({event}, FALSE, kGuardMs, QS_ALLINPUT));  // the event
        // A due timer is input too.
        SetTimer(nullptr, 0, 10);
        results.push_back(MsgWaitForMultipleObjects({event}, FALSE, kGuardMs, QS_TIMER));
        // Objects only: input is not looked at.
        results.push_back(MsgWaitForMultipleObjects({event}, FALSE, 30, 0));
    }));
    MustEnd(ready, "waiter ready");
    PostThreadMessage(id, WM_APP, 0, 0);
    MustEnd(posted, "post taken");
    event.Set();
    MustEnd(waiter.Handle(), "waiter");
    EXPECT_EQ(results, (std::vector<DWORD>{WAIT_TIMEOUT, WAIT_OBJECT_0 + 1, WAIT_OBJECT_0 + 1, WAIT_OBJECT_0,
                                           WAIT_OBJECT_0 + 1, WAIT_TIMEOUT}));
}

// ---- Critical sections ----

TEST(CriticalSection, IsReentrantForItsHolderAndExcludesOthers) {
    plat::CriticalSection section;
    section.Enter();
    section.Enter();  // the holder enters again
    std::atomic<int> otherGot{-1};
    auto tryFromOther = [&] {
        plat::WorkerThread other;
        ASSERT_TRUE(other.Start([&] {
            otherGot = section.TryEnter() ? TRUE : FALSE;
            if (otherGot) section.Leave();
        }));
        MustEnd(other.Handle(), "other");
    };
    tryFromOther();
    EXPECT_EQ(otherGot.load(), FALSE);
    section.Leave();
    tryFromOther();
    EXPECT_EQ(otherGot.load(), FALSE);  // still held once
    section.Leave();
    tryFromOther();
    EXPECT_EQ(otherGot.load(), TRUE);
}

TEST(CriticalSection, GuardsASharedCounter) {
    plat::CriticalSection section;
    long counter = 0;
    std::vector<plat::WorkerThread> threads(4);
    for (auto& t : threads) {
        ASSERT_TRUE(t.Start([&] {
            for (int i = 0; i < 10000; ++i) {
                std::lock_guard lock(section);
                ++counter;
            }
        }));
    }
    for (auto& t : threads) t.Join();
    EXPECT_EQ(counter, 40000);
}

}  // namespace
