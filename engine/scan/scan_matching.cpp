#include "engine/scan/scan_matching.h"

#include <algorithm>

namespace {

// Both records of a pair learn the other's values; the other record is marked matched.
void PairRecords(CFileInfo& record, CFileInfo& other) {
    other.state.Set(ItemState::kMatched);
    record.SetCounterpartRecord(other);
    other.SetCounterpartRecord(record);
}

}  // namespace

void CounterpartFolder::Reset(FolderTreeNode* node, PathCompareFunction compare) {
    node_ = node;
    compare_ = compare;
    folders_.clear();
    nextFile_ = 0;
    if (!node) return;
    for (const auto& child : node->children) {
        if (child && child->folder) folders_.push_back(child.get());
    }
    // Stable, so that of two names equal under the compare the first found comes first.
    std::stable_sort(folders_.begin(), folders_.end(), [compare](const FolderTreeNode* a, const FolderTreeNode* b) {
        return compare(a->folder->relativePath, b->folder->relativePath) < 0;
    });
}

CFileInfo* CounterpartFolder::FindFile(std::string_view relativePath) const {
    if (!node_ || !node_->files) return nullptr;
    const int index = node_->files->FindByName(relativePath);
    return index < 0 ? nullptr : &(*node_->files)[index];
}

CFileInfo* CounterpartFolder::FindFileInOrder(std::string_view relativePath) {
    if (!node_ || !node_->files) return nullptr;
    CFileInfoArray& files = *node_->files;
    const std::size_t count = static_cast<std::size_t>(files.GetSize());
    // The files are in the compare's order, so the first one not before the path is where
    // a search would land.
    int order = -1;
    while (nextFile_ < count && (order = compare_(files[static_cast<int>(nextFile_)].relativePath, relativePath)) < 0) {
        ++nextFile_;
    }
    return nextFile_ < count && order == 0 ? &files[static_cast<int>(nextFile_)] : nullptr;
}

FolderTreeNode* CounterpartFolder::FindFolder(std::string_view relativePath) const {
    const auto it = std::lower_bound(folders_.begin(), folders_.end(), relativePath,
                                     [this](const FolderTreeNode* node, std::string_view key) {
                                         return compare_(node->folder->relativePath, key) < 0;
                                     });
    if (it == folders_.end() || compare_((*it)->folder->relativePath, relativePath) != 0) return nullptr;
    return *it;
}

namespace {

CounterpartMatch MatchWithFile(CFileInfo& record, CFileInfo* file, const CounterpartFolder& other) {
    CounterpartMatch match;
    if (file) {
        match.flags = ItemState::kMatched;
        match.record = file;
        if (record.lastWrite != file->lastWrite && TimesDiffer(record.lastWrite, file->lastWrite)) {
            match.flags |= ItemState::kTimesDiffer;
            if (record.lastWrite < file->lastWrite) match.flags |= ItemState::kSourceOlder;
        }
        if (record.size != file->size) match.flags |= ItemState::kSizesDiffer;
        PairRecords(record, *file);
    } else if (FolderTreeNode* folder = other.FindFolder(record.relativePath)) {
        match.flags = ItemState::kMatched | ItemState::kClash;
        match.record = folder->folder.get();
        match.folder = folder;
        PairRecords(record, *match.record);
    }
    return match;
}

}  // namespace

CounterpartMatch MatchCounterpart(CFileInfo& record, const CounterpartFolder& other) {
    return MatchWithFile(record, other.FindFile(record.relativePath), other);
}

CounterpartMatch MatchCounterpartInOrder(CFileInfo& record, CounterpartFolder& other) {
    return MatchWithFile(record, other.FindFileInOrder(record.relativePath), other);
}

CounterpartMatch MatchFolderCounterpart(CFileInfo& record, const CounterpartFolder& other) {
    CounterpartMatch match;
    if (FolderTreeNode* folder = other.FindFolder(record.relativePath)) {
        match.flags = ItemState::kMatched;
        match.record = folder->folder.get();
        match.folder = folder;
        PairRecords(record, *match.record);
    } else if (CFileInfo* file = other.FindFile(record.relativePath)) {
        match.flags = ItemState::kMatched | ItemState::kClash;
        match.record = file;
        PairRecords(record, *file);
    }
    return match;
}
