#pragma once
// The folders of both sides listed ahead on a few helper threads while the scan reads
// them. Listing and looking at each entry is nearly all of a scan's time, and the kernel
// does it for several folders at once nearly as fast as for one; the scan then takes each
// folder's listing as a helper made it, and still makes its records, matches them,
// reports progress and asks Stop exactly as when it reads the folder itself.
//
// The helpers serve the side the scan reads first before the other, each side's folders
// in about the order the scan asks for them: a folder they know of but have not reached
// yet is listed next, while the scan waits; one below a folder the scan read itself is
// the scan's to read. The listings waiting are bounded; the side read second may hold as
// many as the first side's scan has taken, so the two sides are listed side by side
// however large they are, and what waits never outgrows the first side's tree.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/model/path_compare.h"
#include "platform/core/dir_listing.h"
#include "platform/core/thread.h"
#include "platform/core/win_types.h"

class ListingAhead;

// The helper threads of one scan, shared by its sides. Made before the sides and ended
// after them.
class ListingHelpers {
public:
    // Up to `threads` helpers, started with the first side.
    explicit ListingHelpers(unsigned threads);
    // Ends the helpers after their current folders and waits for them.
    ~ListingHelpers();
    ListingHelpers(const ListingHelpers&) = delete;
    ListingHelpers& operator=(const ListingHelpers&) = delete;

private:
    friend class ListingAhead;

    void Work();

    const unsigned threadCount_;
    std::mutex lock_;  // guards the sides' state as well
    std::condition_variable changed_;
    std::vector<ListingAhead*> sides_;  // in the order the scan reads them
    bool ending_ = false;
    bool started_ = false;
    std::list<plat::WorkerThread> threads_;
};

class ListingAhead {
public:
    // Starts listing `root` (a path with a trailing '/') and the folders below it on the
    // helpers, after the sides that joined them before. With no helpers, or when no thread
    // can be made, nothing is listed ahead. `readFirst`, when given, is the listing of the
    // side the scan reads before this one, and outlives this one. With `compare`, each
    // listing's names are also put in that order for the scan.
    ListingAhead(std::string root, ListingHelpers* helpers, ListingAhead* readFirst = nullptr,
                 PathCompareFunction compare = nullptr);
    // Waits until no helper lists a folder of this side any more.
    ~ListingAhead();
    ListingAhead(const ListingAhead&) = delete;
    ListingAhead& operator=(const ListingAhead&) = delete;

    // The helpers' listing of `folder` (a path as given for the root, with its trailing
    // '/'), waited for while a helper is reading it: the entries it read go into `entries`
    // (its first `count` places), and `error` is ERROR_SUCCESS or why the listing failed
    // (at the start or half-way). False when the helpers do not know the folder (it lies
    // below one the caller read itself, or was taken already): the caller reads it.
    bool Take(const std::string& folder, std::vector<plat::DirEntry>& entries, std::size_t& count, DWORD& error);
    // The same, with `byName` the places of the entries in the order of their names by the
    // compare, when one was given and no two names are equal by it; empty otherwise.
    bool Take(const std::string& folder, std::vector<plat::DirEntry>& entries, std::size_t& count, DWORD& error,
              std::vector<std::uint32_t>& byName);

private:
    friend class ListingHelpers;

    struct Listing {
        std::vector<plat::DirEntry> entries;
        std::vector<std::uint32_t> byName;  // see Take
        DWORD error = ERROR_SUCCESS;
    };

    // Under the helpers' lock: the next folder of this side for a helper to list, marked
    // as being listed; false when there is none to list now.
    bool StartNextFolder(std::string& folder);
    // Outside the lock: the folder listed, its names in order, its subfolders found.
    Listing ListFolder(const std::string& folder, std::vector<std::string>& children) const;
    // Under the lock: the listing waits to be taken, the subfolders to be listed.
    void FinishFolder(std::string folder, Listing listing, std::vector<std::string> children);
    void PutInOrder(Listing& listing) const;
    // The side read first has had `entries` taken: as many may wait here.
    void AllowWaiting(std::size_t entries);

    ListingHelpers* helpers_;
    std::unordered_map<std::string, Listing> listed_;  // waiting to be taken
    std::unordered_set<std::string> known_;            // found, not listed yet
    std::vector<std::string> pending_;                 // known ones in the order to list them, last first
    std::string wanted_;                               // known, and waited for by the scan
    std::unordered_set<std::string> current_;          // being listed by the helpers
    std::size_t waitingEntries_ = 0;
    std::size_t allowedEntries_;    // waiting at most, unless wanted
    std::size_t takenEntries_ = 0;  // by the scan, from this side
    const PathCompareFunction compare_;
    ListingAhead* readFirst_ = nullptr;
    ListingAhead* readSecond_ = nullptr;  // told of each listing taken
    bool done_ = false;
};
