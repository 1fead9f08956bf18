#include "platform/core/keep_awake.h"

#include <unistd.h>

#include <cstdlib>

namespace plat {

namespace {

constexpr DWORD kInhibitorEndWaitMs = 500;
constexpr DWORD kInhibitorStopGraceMs = 200;

class NoSleepInhibitor : public SleepInhibitor {
public:
    void Begin() override {}
    void End() override {}
};

bool SystemBusReachable() {
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (address && address[0] != '\0') return true;
    return ::access("/run/dbus/system_bus_socket", F_OK) == 0 || ::access("/var/run/dbus/system_bus_socket", F_OK) == 0;
}

}  // namespace

void KeepAwake::Core::Release() {
    std::lock_guard lock(mutex);
    if (closed || count == 0) return;
    if (--count == 0) inhibitor->End();
}

KeepAwake::KeepAwake(std::unique_ptr<SleepInhibitor> inhibitor) : core_(std::make_shared<Core>()) {
    core_->inhibitor = inhibitor ? std::move(inhibitor) : std::make_unique<NoSleepInhibitor>();
}

KeepAwake::~KeepAwake() {
    std::lock_guard lock(core_->mutex);
    if (core_->count > 0) core_->inhibitor->End();
    core_->count = 0;
    core_->closed = true;
}

KeepAwake::Token& KeepAwake::Token::operator=(Token&& other) noexcept {
    if (this != &other) {
        Release();
        core_ = std::move(other.core_);
    }
    return *this;
}

void KeepAwake::Token::Release() {
    if (!core_) return;
    core_->Release();
    core_.reset();
}

KeepAwake::Token KeepAwake::Acquire() {
    std::lock_guard lock(core_->mutex);
    if (core_->count++ == 0) core_->inhibitor->Begin();
    return Token(core_);
}

int KeepAwake::Count() const {
    std::lock_guard lock(core_->mutex);
    return core_->count;
}

SystemdSleepInhibitor::SystemdSleepInhibitor(std::string program) : program_(std::move(program)) {}

SystemdSleepInhibitor::~SystemdSleepInhibitor() { End(); }

void SystemdSleepInhibitor::Begin() {
    if (child_.IsRunning()) return;
    ProcessCommand command;
    command.program = program_;
    command.arguments = {"--what=sleep:idle", "--who=Quarrybend Sync", "--why=Synchronizing folders", "--mode=block",
                         "cat"};
    command.input = StreamMode::Pipe;
    command.output = StreamMode::Null;
    command.errors = StreamMode::Null;
    // Failing to start only means the system may sleep; the run goes on.
    child_.Start(command);
}

void SystemdSleepInhibitor::End() {
    if (!child_.IsRunning()) return;
    child_.Input().Reset();  // cat ends, and with it the inhibit lock
    if (!child_.WaitForExit(kInhibitorEndWaitMs)) child_.Stop(kInhibitorStopGraceMs);
}

std::unique_ptr<SleepInhibitor> MakeDesktopSleepInhibitor() {
    if (!FindProgram("systemd-inhibit").empty() && SystemBusReachable()) {
        return std::make_unique<SystemdSleepInhibitor>();
    }
    return std::make_unique<NoSleepInhibitor>();
}

KeepAwake& SystemKeepAwake() {
    static KeepAwake keeper(MakeDesktopSleepInhibitor());
    return keeper;
}

void KeepThreadAwake(bool on) {
    thread_local KeepAwake::Token token;
    if (on && !token.Holds()) {
        token = SystemKeepAwake().Acquire();
    } else if (!on) {
        token.Release();
    }
}

}  // namespace plat
