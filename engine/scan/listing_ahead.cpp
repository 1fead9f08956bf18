#include "engine/scan/listing_ahead.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "platform/core/text.h"

namespace {

// The catalog folder is never an item: its contents are not listed ahead.
constexpr std::string_view kCatalogFolderName = "_qb_sync";
// Entries listed and not yet taken, at most, unless the side read first has had more
// taken: the helpers wait beyond (about 20 MB).
constexpr std::size_t kMaxWaitingEntries = 262144;

}  // namespace

ListingHelpers::ListingHelpers(unsigned threads) : threadCount_(threads) {}

ListingHelpers::~ListingHelpers() {
    {
        std::lock_guard guard(lock_);
        ending_ = true;
    }
    changed_.notify_all();
    for (plat::WorkerThread& thread : threads_) thread.Join();
}

void ListingHelpers::Work() {
    std::unique_lock guard(lock_);
    for (;;) {
        if (ending_) return;
        // The side the scan reads first before the other.
        ListingAhead* side = nullptr;
        std::string folder;
        for (ListingAhead* candidate : sides_) {
            if (candidate->StartNextFolder(folder)) {
                side = candidate;
                break;
            }
        }
        if (!side) {
            changed_.wait(guard);
            continue;
        }
        guard.unlock();
        std::vector<std::string> children;
        ListingAhead::Listing listing = side->ListFolder(folder, children);
        guard.lock();
        side->FinishFolder(std::move(folder), std::move(listing), std::move(children));
        changed_.notify_all();
    }
}

ListingAhead::ListingAhead(std::string root, ListingHelpers* helpers, ListingAhead* readFirst,
                           PathCompareFunction compare)
    : helpers_(helpers), allowedEntries_(kMaxWaitingEntries), compare_(compare), readFirst_(readFirst) {
    if (!helpers_) {
        done_ = true;
        return;
    }
    std::lock_guard guard(helpers_->lock_);
    if (readFirst_) readFirst_->readSecond_ = this;
    known_.insert(root);
    pending_.push_back(std::move(root));
    helpers_->sides_.push_back(this);
    if (!helpers_->started_) {
        helpers_->started_ = true;
        for (unsigned i = 0; i < std::max(helpers_->threadCount_, 1u); ++i) {
            if (!helpers_->threads_.emplace_back().Start([h = helpers_] { h->Work(); })) {
                helpers_->threads_.pop_back();
                break;
            }
        }
    }
    if (helpers_->threads_.empty()) {
        known_.clear();
        pending_.clear();
        done_ = true;
    }
    helpers_->changed_.notify_all();
}

ListingAhead::~ListingAhead() {
    if (!helpers_) return;
    std::unique_lock guard(helpers_->lock_);
    if (readFirst_) readFirst_->readSecond_ = nullptr;
    // Nothing more is started here; what is under way is waited for.
    done_ = true;
    helpers_->changed_.wait(guard, [this] { return current_.empty(); });
    auto& sides = helpers_->sides_;
    sides.erase(std::remove(sides.begin(), sides.end(), this), sides.end());
}

void ListingAhead::AllowWaiting(std::size_t entries) {
    {
        std::lock_guard guard(helpers_->lock_);
        if (entries <= allowedEntries_) return;
        allowedEntries_ = entries;
    }
    helpers_->changed_.notify_all();
}

bool ListingAhead::StartNextFolder(std::string& folder) {
    if (done_) return false;
    // A folder the scan waits for is listed whatever is waiting.
    if (!wanted_.empty()) {
        folder = std::move(wanted_);
        wanted_.clear();
    } else {
        // Those listed already because the scan wanted them are passed over.
        while (!pending_.empty() && known_.count(pending_.back()) == 0) pending_.pop_back();
        if (pending_.empty()) {
            if (current_.empty()) {
                // Nothing left, and no helper listing what could hold more.
                done_ = true;
                known_.clear();
                helpers_->changed_.notify_all();
            }
            return false;
        }
        if (waitingEntries_ >= allowedEntries_) return false;
        folder = std::move(pending_.back());
        pending_.pop_back();
    }
    known_.erase(folder);
    current_.insert(folder);
    return true;
}

ListingAhead::Listing ListingAhead::ListFolder(const std::string& folder, std::vector<std::string>& children) const {
    Listing listing;
    plat::DirectoryReader reader;
    if (!reader.Open(folder)) {
        listing.error = reader.error();
        return listing;
    }
    plat::DirEntry entry;
    while (reader.Next(entry)) listing.entries.push_back(std::move(entry));
    if (reader.Failed()) {
        listing.error = reader.error();
        return listing;
    }
    if (compare_) PutInOrder(listing);
    // Depth first, children in the order listed: about the order the scan asks for them.
    for (const plat::DirEntry& listed : listing.entries) {
        if (listed.IsFolder() && !plat::EqualsNoCaseAscii(listed.name, kCatalogFolderName)) {
            children.push_back(folder + listed.name + '/');
        }
    }
    return listing;
}

void ListingAhead::FinishFolder(std::string folder, Listing listing, std::vector<std::string> children) {
    if (!done_) {
        known_.insert(children.begin(), children.end());
        // The first child is listed first.
        pending_.insert(pending_.end(), std::make_move_iterator(children.rbegin()),
                        std::make_move_iterator(children.rend()));
    }
    waitingEntries_ += listing.entries.size();
    current_.erase(folder);
    listed_.emplace(std::move(folder), std::move(listing));
}

void ListingAhead::PutInOrder(Listing& listing) const {
    const std::vector<plat::DirEntry>& entries = listing.entries;
    std::vector<std::uint32_t>& order = listing.byName;
    order.resize(entries.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    const PathCompareFunction compare = compare_;
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return compare(entries[a].name, entries[b].name) < 0; });
    // Names equal by the compare are in no order a sort of the scan's would keep.
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (compare(entries[order[i - 1]].name, entries[order[i]].name) == 0) {
            order.clear();
            return;
        }
    }
}

bool ListingAhead::Take(const std::string& folder, std::vector<plat::DirEntry>& entries, std::size_t& count,
                        DWORD& error) {
    std::vector<std::uint32_t> byName;
    return Take(folder, entries, count, error, byName);
}

bool ListingAhead::Take(const std::string& folder, std::vector<plat::DirEntry>& entries, std::size_t& count,
                        DWORD& error, std::vector<std::uint32_t>& byName) {
    if (!helpers_) return false;
    std::unique_lock guard(helpers_->lock_);
    if (known_.count(folder) != 0) {
        wanted_ = folder;
        helpers_->changed_.notify_all();
    }
    helpers_->changed_.wait(guard, [&] { return current_.count(folder) == 0 && (done_ || known_.count(folder) == 0); });
    const auto found = listed_.find(folder);
    if (found == listed_.end()) return false;
    Listing listing = std::move(found->second);
    listed_.erase(found);
    waitingEntries_ -= listing.entries.size();
    guard.unlock();
    helpers_->changed_.notify_all();

    count = listing.entries.size();
    if (entries.size() < count) entries.resize(count);
    std::move(listing.entries.begin(), listing.entries.end(), entries.begin());
    byName = std::move(listing.byName);
    error = listing.error;
    takenEntries_ += count;
    if (readSecond_) readSecond_->AllowWaiting(takenEntries_);
    return true;
}
