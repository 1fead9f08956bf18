#include "foundation/log_file.h"

#include <ctime>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "foundation/resource_strings.h"
#include "foundation/text_file.h"
#include "foundation/text_utils.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/file_info.h"
#include "platform/core/file_time.h"
#include "platform/core/message_box.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"

namespace {

constexpr UINT kDefaultLimitKb = 100'000;

// One lock per log path for the whole process: a second writer waits for the first,
// so two runs logging to one file interleave whole lines and lose none.
class LogPathLock {
public:
    explicit LogPathLock(const std::wstring& path) : key_(KeyFor(path)) {
        Table& table = TheTable();
        {
            std::lock_guard guard(table.mutex);
            Slot& slot = table.slots.try_emplace(key_).first->second;
            ++slot.users;
            slot_ = &slot;
        }
        slot_->mutex.lock();
    }

    ~LogPathLock() {
        slot_->mutex.unlock();
        Table& table = TheTable();
        std::lock_guard guard(table.mutex);
        if (--slot_->users == 0) table.slots.erase(key_);
    }

    LogPathLock(const LogPathLock&) = delete;
    LogPathLock& operator=(const LogPathLock&) = delete;

private:
    struct Slot {
        std::recursive_mutex mutex;
        int users = 0;
    };
    struct Table {
        std::mutex mutex;
        std::unordered_map<std::string, Slot> slots;  // elements never move
    };

    static Table& TheTable() {
        static Table* const table = new Table;  // outlives every thread that logs
        return *table;
    }

    // Two spellings of one path share a lock.
    static std::string KeyFor(const std::wstring& path) {
        const std::string bytes = plat::WideToUtf8(path);
        std::string key = plat::CanonicalPath(bytes);
        return key.empty() ? bytes : key;
    }

    std::string key_;
    Slot* slot_ = nullptr;
};

// The local date and time as "%x %X " formats them in the process's locale.
std::string LocalTimeText() {
    const std::time_t seconds = static_cast<std::time_t>(plat::FileTimeToUnixSeconds(plat::NowLocalFileTime()));
    std::tm parts{};
    if (!gmtime_r(&seconds, &parts)) return {};
    char text[256];
    const std::size_t length = std::strftime(text, sizeof text, "%x %X ", &parts);
    return std::string(text, length);
}

}  // namespace

CLog::CLog(std::wstring path, UINT limitKb, bool ask)
    : path_(std::move(path)),
      limitBytes_(static_cast<ULONGLONG>(limitKb == 0 ? kDefaultLimitKb : limitKb) * 1024),
      ask_(ask) {}

CLog::~CLog() = default;

bool CLog::Open(CStdioFileEx& file) const {
    if (path_.empty()) return false;
    const UINT mode = CStdioFileEx::modeCreate | CStdioFileEx::modeNoTruncate | CStdioFileEx::shareDenyNone |
                      CStdioFileEx::modeReadWrite;
    return file.OpenW(path_, mode) && file.SeekToEnd();
}

void CLog::NoteFailure() {
    const DWORD error = GetLastError();
    DWORD none = ERROR_SUCCESS;
    firstError_.compare_exchange_strong(none, error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
}

bool CLog::TakeFirstFailure(DWORD& error) {
    error = firstError_.load();
    return error != ERROR_SUCCESS && !failureTaken_.exchange(true);
}

bool CLog::Append(const std::function<bool(CStdioFileEx&)>& write) {
    if (path_.empty()) return false;
    const LogPathLock lock(path_);
    CStdioFileEx file;
    if (!Open(file)) {
        NoteFailure();
        return false;
    }
    ULONGLONG end = 0;
    const bool endKnown = file.GetLength(end);
    const bool written = write(file);
    if (written && file.Close()) return true;
    NoteFailure();
    // No half line stays behind to run into the next one.
    if (!written && endKnown) file.SetLength(end);
    return false;
}

// An empty text still opens (and so creates) the file, but writes nothing, not even a
// line end.
bool CLog::WriteLine(std::string_view text) {
    std::string line(text);
    if (!line.empty()) line += "\r\n";
    return Append([&line](CStdioFileEx& file) { return file.WriteString(line); });
}

bool CLog::WriteLineW(std::wstring_view text) {
    std::wstring line(text);
    if (!line.empty()) line += L"\r\n";
    return Append([&line](CStdioFileEx& file) { return file.WriteStringW(line); });
}

std::string CLog::WriteHeader(UINT id, std::string_view text) {
    const std::string format = LoadResString(id);
    const std::string what(text);
    std::string line = FormatString(format.c_str(), what.c_str(), LocalTimeText().c_str());
    line += "\r\n";
    Append([&line](CStdioFileEx& file) { return file.WriteString(line); });
    return line;
}

bool CLog::Clear() {
    if (path_.empty()) return false;
    const LogPathLock lock(path_);
    CStdioFileEx file;
    const UINT mode = CStdioFileEx::modeCreate | CStdioFileEx::shareDenyNone | CStdioFileEx::modeReadWrite;
    if (file.OpenW(path_, mode) && file.Close()) return true;
    NoteFailure();
    return false;
}

void CLog::CheckSize(const ClearQuestion& ask) {
    if (!ask || !ask_.load() || path_.empty()) return;
    // The file is never held open between writes, so its size on disk is what counts.
    plat::FileInfo info;
    if (!plat::GetFileInfo(plat::WideToUtf8(path_), info) || !info.IsFile() || info.size <= limitBytes_) return;
    if (!ask_.exchange(false)) return;  // asked already, by another thread
    if (ask(LoadResString(IDS_LOG_TOO_LONG), LoadResString(IDS_APP_TITLE))) Clear();
}

bool CLog::AskInMessageBox(const std::string& text, const std::string& caption) {
    return MessageBox(nullptr, text, caption, MB_YESNO) == IDYES;
}
