#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "message_test_support.h"
#include "platform/core/errors.h"
#include "platform/core/sync.h"
#include "platform/core/thread.h"
#include "platform/core/window.h"

namespace {

using msgtest::kGuardMs;
using msgtest::LambdaWindow;
using msgtest::MustEnd;
using msgtest::WindowThread;

constexpr UINT kDouble = WM_APP + 1;
constexpr UINT kRecord = WM_APP + 2;

// Runs `body` on a worker thread and waits (with the hang guard) for it to end.
void OnWorker(std::function<void()> body) {
    plat::WorkerThread worker;
    ASSERT_TRUE(worker.Start(std::move(body)));
    MustEnd(worker.Handle(), "worker");
    worker.Join();
}

// ---- Sending ----

TEST(SendMessage, FromAnotherThreadRunsOnTheOwnerAndReturnsTheResult) {
    std::atomic<DWORD> ranOn{0};
    WindowThread owner([&](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        if (message != kDouble) return 0;
        ranOn = GetCurrentThreadId();
        return static_cast<LRESULT>(w * 2);
    });
    EXPECT_EQ(SendMessage(owner.Hwnd(), kDouble, 21, 0), 42);
    EXPECT_EQ(ranOn.load(), owner.ThreadId());
    LRESULT result = 0;
    EXPECT_TRUE(SendMessageTimeout(owner.Hwnd(), kDouble, 5, 0, kGuardMs, &result));
    EXPECT_EQ(result, 10);
}

TEST(SendMessage, OnTheOwnerThreadCallsTheProcedureDirectly) {
    OnWorker([] {
        int calls = 0;
        LambdaWindow procedure([&](HWND, UINT, WPARAM w, LPARAM) -> LRESULT {
            ++calls;
            return static_cast<LRESULT>(w + 1);
        });
        const HWND hwnd = plat::CreateMessageWindow(&procedure);
        EXPECT_EQ(SendMessage(hwnd, kDouble, 1, 0), 2);  // no loop runs: it must be direct
        EXPECT_EQ(calls, 1);
        DestroyWindow(hwnd);
    });
}

TEST(SendMessage, ToADestroyedWindowReturnsZero) {
    OnWorker([] {
        bool called = false;
        LambdaWindow procedure([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == kDouble) called = true;
            return 7;
        });
        const HWND hwnd = plat::CreateMessageWindow(&procedure);
        ASSERT_TRUE(DestroyWindow(hwnd));
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(SendMessage(hwnd, kDouble, 1, 0), 0);
        EXPECT_FALSE(PostMessage(hwnd, kDouble, 1, 0));
        EXPECT_FALSE(called);
        // A handle that never was a window.
        EXPECT_EQ(SendMessage(HwndFromId(12345), kDouble, 1, 0), 0);
    });
}

TEST(SendMessage, WindowDestroyedWhileTheSenderWaitsReturnsZero) {
    plat::Event created(true, false);
    plat::Event destroyNow(true, false);
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<bool> handled{false};
    plat::WorkerThread owner;
    ASSERT_TRUE(owner.Start([&] {
        LambdaWindow procedure([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == kDouble) handled = true;
            return 99;
        });
        hwnd = plat::CreateMessageWindow(&procedure);
        created.Set();
        // Busy until told: a send arriving now waits in the queue.
        WaitForSingleObject(destroyNow, kGuardMs);
        DestroyWindow(hwnd);
        WaitForSingleObject(plat::Event(true, false), 50);  // stays alive a little, pumping nothing
    }));
    MustEnd(created, "owner start");

    std::atomic<LRESULT> result{-1};
    plat::WorkerThread sender;
    ASSERT_TRUE(sender.Start([&] { result = SendMessage(hwnd, kDouble, 1, 0); }));
    // Give the send a moment to be queued; either order must give 0.
    Sleep(20);
    destroyNow.Set();
    MustEnd(sender.Handle(), "sender");
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(handled.load());
    MustEnd(owner.Handle(), "owner");
}

TEST(SendMessage, OwnerThreadEndingWhileTheSenderWaitsReturnsZero) {
    plat::Event created(true, false);
    plat::Event endNow(true, false);
    std::atomic<HWND> hwnd{nullptr};
    plat::WorkerThread owner;
    ASSERT_TRUE(owner.Start([&] {
        LambdaWindow procedure([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 5; });
        hwnd = plat::CreateMessageWindow(&procedure);
        created.Set();
        WaitForSingleObject(endNow, kGuardMs);  // ends without ever pumping
    }));
    MustEnd(created, "owner start");
    std::atomic<LRESULT> result{-1};
    plat::WorkerThread sender;
    ASSERT_TRUE(sender.Start([&] { result = SendMessage(hwnd, kDouble, 1, 0); }));
    Sleep(20);
    endNow.Set();
    MustEnd(sender.Handle(), "sender");
    EXPECT_EQ(result.load(), 0);
    MustEnd(owner.Handle(), "owner");
    EXPECT_FALSE(IsWindow(hwnd));  // the thread's windows went with it
}

TEST(SendMessage, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    constexpr int kRounds = 500;
    plat::Event bothReady(true, false);
    std::atomic<int> ready{0};
    std::atomic<int> finished{0};
    std::atomic<HWND> windows[2] = {nullptr, nullptr};
    std::atomic<int> wrong{0};

    auto side = [&](int me) {
        LambdaWindow procedure([](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
            return message == kDouble ? static_cast<LRESULT>(w * 2) : 0;
        });
        windows[me] = plat::CreateMessageWindow(&procedure);
        if (++ready == 2) bothReady.Set();
        WaitForSingleObject(bothReady, kGuardMs);
        // Both threads send at the same time; neither runs a loop: each answers the other
        // while it waits for its own answer.
        for (int i = 0; i < kRounds; ++i) {
            if (SendMessage(windows[1 - me], kDouble, static_cast<WPARAM>(i), 0) != 2 * i) ++wrong;
        }
        ++finished;
        while (finished < 2) {  // keep answering until the other side is done too
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
            MsgWaitForMultipleObjects({}, FALSE, 5, QS_ALLINPUT);
        }
    };
    plat::WorkerThread a;
    plat::WorkerThread b;
    ASSERT_TRUE(a.Start([&] { side(0); }));
    ASSERT_TRUE(b.Start([&] { side(1); }));
    MustEnd(a.Handle(), "side a");
    MustEnd(b.Handle(), "side b");
    EXPECT_EQ(wrong.load(), 0);
}

TEST(SendMessage, AChainOfThreeBackToTheFirstDoesNotDeadlock) {
    // main -> A; A's handler -> B; B's handler -> C; C's handler -> A (which is waiting).
    std::atomic<HWND> a{nullptr}, b{nullptr}, c{nullptr};
    WindowThread threadC([&](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        return message == kDouble ? SendMessage(a, kRecord, w + 1, 0) * 10 : 0;
    });
    WindowThread threadB([&](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        return message == kDouble ? SendMessage(c, kDouble, w + 1, 0) + 1 : 0;
    });
    WindowThread threadA([&](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        if (message == kRecord) return static_cast<LRESULT>(w);  // asked by C while A waits on B
        return message == kDouble ? SendMessage(b, kDouble, w + 1, 0) : 0;
    });
    a = threadA.Hwnd();
    b = threadB.Hwnd();
    c = threadC.Hwnd();
    std::atomic<LRESULT> result{-1};
    plat::WorkerThread main;
    ASSERT_TRUE(main.Start([&] { result = SendMessage(a, kDouble, 1, 0); }));
    MustEnd(main.Handle(), "chain");
    // 1 -> A: 2 -> B: 3 -> C: 4 -> A answers 4; C: 40; B: 41.
    EXPECT_EQ(result.load(), 41);
}

TEST(SendMessage, TimeoutGivesUpAndTheCallNeverRunsLater) {
    plat::Event busy(true, false);
    plat::Event created(true, false);
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<int> runs{0};
    plat::WorkerThread owner;
    ASSERT_TRUE(owner.Start([&] {
        LambdaWindow procedure([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == kDouble) ++runs;
            return 1;
        });
        hwnd = plat::CreateMessageWindow(&procedure);
        created.Set();
        WaitForSingleObject(busy, kGuardMs);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    }));
    MustEnd(created, "owner start");
    LRESULT result = 1234;
    EXPECT_FALSE(SendMessageTimeout(hwnd, kDouble, 0, 0, 30, &result));
    EXPECT_EQ(result, 1234);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    busy.Set();
    MustEnd(owner.Handle(), "owner");
    EXPECT_EQ(runs.load(), 0);
}

TEST(SendMessage, AProcedureThatThrowsStillReleasesTheSender) {
    plat::Event created(true, false);
    plat::Event stop(true, false);
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<bool> caught{false};
    plat::WorkerThread owner;
    ASSERT_TRUE(owner.Start([&] {
        LambdaWindow procedure([](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == kDouble) throw std::runtime_error("handler failed");
            return 0;
        });
        hwnd = plat::CreateMessageWindow(&procedure);
        created.Set();
        while (WaitForSingleObject(stop, 0) == WAIT_TIMEOUT) {
            try {
                MSG msg;
                while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
            } catch (const std::runtime_error&) {
                caught = true;
            }
            MsgWaitForMultipleObjects({stop}, FALSE, kGuardMs, QS_ALLINPUT);
        }
    }));
    MustEnd(created, "owner start");
    EXPECT_EQ(SendMessage(hwnd, kDouble, 1, 0), 0);
    stop.Set();
    MustEnd(owner.Handle(), "owner");
    EXPECT_TRUE(caught.load());
}

// ---- Posting ----

TEST(PostMessage, EachSendersOrderIsKept) {
    constexpr int kPerSender = 5000;
    std::mutex mutex;
    std::vector<std::pair<int, int>> seen;
    seen.reserve(2 * kPerSender);
    plat::Event allSeen(true, false);
    WindowThread owner([&](HWND, UINT message, WPARAM sender, LPARAM seq) -> LRESULT {
        if (message != kRecord) return 0;
        std::lock_guard lock(mutex);
        seen.emplace_back(static_cast<int>(sender), static_cast<int>(seq));
        if (seen.size() == 2 * kPerSender) allSeen.Set();
        return 0;
    });
    auto post = [&](int sender) {
        for (int i = 0; i < kPerSender; ++i) ASSERT_TRUE(PostMessage(owner.Hwnd(), kRecord, sender, i));
    };
    plat::WorkerThread one;
    plat::WorkerThread two;
    ASSERT_TRUE(one.Start([&] { post(0); }));
    ASSERT_TRUE(two.Start([&] { post(1); }));
    MustEnd(allSeen, "all posts seen");
    std::lock_guard lock(mutex);
    int next[2] = {0, 0};
    for (const auto& [sender, seq] : seen) {
        ASSERT_EQ(seq, next[sender]) << "sender " << sender;
        ++next[sender];
    }
    EXPECT_EQ(next[0], kPerSender);
    EXPECT_EQ(next[1], kPerSender);
}

TEST(MessageQueue, SentCallsComeBeforePostsAndQuitAfterPosts) {
    std::vector<std::string> order;
    plat::Event created(true, false);
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<DWORD> ownerId{0};
    std::atomic<bool> sendQueued{false};
    plat::WorkerThread owner;
    ASSERT_TRUE(owner.Start([&] {
        LambdaWindow procedure([&](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
            if (message == kRecord) order.push_back((w == 1 ? "sent" : "posted ") + std::to_string(w));
            return 0;
        });
        hwnd = plat::CreateMessageWindow(&procedure);
        ownerId = GetCurrentThreadId();
        created.Set();
        // Waits only for a sent call: the posts queued before it do not wake this.
        sendQueued = MsgWaitForMultipleObjects({}, FALSE, kGuardMs, QS_SENDMESSAGE) == WAIT_OBJECT_0;
        PostQuitMessage(3);
        PostMessage(hwnd, kRecord, 4, 0);  // posted after the quit request, still before WM_QUIT
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
        order.push_back("quit " + std::to_string(msg.wParam));
    }));
    MustEnd(created, "owner start");
    PostMessage(hwnd, kRecord, 2, 0);
    PostMessage(hwnd, kRecord, 3, 0);
    plat::WorkerThread sender;
    ASSERT_TRUE(sender.Start([&] { SendMessage(hwnd, kRecord, 1, 0); }));
    MustEnd(owner.Handle(), "owner");
    MustEnd(sender.Handle(), "sender");
    EXPECT_TRUE(sendQueued.load());
    EXPECT_EQ(order, (std::vector<std::string>{"sent1", "posted 2", "posted 3", "posted 4", "quit 3"}));
}

TEST(MessageQueue, PeekAndGetHonourTheirFilters) {
    OnWorker([] {
        LambdaWindow procedure([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        const HWND one = plat::CreateMessageWindow(&procedure);
        const HWND two = plat::CreateMessageWindow(&procedure);
        PostMessage(one, WM_APP + 10, 1, 0);
        PostMessage(two, WM_APP + 20, 2, 0);
        PostThreadMessage(GetCurrentThreadId(), WM_APP + 30, 3, 0);
        MSG msg;
        ASSERT_TRUE(PeekMessage(&msg, two, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(msg.wParam, 2u);
        ASSERT_TRUE(PeekMessage(&msg, HWND_THREAD_MESSAGES, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 3u);
        EXPECT_EQ(msg.hwnd, nullptr);
        ASSERT_TRUE(GetMessage(&msg, nullptr, WM_APP + 15, WM_APP + 25));
        EXPECT_EQ(msg.wParam, 2u);
        ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 1u);
        EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(GetMessage(&msg, HwndFromId(777), 0, 0), -1);  // not a window of this thread
        DestroyWindow(one);
        DestroyWindow(two);
    });
}

TEST(MessageQueue, PostThreadMessageNeedsAQueue) {
    plat::Event go(true, false);
    plat::WorkerThread plain;
    ASSERT_TRUE(plain.Start([&] { WaitForSingleObject(go, kGuardMs); }));
    EXPECT_FALSE(PostThreadMessage(plain.ThreadId(), WM_APP, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    go.Set();
    plain.Join();
    EXPECT_FALSE(PostThreadMessage(plain.ThreadId(), WM_APP, 0, 0));  // ended
}

// ---- The wake hook and ProcessPendingMessages (how the GUI loop drains its queue) ----

TEST(ProcessPendingMessages, HandlesWhatWaitsWithoutBeingTrappedByRepostingHandlers) {
    OnWorker([] {
        int handled = 0;
        HWND self = nullptr;
        LambdaWindow procedure([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == kRecord) {
                ++handled;
                PostMessage(self, kRecord, 0, 0);  // always one more
            }
            return 0;
        });
        self = plat::CreateMessageWindow(&procedure);
        PostMessage(self, kRecord, 0, 0);
        PostMessage(self, kRecord, 0, 0);
        EXPECT_TRUE(plat::ProcessPendingMessages());
        EXPECT_EQ(handled, 2);
        EXPECT_TRUE(plat::ProcessPendingMessages());
        EXPECT_EQ(handled, 4);
        DestroyWindow(self);
        PostQuitMessage(9);
        int code = 0;
        EXPECT_FALSE(plat::ProcessPendingMessages(&code));
        EXPECT_EQ(code, 9);
    });
}

TEST(WakeHook, IsCalledOnceUntilTheQueueIsLookedAt) {
    std::atomic<int> wakes{0};
    plat::Event hooked(true, false);
    plat::Event posted(true, false);
    plat::Event done(true, false);
    std::atomic<DWORD> ownerId{0};
    plat::WorkerThread owner;
    ASSERT_TRUE(owner.Start([&] {
        plat::EnsureMessageQueue();
        ownerId = GetCurrentThreadId();
        plat::SetQueueWakeHook(ownerId, [&] { ++wakes; });
        hooked.Set();
        WaitForSingleObject(posted, kGuardMs);
        EXPECT_EQ(wakes.load(), 1);  // three posts, one wake
        plat::ProcessPendingMessages();
        PostThreadMessage(GetCurrentThreadId(), WM_APP, 0, 0);
        EXPECT_EQ(wakes.load(), 2);
        plat::SetQueueWakeHook(GetCurrentThreadId(), {});
        done.Set();
    }));
    MustEnd(hooked, "hook set");
    for (int i = 0; i < 3; ++i) PostThreadMessage(ownerId, WM_APP, 0, 0);
    posted.Set();
    MustEnd(done, "owner");
}

TEST(CallOnThread, RunsOnTheTargetThreadAndRefusesAThreadWithoutQueue) {
    WindowThread target([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    bool ran = false;
    const LRESULT id = plat::CallOnThread(
        target.ThreadId(), [] { return static_cast<LRESULT>(GetCurrentThreadId()); }, &ran);
    EXPECT_TRUE(ran);
    EXPECT_EQ(static_cast<DWORD>(id), target.ThreadId());

    plat::Event go(true, false);
    plat::WorkerThread plain;
    ASSERT_TRUE(plain.Start([&] { WaitForSingleObject(go, kGuardMs); }));
    bool called = false;
    EXPECT_EQ(plat::CallOnThread(
                  plain.ThreadId(),
                  [&] {
                      called = true;
                      return LRESULT{1};
                  },
                  &ran),
              0);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(called);
    go.Set();
}

// ---- Windows ----

TEST(DestroyWindow, GoesParentFirstForWmDestroyAndChildrenFirstForWmNcDestroy) {
    OnWorker([] {
        std::vector<std::pair<std::string, UINT>> log;
        auto named = [&](std::string name) {
            return [&log, name](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
                if (message == WM_DESTROY || message == WM_NCDESTROY) log.emplace_back(name, message);
                return 0;
            };
        };
        LambdaWindow top(named("top")), child(named("child")), grandchild(named("grandchild"));
        const HWND hTop = plat::CreateMessageWindow(&top);
        const HWND hChild = plat::CreateMessageWindow(&child, hTop);
        const HWND hGrand = plat::CreateMessageWindow(&grandchild, hChild);
        ASSERT_TRUE(DestroyWindow(hTop));
        EXPECT_FALSE(IsWindow(hTop));
        EXPECT_FALSE(IsWindow(hChild));
        EXPECT_FALSE(IsWindow(hGrand));
        const std::vector<std::pair<std::string, UINT>> expected = {
            {"top", WM_DESTROY},          {"child", WM_DESTROY},   {"grandchild", WM_DESTROY},
            {"grandchild", WM_NCDESTROY}, {"child", WM_NCDESTROY}, {"top", WM_NCDESTROY}};
        EXPECT_EQ(log, expected);
        EXPECT_FALSE(DestroyWindow(hTop));
    });
}

TEST(DestroyWindow, OnlyTheOwnerMayDestroy) {
    WindowThread owner([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    EXPECT_FALSE(DestroyWindow(owner.Hwnd()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(IsWindow(owner.Hwnd()));
    EXPECT_EQ(plat::GetWindowThreadId(owner.Hwnd()), owner.ThreadId());
}

TEST(Windows, HandlesAreNotReused) {
    OnWorker([] {
        LambdaWindow procedure([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        const HWND first = plat::CreateMessageWindow(&procedure);
        DestroyWindow(first);
        for (int i = 0; i < 100; ++i) {
            const HWND next = plat::CreateMessageWindow(&procedure);
            EXPECT_NE(next, first);
            DestroyWindow(next);
        }
    });
}

TEST(SendMessageToDescendants, WalksChildrenDepthFirstInCreationOrder) {
    OnWorker([] {
        std::vector<std::string> order;
        auto named = [&](std::string name) {
            return [&order, name](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
                if (message == kRecord) order.push_back(name);
                return 0;
            };
        };
        LambdaWindow top(named("top")), a(named("a")), a1(named("a1")), a2(named("a2")), b(named("b")), b1(named("b1"));
        const HWND hTop = plat::CreateMessageWindow(&top);
        const HWND hA = plat::CreateMessageWindow(&a, hTop);
        const HWND hB = plat::CreateMessageWindow(&b, hTop);
        plat::CreateMessageWindow(&a1, hA);
        plat::CreateMessageWindow(&b1, hB);
        const HWND hA2 = plat::CreateMessageWindow(&a2, hB);
        ASSERT_EQ(SetParent(hA2, hA), hB);  // adopted: now after a1
        SendMessageToDescendants(hTop, kRecord, 0, 0, true);
        EXPECT_EQ(order, (std::vector<std::string>{"a", "a1", "a2", "b", "b1"}));
        order.clear();
        SendMessageToDescendants(hTop, kRecord, 0, 0, false);
        EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(SetParent(hTop, hA), nullptr);  // a window cannot go below its own child
        EXPECT_EQ(GetParent(hTop), nullptr);
        DestroyWindow(hTop);
    });
}

TEST(SendMessageToDescendants, ReachesChildrenOwnedByOtherThreads) {
    std::atomic<int> reached{0};
    WindowThread other([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == kRecord) ++reached;
        return 0;
    });
    OnWorker([&] {
        LambdaWindow top([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        const HWND hTop = plat::CreateMessageWindow(&top);
        SetParent(other.Hwnd(), hTop);
        SendMessageToDescendants(hTop, kRecord, 0, 0);
        // Another thread's child cannot be destroyed from here: it only loses its parent.
        DestroyWindow(hTop);
    });
    EXPECT_EQ(reached.load(), 1);
    EXPECT_TRUE(IsWindow(other.Hwnd()));
    EXPECT_EQ(GetParent(other.Hwnd()), nullptr);
}

// ---- Timers ----

TEST(Timers, FireOnTheOwnerThreadOnlyAndGoWithTheirWindow) {
    std::mutex mutex;
    std::vector<DWORD> firedOn;
    plat::Event threeTicks(true, false);
    WindowThread owner([&](HWND, UINT message, WPARAM id, LPARAM) -> LRESULT {
        if (message == WM_TIMER && id == 150) {
            std::lock_guard lock(mutex);
            firedOn.push_back(GetCurrentThreadId());
            if (firedOn.size() == 3) threeTicks.Set();
        }
        return 0;
    });
    // Only the owner may set a window's timer.
    EXPECT_EQ(SetTimer(owner.Hwnd(), 150, 10), 0u);
    const auto setOnOwner =
        plat::CallOnThread(owner.ThreadId(), [&] { return static_cast<LRESULT>(SetTimer(owner.Hwnd(), 150, 10)); });
    EXPECT_EQ(setOnOwner, 150);
    MustEnd(threeTicks, "three timer ticks");
    {
        std::lock_guard lock(mutex);
        for (const DWORD id : firedOn) EXPECT_EQ(id, owner.ThreadId());
    }
    plat::CallOnThread(owner.ThreadId(), [&] { return static_cast<LRESULT>(DestroyWindow(owner.Hwnd())); });
    EXPECT_FALSE(KillTimer(owner.Hwnd(), 150));  // went with its window
}

TEST(Timers, ThreadTimersGetUniqueIdsAndArriveAsThreadMessages) {
    OnWorker([] {
        const UINT_PTR first = SetTimer(nullptr, 0, 10);
        const UINT_PTR second = SetTimer(nullptr, 0, 10);
        ASSERT_NE(first, 0u);
        ASSERT_NE(second, 0u);
        EXPECT_NE(first, second);
        EXPECT_EQ(SetTimer(nullptr, first, 20), first);  // its own id: replaced, not added
        EXPECT_TRUE(KillTimer(nullptr, second));
        MSG msg;
        ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
        EXPECT_EQ(msg.message, WM_TIMER);
        EXPECT_EQ(msg.hwnd, nullptr);
        EXPECT_EQ(msg.wParam, first);
        EXPECT_TRUE(KillTimer(nullptr, first));
        EXPECT_FALSE(KillTimer(nullptr, first));
        EXPECT_EQ(plat::TimeToNextTimer(), INFINITE);
    });
}

TEST(Timers, AreNotPiledUpWhileTheLoopIsBusy) {
    OnWorker([] {
        int ticks = 0;
        LambdaWindow procedure([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == WM_TIMER) ++ticks;
            return 0;
        });
        const HWND hwnd = plat::CreateMessageWindow(&procedure);
        SetTimer(hwnd, 1, 10);
        Sleep(100);  // ten intervals pass unserved
        plat::ProcessPendingMessages();
        EXPECT_EQ(ticks, 1);
        DestroyWindow(hwnd);
    });
}

TEST(Timers, AKilledTimerNoLongerFiresEvenWhenItWasDueWithAnother) {
    OnWorker([] {
        std::vector<WPARAM> fired;
        HWND hwnd = nullptr;
        LambdaWindow procedure([&](HWND, UINT message, WPARAM id, LPARAM) -> LRESULT {
            if (message != WM_TIMER) return 0;
            fired.push_back(id);
            KillTimer(hwnd, id == 1 ? 2 : 1);  // whichever comes first stops the other
            return 0;
        });
        hwnd = plat::CreateMessageWindow(&procedure);
        SetTimer(hwnd, 1, 10);
        SetTimer(hwnd, 2, 10);
        Sleep(30);  // both are due
        plat::ProcessPendingMessages();
        EXPECT_EQ(fired.size(), 1u);
        DestroyWindow(hwnd);
    });
}

}  // namespace
