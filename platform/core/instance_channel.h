#pragma once
// The channel between a second start of the program and the copy that is running: the
// second start finds the running copy's frame window and sends it WM_COPYDATA.
//
// The running copy listens on a local socket in the user's runtime folder, named after the
// window class of its frame; a second start connects, sends the copy-data record (dwData
// and bytes) and gets the frame's answer back. Only processes of the same user are served.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/core/owned_fd.h"
#include "platform/core/win_types.h"

namespace plat {

struct CopyDataPayload {
    std::uint64_t data = 0;           // dwData
    std::vector<std::uint8_t> bytes;  // lpData, cbData
};

// The largest payload the channel carries; larger ones are refused on both ends.
inline constexpr std::size_t kLargestCopyData = 1 << 20;

class InstanceListener {
public:
    // Runs on the listener's own thread for each payload; its result goes back to the sender.
    // The listener's destructor waits for a running handler, so the handler must not wait for
    // the thread that destroys the listener (forward with a post, or a send with a time-out).
    using Handler = std::function<LRESULT(const CopyDataPayload& payload)>;

    // Starts listening for `windowClass`. Null (GetLastError) when the socket cannot be made,
    // or ERROR_ALREADY_EXISTS when a live copy listens under that class already. A socket
    // left by a copy that died is replaced.
    static std::unique_ptr<InstanceListener> Start(std::string_view windowClass, Handler handler);

    // Stops the thread (waiting for a payload being handled) and removes the socket.
    ~InstanceListener();
    InstanceListener(const InstanceListener&) = delete;
    InstanceListener& operator=(const InstanceListener&) = delete;

private:
    InstanceListener() = default;
    void Listen();
    void Serve(int connection) const;

    Handler handler_;
    std::string socketPath_;
    std::uint64_t socketInode_ = 0;
    OwnedFd socket_;
    OwnedFd wakeRead_;
    OwnedFd wakeWrite_;
    std::thread thread_;
};

enum class SendToRunningCopyResult {
    Delivered,   // the running copy answered; `answer` holds its result
    NotRunning,  // no copy listens under that window class
    Failed,      // a copy listens but the exchange failed (GetLastError)
};

SendToRunningCopyResult SendToRunningCopy(std::string_view windowClass, const CopyDataPayload& payload, LRESULT& answer,
                                          DWORD timeoutMs = 5000);

}  // namespace plat
