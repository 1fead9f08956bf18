#pragma once
// The folders of one side listed ahead on a helper thread while the scan reads the other
// side. Listing and looking at each entry is nearly all of a scan's time, and the kernel
// does it for two folders at once as fast as for one; the scan of the second side then
// takes each folder's listing as the helper made it, and still makes its records, matches
// them, reports progress and asks Stop exactly as when it reads the folder itself. A
// folder the helper knows of but has not reached yet is listed next, while the scan waits;
// one below a folder the scan read itself is the scan's to read. The listings waiting are
// bounded; the side read second may hold as many as the first side's scan has taken, so
// the two sides are listed side by side however large they are, and what waits never
// outgrows the first side's tree.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/core/dir_listing.h"
#include "platform/core/thread.h"
#include "platform/core/win_types.h"

class ListingAhead {
public:
    // Starts listing `root` (a path with a trailing '/') and the folders below it. When
    // no thread can be made, nothing is listed ahead. `readFirst`, when given, is the
    // listing of the side the scan reads before this one, and outlives this one.
    explicit ListingAhead(std::string root, ListingAhead* readFirst = nullptr);
    // Ends the helper's work after its current folder and waits for it.
    ~ListingAhead();
    ListingAhead(const ListingAhead&) = delete;
    ListingAhead& operator=(const ListingAhead&) = delete;

    // The helper's listing of `folder` (a path as given for the root, with its trailing
    // '/'), waited for while the helper is reading it: the entries it read go into
    // `entries` (its first `count` places), and `error` is ERROR_SUCCESS or why the listing
    // failed (at the start or half-way). False when the helper does not know the folder
    // (it lies below one the caller read itself, or was taken already): the caller reads it.
    bool Take(const std::string& folder, std::vector<plat::DirEntry>& entries, std::size_t& count, DWORD& error);

private:
    struct Listing {
        std::vector<plat::DirEntry> entries;
        DWORD error = ERROR_SUCCESS;
    };

    void ListAll(std::string root);
    bool WaitForRoom(std::unique_lock<std::mutex>& guard);
    // The side read first has had `entries` taken: as many may wait here.
    void AllowWaiting(std::size_t entries);

    std::mutex lock_;
    std::condition_variable changed_;
    std::unordered_map<std::string, Listing> listed_;  // waiting to be taken
    std::unordered_set<std::string> known_;            // found, not listed yet
    std::string wanted_;                               // known, and waited for by the scan
    std::string current_;                              // being listed by the helper
    std::size_t waitingEntries_ = 0;
    std::size_t allowedEntries_;                       // waiting at most, unless wanted
    std::size_t takenEntries_ = 0;                     // by the scan, from this side
    ListingAhead* readFirst_ = nullptr;
    ListingAhead* readSecond_ = nullptr;               // told of each listing taken
    bool ending_ = false;
    bool done_ = false;
    plat::WorkerThread thread_;
};
