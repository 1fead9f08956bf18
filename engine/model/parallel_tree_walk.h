#pragma once
// Visiting every node of a folder tree on several threads at once: the tree is cut into
// subtrees a few levels below its root, each visited whole by one thread, so work that
// looks at each record by itself (lookups in the catalogs of the last run) uses the
// machine's cores. The nodes above the cut are visited first, on the calling thread.

#include <functional>

#include "engine/model/folder_tree.h"

// Calls visit(node) once for every node of the tree; within a subtree a node comes before
// those below it. `visit` may change only the node it is given (its records), must be
// safe on several threads at once, and must not throw.
void VisitTreeInParallel(FolderTreeNode& root, const std::function<void(FolderTreeNode&)>& visit);
void VisitTreeInParallel(const FolderTreeNode& root, const std::function<void(const FolderTreeNode&)>& visit);
