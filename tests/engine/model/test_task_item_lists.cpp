// A task owns the item trees of its last Check without the foundation library seeing the
// engine's tree type: the trees are freed with the task.
#include <gtest/gtest.h>

#include "engine/model/folder_tree.h"
#include "foundation/sync_task.h"

namespace {

std::unique_ptr<FolderTreeNode> TreeWithChildren(int children) {
    auto root = std::make_unique<FolderTreeNode>();
    for (int i = 0; i < children; ++i) root->AppendChild(std::make_unique<FolderTreeNode>());
    return root;
}

TEST(TaskItemLists, TaskTakesTreesFromTheEngineAndFreesThem) {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->sourceItems = TreeWithChildren(3);
    task->targetItems = TreeWithChildren(2);
    ASSERT_NE(task->sourceItems, nullptr);
    EXPECT_EQ(task->sourceItems->children.size(), 3u);
    DeleteSyncTask(std::move(task));  // the sanitizer build checks the trees are freed
}

TEST(TaskItemLists, TreesCanBeReplacedAndHandedBack) {
    SyncTask task;
    task.sourceItems = TreeWithChildren(1);
    task.sourceItems = TreeWithChildren(4);  // the old tree goes
    std::unique_ptr<FolderTreeNode> back(task.sourceItems.release());
    EXPECT_EQ(back->children.size(), 4u);
    task.SetDefaults();
    EXPECT_EQ(task.targetItems, nullptr);
}

}  // namespace
