#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/instance_channel.h"
#include "platform/core/named_event.h"
#include "platform/core/named_object_files.h"
#include "support/object_folders.h"
#include "support/temp_dir.h"

namespace {

using plat::CopyDataPayload;
using plat::InstanceListener;
using plat::NamedEvent;
using plat::SendToRunningCopy;
using plat::SendToRunningCopyResult;

constexpr const char* kTitle = "Quarrybend Sync VEXO";
constexpr const char* kFrameClass = "QBSyncVexo";

class InstanceChannelTest : public ::testing::Test {
protected:
    std::string SocketPath() const { return temp_.sub("run/quarrybend-sync/QBSyncVexo.window"); }

    // Sends raw bytes to the listener's socket and closes the connection.
    void SendRaw(const std::string& bytes) const {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, SocketPath().c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        if (!bytes.empty()) {
            EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
        }
        ::close(fd);
    }

    qbtest::TempDir temp_;
    const qbtest::ScopedObjectFolders folders_{temp_};
};

TEST_F(InstanceChannelTest, AnEventExistsWhileAHandleIsOpen) {
    NamedEvent first = NamedEvent::Create(kTitle);
    ASSERT_TRUE(first.IsOpen());
    EXPECT_FALSE(first.AlreadyExisted());
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    NamedEvent second = NamedEvent::Create(kTitle);
    ASSERT_TRUE(second.IsOpen());
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    first.Close();
    second.Close();
    EXPECT_FALSE(NamedEvent::Create(kTitle).AlreadyExisted());
    EXPECT_FALSE(NamedEvent::Create("").IsOpen());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
}

TEST_F(InstanceChannelTest, ASecondStartFindsTheRunningCopyUntilItDies) {
    int ready[2];
    int report[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The running copy: holds the event and answers copy-data with TRUE.
        NamedEvent event = NamedEvent::Create(kTitle);
        auto listener = InstanceListener::Start(kFrameClass, [&](const CopyDataPayload& payload) -> LRESULT {
            const std::string line =
                std::to_string(payload.data) + ":" + std::string(payload.bytes.begin(), payload.bytes.end()) + "\n";
            if (::write(report[1], line.data(), line.size()) < 0) return 0;
            return TRUE;
        });
        const char state = event.IsOpen() && !event.AlreadyExisted() && listener ? 'r' : 'x';
        if (::write(ready[1], &state, 1) != 1) ::_exit(1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    ::close(report[1]);
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(state, 'r');

    NamedEvent event = NamedEvent::Create(kTitle);
    ASSERT_TRUE(event.IsOpen());
    EXPECT_TRUE(event.AlreadyExisted());
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    LRESULT answer = 0;
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::Delivered);
    EXPECT_EQ(answer, TRUE);
    const std::string text = "/load";
    CopyDataPayload withData{7, std::vector<std::uint8_t>(text.begin(), text.end())};
    answer = 0;
    EXPECT_EQ(SendToRunningCopy(kFrameClass, withData, answer), SendToRunningCopyResult::Delivered);
    EXPECT_EQ(answer, TRUE);

    std::string received;
    char buffer[256];
    while (received.size() < 10) {
        const ssize_t got = ::read(report[0], buffer, sizeof buffer);
        if (got <= 0) break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    EXPECT_EQ(received, "0:\n7:/load\n");

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(report[0]);

    // The dead copy freed the name; its socket is left behind but nobody answers on it.
    event.Close();
    NamedEvent again = NamedEvent::Create(kTitle);
    EXPECT_FALSE(again.AlreadyExisted());
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::NotRunning);
    auto listener = InstanceListener::Start(kFrameClass, [](const CopyDataPayload&) -> LRESULT { return 5; });
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::Delivered);
    EXPECT_EQ(answer, 5);
}

TEST_F(InstanceChannelTest, PayloadsArriveWholeOnTheListenersThread) {
    std::mutex mutex;
    std::vector<CopyDataPayload> received;
    std::thread::id handlerThread;
    auto listener = InstanceListener::Start(kFrameClass, [&](const CopyDataPayload& payload) -> LRESULT {
        std::lock_guard lock(mutex);
        received.push_back(payload);
        handlerThread = std::this_thread::get_id();
        return static_cast<LRESULT>(payload.bytes.size());
    });
    ASSERT_NE(listener, nullptr);

    CopyDataPayload big;
    big.data = 0xFFFFFFFFFFFFFFFFull;
    for (int i = 0; i < 300000; ++i) big.bytes.push_back(static_cast<std::uint8_t>(i * 7));
    LRESULT answer = 0;
    ASSERT_EQ(SendToRunningCopy(kFrameClass, big, answer), SendToRunningCopyResult::Delivered);
    EXPECT_EQ(answer, 300000);

    std::lock_guard lock(mutex);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].data, big.data);
    EXPECT_EQ(received[0].bytes, big.bytes);
    EXPECT_NE(handlerThread, std::this_thread::get_id());
}

TEST_F(InstanceChannelTest, OnlyOneListenerPerWindowClass) {
    auto listener = InstanceListener::Start(kFrameClass, nullptr);
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(InstanceListener::Start(kFrameClass, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    // Another class is another channel.
    EXPECT_NE(InstanceListener::Start("QBSyncOther", nullptr), nullptr);

    listener.reset();
    struct stat st {};
    EXPECT_NE(::stat(SocketPath().c_str(), &st), 0);
    LRESULT answer = 0;
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::NotRunning);
}

TEST_F(InstanceChannelTest, BadRequestsAreDroppedAndTheListenerGoesOn) {
    std::atomic<int> calls{0};
    auto listener = InstanceListener::Start(kFrameClass, [&](const CopyDataPayload&) -> LRESULT {
        ++calls;
        return 1;
    });
    ASSERT_NE(listener, nullptr);

    SendRaw("");                                                               // connects and leaves
    SendRaw("XXXX" + std::string(12, '\0'));                                   // wrong magic
    SendRaw(std::string("QBCD") + std::string(8, '\0') + "\xff\xff\xff\x7f");  // claims 2 GB
    SendRaw(std::string("QBCD") + std::string(8, '\0') + std::string("\x64\0\0\0", 4) + "short");

    LRESULT answer = 0;
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::Delivered);
    EXPECT_EQ(calls, 1);

    CopyDataPayload tooLarge;
    tooLarge.bytes.resize(plat::kLargestCopyData + 1);
    EXPECT_EQ(SendToRunningCopy(kFrameClass, tooLarge, answer), SendToRunningCopyResult::Failed);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(InstanceChannelTest, AHandlerThatThrowsAnswersZero) {
    auto listener = InstanceListener::Start(
        kFrameClass, [](const CopyDataPayload&) -> LRESULT { throw std::runtime_error("frame gone"); });
    ASSERT_NE(listener, nullptr);
    LRESULT answer = 9;
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::Delivered);
    EXPECT_EQ(answer, 0);
}

TEST_F(InstanceChannelTest, ARuntimeFolderTooDeepForASocketIsAFailure) {
    const std::string deep = temp_.sub(std::string(120, 'd'));
    ::mkdir(deep.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    EXPECT_EQ(InstanceListener::Start(kFrameClass, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    LRESULT answer = 0;
    EXPECT_EQ(SendToRunningCopy(kFrameClass, CopyDataPayload{}, answer), SendToRunningCopyResult::Failed);
}

}  // namespace
