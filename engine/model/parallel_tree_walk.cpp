#include "engine/model/parallel_tree_walk.h"

#include <vector>

#include "engine/model/tree_walk.h"
#include "platform/core/parallel_for.h"

namespace {

// Subtrees enough for every thread to take several, so that an uneven tree still shares
// out well.
constexpr std::size_t kSubtreesPerThread = 16;
// Fewer subtrees than this are not worth a thread.
constexpr std::size_t kFewestSubtrees = 4;

template <typename Node, typename Visit>
void VisitInParallel(Node& root, const Visit& visit) {
    const std::size_t wanted = std::size_t{plat::ParallelThreads()} * kSubtreesPerThread;
    std::vector<Node*> level{&root};
    std::vector<Node*> next;
    // Level by level: the nodes of a level are visited here while the next level is not
    // yet wide enough to share out.
    for (;;) {
        next.clear();
        for (Node* node : level) {
            for (const auto& child : node->children) {
                if (child) next.push_back(child.get());
            }
        }
        if (next.empty() || level.size() >= wanted) break;
        for (Node* node : level) visit(*node);
        level.swap(next);
    }
    const auto walk = [&](std::size_t i) {
        WalkFolderTree(*level[i], [&visit](Node& node) {
            visit(node);
            return true;
        });
    };
    if (level.size() < kFewestSubtrees) {
        for (std::size_t i = 0; i < level.size(); ++i) walk(i);
        return;
    }
    plat::ParallelFor(level.size(), walk);
}

}  // namespace

void VisitTreeInParallel(FolderTreeNode& root, const std::function<void(FolderTreeNode&)>& visit) {
    VisitInParallel(root, visit);
}

void VisitTreeInParallel(const FolderTreeNode& root, const std::function<void(const FolderTreeNode&)>& visit) {
    VisitInParallel(root, visit);
}
