#include "platform/core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/file_system_detail.h"

namespace plat {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the error a delayed write may only show here.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool Fail(int err) {
    SetLastErrorFromErrno(err);
    return false;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The process's file-creation mask, read without changing it.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 022;
}

std::string ResolveLink(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;  // a dangling link is replaced by the file itself
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* out, std::size_t maxBytes) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return Fail(errno);
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) return Fail(errno);
    if (!S_ISREG(info.st_mode)) return Fail(S_ISDIR(info.st_mode) ? EISDIR : EACCES);
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return Fail(EFBIG);
    std::string data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) return Fail(EFBIG);
        data.append(buffer, static_cast<std::size_t>(n));
    }
    *out = std::move(data);
    return true;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveLink(path);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return Fail(EISDIR);

    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return Fail(S_ISDIR(existing.st_mode) ? EISDIR : EACCES);

    std::string temp = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
    std::vector<char> tempName(temp.begin(), temp.end());
    tempName.push_back('\0');
    Descriptor fd(::mkostemp(tempName.data(), O_CLOEXEC));
    if (fd.get() < 0) return Fail(errno);
    temp = tempName.data();
    auto discard = [&temp](int err) {
        ::unlink(temp.c_str());
        return Fail(err);
    };

    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
    // A file system that keeps no Unix modes (a FAT stick) takes the file without them.
    if (::fchmod(fd.get(), mode) != 0 && !fs_detail::KeepsNoModes(errno)) return discard(errno);
    if (!WriteAll(fd.get(), bytes)) return discard(errno);
    if (::fsync(fd.get()) != 0) return discard(errno);
    if (!fd.Close()) return discard(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0) return discard(errno);

    // Make the rename itself durable; a failure here changes nothing for readers.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

}  // namespace plat
