#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/keep_awake.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

using plat::KeepAwake;
using namespace std::chrono_literals;

// Records Begin and End, and notices when they do not alternate.
struct InhibitorLog {
    std::mutex mutex;
    std::vector<char> events;
    bool active = false;
    bool outOfTurn = false;
};

class RecordingInhibitor : public plat::SleepInhibitor {
public:
    explicit RecordingInhibitor(InhibitorLog& log) : log_(log) {}
    void Begin() override { Note('B', true); }
    void End() override { Note('E', false); }

private:
    void Note(char event, bool active) {
        std::lock_guard lock(log_.mutex);
        if (log_.active == active) log_.outOfTurn = true;
        log_.active = active;
        log_.events.push_back(event);
    }
    InhibitorLog& log_;
};

TEST(KeepAwake, TheSystemIsHeldFromTheFirstTokenToTheLast) {
    InhibitorLog log;
    KeepAwake keeper(std::make_unique<RecordingInhibitor>(log));
    {
        KeepAwake::Token first = keeper.Acquire();
        KeepAwake::Token second = keeper.Acquire();
        EXPECT_EQ(keeper.Count(), 2);
        first.Release();
        first.Release();  // a second release of one token changes nothing
        EXPECT_EQ(keeper.Count(), 1);
        EXPECT_EQ(log.events, std::vector<char>({'B'}));
    }
    EXPECT_EQ(keeper.Count(), 0);
    EXPECT_EQ(log.events, std::vector<char>({'B', 'E'}));

    KeepAwake::Token again = keeper.Acquire();
    EXPECT_EQ(log.events, std::vector<char>({'B', 'E', 'B'}));
    again.Release();
    EXPECT_FALSE(log.outOfTurn);
}

TEST(KeepAwake, MovedTokensAreCountedOnce) {
    InhibitorLog log;
    KeepAwake keeper(std::make_unique<RecordingInhibitor>(log));
    KeepAwake::Token token = keeper.Acquire();
    KeepAwake::Token moved(std::move(token));
    EXPECT_FALSE(token.Holds());
    EXPECT_TRUE(moved.Holds());
    token.Release();
    EXPECT_EQ(keeper.Count(), 1);

    KeepAwake::Token other = keeper.Acquire();
    other = std::move(moved);  // other's own hold goes, moved's hold stays
    EXPECT_EQ(keeper.Count(), 1);
    other = KeepAwake::Token();
    EXPECT_EQ(keeper.Count(), 0);
    EXPECT_EQ(log.events, std::vector<char>({'B', 'E'}));
}

TEST(KeepAwake, RunsOnManyThreadsNeverCancelEachOther) {
    InhibitorLog log;
    KeepAwake keeper(std::make_unique<RecordingInhibitor>(log));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&keeper] {
            for (int i = 0; i < 500; ++i) {
                KeepAwake::Token token = keeper.Acquire();
                if (keeper.Count() < 1) std::abort();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(keeper.Count(), 0);
    EXPECT_FALSE(log.outOfTurn);
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.back(), 'E');
}

TEST(KeepAwake, TokensMayOutliveTheKeeper) {
    InhibitorLog log;
    KeepAwake::Token token;
    {
        KeepAwake keeper(std::make_unique<RecordingInhibitor>(log));
        token = keeper.Acquire();
    }
    EXPECT_EQ(log.events, std::vector<char>({'B', 'E'}));
    token.Release();
    EXPECT_EQ(log.events, std::vector<char>({'B', 'E'}));
}

TEST(KeepAwake, AThreadHoldsOneTokenAtMost) {
    // The program-wide keeper must not ask this machine's real service.
    const int before = [] {
        const qbtest::TempDir emptyPath;
        const qbtest::ScopedEnv noTools("PATH", emptyPath.path());
        return plat::SystemKeepAwake().Count();
    }();
    std::thread([before] {
        plat::KeepThreadAwake(true);
        plat::KeepThreadAwake(true);
        EXPECT_EQ(plat::SystemKeepAwake().Count(), before + 1);
        plat::KeepThreadAwake(false);
        plat::KeepThreadAwake(false);
        EXPECT_EQ(plat::SystemKeepAwake().Count(), before);
        plat::KeepThreadAwake(true);  // left on: the thread's end gives it back
    }).join();
    EXPECT_EQ(plat::SystemKeepAwake().Count(), before);
}

// A stand-in for systemd-inhibit that writes its arguments, then runs its command.
class SystemdInhibitorTest : public ::testing::Test {
protected:
    std::string MakeTool(const std::string& body) const {
        const std::string path = temp_.sub("systemd-inhibit");
        qbtest::WriteFileBytes(path, "#!/bin/sh\nPATH=/usr/bin:/bin\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::string WaitFor(const std::string& file) const {
        for (int i = 0; i < 500; ++i) {
            const std::string text = qbtest::ReadFileBytes(file);
            if (!text.empty()) return text;
            std::this_thread::sleep_for(10ms);
        }
        return {};
    }
    static void ExpectNoChildLeft() {
        errno = 0;
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
    }

    qbtest::TempDir temp_;
};

TEST_F(SystemdInhibitorTest, HoldsTheLockWhileItsCommandRuns) {
    const std::string args = temp_.sub("args");
    const std::string ended = temp_.sub("ended");
    plat::SystemdSleepInhibitor inhibitor(MakeTool("printf '%s\\n' \"$@\" > '" + args + "'\n" +
                                                   "\"$5\" > /dev/null\n" +  // runs the command: cat
                                                   "echo yes > '" + ended + "'\n"));
    inhibitor.Begin();
    EXPECT_EQ(WaitFor(args),
              "--what=sleep:idle\n--who=Quarrybend Sync\n--why=Synchronizing folders\n--mode=block\ncat\n");
    EXPECT_EQ(qbtest::ReadFileBytes(ended), "");
    inhibitor.End();
    // Ending closes the command's input; the tool has finished by the time End returns.
    EXPECT_EQ(qbtest::ReadFileBytes(ended), "yes\n");
    ExpectNoChildLeft();
}

TEST_F(SystemdInhibitorTest, AToolThatDoesNotEndIsStopped) {
    plat::SystemdSleepInhibitor inhibitor(MakeTool("trap '' TERM\nexec sleep 30\n"));
    inhibitor.Begin();
    const auto start = std::chrono::steady_clock::now();
    inhibitor.End();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    ExpectNoChildLeft();
}

TEST_F(SystemdInhibitorTest, AMissingToolChangesNothing) {
    plat::SystemdSleepInhibitor inhibitor(temp_.sub("no-such-tool"));
    inhibitor.Begin();
    inhibitor.End();
    KeepAwake keeper(std::make_unique<plat::SystemdSleepInhibitor>(temp_.sub("no-such-tool")));
    KeepAwake::Token token = keeper.Acquire();
    EXPECT_EQ(keeper.Count(), 1);
    ExpectNoChildLeft();
}

}  // namespace
