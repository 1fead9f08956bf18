// The program started for real, as the first copy and as a later one: a later start wakes
// the running copy and ends without a window, the first copy makes its data folder, takes
// "/load" like nothing, and saves its placement when the session ends.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/instance_channel.h"
#include "platform/core/named_event.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr char kTitle[] = "Quarrybend Sync VEXO";
constexpr char kWindowClass[] = "QBSyncVexo";

// A copy of the program in a folder of its own, so its "Data" folder is made there, with
// the user's folders of the test's own.
class StartUpTest : public ::testing::Test {
protected:
    StartUpTest()
        : runtime_("XDG_RUNTIME_DIR", dir_.sub("run")),
          config_("XDG_CONFIG_HOME", dir_.sub("config")),
          data_("XDG_DATA_HOME", dir_.sub("share")) {
        std::filesystem::create_directories(dir_.sub("run"));
        std::filesystem::permissions(dir_.sub("run"), std::filesystem::perms::owner_all);
        std::filesystem::create_directories(dir_.sub("program"));
        program_ = dir_.sub("program/quarrybend-sync");
        std::filesystem::copy_file(QB_PROGRAM_PATH, program_);
    }

    pid_t Start(const std::vector<std::string>& arguments = {}) {
        std::vector<std::string> args{program_};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, program_.c_str(), nullptr, nullptr, argv.data(), environ), 0);
        return pid;
    }

    // The exit code, or -1 when the process had not ended within `limit`.
    static int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }

    std::string DataFolder() const { return dir_.sub("program/Data"); }

    qbtest::TempDir dir_;
    qbtest::ScopedEnv runtime_;
    qbtest::ScopedEnv config_;
    qbtest::ScopedEnv data_;
    std::string program_;
};

TEST_F(StartUpTest, ALaterStartWakesTheRunningCopyOnceAndEndsAtOnce) {
    // This test is the running copy.
    plat::NamedEvent event = plat::NamedEvent::Create(kTitle);
    ASSERT_TRUE(event.IsOpen());
    std::atomic<int> wakeUps{0};
    auto listener = plat::InstanceListener::Start(kWindowClass, [&](const plat::CopyDataPayload& payload) -> LRESULT {
        EXPECT_TRUE(payload.bytes.empty());
        ++wakeUps;
        return TRUE;
    });
    ASSERT_NE(listener, nullptr);

    const auto started = Clock::now();
    const pid_t later = Start();
    EXPECT_EQ(WaitFor(later, std::chrono::seconds(10)), 0);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(wakeUps.load(), 1);
    EXPECT_FALSE(std::filesystem::exists(DataFolder())) << "the later copy went on past the single-instance check";
}

TEST_F(StartUpTest, ACopyThatHoldsTheTitleButDoesNotAnswerIsTriedTwiceOverTenSeconds) {
    plat::NamedEvent event = plat::NamedEvent::Create(kTitle);
    ASSERT_TRUE(event.IsOpen());

    const auto started = Clock::now();
    const pid_t later = Start();
    EXPECT_EQ(WaitFor(later, std::chrono::seconds(20)), 0);
    const auto took = Clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(9500));
    EXPECT_LT(took, std::chrono::seconds(15));
    EXPECT_FALSE(std::filesystem::exists(DataFolder()));
}

TEST_F(StartUpTest, TheFirstCopyMakesItsDataFolderAnswersALaterStartAndSavesAtTheSessionsEnd) {
    const pid_t first = Start({"/load"});
    LRESULT answer = 0;
    bool woken = false;
    for (const auto end = Clock::now() + std::chrono::seconds(15); !woken && Clock::now() < end;) {
        woken = plat::SendToRunningCopy(kWindowClass, {}, answer) == plat::SendToRunningCopyResult::Delivered;
        if (!woken) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(woken);
    EXPECT_EQ(answer, TRUE);
    EXPECT_TRUE(std::filesystem::is_directory(DataFolder()));

    ::kill(first, SIGTERM);
    EXPECT_EQ(WaitFor(first, std::chrono::seconds(10)), 0);
    const std::string settings = qbtest::ReadFileBytes(DataFolder() + "/qboptions.ini");
    EXPECT_NE(settings.find("[Frame]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("WP=0,1,"), std::string::npos) << settings;
}

}  // namespace
