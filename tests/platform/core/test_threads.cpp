#include "platform/core/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "message_test_support.h"
#include "platform/core/ui_thread.h"
#include "platform/core/window.h"

namespace {

using msgtest::kGuardMs;
using msgtest::LambdaWindow;
using msgtest::MustEnd;

constexpr UINT kStart = WM_APP + 1301;
constexpr UINT kEnded = WM_APP + 1305;

// What a test thread saw, kept by the test because the thread deletes itself.
struct Journal {
    std::mutex mutex;
    std::vector<std::string> events;
    DWORD destroyedOn = 0;
    void Add(std::string event) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(event));
    }
    std::vector<std::string> Events() {
        std::lock_guard lock(mutex);
        return events;
    }
};

class RunThread : public plat::UiThread {
public:
    explicit RunThread(Journal& journal, BOOL init = TRUE) : journal_(journal), init_(init) {
        MapThreadMessage(kStart, &RunThread::OnStart);
        MapThreadMessage(kEnded, &RunThread::OnEnded);
    }
    ~RunThread() override { journal_.destroyedOn = GetCurrentThreadId(); }

protected:
    BOOL InitInstance() override {
        journal_.Add("init");
        return init_;
    }
    int ExitInstance() override {
        journal_.Add("exit");
        return UiThread::ExitInstance() + 100;
    }

private:
    void OnStart(WPARAM w, LPARAM l) {
        journal_.Add("start " + std::to_string(w) + " " + std::to_string(l));
        // Answer itself later, as a run's end is posted back to its thread.
        PostThreadMessage(kEnded, 1, 0);
    }
    void OnEnded(WPARAM w, LPARAM) {
        journal_.Add("ended " + std::to_string(w));
        PostQuitMessage(5);
    }

    Journal& journal_;
    const BOOL init_;
};

TEST(UiThread, GetsAMessagePostedRightAfterItsCreation) {
    // Repeated: a post that raced the new thread's start would be lost now and then.
    for (int round = 0; round < 50; ++round) {
        Journal journal;
        const plat::ThreadHandle thread = plat::UiThread::Begin(std::make_unique<RunThread>(journal));
        ASSERT_TRUE(thread);
        ASSERT_TRUE(::PostThreadMessage(thread.ThreadId(), kStart, 7, 2));
        MustEnd(thread, "run thread");
        EXPECT_EQ(journal.Events(), (std::vector<std::string>{"init", "start 7 2", "ended 1", "exit"}));
        EXPECT_EQ(thread.ExitCode(), 105u);                 // ExitInstance's result, from the quit code
        EXPECT_EQ(journal.destroyedOn, thread.ThreadId());  // deleted on its own thread
        EXPECT_FALSE(::PostThreadMessage(thread.ThreadId(), kStart, 0, 0));  // its queue is gone
    }
}

TEST(UiThread, InitInstanceFalseSkipsTheLoop) {
    Journal journal;
    const plat::ThreadHandle thread = plat::UiThread::Begin(std::make_unique<RunThread>(journal, FALSE));
    ::PostThreadMessage(thread.ThreadId(), kStart, 1, 1);
    MustEnd(thread, "refusing thread");
    EXPECT_EQ(journal.Events(), (std::vector<std::string>{"init", "exit"}));
    EXPECT_EQ(thread.ExitCode(), 100u);
}

// A thread that keeps its thread timers in a map and kills them when it goes, as the
// program's timer threads do.
class TimerThread : public plat::UiThread {
public:
    explicit TimerThread(std::atomic<int>& ticks, std::atomic<UINT_PTR>& timerId) : ticks_(ticks), timerId_(timerId) {
        MapThreadMessage(WM_TIMER, &TimerThread::OnTimer);
    }
    ~TimerThread() override { killed_ = KillTimer(nullptr, timerId_); }
    static inline std::atomic<BOOL> killed_{FALSE};

protected:
    BOOL InitInstance() override {
        timerId_ = SetTimer(nullptr, 0, 10);
        return timerId_ != 0;
    }

private:
    void OnTimer(WPARAM id, LPARAM) {
        if (id == timerId_ && ++ticks_ == 3) PostQuitMessage(0);
    }
    std::atomic<int>& ticks_;
    std::atomic<UINT_PTR>& timerId_;
};

TEST(UiThread, ThreadTimersReachTheMessageMapAndAreKilledByTheDestructor) {
    std::atomic<int> ticks{0};
    std::atomic<UINT_PTR> timerId{0};
    const plat::ThreadHandle thread = plat::UiThread::Begin(std::make_unique<TimerThread>(ticks, timerId));
    MustEnd(thread, "timer thread");
    EXPECT_EQ(ticks.load(), 3);
    EXPECT_TRUE(TimerThread::killed_.load());
}

TEST(UiThread, DispatchesPostsToItsWindows) {
    struct WindowOwner : plat::UiThread {
        explicit WindowOwner(std::atomic<int>& got)
            : got_(got), window_([this](HWND, UINT m, WPARAM w, LPARAM) {
                  if (m == WM_APP + 9) {
                      got_ = static_cast<int>(w);
                      PostQuitMessage(0);
                  }
                  return LRESULT{0};
              }) {}
        BOOL InitInstance() override {
            hwnd_ = plat::CreateMessageWindow(&window_);
            return ::PostMessage(hwnd_, WM_APP + 9, 77, 0);
        }
        int ExitInstance() override {
            DestroyWindow(hwnd_);
            return 0;
        }
        std::atomic<int>& got_;
        LambdaWindow window_;
        HWND hwnd_ = nullptr;
    };
    std::atomic<int> got{0};
    const plat::ThreadHandle thread = plat::UiThread::Begin(std::make_unique<WindowOwner>(got));
    MustEnd(thread, "window owner");
    EXPECT_EQ(got.load(), 77);
}

TEST(WorkerThread, IdsAreSmallStableAndDistinct) {
    std::mutex mutex;
    std::set<DWORD> ids;
    std::vector<plat::WorkerThread> workers(8);
    for (auto& w : workers) {
        ASSERT_TRUE(w.Start([&] {
            const DWORD id = GetCurrentThreadId();
            EXPECT_EQ(GetCurrentThreadId(), id);
            std::lock_guard lock(mutex);
            ids.insert(id);
        }));
    }
    for (auto& w : workers) w.Join();
    for (auto& w : workers) {
        EXPECT_NE(w.ThreadId(), 0u);
        EXPECT_TRUE(ids.count(w.ThreadId()));
    }
    EXPECT_EQ(ids.size(), workers.size());
    EXPECT_EQ(ids.count(GetCurrentThreadId()), 0u);
}

TEST(WorkerThread, JoinsOnDestructionAndRefusesASecondStart) {
    std::atomic<bool> ran{false};
    plat::ThreadHandle handle;
    {
        plat::WorkerThread worker;
        ASSERT_TRUE(worker.Start([&] {
            Sleep(20);
            ran = true;
        }));
        EXPECT_FALSE(worker.Start([] {}));
        handle = worker.Handle();
    }
    EXPECT_TRUE(ran.load());
    EXPECT_TRUE(handle.HasEnded());
}

TEST(WorkerThread, MovesKeepTheThread) {
    std::atomic<bool> ran{false};
    plat::WorkerThread first;
    ASSERT_TRUE(first.Start([&] { ran = true; }));
    const DWORD id = first.ThreadId();
    plat::WorkerThread second = std::move(first);
    EXPECT_EQ(second.ThreadId(), id);
    second.Join();
    EXPECT_TRUE(ran.load());
}

TEST(WorkerThread, ItsWindowsGoWhenItEnds) {
    std::atomic<HWND> hwnd{nullptr};
    plat::WorkerThread worker;
    auto procedure = std::make_shared<LambdaWindow>([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 1; });
    ASSERT_TRUE(worker.Start([&] { hwnd = plat::CreateMessageWindow(procedure.get()); }));
    worker.Join();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessage(hwnd, WM_APP, 0, 0), 0);
}

}  // namespace
