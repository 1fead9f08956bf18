#include "platform/core/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/core/errors.h"

extern char** environ;

namespace plat {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long the streams of a program that has ended are read for its own children.
constexpr milliseconds kLeftoverStreamTime(200);
constexpr std::size_t kReadChunk = 64 * 1024;

bool FailWith(DWORD code) {
    SetLastError(code);
    return false;
}

bool FailFromErrno() {
    SetLastErrorFromErrno();
    return false;
}

// The status of a child that somebody else waited for (a handler that collects every child).
constexpr int kStatusUnknown = -1;

// Moves a descriptor above the standard three, so that a dup2 onto 0, 1 or 2 in the child
// never meets itself (which would leave it marked close-on-exec).
bool LiftAboveStandardStreams(OwnedFd& fd) {
    if (fd.Get() > 2) return true;
    OwnedFd lifted(::fcntl(fd.Get(), F_DUPFD_CLOEXEC, 3));
    if (!lifted) return false;
    fd = std::move(lifted);
    return true;
}

bool MakePipe(OwnedFd& readEnd, OwnedFd& writeEnd) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    readEnd.Reset(ends[0]);
    writeEnd.Reset(ends[1]);
    return LiftAboveStandardStreams(readEnd) && LiftAboveStandardStreams(writeEnd);
}

void SetNonBlocking(const OwnedFd& fd) {
    if (!fd) return;
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags | O_NONBLOCK);
}

std::vector<char*> PointerList(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
public:
    SpawnAttributes() { ::posix_spawnattr_init(&attributes_); }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// Writing to a pipe whose reader is gone raises SIGPIPE, which would end this process.
// The signal is held back on this thread while a child is fed, and one that was raised
// meanwhile is taken away again.
class SigpipeHeldBack {
public:
    SigpipeHeldBack() {
        sigset_t pipeOnly;
        sigemptyset(&pipeOnly);
        sigaddset(&pipeOnly, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous_);
    }
    ~SigpipeHeldBack() {
        if (!wasPending_) {
            sigset_t pipeOnly;
            sigemptyset(&pipeOnly);
            sigaddset(&pipeOnly, SIGPIPE);
            const timespec noWait{0, 0};
            while (sigtimedwait(&pipeOnly, nullptr, &noWait) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeldBack(const SigpipeHeldBack&) = delete;
    SigpipeHeldBack& operator=(const SigpipeHeldBack&) = delete;

private:
    sigset_t previous_{};
    bool wasPending_ = false;
};

// Reads what `fd` holds now into `sink`; closes it at its end or on an error.
void ReadAvailable(OwnedFd& fd, std::string& sink) {
    char buffer[kReadChunk];
    while (fd) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got > 0) {
            sink.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            fd.Reset();
        }
    }
}

// Writes what the pipe takes now; closes it when everything is written or the reader left.
void WriteAvailable(OwnedFd& fd, std::string_view text, std::size_t& written) {
    while (fd && written < text.size()) {
        const ssize_t put = ::write(fd.Get(), text.data() + written, text.size() - written);
        if (put > 0) {
            written += static_cast<std::size_t>(put);
        } else if (put < 0 && errno == EINTR) {
            continue;
        } else if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            fd.Reset();
        }
    }
    if (written >= text.size()) fd.Reset();
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
    const char* pathVariable = std::getenv("PATH");
    const std::string searchPath = pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = searchPath.find(':', start);
        std::string folder = searchPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty()) folder = ".";
        std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

ChildProcess::~ChildProcess() {
    if (IsRunning()) {
        Signal(SIGKILL);
        while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      status_(other.status_),
      input_(std::move(other.input_)),
      output_(std::move(other.output_)),
      errors_(std::move(other.errors_)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        ChildProcess gone(std::move(*this));
        pid_ = std::exchange(other.pid_, -1);
        status_ = other.status_;
        input_ = std::move(other.input_);
        output_ = std::move(other.output_);
        errors_ = std::move(other.errors_);
    }
    return *this;
}

bool ChildProcess::Start(const ProcessCommand& command) {
    if (IsRunning() || command.program.empty()) return FailWith(ERROR_INVALID_PARAMETER);
    if (!command.workingFolder.empty()) {
        struct stat st {};
        if (::stat(command.workingFolder.c_str(), &st) != 0) return FailWith(ERROR_PATH_NOT_FOUND);
        if (!S_ISDIR(st.st_mode)) return FailWith(ERROR_DIRECTORY);
    }

    SpawnActions actions;
    OwnedFd nullDevice;
    OwnedFd childEnds[3];
    OwnedFd parentEnds[3];
    const StreamMode modes[3] = {command.input, command.output, command.errors};
    for (int stream = 0; stream < 3; ++stream) {
        if (modes[stream] == StreamMode::Inherit) continue;
        if (modes[stream] == StreamMode::Null) {
            if (!nullDevice) {
                nullDevice.Reset(::open("/dev/null", O_RDWR | O_CLOEXEC));
                if (!nullDevice || !LiftAboveStandardStreams(nullDevice)) return FailFromErrno();
            }
            ::posix_spawn_file_actions_adddup2(actions.get(), nullDevice.Get(), stream);
            continue;
        }
        OwnedFd readEnd, writeEnd;
        if (!MakePipe(readEnd, writeEnd)) return FailFromErrno();
        childEnds[stream] = stream == 0 ? std::move(readEnd) : std::move(writeEnd);
        parentEnds[stream] = stream == 0 ? std::move(writeEnd) : std::move(readEnd);
        ::posix_spawn_file_actions_adddup2(actions.get(), childEnds[stream].Get(), stream);
    }
    // Our other descriptors (lock files, sockets) must not live on in the child.
    ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
    if (!command.workingFolder.empty()) {
        ::posix_spawn_file_actions_addchdir_np(actions.get(), command.workingFolder.c_str());
    }

    SpawnAttributes attributes;
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t allSignals;
    sigfillset(&allSignals);
    ::posix_spawnattr_setsigmask(attributes.get(), &noSignals);
    ::posix_spawnattr_setsigdefault(attributes.get(), &allSignals);
    ::posix_spawnattr_setpgroup(attributes.get(), 0);
    ::posix_spawnattr_setflags(attributes.get(),
                               POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<std::string> argumentStrings;
    argumentStrings.push_back(command.program);
    argumentStrings.insert(argumentStrings.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv = PointerList(argumentStrings);
    std::vector<std::string> environmentStrings = command.environment.value_or(std::vector<std::string>{});
    std::vector<char*> ownEnvironment = PointerList(environmentStrings);
    char* const* envp = command.environment ? ownEnvironment.data() : environ;

    pid_t pid = -1;
    const int error = ::posix_spawnp(&pid, command.program.c_str(), actions.get(), attributes.get(), argv.data(), envp);
    if (error != 0) {
        SetLastErrorFromErrno(error);
        return false;
    }
    pid_ = pid;
    status_ = 0;
    input_ = std::move(parentEnds[0]);
    output_ = std::move(parentEnds[1]);
    errors_ = std::move(parentEnds[2]);
    return true;
}

bool ChildProcess::PollExit() {
    if (!IsRunning()) return true;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return true;
        }
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) {
            // Somebody else collected it; it is gone, and how it ended is unknown.
            status_ = kStatusUnknown;
            pid_ = -1;
            return true;
        }
        return false;
    }
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    const auto deadline = Clock::now() + milliseconds(timeoutMs);
    Clock::duration pause = milliseconds(1);
    while (!PollExit()) {
        if (timeoutMs != INFINITE && Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
        pause = std::min<Clock::duration>(pause * 2, milliseconds(10));
    }
    return true;
}

void ChildProcess::Signal(int signal) const {
    if (!IsRunning()) return;
    // The group is the child's own; a child that left it still gets the signal itself.
    if (::kill(-pid_, signal) != 0) ::kill(pid_, signal);
}

void ChildProcess::Stop(DWORD graceMs) {
    if (!IsRunning()) return;
    Signal(SIGTERM);
    if (WaitForExit(graceMs)) return;
    Signal(SIGKILL);
    WaitForExit(INFINITE);
}

ProcessResult RunProcess(const ProcessCommand& command) {
    ProcessResult result;
    ChildProcess child;
    if (!child.Start(command)) {
        result.startError = GetLastError();
        return result;
    }
    result.started = true;

    SigpipeHeldBack sigpipeHeldBack;
    SetNonBlocking(child.Input());
    SetNonBlocking(child.Output());
    SetNonBlocking(child.Errors());
    std::size_t inputWritten = 0;
    if (child.Input() && command.inputText.empty()) child.Input().Reset();

    const bool limited = command.timeLimitMs != INFINITE;
    const auto deadline = Clock::now() + milliseconds(limited ? command.timeLimitMs : 0);
    // Optional time points trip the compiler's uninitialised-use warning; max() means "not set".
    auto killAt = Clock::time_point::max();
    auto leftoversUntil = Clock::time_point::max();

    for (;;) {
        const bool ended = child.PollExit();
        const auto now = Clock::now();
        if (ended) {
            // What it wrote before it ended is in the pipes already; its own children may keep
            // them open for ever, so they get only a moment more.
            child.Input().Reset();
            ReadAvailable(child.Output(), result.output);
            ReadAvailable(child.Errors(), result.errors);
            if (leftoversUntil == Clock::time_point::max()) leftoversUntil = now + kLeftoverStreamTime;
            if ((!child.Output() && !child.Errors()) || now >= leftoversUntil) break;
        } else if (limited && now >= deadline) {
            if (!result.timedOut) {
                result.timedOut = true;
                child.Signal(SIGTERM);
                killAt = now + milliseconds(command.stopGraceMs);
            } else if (now >= killAt) {
                child.Signal(SIGKILL);
                killAt = Clock::time_point::max();
            }
        }

        pollfd fds[3];
        nfds_t count = 0;
        if (child.Input()) fds[count++] = {child.Input().Get(), POLLOUT, 0};
        if (child.Output()) fds[count++] = {child.Output().Get(), POLLIN, 0};
        if (child.Errors()) fds[count++] = {child.Errors().Get(), POLLIN, 0};
        // Streams wake us as they move; the child's end is looked for between them.
        int sliceMs = count > 0 ? 50 : 5;
        if (ended) sliceMs = 10;
        if (limited && !result.timedOut) {
            const auto left = std::chrono::duration_cast<milliseconds>(deadline - now).count();
            sliceMs = static_cast<int>(std::clamp<long long>(left, 0, sliceMs));
        }
        if (::poll(fds, count, sliceMs) < 0 && errno != EINTR) break;
        WriteAvailable(child.Input(), command.inputText, inputWritten);
        ReadAvailable(child.Output(), result.output);
        ReadAvailable(child.Errors(), result.errors);
    }

    const int status = child.Status();
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string path = FindProgram(program);
    if (path.empty()) return FailWith(ERROR_FILE_NOT_FOUND);

    // Everything the new processes need is made before forking: between fork and exec only
    // plain system calls are safe in a process with threads.
    std::vector<std::string> argumentStrings;
    argumentStrings.push_back(program);
    argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = PointerList(argumentStrings);
    OwnedFd nullDevice(::open("/dev/null", O_RDWR | O_CLOEXEC));
    OwnedFd reportRead, reportWrite;
    if (!nullDevice || !LiftAboveStandardStreams(nullDevice) || !MakePipe(reportRead, reportWrite)) {
        SetLastErrorFromErrno();
        return false;
    }
    const int nullFd = nullDevice.Get();
    const int reportFd = reportWrite.Get();

    const pid_t middle = ::fork();
    if (middle < 0) {
        SetLastErrorFromErrno();
        return false;
    }
    if (middle == 0) {
        // The middle process leaves at once, so the program is nobody's child here.
        ::setsid();
        const pid_t programPid = ::fork();
        if (programPid != 0) {
            if (programPid < 0) {
                const int error = errno;
                [[maybe_unused]] const ssize_t ignored = ::write(reportFd, &error, sizeof error);
            }
            ::_exit(0);
        }
        sigset_t noSignals;
        sigemptyset(&noSignals);
        ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        for (int sig = 1; sig < NSIG; ++sig) ::sigaction(sig, &byDefault, nullptr);
        ::dup2(nullFd, 0);
        ::dup2(nullFd, 1);
        ::dup2(nullFd, 2);
        ::dup2(reportFd, 3);
        ::fcntl(3, F_SETFD, FD_CLOEXEC);
        ::close_range(4, ~0U, 0);
        ::execve(path.c_str(), argv.data(), environ);
        const int error = errno;
        [[maybe_unused]] const ssize_t ignored = ::write(3, &error, sizeof error);
        ::_exit(127);
    }

    reportWrite.Reset();
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    // The report pipe closes on exec; an error number arrives only when exec failed.
    int error = 0;
    ssize_t got;
    while ((got = ::read(reportRead.Get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof error)) {
        SetLastErrorFromErrno(error);
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

}  // namespace plat
