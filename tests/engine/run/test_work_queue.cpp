#include "engine/run/work_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "engine/run/message_pumping.h"
#include "engine/run/run_block.h"
#include "platform/core/message_test_support.h"
#include "platform/core/window.h"

namespace {

using msgtest::kGuardMs;

// What the jobs of one test did, in order: "run 1", "abort 2", "deleted 1"...
class Journal {
public:
    void Add(std::string line) {
        std::lock_guard guard(mutex_);
        lines_.push_back(std::move(line));
    }
    std::vector<std::string> Lines() {
        std::lock_guard guard(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

class RecordingJob : public WorkItemBase {
public:
    RecordingJob(Journal& journal, int id, std::function<void()> work = {})
        : journal_(journal), id_(id), work_(std::move(work)) {}
    ~RecordingJob() override { journal_.Add("deleted " + std::to_string(id_)); }
    void DoWork(void* context) override {
        if (work_) work_();
        journal_.Add("run " + std::to_string(id_) +
                     (context ? " ctx " + std::to_string(*static_cast<int*>(context)) : std::string()));
    }
    void Abort() override { journal_.Add("abort " + std::to_string(id_)); }

private:
    Journal& journal_;
    int id_;
    std::function<void()> work_;
};

std::unique_ptr<WorkItemBase> Job(Journal& journal, int id, std::function<void()> work = {}) {
    return std::make_unique<RecordingJob>(journal, id, std::move(work));
}

using Lines = std::vector<std::string>;

TEST(WorkQueue, RunsJobsInInsertionOrderWithTheThreadsContext) {
    Journal journal;
    plat::Event lastDone(true, false);
    int context = 7;
    void* const contexts[] = {&context};
    {
        CWorkQueue queue;
        ASSERT_TRUE(queue.Create(1, contexts));
        for (int id = 1; id <= 3; ++id) ASSERT_TRUE(queue.InsertWorkItem(Job(journal, id)));
        ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 4, [&] { lastDone.Set(); })));
        ASSERT_EQ(WaitForSingleObject(lastDone, kGuardMs), WAIT_OBJECT_0);
    }
    EXPECT_EQ(journal.Lines(), (Lines{"run 1 ctx 7", "deleted 1", "run 2 ctx 7", "deleted 2", "run 3 ctx 7",
                                      "deleted 3", "run 4 ctx 7", "deleted 4"}));
}

TEST(WorkQueue, DestroyWaitsForTheRunningJobAndAbortsTheQueuedOnes) {
    Journal journal;
    plat::Event started(true, false);
    auto queue = std::make_unique<CWorkQueue>();
    ASSERT_TRUE(queue->Create(1));
    ASSERT_TRUE(queue->InsertWorkItem(Job(journal, 1, [&] {
        started.Set();
        Sleep(100);  // Destroy has long signalled its stop when this job ends
    })));
    for (int id = 2; id <= 3; ++id) ASSERT_TRUE(queue->InsertWorkItem(Job(journal, id)));
    ASSERT_EQ(WaitForSingleObject(started, kGuardMs), WAIT_OBJECT_0);

    queue.reset();  // the destructor destroys the queue
    EXPECT_EQ(journal.Lines(), (Lines{"run 1", "deleted 1", "abort 2", "deleted 2", "abort 3", "deleted 3"}));
}

TEST(WorkQueue, AQueueWithoutThreadsOnlyAbortsItsJobs) {
    Journal journal;
    CWorkQueue queue;
    ASSERT_TRUE(queue.Create(0));
    ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 1)));
    ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 2)));
    EXPECT_TRUE(journal.Lines().empty());
    queue.Destroy();
    EXPECT_EQ(journal.Lines(), (Lines{"abort 1", "deleted 1", "abort 2", "deleted 2"}));

    // Destroyed: a job offered now is dropped at once, and destroying again does nothing.
    EXPECT_FALSE(queue.InsertWorkItem(Job(journal, 3)));
    queue.Destroy();
    EXPECT_EQ(journal.Lines().back(), "deleted 3");
    EXPECT_EQ(journal.Lines().size(), 6u);
}

TEST(WorkQueue, AQueueThatCannotStartIsUndoneOnceAndTakesNoJob) {
    std::atomic<int> started{0};
    std::atomic<int> ended{0};
    CWorkQueue queue([&](plat::WorkerThread& thread, std::function<void()> body) {
        if (started == 2) return false;  // the third thread cannot be made
        ++started;
        return thread.Start([&ended, body = std::move(body)] {
            body();
            ++ended;
        });
    });
    EXPECT_FALSE(queue.Create(3));
    EXPECT_FALSE(queue.IsCreated());
    EXPECT_EQ(ended, 2);  // the threads that did start were stopped and joined

    Journal journal;
    EXPECT_FALSE(queue.InsertWorkItem(Job(journal, 1)));
    EXPECT_EQ(journal.Lines(), (Lines{"abort 1", "deleted 1"}));
    queue.Destroy();  // nothing left to undo
}

// The producer of a full bounded queue waits, and still answers a job that sends to one
// of its windows meanwhile; a queue destroyed under a waiting producer drops its job.
TEST(WorkQueue, AFullBoundedQueueHoldsItsProducerBackWithoutHangingIt) {
    int served = 0;
    msgtest::LambdaWindow procedure([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++served; });
    const HWND window = plat::CreateMessageWindow(&procedure);
    ASSERT_NE(window, nullptr);

    Journal journal;
    plat::Event release(true, false);
    plat::Event lastDone(true, false);
    CWorkQueue queue(
        [](plat::WorkerThread& thread, std::function<void()> body) { return thread.Start(std::move(body)); }, 1);
    ASSERT_TRUE(queue.Create(1));
    ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 1, [&] {
        WaitForSingleObject(release, kGuardMs);
        SendMessage(window, WM_APP + 1, 0, 0);
    })));
    Sleep(50);  // job 1 taken: one place free again
    ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 2)));
    // Full: this insert returns only once job 1, which sends to this thread, has ended.
    plat::WorkerThread releaser;
    ASSERT_TRUE(releaser.Start([&] {
        Sleep(50);
        release.Set();
    }));
    ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 3, [&] { lastDone.Set(); })));
    EXPECT_EQ(served, 1);
    ASSERT_EQ(WaitForSingleObject(lastDone, kGuardMs), WAIT_OBJECT_0);
    releaser.Join();
    queue.Destroy();  // lets job 3 end
    EXPECT_EQ(journal.Lines(), (Lines{"run 1", "deleted 1", "run 2", "deleted 2", "run 3", "deleted 3"}));

    CWorkQueue stalled(
        [](plat::WorkerThread& thread, std::function<void()> body) { return thread.Start(std::move(body)); }, 1);
    ASSERT_TRUE(stalled.Create(0));
    ASSERT_TRUE(stalled.InsertWorkItem(Job(journal, 4)));
    plat::WorkerThread destroyer;
    ASSERT_TRUE(destroyer.Start([&] {
        Sleep(50);
        stalled.Destroy();
    }));
    EXPECT_FALSE(stalled.InsertWorkItem(Job(journal, 5)));
    destroyer.Join();
    const Lines lines = journal.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "abort 5"), lines.end());
    DestroyWindow(window);
}

// A job that sends to a window of the thread that waits for the queue's end would hang
// that thread without the pumping.
TEST(RunPumpingMessages, ServesTheCallersWindowsAndKeepsAQuitForLater) {
    std::vector<UINT> served;
    msgtest::LambdaWindow procedure([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        served.push_back(message);
        return 1;
    });
    const HWND window = plat::CreateMessageWindow(&procedure);
    ASSERT_NE(window, nullptr);

    Journal journal;
    plat::Event started(true, false);
    CWorkQueue queue;
    ASSERT_TRUE(queue.Create(1));
    ASSERT_TRUE(queue.InsertWorkItem(Job(journal, 1, [&] {
        started.Set();
        EXPECT_EQ(SendMessage(window, WM_APP + 5, 0, 0), 1);
    })));
    ASSERT_EQ(WaitForSingleObject(started, kGuardMs), WAIT_OBJECT_0);
    PostQuitMessage(4);

    RunPumpingMessages([&] { queue.Destroy(); });
    EXPECT_EQ(served, (std::vector<UINT>{WM_APP + 5}));
    EXPECT_EQ(journal.Lines(), (Lines{"run 1", "deleted 1"}));

    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 4u);
    DestroyWindow(window);
}

TEST(DestroyWorkQueuePumping, DestroysBothCatalogQueuesAndForgetsThem) {
    Journal journal;
    SyncRunBlock run;
    for (CWorkQueue** queue : {&run.sourceSide.catalogQueue, &run.targetSide.catalogQueue}) {
        *queue = new CWorkQueue;
        ASSERT_TRUE((*queue)->Create(0));
    }
    ASSERT_TRUE(run.sourceSide.catalogQueue->InsertWorkItem(Job(journal, 1)));
    ASSERT_TRUE(run.targetSide.catalogQueue->InsertWorkItem(Job(journal, 2)));

    DestroyWorkQueuePumping(run);
    EXPECT_EQ(run.sourceSide.catalogQueue, nullptr);
    EXPECT_EQ(run.targetSide.catalogQueue, nullptr);
    EXPECT_EQ(journal.Lines(), (Lines{"abort 1", "deleted 1", "abort 2", "deleted 2"}));
    DestroyWorkQueuePumping(run);  // nothing left: no harm
}

}  // namespace
