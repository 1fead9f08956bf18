#pragma once
// The marks that the scan sets once both sides are read: target-only items, and with the
// filter option "Empty", folders that hold no included file.

#include "engine/model/folder_tree.h"

// Every target record that the source scan did not match becomes target only (and on
// target). An excluded target folder loses its contents: nothing below it takes part.
void MarkUnmatchedTargetItems(FolderTreeNode& targetRoot);

// A folder is empty when no included file lies in it or anywhere below it. The first
// empty folder met from the top (not excluded already) is excluded with every folder
// below it. The target twin looks only at target-only folders.
void ExcludeEmptyFolders(FolderTreeNode& sourceRoot);
void ExcludeEmptyTargetFolders(FolderTreeNode& targetRoot);
