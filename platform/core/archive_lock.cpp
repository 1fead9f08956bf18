#include "platform/core/archive_lock.h"

#include <filesystem>
#include <mutex>
#include <unordered_map>

namespace plat {

// A slot lives while some thread holds or waits for its lock, so the table does not grow
// with every temporary archive a run ever used.
struct detail::ArchiveLockSlot {
    std::recursive_mutex mutex;
    int users = 0;
};

namespace {

struct SlotTable {
    std::mutex mutex;
    std::unordered_map<std::string, detail::ArchiveLockSlot> slots;  // elements never move
};

SlotTable& Table() {
    static SlotTable table;
    return table;
}

}  // namespace

std::string NormalizeArchivePath(std::string_view archivePath) {
    namespace fs = std::filesystem;
    const fs::path given{std::string(archivePath)};
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(given, ec);
    if (ec) {
        resolved = fs::absolute(given, ec);
        if (ec) resolved = given;
        resolved = resolved.lexically_normal();
    }
    return resolved.string();
}

ArchiveLock::ArchiveLock(std::string_view archivePath) : key_(NormalizeArchivePath(archivePath)) {
    SlotTable& table = Table();
    {
        std::lock_guard guard(table.mutex);
        detail::ArchiveLockSlot& slot = table.slots.try_emplace(key_).first->second;
        ++slot.users;
        slot_ = &slot;
    }
    slot_->mutex.lock();
}

ArchiveLock::~ArchiveLock() {
    slot_->mutex.unlock();
    SlotTable& table = Table();
    std::lock_guard guard(table.mutex);
    if (--slot_->users == 0) table.slots.erase(key_);
}

}  // namespace plat
