// The task list's task commands as the store, the history and the disk see them: copy,
// rename, the task-files commands, switching folders and opening a log.
#include <sys/stat.h>

#include <thread>

#include "foundation/archive_store.h"
#include "foundation/file_utils.h"
#include "support/scoped_env.h"
#include "task_list_test_support.h"

namespace tltest {
namespace {

// The task stored under `name`, read back as the program loads it.
std::unique_ptr<SyncTask> StoredTask(const std::string& name) {
    const auto bytes = ReadArchiveEntry(GetTaskListFilePath(), name);
    if (!bytes) return nullptr;
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    return LoadTaskFromRecord(*bytes, *task) ? std::move(task) : nullptr;
}

std::string Utf8(const std::wstring& text) { return plat::WideToUtf8(text); }

TEST_F(TaskListTest, ACopyIsATaskOfItsOwnUnderItsNewName) {
    Store("Docs");
    Start();
    const std::string name = "Docs (3)";
    EXPECT_EQ(Send(WM_SYNC_COPY_TASK, reinterpret_cast<WPARAM>(name.c_str())), 1);

    const auto copy = StoredTask(name);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Utf8(copy->leftFolder), Folder("Docs-L"));
    EXPECT_EQ(Utf8(copy->rightFolder), Folder("Docs-R"));
    SyncTask& shown = Task(name);
    EXPECT_EQ(Utf8(shown.sourceLog), Folder("Docs-L") + "/_qb_sync/Docs (3).log");
    EXPECT_EQ(Utf8(shown.targetLog), Folder("Docs-R") + "/_qb_sync/Docs (3).log");
    EXPECT_EQ(LastHistory().type, kHistoryTaskCopied);
    EXPECT_EQ(LastHistory().taskName, name);
    EXPECT_EQ(LastHistory().text, "Docs");
    EXPECT_EQ(ShownTab(), name);
    EXPECT_EQ(Send(WM_SYNC_TASK_BUSY, W(Task("Docs")), 1), 1) << "the source is free again";
    Send(WM_SYNC_TASK_DONE, W(Task("Docs")), 1);

    // A name another task holds is no copy: that task's member would be replaced.
    EXPECT_EQ(Send(WM_SYNC_COPY_TASK, reinterpret_cast<WPARAM>("Docs")), 0);
    EXPECT_EQ(LastTold(), "Failed to copy task.");
    EXPECT_EQ(LastHistory().status, kHistoryEventFailed);

    Restart();
    EXPECT_EQ(List().GetSelectedTask(), &Task(name));
}

TEST_F(TaskListTest, RenameStoresTheNewNameBeforeTheOldGoesAndKeepsTheTaskWhenTheStoreRefuses) {
    Store("A");
    Start();
    EXPECT_EQ(Send(WM_SYNC_RENAME_TASK, reinterpret_cast<WPARAM>("B")), 1);
    EXPECT_EQ(StoredTask("A"), nullptr);
    const auto renamed = StoredTask("B");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(Utf8(renamed->leftFolder), Folder("A-L"));
    EXPECT_EQ(RowNames(), std::vector<std::string>{"B"});
    EXPECT_EQ(Utf8(Task("B").sourceLog), Folder("A-L") + "/_qb_sync/B.log");
    EXPECT_EQ(ShownTab(), "B");
    EXPECT_EQ(LastHistory().type, kHistoryTaskRenamed);
    EXPECT_EQ(LastHistory().text, "A");

    // A store that cannot be written: the task keeps its name and its paths.
    const std::string store = GetTaskListFilePath();
    ASSERT_EQ(std::rename(store.c_str(), (store + ".aside").c_str()), 0);
    ASSERT_EQ(::mkdir(store.c_str(), 0755), 0);
    EXPECT_EQ(Send(WM_SYNC_RENAME_TASK, reinterpret_cast<WPARAM>("C")), 0);
    EXPECT_EQ(LastTold(), "Failed to rename task B.");
    EXPECT_EQ(Task("B").name, "B");
    EXPECT_EQ(Utf8(Task("B").sourceLog), Folder("A-L") + "/_qb_sync/B.log");
    EXPECT_EQ(ShownTab(), "B");
    EXPECT_EQ(LastHistory().status, kHistoryEventFailed);
}

TEST_F(TaskListTest, TaskFilesCommandsAskFirstTrashWhatTheyDeleteAndRecordIt) {
    Store("T");
    Start();
    SyncTask& task = Task("T");
    const DWORD before = CountHistoryRecords();

    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 1), 0);
    EXPECT_EQ(LastTold(), "Catalogs do not exist.");
    EXPECT_EQ(CountHistoryRecords(), before);

    const std::string catalog = Utf8(task.targetCatalog);
    qbtest::WriteFileBytes(catalog, "catalog");
    answer_ = [](const plat::MessageBoxRequest&) { return IDNO; };
    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 1), 1);
    EXPECT_EQ(LastTold(), "Do you want to delete Catalog " + catalog + "?");
    EXPECT_EQ(GetPathKind(catalog), kPathFile) << "No keeps it";
    answer_ = [](const plat::MessageBoxRequest&) { return IDYES; };
    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 1), 1);
    EXPECT_EQ(GetPathKind(catalog), kPathMissing);
    EXPECT_EQ(GetPathKind(dir_.sub("home-data/Trash/files/_qb_sync._if")), kPathFile);
    EXPECT_EQ(LastHistory().type, kHistoryTaskChanged);
    EXPECT_EQ(LastHistory().code, kHistoryDeleteCatalogs);
    EXPECT_EQ(LastHistory().status, kHistoryEventDone);

    // Reset takes both catalog folders, every file in them.
    qbtest::WriteFileBytes(Utf8(task.sourceCatalog), "catalog");
    qbtest::WriteFileBytes(Utf8(task.targetLog), "log");
    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 2), 1);
    EXPECT_EQ(LastTold(), "Do you want to delete Catalog folders " + Folder("T-L") + "/_qb_sync and " + Folder("T-R") +
                              "/_qb_sync?");
    EXPECT_EQ(GetPathKind(Folder("T-L") + "/_qb_sync"), kPathMissing);
    EXPECT_EQ(GetPathKind(Folder("T-R") + "/_qb_sync"), kPathMissing);
    EXPECT_EQ(LastHistory().code, kHistoryDeleteCatalogFolders);
}

TEST_F(TaskListTest, SwitchingFoldersIsStoredAndTheLogsFollowTheSidesTheUserSees) {
    Store("T");
    Start();
    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 5), 1);
    EXPECT_EQ(Cell("T", kLeftFolderColumn), "") << "a task never run shows only its name";
    EXPECT_EQ(Utf8(WindowOf(Task("T"))->FolderText(0)), Folder("T-R"));
    EXPECT_EQ(LastHistory().code, kHistoryChangeFolders);
    Restart();
    EXPECT_EQ(Utf8(Task("T").leftFolder), Folder("T-R"));
    EXPECT_EQ(Utf8(Task("T").rightFolder), Folder("T-L"));

    // A swapped task keeps its source log on the Right: Open Left Log opens the Left one.
    Task("T").syncOptions->type = kSyncRightToLeft;
    const std::string leftLog = Folder("T-R") + "/_qb_sync/T.log";
    qbtest::WriteFileBytes(leftLog, "log");
    qbtest::WriteFileBytes(Folder("T-L") + "/_qb_sync/T.log", "other log");
    const std::string record = dir_.sub("opened");
    // The desktop's opener, found first: it writes down what it was given.
    qbtest::WriteFileBytes(dir_.sub("bin/xdg-open"), "#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s' \"$1\" > " + record +
                                                         ".tmp\nmv " + record + ".tmp " + record + "\n");
    ::chmod(dir_.sub("bin/xdg-open").c_str(), 0755);
    const qbtest::ScopedEnv path("PATH", dir_.sub("bin"));
    Send(WM_SYNC_OPEN_LOG, 0);
    for (int i = 0; i < 300 && GetPathKind(record) != kPathFile; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(qbtest::ReadFileBytes(record), leftLog);

    Send(WM_SYNC_TASK_FILES_COMMAND, 4);
    EXPECT_EQ(LastTold(), "Do you want to delete Log file " + leftLog + "?");
    EXPECT_EQ(GetPathKind(leftLog), kPathMissing);
    Send(WM_SYNC_OPEN_LOG, 0);
    EXPECT_EQ(LastTold(), "The specified file '" + leftLog + "' does not exist");
}

}  // namespace
}  // namespace tltest
