#include "engine/scan/scan_folder.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "engine/actions/file_copier.h"
#include "engine/run/run_messages.h"
#include "engine/scan/listing_ahead.h"
#include "engine/scan/wildcard_filter.h"
#include "platform/core/clock.h"
#include "platform/core/file_info.h"
#include "platform/core/text.h"
#include "platform/core/trash.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

// The side's own catalog folder holds the program's data, never items to sync.
constexpr std::string_view kCatalogFolderName = "_qb_sync";

constexpr DWORD kExcludedNoAction = ItemState::kExcluded | ItemState::kNoAction;
constexpr DWORD kOnBothSides = ItemState::kOnSource | ItemState::kOnTarget;
constexpr DWORD kNewOnSource = ItemState::kCopyToRight | ItemState::kOnSource | ItemState::kSourceOnly;

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

FolderScanner::FolderScanner(const ScanOptions& options, DWORD optionsWord, HWND taskWindow)
    : options_(options),
      compare_((optionsWord & kScanCaseSensitive) ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName),
      caseSensitive_((optionsWord & kScanCaseSensitive) != 0),
      window_(taskWindow) {}

bool FolderScanner::QueryStop() {
    if (!stopped_ && StopPressedIn(window_)) stopped_ = true;
    return stopped_;
}

bool FolderScanner::QueryStopWhenDue() { return stopped_ || (window_ && stopPace_.Due() && QueryStop()); }

void FolderScanner::SendProgress() {
    if (window_ && progressPace_.Due()) SendMessage(window_, WM_SYNC_PROGRESS_TEXT, 0, 0);
}

namespace {

// One '/' after the root, so that relative paths never begin with one.
std::wstring WideRootOf(std::wstring_view rootFolder) {
    while (rootFolder.size() > 1 && rootFolder.back() == L'/') rootFolder.remove_suffix(1);
    std::wstring root(rootFolder);
    if (root.empty() || root.back() != L'/') root += L'/';
    return root;
}

}  // namespace

std::string FolderScanner::NarrowRootOf(std::wstring_view rootFolder) {
    return plat::WideToUtf8(WideRootOf(rootFolder));
}

FolderScanResult FolderScanner::ScanSide(std::wstring_view rootFolder, FolderTreeNode& root, std::wstring_view passOver,
                                         ListingAhead* listingAhead) {
    matching_ = (options_.flags & kScanMatchOtherSide) != 0;
    passOver_ = plat::WideToUtf8(passOver);
    rootError_ = ERROR_SUCCESS;
    listingAhead_ = listingAhead;
    wideRoot_ = WideRootOf(rootFolder);
    sideRoot_ = MakeSideRoot(wideRoot_);
    narrowRoot_ = plat::WideToUtf8(wideRoot_);
    if (matching_) {
        const PathCompareFunction compare = compare_;
        std::sort(targetSkipped_.begin(), targetSkipped_.end(),
                  [compare](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
    }
    // Each side is a stage of its own: its first folder asks about Stop at once.
    stopPace_.Restart();
    progressPace_.Restart();

    pending_.clear();
    pending_.push_back({&root, nullptr});
    // Depth first with a list of pending folders instead of recursion: a deep tree costs
    // no stack, and no folder is held open while its subfolders are read.
    while (!pending_.empty()) {
        const PendingFolder folder = pending_.back();
        pending_.pop_back();
        FolderTreeNode& node = *folder.node;
        if (node.folder) {
            widePath_ = node.folder->path();
            widePath_ += L'/';
            narrowPath_ = narrowRoot_;
            narrowPath_ += node.folder->relativePath;
            narrowPath_ += '/';
        } else {
            widePath_ = wideRoot_;
            narrowPath_ = narrowRoot_;
        }

        switch (ScanFolder(node, matching_ ? node.counterpart : nullptr)) {
        case FolderRead::kStopped: return FolderScanResult::kStopped;
        case FolderRead::kUnreadable:
            if (folder.parent) {
                MarkUnreadable(node, *folder.parent);
            } else if (!RootIsMissing()) {
                rootError_ = listError_;
                return FolderScanResult::kUnreadable;
            }
            break;
        case FolderRead::kDone:
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
                const ItemState state = (*child)->folder->state;
                if (!state.IsExcluded() && !state.IsClash()) pending_.push_back({child->get(), &node});
            }
            break;
        }
    }
    return FolderScanResult::kDone;
}

FolderScanner::FolderRead FolderScanner::ScanFolder(FolderTreeNode& node, FolderTreeNode* other) {
    if (QueryStopWhenDue()) return FolderRead::kStopped;
    std::size_t count = 0;
    if (const FolderRead read = ReadEntries(count); read != FolderRead::kDone) return read;

    skippedHere_.clear();
    MakeRecords(node, count);
    AddFilesInOrder(node);
    if (!caseSensitive_) ExcludeCaseDuplicates(node);
    if (matching_) MatchEntries(node, other);
    return FolderRead::kDone;
}

// The whole listing is read before any record is made: a listing that fails half-way
// leaves no partial folder behind.
FolderScanner::FolderRead FolderScanner::ReadEntries(std::size_t& count) {
    std::size_t listed = 0;
    DWORD error = ERROR_SUCCESS;
    byName_.clear();
    if (listingAhead_ && listingAhead_->Take(narrowPath_, entries_, listed, error, byName_)) {
        // Told and asked entry by entry, as when the folder is read here.
        while (count < listed) {
            ++count;
            SendProgress();
            if (QueryStopWhenDue()) return FolderRead::kStopped;
        }
        if (error == ERROR_SUCCESS) return FolderRead::kDone;
        listError_ = error;
        return FolderRead::kUnreadable;
    }
    plat::DirectoryReader reader;
    if (!reader.Open(narrowPath_)) {
        listError_ = reader.error();
        return FolderRead::kUnreadable;
    }
    for (;;) {
        if (count == entries_.size()) entries_.emplace_back();
        if (!reader.Next(entries_[count])) break;
        ++count;
        SendProgress();
        if (QueryStopWhenDue()) return FolderRead::kStopped;
    }
    if (reader.Failed()) {
        listError_ = reader.error();
        return FolderRead::kUnreadable;
    }
    return FolderRead::kDone;
}

void FolderScanner::MakeRecords(FolderTreeNode& node, std::size_t count) {
    const WORD flags = options_.flags;
    const bool nameLists = (flags & kScanNameLists) && options_.patterns;
    newFiles_.clear();
    fileOfEntry_.assign(count, -1);
    // A record's times start as now; the clock is read once for the folder.
    const LONGLONG now = plat::NowUnixSeconds();
    const std::size_t folderLength = widePath_.size();
    const std::size_t narrowFolderLength = narrowPath_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const plat::DirEntry& entry = entries_[i];
        if (!entry.IsFolder() && !entry.IsFile()) {
            SkipUnsupportedEntry(node, entry);
            continue;
        }
        if (entry.IsFolder() && plat::EqualsNoCaseAscii(entry.name, kCatalogFolderName)) continue;
        // A side that is the top of its disk keeps what its deletions send to the trash
        // there: the side's own, as the catalog folder is, never an item.
        if (entry.IsFolder() && !node.folder && plat::IsTopDirTrashName(entry.name)) continue;
        // A copy still being written (or left by a program that was killed mid-copy) is
        // not an item of the folder; a leftover would keep its folder from being deleted.
        if (entry.IsFile() && IsCopyTempName(entry.name)) {
            if (options_.removeCopyLeftovers) RemoveCopyLeftover(narrowPath_ + entry.name);
            continue;
        }

        AppendName(entry.name);
        if (entry.IsFolder() && !passOver_.empty() && RelativePath() == passOver_) {
            widePath_.resize(folderLength);
            narrowPath_.resize(narrowFolderLength);
            continue;
        }
        if (entry.IsFolder()) {
            auto child = std::make_unique<FolderTreeNode>();
            child->folder = std::make_unique<CFileInfo>(now);
            CFileInfo& record = *child->folder;
            record.Set(sideRoot_, 0, entry.attributes, 0, RelativePath(), ItemState::kFolder);
            if (ExcludedByAttributes(entry.attributes) ||
                (nameLists && MatchFolderFilter(widePath_, options_.patterns->includeFolders,
                                                options_.patterns->excludeFolders, true))) {
                record.state.Set(kExcludedNoAction);
            }
            node.AppendChild(std::move(child));
        } else {
            fileOfEntry_[i] = static_cast<std::int32_t>(newFiles_.size());
            CFileInfo& record = newFiles_.emplace_back(now);
            record.SetFromFindData(entry, sideRoot_, RelativePath(), 0);
            if (ExcludedByAttributes(entry.attributes) ||
                (nameLists && MatchFileFilter(widePath_, options_.patterns->includePatterns,
                                              options_.patterns->excludePatterns, true))) {
                record.state.Set(kExcludedNoAction);
            }
        }
        widePath_.resize(folderLength);
        narrowPath_.resize(narrowFolderLength);
    }
}

void FolderScanner::SkipUnsupportedEntry(FolderTreeNode& node, const plat::DirEntry& entry) {
    // A link is counted as what it points to, as far as that can be told.
    bool isFolder = false;
    if (entry.IsSymbolicLink()) {
        const std::size_t length = narrowPath_.size();
        narrowPath_ += entry.name;
        isFolder = plat::IsFolderPath(narrowPath_);
        narrowPath_.resize(length);
    }
    ++(isFolder ? node.skippedFolders : node.skippedFiles);

    const std::size_t folderLength = widePath_.size();
    const std::size_t narrowFolderLength = narrowPath_.size();
    AppendName(entry.name);
    skipped_.push_back(
        {widePath_, entry.IsSymbolicLink() ? SkippedEntry::Kind::kLink : SkippedEntry::Kind::kSpecialFile});
    // Matched with the other side's records once they are all read; the target side is
    // read first, so its places are looked up when the source side is matched.
    (matching_ ? skippedHere_ : targetSkipped_).emplace_back(RelativePath());
    widePath_.resize(folderLength);
    narrowPath_.resize(narrowFolderLength);
}

bool FolderScanner::SkippedOnTarget(std::string_view relativePath) const {
    const PathCompareFunction compare = compare_;
    const auto it = std::lower_bound(targetSkipped_.begin(), targetSkipped_.end(), relativePath,
                                     [compare](const std::string& a, std::string_view b) { return compare(a, b) < 0; });
    return it != targetSkipped_.end() && compare(*it, relativePath) == 0;
}

// A folder replaced by a link (or a file replaced by a pipe) on one side is not a deleted
// item: what stands at its place on the other side is neither copied nor deleted.
void FolderScanner::ExcludeAtSkippedPlaces(FolderTreeNode& node) {
    for (const std::string& relative : skippedHere_) {
        if (CFileInfo* file = counterpart_.FindFile(relative)) file->state.MakeExcluded();
        if (FolderTreeNode* folder = counterpart_.FindFolder(relative)) folder->folder->state.MakeExcluded();
    }
    if (targetSkipped_.empty()) return;
    if (node.files) {
        for (CFileInfo& record : *node.files) {
            if (SkippedOnTarget(record.relativePath)) record.state.MakeExcluded();
        }
    }
    for (const auto& child : node.children) {
        if (SkippedOnTarget(child->folder->relativePath)) child->folder->state.MakeExcluded();
    }
}

// Sorted first and then appended, so that a folder of many files costs no more per file
// than a folder of few. The records of one folder share the folder's part of the relative
// path, so only the names are compared.
void FolderScanner::AddFilesInOrder(FolderTreeNode& node) {
    if (newFiles_.empty()) return;
    order_.clear();
    if (!byName_.empty()) {
        // The helper put the folder's names in this order, no two of them equal: the one
        // order a sort makes of them.
        for (const std::uint32_t entry : byName_) {
            if (fileOfEntry_[entry] >= 0) order_.push_back(&newFiles_[static_cast<std::size_t>(fileOfEntry_[entry])]);
        }
    } else {
        for (CFileInfo& record : newFiles_) order_.push_back(&record);
        const PathCompareFunction compare = compare_;
        const std::size_t folderPart = narrowPath_.size() - narrowRoot_.size();
        std::sort(order_.begin(), order_.end(), [compare, folderPart](const CFileInfo* a, const CFileInfo* b) {
            return compare(std::string_view(a->relativePath).substr(folderPart),
                           std::string_view(b->relativePath).substr(folderPart)) < 0;
        });
    }
    // The node is new, so appending keeps the array in order.
    node.files = std::make_unique<CFileInfoArray>(compare_);
    CFileInfoArray& files = *node.files;
    files.Reserve(order_.size());
    for (CFileInfo* record : order_) {
        SendProgress();
        files.InsertAt(files.GetSize(), std::move(*record));
    }
    newFiles_.clear();
}

void FolderScanner::ExcludeCaseDuplicates(FolderTreeNode& node) {
    // The files are in order already; the folders are put in order and merged with them.
    folderOrder_.clear();
    for (const auto& child : node.children) folderOrder_.push_back(child->folder.get());
    const PathCompareFunction compare = compare_;
    const auto before = [compare](const CFileInfo* a, const CFileInfo* b) {
        return compare(a->relativePath, b->relativePath) < 0;
    };
    std::sort(folderOrder_.begin(), folderOrder_.end(), before);
    order_.clear();
    if (node.files) {
        for (CFileInfo& record : *node.files) order_.push_back(&record);
    }
    merged_.clear();
    std::merge(order_.begin(), order_.end(), folderOrder_.begin(), folderOrder_.end(), std::back_inserter(merged_),
               before);

    for (std::size_t first = 0; first < merged_.size();) {
        std::size_t end = first + 1;
        while (end < merged_.size() && compare(merged_[first]->relativePath, merged_[end]->relativePath) == 0) ++end;
        if (end - first > 1) {
            for (std::size_t i = first; i < end; ++i) {
                merged_[i]->state.MakeExcluded();
                MarkSpreadingExclusion(*merged_[i]);
                caseConflicts_.push_back(merged_[i]->path());
            }
        }
        first = end;
    }
}

void FolderScanner::MatchEntries(FolderTreeNode& node, FolderTreeNode* other) {
    counterpart_.Reset(other, compare_);
    ExcludeAtSkippedPlaces(node);

    if (node.files) {
        for (CFileInfo& record : *node.files) {
            const bool excluded = record.state.IsExcluded();
            // The files are in the compare's order, as the other side's are.
            const CounterpartMatch match = other ? MatchCounterpartInOrder(record, counterpart_) : CounterpartMatch{};
            if (match.flags) {
                record.state.Set(match.flags);
                if (!excluded) {
                    if (!(match.flags & ItemState::kClash)) {
                        record.state.Set(match.flags == ItemState::kMatched ? ItemState::kNoAction
                                                                            : ItemState::kCopyToRight);
                    }
                    record.state.Set(kOnBothSides);
                }
                if (match.folder) {
                    // A file against a folder: what the folder holds is left as it is.
                    match.folder->files.reset();
                    match.folder->children.clear();
                }
                SpreadExclusion(record, *match.record);
            } else if (!excluded) {
                record.state.Set(kNewOnSource);
            }
        }
    }

    for (const auto& child : node.children) {
        CFileInfo& record = *child->folder;
        const CounterpartMatch match = other ? MatchFolderCounterpart(record, counterpart_) : CounterpartMatch{};
        if (match.folder) {
            child->counterpart = match.folder;
            match.folder->counterpart = child.get();
            if (match.record->state.IsExcluded()) {
                record.state.Set(ItemState::kExcluded);
            } else if (record.state.IsExcluded()) {
                match.record->state.Set(ItemState::kExcluded);
            } else {
                record.state.Set(match.flags | ItemState::kNoAction | kOnBothSides);
            }
        } else if (match.record) {
            // A folder against a file: the folder has no counterpart node, so what it holds
            // is read as new on the source side.
            if (match.record->state.IsExcluded()) {
                record.state.Set(kExcludedNoAction);
            } else if (record.state.IsExcluded()) {
                match.record->state.Set(kExcludedNoAction);
            } else {
                record.state.Set(match.flags | kOnBothSides);
            }
        } else if (!record.state.IsExcluded()) {
            record.state.Set(kNewOnSource);
        }
        if (match.record) SpreadExclusion(record, *match.record);
    }
}

void FolderScanner::MarkSpreadingExclusion(CFileInfo& record) { spreading_.insert(&record); }

// Only records that were excluded can spread, so the set is looked at only for them.
void FolderScanner::SpreadExclusion(CFileInfo& record, CFileInfo& counterpart) {
    if (counterpart.state.IsExcluded() && spreading_.contains(&counterpart)) record.state.MakeExcluded();
    if (record.state.IsExcluded() && spreading_.contains(&record)) counterpart.state.MakeExcluded();
}

void FolderScanner::MarkUnreadable(FolderTreeNode& node, FolderTreeNode& parent) {
    CFileInfo& record = *node.folder;
    record.state.MakeExcluded();
    MarkSpreadingExclusion(record);
    ++parent.skippedFolders;
    skipped_.push_back({record.path(), SkippedEntry::Kind::kUnreadableFolder, listError_});
    if (!matching_) return;  // the other side's scan finds the mark
    if (node.counterpart) {
        if (node.counterpart->folder) node.counterpart->folder->state.MakeExcluded();
    } else if (parent.counterpart && parent.counterpart->files) {
        // A file it was paired with.
        const int index = parent.counterpart->files->FindByName(record.relativePath);
        if (index >= 0) (*parent.counterpart->files)[index].state.MakeExcluded();
    }
}

// A root that is not there at all is a folder the run may still create; anything else
// there that cannot be listed (a file, a broken link) is not an empty folder.
bool FolderScanner::RootIsMissing() const {
    if (listError_ != ERROR_FILE_NOT_FOUND && listError_ != ERROR_PATH_NOT_FOUND) return false;
    std::string root = narrowRoot_;
    if (root.size() > 1) root.pop_back();
    return !plat::PathExists(root);
}

bool FolderScanner::ExcludedByAttributes(DWORD attributes) const {
    return (options_.flags & kScanAttributeExclusion) && (attributes & options_.attributeMask) != 0;
}

void FolderScanner::AppendName(std::string_view bytes) {
    narrowPath_ += bytes;
    if (IsAscii(bytes)) {
        widePath_.append(bytes.begin(), bytes.end());
    } else {
        widePath_ += plat::Utf8ToWide(bytes);
    }
}

std::string_view FolderScanner::RelativePath() const {
    return std::string_view(narrowPath_).substr(std::min(narrowRoot_.size(), narrowPath_.size()));
}
