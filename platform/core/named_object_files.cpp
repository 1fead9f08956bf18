#include "platform/core/named_object_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/core/errors.h"
#include "platform/core/sha256.h"

namespace plat {

namespace {

constexpr std::string_view kGlobalPrefix = "Global\\";
constexpr std::string_view kLocalPrefix = "Local\\";
constexpr const char* kDefaultGlobalFolder = "/tmp/.quarrybend-sync-locks";
constexpr std::size_t kLongestPlainEncoding = 200;
constexpr std::size_t kKeptPrefixOfLongEncoding = 120;
// A creator holds its presence file exclusively only while it turns that into a shared
// hold; anything longer is someone keeping the object hostage.
constexpr auto kPresenceWaitLimit = std::chrono::seconds(2);

bool IsPlainNameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
}

bool Fail(DWORD code) {
    SetLastError(code);
    return false;
}

bool FailFromErrno() {
    SetLastErrorFromErrno();
    return false;
}

// Creates `path` with `mode` when missing and checks that it is a real folder. A folder of
// ours gets its mode back (mkdir is cut by the umask, and the mode is part of the contract).
// A private folder must be ours; a shared one must be ours, root's, or sticky, so nobody
// can remove the lock files of others.
bool PrepareFolder(const std::string& path, mode_t mode, bool shared) {
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return FailFromErrno();
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return FailFromErrno();
    if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    const uid_t me = ::geteuid();
    if (st.st_uid == me) {
        if ((st.st_mode & 07777) != mode && ::chmod(path.c_str(), mode) != 0) return FailFromErrno();
        return true;
    }
    if (!shared) return Fail(ERROR_ACCESS_DENIED);
    if (st.st_uid != 0 && (st.st_mode & S_ISVTX) == 0) return Fail(ERROR_ACCESS_DENIED);
    return true;
}

std::string LocalFolderPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return std::string(runtime) + "/quarrybend-sync";
    return "/tmp/quarrybend-sync-" + std::to_string(::geteuid());
}

std::string GlobalFolderPath() {
    const char* overridden = std::getenv(kGlobalObjectFolderVariable);
    if (overridden && overridden[0] != '\0') return overridden;
    return kDefaultGlobalFolder;
}

}  // namespace

bool ParseObjectName(std::string_view name, ObjectName& parsed) {
    parsed.scope = ObjectScope::Local;
    if (name.starts_with(kGlobalPrefix)) {
        parsed.scope = ObjectScope::Global;
        name.remove_prefix(kGlobalPrefix.size());
    } else if (name.starts_with(kLocalPrefix)) {
        name.remove_prefix(kLocalPrefix.size());
    }
    parsed.body.assign(name);
    if (parsed.body.empty()) return Fail(ERROR_INVALID_NAME);
    return true;
}

std::string EncodeObjectName(std::string_view body) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(body.size());
    for (const char ch : body) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsPlainNameByte(c)) {
            encoded.push_back(ch);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[c >> 4]);
            encoded.push_back(kHex[c & 0x0F]);
        }
    }
    if (encoded.size() <= kLongestPlainEncoding) return encoded;

    // Keep a readable start without splitting an escape, then the digest of the whole name.
    std::size_t keep = kKeptPrefixOfLongEncoding;
    if (encoded[keep - 1] == '%')
        keep -= 1;
    else if (encoded[keep - 2] == '%')
        keep -= 2;
    encoded.resize(keep);
    encoded += '~';
    encoded += Sha256Hex(body);
    return encoded;
}

std::string ObjectFolder(ObjectScope scope) {
    if (scope == ObjectScope::Global) {
        std::string path = GlobalFolderPath();
        if (!PrepareFolder(path, 01777, true)) return {};
        return path;
    }
    std::string path = LocalFolderPath();
    if (!PrepareFolder(path, 0700, false)) return {};
    return path;
}

OwnedFd OpenObjectFile(const std::string& folder, const std::string& fileName, ObjectScope scope) {
    const std::string path = folder + "/" + fileName;
    const mode_t mode = scope == ObjectScope::Global ? 0666 : 0600;
    // Open before creating: in a sticky shared folder the system may refuse O_CREAT on a
    // file another user made, even when the file is there already.
    for (int attempt = 0; attempt < 100; ++attempt) {
        OwnedFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
        if (fd) return fd;
        if (errno != ENOENT) break;
        fd.Reset(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (fd) {
            ::fchmod(fd.Get(), mode);  // the umask must not close a shared file to other users
            return fd;
        }
        if (errno != EEXIST) break;
    }
    SetLastErrorFromErrno();
    return {};
}

bool PresenceMark::Take(const std::string& folder, const std::string& fileName, ObjectScope scope, bool& existed) {
    existed = false;
    OwnedFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd) ::flock(folderFd.Get(), LOCK_SH | LOCK_NB);  // only a guard; failing to take it is harmless

    OwnedFd file = OpenObjectFile(folder, fileName, scope);
    if (!file) return false;

    // Open-file-description locks: a write lock taken alone means nobody else has the object
    // open; turning it into a read lock is atomic, so no newcomer can slip in between.
    struct flock whole {};
    whole.l_whence = SEEK_SET;
    whole.l_type = F_WRLCK;
    if (::fcntl(file.Get(), F_OFD_SETLK, &whole) == 0) {
        whole.l_type = F_RDLCK;
        if (::fcntl(file.Get(), F_OFD_SETLK, &whole) != 0) return FailFromErrno();
    } else {
        if (errno != EAGAIN && errno != EACCES) return FailFromErrno();
        existed = true;
        const auto giveUp = std::chrono::steady_clock::now() + kPresenceWaitLimit;
        whole.l_type = F_RDLCK;
        while (::fcntl(file.Get(), F_OFD_SETLK, &whole) != 0) {
            if (errno != EAGAIN && errno != EACCES && errno != EINTR) return FailFromErrno();
            if (std::chrono::steady_clock::now() >= giveUp) return Fail(ERROR_TIMEOUT);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    folder_ = std::move(folderFd);
    file_ = std::move(file);
    return true;
}

}  // namespace plat
