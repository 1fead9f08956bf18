#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "foundation/folder_locks.h"
#include "platform/core/named_object_files.h"
#include "platform/core/process.h"
#include "support/object_folders.h"
#include "support/temp_dir.h"

namespace {

// Every test gets lock folders of its own, so runs of the suite never meet.
class FolderLockTest : public ::testing::Test {
protected:
    qbtest::TempDir dir_;
    const qbtest::ScopedObjectFolders folders_{dir_};
};

// A refusal is the same after a short wait as after the run's 5 s; the run's own wait is
// tested end to end with the run threads.
constexpr unsigned kShortWaitMs = 50;

int TryFolders(const wchar_t* source, const wchar_t* target) {
    return LockTaskFolders(source, target, true, false, kShortWaitMs);
}

// Runs `body` on a thread of its own and returns its result.
template <typename F>
int OnOtherThread(F body) {
    int result = -1;
    std::thread t([&] { result = body(); });
    t.join();
    return result;
}

TEST_F(FolderLockTest, NamesFoldCaseAndSeparators) {
    EXPECT_EQ(TaskMutexName(L"/Home/User/Docs", true), "Global\\_home_user_docs");
    EXPECT_EQ(TaskMutexName(L"qbsync", false), "Local\\qbsync");
    EXPECT_EQ(LockFolderText(L"/home/u/./docs/../docs/"), L"/home/u/docs");
}

TEST_F(FolderLockTest, SecondRunOnTheSameFolderIsRefusedUntilTheFirstEnds) {
    ASSERT_EQ(LockTaskFolders(L"/data/a", L"/data/b", true, false), 1);
    // Another thread of the program: same folder on one side, another spelling of it.
    EXPECT_EQ(OnOtherThread([] { return TryFolders(L"/DATA/A/", L"/data/c"); }), 0);
    // Its gate and first folder were given back: a run on other folders goes ahead.
    EXPECT_EQ(OnOtherThread([] {
                  const int got = LockTaskFolders(L"/data/x", L"/data/y", true, false);
                  UnlockTaskFolders(L"/data/x", L"/data/y", true);
                  return got;
              }),
              1);
    UnlockTaskFolders(L"/data/a", L"/data/b", true);
    EXPECT_EQ(OnOtherThread([] {
                  const int got = LockTaskFolders(L"/data/a", L"/data/c", true, false);
                  UnlockTaskFolders(L"/data/a", L"/data/c", true);
                  return got;
              }),
              1);
}

TEST_F(FolderLockTest, BusySecondFolderLeavesNeitherOwned) {
    ASSERT_EQ(LockTaskFolders(L"/data/busy", L"/data/other", true, false), 1);
    EXPECT_EQ(OnOtherThread([] { return TryFolders(L"/data/free", L"/data/busy"); }), 0);
    UnlockTaskFolders(L"/data/busy", L"/data/other", true);
    // "/data/free" must not have stayed with the refused thread (that thread has ended,
    // which would also free it, so check from a live thread that tries at once).
    EXPECT_EQ(LockTaskMutex(L"/data/free", true, false), 1);
    UnlockTaskMutex(L"/data/free", true);
}

TEST_F(FolderLockTest, OneTaskWithTheSameFolderTwiceDoesNotBlockItself) {
    ASSERT_EQ(LockTaskFolders(L"/data/same", L"/data/same", true, false), 1);
    UnlockTaskFolders(L"/data/same", L"/data/same", true);
    EXPECT_EQ(OnOtherThread([] {
                  const int got = LockTaskMutex(L"/data/same", true, false);
                  UnlockTaskMutex(L"/data/same", true);
                  return got;
              }),
              1);
}

// The other process's side of AnotherProcessIsExcludedToo: it runs only when started by it.
TEST(FolderLockChild, TriesTheFolderHeldByItsParent) {
    if (!std::getenv("QB_LOCK_CHILD")) GTEST_SKIP() << "started only by AnotherProcessIsExcludedToo";
    EXPECT_EQ(TryFolders(L"/shared/folder", L"/elsewhere"), 0);
}

TEST_F(FolderLockTest, AnotherProcessIsExcludedToo) {
    ASSERT_EQ(LockTaskFolders(L"/shared/folder", L"/shared/other", true, false), 1);
    plat::ProcessCommand child;
    child.program = "/proc/self/exe";
    child.arguments = {"--gtest_filter=FolderLockChild.*"};
    child.environment = std::vector<std::string>{
        std::string("QB_LOCK_CHILD=1"), std::string(plat::kGlobalObjectFolderVariable) + "=" + folders_.GlobalFolder(),
        "XDG_RUNTIME_DIR=" + folders_.RuntimeFolder()};
    const plat::ProcessResult result = plat::RunProcess(child);
    EXPECT_TRUE(result.exited && result.exitCode == 0) << result.output;
    UnlockTaskFolders(L"/shared/folder", L"/shared/other", true);
}

TEST_F(FolderLockTest, ALockThatCannotBeCreatedIsRefused) {
    // The global lock folder's place is taken by a file: nothing can be created there.
    qbtest::WriteFileBytes(dir_.sub("blocked"), "x");
    setenv(plat::kGlobalObjectFolderVariable, dir_.sub("blocked").c_str(), 1);
    EXPECT_EQ(LockTaskMutex(L"/data/a", true, false), 0);
    EXPECT_EQ(LockTaskFolders(L"/data/a", L"/data/b", true, false), 0);
    UnlockTaskMutex(L"/data/a", true);  // nothing to release: no crash, no effect
}

}  // namespace
