#pragma once
// The folders of one side listed ahead on a helper thread while the scan reads the other
// side. Listing and looking at each entry is nearly all of a scan's time, and the kernel
// does it for two folders at once as fast as for one; the scan of the second side then
// takes each folder's listing as the helper made it, and still makes its records, matches
// them, reports progress and asks Stop exactly as when it reads the folder itself. A
// folder the helper knows of but has not reached yet is listed next, while the scan waits;
// one below a folder the scan read itself is the scan's to read.

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
    // no thread can be made, nothing is listed ahead.
    explicit ListingAhead(std::string root);
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

    std::mutex lock_;
    std::condition_variable changed_;
    std::unordered_map<std::string, Listing> listed_;  // waiting to be taken
    std::unordered_set<std::string> known_;            // found, not listed yet
    std::string wanted_;                               // known, and waited for by the scan
    std::string current_;                              // being listed by the helper
    std::size_t waitingEntries_ = 0;
    bool ending_ = false;
    bool done_ = false;
    plat::WorkerThread thread_;
};
