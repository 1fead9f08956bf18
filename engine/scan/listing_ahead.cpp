#include "engine/scan/listing_ahead.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/core/text.h"

namespace {

// The catalog folder is never an item: its contents are not listed ahead.
constexpr std::string_view kCatalogFolderName = "_qb_sync";
// Entries listed and not yet taken, at most, unless the side read first has had more
// taken: the helper waits beyond (about 20 MB).
constexpr std::size_t kMaxWaitingEntries = 262144;

}  // namespace

ListingAhead::ListingAhead(std::string root, ListingAhead* readFirst)
    : allowedEntries_(kMaxWaitingEntries), readFirst_(readFirst) {
    // Set before this side's helper starts; read by the scan's thread alone.
    if (readFirst_) readFirst_->readSecond_ = this;
    known_.insert(root);
    if (!thread_.Start([this, root = std::move(root)]() mutable { ListAll(std::move(root)); })) {
        known_.clear();
        done_ = true;
    }
}

ListingAhead::~ListingAhead() {
    if (readFirst_) readFirst_->readSecond_ = nullptr;
    {
        std::lock_guard guard(lock_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.Join();
}

bool ListingAhead::WaitForRoom(std::unique_lock<std::mutex>& guard) {
    // A folder the scan waits for is listed whatever is waiting.
    changed_.wait(guard, [this] { return ending_ || waitingEntries_ < allowedEntries_ || !wanted_.empty(); });
    return !ending_;
}

void ListingAhead::AllowWaiting(std::size_t entries) {
    {
        std::lock_guard guard(lock_);
        if (entries <= allowedEntries_) return;
        allowedEntries_ = entries;
    }
    changed_.notify_all();
}

void ListingAhead::ListAll(std::string root) {
    // Depth first, children in the order listed: about the order the scan asks for them.
    std::vector<std::string> pending{std::move(root)};
    for (;;) {
        std::string folder;
        {
            std::unique_lock guard(lock_);
            if (!WaitForRoom(guard)) break;
            if (!wanted_.empty()) {
                folder = std::move(wanted_);
                wanted_.clear();
            } else {
                // Those listed already because the scan wanted them are passed over.
                while (!pending.empty() && known_.count(pending.back()) == 0) pending.pop_back();
                if (pending.empty()) break;
                folder = std::move(pending.back());
                pending.pop_back();
            }
            known_.erase(folder);
            current_ = folder;
        }
        Listing listing;
        plat::DirectoryReader reader;
        if (!reader.Open(folder)) {
            listing.error = reader.error();
        } else {
            plat::DirEntry entry;
            while (reader.Next(entry)) listing.entries.push_back(std::move(entry));
            if (reader.Failed()) listing.error = reader.error();
        }
        const std::size_t firstChild = pending.size();
        if (listing.error == ERROR_SUCCESS) {
            for (const plat::DirEntry& entry : listing.entries) {
                if (entry.IsFolder() && !plat::EqualsNoCaseAscii(entry.name, kCatalogFolderName))
                    pending.push_back(folder + entry.name + '/');
            }
            // The first child is listed first.
            std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
        }
        {
            std::lock_guard guard(lock_);
            known_.insert(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
            waitingEntries_ += listing.entries.size();
            listed_.emplace(std::move(folder), std::move(listing));
            current_.clear();
        }
        changed_.notify_all();
    }
    {
        std::lock_guard guard(lock_);
        done_ = true;
        known_.clear();
        current_.clear();
    }
    changed_.notify_all();
}

bool ListingAhead::Take(const std::string& folder, std::vector<plat::DirEntry>& entries, std::size_t& count,
                        DWORD& error) {
    std::unique_lock guard(lock_);
    if (known_.count(folder) != 0) {
        wanted_ = folder;
        changed_.notify_all();
    }
    changed_.wait(guard, [&] { return current_ != folder && (done_ || known_.count(folder) == 0); });
    const auto found = listed_.find(folder);
    if (found == listed_.end()) return false;
    Listing listing = std::move(found->second);
    listed_.erase(found);
    waitingEntries_ -= listing.entries.size();
    guard.unlock();
    changed_.notify_all();

    count = listing.entries.size();
    if (entries.size() < count) entries.resize(count);
    std::move(listing.entries.begin(), listing.entries.end(), entries.begin());
    error = listing.error;
    takenEntries_ += count;
    if (readSecond_) readSecond_->AllowWaiting(takenEntries_);
    return true;
}
