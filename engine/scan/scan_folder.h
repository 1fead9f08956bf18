#pragma once
// Reading one side of a task into a folder tree, entry by entry, with each entry's
// exclusion by attribute or name pattern and, for the second side, its match against
// the first side's finished tree.
//
// What the file system does not let us see is never taken for "nothing there": a folder
// that cannot be listed, or whose listing fails half-way, is excluded with its
// counterpart and counted as skipped, so nothing below it is copied or deleted. Symbolic
// links and special files (devices, pipes, sockets) are skipped and counted the same way,
// never followed: what the other side holds at their place is excluded with them. A
// folder that clashes with a file of the other side is not read, on either side: the
// pair is one conflict, and nothing below the folder takes part. With case-blind names,
// two names of one folder that differ only in case are both excluded, with whatever they
// match on the other side, rather than one of them being paired at random. The side's
// catalog folder, and the trash folders directly in its root (".Trash", ".Trash-<uid>",
// where deletions go when the side is the top of its disk), are never items.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/model/folder_tree.h"
#include "engine/model/path_compare.h"
#include "engine/run/message_pace.h"
#include "engine/scan/scan_matching.h"
#include "foundation/quoted_list.h"
#include "platform/core/dir_listing.h"
#include "platform/core/win_types.h"

// The scan's options word.
inline constexpr DWORD kScanCaseSensitive = 0x20;  // relative paths compared with case

// Flags of the scan options block.
inline constexpr WORD kScanAttributeExclusion = 0x80;  // the attribute mask excludes entries
inline constexpr WORD kScanNameLists = 0x100;          // the pattern lists exclude entries
inline constexpr WORD kScanMatchOtherSide = 0x200;     // match against the other side's tree

// The scan options block: one per run, shared by both scans.
struct ScanOptions {
    const FilterPatterns* patterns = nullptr;  // the four pattern lists (read with kScanNameLists)
    DWORD attributeMask = 0;                   // read-only 1, hidden 2, system 4
    WORD flags = 0;
    // The side being read is one the run (holding both folders' locks) copies into:
    // temporary files that killed copies left are removed where they are met. Read at the
    // start of each side.
    bool removeCopyLeftovers = false;
};

// An entry the scan passed over because it cannot be read or is not synced.
struct SkippedEntry {
    enum class Kind { kLink, kSpecialFile, kUnreadableFolder };
    std::wstring path;
    Kind kind = Kind::kLink;
    DWORD error = ERROR_SUCCESS;  // kUnreadableFolder: why it could not be listed
};

class ListingAhead;

enum class FolderScanResult {
    kDone,
    kStopped,     // a stop query answered non-zero
    kUnreadable,  // the side's root could not be listed
};

class FolderScanner {
public:
    // `options` is read at the start of each side, so the caller may switch matching on
    // between the two. Messages go to `taskWindow` when it is not null.
    FolderScanner(const ScanOptions& options, DWORD optionsWord, HWND taskWindow);

    // Reads `rootFolder` and everything below it into `root`. With kScanMatchOtherSide,
    // `root.counterpart` is the other side's root, whose tree is complete. A root that
    // does not exist reads as empty (a folder still to be made); any other root that
    // cannot be listed gives kUnreadable with RootError() telling why. `passOver` is the
    // relative path of a folder to leave out as the catalog folder is left out (the other
    // side's root, when it lies inside this one); empty: none.
    FolderScanResult ScanSide(std::wstring_view rootFolder, FolderTreeNode& root, std::wstring_view passOver = {},
                              ListingAhead* listingAhead = nullptr);
    // The root as the scan of `rootFolder` names it, and as a ListingAhead of that side is
    // to be given it.
    static std::string NarrowRootOf(std::wstring_view rootFolder);
    // How the scan orders and matches names.
    PathCompareFunction Compare() const { return compare_; }

    // Asks the task window whether Stop was pressed; once it has said so, the answer stays.
    // Within a side the question is paced (message_pace.h); this asks at once.
    bool QueryStop();
    bool Stopped() const { return stopped_; }
    DWORD RootError() const { return rootError_; }

    // Full paths of the items excluded because another name in their folder differs from
    // theirs only in case, in the order found.
    const std::vector<std::wstring>& CaseConflicts() const { return caseConflicts_; }
    // Links, special files and folders that could not be listed, in the order found.
    const std::vector<SkippedEntry>& Skipped() const { return skipped_; }

private:
    enum class FolderRead { kDone, kStopped, kUnreadable };

    struct PendingFolder {
        FolderTreeNode* node;
        FolderTreeNode* parent;  // null for the root
    };

    // One folder: `widePath_` and `narrowPath_` hold its path with a trailing '/'.
    FolderRead ScanFolder(FolderTreeNode& node, FolderTreeNode* other);
    FolderRead ReadEntries(std::size_t& count);
    void MakeRecords(FolderTreeNode& node, std::size_t count);
    void AddFilesInOrder(FolderTreeNode& node);
    void ExcludeCaseDuplicates(FolderTreeNode& node);
    void MatchEntries(FolderTreeNode& node, FolderTreeNode* other);
    void MarkUnreadable(FolderTreeNode& node, FolderTreeNode& parent);
    void SkipUnsupportedEntry(FolderTreeNode& node, const plat::DirEntry& entry);
    // Excludes the counterparts of what this side skipped: the entries of the other side
    // skipped at a record's place, and the records of the other side at the place of an
    // entry skipped here.
    void ExcludeAtSkippedPlaces(FolderTreeNode& node);
    bool SkippedOnTarget(std::string_view relativePath) const;
    // A record whose exclusion must reach whatever it is paired with.
    void MarkSpreadingExclusion(CFileInfo& record);
    void SpreadExclusion(CFileInfo& record, CFileInfo& counterpart);

    bool RootIsMissing() const;
    bool ExcludedByAttributes(DWORD attributes) const;
    void AppendName(std::string_view bytes);
    std::string_view RelativePath() const;
    // The paced stop question and progress text of each entry and folder.
    bool QueryStopWhenDue();
    void SendProgress();

    ListingAhead* listingAhead_ = nullptr;  // the side's folders listed ahead; null: none
    const ScanOptions& options_;
    const PathCompareFunction compare_;
    const bool caseSensitive_;
    const HWND window_;
    bool matching_ = false;
    bool stopped_ = false;
    DWORD rootError_ = ERROR_SUCCESS;
    DWORD listError_ = ERROR_SUCCESS;  // why the last folder could not be listed
    MessagePace stopPace_;
    MessagePace progressPace_;

    std::wstring wideRoot_;  // the side's root with a trailing '/'
    SideRoot sideRoot_;      // the same, shared by the side's records
    std::string passOver_;   // relative path of a folder that is not an item of the side
    std::string narrowRoot_;
    std::wstring widePath_;  // the folder being read, then each entry of it
    std::string narrowPath_;

    // Buffers reused from folder to folder, so that an entry costs no allocation beyond
    // its record.
    std::vector<plat::DirEntry> entries_;
    std::vector<std::uint32_t> byName_;      // the listing's entries in name order, when a helper made it
    std::vector<std::int32_t> fileOfEntry_;  // each entry's place in newFiles_, -1 for none
    std::vector<CFileInfo> newFiles_;
    std::vector<CFileInfo*> order_;
    std::vector<CFileInfo*> folderOrder_;
    std::vector<CFileInfo*> merged_;
    std::vector<PendingFolder> pending_;
    CounterpartFolder counterpart_;

    std::unordered_set<const CFileInfo*> spreading_;
    std::vector<std::wstring> caseConflicts_;
    std::vector<SkippedEntry> skipped_;
    std::vector<std::string> targetSkipped_;  // relative paths, in the compare's order once matching starts
    std::vector<std::string> skippedHere_;    // relative paths skipped in the folder being read
};
