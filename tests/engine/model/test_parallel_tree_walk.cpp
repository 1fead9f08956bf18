// Visiting a tree on several threads: every node once, each after the nodes above it, for
// trees too small to share out and trees wide and deep enough to.

#include "engine/model/parallel_tree_walk.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// A tree of `fanOut` children per node, `depth` levels below the root.
void Grow(FolderTreeNode& node, int fanOut, int depth) {
    if (depth == 0) return;
    for (int i = 0; i < fanOut; ++i) Grow(*node.AppendChild(std::make_unique<FolderTreeNode>()), fanOut, depth - 1);
}

TEST(ParallelTreeWalk, EveryNodeOnceAfterItsParent) {
    for (const auto& [fanOut, depth] : {std::pair{1, 3}, std::pair{3, 2}, std::pair{5, 4}, std::pair{400, 1}}) {
        FolderTreeNode root;
        Grow(root, fanOut, depth);
        std::map<const FolderTreeNode*, const FolderTreeNode*> parents;
        std::vector<const FolderTreeNode*> all{&root};
        for (std::size_t i = 0; i < all.size(); ++i) {
            for (const auto& child : all[i]->children) {
                parents[child.get()] = all[i];
                all.push_back(child.get());
            }
        }
        std::mutex lock;
        std::map<const FolderTreeNode*, int> visits;
        std::size_t parentFirst = 0;
        VisitTreeInParallel(static_cast<const FolderTreeNode&>(root), [&](const FolderTreeNode& node) {
            std::lock_guard guard(lock);
            ++visits[&node];
            if (&node == &root || visits.count(parents[&node]) != 0) ++parentFirst;
        });
        EXPECT_EQ(visits.size(), all.size()) << fanOut << "x" << depth;
        for (const auto& [node, count] : visits) EXPECT_EQ(count, 1);
        EXPECT_EQ(parentFirst, all.size());
    }
}

}  // namespace
