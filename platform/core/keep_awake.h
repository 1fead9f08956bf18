#pragma once
// Keeping the system awake while runs are under way. Each run holds a token; the system is
// asked not to sleep from the first token to the last, so the end of one run never lets the
// system sleep under another. Asking is best effort: where the desktop offers no inhibit
// service nothing happens, and a run never waits for it or fails because of it.

#include <memory>
#include <mutex>
#include <string>

#include "platform/core/process.h"

namespace plat {

// The service that keeps the system awake. Begin and End alternate, starting with Begin.
class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

class KeepAwake {
    struct Core;

public:
    explicit KeepAwake(std::unique_ptr<SleepInhibitor> inhibitor);
    // Ends the inhibition; tokens still out become empty.
    ~KeepAwake();
    KeepAwake(const KeepAwake&) = delete;
    KeepAwake& operator=(const KeepAwake&) = delete;

    // One hold on the system's wakefulness, given back when the token goes or is released.
    class Token {
    public:
        Token() = default;
        ~Token() { Release(); }
        Token(Token&& other) noexcept = default;
        Token& operator=(Token&& other) noexcept;
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;

        bool Holds() const { return core_ != nullptr; }
        void Release();

    private:
        friend class KeepAwake;
        explicit Token(std::shared_ptr<Core> core) : core_(std::move(core)) {}
        std::shared_ptr<Core> core_;
    };

    [[nodiscard]] Token Acquire();
    int Count() const;

private:
    struct Core {
        std::mutex mutex;
        int count = 0;
        bool closed = false;
        std::unique_ptr<SleepInhibitor> inhibitor;
        void Release();
    };
    std::shared_ptr<Core> core_;
};

// Asks logind through systemd-inhibit: the inhibit lock lives as long as a child that reads
// a pipe from this process, so it also ends when this process dies.
class SystemdSleepInhibitor : public SleepInhibitor {
public:
    explicit SystemdSleepInhibitor(std::string program = "systemd-inhibit");
    ~SystemdSleepInhibitor() override;
    void Begin() override;
    void End() override;

private:
    std::string program_;
    ChildProcess child_;
};

// systemd-inhibit when it is installed and a system bus can be reached, else an inhibitor
// that does nothing.
std::unique_ptr<SleepInhibitor> MakeDesktopSleepInhibitor();

// The program-wide keeper, over MakeDesktopSleepInhibitor().
KeepAwake& SystemKeepAwake();

// The calling thread holds one token of SystemKeepAwake() while `on` (repeating a call
// changes nothing); a thread that ends gives its token back.
void KeepThreadAwake(bool on);

}  // namespace plat
