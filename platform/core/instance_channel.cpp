#include "platform/core/instance_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/core/errors.h"
#include "platform/core/named_object_files.h"

namespace plat {

namespace {

// Request: "QBCD", dwData (u64 LE), byte count (u32 LE), the bytes. Answer: "QBAK", result (i64 LE).
constexpr char kRequestMagic[4] = {'Q', 'B', 'C', 'D'};
constexpr char kAnswerMagic[4] = {'Q', 'B', 'A', 'K'};
constexpr std::size_t kRequestHeaderSize = 16;
constexpr std::size_t kAnswerSize = 12;
// A sender that stalls must not hold the running copy's listener for long.
constexpr int kServeTimeoutMs = 2000;

void PutLE(std::uint8_t* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLE(const std::uint8_t* in, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    return value;
}

bool SetTimeouts(int fd, DWORD timeoutMs) {
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(timeoutMs / 1000);
    tv.tv_usec = static_cast<suseconds_t>((timeoutMs % 1000) * 1000);
    return ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0 &&
           ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0;
}

// Reads exactly `size` bytes; false on end of stream, time-out or error.
bool ReadExact(int fd, std::uint8_t* out, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::recv(fd, out, size, 0);
        if (got > 0) {
            out += got;
            size -= static_cast<std::size_t>(got);
        } else if (got == 0) {
            SetLastError(ERROR_BROKEN_PIPE);
            return false;
        } else if (errno != EINTR) {
            SetLastError(errno == EAGAIN || errno == EWOULDBLOCK ? ERROR_TIMEOUT : ErrorFromErrno(errno));
            return false;
        }
    }
    return true;
}

bool WriteExact(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::send(fd, data, size, MSG_NOSIGNAL);
        if (put > 0) {
            data += put;
            size -= static_cast<std::size_t>(put);
        } else if (put < 0 && errno != EINTR) {
            SetLastError(errno == EAGAIN || errno == EWOULDBLOCK ? ERROR_TIMEOUT : ErrorFromErrno(errno));
            return false;
        }
    }
    return true;
}

// The socket's address for a window class, in the user's runtime folder. False
// (GetLastError) when the folder cannot be used or the path does not fit an address.
bool AddressFor(std::string_view windowClass, sockaddr_un& address, std::string& path) {
    if (windowClass.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    const std::string folder = ObjectFolder(ObjectScope::Local);
    if (folder.empty()) return false;
    path = folder + "/" + EncodeObjectName(windowClass) + ".window";
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

OwnedFd NewSocket() {
    OwnedFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) SetLastErrorFromErrno();
    return fd;
}

int Connect(int fd, const sockaddr_un& address) {
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

}  // namespace

std::unique_ptr<InstanceListener> InstanceListener::Start(std::string_view windowClass, Handler handler) {
    sockaddr_un address{};
    std::string path;
    if (!AddressFor(windowClass, address, path)) return nullptr;

    std::unique_ptr<InstanceListener> listener(new InstanceListener());
    listener->handler_ = std::move(handler);
    listener->socket_ = NewSocket();
    if (!listener->socket_) return nullptr;
    const int fd = listener->socket_.Get();

    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EADDRINUSE) {
            SetLastErrorFromErrno();
            return nullptr;
        }
        // A socket file is there. If nobody answers on it, its copy died: take its place.
        OwnedFd probe = NewSocket();
        if (!probe) return nullptr;
        const int probeError = Connect(probe.Get(), address);
        if (probeError == 0) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return nullptr;
        }
        if (probeError != ECONNREFUSED || ::unlink(path.c_str()) != 0 ||
            ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            SetLastErrorFromErrno(probeError != ECONNREFUSED ? probeError : errno);
            return nullptr;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) listener->socketInode_ = st.st_ino;
    listener->socketPath_ = path;
    if (::listen(fd, 8) != 0) {
        SetLastErrorFromErrno();
        ::unlink(path.c_str());
        return nullptr;
    }

    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        SetLastErrorFromErrno();
        ::unlink(path.c_str());
        return nullptr;
    }
    listener->wakeRead_.Reset(wake[0]);
    listener->wakeWrite_.Reset(wake[1]);
    listener->thread_ = std::thread([raw = listener.get()] { raw->Listen(); });
    return listener;
}

InstanceListener::~InstanceListener() {
    if (thread_.joinable()) {
        const char stop = 1;
        while (::write(wakeWrite_.Get(), &stop, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    // Remove the socket only while it is still ours.
    struct stat st {};
    if (!socketPath_.empty() && ::stat(socketPath_.c_str(), &st) == 0 && st.st_ino == socketInode_) {
        ::unlink(socketPath_.c_str());
    }
}

void InstanceListener::Listen() {
    for (;;) {
        pollfd fds[2] = {{socket_.Get(), POLLIN, 0}, {wakeRead_.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        OwnedFd connection(::accept4(socket_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (connection) Serve(connection.Get());
    }
}

void InstanceListener::Serve(int connection) const {
    ucred peer{};
    socklen_t peerSize = sizeof peer;
    if (::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) != 0 || peer.uid != ::geteuid()) return;
    if (!SetTimeouts(connection, kServeTimeoutMs)) return;

    std::uint8_t header[kRequestHeaderSize];
    if (!ReadExact(connection, header, sizeof header)) return;
    if (std::memcmp(header, kRequestMagic, sizeof kRequestMagic) != 0) return;
    CopyDataPayload payload;
    payload.data = GetLE(header + 4, 8);
    const std::uint64_t size = GetLE(header + 12, 4);
    if (size > kLargestCopyData) return;
    payload.bytes.resize(static_cast<std::size_t>(size));
    if (!ReadExact(connection, payload.bytes.data(), payload.bytes.size())) return;

    LRESULT result = 0;
    if (handler_) {
        try {
            result = handler_(payload);
        } catch (...) {
            // The sender learns nothing from our trouble but a zero answer.
            result = 0;
        }
    }
    std::uint8_t answer[kAnswerSize];
    std::memcpy(answer, kAnswerMagic, sizeof kAnswerMagic);
    PutLE(answer + 4, static_cast<std::uint64_t>(result), 8);
    WriteExact(connection, answer, sizeof answer);
}

SendToRunningCopyResult SendToRunningCopy(std::string_view windowClass, const CopyDataPayload& payload, LRESULT& answer,
                                          DWORD timeoutMs) {
    if (payload.bytes.size() > kLargestCopyData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SendToRunningCopyResult::Failed;
    }
    sockaddr_un address{};
    std::string path;
    if (!AddressFor(windowClass, address, path)) return SendToRunningCopyResult::Failed;
    OwnedFd fd = NewSocket();
    if (!fd || !SetTimeouts(fd.Get(), timeoutMs)) {
        if (fd) SetLastErrorFromErrno();
        return SendToRunningCopyResult::Failed;
    }
    const int connectError = Connect(fd.Get(), address);
    if (connectError == ENOENT || connectError == ECONNREFUSED) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return SendToRunningCopyResult::NotRunning;
    }
    if (connectError != 0) {
        SetLastError(connectError == EAGAIN ? ERROR_TIMEOUT : ErrorFromErrno(connectError));
        return SendToRunningCopyResult::Failed;
    }

    std::vector<std::uint8_t> request(kRequestHeaderSize + payload.bytes.size());
    std::memcpy(request.data(), kRequestMagic, sizeof kRequestMagic);
    PutLE(request.data() + 4, payload.data, 8);
    PutLE(request.data() + 12, payload.bytes.size(), 4);
    if (!payload.bytes.empty()) {
        std::memcpy(request.data() + kRequestHeaderSize, payload.bytes.data(), payload.bytes.size());
    }
    std::uint8_t reply[kAnswerSize];
    if (!WriteExact(fd.Get(), request.data(), request.size()) || !ReadExact(fd.Get(), reply, sizeof reply)) {
        return SendToRunningCopyResult::Failed;
    }
    if (std::memcmp(reply, kAnswerMagic, sizeof kAnswerMagic) != 0) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return SendToRunningCopyResult::Failed;
    }
    answer = static_cast<LRESULT>(GetLE(reply + 4, 8));
    SetLastError(ERROR_SUCCESS);
    return SendToRunningCopyResult::Delivered;
}

}  // namespace plat
