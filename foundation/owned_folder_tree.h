#pragma once
// Ownership of a scanned side's folder tree by code that does not link the engine. The
// engine defines FolderTreeNode; here it is only declared. The deleter takes the engine's
// way of freeing a tree at the moment the engine hands a tree over (from a
// std::unique_ptr<FolderTreeNode>, where the type is complete), so the owner can free it
// later without seeing the type.

#include <cassert>
#include <memory>
#include <type_traits>

struct FolderTreeNode;

class FolderTreeDeleter {
public:
    FolderTreeDeleter() = default;

    // Taken from std::unique_ptr<FolderTreeNode> in code that sees the full type.
    template <class Node>
    requires std::is_same_v<Node, FolderTreeNode> FolderTreeDeleter(std::default_delete<Node>)
        : destroy_([](FolderTreeNode* node) { std::default_delete<Node>()(node); }) {}

    void operator()(FolderTreeNode* node) const {
        // Only a tree handed over from a std::unique_ptr<FolderTreeNode> may be owned here.
        assert(destroy_);
        if (destroy_) destroy_(node);
    }

private:
    void (*destroy_)(FolderTreeNode*) = nullptr;
};

using OwnedFolderTree = std::unique_ptr<FolderTreeNode, FolderTreeDeleter>;
