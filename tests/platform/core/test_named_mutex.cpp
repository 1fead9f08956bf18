#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/named_mutex.h"
#include "platform/core/named_object_files.h"
#include "platform/core/thread.h"
#include "support/object_folders.h"
#include "support/temp_dir.h"

namespace {

using plat::NamedMutex;
using plat::WaitResult;
using namespace std::chrono_literals;

class NamedMutexTest : public ::testing::Test {
protected:
    // What another thread gets when it tries the mutex at once.
    static WaitResult TryFromOtherThread(const char* name) {
        WaitResult result = WaitResult::Failed;
        std::thread([&] {
            NamedMutex other = NamedMutex::Create(name);
            result = other.Wait(0);
            if (plat::IsOwned(result)) other.Release();
        }).join();
        return result;
    }

    qbtest::TempDir temp_;
    const qbtest::ScopedObjectFolders folders_{temp_};
};

TEST_F(NamedMutexTest, OwnerTakesItAgainAndReleasesAsOftenAsItTook) {
    NamedMutex mutex = NamedMutex::Create("Global\\qbsync");
    ASSERT_TRUE(mutex.IsOpen());
    EXPECT_FALSE(mutex.AlreadyExisted());
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    ASSERT_EQ(mutex.Wait(0), WaitResult::Acquired);
    ASSERT_EQ(mutex.Wait(5000), WaitResult::Acquired);
    EXPECT_EQ(TryFromOtherThread("Global\\qbsync"), WaitResult::TimedOut);
    EXPECT_TRUE(mutex.Release());
    EXPECT_TRUE(mutex.IsOwnedByCallingThread());
    EXPECT_EQ(TryFromOtherThread("Global\\qbsync"), WaitResult::TimedOut);
    EXPECT_TRUE(mutex.Release());
    EXPECT_FALSE(mutex.IsOwnedByCallingThread());
    EXPECT_EQ(TryFromOtherThread("Global\\qbsync"), WaitResult::Acquired);

    EXPECT_FALSE(mutex.Release());
    EXPECT_EQ(GetLastError(), plat::kErrorNotOwner);
}

TEST_F(NamedMutexTest, OnlyTheOwnerCanReleaseIt) {
    NamedMutex mutex = NamedMutex::Create("Local\\d:_data_work");
    ASSERT_EQ(mutex.Wait(0), WaitResult::Acquired);
    bool released = true;
    DWORD error = 0;
    std::thread([&] {
        NamedMutex other = NamedMutex::Create("Local\\d:_data_work");
        released = other.Release();
        error = GetLastError();
    }).join();
    EXPECT_FALSE(released);
    EXPECT_EQ(error, plat::kErrorNotOwner);
    EXPECT_TRUE(mutex.IsOwnedByCallingThread());
    EXPECT_TRUE(mutex.Release());
}

TEST_F(NamedMutexTest, AThreadThatEndsGivesUpWhatItOwns) {
    NamedMutex mutex = NamedMutex::Create("schedule0");
    std::thread([] {
        NamedMutex mine = NamedMutex::Create("schedule0");
        ASSERT_EQ(mine.Wait(0), WaitResult::Acquired);
        ASSERT_EQ(mine.Wait(0), WaitResult::Acquired);
    }).join();
    EXPECT_EQ(mutex.Wait(0), WaitResult::Abandoned);
    EXPECT_TRUE(mutex.Release());
    EXPECT_EQ(mutex.Wait(0), WaitResult::Acquired);
    EXPECT_TRUE(mutex.Release());
}

TEST_F(NamedMutexTest, AThreadsHandleIsSignalledOnlyOnceItsMutexesAreFree) {
    // Made after the thread's mutex bookkeeping, so destroyed before it, and slowly.
    struct SlowThreadEnd {
        ~SlowThreadEnd() { std::this_thread::sleep_for(200ms); }
    };

    NamedMutex mutex = NamedMutex::Create("schedule2");
    plat::WorkerThread worker;
    ASSERT_TRUE(worker.Start([] {
        NamedMutex mine = NamedMutex::Create("schedule2");
        ASSERT_EQ(mine.Wait(0), WaitResult::Acquired);
        static thread_local SlowThreadEnd slowEnd;
    }));
    ASSERT_EQ(WaitForSingleObject(worker.Handle(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(mutex.Wait(0), WaitResult::Abandoned);
    EXPECT_TRUE(mutex.Release());
    worker.Join();
}

TEST_F(NamedMutexTest, HandlesToOneNameShareOneMutex) {
    NamedMutex first = NamedMutex::Create("schedule1");
    NamedMutex second = NamedMutex::Create("Local\\schedule1");
    ASSERT_TRUE(second.IsOpen());
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    ASSERT_EQ(first.Wait(0), WaitResult::Acquired);
    EXPECT_TRUE(second.IsOwnedByCallingThread());
    EXPECT_EQ(second.Wait(0), WaitResult::Acquired);  // the same owner, counted
    EXPECT_TRUE(second.Release());
    EXPECT_TRUE(first.Release());
    EXPECT_FALSE(second.IsOwnedByCallingThread());

    // The machine-wide name of the same text is another mutex.
    NamedMutex global = NamedMutex::Create("Global\\schedule1");
    EXPECT_FALSE(global.AlreadyExisted());
    ASSERT_EQ(first.Wait(0), WaitResult::Acquired);
    EXPECT_EQ(TryFromOtherThread("Global\\schedule1"), WaitResult::Acquired);
    EXPECT_TRUE(first.Release());

    // Once every handle is closed the name is free again.
    first.Close();
    second.Close();
    global.Close();
    EXPECT_FALSE(NamedMutex::Create("schedule1").AlreadyExisted());
}

TEST_F(NamedMutexTest, OwnershipOutlivesTheHandleThatTookIt) {
    {
        NamedMutex taken = NamedMutex::Create("Global\\/home/ann/work");
        ASSERT_EQ(taken.Wait(0), WaitResult::Acquired);
    }
    EXPECT_EQ(TryFromOtherThread("Global\\/home/ann/work"), WaitResult::TimedOut);
    NamedMutex reopened = NamedMutex::Open("Global\\/home/ann/work");
    ASSERT_TRUE(reopened.IsOpen());
    EXPECT_TRUE(reopened.IsOwnedByCallingThread());
    EXPECT_TRUE(reopened.Release());
    EXPECT_EQ(TryFromOtherThread("Global\\/home/ann/work"), WaitResult::Acquired);
}

TEST_F(NamedMutexTest, OpeningANameNobodyHoldsFails) {
    NamedMutex missing = NamedMutex::Open("Global\\nobody");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.Wait(0), WaitResult::Failed);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(missing.Release());
}

TEST_F(NamedMutexTest, TimedWaitsEndWithTheHolderOrTheTime) {
    NamedMutex mutex = NamedMutex::Create("qbsync");
    std::atomic<bool> taken{false};
    std::atomic<bool> letGo{false};
    std::thread holder([&] {
        NamedMutex mine = NamedMutex::Create("qbsync");
        ASSERT_EQ(mine.Wait(0), WaitResult::Acquired);
        taken = true;
        while (!letGo) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(50ms);
        mine.Release();
    });
    while (!taken) std::this_thread::sleep_for(1ms);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(mutex.Wait(150), WaitResult::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);
    EXPECT_FALSE(mutex.IsOwnedByCallingThread());

    letGo = true;
    EXPECT_EQ(mutex.Wait(INFINITE), WaitResult::Acquired);
    holder.join();
    EXPECT_TRUE(mutex.Release());
}

TEST_F(NamedMutexTest, ThreadsExcludeEachOther) {
    int inside = 0;
    int entries = 0;
    bool overlapped = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            NamedMutex mutex = NamedMutex::Create("Global\\shared folder");
            for (int i = 0; i < 200; ++i) {
                ASSERT_EQ(mutex.Wait(INFINITE), WaitResult::Acquired);
                if (++inside != 1) overlapped = true;
                ++entries;
                --inside;
                ASSERT_TRUE(mutex.Release());
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(entries, 800);
}

TEST_F(NamedMutexTest, ProcessesExcludeEachOtherAndADeadOneLetsGo) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NamedMutex mutex = NamedMutex::Create("Global\\d:_data_work");
        const char answer = plat::IsOwned(mutex.Wait(0)) ? 'y' : 'n';
        if (::write(ready[1], &answer, 1) != 1) ::_exit(1);
        ::pause();  // holds the mutex until killed
        ::_exit(0);
    }
    ::close(ready[1]);
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(answer, 'y');

    NamedMutex mutex = NamedMutex::Create("Global\\d:_data_work");
    ASSERT_TRUE(mutex.IsOpen());
    EXPECT_TRUE(mutex.AlreadyExisted());
    EXPECT_EQ(mutex.Wait(0), WaitResult::TimedOut);
    EXPECT_EQ(mutex.Wait(100), WaitResult::TimedOut);
    // The other process's hold is not this process's: a local name of the same text is free.
    EXPECT_EQ(TryFromOtherThread("Local\\d:_data_work"), WaitResult::Acquired);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(mutex.Wait(5000), WaitResult::Acquired);
    EXPECT_TRUE(mutex.Release());
    mutex.Close();
    EXPECT_FALSE(NamedMutex::Create("Global\\d:_data_work").AlreadyExisted());
}

TEST_F(NamedMutexTest, AFolderThatCannotBeUsedIsAFailureNeverATake) {
    qbtest::WriteFileBytes(temp_.sub("blocked"), "x");
    ::setenv(plat::kGlobalObjectFolderVariable, temp_.sub("blocked/locks").c_str(), 1);
    NamedMutex mutex = NamedMutex::Create("Global\\qbsync");
    EXPECT_FALSE(mutex.IsOpen());
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(mutex.Wait(0), WaitResult::Failed);

    EXPECT_FALSE(NamedMutex::Create("Local\\").IsOpen());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
}

}  // namespace
