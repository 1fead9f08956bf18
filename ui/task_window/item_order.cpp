#include "ui/task_window/item_order.h"

#include <algorithm>
#include <iterator>

#include "engine/model/file_info.h"
#include "engine/model/folder_tree.h"

namespace {

// The last part of a relative path. The two sides may spell a parent folder in other case,
// so only the names are compared.
std::string_view NameOf(std::string_view relativePath) {
    const std::size_t slash = relativePath.rfind('/');
    return slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
}

}  // namespace

ItemNameOrder::ItemNameOrder(bool caseSensitive)
    : compare_(caseSensitive ? &CompareFileInfoBySecondNameCase : &CompareFileInfoBySecondName) {}

bool ItemNameOrder::operator()(const CFileInfo& a, const CFileInfo& b) const {
    const std::string_view first = NameOf(a.relativePath);
    const std::string_view second = NameOf(b.relativePath);
    const int compared = compare_(first, second);
    return compared != 0 ? compared < 0 : first < second;
}

std::vector<ItemFolderPair> SubFoldersInOrder(FolderTreeNode* source, FolderTreeNode* target,
                                              const ItemNameOrder& order) {
    std::vector<ItemFolderPair> folders;
    if (source) {
        for (const auto& child : source->children) {
            if (child) folders.push_back({child.get(), child->counterpart});
        }
    }
    if (target) {
        for (const auto& child : target->children) {
            if (child && (!source || !child->counterpart)) folders.push_back({nullptr, child.get()});
        }
    }
    // A node without a folder record has no name: it keeps its place after the others.
    const auto record = [](const ItemFolderPair& pair) {
        return (pair.source ? pair.source : pair.target)->folder.get();
    };
    std::stable_sort(folders.begin(), folders.end(), [&](const ItemFolderPair& a, const ItemFolderPair& b) {
        const CFileInfo* first = record(a);
        const CFileInfo* second = record(b);
        if (!first || !second) return first && !second;
        return order(*first, *second);
    });
    return folders;
}

std::vector<CFileInfo*> MergeInOrder(const std::vector<CFileInfo*>& first, const std::vector<CFileInfo*>& second,
                                     const ItemNameOrder& order) {
    std::vector<CFileInfo*> merged;
    merged.reserve(first.size() + second.size());
    std::merge(first.begin(), first.end(), second.begin(), second.end(), std::back_inserter(merged), order);
    // The scan keeps each folder's files in its own order already; merging is then enough.
    if (!std::is_sorted(merged.begin(), merged.end(), order)) std::stable_sort(merged.begin(), merged.end(), order);
    return merged;
}
