#include "ui/task_window/view_filter_memo.h"

#include <utility>
#include <vector>

#include "engine/model/item_display.h"

namespace {

// Views 7 to 10 name a direction, so they depend on which side is Left.
bool ViewNamesDirection(int view) { return view >= 7 && view <= 10; }

}  // namespace

bool ViewFilterMemo::RecordPasses(const CFileInfo& record) const {
    return IsItemInViewFilter(record.state.Word(), view_, ViewNamesDirection(view_) && swapped_);
}

bool ViewFilterMemo::OwnItemsPass(const FolderTreeNode& node) const {
    if (node.folder && RecordPasses(*node.folder)) return true;
    if (node.files) {
        for (const CFileInfo& file : *node.files) {
            if (RecordPasses(file)) return true;
        }
    }
    return false;
}

void ViewFilterMemo::Fill(const FolderTreeNode* root) {
    if (!root) return;
    // Children before their parent, without recursion: deep trees must not exhaust the stack.
    std::vector<std::pair<const FolderTreeNode*, bool>> stack{{root, false}};
    while (!stack.empty()) {
        auto [node, childrenDone] = stack.back();
        stack.pop_back();
        if (!childrenDone) {
            stack.emplace_back(node, true);
            for (const auto& child : node->children) {
                if (child) stack.emplace_back(child.get(), false);
            }
            continue;
        }
        bool passes = OwnItemsPass(*node);
        for (const auto& child : node->children) {
            if (passes) break;
            if (child) passes = passes_[child.get()];
        }
        passes_[node] = passes;
    }
}

bool ViewFilterMemo::Passes(const FolderTreeNode* node) {
    if (!node) return false;
    if (view_ == 0) return true;
    const auto found = passes_.find(node);
    if (found != passes_.end()) return found->second;
    Fill(node);
    return passes_[node];
}
