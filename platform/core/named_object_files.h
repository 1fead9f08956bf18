#pragma once
// Where system-wide named objects (named mutexes and events) live on disk, and the pieces
// they share. Each object is a small lock file in one of two folders:
//
//  - "Global\name": a machine-wide folder (sticky and writable by every user), so the
//    processes of every user exclude each other;
//  - "Local\name", or a name without a prefix: the user's runtime folder.
//
// A file's name is a readable, injective encoding of the name (see EncodeObjectName), so
// two different names never share a file. Every process that has an object open holds a
// shared lock on its presence file; that is how "the object already exists" is told across
// processes, and a process that dies lets go of everything with it.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/core/owned_fd.h"
#include "platform/core/win_types.h"

namespace plat {

enum class ObjectScope { Global, Local };

struct ObjectName {
    ObjectScope scope = ObjectScope::Local;
    std::string body;  // the name without its prefix
};

// The environment variable that moves the machine-wide folder (tests use their own).
inline constexpr const char* kGlobalObjectFolderVariable = "QUARRYBEND_SYNC_GLOBAL_LOCKS";

// Splits "Global\x" / "Local\x" / "x". False (ERROR_INVALID_NAME) for an empty body.
bool ParseObjectName(std::string_view name, ObjectName& parsed);

// [A-Za-z0-9._-] stay as they are, every other byte becomes %XX. An encoding longer than
// 200 characters keeps its first 120 and adds '~' and the SHA-256 of the body; '~' never
// appears in a plain encoding, so shortened and plain names cannot meet.
std::string EncodeObjectName(std::string_view body);

// The folder of a scope, created when missing. Empty (GetLastError) when it cannot be made
// or is not safe to use: a symbolic link, or a private folder that others may write to.
std::string ObjectFolder(ObjectScope scope);

// Opens (creating when missing) the lock file `fileName` in `folder` for reading and
// writing, never through a symbolic link. Files in the machine-wide folder are open to
// every user. Invalid (GetLastError) on failure.
OwnedFd OpenObjectFile(const std::string& folder, const std::string& fileName, ObjectScope scope);

// This process's share in an object's presence file.
class PresenceMark {
public:
    PresenceMark() = default;
    // Marks the object as open in this process. `existed` tells whether another process had
    // it open already. False (GetLastError) on failure.
    bool Take(const std::string& folder, const std::string& fileName, ObjectScope scope, bool& existed);

private:
    OwnedFd folder_;  // a shared lock on the folder keeps cleaners of temporary files away
    OwnedFd file_;
};

// The objects of one kind that are open in this process, by lock-file path: every handle
// to one name shares one state, and the state goes when its last handle does.
template <typename State>
class NamedObjectTable {
public:
    // The live state for `key`, or a new one from `make()` (null from make() is a failure).
    // `existed` is set when a live state was found.
    template <typename Make>
    std::shared_ptr<State> FindOrCreate(const std::string& key, bool& existed, Make&& make) {
        std::lock_guard lock(mutex_);
        auto it = states_.find(key);
        if (it != states_.end()) {
            if (auto state = it->second.lock()) {
                existed = true;
                return state;
            }
        }
        existed = false;
        std::shared_ptr<State> state = make();
        if (!state) return nullptr;
        // Drop entries whose objects are gone, so the table does not grow with every name.
        std::erase_if(states_, [](const auto& entry) { return entry.second.expired(); });
        states_[key] = state;
        return state;
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::weak_ptr<State>> states_;
};

}  // namespace plat
