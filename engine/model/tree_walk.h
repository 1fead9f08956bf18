#pragma once
// The one depth-first walk over the folder trees. It keeps its own list of the folders it
// is inside instead of recursing, so a tree of any depth costs the calling thread's stack
// nothing: a run thread walks a tree thousands of folders deep as easily as a flat one.
//
// `enter` is called on a node before anything below it, `leave` after everything below
// it; children come in their order, null ones are passed over. Either returns false to
// end the walk at once, and the walk then returns false.

#include <cstddef>
#include <type_traits>
#include <vector>

#include "engine/model/folder_tree.h"

// A folder of a run seen from both sides: a source node with its counterpart, or a node
// of one side that has none (the other null).
struct FolderPair {
    FolderTreeNode* source = nullptr;
    FolderTreeNode* target = nullptr;
};

namespace tree_walk {

// One side's tree: a node's children are its child nodes.
template <typename Node>
struct OneSide {
    using Step = Node*;
    static Node& Visit(Step node) { return *node; }
    static bool NextChild(Step node, std::size_t& next, Step& child) {
        while (next < node->children.size()) {
            child = node->children[next++].get();
            if (child) return true;
        }
        return false;
    }
};

// Both sides at once: a pair's children are the source node's children, each with its
// counterpart, then the target node's children that have no counterpart.
struct BothSides {
    using Step = FolderPair;
    static FolderPair Visit(Step pair) { return pair; }
    static bool NextChild(Step pair, std::size_t& next, Step& child) {
        const std::size_t sourceCount = pair.source ? pair.source->children.size() : 0;
        while (next < sourceCount) {
            FolderTreeNode* node = pair.source->children[next++].get();
            if (node) {
                child = {node, node->counterpart};
                return true;
            }
        }
        while (pair.target && next - sourceCount < pair.target->children.size()) {
            FolderTreeNode* node = pair.target->children[next++ - sourceCount].get();
            if (node && !node->counterpart) {
                child = {nullptr, node};
                return true;
            }
        }
        return false;
    }
};

template <typename Side, typename Enter, typename Leave>
bool Walk(typename Side::Step root, Enter& enter, Leave& leave) {
    struct Open {
        typename Side::Step step;
        std::size_t next = 0;
    };
    if (!enter(Side::Visit(root))) return false;
    std::vector<Open> open{{root}};
    while (!open.empty()) {
        typename Side::Step child{};
        if (Side::NextChild(open.back().step, open.back().next, child)) {
            if (!enter(Side::Visit(child))) return false;
            open.push_back({child});
            continue;
        }
        const typename Side::Step done = open.back().step;
        open.pop_back();
        if (!leave(Side::Visit(done))) return false;
    }
    return true;
}

inline constexpr auto kNothing = [](auto&&) { return true; };

}  // namespace tree_walk

// Walks `root` (a FolderTreeNode, const or not) and every node below it.
template <typename Node, typename Enter, typename Leave = decltype(tree_walk::kNothing)>
bool WalkFolderTree(Node& root, Enter enter, Leave leave = tree_walk::kNothing) {
    static_assert(std::is_same_v<std::remove_const_t<Node>, FolderTreeNode>);
    return tree_walk::Walk<tree_walk::OneSide<Node>>(&root, enter, leave);
}

// Walks both sides' trees from their roots (either may be null) as pairs: each folder of
// the source tree with its counterpart, and each folder of the target tree that has none.
template <typename Enter, typename Leave = decltype(tree_walk::kNothing)>
bool WalkFolderPairs(FolderPair roots, Enter enter, Leave leave = tree_walk::kNothing) {
    return tree_walk::Walk<tree_walk::BothSides>(roots, enter, leave);
}

// Calls visit(record) on every record of the tree: a node's folder record, then its files,
// then the records below it. False from visit ends the walk.
template <typename Node, typename Visit>
bool ForEachRecord(Node& root, Visit visit) {
    return WalkFolderTree(root, [&visit](Node& node) {
        if (node.folder && !visit(*node.folder)) return false;
        if (node.files) {
            for (auto& file : *node.files) {
                if (!visit(file)) return false;
            }
        }
        return true;
    });
}
